// The graphics functions of GS ( L and GS 8 L, which share one block layout after their byte
// count (m fn ...): graphics stored in NV memory (functions 65 to 69) and in RAM (81 to 85),
// and the graphic in the print buffer (112 and 113, printed by 50).
#ifndef VPRINTER_GRAPHICS_FUNCTIONS_H
#define VPRINTER_GRAPHICS_FUNCTIONS_H

#include <string>

#include "printer_settings.h"

namespace vprinter {

// The function number of a block: its second byte.
inline int GraphicsFunction(const std::string& block) {
  return block.size() >= 2 ? static_cast<unsigned char>(block[1]) : -1;
}

// Column data (each column (height + 7) / 8 bytes, top dot in bit 7 of its first byte) as rows
// of (width + 7) / 8 bytes, bit 7 leftmost.
std::string ColumnsToRows(const std::string& columns, int width, int height);

// Applies the block; nvCapacity bounds what NV memory holds. Returns a note for the log when the
// function could not take effect (no room, no such graphic), else empty.
std::string ApplyGraphicsFunction(const std::string& block, int nvCapacity,
                                  PrinterSettings* settings);

// The graphic that a print function (50, 69, 85) of the block prints, with its scale; null when
// the block prints nothing or names no stored graphic.
const NvGraphic* GraphicToPrint(const std::string& block, const PrinterSettings& settings,
                                int* xScale, int* yScale);

}  // namespace vprinter

#endif  // VPRINTER_GRAPHICS_FUNCTIONS_H
