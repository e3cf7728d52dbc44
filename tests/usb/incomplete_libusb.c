// A libusb-0.1 stand-in that lacks usb_release_interface, the last of the eleven functions the
// transport looks up. Every function it has fails, so a transport that used it anyway would
// answer something other than -17.
#include <stddef.h>

struct usb_dev_handle;
struct usb_device;
struct usb_bus;

#define UNUSED __attribute__((unused))

struct usb_dev_handle* usb_open(struct usb_device* device UNUSED) { return NULL; }
int usb_close(struct usb_dev_handle* handle UNUSED) { return -1; }
void usb_init(void) {}
int usb_find_devices(void) { return -1; }
int usb_find_busses(void) { return -1; }
int usb_bulk_write(struct usb_dev_handle* handle UNUSED, int endpoint UNUSED, char* bytes UNUSED,
                   int size UNUSED, int timeout UNUSED) {
  return -1;
}
int usb_bulk_read(struct usb_dev_handle* handle UNUSED, int endpoint UNUSED, char* bytes UNUSED,
                  int size UNUSED, int timeout UNUSED) {
  return -1;
}
struct usb_bus* usb_get_busses(void) { return NULL; }
int usb_set_configuration(struct usb_dev_handle* handle UNUSED, int value UNUSED) { return -1; }
int usb_claim_interface(struct usb_dev_handle* handle UNUSED, int interface UNUSED) { return -1; }
