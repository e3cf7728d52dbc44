// The command line of tallyjet-vprinter.
#ifndef VPRINTER_PROGRAM_OPTIONS_H
#define VPRINTER_PROGRAM_OPTIONS_H

#include <string>
#include <vector>

#include "printer_state.h"
#include "virtual_printer.h"

namespace vprinter {

struct ProgramOptions {
  Options printer;
  PrinterState state;
  std::string stateFile;   // watched while running; empty for none
  std::string logFile;     // decoded log; empty for standard output
  std::string rawFile;     // raw capture; empty for none
  std::string pngFile;     // rendered roll; empty for no rendering
  bool pngPerCut = false;  // one PNG file per cut piece instead of one for the roll
  int paperMillimetres = 80;
  int cutterMillimetres = 15;  // from the print head up to the cutter
  bool quiet = false;  // no decoded log on standard output
  bool help = false;
  bool version = false;  // print the version and stop
};

// Parses the arguments after the program name. False with *error set on a bad one.
bool ParseArguments(const std::vector<std::string>& args, ProgramOptions* options,
                    std::string* error);

std::string Usage();

// "tallyjet-vprinter VERSION", the version of the library built beside it.
std::string VersionLine();

}  // namespace vprinter

#endif  // VPRINTER_PROGRAM_OPTIONS_H
