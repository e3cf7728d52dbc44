// The printer-state settings shared by the command line (--paper-out, --late 500) and the state
// file (paper-out=1, late=500).
#ifndef VPRINTER_SETTINGS_KEYS_H
#define VPRINTER_SETTINGS_KEYS_H

#include <string>

#include "printer_state.h"
#include "virtual_printer.h"

namespace vprinter {

// Whether key names a setting, and whether that setting is a flag (which on the command line
// takes no value).
bool IsSettingKey(const std::string& key, bool* isFlag);

// Applies key=value to the state or the rates in options. Flags take 1/0, true/false, yes/no,
// on/off; numbers are decimal or 0x hexadecimal. False with *error set for a bad value or key.
bool ApplySetting(const std::string& key, const std::string& value, PrinterState* state,
                  Options* options, std::string* error);

// One line per setting for --help.
std::string SettingsHelp();

}  // namespace vprinter

#endif  // VPRINTER_SETTINGS_KEYS_H
