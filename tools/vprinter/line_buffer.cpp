#include "line_buffer.h"

#include <QPainter>
#include <algorithm>

namespace vprinter {

void LineBuffer::Add(const QImage& piece) {
  pieces_.push_back({cursor_, piece});
  cursor_ += piece.width();
  extent_ = std::max(extent_, cursor_);
}

void LineBuffer::TakeBackLast() {
  if (pieces_.empty()) return;
  cursor_ = pieces_.back().x;
  pieces_.pop_back();
  extent_ = 0;
  for (const Piece& piece : pieces_) extent_ = std::max(extent_, piece.x + piece.image.width());
}

QImage LineBuffer::Compose() const {
  int height = 0;
  for (const Piece& piece : pieces_) height = std::max(height, piece.image.height());
  const int width = std::max(cursor_, extent_);
  if (width <= 0 || height <= 0) return QImage();
  QImage line(width, height, QImage::Format_RGB32);
  line.fill(Qt::white);
  QPainter painter(&line);
  for (const Piece& piece : pieces_) {
    painter.drawImage(piece.x, height - piece.image.height(), piece.image);
  }
  return line;
}

void LineBuffer::Clear() {
  pieces_.clear();
  cursor_ = extent_ = 0;
}

}  // namespace vprinter
