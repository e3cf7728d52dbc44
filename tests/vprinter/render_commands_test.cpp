// What the virtual printer draws for the commands point-of-sale programs send besides our own:
// characters of the code tables and multi-byte sets in their own glyphs, positions and spacing,
// turned text, the four column-image densities, graphics stored and in the print buffer dot for
// dot, and symbols read back by an independent decoder.
#include <ZXing/ReadBarcode.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <QTransform>

#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "../support/child_program.h"
#include "barcode_drawer.h"
#include "command_log.h"
#include "render_fixture.h"

namespace vprinter {
namespace {

using namespace std::string_literals;

// FS ( C fn 48 2: text in UTF-8 from here on.
const std::string kUtf8 = "\x1C(C\x02\0\x30\x02"s;

// The roll of a printer (of the market whose multi-byte set is model) that was sent only these
// bytes.
QImage Rendered(const std::string& bytes, const char* model = "GB18030") {
  Paper paper{};
  EXPECT_TRUE(PaperOfWidth(80, &paper));
  ReceiptRenderer renderer(paper);
  PrinterCore core;
  PrinterState state;
  state.multiByteSet = model;
  core.SetState(state);
  core.SetHook([&](const Command& command, const PrinterSettings& settings) {
    return renderer.Render(command, settings);
  });
  core.Receive(bytes, PrinterCore::Clock::now());
  core.Finish(PrinterCore::Clock::now());
  return renderer.Roll().Pieces(false).front();
}

// The rows and columns that have ink, cut out of the roll; null when nothing was printed.
QImage Inked(const QImage& roll) {
  const std::vector<InkBand> bands = InkBands(roll);
  if (bands.empty()) return QImage();
  int left = bands[0].left, right = bands[0].right;
  for (const InkBand& band : bands) {
    left = std::min(left, band.left);
    right = std::max(right, band.right);
  }
  return roll.copy(left, bands.front().top, right - left + 1,
                   bands.back().bottom - bands.front().top + 1);
}

struct GlyphCase {
  std::string sent;  // the bytes with the commands that select their table or set
  const char* utf8;  // the characters they stand for
};

// Each line is drawn with the glyphs of the characters it stands for: the same picture as those
// characters sent in UTF-8. Distinct characters draw differently, so no glyph is a stand-in box,
// and none is the question mark an unknown byte gets.
TEST_F(RenderTest, CodeTablesAndMultiByteSetsDrawTheCharactersSent) {
  const GlyphCase cases[] = {
      {"\x1Bt\x11\x80\x9F", "АЯ"},                 // cp866
      {"\x1Bt\x0E\x80\x97", "ΑΩ"},                 // cp737
      {"\x1Bt\x13\xD5", "€"},                      // cp858
      {"\x1Bt\x01\x9C\x95\x91\x9D", "╭─┬╮"},       // Katakana table: rules
      {"\x1Bt\x01\xB1\xB2", "ｱｲ"},                 // Katakana table: Katakana
      {"\x1BR\x02[\\]", "ÄÖÜ"},                    // ESC R: Germany
      {"\x1C&\xD6\xD0", "中"},                     // GB 18030
      {"\x1C&\x1BR\x0D\xC7\xD1", "한"},            // KS C 5601
  };
  const QImage question = Inked(Rendered(kUtf8 + "?\n"));
  std::vector<QImage> seen;
  for (const GlyphCase& c : cases) {
    const QImage drawn = Inked(Rendered(c.sent + "\n"));
    ASSERT_FALSE(drawn.isNull()) << c.utf8;
    EXPECT_EQ(drawn, Inked(Rendered(kUtf8 + c.utf8 + "\n"))) << c.utf8;
    EXPECT_NE(drawn, question) << c.utf8;
    for (const QImage& other : seen) EXPECT_NE(drawn, other) << c.utf8;
    seen.push_back(drawn);
  }
  EXPECT_NE(Inked(Rendered("\x1C&\xD6\xD0\n")), Inked(Rendered("\x1C&\xB9\xFA\n")));  // 中, 国
}

// FS C chooses JIS or Shift JIS on a Japanese model alone: a Chinese model ignores it and goes
// on reading its own set, as the rules of a receipt in Chinese send FS C 0.
TEST_F(RenderTest, KanjiCodeSystemIsChosenOnAJapaneseModelAlone) {
  const struct {
    const char* model;
    std::string sent;
    const char* utf8;
  } kCases[] = {
      {kJapaneseModel, "\x1C" "C1\x1C&\x93\xFA\x96\x7B", "日本"},  // Shift JIS
      {kJapaneseModel, "\x1C&\x46\x7C\x4B\x5C", "日本"},             // JIS, the default
      {"GB18030", "\x1C" "C0\x1C&\xD6\xD0", "中"},
      {"BIG5", "\x1C" "C1\x1C&\xA4\xA4", "中"},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(Inked(Rendered(c.sent + "\n", c.model)), Inked(Rendered(kUtf8 + c.utf8 + "\n")))
        << c.model << " " << c.utf8;
  }
}

// The cutter stands above the print head: GS V 66 feeds the last line past it before cutting,
// a plain cut falls above the last lines and says so in the log.
TEST_F(RenderTest, ACutWithoutFeedingFallsThroughTheLastLines) {
  const struct {
    std::string cut;
    bool through;
  } kCases[] = {{"\x1DVB\x00"s, false}, {"\x1DV\x01", true}, {"\x1Bi", true}};
  for (const auto& c : kCases) {
    SetUp();
    Send("first\nsecond\nthird\nfourth\nfifth\nsixth\n" + c.cut);
    core_.Finish(PrinterCore::Clock::now());
    const std::vector<QImage> pieces = renderer_->Roll().Pieces(true);
    ASSERT_FALSE(pieces.empty());
    // Six lines of text: five bands of ink or more on the piece that ends at the cut.
    EXPECT_EQ(InkBands(pieces.front()).size() < 6, c.through) << HexBytes(c.cut, 4);
    EXPECT_EQ(pieces.size() > 1, c.through) << HexBytes(c.cut, 4);
    const bool noted = core_.Log().back().find("through printed lines") != std::string::npos;
    EXPECT_EQ(noted, c.through) << core_.Log().back();
  }
}

// Thai vowels above and below and tone marks print in their base's cell, also when a change of
// code table comes between them, and the special font A (ESC M 97) in font A's cells.
TEST_F(RenderTest, MarksShareTheirBasesCellAndTheSpecialFontIsFontA) {
  const std::string riceInUtf8 = kUtf8 + "\xE0\xB8\x82\xE0\xB9\x89\xE0\xB8\xB2\xE0\xB8\xA7\n";
  EXPECT_EQ(Inked(Rendered(riceInUtf8)).width(),
            Inked(Rendered(kUtf8 + "\xE0\xB8\x82\xE0\xB8\xB2\xE0\xB8\xA7\n")).width());
  // The base in Thai Character Code 42, the mark and the rest in TIS-620.
  EXPECT_EQ(Inked(Rendered("\x1Bt\x14\xA2\x1Bt\x15\xE9\xD2\xC7\n")), Inked(Rendered(riceInUtf8)));
  EXPECT_EQ(Inked(Rendered("\x1BMaTotal 12.50\n")), Inked(Rendered("\x1BM0Total 12.50\n")));
}

// A session far longer than a picture Qt can paint on (32 767 rows) is drawn whole: every line
// of 1 200 at 30 dots a line shows, the last as well as the first.
TEST_F(RenderTest, ALongSessionIsDrawnToItsEnd) {
  std::string lines;
  for (int i = 0; i < 1200; ++i) lines += "x\n";
  Send(lines);
  const std::vector<InkBand> bands = InkBands(Printed());
  ASSERT_EQ(bands.size(), 1200u);
  EXPECT_GT(bands.back().top, 1199 * ReceiptRenderer::kDefaultLineSpacing);
}

struct PlaceCase {
  std::string sent;
  int leftFrom, leftTo;    // where the line's leftmost ink may be, dots from the print head's end
  int rightFrom, rightTo;  // and its rightmost
};

// ESC $ and ESC \ move the print position within the line, GS L the line's start; ESC SP
// spaces the characters; the page-mode commands leave a line in standard mode alone. Font A's
// cell is 12 dots wide.
TEST_F(RenderTest, PositionsMarginsAndSpacingPlaceTheText) {
  const PlaceCase cases[] = {
      {"A\x1B$\xC8\x00" "B\n"s, 0, 12, 200, 212},    // ESC $ 200: B at 200
      {"AAAA\x1B\\\xE8\xFF" "BB\n", 0, 12, 36, 48},  // ESC \ -24: BB over the last two
      {"\x1DL\x64\x00" "A\n"s, 100, 112, 100, 112},  // GS L 100
      {"\x1B \x0C" "AA\n", 0, 12, 24, 36},           // ESC SP 12
      {"\x1B\x61\x01" "AB\x1B$\x64\x00" "C\n"s, 232, 244, 332, 344},  // centred, 112 wide
      {"AB\x18" "C\rD\n", 0, 12, 36, 48},    // CAN and CR: nothing in standard mode
      {"AB\x1BS" "C\x0C" "D\n", 0, 12, 36, 48},  // nor ESC S and FF
  };
  for (const PlaceCase& c : cases) {
    const std::vector<InkBand> bands = InkBands(Rendered(c.sent));
    ASSERT_EQ(bands.size(), 1u) << c.sent;
    const int left = bands[0].left - paper_.LeftEdge(), right = bands[0].right - paper_.LeftEdge();
    EXPECT_TRUE(left >= c.leftFrom && left < c.leftTo) << c.sent << ": left " << left;
    EXPECT_TRUE(right >= c.rightFrom && right < c.rightTo) << c.sent << ": right " << right;
  }
}

// Upside down, a line is the normal line turned half round; turned 90 degrees, a dash stands up.
TEST_F(RenderTest, UpsideDownAndRotatedTextIsTurned) {
  const QImage normal = Inked(Rendered("Tally 42\n"));
  EXPECT_EQ(Inked(Rendered("\x1B{\x01Tally 42\n")), normal.mirrored(true, true));
  const QImage dash = Inked(Rendered("-\n")), turned = Inked(Rendered("\x1BV\x01-\n"));
  EXPECT_GT(dash.width(), 2 * dash.height());
  EXPECT_GT(turned.height(), 2 * turned.width());
  EXPECT_EQ(turned.size(), dash.size().transposed());
}

// Page mode: a line placed on the page in each print direction comes out turned with it, at the
// corner the direction starts from, when FF prints the page.
TEST_F(RenderTest, PageModePrintsInEachDirection) {
  struct Direction {
    int n;
    int turn;            // degrees clockwise against direction 0
    bool left, top;      // the corner of the 576 x 200 area the line starts in
  };
  const Direction directions[] = {{0, 0, true, true}, {1, 270, true, false}, {2, 180, false, false},
                                  {3, 90, false, true}};
  // ESC L, ESC T n, ESC W 0 0 0 0 576 200, GS $ 23: the line's last dot row 23 dots in.
  const auto page = [](int n) {
    return Rendered("\x1BL\x1BT" + B({n}) + B({0x1B, 'W', 0, 0, 0, 0, 0x40, 2, 200, 0}) +
                    B({0x1D, '$', 23, 0}) + "Tally 42\x0C");
  };
  const QImage straight = Inked(page(0));
  ASSERT_FALSE(straight.isNull());
  for (const Direction& d : directions) {
    const QImage roll = page(d.n);
    EXPECT_EQ(Inked(roll), straight.transformed(QTransform().rotate(d.turn))) << d.n;
    const std::vector<InkBand> bands = InkBands(roll);
    ASSERT_FALSE(bands.empty());
    const int left = bands.front().left - paper_.LeftEdge();
    const int top = bands.front().top - PaperRoll::kMargin;
    EXPECT_EQ(left < 100, d.left) << d.n << ": left " << left;
    EXPECT_EQ(top < 100, d.top) << d.n << ": top " << top;
  }
}

// In page mode GS $ moves the vertical position and leaves the horizontal one where ESC $ put it.
TEST_F(RenderTest, PageModeVerticalPositionKeepsTheHorizontalOne) {
  const QImage roll = Rendered("\x1BL" + B({0x1B, 'W', 0, 0, 0, 0, 0x40, 2, 200, 0}) +
                               B({0x1B, '$', 200, 0}) + B({0x1D, '$', 60, 0}) + "X\x0C");
  const std::vector<InkBand> bands = InkBands(roll);
  ASSERT_EQ(bands.size(), 1u);
  EXPECT_GE(bands[0].left - paper_.LeftEdge(), 200);
  EXPECT_GE(bands[0].top - PaperRoll::kMargin, 30);
}

// ESC * in its four densities: 8-dot images print each dot three dots high, single density
// each column twice.
TEST_F(RenderTest, ColumnImagesTakeTheirDensity) {
  struct Density {
    int m, width, height;
  };
  const Density densities[] = {{0, 8, 24}, {1, 4, 24}, {32, 8, 24}, {33, 4, 24}};
  for (const Density& d : densities) {
    const int bytes = 4 * (d.m >= 32 ? 3 : 1);
    Send(B({0x1B, '*', d.m, 4, 0}) + std::string(bytes, '\xFF') + "\n");
  }
  const std::vector<InkBand> bands = InkBands(Printed());
  ASSERT_EQ(bands.size(), 4u);
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(bands[i].right - bands[i].left + 1, densities[i].width) << densities[i].m;
    EXPECT_EQ(bands[i].bottom - bands[i].top + 1, densities[i].height) << densities[i].m;
  }
}

// A picture of 16 x 5 dots as rows (bit 7 leftmost) and as columns (top dot in bit 7).
constexpr int kWidth = 16, kHeight = 5;

bool Dot(int x, int y) { return ((x * 7 + y * 3) % 5) < 2; }

std::string Rows() {
  std::string rows(kWidth / 8 * kHeight, '\0');
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      if (Dot(x, y)) rows[y * kWidth / 8 + x / 8] |= static_cast<char>(0x80 >> (x % 8));
    }
  }
  return rows;
}

std::string Columns() {
  std::string columns(kWidth, '\0');
  for (int x = 0; x < kWidth; ++x) {
    for (int y = 0; y < kHeight; ++y) {
      if (Dot(x, y)) columns[x] |= static_cast<char>(0x80 >> y);
    }
  }
  return columns;
}

// GS ( L pL pH with the block.
std::string Graphics(const std::string& block) {
  return B({0x1D, '(', 'L', static_cast<int>(block.size() & 0xFF),
            static_cast<int>(block.size() >> 8)}) +
         block;
}

// GS 8 L p1 p2 p3 p4 with the block.
std::string LargeGraphics(const std::string& block) {
  return B({0x1D, '8', 'L', static_cast<int>(block.size() & 0xFF),
            static_cast<int>(block.size() >> 8), 0, 0}) +
         block;
}

const std::string kSize = B({kWidth, 0, kHeight, 0});
const std::string kPrintBuffer = Graphics("\x30\x32");

// The picture stored and printed each way a program can: in the print buffer as rows and as
// columns, in RAM and in NV memory, and as a GS Q 0 image of one byte a column; each lands dot
// for dot.
TEST_F(RenderTest, GraphicsStoredOrBufferedPrintDotForDot) {
  const std::string ways[] = {
      LargeGraphics("\x30\x70\x30\x01\x01\x31" + kSize + Rows()) + kPrintBuffer,
      Graphics("\x30\x71\x30\x01\x01\x31" + kSize + Columns()) + kPrintBuffer,
      Graphics("\x30\x53\x30" "D1\x01" + kSize + "\x31" + Rows()) +
          Graphics("\x30\x55" "D1\x01\x01"),
      Graphics("\x30\x44\x30" "N1\x01" + kSize + "\x31" + Columns()) +
          Graphics("\x30\x45" "N1\x01\x01"),
      B({0x1D, 'Q', '0', 0, kWidth, 0, 1, 0}) + Columns(),
  };
  for (const std::string& way : ways) Send(way + "\x1BJ\x0A");  // then 10 dots apart
  const QImage roll = Printed();
  for (int i = 0; i < static_cast<int>(std::size(ways)); ++i) {
    const int top = PaperRoll::kMargin + i * (kHeight + 10);
    for (int y = -1; y <= kHeight; ++y) {
      for (int x = -1; x <= kWidth; ++x) {
        const bool inside = x >= 0 && x < kWidth && y >= 0 && y < kHeight;
        ASSERT_EQ(Black(roll, paper_.LeftEdge() + x, top + y), inside && Dot(x, y))
            << "way " << i << " x " << x << " y " << y;
      }
    }
  }
}

// A QR code a program drew itself, sent as a graphic in the print buffer at double size, and a
// PDF417 symbol both decode to the data sent, each read by a decoder of its own.
TEST_F(RenderTest, QrCodeInThePrintBufferAndPdf417ReadBack) {
  QrSettings qr;
  qr.moduleSize = 2;
  qr.data = "https://tallyjet.example/r/0043";
  const QImage picture = DrawQrCode(qr).image;
  ASSERT_FALSE(picture.isNull());
  const int bytesPerRow = (picture.width() + 7) / 8;
  std::string rows(bytesPerRow * picture.height(), '\0');
  for (int y = 0; y < picture.height(); ++y) {
    for (int x = 0; x < picture.width(); ++x) {
      if (Black(picture, x, y)) rows[y * bytesPerRow + x / 8] |= static_cast<char>(0x80 >> (x % 8));
    }
  }
  const std::string size = B({picture.width() & 0xFF, picture.width() >> 8, picture.height() & 0xFF,
                              picture.height() >> 8});
  Send("\x1B\x61\x01" + LargeGraphics("\x30\x70\x30\x02\x02\x31" + size + rows) + kPrintBuffer);
  Send("\x1BJ\x28");
  const std::string ticket = "TJ-PDF417-0001";
  Send(Symbol2D('0', 'C', "\x03") + Symbol2D('0', 'D', "\x03") + Symbol2D('0', 'P', "0" + ticket) +
       Symbol2D('0', 'Q', "0"));
  const QImage roll = Printed();
  const std::string png = "/tmp/render_commands_test_" + std::to_string(getpid()) + ".png";
  ASSERT_TRUE(roll.save(QString::fromStdString(png), "PNG"));
  const std::vector<std::string> found = Words(OutputOf(std::string(ZBARIMG) + " -q " + png));
  unlink(png.c_str());
  const std::set<std::string> symbols(found.begin(), found.end());
  EXPECT_EQ(symbols.count("QR-Code:" + qr.data), 1u);
  // Debian's zbarimg has no PDF417 decoder; ZXing reads it.
  const QImage grey = roll.convertToFormat(QImage::Format_Grayscale8);
  ZXing::DecodeHints hints;
  hints.setFormats(ZXing::BarcodeFormat::PDF417);
  const ZXing::Result read = ZXing::ReadBarcode(
      {grey.constBits(), grey.width(), grey.height(), ZXing::ImageFormat::Lum,
       static_cast<int>(grey.bytesPerLine())},
      hints);
  EXPECT_TRUE(read.isValid());
  EXPECT_EQ(read.text(), ticket);
}

}  // namespace
}  // namespace vprinter
