// Splits the byte stream a printer receives into commands by ESC/POS syntax. The parser streams:
// a command cut off at the end of one read waits for the bytes of the next.
#ifndef VPRINTER_COMMAND_PARSER_H
#define VPRINTER_COMMAND_PARSER_H

#include <string>
#include <vector>

#include "command.h"

namespace vprinter {

class CommandParser {
 public:
  // The longest run of NULs that is held back as one command.
  static constexpr size_t kMaxNulRun = 1 << 20;
  // The longest run of text held back for its line end: a thousand lines of an 80 mm receipt.
  // A line that never ends is passed on in runs at least this long.
  static constexpr size_t kMaxTextRun = 1 << 16;
  // The most bytes one command may declare after its header. A receipt printer's whole graphics
  // memory, NV and RAM together, is a few hundred KB, and a 576-dot raster image this size is
  // 7 m of paper; a command that declares more is refused and its bytes are skipped as they
  // arrive, so a client that claims gigabytes does not make the printer hold them.
  static constexpr size_t kMaxCommandBytes = 4 << 20;

  // The commands completed by these bytes. A text run at the end is held back: more of the same
  // line may follow.
  std::vector<Command> Feed(const std::string& bytes);
  // Ends a held-back text run; the line has gone quiet. An unfinished command and a run of NULs
  // keep waiting.
  std::vector<Command> Flush();
  // Ends the stream: the held-back text and NULs, and an unfinished command as Incomplete.
  std::vector<Command> Finish();
  // Bytes received but not yet part of a completed command.
  size_t Pending() const { return pending_.size(); }
  // Bytes of a refused command still to come, to be skipped unread.
  size_t Skipping() const { return skipping_; }
  void Reset() {
    pending_.clear();
    skipping_ = 0;
  }

 private:
  std::vector<Command> Split(bool textMayEnd, bool streamEnds);
  std::string pending_;
  size_t skipping_ = 0;
};

}  // namespace vprinter

#endif  // VPRINTER_COMMAND_PARSER_H
