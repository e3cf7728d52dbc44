#include "grey_dither.h"

#include <cstring>

namespace printer_app {
namespace {

constexpr unsigned char kBlack = 0, kWhite = 255, kHalf = 128;

// The 8 x 8 Bayer order: the n-th dot of a cell to turn black as an area darkens.
constexpr unsigned char kBayer[8][8] = {
    {0, 32, 8, 40, 2, 34, 10, 42},  {48, 16, 56, 24, 50, 18, 58, 26},
    {12, 44, 4, 36, 14, 46, 6, 38}, {60, 28, 52, 20, 62, 30, 54, 22},
    {3, 35, 11, 43, 1, 33, 9, 41},  {51, 19, 59, 27, 49, 17, 57, 25},
    {15, 47, 7, 39, 13, 45, 5, 37}, {63, 31, 55, 23, 61, 29, 53, 21}};

bool Pure(unsigned char grey) { return grey == kBlack || grey == kWhite; }

// Black when the grey is darker than the cell's threshold: (n + 0.5) / 64 of full white.
bool OrderedBlack(unsigned char grey, int x, int y) {
  return grey * 64 < kBayer[y & 7][x & 7] * 256 + 128;
}

}  // namespace

GreyDither::GreyDither(int width)
    : width_(width > 0 ? width : 0),
      above_(width_),
      current_(width_),
      out_((width_ + 7) / 8) {}

bool GreyDither::NextToPure(int x, const unsigned char* below) const {
  for (int dx = -1; dx <= 1; ++dx) {
    const int nx = x + dx;
    if (nx < 0 || nx >= width_) continue;
    if (Pure(current_[nx]) || (haveAbove_ && Pure(above_[nx])) ||
        (below != nullptr && Pure(below[nx]))) {
      return true;
    }
  }
  return false;
}

int GreyDither::Emit(const unsigned char* below, const RowSink& sink) {
  std::memset(out_.data(), 0, out_.size());
  for (int x = 0; x < width_; ++x) {
    const unsigned char grey = current_[x];
    const bool black = Pure(grey)              ? grey == kBlack
                       : NextToPure(x, below) ? grey < kHalf
                                              : OrderedBlack(grey, x, y_);
    if (black) out_[x / 8] |= static_cast<unsigned char>(0x80 >> (x % 8));
  }
  ++y_;
  return sink(out_.data());
}

int GreyDither::Push(const unsigned char* grey, const RowSink& sink) {
  int rc = 1;
  if (holding_) {
    rc = Emit(grey, sink);
    above_.swap(current_);
    haveAbove_ = true;
  }
  std::memcpy(current_.data(), grey, current_.size());
  holding_ = true;
  return rc;
}

int GreyDither::Finish(const RowSink& sink) {
  if (!holding_) return 1;
  holding_ = false;
  return Emit(nullptr, sink);
}

}  // namespace printer_app
