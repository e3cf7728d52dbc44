// The encoder object itself: construction, the initialise and operation-mode commands, and the
// operations the printer family does not offer.
#include "prot_escpos.h"

#include "comm_base.h"
#include "escpos_command.h"
#include "usb_ids.h"

using namespace escpos;

namespace {

constexpr int kEscPos = TALLYJET_PROTOCOL_ESCPOS;

}  // namespace

ProtEscPos::ProtEscPos(CommBase* transport)
    : transport_(transport), printMode_(0), leftMargin_(0), pageMode_(0), answerOwed_(false) {}

ProtEscPos::~ProtEscPos() { delete transport_; }

int ProtEscPos::GetProtocol() { return kEscPos; }

int ProtEscPos::Initialize() {
  const int rc = Send(transport_, true, {ESC, '@'});  // ESC @: initialise printer
  if (rc == TALLYJET_SUCCESS) {
    printMode_ = 0;
    leftMargin_ = 0;
  }
  return rc;
}

int ProtEscPos::SetOperationMode(int mode) {
  if (transport_ == nullptr) return TALLYJET_ERR_PORT_NOT_OPEN;
  if (transport_->GetDevicePid() != kUsbExtendedProductId) return TALLYJET_ERR_NOT_SUPPORTED;
  const char n = mode == 1 ? 0x08 : 0x01;
  return Send(transport_, true, {ESC, 'c', '0', n});  // ESC c 0 n: select operation mode
}

int ProtEscPos::PrintDownloadedBitImage(int) { return TALLYJET_ERR_NOT_SUPPORTED; }
int ProtEscPos::SetDownloadedBitImage(int, int, unsigned char*) { return TALLYJET_ERR_NOT_SUPPORTED; }
int ProtEscPos::RealTimeRequest(int) { return TALLYJET_ERR_NOT_SUPPORTED; }
int ProtEscPos::SetCharSpacing(int) { return TALLYJET_ERR_NOT_SUPPORTED; }
int ProtEscPos::SetMotionUnits(int, int) { return TALLYJET_ERR_NOT_SUPPORTED; }
int ProtEscPos::SetPeripheralDevice(int) { return TALLYJET_ERR_NOT_SUPPORTED; }
int ProtEscPos::SetPrintingAreaHeight(int) { return TALLYJET_ERR_NOT_SUPPORTED; }
int ProtEscPos::CancelLastLineSended() { return TALLYJET_ERR_NOT_SUPPORTED; }
int ProtEscPos::SetUserChar(int) { return TALLYJET_ERR_NOT_SUPPORTED; }
int ProtEscPos::DefineUserChar(int, int, int, char*) { return TALLYJET_ERR_NOT_SUPPORTED; }
int ProtEscPos::CancelUserChar(int) { return TALLYJET_ERR_NOT_SUPPORTED; }
int ProtEscPos::SetExpandedModeDisable() { return TALLYJET_ERR_NOT_SUPPORTED; }
int ProtEscPos::SetExpandedModeEnable() { return TALLYJET_ERR_NOT_SUPPORTED; }
int ProtEscPos::SetRotation(int) { return TALLYJET_ERR_NOT_SUPPORTED; }
int ProtEscPos::SetInternationalCharSet(int) { return TALLYJET_ERR_NOT_SUPPORTED; }
int ProtEscPos::ExecuteMacro(int, int, int) { return TALLYJET_ERR_NOT_SUPPORTED; }
int ProtEscPos::StartEndMacroDefinition() { return TALLYJET_ERR_NOT_SUPPORTED; }
int ProtEscPos::SetAbsoluteVerticalPrintPosition(int) { return TALLYJET_ERR_NOT_SUPPORTED; }
int ProtEscPos::SetCharacterPerLine(int) { return TALLYJET_ERR_NOT_SUPPORTED; }
int ProtEscPos::SetDrawerOn(int) { return TALLYJET_ERR_NOT_SUPPORTED; }
int ProtEscPos::SetKeyboard(int) { return TALLYJET_ERR_NOT_SUPPORTED; }
int ProtEscPos::SetAutomaticLineFeed(int) { return TALLYJET_ERR_NOT_SUPPORTED; }
int ProtEscPos::SetPageLength(int) { return TALLYJET_ERR_NOT_SUPPORTED; }
int ProtEscPos::SetPrintDensity(int) { return TALLYJET_ERR_NOT_SUPPORTED; }
int ProtEscPos::SetCondensedDisable() { return TALLYJET_ERR_NOT_SUPPORTED; }
int ProtEscPos::SetCondensedEnable() { return TALLYJET_ERR_NOT_SUPPORTED; }
int ProtEscPos::SetMode48Columns() { return TALLYJET_ERR_NOT_SUPPORTED; }
int ProtEscPos::CancelLastCharacterSent() { return TALLYJET_ERR_NOT_SUPPORTED; }
int ProtEscPos::GetPrinterStatus(int, int*) { return TALLYJET_ERR_NOT_SUPPORTED; }
int ProtEscPos::SetDrawerState(int) { return TALLYJET_ERR_NOT_SUPPORTED; }
int ProtEscPos::SetPrintDirection(int) { return TALLYJET_ERR_NOT_SUPPORTED; }
int ProtEscPos::GetRealTime(int, int, int) { return TALLYJET_ERR_NOT_SUPPORTED; }
