// Character attributes: the print-mode byte (with italic as its bit 6), emphasis, underline,
// size, font, reverse and upside-down printing, and the character code table.
#include "escpos_command.h"
#include "prot_escpos.h"

using namespace escpos;

namespace {

constexpr int kItalicBit = 0x40;
// Clears the italic bit and every bit above the byte that ESC ! carries.
constexpr int kWithoutItalic = 0xBF;

}  // namespace

int ProtEscPos::SetPrintMode(int n) {
  const int rc = Send(transport_, true, {ESC, '!', Low(n)});  // ESC ! n: select print mode
  // The whole value is kept so that the italic operations build on what was asked for.
  if (rc == TALLYJET_SUCCESS) printMode_ = n;
  return rc;
}

int ProtEscPos::SetItalicEnable() { return SetPrintMode(printMode_ | kItalicBit); }

int ProtEscPos::SetItalicDisable() { return SetPrintMode(printMode_ & kWithoutItalic); }

int ProtEscPos::SetBoldEnable(int) {
  return Send(transport_, true, {ESC, 'E', 0x01});  // ESC E 1: emphasis on
}

int ProtEscPos::SetBoldDisable() {
  return Send(transport_, true, {ESC, 'E', 0x00});  // ESC E 0: emphasis off
}

int ProtEscPos::SetDoubleStrike(int n) {
  return Send(transport_, OneOf(n, {0, 1}), {ESC, 'G', Low(n)});  // ESC G n: double strike
}

int ProtEscPos::SetPrintModeUnderline(int n) {
  // ESC - n: underline 0, 1 or 2 dots thick
  return Send(transport_, OneOf(n, {0, 1, 2, 48, 49, 50}), {ESC, '-', Low(n)});
}

int ProtEscPos::SetCharSize(int n) {
  // GS ! n: character size, width and height 1 or 2
  return Send(transport_, OneOf(n, {0x00, 0x01, 0x10, 0x11}), {GS, '!', Low(n)});
}

int ProtEscPos::SetCharMagnification(int width, int height) {
  const bool accepted = InRange(width, 1, 8) && InRange(height, 1, 8);
  return Send(transport_, accepted, {GS, '!', Low((width - 1) << 4 | (height - 1))});
}

int ProtEscPos::SetFontType(int n) {
  return Send(transport_, OneOf(n, {0, 1, 48, 49}), {ESC, 'M', Low(n)});  // ESC M n: font
}

int ProtEscPos::SetReverseBlackWhite(int n) {
  // GS B n: white on black printing
  return Send(transport_, OneOf(n, {0, 1}), {GS, 'B', Low(n)});
}

int ProtEscPos::SetUpsideDownMode(int n) {
  // ESC { n: upside-down printing
  return Send(transport_, OneOf(n, {0, 1}), {ESC, '{', Low(n)});
}

int ProtEscPos::SetCharCodeTable(int n) {
  // ESC t n: select character code table
  return Send(transport_, OneOf(n, {0, 2, 3, 19, 27}), {ESC, 't', Low(n)});
}
