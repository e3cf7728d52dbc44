// The line the print buffer is filling: characters and column images side by side, their
// bottoms on one line, printed together when the line ends.
#ifndef VPRINTER_LINE_BUFFER_H
#define VPRINTER_LINE_BUFFER_H

#include <QImage>
#include <vector>

namespace vprinter {

class LineBuffer {
 public:
  bool Empty() const { return pieces_.empty() && cursor_ == 0; }
  // Dots from the line's start to where the next piece goes.
  int Cursor() const { return cursor_; }
  void Add(const QImage& piece);
  // Takes the last piece back out and puts the cursor where it began.
  void TakeBackLast();
  // Moves the cursor on without printing (a tab).
  void Skip(int dots) { cursor_ += dots; }
  // Puts the cursor at x dots from the line's start, back over printed pieces too (ESC $, ESC \).
  void MoveTo(int x) { cursor_ = x > 0 ? x : 0; }
  // The line as one image, as wide as the cursor or a piece has come and as high as its highest
  // piece.
  QImage Compose() const;
  void Clear();

 private:
  struct Piece {
    int x;
    QImage image;
  };
  std::vector<Piece> pieces_;
  int cursor_ = 0;
  int extent_ = 0;  // the right end of the rightmost piece
};

}  // namespace vprinter

#endif  // VPRINTER_LINE_BUFFER_H
