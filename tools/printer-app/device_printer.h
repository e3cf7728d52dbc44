// The library's printer handle for a device that PAPPL opened. A device of the library's own
// ports already holds its handle; any other device (PAPPL's usb:, socket: and the rest) gets a
// handle over PAPPL's device functions for as long as this object lives.
#ifndef TALLYJET_PRINTER_APP_DEVICE_PRINTER_H
#define TALLYJET_PRINTER_APP_DEVICE_PRINTER_H

#include <pappl/pappl.h>

#include "tallyjet.h"

namespace printer_app {

class DevicePrinter {
 public:
  // job, when given, is the job the device prints: a write fails once it is cancelled, so that
  // a long picture stops at the next band.
  DevicePrinter(pappl_printer_t* printer, pappl_device_t* device, pappl_job_t* job = nullptr);
  ~DevicePrinter();
  DevicePrinter(const DevicePrinter&) = delete;
  DevicePrinter& operator=(const DevicePrinter&) = delete;

  // The handle; null when it could not be opened.
  tallyjet_printer* get() const { return handle_; }
  // 1 when the handle is there, else the library's result code.
  int result() const { return result_; }

  // What the callbacks of a link over a PAPPL device get as their context.
  struct Link {
    pappl_device_t* device;
    pappl_job_t* job;
  };

 private:
  Link link_;
  tallyjet_printer* handle_ = nullptr;
  bool owned_ = false;  // opened here, closed here
  int result_ = TALLYJET_SUCCESS;
};

}  // namespace printer_app

#endif  // TALLYJET_PRINTER_APP_DEVICE_PRINTER_H
