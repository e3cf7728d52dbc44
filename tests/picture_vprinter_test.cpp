// A tall picture printed through the virtual printer on a pseudo-terminal and on the network,
// whose receive buffer drains slower than the library can write: pacing must keep it from
// overrunning, and every row must arrive as it was drawn.
#include <gtest/gtest.h>

#include <string>

#include "image_per_pixel.h"
#include "picture_files.h"
#include "printer_on_pty.h"
#include "raster_bands.h"

namespace {

// The parameter says whether the printer is on the network.
class PictureThroughVirtualPrinterTest : public PrinterOnPty,
                                         public ::testing::WithParamInterface<bool> {
 protected:
  PictureThroughVirtualPrinterTest()
      : PrinterOnPty(GetParam() ? OnLoopback() : vprinter::Options()) {}
};

TEST_P(PictureThroughVirtualPrinterTest, TallPictureArrivesIntactWithoutOverrun) {
  printer.SetRates(30000, 0);  // drains slower than bands arrive: the library must wait
  PictureFiles files;
  const QImage picture = DistinctRows(576, 3000);
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

INSTANTIATE_TEST_SUITE_P(PtyAndNetwork, PictureThroughVirtualPrinterTest, ::testing::Bool());

}  // namespace
