// One page's one-bit rows on their way to the printer: each row cut or padded to the print head
// around its centre, rows with ink gathered and sent as a raster, long blank runs between them
// sent as paper feeds, and the blank rows above the first ink and below the last not sent at
// all: a roll has no page to fill, and a short receipt on a long page wastes no paper.
#ifndef TALLYJET_PRINTER_APP_PAGE_ROWS_H
#define TALLYJET_PRINTER_APP_PAGE_ROWS_H

#include <functional>
#include <vector>

namespace printer_app {

class PageRows {
 public:
  // Sends rowCount rows of headDots / 8 bytes each; 1 on success, else a result code.
  using RasterSink = std::function<int(const unsigned char* rows, int rowCount)>;
  // Feeds the paper by dots; 1 on success, else a result code.
  using FeedSink = std::function<int(int dots)>;

  // A blank run at least this long goes as a feed rather than as blank raster rows.
  static constexpr int kFeedRows = 16;
  // Rows gathered before they go out, so that sending keeps pace with the rows coming in.
  static constexpr int kRowsPerSend = 256;

  // headDots and lineDots are multiples of 8 or not; a row has lineDots bits, bit 7 of each byte
  // first, 1 for black.
  PageRows(int headDots, int lineDots, RasterSink raster, FeedSink feed);

  // Takes the next row. 1, or the first failing send's result.
  int Add(const unsigned char* line);
  // Sends what is held, except blank rows at the end. 1, or the failing send's result.
  int Finish();

 private:
  int SendHeld();
  int SendBlankRun();

  int headBytes_;
  int offset_;  // dots of the line left of the head (negative: blank dots left of the line)
  int lineDots_;
  RasterSink raster_;
  FeedSink feed_;
  std::vector<unsigned char> held_;  // ink rows and short blank runs, in head rows
  std::vector<unsigned char> row_;   // the row being cut to the head
  int blankRun_ = 0;  // blank rows seen since the last row with ink
  bool inked_ = false;  // whether any ink came yet on this page
};

}  // namespace printer_app

#endif  // TALLYJET_PRINTER_APP_PAGE_ROWS_H
