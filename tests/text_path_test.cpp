// Any text through the library's text path to the virtual printer on a pty: each line of a
// script a code table holds arrives as text in that table, any other as a picture of itself,
// never as '?'; text cannot command the printer; pictures follow the text's size and the paper.
#include <gtest/gtest.h>

#include <string>

#include "tallyjet.h"
#include "handle_on_pty.h"
#include "virtual_printer.h"

namespace {

const std::string kBand = "\x1D\x76\x30";  // GS v 0: a line drawn as a picture

class TextPathTest : public HandleOnPty {
 protected:
  // Prints text; the bytes the printer received for it.
  std::string Print(const std::string& text) {
    printer_.Clear();
    EXPECT_EQ(tallyjet_print_text(handle_, text.data(), static_cast<int>(text.size())),
              TALLYJET_SUCCESS);
    return printer_.ReceivedOnceQuiet(200);
  }
};

// A line arrives in the first table that holds it (ESC t n, then its bytes), or as a picture.
TEST_F(TextPathTest, EveryScriptPrintsAsTextOrAsAPictureNeverAsQuestionMarks) {
  const struct {
    const char* script;
    std::string line;
    std::string sent;  // ESC t n and the encoded line; empty for a picture
  } kCases[] = {
      {"Latin 1", "Caf\xC3\xA9 cr\xC3\xA8me", "\x1Bt\x02" "Caf\x82 cr\x8Ame\n"},
      {"euro, pound, inverted question, degree",
       "5 \xE2\x82\xAC \xC2\xA3 \xC2\xBF 3\xC2\xB0", "\x1Bt\x13" "5 \xD5 \x9C \xA8 3\xF8\n"},
      {"curly quotes and an em dash", "\xE2\x80\x9Chi\xE2\x80\x9D \xE2\x80\x94",
       "\x1Bt\x1B" "\x93hi\x94 \x97\n"},
      {"Greek", "\xCE\xBA\xCE\xB1\xCE\xBB\xCE\xB7\xCE\xBC\xCE\xAD\xCF\x81\xCE\xB1", ""},
      {"Cyrillic", "\xD0\xBF\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82", ""},
      {"Hebrew", "\xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D", ""},
      {"Arabic", "\xD9\x85\xD8\xB1\xD8\xAD\xD8\xA8\xD8\xA7", ""},
      {"Thai", "\xE0\xB8\xAA\xE0\xB8\xA7\xE0\xB8\xB1\xE0\xB8\xAA\xE0\xB8\x94\xE0\xB8\xB5", ""},
      {"Devanagari", "\xE0\xA4\xA8\xE0\xA4\xAE\xE0\xA4\xB8\xE0\xA5\x8D\xE0\xA4\xA4\xE0\xA5\x87",
       ""},
      {"Chinese", "\xE4\xBD\xA0\xE5\xA5\xBD", ""},
      {"Japanese", "\xE3\x81\x93\xE3\x82\x93\xE3\x81\xAB\xE3\x81\xA1\xE3\x81\xAF", ""},
      {"Korean", "\xEC\x95\x88\xEB\x85\x95", ""},
  };
  for (const auto& c : kCases) {
    const std::string received = Print(c.line + "\n");
    if (c.sent.empty()) {
      EXPECT_EQ(received.rfind(kBand, 0), 0u) << c.script;
    } else {
      EXPECT_EQ(received, c.sent) << c.script;
      EXPECT_EQ(received.find('?'), std::string::npos) << c.script;
    }
  }
}

// Text cannot command the printer: control characters other than LF, CR and TAB are dropped,
// and the CR of a CRLF line end with them. The table is selected once.
TEST_F(TextPathTest, ControlCharactersAreDropped) {
  const struct {
    const char* text;
    const char* sent;
  } kCases[] = {
      {"a\x1b@b\n", "a@b\n"},
      {"tab\tand\rreturn\r\n", "tab\tand\rreturn\n"},
      {"\x1d" "V\x01" "cut\x7f\n", "Vcut\n"},
      {"next\xC2\x85line\xC2\xA0!\n", "nextline\xFF!\n"},  // U+0085 is C1, U+00A0 is not
  };
  std::string selected = "\x1Bt\x02";
  for (const auto& c : kCases) {
    EXPECT_EQ(Print(c.text), selected + c.sent) << c.text;
    selected.clear();
  }
}

// What is not UTF-8 prints as U+FFFD: drawn in a picture, or as '?' when pictures are off.
TEST_F(TextPathTest, InvalidUtf8BecomesTheReplacementCharacter) {
  const char* const kInvalid[] = {
      "stray \xFF byte", "overlong \xC0\xAF", "overlong \xE0\x80\xAF", "surrogate \xED\xA0\x80",
      "past the end \xF4\x90\x80\x80", "cut short \xE2\x82",
  };
  for (const char* text : kInvalid) {
    EXPECT_EQ(Print(std::string(text) + "\n").rfind(kBand, 0), 0u) << text;
  }
  ASSERT_EQ(tallyjet_set_text_encoding(handle_, 0, 0), TALLYJET_SUCCESS);
  EXPECT_EQ(Print("x\xFFy\n"), "\x1Bt\x02x?y\n");  // the first line in a table
  // Without pictures a line goes out in the table that holds most of it: a Greek line's euro.
  EXPECT_EQ(Print("\xCE\xB1\xCE\xB2 5\xE2\x82\xAC\n"), "\x1Bt\x13?? 5\xD5\n");
  EXPECT_EQ(tallyjet_set_text_encoding(handle_, 851, 1), TALLYJET_ERR_INVALID_ARGUMENT);
  EXPECT_EQ(tallyjet_set_text_encoding(handle_, 437, 2), TALLYJET_ERR_INVALID_ARGUMENT);
}

// A picture line is as wide as the paper and as tall as the text's size makes a line.
TEST_F(TextPathTest, PicturesFollowThePaperAndTheTextSize) {
  const std::string greek = "\xCE\xB1\xCE\xB2\n";
  auto bandSize = [&](int* bytesPerRow, int* rows) {
    const std::string received = Print(greek);
    const size_t band = received.find(kBand);  // after the size command, which may come late
    ASSERT_NE(band, std::string::npos);
    *bytesPerRow = static_cast<unsigned char>(received[band + 4]) | received[band + 5] << 8;
    *rows = static_cast<unsigned char>(received[band + 6]) | received[band + 7] << 8;
  };
  int bytesPerRow = 0, rows = 0;
  bandSize(&bytesPerRow, &rows);
  EXPECT_EQ(bytesPerRow, 72);
  EXPECT_EQ(rows, 30);
  EXPECT_EQ(tallyjet_set_paper_width(handle_, 500), TALLYJET_ERR_INVALID_ARGUMENT);
  ASSERT_EQ(tallyjet_set_paper_width(handle_, TALLYJET_PAPER_WIDTH_58MM), TALLYJET_SUCCESS);
  ASSERT_EQ(tallyjet_set_char_size(handle_, 0x11), TALLYJET_SUCCESS);
  bandSize(&bytesPerRow, &rows);
  EXPECT_EQ(bytesPerRow, 48);
  EXPECT_EQ(rows, 60);
  ASSERT_EQ(tallyjet_reset(handle_), TALLYJET_SUCCESS);
  bandSize(&bytesPerRow, &rows);
  EXPECT_EQ(rows, 30);
}

}  // namespace
