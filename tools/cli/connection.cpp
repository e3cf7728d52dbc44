#include "connection.h"

#include "failure.h"
#include "tallyjet.h"

namespace {

std::string Describe(const PortOptions& port) {
  if (port.port == "USB") return "opening the USB printer";
  if (port.baud != 0) {
    return "opening " + port.port + " as a serial line at " + std::to_string(port.baud);
  }
  return "opening " + port.port;
}

}  // namespace

Connection::~Connection() {
  if (open_) ClosePort();
}

int Connection::Open() {
  if (port_.port.empty()) {
    Complain("no port: give -p PORT (USB, a device path or socket://HOST) or set TALLYJET_PORT");
    return kExitUsage;
  }
  SetProtocol(TALLYJET_PROTOCOL_ESCPOS);
  const int code = OpenPort(port_.port.c_str(), port_.baud, 'N', 8, 1);
  // A failed open leaves the library's objects in place; closing forgets them.
  open_ = true;
  return Check(code, Describe(port_)) ? kExitOk : kExitFailure;
}

bool Connection::Close() {
  open_ = false;
  return Check(ClosePort(), "closing " + port_.port);
}

bool Connection::Check(int code, const std::string& what) const {
  if (code == TALLYJET_SUCCESS) return true;
  ReportFailure(what, code, port_);
  return false;
}

int RunOnPrinter(const PortOptions& port, const std::function<bool(Connection&)>& work) {
  Connection connection(port);
  const int opened = connection.Open();
  if (opened != kExitOk) return opened;
  // After a failure the port is closed without a second complaint.
  if (!work(connection)) return kExitFailure;
  return connection.Close() ? kExitOk : kExitFailure;
}
