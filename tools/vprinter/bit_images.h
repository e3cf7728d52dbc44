// The pictures that arrive as dot data, one bit a dot, as images to print dot for dot.
#ifndef VPRINTER_BIT_IMAGES_H
#define VPRINTER_BIT_IMAGES_H

#include <QImage>

#include "printer_settings.h"

namespace vprinter {

// A GS v 0 band, doubled in width or height as its mode asks.
QImage RasterPicture(const RasterImage& band);
// An ESC * image: 24 dots high, the 8-dot modes each dot three times over; the single-density
// modes print each column twice.
QImage ColumnPicture(const ColumnImage& image);
// A stored NV graphic's first colour, at the print command's scale (1 or 2 each way).
QImage NvPicture(const NvGraphic& graphic, int xScale, int yScale);

}  // namespace vprinter

#endif  // VPRINTER_BIT_IMAGES_H
