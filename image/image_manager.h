// A picture file turned into a raster bit image: one bit per pixel, rows from the top, each row
// ceil(width / 8) bytes with no gap between rows, bit 7 the leftmost pixel, 1 = black, the
// padding bits of a row's last byte 0. One object serves one picture.
#ifndef TALLYJET_IMAGE_MANAGER_H
#define TALLYJET_IMAGE_MANAGER_H

#include <QImage>

#include "tallyjet.h"

class TALLYJET_API ImageManager {
 public:
  ImageManager();
  ~ImageManager();

  // Loads the file (the decoder is chosen from its contents), lays it on white and reduces it to
  // black and white by threshold. 1 loaded; -1 for a null path, a file that is missing, not a
  // regular file or no picture, or a picture beyond TALLYJET_MAX_PICTURE_PIXELS or
  // TALLYJET_MAX_PICTURE_WIDTH (refused before it is decoded). Prints nothing.
  int LoadImageFile(const char* path);
  // Resizes the picture to width x widthFactor by height x heightFactor, each truncated, without
  // smoothing. -1 when a new size is below 1, NaN, or beyond the picture limits; width and height
  // hold the new size (0 for one that could not be formed) even then.
  int SetScale(float widthFactor, float heightFactor);
  // Rotation and half-tone are not offered: each answers 1 and changes nothing.
  int SetRotation(int rotation);
  int SetRotation90(int rotation);
  int SetHalfTone(int halftone);
  // Stores through out a malloc'ed raster bit image of the picture, which the caller frees, and
  // answers its size in bytes; 0 (nothing stored) when there is no picture or no memory. Sets
  // height to the rows and width to the bytes per row times 8.
  int GetRasterBitImage(unsigned char** out);

  int width;
  int height;
  QImage image;  // Format_Mono once loaded
};

#endif  // TALLYJET_IMAGE_MANAGER_H
