// Draws what the virtual printer prints onto a paper roll, command by command, as the printer
// core hands them over (PrinterCore::Hook).
#ifndef VPRINTER_RECEIPT_RENDERER_H
#define VPRINTER_RECEIPT_RENDERER_H

#include <QImage>
#include <QString>
#include <string>

#include "command.h"
#include "line_buffer.h"
#include "page_buffer.h"
#include "paper_roll.h"
#include "printer_settings.h"

namespace vprinter {

class ReceiptRenderer {
 public:
  // The line spacing until ESC 3 sets another.
  static constexpr int kDefaultLineSpacing = 30;

  explicit ReceiptRenderer(const Paper& paper) : roll_(paper), page_(paper.printableDots) {}

  // Draws what the command prints; settings are those in force after it. Returns a note for
  // the log when something could not be drawn, else empty.
  std::string Render(const Command& command, const PrinterSettings& settings);

  const PaperRoll& Roll() const { return roll_; }

 private:
  struct Area {
    int left;
    int width;
  };

  std::string RenderMark(const Command& command, const PrinterSettings& settings);
  void RenderPage(const Command& command);
  void PrintPage(bool leavePageMode);
  void Feed(int dots);
  void Put(int x, const QImage& image, const Layout& layout);
  void AddText(const std::string& bytes, const PrinterSettings& settings);
  void StartLine(const PrinterSettings& settings);
  void AddPiece(const QImage& piece, const PrinterSettings& settings);
  void Tab(const PrinterSettings& settings);
  void PrintLine(int minimumFeed, bool feed = true);
  void PrintBlock(const QImage& image, const Layout& layout);
  std::string PrintBarcode(const Command& command, const PrinterSettings& settings);
  std::string PrintSymbol(const Command& command, const PrinterSettings& settings);
  std::string PrintGraphic(const Command& command, const PrinterSettings& settings);
  void Position(const Command& command, const PrinterSettings& settings);
  std::string Cut(const Command& command);
  Area AreaOf(const Layout& layout) const;
  static int LineSpacing(const Layout& layout);

  PaperRoll roll_;
  PageBuffer page_;
  LineBuffer line_;
  Layout lineLayout_;  // in force when the line's first piece came
  int lineEnd_ = 0;    // where the last line printed left the print position (ESC $, ESC \)
  bool lineUpsideDown_ = false;
  // The last character put in the line and where the cursor stood after it: a combining mark
  // that comes in the next run of text (after ESC t, say) joins it while nothing came between.
  QString lastCharacter_;
  int afterLastCharacter_ = -1;
};

}  // namespace vprinter

#endif  // VPRINTER_RECEIPT_RENDERER_H
