#include "page_rows.h"

#include <algorithm>

namespace printer_app {
namespace {

constexpr int kMaxFeed = 255;  // the most dots one feed command moves

bool Dot(const unsigned char* line, int x) { return (line[x / 8] & (0x80 >> (x % 8))) != 0; }

}  // namespace

PageRows::PageRows(int headDots, int lineDots, RasterSink raster, FeedSink feed)
    : headBytes_((headDots + 7) / 8),
      offset_((lineDots - headDots) / 2),
      lineDots_(lineDots),
      raster_(std::move(raster)),
      feed_(std::move(feed)),
      row_(static_cast<size_t>(headBytes_)) {}

int PageRows::Add(const unsigned char* line) {
  std::fill(row_.begin(), row_.end(), 0);
  bool ink = false;
  for (int x = 0; x < headBytes_ * 8; ++x) {
    const int source = x + offset_;
    if (source < 0 || source >= lineDots_ || !Dot(line, source)) continue;
    row_[static_cast<size_t>(x / 8)] |= static_cast<unsigned char>(0x80 >> (x % 8));
    ink = true;
  }
  if (!ink) {
    ++blankRun_;
    return 1;
  }
  if (blankRun_ > 0) {
    const int rc = SendBlankRun();
    if (rc != 1) return rc;
  }
  held_.insert(held_.end(), row_.begin(), row_.end());
  inked_ = true;
  if (static_cast<int>(held_.size()) >= kRowsPerSend * headBytes_) return SendHeld();
  return 1;
}

int PageRows::Finish() {
  blankRun_ = 0;  // nothing follows: the paper stops after the last row with ink
  return SendHeld();
}

int PageRows::SendHeld() {
  if (held_.empty()) return 1;
  const int rc = raster_(held_.data(), static_cast<int>(held_.size()) / headBytes_);
  held_.clear();
  return rc;
}

// A run before the first ink is not sent: the receipt starts with its first printed row, wherever
// the page put it. Between rows with ink a short run stays raster and a long one is sent as feeds
// after what is held.
int PageRows::SendBlankRun() {
  const int run = blankRun_;
  blankRun_ = 0;
  if (!inked_) return 1;
  if (run < kFeedRows) {
    held_.resize(held_.size() + static_cast<size_t>(run * headBytes_), 0);
    return 1;
  }
  int rc = SendHeld();
  for (int left = run; rc == 1 && left > 0; left -= kMaxFeed) rc = feed_(std::min(left, kMaxFeed));
  return rc;
}

}  // namespace printer_app
