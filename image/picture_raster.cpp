#include "picture_raster.h"

#include <QImage>
#include <algorithm>
#include <cstdint>

#include "escpos_command.h"
#include "heap_buffer.h"
#include "picture_decoding.h"
#include "tallyjet.h"

namespace {

constexpr int kMidGrey = 128;
constexpr int kWhite = 255;

// The 8 x 8 ordered-dither matrix: each cell's rank 0 to 63 in the order dots turn black as
// the grey darkens, spread so that any level makes an even pattern.
constexpr unsigned char kBayer[8][8] = {
    {0, 32, 8, 40, 2, 34, 10, 42},  {48, 16, 56, 24, 50, 18, 58, 26},
    {12, 44, 4, 36, 14, 46, 6, 38}, {60, 28, 52, 20, 62, 30, 54, 22},
    {3, 35, 11, 43, 1, 33, 9, 41},  {51, 19, 59, 27, 49, 17, 57, 25},
    {15, 47, 7, 39, 13, 45, 5, 37}, {63, 31, 55, 23, 61, 29, 53, 21},
};

bool LayoutAccepted(const PictureLayout& layout) {
  using escpos::InRange;
  return InRange(layout.dither, TALLYJET_DITHER_THRESHOLD, TALLYJET_DITHER_ORDERED) &&
         InRange(layout.align, TALLYJET_ALIGN_LEFT, TALLYJET_ALIGN_RIGHT) &&
         InRange(layout.paperWidth, 1, TALLYJET_MAX_PICTURE_WIDTH) &&
         InRange(layout.width, 0, layout.paperWidth);
}

// The size the picture is printed at: the width asked for (its own, no wider than the paper,
// for 0) and the height that keeps its proportions, at least one row.
QSize FittedSize(const QSize& own, const PictureLayout& layout) {
  const int width = layout.width != 0 ? layout.width : std::min(own.width(), layout.paperWidth);
  const int64_t height = (int64_t{own.height()} * width + own.width() / 2) / own.width();
  return QSize(width, static_cast<int>(std::clamp<int64_t>(height, 1, INT32_MAX)));
}

// The picture in 8-bit grey at its printed size, or a null image.
QImage FittedGrey(const QImage& picture, const QSize& size) {
  QImage grey = picture.convertToFormat(QImage::Format_Grayscale8);
  if (grey.isNull() || grey.size() == size) return grey;
  return grey.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
      .convertToFormat(QImage::Format_Grayscale8);
}

// The first dot of the picture within the paper.
int LeftOffset(int pictureWidth, const PictureLayout& layout) {
  const int spare = layout.paperWidth - pictureWidth;
  if (layout.align == TALLYJET_ALIGN_CENTER) return spare / 2;
  return layout.align == TALLYJET_ALIGN_RIGHT ? spare : 0;
}

void SetBlack(unsigned char* row, int x) { row[x / 8] |= static_cast<unsigned char>(0x80 >> x % 8); }

void Threshold(const QImage& grey, int left, int bytesPerRow, unsigned char* bits) {
  for (int y = 0; y < grey.height(); ++y) {
    const uchar* line = grey.constScanLine(y);
    unsigned char* row = bits + static_cast<size_t>(y) * bytesPerRow;
    for (int x = 0; x < grey.width(); ++x) {
      if (line[x] < kMidGrey) SetBlack(row, left + x);
    }
  }
}

void Ordered(const QImage& grey, int left, int bytesPerRow, unsigned char* bits) {
  for (int y = 0; y < grey.height(); ++y) {
    const uchar* line = grey.constScanLine(y);
    unsigned char* row = bits + static_cast<size_t>(y) * bytesPerRow;
    for (int x = 0; x < grey.width(); ++x) {
      // Black when the grey lies below the cell's level, (rank + 1/2) / 64 of white.
      if (line[x] * 64 < (2 * kBayer[y % 8][x % 8] + 1) * kMidGrey) SetBlack(row, left + x);
    }
  }
}

// Floyd-Steinberg: each dot's error (its grey against the black or white it became) goes on to
// its neighbours not yet decided, 7/16 right, 3/16 below left, 5/16 below, 1/16 below right.
// Errors are carried in sixteenths; -6 when no room for two rows of them is to be had.
int Diffuse(const QImage& grey, int left, int bytesPerRow, unsigned char* bits) {
  const size_t span = static_cast<size_t>(grey.width()) + 2;  // a spare cell at either end
  std::unique_ptr<int, decltype(&free)> errors(static_cast<int*>(calloc(2 * span, sizeof(int))),
                                               &free);
  if (errors == nullptr) return TALLYJET_ERR_NO_MEMORY;
  int* here = errors.get();
  int* below = here + span;
  for (int y = 0; y < grey.height(); ++y) {
    const uchar* line = grey.constScanLine(y);
    unsigned char* row = bits + static_cast<size_t>(y) * bytesPerRow;
    for (int x = 0; x < grey.width(); ++x) {
      const int value = line[x] + here[x + 1] / 16;
      const bool black = value < kMidGrey;
      if (black) SetBlack(row, left + x);
      const int error = value - (black ? 0 : kWhite);
      here[x + 2] += error * 7;
      below[x] += error * 3;
      below[x + 1] += error * 5;
      below[x + 2] += error;
    }
    std::swap(here, below);
    std::fill(below, below + span, 0);
  }
  return TALLYJET_SUCCESS;
}

}  // namespace

int PictureRaster::Make(const char* path, const PictureLayout& layout) {
  if (!LayoutAccepted(layout)) return TALLYJET_ERR_INVALID_ARGUMENT;
  return MakeFrom(DecodeOnWhite(path), layout);
}

int PictureRaster::Make(const void* data, int length, const PictureLayout& layout) {
  if (!LayoutAccepted(layout)) return TALLYJET_ERR_INVALID_ARGUMENT;
  return MakeFrom(DecodeOnWhite(data, length), layout);
}

int PictureRaster::MakeFrom(const QImage& picture, const PictureLayout& layout) {
  if (picture.isNull()) return TALLYJET_ERR_FAILED;
  const QSize size = FittedSize(picture.size(), layout);
  if (!WithinPictureLimits(size)) return TALLYJET_ERR_FAILED;
  const QImage grey = FittedGrey(picture, size);
  if (grey.isNull()) return TALLYJET_ERR_NO_MEMORY;

  const int bytesPerRow = (layout.paperWidth + 7) / 8;
  int total;
  if (!MultiplySize(bytesPerRow, size.height(), &total)) return TALLYJET_ERR_FAILED;
  bits_.reset(static_cast<unsigned char*>(calloc(static_cast<size_t>(total), 1)));
  if (bits_ == nullptr) return TALLYJET_ERR_NO_MEMORY;
  bytesPerRow_ = bytesPerRow;
  height_ = size.height();

  const int left = LeftOffset(size.width(), layout);
  switch (layout.dither) {
    case TALLYJET_DITHER_DIFFUSION: return Diffuse(grey, left, bytesPerRow, bits_.get());
    case TALLYJET_DITHER_ORDERED: Ordered(grey, left, bytesPerRow, bits_.get()); break;
    default: Threshold(grey, left, bytesPerRow, bits_.get()); break;
  }
  return TALLYJET_SUCCESS;
}
