// The text path: the code table selection, SendData's conversion and what it writes, and the
// UTF-8 to code page 850 conversion checked against glibc's own CP850 table.
#include <gtest/gtest.h>
#include <iconv.h>

#include <string>

#include "recorded_connection.h"

namespace {

// Converts UTF-8 text with glibc's iconv; the reference the library's table must agree with.
std::string IconvCp850(std::string utf8) {
  iconv_t cd = iconv_open("CP850", "UTF-8");
  EXPECT_NE(cd, reinterpret_cast<iconv_t>(-1)) << "glibc lacks its CP850 module";
  std::string out(utf8.size(), '\0');
  char* in = &utf8[0];
  char* to = &out[0];
  size_t inLeft = utf8.size();
  size_t outLeft = out.size();
  EXPECT_NE(iconv(cd, &in, &inLeft, &to, &outLeft), static_cast<size_t>(-1));
  iconv_close(cd);
  out.resize(out.size() - outLeft);
  return out;
}

// parse850 into a buffer that starts as all 0x55, so bytes it must not write stay visible.
std::string Parse850(const std::string& in, int* rc) {
  std::string out(in.size() + 1, '\x55');
  *rc = parse850(in.data(), static_cast<int>(in.size()), &out[0]);
  return out;
}

TEST(Parse850Test, AllSixtyFourLettersMatchGlibcsCodePage850) {
  std::string utf8;
  for (int x = 0x80; x <= 0xBF; ++x) utf8 += {'\xC3', static_cast<char>(x)};
  const std::string reference = IconvCp850(utf8);
  ASSERT_EQ(reference.size(), 64u);
  int rc;
  const std::string out = Parse850(utf8, &rc);
  EXPECT_EQ(rc, TALLYJET_SUCCESS);
  for (int i = 0; i < 64; ++i) {
    EXPECT_EQ(static_cast<unsigned char>(out[i]), static_cast<unsigned char>(reference[i]))
        << "U+00" << std::hex << std::uppercase << 0xC0 + i;
  }
  EXPECT_EQ(out[64], '\x55') << "wrote past the converted text";
}

TEST(Parse850Test, BytesOutsideTheLetterPairsPassAndBrokenLeadsAreDropped) {
  struct Case {
    std::string in;
    std::string out;
  };
  const Case cases[] = {
      {"", ""},
      {Bytes({0xC3, 0x41}), "A"},
      {Bytes({0x41, 0xC3}), "A"},
      {Bytes({0xC3, 0xC3, 0xA9}), Bytes({0x82})},
      {Bytes({0xC3, 0xC0}), Bytes({0xC0})},
      {Bytes({0xC2, 0xA3}), Bytes({0xC2, 0xA3})},
      {Bytes({0xE2, 0x82, 0xAC}), Bytes({0xE2, 0x82, 0xAC})},
      {Bytes({0x00, 0xC3, 0x80, 0x00, 0x1B}), Bytes({0x00, 0xB7, 0x00, 0x1B})},
  };
  for (const Case& c : cases) {
    int rc;
    const std::string out = Parse850(c.in, &rc);
    EXPECT_EQ(rc, TALLYJET_SUCCESS);
    EXPECT_EQ(out.substr(0, c.out.size()), c.out) << testing::PrintToString(c.in);
    EXPECT_EQ(out[c.out.size()], '\x55') << testing::PrintToString(c.in);
  }
}

TEST(Parse850Test, ConvertsInPlaceAndRefusesANegativeLengthOrANullBuffer) {
  std::string text = Bytes({0xC3, 0xA9, 0xC3, 0x80, 0x41});
  EXPECT_EQ(parse850(text.data(), 5, &text[0]), TALLYJET_SUCCESS);
  EXPECT_EQ(text.substr(0, 3), Bytes({0x82, 0xB7, 0x41}));
  char out = 'x';
  EXPECT_EQ(parse850("a", -1, &out), TALLYJET_ERR_NO_MEMORY);
  EXPECT_EQ(parse850(nullptr, 1, &out), TALLYJET_ERR_INVALID_ARGUMENT);
  EXPECT_EQ(parse850("a", 1, nullptr), TALLYJET_ERR_INVALID_ARGUMENT);
  EXPECT_EQ(parse850(nullptr, 0, nullptr), TALLYJET_SUCCESS);  // nothing to read or write
  EXPECT_EQ(out, 'x');
}

const std::string kCafeLine = Bytes({0xC3, 0xA9, 0x41, 0x0A});  // é A LF

class TextTest : public RecordedConnection {
 protected:
  // The code table outlives every connection; each test starts from code page 850.
  void TearDown() override {
    SetCharCodeTable(TALLYJET_CODEPAGE_850);
    RecordedConnection::TearDown();
  }

  std::string SentText(const std::string& text) {
    transport->writes.clear();
    EXPECT_EQ(SendData(text.data(), static_cast<int>(text.size())), TALLYJET_SUCCESS);
    return transport->writes.size() == 1 ? transport->writes[0] : "<not one write>";
  }
};

TEST_F(TextTest, OtherTablesSendTheBytesUnchanged) {
  for (int table : {0, 3, 19, 27}) {
    ASSERT_EQ(SetCharCodeTable(table), TALLYJET_SUCCESS);
    EXPECT_EQ(SendData("abc", -1), TALLYJET_ERR_NO_MEMORY);  // and writes nothing
    EXPECT_EQ(transport->writes.back(), Bytes({0x1B, 0x74, table}));
    EXPECT_EQ(SentText(kCafeLine), kCafeLine) << "table " << table;
    EXPECT_EQ(SentText(""), "") << "table " << table;
  }
}

// Code page 850 sends only the converted bytes, without padding to the length asked.
TEST_F(TextTest, RefusedTableIsNotSentAndKeepsTheConversion) {
  for (int table : {4, 18, 28, 258}) {
    EXPECT_EQ(SetCharCodeTable(table), TALLYJET_ERR_INVALID_ARGUMENT) << table;
  }
  EXPECT_TRUE(transport->writes.empty());
  EXPECT_EQ(SentText(kCafeLine), Bytes({0x82, 0x41, 0x0A}));
  EXPECT_EQ(SentText(""), "");
}

TEST_F(TextTest, TableIsKeptEvenWhenItsCommandFailsAndFailedTextIsReported) {
  transport->FailWrite(0, TALLYJET_ERR_FAILED);
  EXPECT_EQ(SetCharCodeTable(0), TALLYJET_ERR_FAILED);
  transport->FailWrite(-1, 0);
  EXPECT_EQ(SentText(kCafeLine), kCafeLine);
  transport->FailWrite(1, TALLYJET_ERR_FAILED);  // the write after that text
  EXPECT_EQ(SendData("abc", 3), TALLYJET_ERR_FAILED);
}

TEST_F(TextTest, CodeTableOutlivesClosingReopeningAndReset) {
  ASSERT_EQ(SetCharCodeTable(0), TALLYJET_SUCCESS);
  ASSERT_EQ(ClosePort(), TALLYJET_SUCCESS);
  ASSERT_EQ(SetProtocol(TALLYJET_PROTOCOL_ESCPOS), TALLYJET_SUCCESS);
  ASSERT_EQ(OpenPort("/dev/null", 0, 'N', 8, 1), TALLYJET_SUCCESS);
  ASSERT_EQ(ClosePort(), TALLYJET_SUCCESS);
  transport = ConnectRecorder();
  ASSERT_EQ(Reset(), TALLYJET_SUCCESS);
  EXPECT_EQ(SentText(kCafeLine), kCafeLine);
}

// Each printer converts under its own table, code page 850 from its opening on, whatever the
// process-wide table or another printer's is.
TEST_F(TextTest, EachPrinterHasItsOwnCodeTable) {
  RecordingTransport firstLink;
  RecordingTransport secondLink;
  tallyjet_printer* first = OpenOnRecorder(&firstLink);
  ASSERT_EQ(SetCharCodeTable(0), TALLYJET_SUCCESS);
  tallyjet_printer* second = OpenOnRecorder(&secondLink);
  ASSERT_EQ(tallyjet_set_char_code_table(first, 19), TALLYJET_SUCCESS);
  const int length = static_cast<int>(kCafeLine.size());
  for (tallyjet_printer* printer : {first, second}) {
    EXPECT_EQ(tallyjet_send_data(printer, kCafeLine.data(), length), TALLYJET_SUCCESS);
  }
  EXPECT_EQ(firstLink.writes, (Writes{Bytes({0x1B, 0x74, 19}), kCafeLine}));
  EXPECT_EQ(secondLink.writes, Writes{Bytes({0x82, 0x41, 0x0A})});
  EXPECT_EQ(SentText(kCafeLine), kCafeLine);  // the process-wide table 0
  EXPECT_EQ(tallyjet_close(first), TALLYJET_SUCCESS);
  EXPECT_EQ(tallyjet_close(second), TALLYJET_SUCCESS);
}

}  // namespace
