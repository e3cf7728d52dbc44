// The serial path against the virtual printer on a pty: queries answered at each rate, and a
// large write to a printer that takes its bytes slowly.
#include <gtest/gtest.h>

#include <string>

#include "connection.h"
#include "printer_on_pty.h"

namespace {

using SerialPrinter = PrinterOnPty;

struct StatusCase {
  int rate;
  bool offline;
  bool coverOpen;
  int expected;
};

const StatusCase kStatusCases[] = {
    {9600, false, false, TALLYJET_PRINTER_ONLINE},
    {19200, true, true, TALLYJET_PRINTER_OFFLINE | TALLYJET_PRINTER_COVER_OPEN},
    {115200, true, false, TALLYJET_PRINTER_OFFLINE},
};

// A serial printer is asked no sixth status byte, so its extra bit never shows.
TEST_F(SerialPrinter, StatusIsAnsweredAtEachRate) {
  for (const StatusCase& c : kStatusCases) {
    SCOPED_TRACE(c.rate);
    vprinter::PrinterState state;
    state.offline = c.offline;
    state.coverOpen = c.coverOpen;
    state.extraStatus = 0x40;
    printer.SetState(state);
    Open(c.rate);
    int word = 0;
    EXPECT_EQ(GetPrinterStatus(&word), TALLYJET_SUCCESS);
    EXPECT_EQ(word, c.expected);
    ASSERT_EQ(ClosePort(), TALLYJET_SUCCESS);
  }
}

// 200 KB is far more than the pty holds, so the write has to wait for the printer, which takes
// 64 KB a second: every byte arrives, in order.
TEST_F(SerialPrinter, LargeWriteToASlowPrinterArrivesWholeAndInOrder) {
  printer.SetRates(0, 64 * 1024);
  Open(115200);
  std::string text(200 * 1024, ' ');
  for (size_t i = 0; i < text.size(); ++i) text[i] = static_cast<char>(0x20 + (i * 7 + i / 95) % 95);
  EXPECT_EQ(comm_->Write(text.data(), static_cast<int>(text.size())), TALLYJET_SUCCESS);
  ASSERT_TRUE(printer.WaitForReceived(text.size(), 5000));
  EXPECT_TRUE(printer.Received() == text);
}

}  // namespace
