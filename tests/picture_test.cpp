// The picture entry points on a recording printer: the order of their steps, what reaches the
// printer for each scale, margin and half-tone value, and the stored-graphics commands.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "picture_files.h"
#include "raster_bands.h"
#include "recorded_connection.h"

namespace {

const int kOk = TALLYJET_SUCCESS;
const int kFailed = TALLYJET_ERR_FAILED;
const int kRefused = TALLYJET_ERR_INVALID_ARGUMENT;
const std::string kMarginZero = Bytes({0x1D, 0x4C, 0x00, 0x00});

int FloatBits(float value) {
  int bits;
  memcpy(&bits, &value, sizeof bits);
  return bits;
}

// 100 x 3: the left half of the top row black, and the last dot of the bottom row.
QImage Sample() {
  QImage picture = Filled(100, 3, kWhite);
  for (int x = 0; x < 50; ++x) picture.setPixel(x, 0, kBlack);
  picture.setPixel(99, 2, kBlack);
  return picture;
}

class PictureTest : public RecordedConnection {
 protected:
  // The GS v 0 header of the only band sent.
  std::string BandHeader() const {
    EXPECT_EQ(transport->writes.size(), 3u);
    return transport->writes.size() == 3 ? transport->writes[2].substr(0, 8) : "";
  }

  PictureFiles files_;
};

// A picture at its own size sets the margin, then goes as one band behind the fill-level query;
// so does a raster bit image the caller built, without the margin.
TEST_F(PictureTest, PictureAndRasterBitImageGoAsOnePacedBand) {
  const unsigned char row[1] = {0xA5};
  transport->Answer(Bytes({0}));
  transport->Answer(Bytes({0}));
  const std::string black = files_.Save(Filled(1, 1, kBlack), "black");
  EXPECT_EQ(PrintBmpImage(black.c_str(), 1.0f, 1.0f, 0, 0, 0), TALLYJET_SUCCESS);
  EXPECT_EQ(PrintRasterBitImage(0, 8, 1, row), TALLYJET_SUCCESS);
  const Writes expected = {
      kMarginZero, kFillQuery, Bytes({0x1D, 0x76, 0x30, 0x00, 0x01, 0x00, 0x01, 0x00, 0x80}),
      kFillQuery, Bytes({0x1D, 0x76, 0x30, 0x00, 0x01, 0x00, 0x01, 0x00, 0xA5})};
  EXPECT_EQ(transport->writes, expected);
}

// Each scale acts on its own dimension; PrintBmp8 takes the scales as their bits, and neither
// rotation nor half-tone changes a byte. Refusals, a NaN scale among them, send nothing.
TEST_F(PictureTest, ScalesActOnTheirOwnDimensionAndRefusalsSendNothing) {
  const std::string saved = files_.Save(Sample(), "sample");
  const char* const sample = saved.c_str();
  const std::string missing = files_.Missing();
  const int one = FloatBits(1.0f);
  const float nan = std::nanf("");
  transport->Answer(Bytes({0}));
  ASSERT_EQ(PrintBmpImage(sample, 1.0f, 2.0f, 0, 0, 0), TALLYJET_SUCCESS);
  const Writes widthDoubled = transport->writes;
  EXPECT_EQ(BandHeader(), Bytes({0x1D, 0x76, 0x30, 0x00, 25, 0x00, 3, 0x00}));
  struct Case {
    const char* what;
    std::function<int()> print;
    int result;
    bool widthDoubled;  // sends what PrintBmpImage(sample, 1, 2) sent, else nothing
  };
  const Case cases[] = {
      {"bits", [&] { return PrintBmp8(sample, one, FloatBits(2.0f), 0, 0, 0); }, kOk, true},
      {"rotation", [&] { return PrintBmpImage(sample, 1.0f, 2.0f, 90, 0, 2); }, kOk, true},
      {"NaN bits", [&] { return PrintBmp8(sample, 0x7FC00000, one, 0, 0, 0); }, kFailed, false},
      {"NaN width", [&] { return PrintBmpImage(sample, 1.0f, nan, 0, 0, 0); }, kFailed, false},
      {"margin", [&] { return PrintBmpImage(sample, 1.0f, 1.0f, 0, 48, 0); }, kRefused, false},
      {"missing", [&] { return PrintBmpImage(missing.c_str(), 1, 1, 0, 0, 0); }, kFailed, false},
  };
  for (const Case& c : cases) {
    transport->writes.clear();
    transport->Answer(Bytes({0}));
    EXPECT_EQ(c.print(), c.result) << c.what;
    EXPECT_EQ(transport->writes, c.widthDoubled ? widthDoubled : Writes{}) << c.what;
  }
  transport->writes.clear();
  transport->Answer(Bytes({0}));
  EXPECT_EQ(PrintBmpImage(sample, 2.0f, 1.0f, 0, 0, 0), TALLYJET_SUCCESS);
  EXPECT_EQ(BandHeader(), Bytes({0x1D, 0x76, 0x30, 0x00, 13, 0x00, 6, 0x00}));  // 13 bytes: 100 dots
}

TEST_F(PictureTest, StoredGraphicReplacesTheKeyAndKeepsThePixelWidth) {
  const std::string nine = files_.Save(Filled(9, 2, kBlack), "nine");
  EXPECT_EQ(SaveGraphic(nine.c_str(), 0x41, 0x31), TALLYJET_SUCCESS);
  const Writes expected = {
      Bytes({0x1D, 0x28, 0x4C, 0x04, 0x00, 0x30, 0x42, 0x41, 0x31}),
      Bytes({0x1D, 0x38, 0x4C, 0x0F, 0x00, 0x00, 0x00, 0x30, 0x43, 0x30, 0x41, 0x31, 0x01, 0x09,
             0x00, 0x02, 0x00, 0x31, 0xFF, 0x80, 0xFF, 0x80}),
  };
  EXPECT_EQ(transport->writes, expected);
  transport->writes.clear();
  EXPECT_EQ(SaveGraphic(files_.Missing().c_str(), 0x41, 0x31), TALLYJET_ERR_FAILED);
  EXPECT_TRUE(transport->writes.empty());
}

}  // namespace
