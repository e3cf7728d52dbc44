// The paper roll the virtual printer prints on: as wide as the paper and as long as the printing,
// with the positions of the cuts. It is kept in bands of rows: the few the print head and the
// cutter may still reach in colour, the rest at one bit a dot, so that a roll of any length is
// drawn whole in little memory.
#ifndef VPRINTER_PAPER_ROLL_H
#define VPRINTER_PAPER_ROLL_H

#include <QImage>
#include <vector>

namespace vprinter {

// The cutter's distance above the print head of a common receipt printer: 15 mm.
constexpr int kDefaultCutterDots = 120;

struct Paper {
  int widthDots;      // the whole paper, edge to edge
  int printableDots;  // the print head's width, centred on the paper
  int cutterDots = kDefaultCutterDots;  // from the print head's dot line up to the cutter

  int LeftEdge() const { return (widthDots - printableDots) / 2; }
};

// 80 mm or 58 mm paper at 203 dots per inch; false for another width.
bool PaperOfWidth(int millimetres, Paper* paper);

class PaperRoll {
 public:
  // Blank paper above the first printed dot and below the last.
  static constexpr int kMargin = 16;

  explicit PaperRoll(const Paper& paper);

  const Paper& PaperSize() const { return paper_; }
  // Puts image on the paper with its top left corner x dots from the print head's left end at
  // the print position. Black stays black; white leaves the paper as it is.
  void Print(int x, const QImage& image);
  void Feed(int dots);
  // A dashed line across the paper where the cutter is (the paper's cutterDots above the print
  // position), where the roll is cut. True when printing lies below the cut: it cut through
  // printed lines, and their rest goes out on the next piece.
  bool Cut();
  // The printed roll, whole or in the pieces the cuts made (empty pieces left out), one bit a
  // dot (white 0, black 1).
  std::vector<QImage> Pieces(bool perCut) const;

 private:
  // The band that holds row y, made (white) when the roll has not come that far.
  QImage& BandOf(int y);
  // Turns the bands the print head and the cutter can no longer reach to one bit a dot.
  void Settle();
  bool Black(int x, int y) const;
  QImage Slice(int top, int bottom) const;

  Paper paper_;
  std::vector<QImage> bands_;  // kBandRows rows each
  size_t settled_ = 0;         // bands_[0, settled_) are one bit a dot
  int position_ = kMargin;
  int inked_ = 0;  // one past the lowest row drawn on
  std::vector<int> cuts_;
};

}  // namespace vprinter

#endif  // VPRINTER_PAPER_ROLL_H
