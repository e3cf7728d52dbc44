// A test whose libusb-0.1 is the test double: each test describes its busses and devices, and
// ends with the process-wide connection closed.
#ifndef TALLYJET_TESTS_USB_FIXTURE_H
#define TALLYJET_TESTS_USB_FIXTURE_H

#include <gtest/gtest.h>

#include <string>

#include "fake_libusb.h"
#include "tallyjet.h"
#include "usb_ids.h"

// A printer of the family with this product identifier and behaviour.
inline FakeUsbDevice FamilyPrinter(int productId, FakeUsbDevice behaviour = {}) {
  behaviour.vendorId = kUsbVendorId;
  behaviour.productId = productId;
  return behaviour;
}

class UsbDouble : public ::testing::Test {
 protected:
  void SetUp() override {
    ClosePort();
    fake_usb_reset();
    SetProtocol(TALLYJET_PROTOCOL_ESCPOS);
  }
  void TearDown() override { ClosePort(); }

  // A printer of the family with this product identifier and behaviour, on bus.
  static int AddPrinter(int bus, int productId, const FakeUsbDevice& behaviour = {}) {
    const FakeUsbDevice printer = FamilyPrinter(productId, behaviour);
    return fake_usb_add_device(bus, &printer);
  }

  static std::string Written(int device) {
    char bytes[4096];
    return std::string(bytes, fake_usb_written(device, bytes, sizeof bytes));
  }
};

#endif  // TALLYJET_TESTS_USB_FIXTURE_H
