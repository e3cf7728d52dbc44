#include "line_buffer.h"

#include <QPainter>
#include <algorithm>

namespace vprinter {

void LineBuffer::Add(const QImage& piece) {
  pieces_.push_back({cursor_, piece});
  cursor_ += piece.width();
}

QImage LineBuffer::Compose() const {
  int height = 0;
  for (const Piece& piece : pieces_) height = std::max(height, piece.image.height());
  if (cursor_ <= 0 || height <= 0) return QImage();
  QImage line(cursor_, height, QImage::Format_RGB32);
  line.fill(Qt::white);
  QPainter painter(&line);
  for (const Piece& piece : pieces_) {
    painter.drawImage(piece.x, height - piece.image.height(), piece.image);
  }
  return line;
}

void LineBuffer::Clear() {
  pieces_.clear();
  cursor_ = 0;
}

}  // namespace vprinter
