// The pieces the log lines are made of, and the describers of the command groups that have a
// file of their own.
#ifndef VPRINTER_COMMAND_LOG_PARTS_H
#define VPRINTER_COMMAND_LOG_PARTS_H

#include <cstdio>
#include <initializer_list>
#include <string>

#include "code_table.h"
#include "command.h"

namespace vprinter {

inline std::string Line(const std::string& head, const std::string& what) {
  return head + "  " + what;
}

// The mnemonic followed by the parameter bytes in decimal.
inline std::string Head(const char* mnemonic, const Command& c) {
  std::string head = mnemonic;
  for (int param : c.params) head += " " + std::to_string(param);
  return head;
}

inline std::string HexByte(int value) {
  char text[8];
  snprintf(text, sizeof text, "0x%02X", value);
  return text;
}

inline std::string OnOff(int n) { return (n & 1) != 0 ? "on" : "off"; }

// The name of selector n (0, 1, ... or "0", "1", ...) from the list.
inline std::string Pick(int n, std::initializer_list<const char*> names) {
  const int i = Selector(n);
  if (i >= 0 && i < static_cast<int>(names.size())) return names.begin()[i];
  return "? (" + std::to_string(n) + ")";
}

inline std::string Quoted(const std::string& bytes) {
  return "\"" + QuoteText(bytes, kNoCodeTable) + "\"";
}

inline std::string Dots(const char* what, int dots) {
  return std::string(what) + ": " + std::to_string(dots) + " dots";
}

// GS ( L and GS 8 L (graphics_log.cpp); mnemonic tells which.
std::string GraphicsLine(const char* mnemonic, const Command& c);
// GS ( k (graphics_log.cpp).
std::string SymbolLine(const Command& c);
// Status, real-time, Kanji and character-set commands and those only accepted
// (control_log.cpp); empty for another command.
std::string ControlLine(const Command& c);

}  // namespace vprinter

#endif  // VPRINTER_COMMAND_LOG_PARTS_H
