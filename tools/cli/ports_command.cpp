// ports: the printer ports this machine has, without sending anything to them.
#include <glob.h>
#include <usb.h>

#include <CLI/CLI.hpp>
#include <cstdio>

#include "program.h"
#include "usb_ids.h"

namespace {

const struct {
  const char* pattern;
  const char* kind;
} kDevicePatterns[] = {
    {"/dev/usb/lp*", "printer device node"},
    {"/dev/ttyUSB*", "USB serial adapter (give --baud)"},
    {"/dev/ttyACM*", "USB serial device (give --baud)"},
    {"/dev/ttyS*", "serial port (give --baud)"},
};

void ListDevices() {
  for (const auto& devices : kDevicePatterns) {
    glob_t found;
    if (glob(devices.pattern, 0, nullptr, &found) == 0) {
      for (size_t i = 0; i < found.gl_pathc; ++i) {
        printf("%-16s %s\n", found.gl_pathv[i], devices.kind);
      }
    }
    globfree(&found);
  }
}

// Printers of the family as libusb-0.1 sees them; -p USB opens the first.
void ListUsbPrinters() {
  usb_init();
  usb_find_busses();
  usb_find_devices();
  for (usb_bus* bus = usb_get_busses(); bus != nullptr; bus = bus->next) {
    for (struct usb_device* device = bus->devices; device != nullptr; device = device->next) {
      const auto& d = device->descriptor;
      if (d.idVendor != kUsbVendorId ||
          (d.idProduct != kUsbProductId && d.idProduct != kUsbExtendedProductId)) {
        continue;
      }
      printf("%-16s USB printer %04x:%04x, bus %s device %s\n", "USB", d.idVendor, d.idProduct,
             bus->dirname, device->filename);
    }
  }
}

}  // namespace

void AddPortsCommand(CLI::App& app, Program& program) {
  app.add_subcommand("ports", "List the ports a printer may be on (nothing is sent to them)")
      ->callback([&program] {
        ListDevices();
        ListUsbPrinters();
        program.exitCode = kExitOk;
      });
}
