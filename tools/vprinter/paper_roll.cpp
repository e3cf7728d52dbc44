#include "paper_roll.h"

#include <QPainter>
#include <algorithm>

namespace vprinter {
namespace {

constexpr int kDash = 8;  // dots drawn, then as many left blank, along the cut line

}  // namespace

bool PaperOfWidth(int millimetres, Paper* paper) {
  switch (millimetres) {
    case 80: *paper = {640, 576, kDefaultCutterDots}; return true;
    case 58: *paper = {464, 384, kDefaultCutterDots}; return true;
    default: return false;
  }
}

PaperRoll::PaperRoll(const Paper& paper) : paper_(paper) {}

// Grows the image, doubling it, so that it holds rows up to height.
void PaperRoll::Reserve(int height) {
  if (height <= image_.height()) return;
  QImage grown(paper_.widthDots, std::max(height, 2 * image_.height()), QImage::Format_RGB32);
  grown.fill(Qt::white);
  QPainter painter(&grown);
  painter.drawImage(0, 0, image_);
  image_ = grown;
}

void PaperRoll::Print(int x, const QImage& image) {
  if (image.isNull()) return;
  const int bottom = position_ + image.height();
  Reserve(bottom);
  QPainter painter(&image_);
  painter.setCompositionMode(QPainter::CompositionMode_Darken);
  painter.drawImage(paper_.LeftEdge() + x, position_, image);
  inked_ = std::max(inked_, bottom);
}

void PaperRoll::Feed(int dots) { position_ += std::max(0, dots); }

bool PaperRoll::Cut() {
  const int at = std::max(0, position_ - paper_.cutterDots);
  Reserve(std::max(position_, at + 1));
  bool inkBelow = false;
  for (int y = at; y < std::min(position_, inked_) && !inkBelow; ++y) {
    const QRgb* row = reinterpret_cast<const QRgb*>(image_.constScanLine(y));
    inkBelow = std::any_of(row, row + paper_.widthDots, [](QRgb dot) { return qGray(dot) < 128; });
  }
  for (int x = 0; x < paper_.widthDots; x += 2 * kDash) {
    for (int dot = x; dot < std::min(x + kDash, paper_.widthDots); ++dot) {
      image_.setPixel(dot, at, qRgb(0, 0, 0));
    }
  }
  cuts_.push_back(at);
  inked_ = std::max(inked_, at + 1);
  return inkBelow;
}

QImage PaperRoll::Slice(int top, int bottom) const {
  QImage slice(paper_.widthDots, bottom - top, QImage::Format_RGB32);
  slice.fill(Qt::white);
  {
    QPainter painter(&slice);
    painter.drawImage(0, 0, image_, 0, top, paper_.widthDots,
                      std::min(bottom, image_.height()) - top);
  }
  return slice.convertToFormat(QImage::Format_Grayscale8);
}

std::vector<QImage> PaperRoll::Pieces(bool perCut) const {
  const int end = std::max(inked_, position_) + kMargin;
  if (!perCut) return {Slice(0, end)};
  std::vector<QImage> pieces;
  int top = 0;
  for (int cut : cuts_) {
    if (cut > top) pieces.push_back(Slice(top, cut + 1));
    top = cut + 1;
  }
  // Paper after the last cut counts only when something was printed on it.
  if (inked_ > top) pieces.push_back(Slice(top, end));
  return pieces;
}

}  // namespace vprinter
