#include "library_session.h"

#include "device_transport.h"

namespace printer_app {

// The name OpenPort gets for a device PAPPL opened: neither "USB" nor a path, and with the
// transport already in place OpenPort only asks it to open.
constexpr char kDevicePortName[] = "pappl-device";

std::recursive_mutex& LibraryMutex() {
  static std::recursive_mutex mutex;
  return mutex;
}

Connection TakeConnection() {
  const Connection taken{comm_, prot_};
  comm_ = nullptr;
  prot_ = nullptr;
  return taken;
}

void PutConnection(const Connection& connection) {
  comm_ = connection.transport;
  prot_ = connection.encoder;
}

DeviceSession::DeviceSession(pappl_device_t* device)
    : lock_(LibraryMutex()), outer_(TakeConnection()) {
  SetProtocol(TALLYJET_PROTOCOL_ESCPOS);
  comm_ = new DeviceTransport(device);  // the library's ClosePort deletes it
  result_ = OpenPort(kDevicePortName, 0, 'N', 8, 1);
}

DeviceSession::~DeviceSession() {
  ClosePort();
  PutConnection(outer_);
}

}  // namespace printer_app
