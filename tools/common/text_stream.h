// Text that comes in pieces of any size (a file, standard input) printed through the library's
// text path (tallyjet_print_text) a whole line at a time, so that a stream of any length is
// printed in little memory and every line is encoded or drawn whole.
#ifndef TALLYJET_COMMON_TEXT_STREAM_H
#define TALLYJET_COMMON_TEXT_STREAM_H

#include <cstddef>
#include <string>

#include "tallyjet.h"

class TextStream {
 public:
  explicit TextStream(tallyjet_printer* printer) : printer_(printer) {}

  // Prints the lines that data completes and keeps the rest: the library's result.
  int Add(const char* data, size_t length);
  // Prints what is left, ending the last line.
  int Finish();

 private:
  int Print(const std::string& text);

  tallyjet_printer* printer_;
  std::string pending_;  // the start of a line whose end has not come yet
};

#endif  // TALLYJET_COMMON_TEXT_STREAM_H
