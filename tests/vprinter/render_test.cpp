// What the virtual printer draws: every barcode system and a QR code read back by an
// independent decoder, a picture dot for dot where it belongs, and emphasised and double-size
// text that takes more paper than plain text.
#include <gtest/gtest.h>
#include <unistd.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "../support/child_program.h"
#include "render_fixture.h"

namespace vprinter {
namespace {

struct BarcodeCase {
  int system;           // m of GS k m n
  std::string data;     // as the printer receives it
  const char* decoded;  // as zbarimg reports it: symbology, then the data with any check digit
};

const BarcodeCase kBarcodes[] = {
    {65, "01234567890", "UPC-A:012345678905"},
    {66, "123456", "UPC-E:01234565"},
    {67, "401234567890", "EAN-13:4012345678901"},
    {68, "1234567", "EAN-8:12345670"},
    {68, "40123455", "EAN-8:40123455"},  // with its check digit
    {67, "4006381333931", "EAN-13:4006381333931"},
    {65, "012345678905", "UPC-A:012345678905"},
    {69, "TJ-42", "CODE-39:TJ-42"},
    {70, "12345678", "I2/5:12345678"},
    {71, "A40156B", "Codabar:A40156B"},
    {72, "TJ93", "CODE-93:TJ93"},
    {73, "{BTJ-128", "CODE-128:TJ-128"},
    {73, "{C\x0C\x22\x38", "CODE-128:123456"},  // code set C: a byte is two digits
};

TEST_F(RenderTest, EveryBarcodeSystemAndTheQrCodeDecodeToTheDataSent) {
  Send("\x1Dh\x3C\x1Dw\x03\x1DH\x02");  // height 60, modules of 3 dots, HRI below
  for (const BarcodeCase& c : kBarcodes) {
    Send(B({0x1D, 'k', c.system, static_cast<int>(c.data.size())}) + c.data);
    Send("\x1BJ\x1E");  // feed 30 dots
  }
  const std::string url = "https://tallyjet.example/r/0042";
  Send(Qr('A', B({'2', 0})) + Qr('C', "\x04") + Qr('E', "1") + Qr('P', "0" + url) + Qr('Q', "0"));
  const QImage roll = Printed();

  const std::string png = "/tmp/render_test_" + std::to_string(getpid()) + ".png";
  ASSERT_TRUE(roll.save(QString::fromStdString(png), "PNG"));
  // One "SYMBOLOGY:data" a symbol found; UPC-A and UPC-E are reported as themselves, not widened
  // to EAN-13. No data here holds a space.
  const std::vector<std::string> found =
      Words(OutputOf(std::string(ZBARIMG) + " -q -Supca.enable -Supce.enable " + png));
  unlink(png.c_str());
  const std::set<std::string> symbols(found.begin(), found.end());
  for (const BarcodeCase& c : kBarcodes) EXPECT_EQ(symbols.count(c.decoded), 1u) << c.decoded;
  EXPECT_EQ(symbols.count(std::string("QR-Code:") + url), 1u);
}

TEST_F(RenderTest, RasterPictureLandsDotForDotWhereTheLayoutPutsIt) {
  constexpr int kWidth = 24, kHeight = 10;
  unsigned char picture[kWidth / 8 * kHeight];
  for (size_t i = 0; i < sizeof picture; ++i) picture[i] = static_cast<unsigned char>(i * 37 + 11);
  struct Placement {
    int leftMargin;
    int justification;
    int x;  // from the print head's left end
  };
  const Placement placements[] = {{40, 0, 40}, {0, 1, (576 - kWidth) / 2}, {0, 2, 576 - kWidth}};
  for (const Placement& p : placements) {
    Send(B({0x1D, 'L', p.leftMargin, 0, 0x1B, 'a', p.justification}));
    Send(B({0x1D, 'v', '0', 0, kWidth / 8, 0, kHeight, 0}) +
         std::string(reinterpret_cast<const char*>(picture), sizeof picture));
  }
  const QImage roll = Printed();
  for (size_t i = 0; i < 3; ++i) {
    const int left = paper_.LeftEdge() + placements[i].x;
    const int top = PaperRoll::kMargin + static_cast<int>(i) * kHeight;
    for (int y = 0; y < kHeight; ++y) {
      for (int x = -1; x <= kWidth; ++x) {
        const bool inside = x >= 0 && x < kWidth;
        const bool dot = inside && (picture[y * kWidth / 8 + x / 8] & (0x80 >> (x % 8))) != 0;
        ASSERT_EQ(Black(roll, left + x, top + y), dot)
            << "picture " << i << " x " << x << " y " << y;
      }
    }
  }
}

TEST_F(RenderTest, EmphasisedAndDoubleSizeLinesTakeMoreDots) {
  Send("Total 12.50\n\x1B\x45\x01Total 12.50\n");               // ESC E 1: emphasis
  Send(B({0x1B, 0x45, 0, 0x1D, '!', 0x11}) + "Total 12.50\n");  // GS ! 0x11: double size
  const std::vector<InkBand> bands = InkBands(Printed());
  ASSERT_EQ(bands.size(), 3u);
  const InkBand &plain = bands[0], &bold = bands[1], &large = bands[2];
  EXPECT_GT(bold.dots, plain.dots * 5 / 4);
  EXPECT_GT(large.right - large.left, (plain.right - plain.left) * 9 / 5);
  EXPECT_GE(large.dots, 3 * plain.dots);
}

}  // namespace
}  // namespace vprinter
