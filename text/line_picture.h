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
  // Dots of picture per line: 0 for the printer's default line spacing for the cell (the text's
  // height when taller), else exactly this, the text centred in it.
  int lineHeight = 0;
};

struct LinePicture {
  int width = 0;   // dots, a multiple of 8
  int height = 0;  // dots
  // width / 8 bytes per row, top row first, bit 7 the leftmost dot, 1 for black.
  std::vector<unsigned char> rows;
};

// The look of a piece of a row.
struct RunStyle {
  bool bold = false;
  bool underline = false;
  bool invert = false;  // white on black
  int widthMultiple = 1;
  int heightMultiple = 1;
};

// Text on a row at x dots from the paper's left edge, taking width dots.
struct RowPiece {
  int x = 0;
  int width = 0;
  std::string utf8;
  RunStyle style;
};

// Draws a row of pieces in font A, each at its place, their bottoms on one line, as high as
// rows printed without line spacing (24 dots a line). False when the picture cannot be made.
bool DrawRow(const std::vector<RowPiece>& pieces, int paperWidth, LinePicture* picture);

// Draws utf8 (one line; a longer one wraps at the paper's width like printed text). False when
// the picture cannot be made.
bool DrawLine(const std::string& utf8, const LineStyle& style, LinePicture* picture);

}  // namespace text

#endif  // TALLYJET_TEXT_LINE_PICTURE_H
