// Picture files to raster bit images: the layout of rows, bytes and bits, agreement with the
// per-pixel rule on coloured, grey and transparent pictures, scaling, and refused files.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <QBuffer>
#include <QFile>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>

#include "image_manager.h"
#include "image_per_pixel.h"
#include "picture_decoding.h"
#include "picture_files.h"
#include "recording_transport.h"

namespace {

class ImageManagerTest : public ::testing::Test {
 protected:
  static std::string Raster(ImageManager* manager) {
    unsigned char* bytes = nullptr;
    const int size = manager->GetRasterBitImage(&bytes);
    if (size == 0) return "";
    std::string raster(reinterpret_cast<char*>(bytes), static_cast<size_t>(size));
    free(bytes);
    return raster;
  }

  PictureFiles files_;
};

// A one-row picture of these pixels, with an alpha channel.
QImage Pixels(std::initializer_list<QRgb> pixels) {
  QImage picture(static_cast<int>(pixels.size()), 1, QImage::Format_ARGB32);
  int x = 0;
  for (QRgb pixel : pixels) picture.setPixel(x++, 0, pixel);
  return picture;
}

// Random colours and alpha at every pixel: what the per-pixel rule makes of the reduced
// picture, the scan-line packing must make too, whatever the width's remainder.
QImage Noise(int width, int height, QImage::Format format, unsigned seed) {
  std::mt19937 random(seed);
  QImage picture(width, height, format);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) picture.setPixel(x, y, static_cast<QRgb>(random()));
  }
  return picture;
}

// A one-bit picture with its own colour table, which the file keeps: index 0 may be the black.
QImage Palette(int width, QRgb zero, QRgb one) {
  QImage picture = Noise(width, 3, QImage::Format_RGB32, 7)
                       .convertToFormat(QImage::Format_Mono, Qt::ThresholdDither);
  picture.setColorTable({zero, one});
  return picture;
}

// Grey prints black up to a threshold, and a logo on a transparent background must not print
// as a black block: each pixel prints as it looks on white paper (the rows with their bytes).
TEST_F(ImageManagerTest, ScanLinesGiveTheBytesOfThePerPixelRule) {
  struct Case {
    const char* name;
    QImage picture;
    std::string raster;  // empty: what the per-pixel rule makes of the reduced picture
  };
  const Case cases[] = {
      {"greys", Pixels({kBlack, qRgb(60, 60, 60), qRgb(200, 200, 200), kWhite}), Bytes({0xC0})},
      {"logo", Pixels({qRgba(0, 0, 0, 0), qRgba(0, 0, 0, 100), qRgba(0, 0, 0, 200), kBlack}),
       Bytes({0x30})},
      {"colour_1", Noise(1, 5, QImage::Format_RGB32, 1), ""},
      {"colour_9", Noise(9, 5, QImage::Format_RGB32, 3), ""},
      {"colour_576", Noise(576, 40, QImage::Format_RGB32, 4), ""},
      {"alpha_61", Noise(61, 30, QImage::Format_ARGB32, 5), ""},
      {"grey_100", Noise(100, 4, QImage::Format_Grayscale8, 6), ""},
      {"palette_black_first", Palette(19, kBlack, kWhite), ""},
      {"palette_no_black", Palette(19, qRgb(255, 0, 0), qRgb(0, 0, 1)), ""},
      {"palette_all_black", Palette(19, qRgba(0, 0, 0, 0), kBlack), ""},
  };
  for (const Case& c : cases) {
    ImageManager manager;
    ASSERT_EQ(manager.LoadImageFile(files_.Save(c.picture, c.name).c_str()), TALLYJET_SUCCESS)
        << c.name;
    EXPECT_EQ(Raster(&manager), c.raster.empty() ? PerPixelRaster(manager.image) : c.raster)
        << c.name;
  }
}

TEST_F(ImageManagerTest, ScaleTruncatesEachProductAndRefusesEmptyOrHugeSizes) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  struct Case {
    int width, height;
    float widthFactor, heightFactor;
    int result, newWidth, newHeight;
  };
  const Case cases[] = {
      {101, 51, 0.5f, 0.5f, TALLYJET_SUCCESS, 50, 25},
      {100, 10, 1.0f, 2.0f, TALLYJET_SUCCESS, 100, 20},
      {3, 1, 0.1f, 1.0f, TALLYJET_ERR_FAILED, 0, 1},
      {3, 4, nan, 1.0f, TALLYJET_ERR_FAILED, 0, 4},
      {3, 4, 1.0f, 1e10f, TALLYJET_ERR_FAILED, 3, 0},
      // 250 million bytes per row times 10 rows does not fit a raster: refused, not allocated.
      {1, 1, 2e9f, 10.0f, TALLYJET_ERR_FAILED, 2000000000, 10},
      // Beyond the picture limits: 16 810 000 pixels, or 65 536 dots wide.
      {100, 100, 41.0f, 41.0f, TALLYJET_ERR_FAILED, 4100, 4100},
      {1, 1, 65536.0f, 1.0f, TALLYJET_ERR_FAILED, 65536, 1},
  };
  for (const Case& c : cases) {
    const std::string label = std::to_string(c.width) + "x" + std::to_string(c.height) + " by " +
                              std::to_string(c.widthFactor) + "," + std::to_string(c.heightFactor);
    ImageManager manager;
    ASSERT_EQ(manager.LoadImageFile(files_.Save(Filled(c.width, c.height, kBlack), "scaled").c_str()),
              TALLYJET_SUCCESS);
    EXPECT_EQ(manager.SetScale(c.widthFactor, c.heightFactor), c.result) << label;
    EXPECT_EQ(manager.width, c.newWidth) << label;
    EXPECT_EQ(manager.height, c.newHeight) << label;
    if (c.result == TALLYJET_SUCCESS) {
      EXPECT_EQ(manager.image.size(), QSize(c.newWidth, c.newHeight)) << label;
    }
  }
}

TEST_F(ImageManagerTest, DoubledHeightRepeatsEachRowWithoutSmoothing) {
  QImage stripes = Filled(8, 2, kWhite);  // a black top row over a white one
  for (int x = 0; x < 8; ++x) stripes.setPixel(x, 0, kBlack);
  ImageManager manager;
  ASSERT_EQ(manager.LoadImageFile(files_.Save(stripes, "stripes").c_str()), TALLYJET_SUCCESS);
  ASSERT_EQ(manager.SetScale(0.5f, 2.0f), TALLYJET_SUCCESS);
  EXPECT_EQ(Raster(&manager), Bytes({0xF0, 0xF0, 0x00, 0x00}));
}

// A small file may describe a huge picture: the size in its header decides, before decoding.
TEST_F(ImageManagerTest, PictureBeyondTheLimitsIsRefused) {
  const int rows = TALLYJET_MAX_PICTURE_PIXELS / 4096;
  struct Case {
    QSize size;
    int result;
  };
  const Case cases[] = {
      {{TALLYJET_MAX_PICTURE_WIDTH, 1}, TALLYJET_SUCCESS},
      {{TALLYJET_MAX_PICTURE_WIDTH + 1, 1}, TALLYJET_ERR_FAILED},
      {{4096, rows}, TALLYJET_SUCCESS},
      {{4096, rows + 1}, TALLYJET_ERR_FAILED},
  };
  for (const Case& c : cases) {
    QImage picture(c.size, QImage::Format_Mono);
    picture.fill(0);
    EXPECT_EQ(ImageManager().LoadImageFile(files_.Save(picture, "large").c_str()), c.result)
        << c.size.width() << "x" << c.size.height();
  }
}

// A GIF of one frame of width x height pixels at left, on a logical screen of screenWidth x
// screenHeight: two colours, every pixel of the first.
QByteArray Gif(int screenWidth, int screenHeight, int left, int width, int height) {
  const auto word = [](int value) {
    const char bytes[] = {static_cast<char>(value & 0xFF), static_cast<char>(value >> 8)};
    return QByteArray(bytes, 2);
  };
  return "GIF89a" + word(screenWidth) + word(screenHeight) +
         QByteArray("\x80\0\0\xFF\xFF\xFF\0\0\0,", 10) + word(left) + word(0) + word(width) +
         word(height) + QByteArray("\0\x02\x02\x44\x01\0;", 7);
}

// Qt reports the size of a GIF's first frame, but may decode it onto the whole logical screen:
// a 40-byte file whose screen is 6912 x 32769 took 2 GB.
TEST_F(ImageManagerTest, GifOnAScreenBeyondTheLimitsIsRefused) {
  const struct {
    QByteArray gif;
    int result;
  } cases[] = {
      {Gif(16, 16, 0, 1, 1), TALLYJET_SUCCESS},
      {Gif(4096, TALLYJET_MAX_PICTURE_PIXELS / 4096, 0, 1, 1), TALLYJET_SUCCESS},
      {Gif(0, 32769, 6656, 256, 256), TALLYJET_ERR_FAILED},
      {Gif(4096, TALLYJET_MAX_PICTURE_PIXELS / 4096 + 1, 0, 1, 1), TALLYJET_ERR_FAILED},
  };
  for (const auto& c : cases) {
    QFile file(files_.Path("screen.gif"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(c.gif);
    file.close();
    EXPECT_EQ(ImageManager().LoadImageFile(file.fileName().toStdString().c_str()), c.result)
        << c.gif.toHex().toStdString();
    const bool refused = DecodeOnWhite(c.gif.constData(), c.gif.size()).isNull();
    EXPECT_EQ(refused, c.result != TALLYJET_SUCCESS) << c.gif.toHex().toStdString();
  }
}

int applicationMessages = 0;
void CountApplicationMessage(QtMsgType, const QMessageLogContext&, const QString&) {
  ++applicationMessages;
}

// The library refuses a PNG or a JPEG cut short (the image library would fill the rest of a
// JPEG grey), and prints nothing, not even the image library's complaints (libpng's own, Qt's
// for the JPEG); the application's message handler is back afterwards.
TEST_F(ImageManagerTest, BrokenPictureIsRefusedQuietly) {
  for (const char* format : {"png", "jpg"}) {
    QBuffer whole;
    ASSERT_TRUE(Noise(64, 64, QImage::Format_RGB32, 9).save(&whole, format));
    QFile broken(files_.Path(QString("broken.") + format));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write(whole.data().left(whole.data().size() / 2));
    broken.close();
    testing::internal::CaptureStderr();
    EXPECT_EQ(ImageManager().LoadImageFile(broken.fileName().toStdString().c_str()),
              TALLYJET_ERR_FAILED)
        << format;
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << format;
    qInstallMessageHandler(CountApplicationMessage);
    ImageManager().LoadImageFile(broken.fileName().toStdString().c_str());
    EXPECT_EQ(qInstallMessageHandler(nullptr), CountApplicationMessage) << format;
  }
  EXPECT_EQ(applicationMessages, 0);
}

TEST_F(ImageManagerTest, FilesThatAreNoPictureAreRefusedWithoutHanging) {
  const QString text = files_.Path("notes.png");
  QFile file(text);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("not a picture\n");
  file.close();
  const std::string textPath = text.toStdString();
  const std::string missing = files_.Missing();
  // A FIFO would block in open and /dev/zero never ends: neither reaches the image library.
  const std::string fifo = files_.Path("fifo.png").toStdString();
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  for (const char* path : {static_cast<const char*>(nullptr), "", missing.c_str(),
                           textPath.c_str(), fifo.c_str(), "/dev/zero"}) {
    ImageManager manager;
    EXPECT_EQ(manager.LoadImageFile(path), TALLYJET_ERR_FAILED) << (path ? path : "null");
    EXPECT_EQ(manager.width, 0);
    EXPECT_EQ(manager.height, 0);
  }
}

}  // namespace
