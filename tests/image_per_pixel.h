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

#endif  // TALLYJET_TESTS_IMAGE_PER_PIXEL_H
