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

std::string Hint(int code, const PortOptions& port) {
  if (IsUsb(port)) return UsbHint(code);
  switch (code) {
    case TALLYJET_ERR_PORT_NOT_OPEN: return PathHint(port);
    case TALLYJET_ERR_INVALID_ARGUMENT:
      return port.baud != 0 ? "a serial line takes --baud 9600, 19200 or 115200"
                            : "the printer refused a value";
    case TALLYJET_ERR_SERIAL_TIMEOUT:
      return "no answer: is the printer on, and is --baud " + std::to_string(port.baud) +
             " the printer's rate?";
    case TALLYJET_ERR_READ:
      return "reading " + port.port + " failed: is the printer still connected?";
    case TALLYJET_ERR_FAILED:
      return "the printer took the data only in part, or answered nonsense: is it connected, "
             "switched on and set to the right baud rate?";
    default: return "see the library's result codes in tallyjet(1)";
  }
}

}  // namespace

void ReportFailure(const std::string& what, int code, const PortOptions& port) {
  fprintf(stderr, "tallyjet: %s: %s (%d); %s\n", what.c_str(), tallyjet_result_name(code), code,
          Hint(code, port).c_str());
}

void Complain(const std::string& message) { fprintf(stderr, "tallyjet: %s\n", message.c_str()); }
