// The USB transport when the libusb-0.1 found lacks usb_release_interface (its other functions
// work, so a transport that used it anyway would not answer -17), then once a complete one appears.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "comm_usb.h"
#include "tallyjet.h"
#include "usb_ids.h"

namespace {

// LATE_DIR comes first on the search path and starts empty.
std::string LateLibrary() { return std::string(LATE_DIR) + "/libusb-0.1.so.4"; }

// Every OpenPort answers the library missing. A failed load keeps nothing, so the next Open
// loads again and finds the complete library; until then the identifiers stay at their defaults.
TEST(UsbWithoutLibrary, LoadIsRetriedOnTheNextOpen) {
  remove(LateLibrary().c_str());
  ASSERT_EQ(SetProtocol(TALLYJET_PROTOCOL_ESCPOS), TALLYJET_SUCCESS);
  EXPECT_EQ(OpenPort("USB", 0, 'N', 8, 1), TALLYJET_ERR_USB_LIBRARY);
  EXPECT_EQ(OpenPort("USB", 0, 'N', 8, 1), TALLYJET_ERR_USB_LIBRARY);
  EXPECT_EQ(ClosePort(), TALLYJET_ERR_PORT_NOT_OPEN);
  CommUsb usb;
  EXPECT_EQ(usb.Open(kUsbExtendedProductId, kUsbVendorId + 1), TALLYJET_ERR_USB_LIBRARY);
  EXPECT_EQ(usb.GetDevicePid(), kUsbProductId);
  EXPECT_EQ(usb.GetDeviceVid(), kUsbVendorId);
  ASSERT_EQ(symlink(DOUBLE_LIBRARY, LateLibrary().c_str()), 0);
  EXPECT_EQ(usb.Open(kUsbProductId, kUsbVendorId), TALLYJET_ERR_USB_NOT_FOUND);
  remove(LateLibrary().c_str());
}

}  // namespace
