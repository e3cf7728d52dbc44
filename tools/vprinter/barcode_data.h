// What zint is given for a barcode the printer is asked for: the symbology of the GS k system,
// and the data in the form zint takes.
#ifndef VPRINTER_BARCODE_DATA_H
#define VPRINTER_BARCODE_DATA_H

#include <string>

namespace vprinter {

struct ZintInput {
  int symbology = 0;
  std::string data;
};

// System 65 to 73 (or 0 to 6 of the first form) and its data. CODE128 data open with a code-set
// selector ("{A", "{B", "{C") that zint chooses for itself: the selectors go, "{{" becomes "{",
// code set C's bytes become their two digits and the function characters {1 to {4 are dropped.
// CODE39's start and stop characters, which zint adds, go too. False for an unknown system.
bool ZintInputFor(int system, const std::string& data, ZintInput* input);

}  // namespace vprinter

#endif  // VPRINTER_BARCODE_DATA_H
