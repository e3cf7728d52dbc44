// Styled text, the code table and the paper commands through OpenPort and the device-node path
// to the virtual printer on a pty.
#include <gtest/gtest.h>

#include <string>

#include "connection.h"
#include "recording_transport.h"
#include "virtual_printer.h"

namespace {

const std::string kCafe = "Caf\xC3\xA9\n";

class TextEndToEndTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(SetProtocol(TALLYJET_PROTOCOL_ESCPOS), TALLYJET_SUCCESS);
    ASSERT_TRUE(printer.Start());
    path = printer.SlavePath();
    ASSERT_EQ(OpenPort(path.c_str(), 0, 'N', 8, 1), TALLYJET_SUCCESS);
  }
  void TearDown() override {
    SetCharCodeTable(TALLYJET_CODEPAGE_850);
    ClosePort();
    printer.Stop();
  }

  int Send(const std::string& text) { return SendData(text.data(), static_cast<int>(text.size())); }

  vprinter::VirtualPrinter printer;
  std::string path;
};

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
}

TEST_F(TextEndToEndTest, PrinterDecodesTheAccentThroughCodePage850) {
  ASSERT_EQ(Send(kCafe), TALLYJET_SUCCESS);
  ASSERT_TRUE(printer.WaitForLog(1, 2000));
  bool found = false;
  for (const std::string& line : printer.Log())
    found |= line.find("Caf\xC3\xA9") != std::string::npos;
  EXPECT_TRUE(found) << testing::PrintToString(printer.Log());
}

TEST_F(TextEndToEndTest, CodeTableOutlivesClosingReopeningAndReset) {
  ASSERT_EQ(SetCharCodeTable(0), TALLYJET_SUCCESS);
  ASSERT_EQ(ClosePort(), TALLYJET_SUCCESS);
  ASSERT_EQ(OpenPort(path.c_str(), 0, 'N', 8, 1), TALLYJET_SUCCESS);
  ASSERT_EQ(Reset(), TALLYJET_SUCCESS);
  ASSERT_EQ(Send(kCafe), TALLYJET_SUCCESS);
  const std::string expected = Bytes({0x1B, 0x74, 0x00, 0x1B, 0x40}) + kCafe;
  ASSERT_TRUE(printer.WaitForReceived(expected.size(), 2000));
  EXPECT_EQ(printer.Received(), expected);
}

TEST_F(TextEndToEndTest, RefusedCommandsSendNothing) {
  EXPECT_EQ(MakeCut(0), TALLYJET_ERR_NOT_SUPPORTED);
  EXPECT_EQ(SetJustification(48), TALLYJET_ERR_INVALID_ARGUMENT);
  EXPECT_EQ(SetHorizTabPosition(nullptr), TALLYJET_ERR_INVALID_ARGUMENT);
  EXPECT_EQ(SendData(nullptr, 4), TALLYJET_ERR_INVALID_ARGUMENT);
  ASSERT_EQ(PrintAndLineFeed(), TALLYJET_SUCCESS);
  ASSERT_TRUE(printer.WaitForReceived(1, 2000));
  EXPECT_EQ(printer.Received(), "\n");
}

}  // namespace
