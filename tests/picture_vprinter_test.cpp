// A tall picture printed through the virtual printer on a pseudo-terminal, whose receive buffer
// drains slower than the library can write: pacing must keep it from overrunning, and every row
// must arrive as it was drawn.
#include <gtest/gtest.h>

#include <string>

#include "image_per_pixel.h"
#include "picture_files.h"
#include "printer_on_pty.h"

namespace {

const std::string kFillQuery = "\x10\x04\x0B";

// 576 x 3000, every row different: the row number in the first twelve dots, then diagonals.
QImage TallPicture() {
  QImage picture(576, 3000, QImage::Format_RGB32);
  for (int y = 0; y < picture.height(); ++y) {
    for (int x = 0; x < picture.width(); ++x) {
      const bool black = x < 12 ? ((y >> x) & 1) != 0 : (x * 7 + y * 13) % 17 < 5;
      picture.setPixel(x, y, black ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
    }
  }
  return picture;
}

// The raster data of the bands in what the printer received, with the fill-level queries in
// front of each band taken out; empty when the bytes are not margin, queries and bands.
std::string BandData(const std::string& received) {
  const std::string margin("\x1D\x4C\x00\x00", 4);
  if (received.compare(0, margin.size(), margin) != 0) return "";
  std::string data;
  size_t at = margin.size();
  while (at < received.size()) {
    while (received.compare(at, kFillQuery.size(), kFillQuery) == 0) at += kFillQuery.size();
    if (received.compare(at, 3, "\x1D\x76\x30") != 0 || at + 8 > received.size()) return "";
    const size_t bytesPerRow = static_cast<unsigned char>(received[at + 4]) +
                               256u * static_cast<unsigned char>(received[at + 5]);
    const size_t rows = static_cast<unsigned char>(received[at + 6]) +
                        256u * static_cast<unsigned char>(received[at + 7]);
    data += received.substr(at + 8, bytesPerRow * rows);
    at += 8 + bytesPerRow * rows;
  }
  return data;
}

using PictureThroughVirtualPrinterTest = PrinterOnPty;

TEST_F(PictureThroughVirtualPrinterTest, TallPictureArrivesIntactWithoutOverrun) {
  printer.SetRates(30000, 0);  // drains slower than bands arrive: the library must wait
  PictureFiles files;
  const QImage picture = TallPicture();
  const std::string path = files.Save(picture, "tall");
  const std::string expected = PerPixelRaster(picture);
  Open();
  EXPECT_EQ(PrintBmpImage(path.c_str(), 1.0f, 1.0f, 0, 0, 0), TALLYJET_SUCCESS);
  EXPECT_EQ(ClosePort(), TALLYJET_SUCCESS);

  const size_t bands = (3000 + 82) / 83;
  EXPECT_TRUE(printer.WaitForReceived(4 + bands * (3 + 8) + expected.size(), 5000));
  EXPECT_EQ(printer.Overruns(), 0);
  const std::string data = BandData(printer.Received());
  EXPECT_EQ(data.size(), expected.size());
  EXPECT_TRUE(data == expected) << "the rows that arrived differ from the picture";
}

}  // namespace
