// Receipts and pictures through OpenPort to the virtual printer: a receipt (styled text, a
// barcode, a QR code, the cut) and the code table on the device-node path, and a tall picture on
// a pty and on the network whose receive buffer drains slower than the library can write: pacing
// must keep it from overrunning, and every row must arrive as it was drawn.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "image_per_pixel.h"
#include "picture_files.h"
#include "printer_on_pty.h"
#include "raster_bands.h"
#include "recording_transport.h"

namespace {

const std::string kCafe = "Caf\xC3\xA9\n";

class TextEndToEndTest : public PrinterOnPty {
 protected:
  void SetUp() override {
    PrinterOnPty::SetUp();
    Open();
  }
  void TearDown() override {
    SetCharCodeTable(TALLYJET_CODEPAGE_850);
    PrinterOnPty::TearDown();
  }

  int Send(const std::string& text) { return SendData(text.data(), static_cast<int>(text.size())); }
};

// One receipt: the accent goes out as its code page 850 byte and the printer decodes it back,
// and it reads the barcode and the QR code as they were set.
TEST_F(TextEndToEndTest, ReceiptArrivesAsSent) {
  ASSERT_EQ(SetTextProperties(2, 0, 0, 1), TALLYJET_SUCCESS);
  ASSERT_EQ(SetJustification(1), TALLYJET_SUCCESS);
  ASSERT_EQ(Send(kCafe), TALLYJET_SUCCESS);
  ASSERT_EQ(PaperFeed(40), TALLYJET_SUCCESS);
  const std::string text = Bytes({0x1B, 0x21, 0x38, 0x1B, 0x61, 0x01, 0x43, 0x61, 0x66, 0x82,
                                  0x0A, 0x1B, 0x4A, 0x28});
  ASSERT_TRUE(printer.WaitForReceived(text.size(), 2000));
  EXPECT_EQ(printer.Received(), text);
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
  EXPECT_EQ(printer.Received().substr(printer.Received().size() - 3), Bytes({0x1D, 0x56, 0x01}));
}

TEST_F(TextEndToEndTest, CodeTableOutlivesClosingReopeningAndReset) {
  ASSERT_EQ(SetCharCodeTable(0), TALLYJET_SUCCESS);
  ASSERT_EQ(ClosePort(), TALLYJET_SUCCESS);
  Open();
  ASSERT_EQ(Reset(), TALLYJET_SUCCESS);
  ASSERT_EQ(Send(kCafe), TALLYJET_SUCCESS);
  const std::string expected = Bytes({0x1B, 0x74, 0x00, 0x1B, 0x40}) + kCafe;
  ASSERT_TRUE(printer.WaitForReceived(expected.size(), 2000));
  EXPECT_EQ(printer.Received(), expected);
}

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
