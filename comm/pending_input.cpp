#include "pending_input.h"

#include "comm_app_link.h"
#include "comm_net.h"
#include "comm_uart.h"
#include "comm_usb.h"
#include "comm_usblp.h"

namespace {

template <typename Transport>
bool DiscardIfA(CommBase* transport) {
  Transport* own = dynamic_cast<Transport*>(transport);
  if (own != nullptr) own->DiscardInput();
  return own != nullptr;
}

// The transports that know how to drop their pending input, one entry each.
constexpr bool (*kDiscarders[])(CommBase*) = {
    DiscardIfA<CommUart>, DiscardIfA<CommUsbLP>,   DiscardIfA<CommUsb>,
    DiscardIfA<CommNet>,  DiscardIfA<CommAppLink>,
};

}  // namespace

void DiscardPendingInput(CommBase* transport) {
  for (const auto discard : kDiscarders) {
    if (discard(transport)) return;
  }
}
