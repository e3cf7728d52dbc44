// The connection state and the entry points that manage it and send raw text.
#include <cstring>
#include <iterator>
#include <typeinfo>

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

// What OpenPort was asked for.
struct PortRequest {
  const char* name;
  int baudRate;
  char parity;
  int dataBits;
  int stopBits;
};

int OpenUsb(const PortRequest&) {
  const int first = comm_->Open(kUsbProductId, kUsbVendorId);
  if (first == TALLYJET_SUCCESS) return first;
  return comm_->Open(kUsbExtendedProductId, kUsbVendorId);
}

int OpenSerial(const PortRequest& port) {
  const int settings =
      comm_->SetPortSettings(port.baudRate, port.parity, port.dataBits, port.stopBits);
  const int rc = settings == TALLYJET_SUCCESS ? comm_->Open(port.name) : TALLYJET_ERR_PORT_NOT_OPEN;
  comm_->SetTimeout(kSerialTimeoutMs);
  return rc;
}

int OpenByName(const PortRequest& port) { return comm_->Open(port.name); }

bool AsksForUsb(const PortRequest& port) { return IsUsbName(port.name); }
bool AsksForNetwork(const PortRequest& port) { return IsNetworkName(port.name); }
bool AsksForSerial(const PortRequest& port) { return port.baudRate != 0; }
bool AsksForAnyOther(const PortRequest&) { return true; }

template <typename Transport>
CommBase* Make() {
  return new Transport();
}

// Exactly this class: a class derived from it is an application's own.
template <typename Transport>
bool IsExactly(CommBase* transport) {
  return typeid(*transport) == typeid(Transport);
}

// A transport class of the library: which requests it serves, how it is made and opened.
struct TransportKind {
  bool (*serves)(const PortRequest&);
  bool (*is)(CommBase*);
  CommBase* (*make)();
  int (*open)(const PortRequest&);
};

// In the order the name and the baud rate are matched: the first kind that serves a request
// is the one it asks for.
const TransportKind kKinds[] = {
    {AsksForUsb, IsExactly<CommUsb>, Make<CommUsb>, OpenUsb},
    {AsksForNetwork, IsExactly<CommNet>, Make<CommNet>, OpenByName},
    {AsksForSerial, IsExactly<CommUart>, Make<CommUart>, OpenSerial},
    {AsksForAnyOther, IsExactly<CommUsbLP>, Make<CommUsbLP>, OpenByName},
};

const TransportKind& KindAskedFor(const PortRequest& port) {
  for (const TransportKind& kind : kKinds) {
    if (kind.serves(port)) return kind;
  }
  return kKinds[std::size(kKinds) - 1];
}

// The library's kind of transport, or null for a transport of the application's own.
const TransportKind* KindOf(CommBase* transport) {
  for (const TransportKind& kind : kKinds) {
    if (kind.is(transport)) return &kind;
  }
  return nullptr;
}

// How a transport that is not of the kind asked for is opened: an application's own, or one of
// the library's that is still open (it is kept, and answers for itself).
int OpenKept(const PortRequest& port) {
  if (IsUsbName(port.name)) return OpenUsb(port);
  // A device node or a network printer opens by its name alone.
  if (dynamic_cast<CommUsbLP*>(comm_) != nullptr || dynamic_cast<CommNet*>(comm_) != nullptr) {
    return OpenByName(port);
  }
  return OpenSerial(port);
}

// Destroys the connection's objects. The encoder owns its transport; a transport left without
// an encoder is destroyed alone.
void Discard() {
  if (prot_ != nullptr) {
    delete prot_;
  } else {
    delete comm_;
  }
  prot_ = nullptr;
  comm_ = nullptr;
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
  const PortRequest port{portName, baudRate, parity, dataBits, stopBits};
  const TransportKind& asked = KindAskedFor(port);
  // A transport of the library left unopened by an earlier call gives way to the kind asked for
  // now, so that "USB, else /dev/usb/lp0" works. An open one, or an application's own, is kept.
  if (comm_ != nullptr) {
    const TransportKind* kept = KindOf(comm_);
    if (kept != nullptr && kept != &asked && !comm_->IsOpen()) Discard();
  }
  if (comm_ == nullptr) comm_ = asked.make();
  if (protocol_ != TALLYJET_PROTOCOL_ESCPOS) return TALLYJET_ERR_NO_PROTOCOL;
  if (prot_ == nullptr) prot_ = new ProtEscPos(comm_);

  const int rc = asked.is(comm_) ? asked.open(port) : OpenKept(port);
  if (rc != TALLYJET_SUCCESS) return rc;
  prot_->SetOperationMode(0);
  return TALLYJET_SUCCESS;
}

int ClosePort() {
  if (comm_ == nullptr) return TALLYJET_ERR_PORT_NOT_OPEN;
  const int rc = comm_->Close();
  Discard();
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
