// The formatting, paper-handling, mode and drawer-pulse entry points. Each makes the connection
// checks, then its own, then calls one encoder operation and answers its result unchanged.
#include "connection.h"

using connection::Forward;

namespace {

// ESC ! bits that SetTextProperties composes.
constexpr int kFontB = 0x01;
constexpr int kDoubleHeightAndWidth = 0x30;
constexpr int kBoldShift = 3;
constexpr int kItalicShift = 6;
constexpr int kUnderlineShift = 7;

constexpr int kSizeBits[] = {0x00, kFontB, kDoubleHeightAndWidth};

// bold and italic are shifted as received, so values above 1 reach the neighbouring bits; of
// underline only the lowest bit counts.
int ComposePrintMode(int size, unsigned char italic, unsigned char underline,
                     unsigned char bold) {
  return kSizeBits[size] | (bold << kBoldShift) | (italic << kItalicShift) |
         ((underline & 1) << kUnderlineShift);
}

}  // namespace

extern "C" {

int SetTextProperties(int size, unsigned char italic, unsigned char underline,
                      unsigned char bold) {
  const int rc = connection::Check();
  if (rc != TALLYJET_SUCCESS) return rc;
  if (size < 0 || size > 2) return TALLYJET_ERR_INVALID_ARGUMENT;
  return prot_->SetPrintMode(ComposePrintMode(size, italic, underline, bold));
}

int MakeCut(int mode) {
  const int rc = connection::Check();
  if (rc != TALLYJET_SUCCESS) return rc;
  // Only the partial cut is offered here; 0 names the full cut, which the printers lack.
  if (mode == 0) return TALLYJET_ERR_NOT_SUPPORTED;
  if (mode != 1) return TALLYJET_ERR_INVALID_ARGUMENT;
  return prot_->PaperCut(1);
}

int SetJustification(int align) {
  const int rc = connection::Check();
  if (rc != TALLYJET_SUCCESS) return rc;
  // Only 0, 1 and 2; the encoder's ASCII forms 48 to 50 are not passed on.
  if (static_cast<unsigned>(align) > 2) return TALLYJET_ERR_INVALID_ARGUMENT;
  return prot_->SetJustification(align);
}

int MakeCutnLines(int mode, int lines) { return Forward(&ProtEscPos::PaperCutnLines, mode, lines); }
int MakePrint() { return Forward(&ProtEscPos::PrintAndLineFeed); }
int SetBoldEnable(int unused) { return Forward(&ProtEscPos::SetBoldEnable, unused); }

int SetLeftMargin(int margin) { return Forward(&ProtEscPos::SetLeftMargin, margin); }
int SetReverseBlackWhite(int enable) { return Forward(&ProtEscPos::SetReverseBlackWhite, enable); }
int SetLineSpacing(int dots) { return Forward(&ProtEscPos::SetLineSpacing, dots); }
int SetDefaultLineSpacing() { return Forward(&ProtEscPos::SetDefaultLineSpacing); }
int PaperFeed(int units) { return Forward(&ProtEscPos::PaperFeed, units); }
int PrintAndPaperFeed(int units) { return Forward(&ProtEscPos::PrintAndPaperFeed, units); }
int PrintAndLineFeed() { return Forward(&ProtEscPos::PrintAndLineFeed); }
int GetPartialLineFeed(int lines) { return Forward(&ProtEscPos::GetPartialLineFeed, lines); }
int SetAbsolutePrintPosition(int position) {
  return Forward(&ProtEscPos::SetAbsolutePrintPosition, position);
}
int SetRelativePrintPosition(int position) {
  return Forward(&ProtEscPos::SetRelativePrintPosition, position);
}
int SetPrintingArea(int x, int y, int dx, int dy) {
  return Forward(&ProtEscPos::SetPrintingArea, x, y, dx, dy);
}
int SetRightMargin(int width) { return Forward(&ProtEscPos::SetRightMargin, width); }
int SetStandardMode() { return Forward(&ProtEscPos::SetStandardMode); }
int SetPageMode() { return Forward(&ProtEscPos::SetPageMode); }
int PrintInPageMode() { return Forward(&ProtEscPos::PrintInPageMode); }
int SetUpsideDownMode(int enable) { return Forward(&ProtEscPos::SetUpsideDownMode, enable); }
// The encoder refuses a null list with -3, after these checks.
int SetHorizTabPosition(unsigned char* positions) {
  return Forward(&ProtEscPos::SetHorizTabPosition, positions);
}
int SetDumpEnable() { return Forward(&ProtEscPos::SetDumpEnable); }
int SetItalicEnable() { return Forward(&ProtEscPos::SetItalicEnable); }
int SetItalicDisable() { return Forward(&ProtEscPos::SetItalicDisable); }
int SetBoldDisable() { return Forward(&ProtEscPos::SetBoldDisable); }
int SetDoubleStrike(int enable) { return Forward(&ProtEscPos::SetDoubleStrike, enable); }
int SetPrintModeUnderline(int mode) { return Forward(&ProtEscPos::SetPrintModeUnderline, mode); }
int SetCharSize(int size) { return Forward(&ProtEscPos::SetCharSize, size); }
int SetFontType(int font) { return Forward(&ProtEscPos::SetFontType, font); }
int SetPrintMode(int mode) { return Forward(&ProtEscPos::SetPrintMode, mode); }
int SetOperationMode(int mode) { return Forward(&ProtEscPos::SetOperationMode, mode); }
int GeneratePulse(int m, int t1, int t2) { return Forward(&ProtEscPos::GeneratePulse, m, t1, t2); }

// Operations the printers do not offer: -2 once the connection checks pass.
int SetCharSpacing(int n) { return Forward(&ProtEscPos::SetCharSpacing, n); }
int SetPrintingAreaHeight(int n) { return Forward(&ProtEscPos::SetPrintingAreaHeight, n); }
int SetAbsoluteVerticalPrintPosition(int n) {
  return Forward(&ProtEscPos::SetAbsoluteVerticalPrintPosition, n);
}
int SetCharacterPerLine(int n) { return Forward(&ProtEscPos::SetCharacterPerLine, n); }
int SetKeyboard(int n) { return Forward(&ProtEscPos::SetKeyboard, n); }
int SetDrawerOn(int n) { return Forward(&ProtEscPos::SetDrawerOn, n); }
int SetAutomaticLineFeed(int n) { return Forward(&ProtEscPos::SetAutomaticLineFeed, n); }
int SetPageLength(int n) { return Forward(&ProtEscPos::SetPageLength, n); }
int SetPrintDensity(int n) { return Forward(&ProtEscPos::SetPrintDensity, n); }
int SetCondensedDisable() { return Forward(&ProtEscPos::SetCondensedDisable); }
int SetCondensedEnable() { return Forward(&ProtEscPos::SetCondensedEnable); }
int SetExpandedModeDisable() { return Forward(&ProtEscPos::SetExpandedModeDisable); }
int SetExpandedModeEnable() { return Forward(&ProtEscPos::SetExpandedModeEnable); }
int SetMode48Columns() { return Forward(&ProtEscPos::SetMode48Columns); }
int CancelLastCharacterSent() { return Forward(&ProtEscPos::CancelLastCharacterSent); }
int CancelLastLineSended() { return Forward(&ProtEscPos::CancelLastLineSended); }
int RealTimeRequest(int n) { return Forward(&ProtEscPos::RealTimeRequest, n); }
int SetPeripheralDevice(int n) { return Forward(&ProtEscPos::SetPeripheralDevice, n); }
int SetUserChar(int n) { return Forward(&ProtEscPos::SetUserChar, n); }
int DefineUserChar(int a, int b, int c, char* data) {
  return Forward(&ProtEscPos::DefineUserChar, a, b, c, data);
}
int CancelUserChar(int n) { return Forward(&ProtEscPos::CancelUserChar, n); }
int SetInternationalCharSet(int n) { return Forward(&ProtEscPos::SetInternationalCharSet, n); }
int ExecuteMacro(int a, int b, int c) { return Forward(&ProtEscPos::ExecuteMacro, a, b, c); }
int StartEndMacroDefinition() { return Forward(&ProtEscPos::StartEndMacroDefinition); }
int PrintDownloadedBitImage(int n) { return Forward(&ProtEscPos::PrintDownloadedBitImage, n); }
int SetDownloadedBitImage(int a, int b, unsigned char* data) {
  return Forward(&ProtEscPos::SetDownloadedBitImage, a, b, data);
}
int SetRotation(int n) { return Forward(&ProtEscPos::SetRotation, n); }
int SetMotionUnits(int x, int y) { return Forward(&ProtEscPos::SetMotionUnits, x, y); }

}  // extern "C"
