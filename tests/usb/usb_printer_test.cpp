// Status over USB answered by the virtual printer: the double's bulk endpoints reach the
// printer's pty, so every query and answer crosses a real byte stream.
#include <memory>

#include "usb_fixture.h"
#include "virtual_printer.h"

namespace {

class UsbPrinter : public UsbDouble {
 protected:
  void SetUp() override {
    UsbDouble::SetUp();
    ASSERT_TRUE(printer_.Start());
  }

  // A printer of this product on the only bus, linked to the virtual printer in this state.
  void Attach(int productId, const vprinter::PrinterState& state) {
    printer_.SetState(state);
    const int device = AddPrinter(fake_usb_add_bus(), productId);
    ASSERT_EQ(fake_usb_link(device, printer_.SlavePath().c_str()), 0);
  }

  vprinter::VirtualPrinter printer_;
};

struct StatusCase {
  const char* name;
  int productId;
  bool coverOpen;
  int extraStatus;
  int expected;
};

// Only the extended product is asked the sixth status byte.
const StatusCase kStatusCases[] = {
    {"StandardOnline", 0x0010, false, 0x40, TALLYJET_PRINTER_ONLINE},
    {"ExtendedOnline", 0x0020, false, 0x00, TALLYJET_PRINTER_ONLINE},
    {"ExtendedBit6", 0x0020, false, 0x40, TALLYJET_PRINTER_ONLINE | TALLYJET_PRINTER_EXTRA_BIT6},
    {"StandardCoverOpen", 0x0010, true, 0x40,
     TALLYJET_PRINTER_ONLINE | TALLYJET_PRINTER_COVER_OPEN},
};

TEST_F(UsbPrinter, StatusIsAnsweredByThePrinter) {
  for (const StatusCase& c : kStatusCases) {
    SCOPED_TRACE(c.name);
    ClosePort();
    fake_usb_reset();
    vprinter::PrinterState state;
    state.coverOpen = c.coverOpen;
    state.extraStatus = c.extraStatus;
    Attach(c.productId, state);
    ASSERT_EQ(OpenPort("USB", 0, 'N', 8, 1), TALLYJET_SUCCESS);
    int word = 0;
    EXPECT_EQ(GetPrinterStatus(&word), TALLYJET_SUCCESS);
    EXPECT_EQ(word, c.expected);
  }
}

// A printer that does not answer: the bulk read's time-out reaches the caller as libusb's
// negative number and the status is not obtained.
TEST_F(UsbPrinter, SilentPrinterIsNotAnAnswer) {
  vprinter::PrinterState state;
  state.answers = vprinter::PrinterState::Answers::Silent;
  Attach(kUsbProductId, state);
  ASSERT_EQ(OpenPort("USB", 0, 'N', 8, 1), TALLYJET_SUCCESS);
  int word = 0;
  EXPECT_LT(GetPrinterStatus(&word), 0);
  EXPECT_EQ(word, TALLYJET_PRINTER_NOT_OBTAINED);
}

}  // namespace
