// Barcodes and QR codes drawn by the printer's own symbol generators: the barcode settings,
// GS k with its data, and the GS ( k QR code sequence.
#include <cstring>

#include "comm_base.h"
#include "escpos_command.h"
#include "heap_buffer.h"
#include "prot_escpos.h"

using namespace escpos;

namespace {

constexpr int kBarCodeHeader = 4;  // GS k m n
constexpr int kMaxBarCodeData = 255;
constexpr int kQrCountBase = 3;  // the count of GS ( k also covers cn fn m
constexpr int kQrBeforeData = 5;  // GS ( k pL pH, the bytes the count does not cover

// The data lengths each system of GS k (second form) accepts.
bool LengthSuits(int m, int n) {
  switch (m) {
    case 65: return n == 11 || n == 12;  // UPC-A
    case 66: return n == 6;              // UPC-E
    case 67: return n == 12 || n == 13;  // JAN13 (EAN13)
    case 68: return n == 7 || n == 8;    // JAN8 (EAN8)
    case 69:                             // CODE39
    case 71:                             // CODABAR
    case 72: return InRange(n, 1, kMaxBarCodeData);  // CODE93
    case 70: return InRange(n, 1, kMaxBarCodeData) && n % 2 == 0;  // ITF: digit pairs
    case 73: return InRange(n, 2, kMaxBarCodeData);  // CODE128: code set, then data
    default: return false;
  }
}

}  // namespace

int ProtEscPos::SetBarCodeHeight(int n) {
  return Send(transport_, InRange(n, 0, 255), {GS, 'h', Low(n)});  // GS h n: bar height
}

int ProtEscPos::SetBarCodeWidth(int n) {
  return Send(transport_, InRange(n, 2, 6), {GS, 'w', Low(n)});  // GS w n: module width
}

int ProtEscPos::SetHriFont(int n) {
  return Send(transport_, OneOf(n, {0, 1, 48, 49}), {GS, 'f', Low(n)});  // GS f n: HRI font
}

int ProtEscPos::SetHriPosition(int n) {
  const bool accepted = InRange(n, 0, 3) || InRange(n, 48, 51);
  return Send(transport_, accepted, {GS, 'H', Low(n)});  // GS H n: HRI position
}

int ProtEscPos::PrintBarCode(int m, const char* data, int n) {
  if (transport_ == nullptr) return TALLYJET_ERR_PORT_NOT_OPEN;
  if (data == nullptr || !LengthSuits(m, n)) return TALLYJET_ERR_INVALID_ARGUMENT;
  char command[kBarCodeHeader + kMaxBarCodeData] = {GS, 'k', Low(m), Low(n)};  // GS k m n d1..dn
  memcpy(command + kBarCodeHeader, data, static_cast<size_t>(n));
  return transport_->Write(command, kBarCodeHeader + n);
}

int ProtEscPos::SetQrCodeModel(int n) {
  // GS ( k pL pH cn fn n1 n2, fn 65: select the QR model
  return Send(transport_, OneOf(n, {1, 2}), {GS, '(', 'k', 0x04, 0x00, '1', 'A', Low(n), NUL});
}

int ProtEscPos::SetQrCodeResolution(int n) {
  // GS ( k pL pH cn fn n, fn 67: module size in dots
  return Send(transport_, true, {GS, '(', 'k', 0x03, 0x00, '1', 'C', Low(n)});
}

int ProtEscPos::SetQrCodeErrorCorretion(int n) {
  // GS ( k pL pH cn fn n, fn 69: error-correction level
  return Send(transport_, InRange(n, 0, 3), {GS, '(', 'k', 0x03, 0x00, '1', 'E', Low(n)});
}

int ProtEscPos::StoreQrCodeData(char* data, int len) {
  if (transport_ == nullptr) return TALLYJET_ERR_PORT_NOT_OPEN;
  // The two-byte count holds len + 3; a longer text would go out with a wrapped count.
  int count;
  if (data == nullptr || len < 1 || !AddSize(len, kQrCountBase, &count) || count > kMaxLowHigh) {
    return TALLYJET_ERR_INVALID_ARGUMENT;
  }
  const int length = kQrBeforeData + count;
  HeapBuffer command(static_cast<size_t>(length));
  if (!command.ok()) return TALLYJET_ERR_NO_MEMORY;
  // GS ( k pL pH cn fn m d1..dk, fn 80: store the symbol data
  const char header[] = {GS, '(', 'k', Low(count), High(count), '1', 'P', '0'};
  memcpy(command.data(), header, sizeof header);
  memcpy(command.data() + sizeof header, data, static_cast<size_t>(len));
  return transport_->Write(command.data(), length);
}

int ProtEscPos::MakeQrCode() {
  // GS ( k pL pH cn fn m, fn 81: print the stored symbol
  return Send(transport_, true, {GS, '(', 'k', 0x03, 0x00, '1', 'Q', '0'});
}
