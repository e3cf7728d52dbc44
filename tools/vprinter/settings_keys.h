// The printer-state settings shared by the command line (--paper-out, --late 500) and the state
// file (paper-out=1, late=500).
#ifndef VPRINTER_SETTINGS_KEYS_H
#define VPRINTER_SETTINGS_KEYS_H

#include <string>
#include <vector>

#include "printer_state.h"
#include "virtual_printer.h"

namespace vprinter {

struct SettingKey {
  const char* key;
  bool isFlag;        // on the command line a flag takes no value
  const char* value;  // how the help names the value: N or TEXT; empty for a flag
  const char* help;
};

// Every setting, in the order the help lists them.
std::vector<SettingKey> SettingKeys();

// Applies key=value to the state or the rates in options. Flags take 1/0, true/false, yes/no,
// on/off; numbers are decimal or 0x hexadecimal. False with *error set for a bad value or key.
bool ApplySetting(const std::string& key, const std::string& value, PrinterState* state,
                  Options* options, std::string* error);

}  // namespace vprinter

#endif  // VPRINTER_SETTINGS_KEYS_H
