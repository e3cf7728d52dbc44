// Text in pieces through the library's text path to the virtual printer on a pty: what reaches
// the printer does not depend on how the text was cut into pieces.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "text_stream.h"
#include "virtual_printer.h"

namespace {

class TextStreamTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(printer_.Start()); }
  void TearDown() override { printer_.Stop(); }

  // Prints text in pieces of the given size (0: all at once) on a printer opened for it; the
  // bytes the printer received.
  std::string Print(const std::string& text, size_t piece = 0) {
    printer_.Clear();
    tallyjet_printer* handle = nullptr;
    EXPECT_EQ(tallyjet_open(printer_.PortName().c_str(), 0, &handle), TALLYJET_SUCCESS);
    TextStream stream(handle);
    const size_t step = piece == 0 ? text.size() : piece;
    for (size_t at = 0; at < text.size(); at += step) {
      EXPECT_EQ(stream.Add(text.data() + at, std::min(step, text.size() - at)),
                TALLYJET_SUCCESS);
    }
    EXPECT_EQ(stream.Finish(), TALLYJET_SUCCESS);
    EXPECT_EQ(tallyjet_close(handle), TALLYJET_SUCCESS);
    return printer_.ReceivedOnceQuiet(200);
  }

  vprinter::VirtualPrinter printer_;
};

TEST_F(TextStreamTest, PiecesOfAnySizePrintAsTheWhole) {
  // Accents and the euro sign in two code tables, a Greek line as a picture, a carriage return,
  // a line without its end, and a line longer than is held at once, of two-byte characters.
  std::string text = "Caf\xC3\xA9 cr\xC3\xA8me\r\n5 \xE2\x82\xAC\n\xCE\xB1\xCE\xB2\xCE\xB3\n";
  text += "x";  // so that the line's characters end at odd offsets
  for (int i = 0; i < 3000; ++i) text += "\xC3\xA9";
  text += "\nno end";
  const std::string whole = Print(text);
  ASSERT_GT(whole.size(), 3000u);
  for (size_t piece : {1, 2, 3, 7, 4095, 4096, 4097, 65536}) {
    const std::string pieces = Print(text, piece);
    const size_t differ =
        std::mismatch(pieces.begin(), pieces.end(), whole.begin(), whole.end()).first -
        pieces.begin();
    EXPECT_EQ(pieces.size(), whole.size()) << "pieces of " << piece;
    EXPECT_EQ(differ, pieces.size()) << "pieces of " << piece << ": "
                                     << pieces.substr(differ, 40);
  }
  // The long line went out whole in code page 850, no character cut in two.
  EXPECT_NE(whole.find("x" + std::string(3000, '\x82') + "\n"), std::string::npos);
  EXPECT_EQ(whole.substr(whole.size() - 7), "no end\n");
}

}  // namespace
