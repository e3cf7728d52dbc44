// The page of page mode (ESC L): lines and pictures are placed in the page-mode area (ESC W) in
// the print direction (ESC T), standing on the vertical position (their baseline) that LF, ESC J,
// GS $ and GS \ move, and the whole page prints at once (FF, ESC FF).
#ifndef VPRINTER_PAGE_BUFFER_H
#define VPRINTER_PAGE_BUFFER_H

#include <QImage>

#include "printer_settings.h"

namespace vprinter {

class PageBuffer {
 public:
  // printableDots: the print head's width, the page's physical width.
  explicit PageBuffer(int printableDots) : printable_(printableDots) {}

  bool Active() const { return active_; }
  void Start();
  // Leaves page mode; what the page held is dropped.
  void End();
  // Drops what the page holds; page mode goes on (CAN).
  void Clear();

  // The width of a line in the print direction: the area's width, or its height when turned.
  int LineWidth(const Layout& layout) const;
  // Puts a line (or picture) x dots along the print direction, its last row of dots on the
  // vertical position.
  void Place(const QImage& image, int x, const Layout& layout);
  void Advance(int dots) { y_ += dots > 0 ? dots : 0; }
  void MoveTo(int y) { y_ = y > 0 ? y : 0; }
  int Position() const { return y_; }
  // The page as it prints, as wide as the print head; null when nothing was placed. The page
  // is cleared.
  QImage Take();

 private:
  struct Area {
    int x, y, width, height;
  };
  Area AreaOf(const Layout& layout) const;
  void Draw(int x, int y, const QImage& image);

  int printable_;
  bool active_ = false;
  QImage canvas_;
  int y_ = 0;  // the vertical position: the baseline, dots from the area's start
};

}  // namespace vprinter

#endif  // VPRINTER_PAGE_BUFFER_H
