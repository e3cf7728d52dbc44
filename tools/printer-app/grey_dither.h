// Greyscale rows to the printer's black and white dots. Pure black and pure white stay as they
// are; a grey dot next to a pure black or white one (the soft edge of text and lines) takes a
// clean threshold at half grey; any other grey dot, inside a grey area or a photo, takes an 8 x 8
// ordered dither, so that the area keeps its shade.
#ifndef TALLYJET_PRINTER_APP_GREY_DITHER_H
#define TALLYJET_PRINTER_APP_GREY_DITHER_H

#include <functional>
#include <vector>

namespace printer_app {

class GreyDither {
 public:
  // Takes one one-bit row: width dots, bit 7 of each byte first, 1 for black. Answers 1 or the
  // failing result code, which stops the rows.
  using RowSink = std::function<int(const unsigned char* row)>;

  // Rows of width dots, one byte each, 0 black to 255 white.
  explicit GreyDither(int width);

  // Takes the next grey row; the row before it, now that its neighbours are known, goes to sink.
  int Push(const unsigned char* grey, const RowSink& sink);
  // Gives the last row held.
  int Finish(const RowSink& sink);

 private:
  int Emit(const unsigned char* below, const RowSink& sink);
  bool NextToPure(int x, const unsigned char* below) const;

  int width_;
  int y_ = 0;  // the row the next Emit gives
  bool holding_ = false;
  std::vector<unsigned char> above_, current_, out_;
  bool haveAbove_ = false;
};

}  // namespace printer_app

#endif  // TALLYJET_PRINTER_APP_GREY_DITHER_H
