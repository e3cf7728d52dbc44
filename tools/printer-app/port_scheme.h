// The tallyjet: device scheme: the library's own ports as PAPPL devices.
//   tallyjet:///dev/usb/lp0                  a printer device node
//   tallyjet:///dev/ttyUSB0?baud=19200       a serial line (9600, 19200 or 115200 bit/s)
//   tallyjet:///dev/ttyUSB0?baud=19200&flow=hardware
//                                            the same, with working RTS/CTS handshake lines
//   tallyjet://USB                           the printer on USB, through libusb
// and socket://HOST[:PORT], a network printer on raw TCP (port 9100 when left out), through the
// library's network transport with its bounded connect, write and close.
#ifndef TALLYJET_PRINTER_APP_PORT_SCHEME_H
#define TALLYJET_PRINTER_APP_PORT_SCHEME_H

#include <pappl/pappl.h>

#include <string>

#include "tallyjet.h"

namespace printer_app {

constexpr char kPortScheme[] = "tallyjet";
constexpr char kNetworkScheme[] = "socket";

// What OpenPort needs for a port, read from its device URI.
struct PortAddress {
  std::string port;  // "USB", a path or socket://HOST[:PORT]
  int baud = 0;      // 0 for a device node
  bool handshake = false;  // a serial line whose flow control holds the writes back
};

// False for a URI that is of neither scheme or names no port, a baud rate that is not a number
// and any other parameter, and a network URI with a path other than "/" or a query.
bool ParsePortUri(const std::string& uri, PortAddress* address);

// Whether raster bands for the printer at this device URI must wait for room in the printer's
// buffer: a serial line without handshake drops what the printer cannot take. USB, device
// nodes and TCP block the writer instead.
bool NeedsFillLevelPacing(const std::string& uri);

// Registers both schemes with PAPPL; each of their devices is a printer handle of the library.
// Called before anything looks a scheme up: PAPPL then adds none of its own, socket:// included.
void AddPortScheme();

// The printer handle of a device of the scheme, opened with the device and closed with it; null
// for a device of any other scheme.
tallyjet_printer* PortPrinterOf(pappl_device_t* device, const char* deviceUri);

}  // namespace printer_app

#endif  // TALLYJET_PRINTER_APP_PORT_SCHEME_H
