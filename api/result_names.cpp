// The names of the result codes and the library's version, for logs and for bindings in other
// languages.
#include "tallyjet.h"

#define TALLYJET_TEXT(x) #x
#define TALLYJET_VERSION_TEXT(major, minor, patch) \
  TALLYJET_TEXT(major) "." TALLYJET_TEXT(minor) "." TALLYJET_TEXT(patch)

extern "C" {

const char* tallyjet_result_name(int code) {
  switch (code) {
    case TALLYJET_SUCCESS: return "success";
    case TALLYJET_ERR_FAILED: return "failed";
    case TALLYJET_ERR_NOT_SUPPORTED: return "not supported";
    case TALLYJET_ERR_INVALID_ARGUMENT: return "invalid argument";
    case TALLYJET_ERR_PORT_NOT_OPEN: return "port not open";
    case TALLYJET_ERR_NO_MEMORY: return "out of memory";
    case TALLYJET_ERR_NO_PROTOCOL: return "protocol not selected";
    case TALLYJET_ERR_USB_OPEN: return "opening the USB device failed";
    case TALLYJET_ERR_USB_CONFIGURATION: return "setting the USB configuration failed";
    case TALLYJET_ERR_USB_CLAIM: return "claiming the USB interface failed";
    case TALLYJET_ERR_USB_RELEASE: return "releasing the USB interface failed";
    case TALLYJET_ERR_CLOSE: return "closing the device failed";
    case TALLYJET_ERR_USB_NOT_FOUND: return "USB device not found";
    case TALLYJET_ERR_SERIAL_TIMEOUT: return "serial read time-out";
    case TALLYJET_ERR_USB_LIBRARY: return "USB library not available";
    case TALLYJET_ERR_READ: return "device read failed";
    case TALLYJET_ERR_PRINTER_STOPPED: return "printer stopped";
    case TALLYJET_ERR_NOT_CONFIRMED: return "printing not confirmed";
    default: return code >= 0 ? "byte count" : "USB error";
  }
}

const char* tallyjet_version(void) {
  return TALLYJET_VERSION_TEXT(TALLYJET_VERSION_MAJOR, TALLYJET_VERSION_MINOR,
                               TALLYJET_VERSION_PATCH);
}

}  // extern "C"
