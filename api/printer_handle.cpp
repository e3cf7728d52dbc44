// Opening and closing printer handles: on the library's own transports, chosen as OpenPort
// chooses, or on a link the application owns.
#include "printer_handle.h"

#include <new>

#include "comm_app_link.h"
#include "transport_kinds.h"

namespace {

// The settings OpenPort's serial line ignores apart from the rate.
constexpr char kParity = 'N';
constexpr int kDataBits = 8;
constexpr int kStopBits = 1;

// A printer on an opened transport, set up as OpenPort leaves the process-wide connection.
// Without memory the transport is destroyed (the library's own close themselves then; an
// application's link is left to the application) and the answer is -6.
int Adopt(CommBase* opened, tallyjet_printer** printer) {
  *printer = new (std::nothrow) tallyjet_printer(opened);
  if (*printer == nullptr) {
    delete opened;
    return TALLYJET_ERR_NO_MEMORY;
  }
  (*printer)->encoder.SetOperationMode(0);
  return TALLYJET_SUCCESS;
}

}  // namespace

extern "C" {

int tallyjet_open(const char* port, int baud_rate, tallyjet_printer** printer) {
  if (printer == nullptr) return TALLYJET_ERR_INVALID_ARGUMENT;
  *printer = nullptr;
  if (port == nullptr) return TALLYJET_ERR_INVALID_ARGUMENT;
  const PortRequest request{port, baud_rate, kParity, kDataBits, kStopBits};
  const TransportKind& kind = KindAskedFor(request);
  CommBase* transport = kind.make();
  const int rc = kind.open(transport, request);
  if (rc != TALLYJET_SUCCESS) {
    delete transport;
    return rc;
  }
  return Adopt(transport, printer);
}

int tallyjet_open_transport(const tallyjet_transport* transport, void* context,
                            tallyjet_printer** printer) {
  if (printer == nullptr) return TALLYJET_ERR_INVALID_ARGUMENT;
  *printer = nullptr;
  if (transport == nullptr || transport->write == nullptr || transport->read == nullptr) {
    return TALLYJET_ERR_INVALID_ARGUMENT;
  }
  auto* link = new (std::nothrow) CommAppLink(*transport, context);
  if (link == nullptr) return TALLYJET_ERR_NO_MEMORY;
  return Adopt(link, printer);
}

int tallyjet_close(tallyjet_printer* printer) {
  if (printer == nullptr) return ClosePort();
  const int rc = printer->transport->Close();
  delete printer;
  return rc;
}

}  // extern "C"
