// For a test whose libusb-0.1 is the test double, which describes its busses and devices.
#ifndef TALLYJET_TESTS_USB_FIXTURE_H
#define TALLYJET_TESTS_USB_FIXTURE_H

#include "fake_libusb.h"
#include "tallyjet.h"
#include "usb_ids.h"

// A printer of the family with this product identifier and behaviour.
inline FakeUsbDevice FamilyPrinter(int productId, FakeUsbDevice behaviour = {}) {
  behaviour.vendorId = kUsbVendorId;
  behaviour.productId = productId;
  return behaviour;
}

#endif  // TALLYJET_TESTS_USB_FIXTURE_H
