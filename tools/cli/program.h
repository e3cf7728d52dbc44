// What every subcommand shares: where its bytes go and the exit code of the run.
#ifndef TALLYJET_CLI_PROGRAM_H
#define TALLYJET_CLI_PROGRAM_H

#include <string>

#include "exit_codes.h"

namespace CLI {
class App;
}

struct PortOptions {
  std::string port;     // as tallyjet_open takes it: "USB", a device path, socket://HOST[:PORT]
  int baud = 0;         // 0 for a device node, else the serial line's rate
  std::string preview;  // a PNG file: draw what would be printed there instead of printing
  int paper = 80;       // the paper's width in mm, 80 or 58: what is laid out and previewed for
  bool force = false;   // print without asking first whether the printer can
  bool noWait = false;  // do not wait for the printer to confirm the job printed
  double waitSeconds = 0;  // how long to wait for the confirmation; 0 for the job's default
};

struct Program {
  PortOptions port;
  int exitCode = kExitOk;
};

// Each adds its subcommands to app; their callbacks leave the exit code in program.
void AddStatusCommand(CLI::App& app, Program& program);
void AddTextCommands(CLI::App& app, Program& program);
void AddReceiptCommand(CLI::App& app, Program& program);
void AddImageCommand(CLI::App& app, Program& program);
void AddSymbolCommands(CLI::App& app, Program& program);
void AddPaperCommands(CLI::App& app, Program& program);
void AddLogoCommands(CLI::App& app, Program& program);
void AddPortsCommand(CLI::App& app, Program& program);

// --preview FILE.png for a subcommand that prints; with force also --force, for those that ask
// the printer's status before they print.
void AddPrintingOptions(CLI::App* command, PortOptions* port, bool force);

#endif  // TALLYJET_CLI_PROGRAM_H
