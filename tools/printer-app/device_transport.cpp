#include "device_transport.h"

namespace printer_app {

DeviceTransport::DeviceTransport(pappl_device_t* device) : device_(device) {}

int DeviceTransport::Open(const char*) { return TALLYJET_SUCCESS; }

int DeviceTransport::Close() {
  papplDeviceFlush(device_);
  return TALLYJET_SUCCESS;
}

bool DeviceTransport::IsOpen() { return true; }

int DeviceTransport::Write(const char* data, int length) {
  if (length < 0) return TALLYJET_ERR_INVALID_ARGUMENT;
  if (papplDeviceWrite(device_, data, static_cast<size_t>(length)) != length) {
    return TALLYJET_ERR_FAILED;
  }
  papplDeviceFlush(device_);
  return TALLYJET_SUCCESS;
}

int DeviceTransport::Read(char* buffer, int length) {
  if (length < 0) return TALLYJET_ERR_INVALID_ARGUMENT;
  const ssize_t count = papplDeviceRead(device_, buffer, static_cast<size_t>(length));
  return count < 0 ? TALLYJET_ERR_READ : static_cast<int>(count);
}

int DeviceTransport::SetPortSettings(int, char, int, int) { return TALLYJET_SUCCESS; }

}  // namespace printer_app
