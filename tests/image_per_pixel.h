// The raster bit image of a picture by the plain rule, pixel by pixel: a pixel whose red, green
// and blue are all 0 is black. The reference that the library's scan-line packing must match,
// shared by the tests and the benchmark.
#ifndef TALLYJET_TESTS_IMAGE_PER_PIXEL_H
#define TALLYJET_TESTS_IMAGE_PER_PIXEL_H

#include <QImage>
#include <string>

inline std::string PerPixelRaster(const QImage& picture) {
  const int bytesPerRow = (picture.width() + 7) / 8;
  std::string raster(static_cast<size_t>(bytesPerRow) * picture.height(), '\0');
  for (int y = 0; y < picture.height(); ++y) {
    for (int x = 0; x < picture.width(); ++x) {
      if ((picture.pixel(x, y) & 0xFFFFFF) == 0) {
        raster[static_cast<size_t>(y) * bytesPerRow + x / 8] |= static_cast<char>(0x80 >> (x % 8));
      }
    }
  }
  return raster;
}

// A picture whose every row differs, so that a lost, repeated or reordered row shows: the row
// number in binary in the first twelve dots, then diagonals.
inline QImage DistinctRows(int width, int height) {
  QImage picture(width, height, QImage::Format_RGB32);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const bool black = x < 12 ? ((y >> x) & 1) != 0 : (x * 7 + y * 13) % 17 < 5;
      picture.setPixel(x, y, black ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
    }
  }
  return picture;
}

#endif  // TALLYJET_TESTS_IMAGE_PER_PIXEL_H
