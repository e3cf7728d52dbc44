#include "bit_images.h"

#include <algorithm>
#include <cstring>

namespace vprinter {
namespace {

// Rows of bytesPerRow bytes, bit 7 leftmost, 1 black; rows missing from data stay white.
QImage FromRows(const std::string& data, int bytesPerRow, int widthDots, int rows) {
  if (bytesPerRow <= 0 || widthDots <= 0 || rows <= 0) return QImage();
  QImage image(widthDots, rows, QImage::Format_Mono);
  image.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
  image.fill(0);
  const int usable = std::min(bytesPerRow, (widthDots + 7) / 8);
  for (int row = 0; row < rows; ++row) {
    const size_t at = static_cast<size_t>(row) * bytesPerRow;
    if (at >= data.size()) break;
    memcpy(image.scanLine(row), data.data() + at, std::min<size_t>(usable, data.size() - at));
  }
  return image.convertToFormat(QImage::Format_RGB32);
}

QImage Scaled(const QImage& image, int xScale, int yScale) {
  if (image.isNull() || (xScale == 1 && yScale == 1)) return image;
  return image.scaled(image.width() * xScale, image.height() * yScale, Qt::IgnoreAspectRatio,
                      Qt::FastTransformation);
}

}  // namespace

QImage RasterPicture(const RasterImage& band) {
  const QImage dots = FromRows(band.data, band.bytesPerRow, band.bytesPerRow * 8, band.rows);
  return Scaled(dots, (band.mode & 1) != 0 ? 2 : 1, (band.mode & 2) != 0 ? 2 : 1);
}

// Each column is one byte (8 dots) or three (24 dots), the top dot in bit 7 of its first byte.
// The 8-dot modes have a third of the vertical density: each dot prints three dots high.
QImage ColumnPicture(const ColumnImage& image) {
  const int bytesPerColumn = image.mode >= 32 ? 3 : 1;
  if (image.columns <= 0) return QImage();
  QImage dots(image.columns, 8 * bytesPerColumn, QImage::Format_RGB32);
  dots.fill(Qt::white);
  for (int x = 0; x < image.columns; ++x) {
    for (int y = 0; y < dots.height(); ++y) {
      const size_t at = static_cast<size_t>(x) * bytesPerColumn + y / 8;
      if (at < image.data.size() && (image.data[at] & (0x80 >> (y % 8))) != 0) {
        dots.setPixel(x, y, qRgb(0, 0, 0));
      }
    }
  }
  const bool singleDensity = image.mode == 0 || image.mode == 32;
  return Scaled(dots, singleDensity ? 2 : 1, bytesPerColumn == 1 ? 3 : 1);
}

QImage NvPicture(const NvGraphic& graphic, int xScale, int yScale) {
  const QImage dots =
      FromRows(graphic.raster, (graphic.width + 7) / 8, graphic.width, graphic.height);
  return Scaled(dots, std::clamp(xScale, 1, 2), std::clamp(yScale, 1, 2));
}

}  // namespace vprinter
