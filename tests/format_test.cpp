// The encoder's own state and limits behind the command entry points, over a recording
// transport; and its hex dump.
#include <gtest/gtest.h>

#include <string>

#include "recorded_connection.h"
#include "stopwatch.h"

namespace {

const int kRefused = TALLYJET_ERR_INVALID_ARGUMENT;
const int kOk = TALLYJET_SUCCESS;

// Values the entry points refuse before the encoder sees them: the encoder's own answer. Every
// other command's bytes are in the entry-point table of commands_test.
using FormatTest = RecordedEncoder;

TEST_F(FormatTest, EncoderTakesTheAsciiJustificationsButNoOtherCodeTable) {
  EXPECT_EQ(encoder.SetJustification(47), kRefused);
  EXPECT_EQ(encoder.SetCharCodeTable(28), kRefused);
  EXPECT_EQ(encoder.SetCharCodeTable(283), kRefused);  // whose low byte is 27
  EXPECT_TRUE(transport->writes.empty());
  EXPECT_EQ(encoder.SetJustification(49), kOk);
  EXPECT_EQ(transport->writes, Writes{Bytes({0x1B, 0x61, 0x31})});
}

TEST_F(FormatTest, TabListEndsAtItsZeroOrAfter32Positions) {
  const std::string forty(40, '\x07');
  for (std::string list : {std::string(), Bytes({0x08, 0x10, 0xFF}), forty.substr(0, 32), forty}) {
    // c_str() supplies the terminating zero
    EXPECT_EQ(encoder.SetHorizTabPosition(reinterpret_cast<unsigned char*>(&list[0])), kOk);
  }
  const std::string thirtyTwo = "\x1B\x44" + forty.substr(0, 32) + '\0';
  EXPECT_EQ(transport->writes,
            (Writes{Bytes({0x1B, 0x44, 0x00}), Bytes({0x1B, 0x44, 0x08, 0x10, 0xFF, 0x00}),
                    thirtyTwo, thirtyTwo}));
}

// The italic operations set and clear only their bit of the remembered mode; neither a new
// mode, nor the italic bit, nor the initialise's reset is kept when its write fails.
TEST_F(FormatTest, ItalicBuildsOnTheModeLastWrittenWell) {
  ASSERT_EQ(encoder.SetPrintMode(0x08), kOk);
  transport->FailWrite(1, TALLYJET_ERR_FAILED);
  EXPECT_EQ(encoder.SetPrintMode(0x80), TALLYJET_ERR_FAILED);
  transport->FailWrite(2, TALLYJET_ERR_FAILED);
  EXPECT_EQ(encoder.SetItalicEnable(), TALLYJET_ERR_FAILED);
  transport->FailWrite(3, TALLYJET_ERR_FAILED);
  EXPECT_EQ(encoder.Initialize(), TALLYJET_ERR_FAILED);
  transport->FailWrite(-1, 0);
  transport->writes.clear();
  ASSERT_EQ(encoder.SetItalicEnable(), kOk);
  ASSERT_EQ(encoder.SetItalicEnable(), kOk);
  ASSERT_EQ(encoder.SetItalicDisable(), kOk);
  EXPECT_EQ(transport->writes, (Writes{Bytes({0x1B, 0x21, 0x48}), Bytes({0x1B, 0x21, 0x48}),
                                       Bytes({0x1B, 0x21, 0x08})}));
}

TEST_F(FormatTest, PrintingAreaWidthCountsFromTheLastAcceptedLeftMargin) {
  ASSERT_EQ(encoder.SetLeftMargin(20), kOk);
  EXPECT_EQ(encoder.SetLeftMargin(48), kRefused);
  transport->FailWrite(1, TALLYJET_ERR_FAILED);
  EXPECT_EQ(encoder.SetLeftMargin(40), TALLYJET_ERR_FAILED);
  transport->FailWrite(-1, 0);
  transport->writes.clear();
  EXPECT_EQ(encoder.SetPrintingAreaWidth(100), kOk);
  EXPECT_EQ(encoder.SetPrintingAreaWidth(4), kOk);       // 24 with the margin
  EXPECT_EQ(encoder.SetPrintingAreaWidth(3), kRefused);  // 23 with the margin
  EXPECT_EQ(encoder.SetPrintingAreaWidth(65535), kRefused);
  EXPECT_EQ(transport->writes,
            (Writes{Bytes({0x1D, 0x57, 0x78, 0x00}), Bytes({0x1D, 0x57, 0x18, 0x00})}));
  ASSERT_EQ(encoder.Initialize(), kOk);
  EXPECT_EQ(encoder.SetPrintingAreaWidth(100), kOk);
  EXPECT_EQ(transport->writes.back(), Bytes({0x1D, 0x57, 0x64, 0x00}));
}

long DumpMillis(ProtEscPos& encoder) {
  const Stopwatch stopwatch;
  encoder.SetDumpEnable();
  return stopwatch.Ms();
}

TEST_F(FormatTest, DumpPausesBeforeItsLineFeedOnlyWithATransport) {
  ProtEscPos idle(nullptr);
  EXPECT_LT(DumpMillis(idle), 45);
  EXPECT_GE(DumpMillis(encoder), 50);
}

TEST_F(FormatTest, OperationModeGoesOnlyToTheExtendedUsbProduct) {
  transport->pid = 0x20;
  EXPECT_EQ(encoder.SetOperationMode(0), kOk);
  EXPECT_EQ(encoder.SetOperationMode(1), kOk);
  transport->pid = 0x10;
  EXPECT_EQ(encoder.SetOperationMode(1), TALLYJET_ERR_NOT_SUPPORTED);
  EXPECT_EQ(transport->writes,
            (Writes{Bytes({0x1B, 0x63, 0x30, 0x01}), Bytes({0x1B, 0x63, 0x30, 0x08})}));
}

std::string Dump(int length, unsigned char* data) {
  testing::internal::CaptureStdout();
  DumpConsole(length, data);
  return testing::internal::GetCapturedStdout();
}

// Inputs larger than any fixed buffer are dumped whole.
TEST(DumpConsoleTest, FormatsEachByteAsTwoUpperCaseDigits) {
  std::string bytes(200000, '\x1b');
  bytes.replace(0, 3, Bytes({0x00, 0xAB, 0xFF}));
  auto* data = reinterpret_cast<unsigned char*>(&bytes[0]);
  EXPECT_EQ(Dump(0, data), "\t [  ]\n");
  EXPECT_EQ(Dump(-5, data), "\t [  ]\n");
  EXPECT_EQ(Dump(3, data), "\t [ 00 AB FF  ]\n");
  const std::string dump = Dump(static_cast<int>(bytes.size()), data);
  EXPECT_EQ(dump.size(), 4 + 3 * bytes.size() + 3);
  EXPECT_EQ(dump.substr(dump.size() - 9), "1B 1B  ]\n");
}

}  // namespace
