// Barcode and QR code entry points. PrintBarCode checks all its own arguments before it sends
// anything, then sends the five settings and the barcode as separate commands; the others
// forward to the encoder.
#include <cstring>

#include "connection.h"
#include "escpos_command.h"

using escpos::InRange;

namespace {

constexpr int kMaxBarCodeData = 255;

// 90 and 128 name systems this printer family does not offer.
int CheckBarCode(int type, int height, int width, int hriPosition, int hriFont,
                 const char* data) {
  if (type == 90 || type == 128) return TALLYJET_ERR_NOT_SUPPORTED;
  const bool accepted = InRange(type, 65, 73) && InRange(height, 1, 255) &&
                        InRange(width, 0, 2) && InRange(hriPosition, 0, 3) &&
                        InRange(hriFont, 0, 1) && data != nullptr;
  return accepted ? TALLYJET_SUCCESS : TALLYJET_ERR_INVALID_ARGUMENT;
}

// Width codes 0, 1, 2 select modules of 2, 3 and 6 dots.
int ModuleWidth(int width) {
  constexpr int kModules[] = {2, 3, 6};
  return kModules[width];
}

// Sends the settings one command at a time; the first failure stops the rest.
int SendSettings(int height, int module, int leftMargin, int hriFont, int hriPosition) {
  const struct {
    int (ProtEscPos::*operation)(int);
    int value;
  } settings[] = {
      {&ProtEscPos::SetBarCodeHeight, height}, {&ProtEscPos::SetBarCodeWidth, module},
      {&ProtEscPos::SetLeftMargin, leftMargin}, {&ProtEscPos::SetHriFont, hriFont},
      {&ProtEscPos::SetHriPosition, hriPosition},
  };
  for (const auto& setting : settings) {
    const int rc = (prot_->*setting.operation)(setting.value);
    if (rc != TALLYJET_SUCCESS) return rc;
  }
  return TALLYJET_SUCCESS;
}

}  // namespace

extern "C" {

int PrintBarCode(int type, int height, int width, int leftMargin, int hriPosition, int hriFont,
                 const char* data) {
  int rc = connection::Check();
  if (rc == TALLYJET_SUCCESS) rc = CheckBarCode(type, height, width, hriPosition, hriFont, data);
  if (rc != TALLYJET_SUCCESS) return rc;
  // The margin and the data length are checked by their own commands, when they are due.
  rc = SendSettings(height, ModuleWidth(width), leftMargin, hriFont, hriPosition);
  if (rc != TALLYJET_SUCCESS) return rc;
  const int n = static_cast<int>(strnlen(data, kMaxBarCodeData));
  return prot_->PrintBarCode(type, data, n);
}

int SetHriFont(int font) { return connection::Forward(&ProtEscPos::SetHriFont, font); }

int SetHriPosition(int position) {
  return connection::Forward(&ProtEscPos::SetHriPosition, position);
}

int SetQrCodeModel(int model) { return connection::Forward(&ProtEscPos::SetQrCodeModel, model); }

int SetQrCodeResolution(int size) {
  return connection::Forward(&ProtEscPos::SetQrCodeResolution, size);
}

int SetQrCodeErrorCorretion(int level) {
  return connection::Forward(&ProtEscPos::SetQrCodeErrorCorretion, level);
}

int StoreQrCodeData(char* data, int length) {
  return connection::Forward(&ProtEscPos::StoreQrCodeData, data, length);
}

int MakeQrCode() { return connection::Forward(&ProtEscPos::MakeQrCode); }

}  // extern "C"
