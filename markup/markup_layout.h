// Markup lines laid out in the printer's character columns: column widths shared out, text
// wrapped within its column and aligned in it, and the rules drawn with box-drawing characters
// (a horizontal rule, and the frame and bars of ruled columns).
#ifndef TALLYJET_MARKUP_LAYOUT_H
#define TALLYJET_MARKUP_LAYOUT_H

#include <string>
#include <vector>

#include "markup_document.h"

namespace markup {

struct Decoration {
  bool underline = false;
  bool emphasis = false;
  bool invert = false;
  int widthMultiple = 1;
  int heightMultiple = 1;
};

// Text placed on a row: at a position in half characters from the paper's left edge (a centred
// text may start between two columns), taking cells character columns.
struct Piece {
  int halfColumn = 0;
  std::string text;
  Decoration decoration;
  int cells = 0;
};

using Row = std::vector<Piece>;

// Character columns a character takes: two for a wide one, none for a combining mark.
int CellsOf(unsigned int codePoint);

class Layout {
 public:
  // columns: characters a row holds (48 on 80 mm paper, 32 on 58 mm).
  explicit Layout(int columns) : columns_(columns) {}

  // The rows a line prints, in order: text rows, a rule, and the frame of ruled columns where
  // it opens, crosses or closes. A cut line answers the rows that close a frame before it.
  std::vector<Row> RowsOf(const Line& line);
  // The rows that close a frame left open at the document's end.
  std::vector<Row> Finish();

 private:
  enum class Frame { kNone, kReady, kOpen, kCrossing };
  struct Area {
    int left = 0;
    int width = 0;
    std::vector<int> widths;  // of the columns, when ruled
  };

  std::vector<Row> TextRows(const Line& line);
  Row FrameRow(const Area* above, const Area* below) const;

  int columns_;
  Frame frame_ = Frame::kNone;
  Area framed_;  // the area of the last ruled row
};

}  // namespace markup

#endif  // TALLYJET_MARKUP_LAYOUT_H
