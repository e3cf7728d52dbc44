// tallyjet: print, check and manage an ESC/POS receipt printer from a shell.
#include <CLI/CLI.hpp>

#include "program.h"

int main(int argc, char** argv) {
  Program program;
  CLI::App app("Print, check and manage an ESC/POS receipt printer.", "tallyjet");
  app.footer("Exit codes: 0 done, 1 failed, 2 bad options; status adds 3 to 7 (see tallyjet(1)).");
  app.add_option("-p,--port", program.port.port,
                 "USB, a serial or printer device path, or socket://HOST[:PORT]")
      ->envname("TALLYJET_PORT")
      ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
  app.add_option("--baud", program.port.baud, "serial line rate; 0 (default) for a device node")
      ->check(CLI::IsMember({0, 9600, 19200, 115200}));
  app.require_subcommand(1);
  app.fallthrough();  // the port options may also follow the subcommand

  AddStatusCommand(app, program);
  AddTextCommands(app, program);
  AddImageCommand(app, program);
  AddSymbolCommands(app, program);
  AddPaperCommands(app, program);
  AddLogoCommands(app, program);
  AddPortsCommand(app, program);

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    return app.exit(e) == 0 ? kExitOk : kExitUsage;
  }
  return program.exitCode;
}
