// Layout: justification, line spacing, margins and printing area, print positions, tab stops,
// and the switch between standard and page mode.
#include <cstring>

#include "comm_base.h"
#include "escpos_command.h"
#include "heap_buffer.h"
#include "prot_escpos.h"

using namespace escpos;

namespace {

constexpr int kMaxTabPositions = 32;
constexpr int kMaxLeftMargin = 47;
constexpr int kMinAreaWidth = 24;

}  // namespace

int ProtEscPos::SetJustification(int n) {
  // ESC a n: left, centre, right
  return Send(transport_, OneOf(n, {0, 1, 2, 48, 49, 50}), {ESC, 'a', Low(n)});
}

int ProtEscPos::SetLineSpacing(int n) {
  return Send(transport_, InRange(n, 0, 255), {ESC, '3', Low(n)});  // ESC 3 n: line spacing
}

int ProtEscPos::SetDefaultLineSpacing() {
  return Send(transport_, true, {ESC, '2'});  // ESC 2: default line spacing
}

int ProtEscPos::SetLeftMargin(int n) {
  // GS L nL nH: left margin; the accepted range never reaches the high byte
  const int rc = Send(transport_, InRange(n, 0, kMaxLeftMargin), {GS, 'L', Low(n), NUL});
  if (rc == TALLYJET_SUCCESS) leftMargin_ = n;
  return rc;
}

int ProtEscPos::SetRightMargin(int n) {
  // GS W nL nH: printing-area width
  return Send(transport_, InRange(n, kMinAreaWidth, kMaxLowHigh), {GS, 'W', Low(n), High(n)});
}

int ProtEscPos::SetPrintingAreaWidth(int w) {
  if (transport_ == nullptr) return TALLYJET_ERR_PORT_NOT_OPEN;
  if (!InRange(w, 1, kMaxLowHigh)) return TALLYJET_ERR_INVALID_ARGUMENT;
  // The remembered left margin is added to the width; the sum must lie in GS W's own range.
  return SetRightMargin(w + leftMargin_);
}

int ProtEscPos::SetAbsolutePrintPosition(int n) {
  return Send(transport_, true, {ESC, '$', Low(n), High(n)});  // ESC $ nL nH: absolute position
}

int ProtEscPos::SetRelativePrintPosition(int n) {
  // ESC \ nL nH: relative position
  return Send(transport_, InRange(n, 0, kMaxLowHigh), {ESC, '\\', Low(n), High(n)});
}

int ProtEscPos::SetHorizTabPosition(unsigned char* list) {
  if (transport_ == nullptr) return TALLYJET_ERR_PORT_NOT_OPEN;
  if (list == nullptr) return TALLYJET_ERR_INVALID_ARGUMENT;
  const int k = static_cast<int>(strnlen(reinterpret_cast<const char*>(list), kMaxTabPositions));
  const int length = k + 3;
  HeapBuffer command(static_cast<size_t>(length));
  if (!command.ok()) return TALLYJET_ERR_NO_MEMORY;
  // ESC D n1 ... nk NUL: horizontal tab positions; the zero-filled buffer supplies the NUL
  command.data()[0] = ESC;
  command.data()[1] = 'D';
  memcpy(command.data() + 2, list, static_cast<size_t>(k));
  return transport_->Write(command.data(), length);
}

int ProtEscPos::SetPrintingArea(int x, int y, int dx, int dy) {
  // ESC W xL xH yL yH dxL dxH dyL dyH: printing area in page mode
  return Send(transport_, true,
              {ESC, 'W', Low(x), High(x), Low(y), High(y), Low(dx), High(dx), Low(dy), High(dy)});
}

int ProtEscPos::SetPageMode() {
  const int rc = Send(transport_, true, {ESC, 'L'});  // ESC L: select page mode
  if (rc == TALLYJET_SUCCESS) pageMode_ = 1;
  return rc;
}

int ProtEscPos::SetStandardMode() {
  const int rc = Send(transport_, true, {ESC, 'S'});  // ESC S: select standard mode
  if (rc == TALLYJET_SUCCESS) pageMode_ = 0;
  return rc;
}
