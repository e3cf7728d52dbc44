// One picture file made ready for the printer: decoded on white, fitted to a width keeping its
// proportions, reduced to black and white (threshold, Floyd-Steinberg error diffusion or an 8 x 8
// Bayer matrix) and placed within the paper, as the raster bit image GS v 0 takes: rows from the
// top, bit 7 the leftmost dot, 1 = black, each row the paper's width rounded up to whole bytes.
#ifndef TALLYJET_PICTURE_RASTER_H
#define TALLYJET_PICTURE_RASTER_H

#include <QImage>
#include <cstdlib>
#include <memory>

struct PictureLayout {
  int width;       // dots to fit the picture to; 0: its own width, or the paper's when wider
  int dither;      // TALLYJET_DITHER_*
  int align;       // TALLYJET_ALIGN_*
  int paperWidth;  // dots
};

class PictureRaster {
 public:
  // 1 made; -3 a layout value out of range (a width beyond the paper included); -1 for a file
  // the library refuses (as PrintBmpImage refuses it, before decoding where the size tells) or a
  // fitted size beyond the picture limits; -6 without memory.
  int Make(const char* path, const PictureLayout& layout);
  // The same for an encoded picture of length bytes in memory.
  int Make(const void* data, int length, const PictureLayout& layout);

  const unsigned char* data() const { return bits_.get(); }
  int width() const { return bytesPerRow_ * 8; }
  int height() const { return height_; }

 private:
  int MakeFrom(const QImage& picture, const PictureLayout& layout);

  std::unique_ptr<unsigned char, decltype(&free)> bits_{nullptr, &free};
  int bytesPerRow_ = 0;
  int height_ = 0;
};

#endif  // TALLYJET_PICTURE_RASTER_H
