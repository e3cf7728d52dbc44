// The status entry points: how status bytes fold into the printer, media and drawer words, the
// sixth byte of the extended USB product, and a printer that does not answer.
#include <gtest/gtest.h>

#include <string>

#include "printer_on_pty.h"
#include "recorded_connection.h"

namespace {

struct PrinterCase {
  int printer;  // status byte 1
  int offline;  // status byte 2
  int word;
};

const PrinterCase kPrinterCases[] = {
    {0x16, 0x12, 0x200},                  // on-line, nothing wrong
    {0x1E, 0x36, 0x001 | 0x002 | 0x100},  // off-line: cover open, paper end stop
    {0x96, 0x52, 0x200 | 0x020 | 0x010},  // bit 7 of byte 1, error
};

struct MediaCase {
  int paper;  // status byte 4
  int word;
};

const MediaCase kMediaCases[] = {
    {0x12, 0x01}, {0x1E, 0x05}, {0x72, 0x08}, {0x7E, 0x0C},
    {0x32, 0x01},  // one bit of the paper-end pair is not paper end
    {0x16, 0x01},  // nor one bit of the near-end pair
};

class PrinterStatusTest : public PrinterOnPty {
 protected:
  vprinter::PrinterState state;
};

TEST_F(PrinterStatusTest, StatusBytesFoldIntoTheWords) {
  Open(0);
  for (const PrinterCase& c : kPrinterCases) {
    state.statusOverride[1] = c.printer;
    state.statusOverride[2] = c.offline;
    printer.SetState(state);
    int word = 0;
    EXPECT_EQ(GetPrinterStatus(&word), TALLYJET_SUCCESS);
    EXPECT_EQ(word, c.word) << std::hex << c.printer << " " << c.offline;
  }
  for (const MediaCase& c : kMediaCases) {
    state.statusOverride[4] = c.paper;
    printer.SetState(state);
    int word = 0;
    EXPECT_EQ(GetMediaStatus(&word), TALLYJET_SUCCESS);
    EXPECT_EQ(word, c.word) << std::hex << c.paper;
  }
  // Only the extended USB product is asked the sixth byte.
  const std::string received = printer.Received();
  EXPECT_EQ(received.substr(0, 6), Bytes({0x10, 0x04, 0x01, 0x10, 0x04, 0x02}));
  EXPECT_EQ(received.find(Bytes({0x10, 0x04, 0x06})), std::string::npos);
}

TEST_F(PrinterStatusTest, SilentPrinterIsNotAnAnswer) {
  state.answers = vprinter::PrinterState::Answers::Silent;
  printer.SetState(state);
  Open(115200);
  int word = 0;
  EXPECT_EQ(GetPrinterStatus(&word), TALLYJET_ERR_FAILED);
  EXPECT_EQ(word, TALLYJET_PRINTER_NOT_OBTAINED);
}

using StatusTest = RecordedConnection;

TEST_F(StatusTest, ExtendedProductAddsTheSixthByte) {
  transport->pid = 0x20;
  int word = 0;
  transport->Answer(Bytes({0x16}));
  transport->Answer(Bytes({0x12}));
  transport->Answer(Bytes({0x40}));
  EXPECT_EQ(GetPrinterStatus(&word), TALLYJET_SUCCESS);
  EXPECT_EQ(word, 0x200 | 0x800);
  transport->Answer(Bytes({0x12}));
  transport->Answer(Bytes({0x20}));
  EXPECT_EQ(tallyjet_GetMediaStatus(&word), TALLYJET_SUCCESS);  // the same as GetMediaStatus
  EXPECT_EQ(word, 0x001 | 0x100);
  // Each bit is the other word's only: bit 5 means nothing to the printer word.
  transport->Answer(Bytes({0x16}));
  transport->Answer(Bytes({0x12}));
  transport->Answer(Bytes({0x20}));
  EXPECT_EQ(GetPrinterStatus(&word), TALLYJET_SUCCESS);
  EXPECT_EQ(word, 0x200);
  EXPECT_EQ(transport->writes[2], Bytes({0x10, 0x04, 0x06}));
  EXPECT_EQ(transport->writes[4], Bytes({0x10, 0x04, 0x06}));
}

TEST_F(StatusTest, SilentPrinterIsNotAnAnswer) {
  // Silent at each query in turn, the extended product's sixth byte included: gathered flags
  // are dropped, and no query is asked after the silent one.
  transport->pid = 0x20;
  for (int answered = 0; answered < 3; ++answered) {
    transport->writes.clear();
    for (int i = 0; i < answered; ++i) transport->Answer(Bytes({0x9E}));
    transport->AnswerCode(0);
    int word = 0;
    EXPECT_EQ(GetPrinterStatus(&word), TALLYJET_ERR_FAILED) << answered;
    EXPECT_EQ(word, TALLYJET_PRINTER_NOT_OBTAINED) << answered;
    EXPECT_EQ(transport->writes.size(), static_cast<size_t>(answered + 1));
  }
  for (int answered = 0; answered < 2; ++answered) {
    for (int i = 0; i < answered; ++i) transport->Answer(Bytes({0x7E}));
    transport->AnswerCode(0);
    int word = 0;
    EXPECT_EQ(GetMediaStatus(&word), TALLYJET_ERR_FAILED) << answered;
    EXPECT_EQ(word, TALLYJET_MEDIA_NOT_OBTAINED) << answered;
  }
  transport->AnswerCode(0);
  int word = 0;
  EXPECT_EQ(GetDrawerStatus(1, &word), TALLYJET_ERR_FAILED);
  EXPECT_EQ(word, TALLYJET_DRAWER_NOT_OBTAINED);
}

TEST_F(StatusTest, DrawerWordFollowsPin3AndOnlyDrawersOneAndTwoAreAsked) {
  int word = 0;
  transport->Answer(Bytes({0x16}));
  EXPECT_EQ(GetDrawerStatus(1, &word), TALLYJET_SUCCESS);
  EXPECT_EQ(word, TALLYJET_DRAWER_PIN3_HIGH);
  transport->Answer(Bytes({0x12}));
  EXPECT_EQ(GetDrawerStatus(2, &word), TALLYJET_SUCCESS);
  EXPECT_EQ(word, TALLYJET_DRAWER_PIN3_LOW);
  for (int drawer : {0, 3}) {
    EXPECT_EQ(GetDrawerStatus(drawer, &word), TALLYJET_ERR_INVALID_ARGUMENT);
    EXPECT_EQ(word, TALLYJET_DRAWER_NOT_OBTAINED);
  }
  EXPECT_EQ(transport->writes.size(), 2u);
}

TEST_F(StatusTest, NullOutputIsRefusedFirstAndSendsNothing) {
  for (bool connected : {true, false}) {
    if (!connected) ClosePort();
    EXPECT_EQ(GetPrinterStatus(nullptr), TALLYJET_ERR_INVALID_ARGUMENT);
    EXPECT_EQ(GetMediaStatus(nullptr), TALLYJET_ERR_INVALID_ARGUMENT);
    EXPECT_EQ(tallyjet_GetMediaStatus(nullptr), TALLYJET_ERR_INVALID_ARGUMENT);
    EXPECT_EQ(GetDrawerStatus(1, nullptr), TALLYJET_ERR_INVALID_ARGUMENT);
    EXPECT_EQ(GetPrinterInfo(nullptr), TALLYJET_ERR_INVALID_ARGUMENT);
    EXPECT_EQ(GetRealTimeStatus(1, nullptr), TALLYJET_ERR_INVALID_ARGUMENT);
    if (connected) {
      EXPECT_TRUE(transport->writes.empty());
    }
  }
}

TEST(StatusWithoutConnectionTest, PresetsStayWhenThePortIsNotOpen) {
  int printer = 0;
  int media = 0;
  int drawer = 0;
  int info[5] = {7, 7, 7, 7, 7};
  int raw = 99;
  EXPECT_EQ(GetPrinterStatus(&printer), TALLYJET_ERR_PORT_NOT_OPEN);
  EXPECT_EQ(GetMediaStatus(&media), TALLYJET_ERR_PORT_NOT_OPEN);
  EXPECT_EQ(GetDrawerStatus(3, &drawer), TALLYJET_ERR_PORT_NOT_OPEN);
  EXPECT_EQ(GetPrinterInfo(info), TALLYJET_ERR_PORT_NOT_OPEN);
  EXPECT_EQ(GetRealTimeStatus(5, &raw), TALLYJET_ERR_PORT_NOT_OPEN);
  EXPECT_EQ(printer, TALLYJET_PRINTER_NOT_OBTAINED);
  EXPECT_EQ(media, TALLYJET_MEDIA_NOT_OBTAINED);
  EXPECT_EQ(drawer, TALLYJET_DRAWER_NOT_OBTAINED);
  for (int value : info) EXPECT_EQ(value, 0);
  EXPECT_EQ(raw, 99);
}

}  // namespace
