// Styled text, the code table and the paper commands through OpenPort and the device-node path
// to the virtual printer on a pty.
#include <gtest/gtest.h>

#include <string>

#include "printer_on_pty.h"
#include "recording_transport.h"

namespace {

const std::string kCafe = "Caf\xC3\xA9\n";

class TextEndToEndTest : public PrinterOnPty {
 protected:
  void SetUp() override {
    PrinterOnPty::SetUp();
    Open();
  }
  void TearDown() override {
    SetCharCodeTable(TALLYJET_CODEPAGE_850);
    PrinterOnPty::TearDown();
  }

  int Send(const std::string& text) { return SendData(text.data(), static_cast<int>(text.size())); }
};

// The accent goes out as its code page 850 byte, and the printer decodes it back.
TEST_F(TextEndToEndTest, StyledCentredAccentedLineAndCutArriveAsSent) {
  ASSERT_EQ(SetTextProperties(2, 0, 0, 1), TALLYJET_SUCCESS);
  ASSERT_EQ(SetJustification(1), TALLYJET_SUCCESS);
  ASSERT_EQ(Send(kCafe), TALLYJET_SUCCESS);
  ASSERT_EQ(SetLeftMargin(8), TALLYJET_SUCCESS);
  ASSERT_EQ(PaperFeed(40), TALLYJET_SUCCESS);
  ASSERT_EQ(MakeCut(1), TALLYJET_SUCCESS);
  const std::string expected =
      Bytes({0x1B, 0x21, 0x38, 0x1B, 0x61, 0x01, 0x43, 0x61, 0x66, 0x82, 0x0A,
             0x1D, 0x4C, 0x08, 0x00, 0x1B, 0x4A, 0x28, 0x1D, 0x56, 0x01});
  ASSERT_TRUE(printer.WaitForReceived(expected.size(), 2000));
  EXPECT_EQ(printer.Received(), expected);
  const vprinter::PrinterSettings settings = printer.Settings();
  EXPECT_EQ(settings.style.printMode, 0x38);
  EXPECT_EQ(settings.layout.justification, 1);
  ASSERT_TRUE(printer.WaitForLog(1, 2000));
  EXPECT_TRUE(Logged("Caf\xC3\xA9")) << testing::PrintToString(printer.Log());
}

TEST_F(TextEndToEndTest, CodeTableOutlivesClosingReopeningAndReset) {
  ASSERT_EQ(SetCharCodeTable(0), TALLYJET_SUCCESS);
  ASSERT_EQ(ClosePort(), TALLYJET_SUCCESS);
  Open();
  ASSERT_EQ(Reset(), TALLYJET_SUCCESS);
  ASSERT_EQ(Send(kCafe), TALLYJET_SUCCESS);
  const std::string expected = Bytes({0x1B, 0x74, 0x00, 0x1B, 0x40}) + kCafe;
  ASSERT_TRUE(printer.WaitForReceived(expected.size(), 2000));
  EXPECT_EQ(printer.Received(), expected);
}

}  // namespace
