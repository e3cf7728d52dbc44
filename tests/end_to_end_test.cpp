// A receipt (styled text, a barcode, a QR code, the cut) on the device-node path and a tall
// picture on the network, through OpenPort to the virtual printer, whose receive buffer drains
// slower than the library writes: pacing must keep it from overrunning.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "image_per_pixel.h"
#include "picture_files.h"
#include "printer_on_pty.h"
#include "raster_bands.h"

namespace {

using ReceiptEndToEndTest = PrinterOnPty;

// The printer decodes the accent from its code page 850 byte, and the barcode and QR code as
// they were set.
TEST_F(ReceiptEndToEndTest, ReceiptArrivesAsSent) {
  Open();
  const std::string cafe = "Caf\xC3\xA9\n";
  ASSERT_EQ(SetTextProperties(2, 0, 0, 1), TALLYJET_SUCCESS);
  ASSERT_EQ(SetJustification(1), TALLYJET_SUCCESS);
  ASSERT_EQ(SendData(cafe.data(), static_cast<int>(cafe.size())), TALLYJET_SUCCESS);
  ASSERT_EQ(PaperFeed(40), TALLYJET_SUCCESS);
  char url[] = "https://example.org/r/42";
  EXPECT_EQ(PrintBarCode(67, 80, 2, 8, 2, 1, "4006381333931"), TALLYJET_SUCCESS);
  EXPECT_EQ(SetQrCodeModel(2), TALLYJET_SUCCESS);
  EXPECT_EQ(SetQrCodeResolution(6), TALLYJET_SUCCESS);
  EXPECT_EQ(SetQrCodeErrorCorretion(1), TALLYJET_SUCCESS);
  EXPECT_EQ(StoreQrCodeData(url, static_cast<int>(strlen(url))), TALLYJET_SUCCESS);
  EXPECT_EQ(MakeQrCode(), TALLYJET_SUCCESS);
  ASSERT_EQ(MakeCut(1), TALLYJET_SUCCESS);
  ASSERT_TRUE(printer.WaitForLog(17, 2000));
  const vprinter::PrinterSettings settings = printer.Settings();
  EXPECT_EQ(settings.style.printMode, 0x38);
  EXPECT_EQ(settings.layout.justification, 1);
  EXPECT_EQ(settings.layout.leftMargin, 8);
  EXPECT_EQ(settings.barcode.height, 80);
  EXPECT_EQ(settings.barcode.moduleWidth, 6);
  EXPECT_EQ(settings.barcode.hriFont, 1);
  EXPECT_EQ(settings.barcode.hriPosition, 2);
  EXPECT_EQ(settings.qr.model, 2);
  EXPECT_EQ(settings.qr.moduleSize, 6);
  EXPECT_EQ(settings.qr.errorLevel, 1);
  EXPECT_EQ(settings.qr.data, url);
  EXPECT_TRUE(Logged("Caf\xC3\xA9")) << testing::PrintToString(printer.Log());
  EXPECT_TRUE(Logged("4006381333931"));
  EXPECT_TRUE(Logged("QR print"));
  EXPECT_TRUE(Logged("GS V 1  cut"));
}

// The picture goes to the printer on the network; the device-node path is the receipt's.
class PictureEndToEndTest : public PrinterOnPty {
 protected:
  PictureEndToEndTest() : PrinterOnPty(OnLoopback()) {}
};

TEST_F(PictureEndToEndTest, TallPictureArrivesIntactWithoutOverrun) {
  printer.SetRates(30000, 0);  // drains slower than bands arrive: the library must wait
  PictureFiles files;
  const QImage picture = DistinctRows(576, 1000);
  const std::string path = files.Save(picture, "tall");
  const std::string expected = PerPixelRaster(picture);
  Open();
  EXPECT_EQ(PrintBmpImage(path.c_str(), 1.0f, 1.0f, 0, 0, 0), TALLYJET_SUCCESS);
  EXPECT_EQ(ClosePort(), TALLYJET_SUCCESS);

  const size_t bands = (1000 + 82) / 83;
  EXPECT_TRUE(printer.WaitForReceived(4 + bands * (3 + 8) + expected.size(), 5000));
  EXPECT_EQ(printer.Overruns(), 0);
  const std::string data = BandData(printer.Received());
  EXPECT_EQ(data.size(), expected.size());
  EXPECT_TRUE(data == expected) << "the rows that arrived differ from the picture";
}

}  // namespace
