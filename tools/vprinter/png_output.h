// The rendered roll written as PNG files.
#ifndef VPRINTER_PNG_OUTPUT_H
#define VPRINTER_PNG_OUTPUT_H

#include <string>

#include "paper_roll.h"

namespace vprinter {

// The file of the n-th piece (from 1) when each cut makes one: FILE.png becomes FILE-n.png.
std::string PiecePath(const std::string& path, int n);

// Writes the roll to path, or each piece between cuts to its PiecePath. False with *error set
// when a file cannot be written.
bool WritePng(const PaperRoll& roll, const std::string& path, bool perCut, std::string* error);

}  // namespace vprinter

#endif  // VPRINTER_PNG_OUTPUT_H
