// The picture path of printer handles (tallyjet_print_picture): the files it refuses, as
// PrintBmpImage refuses them; the fit, alignment and dithering of the raster it makes; and
// where its bands wait for the printer's fill level.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QFile>
#include <string>

#include "picture_files.h"
#include "picture_raster.h"
#include "raster_bands.h"
#include "recorded_connection.h"

namespace {

const int kOk = TALLYJET_SUCCESS;
const int kRefused = TALLYJET_ERR_INVALID_ARGUMENT;

// The dots of one raster row as '#' and '.'.
std::string Row(const PictureRaster& raster, int y) {
  std::string dots;
  const int bytesPerRow = raster.width() / 8;
  for (int x = 0; x < raster.width(); ++x) {
    const unsigned char byte = raster.data()[y * bytesPerRow + x / 8];
    dots += (byte & (0x80 >> x % 8)) != 0 ? '#' : '.';
  }
  return dots;
}

int BlackDots(const PictureRaster& raster) {
  int black = 0;
  for (int y = 0; y < raster.height(); ++y) {
    for (char dot : Row(raster, y)) black += dot == '#';
  }
  return black;
}

class PicturePathTest : public RecordedConnection {
 protected:
  PictureFiles files_;
};

// Every file PrintBmpImage refuses, tallyjet_print_picture refuses too, before anything is sent.
TEST_F(PicturePathTest, RefusesWhatPrintBmpImageRefuses) {
  QFile text(files_.Path("notes.png"));
  ASSERT_TRUE(text.open(QIODevice::WriteOnly));
  text.write("not a picture\n");
  text.close();
  const std::string fifo = files_.Path("fifo.png").toStdString();
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  QImage wide(TALLYJET_MAX_PICTURE_WIDTH + 1, 1, QImage::Format_Mono);
  wide.fill(0);
  QImage tall(4096, TALLYJET_MAX_PICTURE_PIXELS / 4096 + 1, QImage::Format_Mono);
  tall.fill(0);
  const std::string refused[] = {
      "", files_.Missing(), text.fileName().toStdString(), fifo, "/dev/zero",
      files_.Save(wide, "wide"), files_.Save(tall, "tall"),
  };
  for (const std::string& path : refused) {
    EXPECT_EQ(PrintBmpImage(path.c_str(), 1.0f, 1.0f, 0, 0, 0), TALLYJET_ERR_FAILED) << path;
    EXPECT_EQ(tallyjet_print_picture(nullptr, path.c_str(), nullptr), TALLYJET_ERR_FAILED) << path;
    // The same bytes from memory are refused alike (a file's; a FIFO or device has none).
    struct stat info;
    if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) continue;
    QFile file(QString::fromStdString(path));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << path;
    const QByteArray bytes = file.readAll();
    EXPECT_EQ(tallyjet_print_picture_data(nullptr, bytes.data(), bytes.size(), nullptr),
              TALLYJET_ERR_FAILED)
        << path;
  }
  EXPECT_EQ(tallyjet_print_picture(nullptr, nullptr, nullptr), TALLYJET_ERR_FAILED);
  EXPECT_EQ(tallyjet_print_picture_data(nullptr, nullptr, 10, nullptr), TALLYJET_ERR_FAILED);
  EXPECT_EQ(tallyjet_print_picture_data(nullptr, "x", 0, nullptr), TALLYJET_ERR_FAILED);
  EXPECT_TRUE(transport->writes.empty());
}

// A picture in memory prints exactly as the same picture from its file.
TEST_F(PicturePathTest, PictureInMemoryPrintsAsItsFile) {
  QImage ramp(300, 40, QImage::Format_Grayscale8);
  for (int y = 0; y < ramp.height(); ++y) {
    for (int x = 0; x < ramp.width(); ++x) ramp.setPixel(x, y, qRgb(x * 255 / 300, 0, 0));
  }
  const std::string path = files_.Save(ramp, "ramp");
  QFile file(QString::fromStdString(path));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray bytes = file.readAll();
  const tallyjet_picture_options options = {0, TALLYJET_DITHER_DIFFUSION, TALLYJET_ALIGN_CENTER,
                                            0, TALLYJET_PACING_NEVER};
  ASSERT_EQ(tallyjet_print_picture(nullptr, path.c_str(), &options), kOk);
  const auto fromFile = transport->writes;
  transport->writes.clear();
  ASSERT_EQ(tallyjet_print_picture_data(nullptr, bytes.data(), bytes.size(), &options), kOk);
  EXPECT_EQ(transport->writes, fromFile);
  EXPECT_FALSE(fromFile.empty());
}

// An option out of range is refused before the file is looked at; a fitted size beyond the
// picture limits is refused like a picture that large.
TEST_F(PicturePathTest, OptionsOutOfRangeAreRefusedUnsent) {
  const std::string dot = files_.Save(Filled(1, 1, kBlack), "dot");
  const std::string column = files_.Save(Filled(1, 4096, kBlack), "column");
  const struct {
    const char* what;
    tallyjet_picture_options options;
    const std::string& path;
    int result;
  } cases[] = {
      {"dither", {0, 3, 0, 0, 0}, dot, kRefused},
      {"align", {0, 0, -1, 0, 0}, dot, kRefused},
      {"paper", {0, 0, 0, -8, 0}, dot, kRefused},
      {"width beyond the paper", {385, 0, 0, 384, 0}, dot, kRefused},
      {"negative width", {-1, 0, 0, 0, 0}, dot, kRefused},
      {"pacing", {0, 0, 0, 0, 3}, dot, kRefused},
      {"fitted beyond the limits", {576, 0, 0, 0, 0}, column, TALLYJET_ERR_FAILED},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(tallyjet_print_picture(nullptr, c.path.c_str(), &c.options), c.result) << c.what;
  }
  EXPECT_TRUE(transport->writes.empty());
}

// The picture is fitted to the width asked (its own, no wider than the paper, for 0) keeping its
// proportions, and placed at the left, the centre or the right of the paper.
TEST(PictureRasterTest, FitsKeepingProportionsAndAlignsWithinThePaper) {
  PictureFiles files;
  const std::string block = files.Save(Filled(100, 50, kBlack), "block");
  const std::string wide = files.Save(Filled(1000, 10, kBlack), "wide");
  const struct {
    const std::string& path;
    PictureLayout layout;
    int width, height, left;  // of the black area, in dots
  } cases[] = {
      {block, {0, 0, TALLYJET_ALIGN_LEFT, 384}, 100, 50, 0},
      {block, {0, 0, TALLYJET_ALIGN_CENTER, 384}, 100, 50, 142},
      {block, {0, 0, TALLYJET_ALIGN_RIGHT, 384}, 100, 50, 284},
      {block, {200, 0, TALLYJET_ALIGN_LEFT, 576}, 200, 100, 0},
      {block, {3, 0, TALLYJET_ALIGN_RIGHT, 20}, 3, 2, 17},  // 1.5 rows round to 2
      {wide, {0, 0, TALLYJET_ALIGN_CENTER, 384}, 384, 4, 0},
      {wide, {576, 0, TALLYJET_ALIGN_LEFT, 576}, 576, 6, 0},
  };
  for (const auto& c : cases) {
    PictureRaster raster;
    ASSERT_EQ(raster.Make(c.path.c_str(), c.layout), kOk) << c.layout.width;
    EXPECT_EQ(raster.width(), (c.layout.paperWidth + 7) / 8 * 8);
    EXPECT_EQ(raster.height(), c.height) << c.layout.width;
    const std::string expected = std::string(c.left, '.') + std::string(c.width, '#') +
                                 std::string(raster.width() - c.left - c.width, '.');
    EXPECT_EQ(Row(raster, 0), expected) << c.layout.width << " " << c.layout.align;
    EXPECT_EQ(Row(raster, c.height - 1), expected) << c.layout.width << " " << c.layout.align;
  }
}

// A ramp of 64 greys, one 8 x 8 tile each, through the ordered dither: in every tile exactly
// the cells of the 8 x 8 Bayer matrix whose rank lies below the grey's darkness are black.
TEST(PictureRasterTest, OrderedDitherFollowsTheBayerMatrixAtEveryLevel) {
  constexpr int kRank[8][8] = {
      {0, 32, 8, 40, 2, 34, 10, 42},  {48, 16, 56, 24, 50, 18, 58, 26},
      {12, 44, 4, 36, 14, 46, 6, 38}, {60, 28, 52, 20, 62, 30, 54, 22},
      {3, 35, 11, 43, 1, 33, 9, 41},  {51, 19, 59, 27, 49, 17, 57, 25},
      {15, 47, 7, 39, 13, 45, 5, 37}, {63, 31, 55, 23, 61, 29, 53, 21},
  };
  PictureFiles files;
  QImage ramp(64 * 8, 8, QImage::Format_Grayscale8);
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < ramp.width(); ++x) ramp.scanLine(y)[x] = static_cast<uchar>(x / 8 * 4 + 2);
  }
  const std::string path = files.Save(ramp, "ramp");
  PictureRaster raster;
  ASSERT_EQ(raster.Make(path.c_str(), {0, TALLYJET_DITHER_ORDERED, TALLYJET_ALIGN_LEFT, 512}), kOk);
  for (int y = 0; y < 8; ++y) {
    const std::string row = Row(raster, y);
    for (int x = 0; x < 512; ++x) {
      const int grey = x / 8 * 4 + 2;
      // A dot is black where the grey (0 to 255) lies below the cell's share of the range.
      const bool black = grey * 64 < (2 * kRank[y][x % 8] + 1) * 128;
      ASSERT_EQ(row[x], black ? '#' : '.') << "grey " << grey << " at " << x % 8 << "," << y;
    }
  }
}

// Threshold splits at mid grey; the ordered matrix turns exactly the cells below the grey's
// level black in every 8 x 8 tile; diffusion keeps the tone of an area; black and white stay
// whole under each; a transparent picture prints as the white paper.
TEST(PictureRasterTest, DithersAsAsked) {
  PictureFiles files;
  const std::string dark = files.Save(Filled(64, 64, qRgb(127, 127, 127)), "dark");
  const std::string light = files.Save(Filled(64, 64, qRgb(128, 128, 128)), "light");
  const std::string quarter = files.Save(Filled(64, 64, qRgb(64, 64, 64)), "quarter");
  const std::string black = files.Save(Filled(64, 64, kBlack), "black");
  QImage clear(64, 64, QImage::Format_ARGB32);
  clear.fill(qRgba(0, 0, 0, 0));
  const std::string transparent = files.Save(clear, "transparent");
  const int all = 64 * 64;
  const struct {
    const std::string& path;
    int dither;
    int low, high;  // the black dots expected, at least and at most
  } cases[] = {
      {dark, TALLYJET_DITHER_THRESHOLD, all, all},
      {light, TALLYJET_DITHER_THRESHOLD, 0, 0},
      {light, TALLYJET_DITHER_ORDERED, all / 2, all / 2},
      {quarter, TALLYJET_DITHER_ORDERED, all * 3 / 4, all * 3 / 4},
      {light, TALLYJET_DITHER_DIFFUSION, all / 2 - 64, all / 2 + 64},
      {quarter, TALLYJET_DITHER_DIFFUSION, all * 3 / 4 - 64, all * 3 / 4 + 64},
      {black, TALLYJET_DITHER_DIFFUSION, all, all},
      {black, TALLYJET_DITHER_ORDERED, all, all},
      {transparent, TALLYJET_DITHER_THRESHOLD, 0, 0},
      {transparent, TALLYJET_DITHER_DIFFUSION, 0, 0},
      {transparent, TALLYJET_DITHER_ORDERED, 0, 0},
  };
  for (const auto& c : cases) {
    PictureRaster raster;
    ASSERT_EQ(raster.Make(c.path.c_str(), {0, c.dither, TALLYJET_ALIGN_LEFT, 64}), kOk);
    const int black = BlackDots(raster);
    EXPECT_GE(black, c.low) << c.path << " dither " << c.dither;
    EXPECT_LE(black, c.high) << c.path << " dither " << c.dither;
  }
  // Mid grey through the matrix: every other dot of its first row, as the first row of the
  // matrix ranks them.
  PictureRaster ordered;
  ASSERT_EQ(ordered.Make(light.c_str(), {0, TALLYJET_DITHER_ORDERED, TALLYJET_ALIGN_LEFT, 64}),
            kOk);
  EXPECT_EQ(Row(ordered, 0).substr(0, 8), ".#.#.#.#");
  // Diffusion spreads the dots: no row of mid grey is one run.
  PictureRaster diffused;
  ASSERT_EQ(diffused.Make(light.c_str(), {0, TALLYJET_DITHER_DIFFUSION, TALLYJET_ALIGN_LEFT, 64}),
            kOk);
  EXPECT_NE(Row(diffused, 10).find(".#"), std::string::npos);
}

// AUTO asks the fill level only where writes do not wait for the printer: on an application's
// own CommBase (the recording transport in comm_), not on an application link. ALWAYS and NEVER
// decide alone. The bands are the same either way.
TEST_F(PicturePathTest, PacingFollowsTheLink) {
  const std::string picture = files_.Save(Filled(16, 2, kBlack), "small");
  const std::string band = Bytes({0x1D, 0x76, 0x30, 0x00, 72, 0x00, 2, 0x00});
  RecordingTransport link;
  tallyjet_printer* printer = OpenOnRecorder(&link);
  const struct {
    tallyjet_printer* printer;
    RecordingTransport* recorder;
    int pacing;
    bool asks;
  } cases[] = {
      {nullptr, transport, TALLYJET_PACING_AUTO, true},
      {nullptr, transport, TALLYJET_PACING_NEVER, false},
      {printer, &link, TALLYJET_PACING_AUTO, false},
      {printer, &link, TALLYJET_PACING_ALWAYS, true},
  };
  for (const auto& c : cases) {
    c.recorder->writes.clear();
    if (c.asks) c.recorder->Answer(Bytes({0}));
    const tallyjet_picture_options options = {0, 0, 0, 0, c.pacing};
    EXPECT_EQ(tallyjet_print_picture(c.printer, picture.c_str(), &options), kOk) << c.pacing;
    ASSERT_EQ(c.recorder->writes.size(), c.asks ? 2u : 1u) << c.pacing;
    EXPECT_EQ(c.recorder->writes.front() == kFillQuery, c.asks) << c.pacing;
    const std::string& sent = c.recorder->writes.back();
    EXPECT_EQ(sent.substr(0, 8), band);
    EXPECT_EQ(sent.substr(8), Bytes({0xFF, 0xFF}) + std::string(70, '\0') + Bytes({0xFF, 0xFF}) +
                                  std::string(70, '\0'));
  }
  EXPECT_EQ(tallyjet_close(printer), kOk);
}

}  // namespace
