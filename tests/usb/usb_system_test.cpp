// The USB path of OpenPort over Debian's libusb-0.1 on a machine without a printer attached.
#include <gtest/gtest.h>

#include "connection.h"
#include "tallyjet.h"
#include "usb_ids.h"

namespace {

TEST(UsbSystemLibrary, NoPrinterAnswersNotFoundAfterBothAttempts) {
  ASSERT_EQ(SetProtocol(TALLYJET_PROTOCOL_ESCPOS), TALLYJET_SUCCESS);
  EXPECT_EQ(OpenPort("USB", 0, 'N', 8, 1), TALLYJET_ERR_USB_NOT_FOUND);
  ASSERT_NE(comm_, nullptr);
  EXPECT_EQ(comm_->GetDevicePid(), kUsbExtendedProductId);
  EXPECT_EQ(comm_->GetDeviceVid(), kUsbVendorId);
  EXPECT_EQ(ClosePort(), TALLYJET_ERR_PORT_NOT_OPEN);
}

}  // namespace
