#include "transport_kinds.h"

#include <cstring>
#include <iterator>
#include <typeinfo>

#include "comm_app_link.h"
#include "comm_net.h"
#include "comm_uart.h"
#include "comm_usb.h"
#include "comm_usblp.h"
#include "usb_ids.h"

namespace {

constexpr int kSerialTimeoutMs = 300;

bool IsUsbName(const char* name) { return strcmp(name, "USB") == 0; }

int OpenUsb(CommBase* transport, const PortRequest&) {
  const int first = transport->Open(kUsbProductId, kUsbVendorId);
  if (first == TALLYJET_SUCCESS) return first;
  return transport->Open(kUsbExtendedProductId, kUsbVendorId);
}

int OpenSerial(CommBase* transport, const PortRequest& port) {
  const int settings =
      transport->SetPortSettings(port.baudRate, port.parity, port.dataBits, port.stopBits);
  const int rc =
      settings == TALLYJET_SUCCESS ? transport->Open(port.name) : TALLYJET_ERR_PORT_NOT_OPEN;
  transport->SetTimeout(kSerialTimeoutMs);
  return rc;
}

int OpenByName(CommBase* transport, const PortRequest& port) { return transport->Open(port.name); }

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

const TransportKind kKinds[] = {
    {AsksForUsb, IsExactly<CommUsb>, Make<CommUsb>, OpenUsb},
    {AsksForNetwork, IsExactly<CommNet>, Make<CommNet>, OpenByName},
    {AsksForSerial, IsExactly<CommUart>, Make<CommUart>, OpenSerial},
    {AsksForAnyOther, IsExactly<CommUsbLP>, Make<CommUsbLP>, OpenByName},
};

}  // namespace

const TransportKind& KindAskedFor(const PortRequest& port) {
  for (const TransportKind& kind : kKinds) {
    if (kind.serves(port)) return kind;
  }
  return kKinds[std::size(kKinds) - 1];
}

const TransportKind* KindOf(CommBase* transport) {
  for (const TransportKind& kind : kKinds) {
    if (kind.is(transport)) return &kind;
  }
  return nullptr;
}

bool WritesWaitForPrinter(CommBase* transport) {
  return KindOf(transport) != nullptr || dynamic_cast<CommAppLink*>(transport) != nullptr;
}

int OpenKept(CommBase* transport, const PortRequest& port) {
  if (IsUsbName(port.name)) return OpenUsb(transport, port);
  // A device node or a network printer opens by its name alone.
  if (dynamic_cast<CommUsbLP*>(transport) != nullptr ||
      dynamic_cast<CommNet*>(transport) != nullptr) {
    return OpenByName(transport, port);
  }
  return OpenSerial(transport, port);
}
