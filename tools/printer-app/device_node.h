// Which device nodes a printer may be on. The server opens a printer's device with the rights
// of its user and writes jobs to it, so a device that is no printer must never be taken: a
// regular file would be overwritten, and memory, consoles or the kernel log written to.
#ifndef TALLYJET_PRINTER_APP_DEVICE_NODE_H
#define TALLYJET_PRINTER_APP_DEVICE_NODE_H

namespace printer_app {

// Whether path is a character device of a printer (a parallel port's lp, a USB printer's
// usb/lp) or a serial line (a tty that is not a console, or a pseudo-terminal's slave end, as
// a virtual printer uses).
bool IsPrinterOrSerialNode(const char* path);

}  // namespace printer_app

#endif  // TALLYJET_PRINTER_APP_DEVICE_NODE_H
