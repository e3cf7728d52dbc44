#include "failure.h"

#include <unistd.h>

#include <cstdio>

#include "tallyjet.h"
#include "usb_ids.h"

namespace {

bool IsUsb(const PortOptions& port) { return port.port == "USB"; }

std::string UsbHint(int code) {
  char ids[64];
  snprintf(ids, sizeof ids, "vendor id %04x, product id %04x or %04x", kUsbVendorId,
           kUsbProductId, kUsbExtendedProductId);
  switch (code) {
    case TALLYJET_ERR_USB_LIBRARY: return "install libusb-0.1 (Debian: apt-get install libusb-0.1-4)";
    case TALLYJET_ERR_USB_NOT_FOUND:
      return std::string("no USB printer with ") + ids +
             ": is it plugged in and switched on? 'tallyjet ports' lists what is seen";
    case TALLYJET_ERR_USB_OPEN:
      return "no permission on the USB device: install contrib/udev/60-tallyjet-printer.rules "
             "and join group lp, or run as root";
    case TALLYJET_ERR_USB_CONFIGURATION:
    case TALLYJET_ERR_USB_CLAIM:
      return "another driver holds the printer (usblp, CUPS): print to /dev/usb/lp0 instead, "
             "or unbind usblp from it";
    default: return "is the printer still connected and switched on?";
  }
}

// Why a device path did not open, from what the file system says about it.
std::string PathHint(const PortOptions& port) {
  const char* path = port.port.c_str();
  if (port.port.compare(0, 9, "socket://") == 0) {
    return "is the host reachable and the printer listening on that port (9100 unless named)?";
  }
  if (access(path, F_OK) != 0) {
    return port.port + " does not exist: 'tallyjet ports' lists the candidates";
  }
  if (access(path, R_OK | W_OK) != 0) {
    return "no permission on " + port.port + ": join the group that owns it (ls -l " +
           port.port + "; usermod -aG GROUP $USER) or install the udev rule";
  }
  return port.port + " is busy or not a printer";
}

// Why opening failed.
std::string OpenHint(int code, const PortOptions& port) {
  if (IsUsb(port)) return UsbHint(code);
  switch (code) {
    case TALLYJET_ERR_PORT_NOT_OPEN: return PathHint(port);
    case TALLYJET_ERR_INVALID_ARGUMENT:
      return port.baud != 0 ? "a serial line takes --baud 9600, 19200 or 115200"
                            : "'" + port.port + "' is not a port: give USB, a device path or "
                              "socket://HOST[:PORT]";
    default: return "is the printer connected and switched on?";
  }
}

// Why a call on an open printer failed.
std::string CallHint(int code, const PortOptions& port) {
  switch (code) {
    case TALLYJET_ERR_INVALID_ARGUMENT: return "the library refused a value of the command";
    case TALLYJET_ERR_SERIAL_TIMEOUT:
      return "no answer: is the printer on, and is --baud " + std::to_string(port.baud) +
             " the printer's rate?";
    case TALLYJET_ERR_READ:
      return "reading " + port.port + " failed: is the printer still connected?";
    case TALLYJET_ERR_FAILED:
      return "the printer took the data only in part: is it still connected and switched on?";
    default: return IsUsb(port) ? UsbHint(code) : "see the library's result codes in tallyjet(1)";
  }
}

void Report(const std::string& what, int code, const std::string& hint) {
  fprintf(stderr, "tallyjet: %s: %s (%d); %s\n", what.c_str(), tallyjet_result_name(code), code,
          hint.c_str());
}

}  // namespace

void ReportOpenFailure(const std::string& what, int code, const PortOptions& port) {
  Report(what, code, OpenHint(code, port));
}

void ReportFailure(const std::string& what, int code, const PortOptions& port) {
  Report(what, code, CallHint(code, port));
}

void Complain(const std::string& message) { fprintf(stderr, "tallyjet: %s\n", message.c_str()); }
