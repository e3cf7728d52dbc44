// The state file that tallyjet-vprinter watches: lines key=value with the keys of its state
// options, applied over the state of the command line whenever the file changes.
#ifndef VPRINTER_STATE_FILE_H
#define VPRINTER_STATE_FILE_H

#include <sys/stat.h>

#include <string>
#include <vector>

#include "printer_state.h"
#include "virtual_printer.h"

namespace vprinter {

// Applies the lines of text over state and options; blank lines and # comments are skipped.
// Returns one message per line that could not be applied.
std::vector<std::string> ApplyStateText(const std::string& text, PrinterState* state,
                                        Options* options);

class StateFile {
 public:
  // base and baseOptions are what the command line set.
  StateFile(std::string path, const PrinterState& base, const Options& baseOptions);

  // True when the file changed (appeared, vanished or was written) since the last call; then
  // *state and *options are the base with the file's settings over it.
  bool Changed(PrinterState* state, Options* options, std::vector<std::string>* errors);

 private:
  std::string path_;
  PrinterState base_;
  Options baseOptions_;
  bool seen_ = false;
  bool existed_ = false;
  struct stat stamp_ = {};
};

}  // namespace vprinter

#endif  // VPRINTER_STATE_FILE_H
