#include "image_manager.h"

#include <QSize>
#include <cmath>
#include <climits>
#include <cstdlib>

#include "heap_buffer.h"
#include "picture_decoding.h"

namespace {

constexpr Qt::ImageConversionFlags kToMono = Qt::ColorOnly | Qt::ThresholdDither;

// The size of the raster bit image of a picture pixelsWide x rows: its bytes per row and its
// bytes; false when the size, or the row length in dots, does not fit an int.
bool RasterSize(int pixelsWide, int rows, int* bytesPerRow, int* size) {
  *bytesPerRow = pixelsWide / 8 + (pixelsWide % 8 != 0);
  int dots;
  return MultiplySize(*bytesPerRow, 8, &dots) && MultiplySize(*bytesPerRow, rows, size);
}

// size x factor in double precision, truncated toward zero; 0 when the product is NaN or does
// not fit an int, so that it counts as an empty size.
int ScaledDimension(int size, float factor) {
  const double product = std::trunc(static_cast<double>(size) * static_cast<double>(factor));
  if (!(product >= INT_MIN && product <= INT_MAX)) return 0;  // NaN fails both comparisons
  return static_cast<int>(product);
}

// Whether a colour index of the mono picture prints: its colour has no red, green or blue. An
// index beyond the colour table reads as colour 0, black, as QImage::pixel answers it.
bool IsBlack(const QImage& mono, int index) {
  return index >= mono.colorCount() || (mono.color(index) & 0xFFFFFF) == 0;
}

// Copies each scan line of the mono picture (bit 7 leftmost, one colour index per bit, the same
// order as the raster) into its raster row, mapping each index to black or white through the
// colour table, and clears the bits past the picture's right edge.
void PackRows(const QImage& mono, int bytesPerRow, unsigned char* raster) {
  const unsigned char indexOne = IsBlack(mono, 1) ? 0xFF : 0x00;
  const unsigned char indexZero = IsBlack(mono, 0) ? 0xFF : 0x00;
  const int paddingBits = bytesPerRow * 8 - mono.width();
  const unsigned char lastByteMask = static_cast<unsigned char>(0xFF << paddingBits);
  for (int y = 0; y < mono.height(); ++y) {
    const uchar* line = mono.constScanLine(y);
    unsigned char* row = raster + static_cast<size_t>(y) * static_cast<size_t>(bytesPerRow);
    for (int i = 0; i < bytesPerRow; ++i) {
      row[i] = static_cast<unsigned char>((line[i] & indexOne) | (~line[i] & indexZero));
    }
    row[bytesPerRow - 1] &= lastByteMask;
  }
}

}  // namespace

ImageManager::ImageManager() : width(0), height(0) {}

ImageManager::~ImageManager() = default;

int ImageManager::LoadImageFile(const char* path) {
  const QImage loaded = DecodeOnWhite(path);
  if (loaded.isNull()) return TALLYJET_ERR_FAILED;
  image = loaded.convertToFormat(QImage::Format_Mono, kToMono);
  if (image.isNull()) return TALLYJET_ERR_FAILED;
  width = image.width();
  height = image.height();
  return TALLYJET_SUCCESS;
}

int ImageManager::SetScale(float widthFactor, float heightFactor) {
  width = ScaledDimension(width, widthFactor);
  height = ScaledDimension(height, heightFactor);
  if (image.isNull() || !WithinPictureLimits(QSize(width, height))) return TALLYJET_ERR_FAILED;
  image = image.scaled(QSize(width, height), Qt::IgnoreAspectRatio, Qt::FastTransformation);
  return image.isNull() ? TALLYJET_ERR_FAILED : TALLYJET_SUCCESS;
}

int ImageManager::SetRotation(int) { return TALLYJET_SUCCESS; }

int ImageManager::SetRotation90(int) { return TALLYJET_SUCCESS; }

int ImageManager::SetHalfTone(int) { return TALLYJET_SUCCESS; }

int ImageManager::GetRasterBitImage(unsigned char** out) {
  int bytesPerRow;
  int size;
  if (!RasterSize(image.width(), image.height(), &bytesPerRow, &size)) return 0;
  width = bytesPerRow * 8;
  height = image.height();
  // LoadImageFile and SetScale leave a mono picture; anything else (no picture) has no raster.
  if (size == 0 || image.format() != QImage::Format_Mono) return 0;
  auto* raster = static_cast<unsigned char*>(calloc(static_cast<size_t>(size), 1));
  if (raster == nullptr) return 0;
  PackRows(image, bytesPerRow, raster);
  *out = raster;
  return size;
}
