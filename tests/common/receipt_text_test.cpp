// Receipt text through a printer handle to the virtual printer on a pty: what reaches the
// printer does not depend on how the text was cut into pieces, and text cannot command it.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "receipt_text.h"
#include "virtual_printer.h"

namespace {

class ReceiptTextTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(printer_.Start());
    ASSERT_EQ(tallyjet_open(printer_.PortName().c_str(), 0, &handle_), TALLYJET_SUCCESS);
  }
  void TearDown() override {
    tallyjet_close(handle_);
    printer_.Stop();
  }

  // Prints text in pieces of the given size (0: all at once); the bytes the printer received.
  std::string Print(const std::string& text, size_t piece, ReceiptText* receipt) {
    printer_.Clear();
    const size_t step = piece == 0 ? text.size() : piece;
    for (size_t at = 0; at < text.size(); at += step) {
      EXPECT_EQ(receipt->Add(text.data() + at, std::min(step, text.size() - at)),
                TALLYJET_SUCCESS);
    }
    EXPECT_EQ(receipt->Finish(), TALLYJET_SUCCESS);
    // The link is quiet once nothing more arrives for a while.
    size_t size = 0;
    do {
      size = printer_.Received().size();
    } while (printer_.WaitForReceived(size + 1, 200));
    return printer_.Received();
  }

  std::string Print(const std::string& text, size_t piece = 0) {
    ReceiptText receipt(handle_, ReceiptTextOptions());
    return Print(text, piece, &receipt);
  }

  vprinter::VirtualPrinter printer_;
  tallyjet_printer* handle_ = nullptr;
};

TEST_F(ReceiptTextTest, PiecesOfAnySizePrintAsTheWhole) {
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

TEST_F(ReceiptTextTest, ControlCharactersAreDroppedAndCounted) {
  const struct {
    const char* text;
    const char* sent;  // the text's bytes as the printer gets them
    size_t dropped;
  } kCases[] = {
      {"a\x1b@b\n", "a@b\n", 1},
      {"tab\tand\rreturn\n", "tab\tand\rreturn\n", 0},
      {"\x1d" "V\x01" "cut\x7f\n", "Vcut\n", 3},
      {"next\xC2\x85line\xC2\xA0!\n", "nextline\xFF!\n", 1},  // U+0085 is C1, U+00A0 is not
  };
  for (const auto& c : kCases) {
    ReceiptText receipt(handle_, ReceiptTextOptions());
    const std::string received = Print(c.text, 0, &receipt);
    EXPECT_NE(received.find(c.sent), std::string::npos) << c.text;
    EXPECT_EQ(received.find('\x1b', 3), std::string::npos) << c.text;  // after ESC t n
    EXPECT_EQ(received.find('\x1d'), std::string::npos) << c.text;
    EXPECT_EQ(receipt.DroppedControls(), c.dropped) << c.text;
  }
}

TEST_F(ReceiptTextTest, WithoutPicturesMissingCharactersAreNamed) {
  ReceiptTextOptions options;
  options.pictures = false;
  ReceiptText receipt(handle_, options);
  // Code page 437 has an alpha, no code page a beta.
  const std::string received = Print("\xCE\xB2\xCE\xB2 \xFF!\n", 0, &receipt);
  EXPECT_NE(received.find("?? ?!\n"), std::string::npos);
  EXPECT_EQ(receipt.PictureLines(), 0u);
  EXPECT_EQ(receipt.Missing(),
            (std::vector<std::string>{"byte FF (not UTF-8)", "\xCE\xB2 (U+03B2)"}));
}

}  // namespace
