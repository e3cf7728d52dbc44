#include "paper_roll.h"

#include <QPainter>
#include <algorithm>
#include <cstring>

namespace vprinter {
namespace {

constexpr int kDash = 8;  // dots drawn, then as many left blank, along the cut line
constexpr int kBandRows = 1024;
constexpr int kInk = 128;  // grey below which a dot prints black

QImage OneBitImage(int width, int height) {
  QImage image(width, height, QImage::Format_Mono);
  image.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
  image.fill(0);
  return image;
}

// Row y of a colour band as one bit a dot, into out (bit 7 of the first byte the leftmost).
void PackRow(const QImage& band, int y, uchar* out) {
  const QRgb* dots = reinterpret_cast<const QRgb*>(band.constScanLine(y));
  std::memset(out, 0, static_cast<size_t>((band.width() + 7) / 8));
  for (int x = 0; x < band.width(); ++x) {
    if (qGray(dots[x]) < kInk) out[x / 8] |= static_cast<uchar>(0x80 >> (x % 8));
  }
}

QImage ToOneBit(const QImage& band) {
  QImage packed = OneBitImage(band.width(), band.height());
  for (int y = 0; y < band.height(); ++y) PackRow(band, y, packed.scanLine(y));
  return packed;
}

}  // namespace

bool PaperOfWidth(int millimetres, Paper* paper) {
  switch (millimetres) {
    case 80: *paper = {640, 576, kDefaultCutterDots}; return true;
    case 58: *paper = {464, 384, kDefaultCutterDots}; return true;
    default: return false;
  }
}

PaperRoll::PaperRoll(const Paper& paper) : paper_(paper) {}

QImage& PaperRoll::BandOf(int y) {
  const size_t index = static_cast<size_t>(y / kBandRows);
  while (bands_.size() <= index) {
    QImage band(paper_.widthDots, kBandRows, QImage::Format_RGB32);
    band.fill(Qt::white);
    bands_.push_back(band);
  }
  return bands_[index];
}

void PaperRoll::Settle() {
  const int reach = position_ - paper_.cutterDots;  // the highest row a cut may still draw on
  while (settled_ < bands_.size() && static_cast<int>(settled_ + 1) * kBandRows <= reach) {
    bands_[settled_] = ToOneBit(bands_[settled_]);
    ++settled_;
  }
}

bool PaperRoll::Black(int x, int y) const {
  const size_t index = static_cast<size_t>(y / kBandRows);
  if (index >= bands_.size()) return false;
  const QImage& band = bands_[index];
  const int row = y % kBandRows;
  if (index < settled_) return band.pixelIndex(x, row) == 1;
  return qGray(reinterpret_cast<const QRgb*>(band.constScanLine(row))[x]) < kInk;
}

void PaperRoll::Print(int x, const QImage& image) {
  if (image.isNull()) return;
  const int bottom = position_ + image.height();
  for (int top = position_ / kBandRows * kBandRows; top < bottom; top += kBandRows) {
    QPainter painter(&BandOf(top));
    painter.setCompositionMode(QPainter::CompositionMode_Darken);
    // The part of the image that falls on this band.
    const int from = std::max(top, position_);
    const int to = std::min(top + kBandRows, bottom);
    painter.drawImage(QPoint(paper_.LeftEdge() + x, from - top), image,
                      QRect(0, from - position_, image.width(), to - from));
  }
  inked_ = std::max(inked_, bottom);
}

void PaperRoll::Feed(int dots) {
  position_ += std::max(0, dots);
  Settle();
}

bool PaperRoll::Cut() {
  const int at = std::max(0, position_ - paper_.cutterDots);
  bool inkBelow = false;
  for (int y = at; y < std::min(position_, inked_) && !inkBelow; ++y) {
    for (int x = 0; x < paper_.widthDots && !inkBelow; ++x) inkBelow = Black(x, y);
  }
  QImage& band = BandOf(at);
  for (int x = 0; x < paper_.widthDots; x += 2 * kDash) {
    for (int dot = x; dot < std::min(x + kDash, paper_.widthDots); ++dot) {
      band.setPixel(dot, at % kBandRows, qRgb(0, 0, 0));
    }
  }
  cuts_.push_back(at);
  inked_ = std::max(inked_, at + 1);
  return inkBelow;
}

QImage PaperRoll::Slice(int top, int bottom) const {
  QImage slice = OneBitImage(paper_.widthDots, bottom - top);
  const int bytes = slice.bytesPerLine();
  for (int y = top; y < bottom; ++y) {
    const size_t index = static_cast<size_t>(y / kBandRows);
    if (index >= bands_.size()) break;
    const int row = y % kBandRows;
    if (index < settled_) {
      std::memcpy(slice.scanLine(y - top), bands_[index].constScanLine(row), bytes);
    } else {
      PackRow(bands_[index], row, slice.scanLine(y - top));
    }
  }
  return slice;
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
