// A tall picture printed through the virtual printer on a pseudo-terminal, whose receive buffer
// drains slower than the library can write: pacing must keep it from overrunning, and every row
// must arrive as it was drawn.
#include <gtest/gtest.h>

#include <string>

#include "image_per_pixel.h"
#include "picture_files.h"
#include "printer_on_pty.h"
#include "raster_bands.h"

namespace {

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
