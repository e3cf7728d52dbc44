// Control interface of the libusb-0.1 test double: a test describes busses and devices, which
// the transport finds through libusb's functions and published structures; bulk transfers go to
// a byte stream the test links (a virtual printer's pty). FAKE_USB_WITHOUT_DETACH leaves out the
// two kernel-driver functions, FAKE_USB_WITHOUT_RELEASE usb_release_interface.
#ifndef TALLYJET_TESTS_FAKE_LIBUSB_H
#define TALLYJET_TESTS_FAKE_LIBUSB_H

#include "../../comm/usb_ids.h"

extern "C" {

// What a described device does. By default the family's standard printer, free of any kernel
// driver, where every call succeeds, except unlinked reads, which time out.
struct FakeUsbDevice {
  int vendorId = kUsbVendorId;
  int productId = kUsbProductId;
  int refuseOpen = 0;          // usb_open answers null
  int configurationError = 0;  // usb_set_configuration answers this when not 0
  int claimError = 0;          // usb_claim_interface answers this when not 0
  int releaseError = 0;        // usb_release_interface answers this when not 0
  int closeError = 0;          // usb_close answers this when not 0 (the handle is gone anyway)
  int writeShortBy = 0;        // usb_bulk_write takes this many bytes fewer than asked
  int readError = 0;           // usb_bulk_read answers this when not 0
  int kernelDriverBound = 0;   // usblp holds interface 0: configuring and claiming answer -EBUSY
  int detachError = 0;         // usb_detach_kernel_driver_np answers this when not 0, still bound
};

// What the double saw since the last reset.
struct FakeUsbCounters {
  int handlesOpen;    // handles not yet closed
  int claimed;        // handles whose interface is claimed
  int bulkWrites;     // usb_bulk_write calls
  int lastOpened;     // index of the device last given to usb_open, -1 for none
  int detaches;       // usb_detach_kernel_driver_np calls
};

// Forgets every bus, device, handle and count.
void fake_usb_reset(void);
// Adds a bus and answers its index.
int fake_usb_add_bus(void);
// Adds a device at the end of the bus's list and answers its index (counted over all busses);
// the library sees it at its next usb_find_busses and usb_find_devices.
int fake_usb_add_device(int bus, const struct FakeUsbDevice* device);
// Changes how a described device behaves from now on.
void fake_usb_change_device(int index, const struct FakeUsbDevice* device);
// Bulk writes to the device go to path and bulk reads come from it; 0 on success.
int fake_usb_link(int index, const char* path);
// Every byte the device took in bulk writes, in order; answers the count copied into bytes.
int fake_usb_written(int index, char* bytes, int capacity);
struct FakeUsbCounters fake_usb_counters(void);

}

#endif  // TALLYJET_TESTS_FAKE_LIBUSB_H
