// A line of text drawn as the printer would print it if its font held every character: with
// Pango, Cairo and fontconfig, shaped and ordered (right to left where the script reads so), in
// the printer's character cell size, across the paper's width, as a one-bit raster.
#ifndef TALLYJET_TEXT_LINE_PICTURE_H
#define TALLYJET_TEXT_LINE_PICTURE_H

#include <string>
#include <vector>

#include "tallyjet.h"

namespace text {

struct LineStyle {
  int paperWidth = TALLYJET_PAPER_WIDTH_80MM;  // dots across the print head
  int cellHeight = 24;    // the printer font's cell: 24 dots for font A, 17 for font B
  int widthMultiple = 1;  // character size multiples, 1 or 2
  int heightMultiple = 1;
  bool bold = false;
  bool underline = false;
  int align = 0;  // 0 left (right for a line that reads right to left), 1 centre, 2 right
};

struct LinePicture {
  int width = 0;   // dots, a multiple of 8
  int height = 0;  // dots
  // width / 8 bytes per row, top row first, bit 7 the leftmost dot, 1 for black.
  std::vector<unsigned char> rows;
};

// Draws utf8 (one line; a longer one wraps at the paper's width like printed text). False when
// the picture cannot be made.
bool DrawLine(const std::string& utf8, const LineStyle& style, LinePicture* picture);

}  // namespace text

#endif  // TALLYJET_TEXT_LINE_PICTURE_H
