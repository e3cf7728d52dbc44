// The connection entry points to the virtual printer on a pty and to Debian's libusb-0.1 with no
// printer attached, and the transport interface for an application's own transport.
#include <gtest/gtest.h>

#include <string>
#include <typeinfo>

#include "comm_base.h"
#include "comm_uart.h"
#include "comm_usblp.h"
#include "connection.h"
#include "printer_on_pty.h"
#include "recording_transport.h"
#include "usb_ids.h"

namespace {

using ConnectionTest = PrinterOnPty;

// A failed open leaves its transport unopened; the next OpenPort that asks for another kind
// gets that kind, line settings and all, so "this port, else that one" needs no ClosePort.
TEST_F(ConnectionTest, FailedOpenGivesWayToTheKindAskedForNext) {
  const std::string pty = printer.SlavePath();
  struct Case {
    const char* first;
    int firstBaud;
    int secondBaud;  // the second call opens the printer's pty
    const std::type_info* kind;
  };
  const Case cases[] = {
      {"USB", 0, 0, &typeid(CommUsbLP)},
      {"/nonexistent/lp0", 0, 9600, &typeid(CommUart)},
      {"/nonexistent/tty", 9600, 0, &typeid(CommUsbLP)},
  };
  for (const Case& c : cases) {
    EXPECT_LT(OpenPort(c.first, c.firstBaud, 'N', 8, 1), 0) << c.first;
    EXPECT_EQ(SendData("x", 1), TALLYJET_ERR_PORT_NOT_OPEN) << c.first;  // nothing is open
    EXPECT_EQ(OpenPort(pty.c_str(), c.secondBaud, 'N', 8, 1), TALLYJET_SUCCESS) << c.first;
    EXPECT_TRUE(comm_ != nullptr && typeid(*comm_) == *c.kind) << c.first;
    EXPECT_EQ(ClosePort(), TALLYJET_SUCCESS) << c.first;
  }
  ASSERT_EQ(OpenPort("/nonexistent/lp0", 0, 'N', 8, 1), TALLYJET_ERR_PORT_NOT_OPEN);
  // Debian's libusb-0.1 sees no printer here: both products are tried, and nothing is open.
  EXPECT_EQ(OpenPort("USB", 0, 'N', 8, 1), TALLYJET_ERR_USB_NOT_FOUND);
  EXPECT_EQ(comm_->GetDevicePid(), kUsbExtendedProductId);
  EXPECT_EQ(ClosePort(), TALLYJET_ERR_PORT_NOT_OPEN);
}

// Names that only resemble "USB" take the device-node path and fail to open as files.
TEST_F(ConnectionTest, UsbNameIsMatchedExactly) {
  for (const char* name : {"usb", "USB0", "US", ""}) {
    EXPECT_EQ(OpenPort(name, 0, 'N', 8, 1), TALLYJET_ERR_PORT_NOT_OPEN) << name;
    EXPECT_EQ(ClosePort(), TALLYJET_ERR_PORT_NOT_OPEN) << name;  // descriptor -1 untouched
  }
}

TEST_F(ConnectionTest, ApplicationsOwnTransportIsNeverReplaced) {
  auto* own = new RecordingTransport;  // not open, and of no kind the library makes
  comm_ = own;
  EXPECT_EQ(OpenPort("USB", 0, 'N', 8, 1), TALLYJET_ERR_NOT_SUPPORTED);
  EXPECT_EQ(comm_, own);
  // Any other name is opened the serial way, whose line settings it does not offer.
  EXPECT_EQ(OpenPort("/dev/null", 0, 'N', 8, 1), TALLYJET_ERR_PORT_NOT_OPEN);
  EXPECT_EQ(comm_, own);
}

TEST(ConnectionChecksTest, OperationsATransportLacksAreNotSupported) {
  CommBase base;
  char byte = 0;
  EXPECT_EQ(base.Open(0x10, 0x1209), TALLYJET_ERR_NOT_SUPPORTED);
  EXPECT_EQ(base.Open("/dev/null"), TALLYJET_ERR_NOT_SUPPORTED);
  EXPECT_EQ(base.Write("x", 1), TALLYJET_ERR_NOT_SUPPORTED);
  EXPECT_EQ(base.Read(&byte, 1), TALLYJET_ERR_NOT_SUPPORTED);
  EXPECT_EQ(base.GetDeviceVid(), TALLYJET_ERR_NOT_SUPPORTED);
  EXPECT_EQ(base.GetDevicePid(), TALLYJET_ERR_NOT_SUPPORTED);
  EXPECT_EQ(base.SetPortSettings(9600, 'N', 8, 1), TALLYJET_ERR_NOT_SUPPORTED);
  EXPECT_EQ(base.Close(), TALLYJET_ERR_PORT_NOT_OPEN);
  EXPECT_FALSE(base.IsOpen());
}

TEST(ConnectionChecksTest, DeviceNodeRefusesANullPath) {
  CommUsbLP node;
  EXPECT_EQ(node.Open(nullptr), TALLYJET_ERR_INVALID_ARGUMENT);
  EXPECT_FALSE(node.IsOpen());
}

}  // namespace
