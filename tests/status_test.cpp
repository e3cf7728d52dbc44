// The status and information entry points and the encoder's queries on a recording printer:
// requests and reads, how status bytes fold into the printer, media and drawer words (with the
// sixth byte of the extended USB product), and answers that are short, missing or malformed.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "recorded_connection.h"

namespace {

using StatusTest = RecordedConnection;

int FirstDrawer(int* word) { return GetDrawerStatus(1, word); }
int SecondDrawer(int* word) { return GetDrawerStatus(2, word); }

// Without an answer the int keeps its value: 0 bytes is a failure (for the fill level, 0), a
// read error its own code. After a silent query the next one first waits for the late answer.
TEST_F(StatusTest, OneByteAnswerIsStoredUnsignedOnlyWhenItArrived) {
  int value = -7;
  // A fresh connection owes no answer: its first query reads once, its own answer.
  transport->Answer(Bytes({0x16}));
  const int readsBefore = transport->reads;
  EXPECT_EQ(prot_->GetRealTimeStatus(1, &value), TALLYJET_SUCCESS);
  EXPECT_EQ(transport->reads - readsBefore, 1);
  EXPECT_EQ(value, 0x16);
  value = -7;
  EXPECT_EQ(prot_->GetRealTimeStatus(1, &value), TALLYJET_ERR_FAILED);  // nothing queued: silent
  transport->AnswerCode(0);  // the late answer does not come either
  transport->AnswerCode(TALLYJET_ERR_SERIAL_TIMEOUT);
  EXPECT_EQ(prot_->GetRealTimeStatus(1, &value), TALLYJET_ERR_SERIAL_TIMEOUT);
  EXPECT_EQ(prot_->GetBufferSize(&value), 0);
  EXPECT_EQ(value, -7);
  transport->AnswerCode(0);
  transport->writes.clear();
  transport->Answer(Bytes({0xFE}));
  EXPECT_EQ(GetRealTimeStatus(6, &value), TALLYJET_SUCCESS);
  EXPECT_EQ(value, 254);
  transport->Answer(Bytes({0xC8}));
  EXPECT_EQ(prot_->GetBufferSize(&value), 1);
  EXPECT_EQ(value, 200);
  EXPECT_EQ(transport->writes, (Writes{Bytes({0x10, 0x04, 0x06}), Bytes({0x10, 0x04, 0x0B})}));
}

TEST_F(StatusTest, NullOutputIsRefusedEvenWithoutTransport) {
  ProtEscPos detached(nullptr);
  char id[16];
  for (ProtEscPos* encoder : {prot_, &detached}) {
    EXPECT_EQ(encoder->GetRealTimeStatus(1, nullptr), TALLYJET_ERR_INVALID_ARGUMENT);
    EXPECT_EQ(encoder->GetBufferSize(nullptr), TALLYJET_ERR_INVALID_ARGUMENT);
    EXPECT_EQ(encoder->GetPrinterID(1, nullptr), TALLYJET_ERR_INVALID_ARGUMENT);
    EXPECT_EQ(encoder->GetMemoryAvailabled(nullptr), TALLYJET_ERR_INVALID_ARGUMENT);
  }
  EXPECT_EQ(detached.GetPrinterID(1, id), TALLYJET_ERR_PORT_NOT_OPEN);
  EXPECT_TRUE(transport->writes.empty());
}

TEST_F(StatusTest, PrinterIdAnswersItsCountAndZeroesWhatWasNotSent) {
  char id[16];
  memset(id, 'x', sizeof id);
  EXPECT_EQ(prot_->GetPrinterID(0, id), TALLYJET_ERR_INVALID_ARGUMENT);
  EXPECT_EQ(prot_->GetPrinterID(4, id), TALLYJET_ERR_INVALID_ARGUMENT);
  transport->Answer("V1.02");
  EXPECT_EQ(prot_->GetPrinterID(3, id), 5);
  EXPECT_EQ(std::string(id, 16), std::string("V1.02") + std::string(11, '\0'));
}

TEST_F(StatusTest, MemoryAnswerIsHexadecimalAfterItsHeader) {
  const struct {
    std::string answer;
    int result;
    int bytes;
  } cases[] = {
      {Bytes({0x37, 0x31, 0x31, 0x46, 0x34, 0x30, 0x00}), TALLYJET_SUCCESS, 8000},
      {"71 0x1f40", TALLYJET_SUCCESS, 8000},
      {"7100000000001F40", TALLYJET_SUCCESS, 8000},  // 16 non-zero bytes, no NUL after them
      {"71A", TALLYJET_SUCCESS, 10},
      {"71abcDEF", TALLYJET_SUCCESS, 0xABCDEF},
      {"71" + std::string(14, 'F'), TALLYJET_ERR_FAILED, -7},             // does not fit an int
      {"717FFFFFFF", TALLYJET_SUCCESS, 0x7FFFFFFF},
      {"7180000000", TALLYJET_ERR_FAILED, -7},
      {"71", TALLYJET_SUCCESS, -7},  // no digits: the int keeps its value
      {Bytes({0x37, 0x30, 0x31}), TALLYJET_ERR_FAILED, -7},
      {"7", TALLYJET_ERR_FAILED, -7},
      {"", TALLYJET_ERR_FAILED, -7},
  };
  for (const auto& c : cases) {
    int bytes = -7;
    transport->Answer(c.answer);
    EXPECT_EQ(prot_->GetMemoryAvailabled(&bytes), c.result) << c.answer;
    EXPECT_EQ(bytes, c.bytes) << c.answer;
  }
}

// The model and type ids are sign-extended, twelve bytes of the version are kept, short and
// missing answers leave zeros, and a failed query stops there with what came before it kept.
TEST_F(StatusTest, PrinterInfoFillsFiveIntsFromTheThreeIds) {
  const int kRead = TALLYJET_ERR_READ;
  const struct {
    std::vector<struct RecordingTransport::Answer> answers;
    int result;
    std::string info;  // the five ints as bytes
    size_t asked;
  } cases[] = {
      {{{Bytes({0xA5, 0x11})}, {Bytes({0x7F})}, {"ABCDEFGHIJKLMNOP"}}, TALLYJET_SUCCESS,
       Bytes({0xA5, 0xFF, 0xFF, 0xFF, 0x7F, 0, 0, 0}) + "ABCDEFGHIJKL", 3},
      {{{"", 0}, {"", 0}, {Bytes({0x02})}, {"V1"}}, TALLYJET_SUCCESS,
       Bytes({0, 0, 0, 0, 0x02, 0, 0, 0}) + "V1" + std::string(10, '\0'), 3},
      {{{Bytes({0x05})}, {"", kRead}}, kRead, Bytes({0x05}) + std::string(19, '\0'), 2},
  };
  const Writes queries = {Bytes({0x1D, 0x49, 0x01}), Bytes({0x1D, 0x49, 0x02}),
                          Bytes({0x1D, 0x49, 0x03})};
  for (const auto& c : cases) {
    transport->writes.clear();
    for (const auto& a : c.answers) {
      a.code == 1 ? transport->Answer(a.bytes) : transport->AnswerCode(a.code);
    }
    int info[6] = {1, 1, 1, 1, 1, 99};
    EXPECT_EQ(GetPrinterInfo(info), c.result) << c.asked;
    EXPECT_EQ(std::string(reinterpret_cast<char*>(info), 20), c.info) << c.asked;
    EXPECT_EQ(info[5], 99);
    const Writes asked(queries.begin(), queries.begin() + c.asked);
    EXPECT_EQ(transport->writes, asked);
  }
}

// Only a printer on the extended USB product is asked status byte 6. A printer silent at any
// query, that byte included, is not an answer: the flags gathered so far are dropped, the word
// says "not obtained", and no query is asked after the silent one (the next query waits for its
// late answer first, which does not come here).
TEST_F(StatusTest, StatusBytesFoldIntoTheWordsAndSilenceIsNotAnAnswer) {
  const int kOther = 0x10;
  const int kExtended = 0x20;
  const struct {
    int (*query)(int*);
    int pid;
    std::string asked;    // the n of each DLE EOT n sent
    std::string answers;  // one status byte for each, or fewer: then the printer falls silent
    int word;
  } cases[] = {
      {GetPrinterStatus, kOther, "\1\2", "\x16\x12", 0x200},  // on-line, nothing wrong
      {GetPrinterStatus, kOther, "\1\2", "\x1E\x36", 0x001 | 0x002 | 0x100},  // off-line
      {GetPrinterStatus, kOther, "\1\2", "\x16\x52", 0x200 | 0x010},  // error
      {GetPrinterStatus, kOther, "\1\2", "\x96\x52", 560},  // bit 7 of byte 1 is a flag
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
      {GetPrinterStatus, kExtended, "\1", "", TALLYJET_PRINTER_NOT_OBTAINED},
      {GetPrinterStatus, kExtended, "\1\2", "\x1E", TALLYJET_PRINTER_NOT_OBTAINED},
      {GetPrinterStatus, kExtended, "\1\2\6", "\x1E\x36", TALLYJET_PRINTER_NOT_OBTAINED},
      {GetMediaStatus, kExtended, "\4", "", TALLYJET_MEDIA_NOT_OBTAINED},
      {GetMediaStatus, kExtended, "\4\6", "\x7E", TALLYJET_MEDIA_NOT_OBTAINED},
      {FirstDrawer, kExtended, "\1", "", TALLYJET_DRAWER_NOT_OBTAINED},
  };
  for (const auto& c : cases) {
    transport->writes.clear();
    transport->pid = c.pid;
    for (char byte : c.answers) transport->Answer(std::string(1, byte));
    Writes asked;
    for (char n : c.asked) asked.push_back(Bytes({0x10, 0x04, n}));
    int word = 0;
    const int result = c.answers.size() < c.asked.size() ? TALLYJET_ERR_FAILED : TALLYJET_SUCCESS;
    EXPECT_EQ(c.query(&word), result) << testing::PrintToString(c.answers);
    EXPECT_EQ(word, c.word) << testing::PrintToString(c.answers);
    EXPECT_EQ(transport->writes, asked) << testing::PrintToString(c.answers);
    if (result != TALLYJET_SUCCESS) transport->AnswerCode(0);
  }
}

// Bits 1 and 4 of status bytes 1 to 4 are set, bit 0 clear. A byte that breaks any of
// them (a line of zeros, noise, an answer to something else) is no status: the query fails and
// the word says "not obtained". Byte 6 has no fixed bits.
TEST_F(StatusTest, ByteWithWrongFixedBitsIsNoStatus) {
  const struct {
    int (*query)(int*);
    std::string answers;
    int word;
  } cases[] = {
      {GetPrinterStatus, "\x00", TALLYJET_PRINTER_NOT_OBTAINED},
      {GetPrinterStatus, "\x13", TALLYJET_PRINTER_NOT_OBTAINED},  // bit 0
      {GetPrinterStatus, "\x12\x10", TALLYJET_PRINTER_NOT_OBTAINED},  // bit 1 clear
      {GetMediaStatus, "\x02", TALLYJET_MEDIA_NOT_OBTAINED},  // bit 4 clear
      {GetMediaStatus, "\xFF", TALLYJET_MEDIA_NOT_OBTAINED},
      {FirstDrawer, "\x14", TALLYJET_DRAWER_NOT_OBTAINED},
  };
  for (const auto& c : cases) {
    for (char byte : c.answers) transport->Answer(std::string(1, byte));
    int word = 0;
    EXPECT_EQ(c.query(&word), TALLYJET_ERR_FAILED) << testing::PrintToString(c.answers);
    EXPECT_EQ(word, c.word) << testing::PrintToString(c.answers);
  }
  int raw = -7;
  for (int n : {1, 2, 3, 4}) {
    transport->Answer(Bytes({0x83}));
    EXPECT_EQ(GetRealTimeStatus(n, &raw), TALLYJET_ERR_FAILED) << n;
    EXPECT_EQ(raw, -7) << n;
  }
  transport->Answer(Bytes({0x81}));
  EXPECT_EQ(GetRealTimeStatus(6, &raw), TALLYJET_SUCCESS);
  EXPECT_EQ(raw, 0x81);
}

int RawFive(int* byte) { return GetRealTimeStatus(5, byte); }

// A word that got no status says "not obtained": without a port, or for a drawer that does not
// exist (which is not asked). The printer information is zeros; a raw status byte is untouched.
TEST_F(StatusTest, WordsSayNotObtainedWhenNothingWasAsked) {
  int word = 0;
  for (int drawer : {0, 3}) {
    EXPECT_EQ(GetDrawerStatus(drawer, &word), TALLYJET_ERR_INVALID_ARGUMENT);
    EXPECT_EQ(word, TALLYJET_DRAWER_NOT_OBTAINED);
  }
  EXPECT_TRUE(transport->writes.empty());
  ClosePort();
  const struct {
    int (*query)(int*);
    int word;
  } cases[] = {{GetPrinterStatus, TALLYJET_PRINTER_NOT_OBTAINED},
               {GetMediaStatus, TALLYJET_MEDIA_NOT_OBTAINED},
               {FirstDrawer, TALLYJET_DRAWER_NOT_OBTAINED},
               {RawFive, 99}};
  for (const auto& c : cases) {
    word = 99;
    EXPECT_EQ(c.query(&word), TALLYJET_ERR_PORT_NOT_OPEN);
    EXPECT_EQ(word, c.word);
  }
  int info[5] = {7, 7, 7, 7, 7};
  EXPECT_EQ(GetPrinterInfo(info), TALLYJET_ERR_PORT_NOT_OPEN);
  for (int value : info) EXPECT_EQ(value, 0);
}

}  // namespace
