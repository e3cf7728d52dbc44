// Barcode and QR code entry points. PrintBarCode checks all its own arguments before it sends
// anything, then sends the five settings and the barcode as separate commands; the others
// forward to the encoder.
#include <cstring>

#include "connection.h"
#include "escpos_command.h"

using connection::Forward;
using connection::Of;
using connection::ProcessWide;
using escpos::InRange;

namespace {

constexpr int kMaxBarCodeData = 255;

// 90 and 128 name systems this printer family does not offer.
int CheckBarCode(int type, int height, int width, int hriPosition, int hriFont, const char* data) {
  if (type == 90 || type == 128) return TALLYJET_ERR_NOT_SUPPORTED;
  const bool accepted = InRange(type, 65, 73) && InRange(height, 1, 255) && InRange(width, 0, 2) &&
                        InRange(hriPosition, 0, 3) && InRange(hriFont, 0, 1) && data != nullptr;
  return accepted ? TALLYJET_SUCCESS : TALLYJET_ERR_INVALID_ARGUMENT;
}

// Width codes 0, 1, 2 select modules of 2, 3 and 6 dots.
int ModuleWidth(int width) {
  constexpr int kModules[] = {2, 3, 6};
  return kModules[width];
}

// Sends the settings one command at a time; the first failure stops the rest.
int SendSettings(ProtEscPos* encoder, int height, int module, int leftMargin, int hriFont,
                 int hriPosition) {
  const struct {
    int (ProtEscPos::*operation)(int);
    int value;
  } settings[] = {
      {&ProtEscPos::SetBarCodeHeight, height},    {&ProtEscPos::SetBarCodeWidth, module},
      {&ProtEscPos::SetLeftMargin, leftMargin},   {&ProtEscPos::SetHriFont, hriFont},
      {&ProtEscPos::SetHriPosition, hriPosition},
  };
  for (const auto& setting : settings) {
    const int rc = (encoder->*setting.operation)(setting.value);
    if (rc != TALLYJET_SUCCESS) return rc;
  }
  return TALLYJET_SUCCESS;
}

int PrintBarCode(const Connection& link, int type, int height, int width, int leftMargin,
                 int hriPosition, int hriFont, const char* data) {
  int rc = connection::Check(link);
  if (rc == TALLYJET_SUCCESS) rc = CheckBarCode(type, height, width, hriPosition, hriFont, data);
  if (rc != TALLYJET_SUCCESS) return rc;
  // The margin and the data length are checked by their own commands, when they are due.
  rc = SendSettings(link.encoder, height, ModuleWidth(width), leftMargin, hriFont, hriPosition);
  if (rc != TALLYJET_SUCCESS) return rc;
  const int n = static_cast<int>(strnlen(data, kMaxBarCodeData));
  return link.encoder->PrintBarCode(type, data, n);
}

}  // namespace

extern "C" {

int PrintBarCode(int type, int height, int width, int leftMargin, int hriPosition, int hriFont,
                 const char* data) {
  return PrintBarCode(ProcessWide(), type, height, width, leftMargin, hriPosition, hriFont, data);
}
int SetHriFont(int font) { return Forward(ProcessWide(), &ProtEscPos::SetHriFont, font); }
int SetHriPosition(int position) {
  return Forward(ProcessWide(), &ProtEscPos::SetHriPosition, position);
}
int SetQrCodeModel(int model) { return Forward(ProcessWide(), &ProtEscPos::SetQrCodeModel, model); }
int SetQrCodeResolution(int size) {
  return Forward(ProcessWide(), &ProtEscPos::SetQrCodeResolution, size);
}
int SetQrCodeErrorCorretion(int level) {
  return Forward(ProcessWide(), &ProtEscPos::SetQrCodeErrorCorretion, level);
}
int StoreQrCodeData(char* data, int length) {
  return Forward(ProcessWide(), &ProtEscPos::StoreQrCodeData, data, length);
}
int MakeQrCode() { return Forward(ProcessWide(), &ProtEscPos::MakeQrCode); }

int tallyjet_print_bar_code(tallyjet_printer* printer, int type, int height, int width,
                            int left_margin, int hri_position, int hri_font, const char* data) {
  return PrintBarCode(Of(printer), type, height, width, left_margin, hri_position, hri_font, data);
}
int tallyjet_set_hri_font(tallyjet_printer* printer, int font) {
  return Forward(Of(printer), &ProtEscPos::SetHriFont, font);
}
int tallyjet_set_hri_position(tallyjet_printer* printer, int position) {
  return Forward(Of(printer), &ProtEscPos::SetHriPosition, position);
}
int tallyjet_set_qr_code_model(tallyjet_printer* printer, int model) {
  return Forward(Of(printer), &ProtEscPos::SetQrCodeModel, model);
}
int tallyjet_set_qr_code_resolution(tallyjet_printer* printer, int size) {
  return Forward(Of(printer), &ProtEscPos::SetQrCodeResolution, size);
}
int tallyjet_set_qr_code_error_correction(tallyjet_printer* printer, int level) {
  return Forward(Of(printer), &ProtEscPos::SetQrCodeErrorCorretion, level);
}
int tallyjet_store_qr_code_data(tallyjet_printer* printer, char* data, int length) {
  return Forward(Of(printer), &ProtEscPos::StoreQrCodeData, data, length);
}
int tallyjet_make_qr_code(tallyjet_printer* printer) {
  return Forward(Of(printer), &ProtEscPos::MakeQrCode);
}

}  // extern "C"
