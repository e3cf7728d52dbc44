#include "markup_layout.h"

#include <glib.h>

#include <algorithm>

namespace markup {
namespace {

// A run of text in one decoration within a wrapped row of a column.
struct Segment {
  Decoration decoration;
  std::string text;
  int cells;
};

// A row of a column's wrapped text: its runs, how far (in half columns) its alignment moves it
// in from the column's left, and its height in lines.
struct Wrapped {
  std::vector<Segment> segments;
  int margin;
  int height;
};

struct Character {
  std::string text;
  int cells;
};

std::vector<Character> Characters(const std::string& utf8) {
  std::vector<Character> characters;
  for (const char* at = utf8.c_str(); *at != '\0'; at = g_utf8_next_char(at)) {
    const char* next = g_utf8_next_char(at);
    characters.push_back(Character{std::string(at, next), CellsOf(g_utf8_get_char(at))});
  }
  return characters;
}

// One caret doubles the width, two the height, three both; four to seven make 3 to 6 times.
Decoration Sized(Decoration decoration, int size) {
  decoration.widthMultiple = size < 2 ? size + 1 : size - 1;
  decoration.heightMultiple = std::max(1, size < 3 ? size : size - 1);
  return decoration;
}

// Wraps a column's text at its width: characters go on while they fit, a character wider than
// the column is left out, \n ends a row.
class Wrapper {
 public:
  explicit Wrapper(const Column& column) : column_(column), space_(column.width) {}

  std::vector<Wrapped> Wrap() {
    for (const Token& token : column_.tokens) {
      switch (token.kind) {
        case Token::kText: AddText(token.text); break;
        case Token::kBreak: EndRow(); break;
        case Token::kUnderline: decoration_.underline = !decoration_.underline; break;
        case Token::kEmphasis: decoration_.emphasis = !decoration_.emphasis; break;
        case Token::kInvert: decoration_.invert = !decoration_.invert; break;
        case Token::kSize:
          size_ = size_ == token.size ? 0 : token.size;
          decoration_ = Sized(decoration_, size_);
          break;
      }
    }
    if (!segments_.empty()) EndRow();
    return rows_;
  }

 private:
  void AddText(const std::string& text) {
    const std::vector<Character> characters = Characters(text);
    const int multiple = decoration_.widthMultiple;
    size_t at = 0;
    while (at < characters.size()) {
      int width = 0;
      size_t end = at;
      Segment segment{decoration_, "", 0};
      for (; end < characters.size(); ++end) {
        width = characters[end].cells * multiple;
        if (width > space_) break;
        space_ -= width;
        segment.text += characters[end].text;
        segment.cells += width;
        width = 0;
      }
      if (end > at) {
        segments_.push_back(segment);
        height_ = std::max(height_, decoration_.heightMultiple);
        at = end;
      }
      if (width > column_.width) {
        ++at;
        continue;
      }
      if (width > space_ || space_ == 0) EndRow();
    }
  }

  void EndRow() {
    rows_.push_back(Wrapped{segments_, space_ * column_.align, height_});
    segments_.clear();
    space_ = column_.width;
    height_ = 1;
  }

  const Column& column_;
  int space_;
  int height_ = 1;
  int size_ = 0;
  Decoration decoration_;
  std::vector<Segment> segments_;
  std::vector<Wrapped> rows_;
};

// The box-drawing character where lines meet from above, below, the left and the right.
const char* BoxCharacter(bool up, bool down, bool left, bool right) {
  if (up && down) return left && right ? "┼" : left ? "┤" : right ? "├" : "│";
  if (up) return left && right ? "┴" : left ? "┘" : right ? "└" : "│";
  if (down) return left && right ? "┬" : left ? "┐" : right ? "┌" : "│";
  return left || right ? "─" : " ";
}

// Where the bars of ruled columns stand: the area's left edge and after each column.
std::vector<int> Bars(int left, const std::vector<int>& widths) {
  std::vector<int> bars{left};
  for (int width : widths) bars.push_back(bars.back() + width + 1);
  return bars;
}

bool Contains(const std::vector<int>& values, int value) {
  return std::find(values.begin(), values.end(), value) != values.end();
}

Piece TextPiece(int column, const std::string& text, int cells, Decoration decoration = {}) {
  return Piece{column * 2, text, decoration, cells};
}

}  // namespace

int CellsOf(unsigned int codePoint) {
  if (g_unichar_iszerowidth(codePoint)) return 0;
  return g_unichar_iswide(codePoint) ? 2 : 1;
}

std::vector<Row> Layout::RowsOf(const Line& line) {
  std::vector<Row> rows;
  const int span = line.span < 0 ? columns_ : std::min(line.span, columns_);
  const int left = (columns_ - span) * line.lineAlign / 2;
  switch (line.kind) {
    case Line::kText:
      rows = TextRows(line);
      break;
    case Line::kRule:
      if (frame_ == Frame::kNone) {
        std::string rule;
        for (int i = 0; i < span; ++i) rule += "─";
        rows.push_back(Row{TextPiece(left, rule, span)});
      } else if (frame_ == Frame::kOpen) {
        frame_ = Frame::kCrossing;
      }
      break;
    case Line::kCut:
      if (frame_ == Frame::kOpen || frame_ == Frame::kCrossing) {
        rows.push_back(FrameRow(&framed_, nullptr));
        frame_ = Frame::kReady;
      }
      break;
    default:
      break;
  }
  if (line.rules == Rules::kStart) frame_ = Frame::kReady;
  if (line.rules == Rules::kStop) {
    const std::vector<Row> closing = Finish();
    rows.insert(rows.end(), closing.begin(), closing.end());
  }
  return rows;
}

std::vector<Row> Layout::Finish() {
  std::vector<Row> rows;
  if (frame_ == Frame::kOpen || frame_ == Frame::kCrossing) {
    rows.push_back(FrameRow(&framed_, nullptr));
  }
  frame_ = Frame::kNone;
  return rows;
}

std::vector<Row> Layout::TextRows(const Line& line) {
  std::vector<Column> columns;
  for (const Column& column : line.columns) {
    if (column.width != 0) columns.push_back(column);
  }
  const int border = line.border;
  const size_t fit = static_cast<size_t>(
      std::max(1, border < 0 ? (columns_ - 1) / 2 : (columns_ + border) / (border + 1)));
  if (columns.size() > fit) columns.resize(fit);
  // A line whose columns are all hidden prints an empty row and leaves the rules alone.
  if (columns.empty()) return {Row{}};

  // Fixed widths first, then the rest shared among the others; fixed columns give way, the
  // widest first, until each of the others has a character.
  const int count = static_cast<int>(columns.size());
  int free = columns_ - (count == 0 ? 0 : border < 0 ? count + 1 : (count - 1) * border);
  int shared = 0;
  for (const Column& column : columns) {
    if (column.width > 0) free -= column.width;
    if (column.width < 0) ++shared;
  }
  while (shared > free) {
    Column* widest = nullptr;
    for (Column& column : columns) {
      if (column.width > 0 && (widest == nullptr || column.width >= widest->width)) widest = &column;
    }
    if (widest == nullptr) break;
    --widest->width;
    ++free;
  }
  for (int i = 0, n = 0; i < count; ++i) {
    if (columns[i].width < 0) columns[i].width = (free + n++) / shared;
  }
  if (shared > 0) free = 0;
  const Area area{free * line.lineAlign / 2, columns_ - free, {}};

  std::vector<std::vector<Wrapped>> wrapped;
  std::vector<int> widths;
  size_t rowCount = 1;
  for (const Column& column : columns) {
    wrapped.push_back(Wrapper(column).Wrap());
    widths.push_back(column.width);
    if (line.wrap) rowCount = std::max(rowCount, wrapped.back().size());
  }

  std::vector<Row> rows;
  const Area ruled{area.left, area.width, widths};
  if (frame_ == Frame::kReady) rows.push_back(FrameRow(nullptr, &ruled));
  if (frame_ == Frame::kCrossing) rows.push_back(FrameRow(&framed_, &ruled));
  const bool framed = frame_ != Frame::kNone;
  if (framed) {
    frame_ = Frame::kOpen;
    framed_ = ruled;
  }
  for (size_t j = 0; j < rowCount; ++j) {
    Row row;
    int height = 1;
    for (const auto& column : wrapped) {
      if (j < column.size()) height = std::max(height, column[j].height);
    }
    if (framed) {
      Decoration tall;
      tall.heightMultiple = height;
      for (int bar : Bars(area.left, widths)) row.push_back(TextPiece(bar, "│", 1, tall));
    }
    int position = area.left + (framed ? 1 : 0);
    for (size_t i = 0; i < wrapped.size(); ++i) {
      if (j < wrapped[i].size()) {
        int half = position * 2 + wrapped[i][j].margin;
        for (const Segment& segment : wrapped[i][j].segments) {
          row.push_back(Piece{half, segment.text, segment.decoration, segment.cells});
          half += segment.cells * 2;
        }
      }
      position += widths[i] + std::abs(border);
    }
    rows.push_back(row);
  }
  return rows;
}

Row Layout::FrameRow(const Area* above, const Area* below) const {
  const std::vector<int> up = above != nullptr ? Bars(above->left, above->widths) : std::vector<int>{};
  const std::vector<int> down = below != nullptr ? Bars(below->left, below->widths) : std::vector<int>{};
  int start = columns_, end = 0;
  for (const Area* area : {above, below}) {
    if (area == nullptr) continue;
    start = std::min(start, area->left);
    end = std::max(end, area->left + area->width - 1);
  }
  std::string text;
  for (int i = start; i <= end; ++i) {
    text += BoxCharacter(Contains(up, i), Contains(down, i), i > start, i < end);
  }
  return Row{TextPiece(start, text, end - start + 1)};
}

}  // namespace markup
