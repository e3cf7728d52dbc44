// The log line of a decoded command: its mnemonic with parameters, two spaces, what it does;
// e.g. "ESC ! 0x88  print mode: emphasis underline" or "TEXT "Café" (cp850)".
#ifndef VPRINTER_COMMAND_LOG_H
#define VPRINTER_COMMAND_LOG_H

#include <string>

#include "command.h"
#include "printer_settings.h"

namespace vprinter {

// settings are those in force when the command arrived (text is shown through their code table).
std::string Describe(const Command& command, const PrinterSettings& settings);

// Bytes as upper-case hexadecimal pairs separated by spaces, at most limit of them followed by
// "..." when there are more.
std::string HexBytes(const std::string& bytes, size_t limit);

}  // namespace vprinter

#endif  // VPRINTER_COMMAND_LOG_H
