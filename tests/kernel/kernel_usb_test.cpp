// The library through the kernel test machine's USB stack, usblp loaded, to a printer made by
// usb-printer-gadget on dummy_hcd whose ESC/POS side is the virtual printer in this process.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QImage>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "image_per_pixel.h"
#include "printer_on_pty.h"
#include "raster_bands.h"
#include "receipt_round_trip.h"
#include "stopwatch.h"
#include "tallyjet.h"
#include "usb_ids.h"

namespace {

constexpr char kGadgetProgram[] = "/bin/usb-printer-gadget";
constexpr char kDeviceNode[] = "/dev/usb/lp0";
constexpr char kUsbDevices[] = "/sys/bus/usb/devices";

bool NodeExists() { return access(kDeviceNode, F_OK) == 0; }

// The sysfs name of the family's device with this product identifier (such as 1-1); empty while
// the host has not enumerated one.
std::string DeviceName(int product) {
  char wanted[16];
  snprintf(wanted, sizeof wanted, "%04x:%04x", kUsbVendorId, product);
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(kUsbDevices, error)) {
    std::string seenVendor, seenProduct;
    std::ifstream(entry.path() / "idVendor") >> seenVendor;
    std::ifstream(entry.path() / "idProduct") >> seenProduct;
    if (seenVendor + ":" + seenProduct == wanted) {
      return entry.path().filename();
    }
  }
  return "";
}

template <typename Condition>
bool WaitUntil(Condition condition, int timeoutMs = 10000) {
  const Stopwatch watch;
  while (!condition()) {
    if (watch.Ms() > timeoutMs) return false;
    usleep(20000);
  }
  return true;
}

class Usblp : public PrinterOnPty {
 protected:
  void TearDown() override {
    ClosePort();
    Unplug();
    PrinterOnPty::TearDown();
  }

  // Plugs in a printer of the family with this product identifier and waits until the host has
  // enumerated it and usblp has made its device node.
  void Plug(int product) {
    product_ = product;
    // Everything the child needs is made before fork: the printer's thread may hold a lock.
    char vendorText[8], productText[8];
    snprintf(vendorText, sizeof vendorText, "%x", kUsbVendorId);
    snprintf(productText, sizeof productText, "%x", product);
    const std::string line = printer.SlavePath();
    gadget_ = fork();
    if (gadget_ == 0) {
      execl(kGadgetProgram, kGadgetProgram, vendorText, productText, line.c_str(),
            static_cast<char*>(nullptr));
      _exit(127);
    }
    ASSERT_GT(gadget_, 0);
    ASSERT_TRUE(WaitUntil([&] { return !DeviceName(product).empty(); })) << "not enumerated";
    ASSERT_TRUE(WaitUntil(NodeExists)) << "usblp made no device node";
  }

  // Stopping the program closes its ep0, which disconnects the device.
  void Unplug() {
    if (gadget_ <= 0) return;
    kill(gadget_, SIGTERM);
    waitpid(gadget_, nullptr, 0);
    gadget_ = -1;
    EXPECT_TRUE(WaitUntil([&] { return DeviceName(product_).empty(); })) << "still there";
  }

  // A picture paced by fill-level queries against a receive buffer that drains slower than
  // the line: every row must arrive as drawn, without overrunning the printer.
  void PrintPacedPicture() {
    printer.SetRates(20000, 0);
    const QImage picture = DistinctRows(576, 400);
    const std::string path = "/tmp/kernel-picture.png";
    ASSERT_TRUE(picture.save(QString::fromStdString(path)));
    const std::string expected = PerPixelRaster(picture);
    printer.Clear();
    EXPECT_EQ(PrintBmpImage(path.c_str(), 1.0f, 1.0f, 0, 0, 0), TALLYJET_SUCCESS);
    const size_t bands = (400 + 82) / 83;
    EXPECT_TRUE(printer.WaitForReceived(4 + bands * (3 + 8) + expected.size(), 10000));
    EXPECT_NE(printer.Received().find(kFillQuery), std::string::npos);
    EXPECT_EQ(printer.Overruns(), 0);
    EXPECT_TRUE(BandData(printer.Received()) == expected) << "the rows differ from the picture";
  }

  pid_t gadget_ = -1;
  int product_ = 0;
};

// Through usblp's device node, then through the USB path, which takes the printer from usblp
// (the node goes away meanwhile); binding usblp to the interface again, as the README tells,
// brings the node back.
TEST_F(Usblp, DeviceNodeAndUsbPathPrintAndAnswer) {
  Plug(kUsbExtendedProductId);
  ASSERT_EQ(OpenPort(kDeviceNode, 0, 'N', 8, 1), TALLYJET_SUCCESS);
  ExpectReceiptRoundTrip(&printer, "through the kernel's device node\n");
  PrintPacedPicture();
  EXPECT_EQ(ClosePort(), TALLYJET_SUCCESS);
  ASSERT_EQ(OpenPort("USB", 0, 'N', 8, 1), TALLYJET_SUCCESS);
  EXPECT_TRUE(WaitUntil([] { return !NodeExists(); }, 5000));
  ExpectReceiptRoundTrip(&printer, "taken from usblp\n");
  PrintPacedPicture();
  EXPECT_EQ(ClosePort(), TALLYJET_SUCCESS);
  std::ofstream("/sys/bus/usb/drivers/usblp/bind")
      << DeviceName(kUsbExtendedProductId) << ":1.0" << std::flush;
  EXPECT_TRUE(WaitUntil(NodeExists, 5000));
}

struct UnplugCase {
  const char* port;
  int closeCode;  // libusb cannot release the interface of a device that is gone
};

// A printer unplugged mid-job: every call fails at once instead of hanging, and ClosePort
// still frees the port, saying that the job did not get through.
TEST_F(Usblp, UnpluggedPrinterFailsEveryCall) {
  for (const UnplugCase& c : {UnplugCase{kDeviceNode, TALLYJET_ERR_FAILED},
                              UnplugCase{"USB", TALLYJET_ERR_USB_RELEASE}}) {
    SCOPED_TRACE(c.port);
    Plug(kUsbProductId);
    ASSERT_EQ(OpenPort(c.port, 0, 'N', 8, 1), TALLYJET_SUCCESS);
    Unplug();
    EXPECT_EQ(SendData("x", 1), TALLYJET_ERR_FAILED);
    int word = 0;
    EXPECT_EQ(GetPrinterStatus(&word), TALLYJET_ERR_FAILED);
    EXPECT_EQ(word, TALLYJET_PRINTER_NOT_OBTAINED);
    char answer[4];
    EXPECT_LT(GetData(answer, sizeof answer), 0);
    EXPECT_EQ(ClosePort(), c.closeCode);
  }
}

}  // namespace
