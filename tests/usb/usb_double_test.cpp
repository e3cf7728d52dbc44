// What only the direct USB transport does, and the USB path of OpenPort, against the libusb-0.1
// test double: finding and claiming the printer, the kernel driver, release and close failures.
#include <gtest/gtest.h>

#include <string>

#include "comm_usb.h"
#include "fake_libusb.h"
#include "tallyjet.h"

namespace {

class UsbDouble : public ::testing::Test {
 protected:
  void SetUp() override {
    ClosePort();
    fake_usb_reset();
    SetProtocol(TALLYJET_PROTOCOL_ESCPOS);
  }
  void TearDown() override { ClosePort(); }

  // A printer of the family with this product identifier and behaviour, on bus.
  static int AddPrinter(int bus, int productId, FakeUsbDevice printer = {}) {
    printer.productId = productId;
    return fake_usb_add_device(bus, &printer);
  }

  static std::string Written(int device) {
    char bytes[8192];
    return std::string(bytes, fake_usb_written(device, bytes, sizeof bytes));
  }

  // Describes printer on a new bus and opens it with usb; answers its index.
  static int OpenPrinter(CommUsb* usb, const FakeUsbDevice& behaviour) {
    const int printer = fake_usb_add_device(fake_usb_add_bus(), &behaviour);
    EXPECT_EQ(usb->Open(kUsbProductId, kUsbVendorId), TALLYJET_SUCCESS);
    return printer;
  }
};

struct OpenCase {
  const char* name;
  FakeUsbDevice printer;  // the one described; Open asks for the family's vendor and its product
  int expected;
};

// A printer of another product is the contract's failed open; both products open further down.
const OpenCase kOpenCases[] = {
    {"OtherVendor", {kUsbVendorId + 1, 0x0010}, TALLYJET_ERR_USB_NOT_FOUND},
    {"OpenRefused", {kUsbVendorId, 0x0010, 1}, TALLYJET_ERR_USB_OPEN},
    {"ConfigurationFails", {kUsbVendorId, 0x0010, 0, -16}, TALLYJET_ERR_USB_CONFIGURATION},
    {"ClaimFails", {kUsbVendorId, 0x0020, 0, 0, -16}, TALLYJET_ERR_USB_CLAIM},
};

// Each way Open fails; a failure leaves no handle behind, so Write and Close answer -4.
TEST_F(UsbDouble, EachFailedOpenLeavesNoHandle) {
  for (const OpenCase& c : kOpenCases) {
    SCOPED_TRACE(c.name);
    fake_usb_reset();
    fake_usb_add_device(fake_usb_add_bus(), &c.printer);
    CommUsb usb;
    EXPECT_EQ(usb.Open(c.printer.productId, kUsbVendorId), c.expected);
    EXPECT_EQ(usb.GetDevicePid(), c.printer.productId);
    EXPECT_FALSE(usb.IsOpen());
    EXPECT_EQ(usb.Write("x", 1), TALLYJET_ERR_PORT_NOT_OPEN);
    EXPECT_EQ(usb.Close(), TALLYJET_ERR_PORT_NOT_OPEN);
    EXPECT_EQ(fake_usb_counters().handlesOpen, 0);
  }
}

// The bus list is read again on every Open, and an identifier beyond 16 bits matches nothing.
TEST_F(UsbDouble, OnlyAPrinterPresentNowWithTheseIdentifiersIsFound) {
  const int bus = fake_usb_add_bus();
  CommUsb usb;
  EXPECT_EQ(usb.Open(kUsbProductId, kUsbVendorId), TALLYJET_ERR_USB_NOT_FOUND);
  AddPrinter(bus, kUsbProductId);
  EXPECT_EQ(usb.Open(kUsbProductId + 0x10000, kUsbVendorId), TALLYJET_ERR_USB_NOT_FOUND);
  EXPECT_EQ(usb.Open(kUsbProductId, kUsbVendorId + 0x10000), TALLYJET_ERR_USB_NOT_FOUND);
  EXPECT_EQ(usb.Open(kUsbProductId, kUsbVendorId), TALLYJET_SUCCESS);
}

// The first match on the first bus is taken, and when it refuses to open no other is tried.
TEST_F(UsbDouble, OnlyTheFirstMatchIsTried) {
  const int first = fake_usb_add_bus();
  const int second = fake_usb_add_bus();
  AddPrinter(first, kUsbExtendedProductId);
  const int wanted = AddPrinter(first, kUsbProductId);
  AddPrinter(first, kUsbProductId);
  AddPrinter(second, kUsbProductId);
  CommUsb usb;
  ASSERT_EQ(usb.Open(kUsbProductId, kUsbVendorId), TALLYJET_SUCCESS);
  EXPECT_EQ(fake_usb_counters().lastOpened, wanted);
  FakeUsbDevice refusing;
  refusing.refuseOpen = 1;
  fake_usb_change_device(wanted, &refusing);
  EXPECT_EQ(usb.Open(kUsbProductId, kUsbVendorId), TALLYJET_ERR_USB_OPEN);
  EXPECT_EQ(fake_usb_counters().lastOpened, wanted);
}

struct DetachCase {
  const char* name;
  int bound;        // usblp holds the printer
  int detachError;  // answered by usb_detach_kernel_driver_np
  int expected;
  int detaches;
};

const DetachCase kDetachCases[] = {
    {"BoundDriverIsDetached", 1, 0, TALLYJET_SUCCESS, 1},
    {"FreePrinterIsLeftAlone", 0, 0, TALLYJET_SUCCESS, 0},
    {"RefusedDetachAnswersConfiguration", 1, -1, TALLYJET_ERR_USB_CONFIGURATION, 1},
};

// Not run against the double built without the kernel-driver functions.
using UsbDetach = UsbDouble;

TEST_F(UsbDetach, KernelDriverIsDetachedOnlyWhenBound) {
  for (const DetachCase& c : kDetachCases) {
    SCOPED_TRACE(c.name);
    fake_usb_reset();
    FakeUsbDevice behaviour;
    behaviour.kernelDriverBound = c.bound;
    behaviour.detachError = c.detachError;
    AddPrinter(fake_usb_add_bus(), kUsbProductId, behaviour);
    CommUsb usb;
    EXPECT_EQ(usb.Open(kUsbProductId, kUsbVendorId), c.expected);
    EXPECT_EQ(fake_usb_counters().detaches, c.detaches);
  }
}

struct ModeCase {
  int productId;
  std::string written;
};

// Only the extended printer is set to standard mode when the port opens.
TEST_F(UsbDouble, OnlyTheExtendedPrinterGetsTheModeCommand) {
  for (const ModeCase& c : {ModeCase{kUsbProductId, ""},
                            ModeCase{kUsbExtendedProductId, std::string("\x1b\x63\x30\x01", 4)}}) {
    SCOPED_TRACE(c.productId);
    ClosePort();
    fake_usb_reset();
    const int printer = AddPrinter(fake_usb_add_bus(), c.productId);
    ASSERT_EQ(OpenPort("USB", 0, 'N', 8, 1), TALLYJET_SUCCESS);
    EXPECT_EQ(Written(printer), c.written);
  }
}

// A failed release keeps the printer open and claimed, so Close can be tried again; a failed
// usb_close has freed the handle all the same.
TEST_F(UsbDouble, FailedCloseKeepsTheHandleOnlyWhenNotReleased) {
  FakeUsbDevice stuck;
  stuck.releaseError = -5;
  FakeUsbDevice failing;
  failing.closeError = -19;
  CommUsb usb;
  const int printer = OpenPrinter(&usb, stuck);
  EXPECT_EQ(usb.Close(), TALLYJET_ERR_USB_RELEASE);
  EXPECT_EQ(usb.Write("ab", 2), TALLYJET_SUCCESS);
  fake_usb_change_device(printer, &failing);
  EXPECT_EQ(usb.Close(), TALLYJET_ERR_CLOSE);
  EXPECT_FALSE(usb.IsOpen());
  EXPECT_EQ(fake_usb_counters().handlesOpen, 0);
}

// The whole buffer goes in one bulk transfer, and one the printer took short is a failure.
TEST_F(UsbDouble, ShortBulkTransferFailsTheWrite) {
  FakeUsbDevice takesLess;
  takesLess.writeShortBy = 1;
  CommUsb usb;
  const int printer = OpenPrinter(&usb, takesLess);
  const std::string band(6000, '\x55');
  EXPECT_EQ(usb.Write(band.data(), static_cast<int>(band.size())), TALLYJET_ERR_FAILED);
  EXPECT_EQ(fake_usb_counters().bulkWrites, 1);
  EXPECT_EQ(Written(printer).size(), band.size() - 1);
}

}  // namespace
