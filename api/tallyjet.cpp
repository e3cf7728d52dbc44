// The connection state and the entry points that manage it and send raw text.
#include <cstring>

#include "comm_net.h"
#include "comm_uart.h"
#include "comm_usb.h"
#include "comm_usblp.h"
#include "connection.h"
#include "cp850.h"
#include "escpos_command.h"
#include "heap_buffer.h"
#include "usb_ids.h"

CommBase* comm_ = nullptr;
ProtEscPos* prot_ = nullptr;

namespace {

int protocol_ = 0;
int codepage_ = TALLYJET_CODEPAGE_850;

constexpr int kSerialTimeoutMs = 300;

bool IsUsbName(const char* name) { return strcmp(name, "USB") == 0; }

CommBase* NewTransport(const char* portName, int baudRate) {
  if (IsUsbName(portName)) return new CommUsb();
  if (IsNetworkName(portName)) return new CommNet();
  if (baudRate != 0) return new CommUart();
  return new CommUsbLP();
}

int OpenUsb() {
  const int first = comm_->Open(kUsbProductId, kUsbVendorId);
  if (first == TALLYJET_SUCCESS) return first;
  return comm_->Open(kUsbExtendedProductId, kUsbVendorId);
}

int OpenSerial(const char* portName, int baudRate, char parity, int dataBits, int stopBits) {
  const int settings = comm_->SetPortSettings(baudRate, parity, dataBits, stopBits);
  const int rc = settings == TALLYJET_SUCCESS ? comm_->Open(portName) : TALLYJET_ERR_PORT_NOT_OPEN;
  comm_->SetTimeout(kSerialTimeoutMs);
  return rc;
}

}  // namespace

int connection::Check() {
  if (comm_ == nullptr) return TALLYJET_ERR_PORT_NOT_OPEN;
  if (prot_ == nullptr) return TALLYJET_ERR_NO_PROTOCOL;
  return TALLYJET_SUCCESS;
}

extern "C" {

int SetProtocol(int protocol) {
  if (protocol != TALLYJET_PROTOCOL_ESCPOS) return TALLYJET_ERR_NOT_SUPPORTED;
  protocol_ = protocol;
  return TALLYJET_SUCCESS;
}

int OpenPort(const char* portName, int baudRate, char parity, int dataBits, int stopBits) {
  if (portName == nullptr) return TALLYJET_ERR_INVALID_ARGUMENT;
  if (comm_ == nullptr) comm_ = NewTransport(portName, baudRate);
  if (protocol_ != TALLYJET_PROTOCOL_ESCPOS) return TALLYJET_ERR_NO_PROTOCOL;
  if (prot_ == nullptr) prot_ = new ProtEscPos(comm_);

  int rc;
  if (IsUsbName(portName)) {
    rc = OpenUsb();
  } else if (dynamic_cast<CommUsbLP*>(comm_) != nullptr ||
             dynamic_cast<CommNet*>(comm_) != nullptr) {
    // A device node or a network printer, new or kept from an earlier call, opens by its name
    // alone.
    rc = comm_->Open(portName);
  } else {
    rc = OpenSerial(portName, baudRate, parity, dataBits, stopBits);
  }
  if (rc != TALLYJET_SUCCESS) return rc;
  prot_->SetOperationMode(0);
  return TALLYJET_SUCCESS;
}

int ClosePort() {
  if (comm_ == nullptr) return TALLYJET_ERR_PORT_NOT_OPEN;
  const int rc = comm_->Close();
  // The encoder owns its transport; a transport left without an encoder is deleted alone.
  if (prot_ != nullptr) {
    delete prot_;
  } else {
    delete comm_;
  }
  prot_ = nullptr;
  comm_ = nullptr;
  return rc;
}

int GetData(char* buffer, int length) {
  if (comm_ == nullptr) return TALLYJET_ERR_PORT_NOT_OPEN;
  return comm_->Read(buffer, length);
}

int Reset() { return connection::Forward(&ProtEscPos::Initialize); }

int EnableLog() {
  const int rc = connection::Check();
  return rc == TALLYJET_SUCCESS ? TALLYJET_ERR_NOT_SUPPORTED : rc;
}

int SetCharCodeTable(int table) {
  const int rc = connection::Check();
  if (rc != TALLYJET_SUCCESS) return rc;
  if (!escpos::OneOf(table, {0, 2, 3, 19, 27})) return TALLYJET_ERR_INVALID_ARGUMENT;
  codepage_ = table;
  return prot_->SetCharCodeTable(table);
}

int SendData(const char* data, int length) {
  if (comm_ == nullptr) return TALLYJET_ERR_PORT_NOT_OPEN;
  if (length < 0) return TALLYJET_ERR_NO_MEMORY;
  if (data == nullptr && length > 0) return TALLYJET_ERR_INVALID_ARGUMENT;
  if (codepage_ != TALLYJET_CODEPAGE_850) return comm_->Write(data, length);
  HeapBuffer text(static_cast<size_t>(length));
  if (!text.ok()) return TALLYJET_ERR_NO_MEMORY;
  const int converted = cp850::FromUtf8(data, length, text.data());
  if (converted < 0) return converted;
  // Only the converted bytes go out: padding to the caller's length would add NULs that the
  // printer reads as text or as the parameter of an unfinished command.
  return comm_->Write(text.data(), converted);
}

}  // extern "C"
