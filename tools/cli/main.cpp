// tallyjet: print, check and manage an ESC/POS receipt printer from a shell.
#include <CLI/CLI.hpp>
#include <cstdio>

#include "failure.h"
#include "program.h"
#include "tallyjet.h"

namespace {

// The first word of the command line that is neither an option nor an option's value: the
// subcommand the user meant, when it is none of ours.
std::string FirstWord(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string word = argv[i];
    if (word == "-p" || word == "--port" || word == "--baud") {
      ++i;
    } else if (word.empty() || word[0] != '-') {
      return word;
    }
  }
  return "";
}

bool IsCommand(CLI::App& app, const std::string& word) {
  return !app.get_subcommands([&](CLI::App* command) { return command->get_name() == word; })
              .empty();
}

// One line for a command line CLI11 refused; the exit code.
int Refused(CLI::App& app, const CLI::ParseError& e, int argc, char** argv) {
  const std::string word = FirstWord(argc, argv);
  if (app.get_subcommands().empty() && !word.empty() && !IsCommand(app, word)) {
    Complain("unknown command '" + word + "' (see tallyjet --help)");
  } else if (app.get_subcommands().empty()) {
    Complain("no command given (see tallyjet --help)");
  } else {
    Complain(std::string(e.what()) + " (see tallyjet " +
             app.get_subcommands().front()->get_name() + " --help)");
  }
  return kExitUsage;
}

}  // namespace

int main(int argc, char** argv) {
  Program program;
  CLI::App app("Print, check and manage an ESC/POS receipt printer.", "tallyjet");
  app.footer(
      "Exit codes: 0 done, 1 failed, 2 bad options; 3 to 7 the printer's state, from status and\n"
      "from print, image, barcode and qr when the printer cannot print or stopped before the job\n"
      "printed; 8 the printer did not confirm the job (see tallyjet(1)).");
  app.set_version_flag("--version", std::string("tallyjet ") + tallyjet_version());
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
  AddReceiptCommand(app, program);
  AddImageCommand(app, program);
  AddSymbolCommands(app, program);
  AddPaperCommands(app, program);
  AddLogoCommands(app, program);
  AddPortsCommand(app, program);

  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForAllHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForVersion& e) {
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    return Refused(app, e, argc, argv);
  }
  return program.exitCode;
}
