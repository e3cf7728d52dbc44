// A library transport over a device that PAPPL opened (usb://, socket:// or our own scheme).
// The library puts its commands, GS v 0 bands included, through it to the device.
#ifndef TALLYJET_PRINTER_APP_DEVICE_TRANSPORT_H
#define TALLYJET_PRINTER_APP_DEVICE_TRANSPORT_H

#include <pappl/pappl.h>

#include "comm_base.h"

namespace printer_app {

class DeviceTransport : public CommBase {
 public:
  explicit DeviceTransport(pappl_device_t* device);

  using CommBase::Open;
  // PAPPL opened the device already: 1 whatever the name.
  int Open(const char* path) override;
  // Hands on what is still buffered; the device stays open for PAPPL to close.
  int Close() override;
  bool IsOpen() override;
  // 1 when the device took all length bytes (they are flushed at once, so that a query reaches
  // the printer before its answer is read), -1 otherwise, -3 for a negative length.
  int Write(const char* data, int length) override;
  // The count read, or -30 when the device failed.
  int Read(char* buffer, int length) override;
  // The device was set up when it opened: the line settings of OpenPort are accepted as they are.
  int SetPortSettings(int baudRate, char parity, int dataBits, int stopBits) override;

 private:
  pappl_device_t* device_;
};

}  // namespace printer_app

#endif  // TALLYJET_PRINTER_APP_DEVICE_TRANSPORT_H
