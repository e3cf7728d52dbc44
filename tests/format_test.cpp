// The encoder's formatting, paper-handling and mode commands, byte for byte, over a recording
// transport; and its hex dump.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "prot_escpos.h"
#include "recording_transport.h"

namespace {

// A row's call, as text for the failure message and as the code that runs it.
#define OP(call) #call, [](ProtEscPos & e) { return e.call; }

struct Case {
  const char* call;
  int (*run)(ProtEscPos&);
  int result;
  std::string sent;  // empty: nothing may be written
};

const int kRefused = TALLYJET_ERR_INVALID_ARGUMENT;
const int kOk = TALLYJET_SUCCESS;

// Each refused value sits next to its accepted neighbour; length fields at their byte edges.
// Commands without arguments to check are in the entry-point table of commands_test.
const Case kCases[] = {
    {OP(Initialize()), kOk, Bytes({0x1B, 0x40})},
    {OP(PaperCut(49)), kOk, Bytes({0x1D, 0x56, 0x31})},
    {OP(PaperCut(0)), kRefused, ""},
    {OP(PaperCut(48)), kRefused, ""},
    {OP(PaperCutnLines(49, 7)), kOk, Bytes({0x1D, 0x56, 0x31})},
    {OP(PaperCutnLines(66, 300)), kOk, Bytes({0x1D, 0x56, 0x42, 0x2C})},
    {OP(PaperCutnLines(65, 1)), kRefused, ""},
    {OP(PaperFeed(255)), kOk, Bytes({0x1B, 0x4A, 0xFF})},
    {OP(PaperFeed(256)), kRefused, ""},
    {OP(PaperFeed(-1)), kRefused, ""},
    {OP(PrintAndPaperFeed(0)), kOk, Bytes({0x1B, 0x4A, 0x00})},
    {OP(GetPartialLineFeed(255)), kOk, Bytes({0x1B, 0x64, 0xFF})},
    {OP(GetPartialLineFeed(256)), kRefused, ""},
    {OP(SetPrintMode(416)), kOk, Bytes({0x1B, 0x21, 0xA0})},
    {OP(SetPrintMode(-1)), kOk, Bytes({0x1B, 0x21, 0xFF})},
    {OP(SetItalicEnable()), kOk, Bytes({0x1B, 0x21, 0x40})},
    {OP(SetItalicDisable()), kOk, Bytes({0x1B, 0x21, 0x00})},
    {OP(SetDoubleStrike(2)), kRefused, ""},
    {OP(SetPrintModeUnderline(2)), kOk, Bytes({0x1B, 0x2D, 0x02})},
    {OP(SetPrintModeUnderline(3)), kRefused, ""},
    {OP(SetPrintModeUnderline(50)), kOk, Bytes({0x1B, 0x2D, 0x32})},
    {OP(SetPrintModeUnderline(51)), kRefused, ""},
    {OP(SetCharSize(17)), kOk, Bytes({0x1D, 0x21, 0x11})},
    {OP(SetCharSize(2)), kRefused, ""},
    {OP(SetCharSize(16)), kOk, Bytes({0x1D, 0x21, 0x10})},
    {OP(SetCharSize(18)), kRefused, ""},
    {OP(SetFontType(49)), kOk, Bytes({0x1B, 0x4D, 0x31})},
    {OP(SetFontType(2)), kRefused, ""},
    {OP(SetReverseBlackWhite(2)), kRefused, ""},
    {OP(SetUpsideDownMode(-1)), kRefused, ""},
    {OP(SetCharCodeTable(27)), kOk, Bytes({0x1B, 0x74, 0x1B})},
    {OP(SetCharCodeTable(28)), kRefused, ""},
    {OP(SetCharCodeTable(283)), kRefused, ""},
    {OP(SetJustification(2)), kOk, Bytes({0x1B, 0x61, 0x02})},
    {OP(SetJustification(3)), kRefused, ""},
    {OP(SetJustification(47)), kRefused, ""},
    {OP(SetJustification(48)), kOk, Bytes({0x1B, 0x61, 0x30})},
    {OP(SetLineSpacing(255)), kOk, Bytes({0x1B, 0x33, 0xFF})},
    {OP(SetLineSpacing(256)), kRefused, ""},
    {OP(SetLeftMargin(47)), kOk, Bytes({0x1D, 0x4C, 0x2F, 0x00})},
    {OP(SetLeftMargin(48)), kRefused, ""},
    {OP(SetLeftMargin(-1)), kRefused, ""},
    {OP(SetRightMargin(23)), kRefused, ""},
    {OP(SetRightMargin(24)), kOk, Bytes({0x1D, 0x57, 0x18, 0x00})},
    {OP(SetRightMargin(256)), kOk, Bytes({0x1D, 0x57, 0x00, 0x01})},
    {OP(SetRightMargin(65535)), kOk, Bytes({0x1D, 0x57, 0xFF, 0xFF})},
    {OP(SetRightMargin(65536)), kRefused, ""},
    {OP(SetPrintingAreaWidth(24)), kOk, Bytes({0x1D, 0x57, 0x18, 0x00})},
    {OP(SetAbsolutePrintPosition(-1)), kOk, Bytes({0x1B, 0x24, 0xFF, 0xFF})},
    {OP(SetAbsolutePrintPosition(65536)), kOk, Bytes({0x1B, 0x24, 0x00, 0x00})},
    {OP(SetRelativePrintPosition(255)), kOk, Bytes({0x1B, 0x5C, 0xFF, 0x00})},
    {OP(SetRelativePrintPosition(256)), kOk, Bytes({0x1B, 0x5C, 0x00, 0x01})},
    {OP(SetRelativePrintPosition(65536)), kRefused, ""},
    {OP(SetRelativePrintPosition(-1)), kRefused, ""},
    {OP(SetPrintingArea(1, 256, 0x1234, -1)), kOk,
     Bytes({0x1B, 0x57, 0x01, 0x00, 0x00, 0x01, 0x34, 0x12, 0xFF, 0xFF})},
    {OP(GeneratePulse(0, 25, 250)), kOk, Bytes({0x1B, 0x70, 0x00, 0x19, 0xFA})},
    {OP(GeneratePulse(2, 25, 250)), kRefused, ""},
    {OP(GeneratePulse(49, 300, 1)), kOk, Bytes({0x1B, 0x70, 0x31, 0x2C, 0x01})},
};

TEST(FormatTest, EachCommandIsOneWriteOfItsBytesOrRefusedUnsent) {
  for (const Case& c : kCases) {
    auto* transport = new RecordingTransport;
    ProtEscPos encoder(transport);
    EXPECT_EQ(c.run(encoder), c.result) << c.call;
    const std::vector<std::string> expected =
        c.sent.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.sent};
    EXPECT_EQ(transport->writes, expected) << c.call;
  }
}

TEST(FormatTest, WithoutTransportEveryCommandAnswersPortNotOpenBeforeItsArguments) {
  for (const Case& c : kCases) {
    ProtEscPos encoder(nullptr);
    EXPECT_EQ(c.run(encoder), TALLYJET_ERR_PORT_NOT_OPEN) << c.call;
  }
  ProtEscPos encoder(nullptr);
  EXPECT_EQ(encoder.SetHorizTabPosition(nullptr), TALLYJET_ERR_PORT_NOT_OPEN);
  EXPECT_EQ(encoder.SetOperationMode(0), TALLYJET_ERR_PORT_NOT_OPEN);
  // The protocol and the operations the printers lack need no transport.
  EXPECT_EQ(encoder.GetProtocol(), TALLYJET_PROTOCOL_ESCPOS);
  EXPECT_EQ(encoder.SetCharSpacing(1), TALLYJET_ERR_NOT_SUPPORTED);
  EXPECT_EQ(encoder.GetPrinterStatus(1, nullptr), TALLYJET_ERR_NOT_SUPPORTED);
  EXPECT_EQ(encoder.SetDownloadedBitImage(1, 1, nullptr), TALLYJET_ERR_NOT_SUPPORTED);
}

TEST(FormatTest, TabListEndsAtItsZeroOrAfter32Positions) {
  struct TabCase {
    std::string list;
    std::string sent;
  };
  const std::string forty(40, '\x07');
  const TabCase cases[] = {
      {"", Bytes({0x1B, 0x44, 0x00})},
      {Bytes({0x08, 0x10, 0xFF}), Bytes({0x1B, 0x44, 0x08, 0x10, 0xFF, 0x00})},
      {forty.substr(0, 32), "\x1B\x44" + forty.substr(0, 32) + '\0'},
      {forty, "\x1B\x44" + forty.substr(0, 32) + '\0'},
  };
  for (const TabCase& c : cases) {
    auto* transport = new RecordingTransport;
    ProtEscPos encoder(transport);
    std::string list = c.list;  // c_str() supplies the terminating zero
    EXPECT_EQ(encoder.SetHorizTabPosition(reinterpret_cast<unsigned char*>(&list[0])), kOk);
    ASSERT_EQ(transport->writes.size(), 1u) << c.list.size() << " positions";
    EXPECT_EQ(transport->writes[0], c.sent) << c.list.size() << " positions";
  }
}

// The italic operations set and clear only their bit of the remembered mode; neither a new
// mode, nor the italic bit, nor the initialise's reset is kept when its write fails.
TEST(FormatTest, ItalicBuildsOnTheModeLastWrittenWell) {
  auto* transport = new RecordingTransport;
  ProtEscPos encoder(transport);
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
  EXPECT_EQ(transport->writes,
            (std::vector<std::string>{Bytes({0x1B, 0x21, 0x48}), Bytes({0x1B, 0x21, 0x48}),
                                      Bytes({0x1B, 0x21, 0x08})}));
}

TEST(FormatTest, PrintingAreaWidthCountsFromTheLastAcceptedLeftMargin) {
  auto* transport = new RecordingTransport;
  ProtEscPos encoder(transport);
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
  EXPECT_EQ(transport->writes, (std::vector<std::string>{Bytes({0x1D, 0x57, 0x78, 0x00}),
                                                         Bytes({0x1D, 0x57, 0x18, 0x00})}));
  ASSERT_EQ(encoder.Initialize(), kOk);
  EXPECT_EQ(encoder.SetPrintingAreaWidth(100), kOk);
  EXPECT_EQ(transport->writes.back(), Bytes({0x1D, 0x57, 0x64, 0x00}));
}

int ElapsedMillis(ProtEscPos& encoder) {
  const auto start = std::chrono::steady_clock::now();
  encoder.SetDumpEnable();
  return static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(
                              std::chrono::steady_clock::now() - start)
                              .count());
}

TEST(FormatTest, DumpPausesBeforeItsLineFeedOnlyWithATransport) {
  ProtEscPos idle(nullptr);
  EXPECT_LT(ElapsedMillis(idle), 45);
  ProtEscPos encoder(new RecordingTransport);
  EXPECT_GE(ElapsedMillis(encoder), 50);
}

TEST(FormatTest, OperationModeGoesOnlyToTheExtendedUsbProduct) {
  struct Case {
    int pid;
    int mode;
    int result;
    std::string sent;
  };
  const Case cases[] = {
      {0x20, 0, TALLYJET_SUCCESS, Bytes({0x1B, 0x63, 0x30, 0x01})},
      {0x20, 1, TALLYJET_SUCCESS, Bytes({0x1B, 0x63, 0x30, 0x08})},
      {0x20, 2, TALLYJET_SUCCESS, Bytes({0x1B, 0x63, 0x30, 0x01})},
      {0x10, 1, TALLYJET_ERR_NOT_SUPPORTED, ""},
      {TALLYJET_ERR_NOT_SUPPORTED, 1, TALLYJET_ERR_NOT_SUPPORTED, ""},
  };
  for (const Case& c : cases) {
    auto* transport = new RecordingTransport;
    transport->pid = c.pid;
    ProtEscPos encoder(transport);
    EXPECT_EQ(encoder.SetOperationMode(c.mode), c.result) << "pid " << c.pid;
    EXPECT_EQ(transport->writes.empty() ? "" : transport->writes[0], c.sent) << "pid " << c.pid;
  }
}

std::string Dump(int length, unsigned char* data) {
  testing::internal::CaptureStdout();
  DumpConsole(length, data);
  return testing::internal::GetCapturedStdout();
}

TEST(DumpConsoleTest, FormatsEachByteAsTwoUpperCaseDigits) {
  unsigned char bytes[] = {0x00, 0xAB, 0xFF};
  EXPECT_EQ(Dump(0, bytes), "\t [  ]\n");
  EXPECT_EQ(Dump(-5, bytes), "\t [  ]\n");
  EXPECT_EQ(Dump(3, bytes), "\t [ 00 AB FF  ]\n");
}

TEST(DumpConsoleTest, DumpsInputsLargerThanAnyFixedBuffer) {
  std::string bytes(200000, '\x1b');
  const std::string dump = Dump(static_cast<int>(bytes.size()),
                                reinterpret_cast<unsigned char*>(&bytes[0]));
  EXPECT_EQ(dump.size(), 4 + 3 * bytes.size() + 3);
  EXPECT_EQ(dump.substr(dump.size() - 9), "1B 1B  ]\n");
}

}  // namespace
