// The command entry points: the connection checks before anything else, their own checks and
// mappings, and which encoder operation each one reaches.
#include <gtest/gtest.h>

#include <string>

#include "recorded_connection.h"

namespace {

// A row's call, as text for the failure message and as the code that runs it.
#define ENTRY(call) #call, [] { return call; }
// A row for an operation the printers do not offer: -2 once the connection checks pass.
#define UNSUPPORTED(call) {ENTRY(call), kUnsupported, ""}

struct EntryCase {
  const char* call;
  int (*run)();
  int result;
  std::string sent;  // empty: nothing may be written
};

const int kOk = TALLYJET_SUCCESS;
const int kRefused = TALLYJET_ERR_INVALID_ARGUMENT;
const int kUnsupported = TALLYJET_ERR_NOT_SUPPORTED;

unsigned char kNoTabs[] = {0};

// Every entry point of this group, with the result and bytes it gives on an open connection.
const EntryCase kEntries[] = {
    {ENTRY(SetTextProperties(0, 0, 0, 0)), kOk, Bytes({0x1B, 0x21, 0x00})},
    {ENTRY(SetTextProperties(2, 1, 1, 1)), kOk, Bytes({0x1B, 0x21, 0xF8})},
    {ENTRY(SetTextProperties(1, 0, 3, 0)), kOk, Bytes({0x1B, 0x21, 0x81})},
    {ENTRY(SetTextProperties(1, 0, 2, 0)), kOk, Bytes({0x1B, 0x21, 0x01})},
    {ENTRY(SetTextProperties(0, 0, 0, 2)), kOk, Bytes({0x1B, 0x21, 0x10})},
    {ENTRY(SetTextProperties(0, 2, 0, 0)), kOk, Bytes({0x1B, 0x21, 0x80})},
    {ENTRY(SetTextProperties(3, 0, 0, 0)), kRefused, ""},
    {ENTRY(SetTextProperties(-1, 0, 0, 0)), kRefused, ""},
    {ENTRY(MakeCut(0)), kUnsupported, ""},
    {ENTRY(MakeCut(1)), kOk, Bytes({0x1D, 0x56, 0x01})},
    {ENTRY(MakeCut(2)), kRefused, ""},
    {ENTRY(MakeCut(49)), kRefused, ""},
    {ENTRY(MakeCutnLines(66, 5)), kOk, Bytes({0x1D, 0x56, 0x42, 0x05})},
    {ENTRY(MakePrint()), kOk, "\n"},
    {ENTRY(SetJustification(2)), kOk, Bytes({0x1B, 0x61, 0x02})},
    {ENTRY(SetJustification(3)), kRefused, ""},
    {ENTRY(SetJustification(48)), kRefused, ""},
    {ENTRY(SetJustification(-1)), kRefused, ""},
    {ENTRY(SetBoldEnable(0)), kOk, Bytes({0x1B, 0x45, 0x01})},
    {ENTRY(SetLeftMargin(5)), kOk, Bytes({0x1D, 0x4C, 0x05, 0x00})},
    {ENTRY(SetReverseBlackWhite(1)), kOk, Bytes({0x1D, 0x42, 0x01})},
    {ENTRY(SetLineSpacing(30)), kOk, Bytes({0x1B, 0x33, 0x1E})},
    {ENTRY(SetDefaultLineSpacing()), kOk, Bytes({0x1B, 0x32})},
    {ENTRY(PaperFeed(3)), kOk, Bytes({0x1B, 0x4A, 0x03})},
    {ENTRY(PrintAndPaperFeed(4)), kOk, Bytes({0x1B, 0x4A, 0x04})},
    {ENTRY(PrintAndLineFeed()), kOk, "\n"},
    {ENTRY(GetPartialLineFeed(2)), kOk, Bytes({0x1B, 0x64, 0x02})},
    {ENTRY(SetAbsolutePrintPosition(300)), kOk, Bytes({0x1B, 0x24, 0x2C, 0x01})},
    {ENTRY(SetRelativePrintPosition(300)), kOk, Bytes({0x1B, 0x5C, 0x2C, 0x01})},
    {ENTRY(SetPrintingArea(1, 2, 3, 4)), kOk,
     Bytes({0x1B, 0x57, 0x01, 0x00, 0x02, 0x00, 0x03, 0x00, 0x04, 0x00})},
    {ENTRY(SetRightMargin(512)), kOk, Bytes({0x1D, 0x57, 0x00, 0x02})},
    {ENTRY(SetStandardMode()), kOk, Bytes({0x1B, 0x53})},
    {ENTRY(SetPageMode()), kOk, Bytes({0x1B, 0x4C})},
    {ENTRY(PrintInPageMode()), kOk, Bytes({0x1B, 0x0C})},
    {ENTRY(SetUpsideDownMode(1)), kOk, Bytes({0x1B, 0x7B, 0x01})},
    {ENTRY(SetHorizTabPosition(kNoTabs)), kOk, Bytes({0x1B, 0x44, 0x00})},
    {ENTRY(SetHorizTabPosition(nullptr)), kRefused, ""},
    {ENTRY(SetDumpEnable()), kOk, "\n"},
    // The italic pair works on the print mode the row before it leaves.
    {ENTRY(SetPrintMode(0x88)), kOk, Bytes({0x1B, 0x21, 0x88})},
    {ENTRY(SetItalicEnable()), kOk, Bytes({0x1B, 0x21, 0xC8})},
    {ENTRY(SetItalicDisable()), kOk, Bytes({0x1B, 0x21, 0x88})},
    {ENTRY(SetBoldDisable()), kOk, Bytes({0x1B, 0x45, 0x00})},
    {ENTRY(SetDoubleStrike(1)), kOk, Bytes({0x1B, 0x47, 0x01})},
    {ENTRY(SetPrintModeUnderline(1)), kOk, Bytes({0x1B, 0x2D, 0x01})},
    {ENTRY(SetCharSize(1)), kOk, Bytes({0x1D, 0x21, 0x01})},
    {ENTRY(SetFontType(1)), kOk, Bytes({0x1B, 0x4D, 0x01})},
    // The recording transport reports no USB product, so the operation mode is not sent.
    {ENTRY(SetOperationMode(1)), kUnsupported, ""},
    {ENTRY(GeneratePulse(1, 50, 100)), kOk, Bytes({0x1B, 0x70, 0x01, 0x32, 0x64})},
    UNSUPPORTED(SetCharSpacing(1)), UNSUPPORTED(SetPrintingAreaHeight(1)),
    UNSUPPORTED(SetAbsoluteVerticalPrintPosition(1)), UNSUPPORTED(SetCharacterPerLine(1)),
    UNSUPPORTED(SetKeyboard(1)), UNSUPPORTED(SetDrawerOn(1)), UNSUPPORTED(SetAutomaticLineFeed(1)),
    UNSUPPORTED(SetPageLength(1)), UNSUPPORTED(SetPrintDensity(1)),
    UNSUPPORTED(SetCondensedDisable()), UNSUPPORTED(SetCondensedEnable()),
    UNSUPPORTED(SetExpandedModeDisable()), UNSUPPORTED(SetExpandedModeEnable()),
    UNSUPPORTED(SetMode48Columns()), UNSUPPORTED(CancelLastCharacterSent()),
    UNSUPPORTED(CancelLastLineSended()), UNSUPPORTED(RealTimeRequest(1)),
    UNSUPPORTED(SetPeripheralDevice(1)), UNSUPPORTED(SetUserChar(1)),
    UNSUPPORTED(DefineUserChar(1, 2, 3, nullptr)), UNSUPPORTED(CancelUserChar(1)),
    UNSUPPORTED(SetInternationalCharSet(1)), UNSUPPORTED(ExecuteMacro(1, 2, 3)),
    UNSUPPORTED(StartEndMacroDefinition()), UNSUPPORTED(PrintDownloadedBitImage(1)),
    UNSUPPORTED(SetDownloadedBitImage(1, 2, nullptr)), UNSUPPORTED(SetRotation(1)),
    UNSUPPORTED(SetMotionUnits(1, 2)),
};

std::vector<std::string> Expected(const std::string& sent) {
  return sent.empty() ? std::vector<std::string>{} : std::vector<std::string>{sent};
}

using CommandsTest = RecordedConnection;

TEST_F(CommandsTest, EachEntryPointChecksMapsAndReachesItsCommand) {
  for (const EntryCase& c : kEntries) {
    transport->writes.clear();
    EXPECT_EQ(c.run(), c.result) << c.call;
    EXPECT_EQ(transport->writes, Expected(c.sent)) << c.call;
  }
}

TEST(CommandsChecksTest, NoPortComesBeforeEveryOtherAnswer) {
  ASSERT_EQ(comm_, nullptr);
  for (const EntryCase& c : kEntries) EXPECT_EQ(c.run(), TALLYJET_ERR_PORT_NOT_OPEN) << c.call;
}

TEST(CommandsChecksTest, TransportWithoutEncoderComesBeforeTheOwnChecks) {
  auto* transport = new RecordingTransport;
  transport->Open("recorder");
  comm_ = transport;
  for (const EntryCase& c : kEntries) EXPECT_EQ(c.run(), TALLYJET_ERR_NO_PROTOCOL) << c.call;
  EXPECT_TRUE(transport->writes.empty());
  ClosePort();
}

TEST_F(CommandsTest, ResetForgetsTheComposedPrintMode) {
  ASSERT_EQ(SetTextProperties(2, 0, 0, 1), kOk);
  ASSERT_EQ(SetItalicEnable(), kOk);
  EXPECT_EQ(transport->writes.back(), Bytes({0x1B, 0x21, 0x78}));
  ASSERT_EQ(SetTextProperties(2, 0, 0, 1), kOk);
  ASSERT_EQ(Reset(), kOk);
  ASSERT_EQ(SetItalicEnable(), kOk);
  EXPECT_EQ(transport->writes.back(), Bytes({0x1B, 0x21, 0x40}));
}

}  // namespace
