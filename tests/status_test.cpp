// The status entry points on a recording printer: how status bytes fold into the printer, media
// and drawer words, the sixth byte of the extended USB product, and a printer that does not
// answer.
#include <gtest/gtest.h>

#include <string>

#include "recorded_connection.h"

namespace {

using StatusTest = RecordedConnection;

int FirstDrawer(int* word) { return GetDrawerStatus(1, word); }
int SecondDrawer(int* word) { return GetDrawerStatus(2, word); }

// Only a printer on the extended USB product is asked status byte 6.
TEST_F(StatusTest, StatusBytesFoldIntoTheWords) {
  const int kOther = 0x10;
  const int kExtended = 0x20;
  const struct {
    int (*query)(int*);
    int pid;
    std::string asked;    // the n of each DLE EOT n sent
    std::string answers;  // one status byte for each
    int word;
  } cases[] = {
      {GetPrinterStatus, kOther, "\1\2", "\x16\x12", 0x200},  // on-line, nothing wrong
      {GetPrinterStatus, kOther, "\1\2", "\x1E\x36", 0x001 | 0x002 | 0x100},  // off-line
      {GetPrinterStatus, kOther, "\1\2", "\x96\x52", 0x200 | 0x020 | 0x010},  // bit 7, error
      {GetPrinterStatus, kExtended, "\1\2\6", "\x16\x12\x40", 0x200 | 0x800},
      {GetPrinterStatus, kExtended, "\1\2\6", "\x16\x12\x20", 0x200},  // bit 5 is the media word's
      {GetMediaStatus, kOther, "\4", "\x1E", 0x05},
      {GetMediaStatus, kOther, "\4", "\x72", 0x08},
      {GetMediaStatus, kOther, "\4", "\x7E", 0x0C},
      {GetMediaStatus, kOther, "\4", "\x32", 0x01},  // one bit of the end pair: no end
      {GetMediaStatus, kOther, "\4", "\x16", 0x01},  // one bit of the near-end pair: no near end
      {tallyjet_GetMediaStatus, kExtended, "\4\6", "\x12\x20", 0x001 | 0x100},
      {FirstDrawer, kExtended, "\1", "\x16", TALLYJET_DRAWER_PIN3_HIGH},
      {SecondDrawer, kExtended, "\1", "\x12", TALLYJET_DRAWER_PIN3_LOW},
  };
  for (const auto& c : cases) {
    transport->writes.clear();
    transport->pid = c.pid;
    for (char byte : c.answers) transport->Answer(std::string(1, byte));
    std::vector<std::string> asked;
    for (char n : c.asked) asked.push_back(Bytes({0x10, 0x04, n}));
    int word = 0;
    EXPECT_EQ(c.query(&word), TALLYJET_SUCCESS) << testing::PrintToString(c.answers);
    EXPECT_EQ(word, c.word) << testing::PrintToString(c.answers);
    EXPECT_EQ(transport->writes, asked) << testing::PrintToString(c.answers);
  }
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

TEST_F(StatusTest, OnlyDrawersOneAndTwoAreAsked) {
  int word = 0;
  for (int drawer : {0, 3}) {
    EXPECT_EQ(GetDrawerStatus(drawer, &word), TALLYJET_ERR_INVALID_ARGUMENT);
    EXPECT_EQ(word, TALLYJET_DRAWER_NOT_OBTAINED);
  }
  EXPECT_TRUE(transport->writes.empty());
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
