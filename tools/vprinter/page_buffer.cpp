#include "page_buffer.h"

#include <QPainter>
#include <QTransform>
#include <algorithm>

namespace vprinter {
namespace {

// The page-mode area until ESC W sets one: the print head's width, this many dots long.
constexpr int kDefaultPageLength = 1662;
// The vertical position a page starts at: the baseline of a line of font A.
constexpr int kFirstBaseline = 24;

}  // namespace

void PageBuffer::Start() {
  active_ = true;
  Clear();
}

void PageBuffer::End() {
  active_ = false;
  Clear();
}

void PageBuffer::Clear() {
  canvas_ = QImage();
  y_ = kFirstBaseline;
}

PageBuffer::Area PageBuffer::AreaOf(const Layout& layout) const {
  const int* area = layout.pageArea;
  const int x = std::clamp(area[0], 0, printable_ - 1);
  const int width = area[2] > 0 ? std::min(area[2], printable_ - x) : printable_ - x;
  return {x, std::max(0, area[1]), width, area[3] > 0 ? area[3] : kDefaultPageLength};
}

int PageBuffer::LineWidth(const Layout& layout) const {
  const Area area = AreaOf(layout);
  return (layout.pageDirection & 1) != 0 ? area.height : area.width;
}

// Direction 0 runs left to right from the area's top left, 1 bottom to top from its bottom left,
// 2 right to left from its bottom right, 3 top to bottom from its top right.
void PageBuffer::Place(const QImage& image, int x, const Layout& layout) {
  if (image.isNull()) return;
  const Area a = AreaOf(layout);
  const int w = image.width(), h = image.height(), y = y_ - h + 1;
  switch (layout.pageDirection & 3) {
    case 0: Draw(a.x + x, a.y + y, image); break;
    case 1:
      Draw(a.x + y, a.y + a.height - x - w, image.transformed(QTransform().rotate(270)));
      break;
    case 2: Draw(a.x + a.width - x - w, a.y + a.height - y - h, image.mirrored(true, true)); break;
    default:
      Draw(a.x + a.width - y - h, a.y + x, image.transformed(QTransform().rotate(90)));
      break;
  }
}

// Draws onto the canvas, which grows down to hold the image; what falls outside the print
// head's width or above the page is cut off.
void PageBuffer::Draw(int x, int y, const QImage& image) {
  const int bottom = y + image.height();
  if (bottom > canvas_.height()) {
    QImage grown(printable_, bottom, QImage::Format_RGB32);
    grown.fill(Qt::white);
    QPainter painter(&grown);
    if (!canvas_.isNull()) painter.drawImage(0, 0, canvas_);
    canvas_ = grown;
  }
  QPainter painter(&canvas_);
  painter.setCompositionMode(QPainter::CompositionMode_Darken);
  painter.drawImage(x, y, image);
}

QImage PageBuffer::Take() {
  QImage page = canvas_;
  Clear();
  return page;
}

}  // namespace vprinter
