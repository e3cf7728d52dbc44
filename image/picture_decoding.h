// Reading a picture file the way every picture path of the library does: only a regular file,
// its size checked against the picture limits from the header before a pixel is decoded, broken
// files refused quietly, and transparent parts laid on white paper.
#ifndef TALLYJET_PICTURE_DECODING_H
#define TALLYJET_PICTURE_DECODING_H

#include <QImage>
#include <QSize>

// Whether a picture of this size may be decoded and printed: at least 1 x 1, at most
// TALLYJET_MAX_PICTURE_WIDTH wide and TALLYJET_MAX_PICTURE_PIXELS in all.
bool WithinPictureLimits(const QSize& size);

// The picture in path as it would look on white paper (opaque, in its own colours), or a null
// image for a null path, a file that is missing, not a regular file, no picture, broken, or
// beyond the limits. Prints nothing.
QImage DecodeOnWhite(const char* path);

// The same for an encoded picture of length bytes in memory: a null image for null data, a
// length below 1, no picture, a broken one, or one beyond the limits.
QImage DecodeOnWhite(const void* data, int length);

#endif  // TALLYJET_PICTURE_DECODING_H
