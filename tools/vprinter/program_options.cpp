#include "program_options.h"

#include <arpa/inet.h>

#include <CLI/CLI.hpp>

#include "host_port.h"
#include "settings_keys.h"

namespace vprinter {
namespace {

constexpr char kDescription[] =
    "tallyjet-vprinter: an ESC/POS receipt printer in software, for trying an application\n"
    "without a printer or paper. It decodes every command it receives and logs it, one a line,\n"
    "answers status queries from the printer state set below, models a 6000-byte receive\n"
    "buffer and, with --png, draws what it prints.\n"
    "\n"
    "It waits on a pseudo-terminal and prints the path to open (as a device node, baud 0), or,\n"
    "with --listen, on a TCP port as a network printer does and prints the port name to give\n"
    "OpenPort (socket://HOST:PORT). It takes one connection at a time; the next client waits\n"
    "until the current one closes. It runs until Ctrl-C (SIGINT), SIGTERM or SIGHUP, then\n"
    "writes the PNG.\n";

constexpr char kFooter[] =
    "\n"
    "Network: --listen PORT serves on 127.0.0.1, this machine alone. HOST:PORT serves on that\n"
    "address: [::1]:PORT on IPv6's loopback, 0.0.0.0:PORT on every interface. Port 0 takes a\n"
    "free port; the port name printed at the start says which.\n"
    "\n"
    "The state file holds lines key=value with the keys of the printer-state options\n"
    "(offline=1, late=500, version-id=2.01); # starts a comment. It is read again whenever it\n"
    "changes; its settings apply over those of the command line, so a removed line reverts.\n"
    "\n"
    "Examples:\n"
    "  tallyjet-vprinter --listen 9100 --png receipt.png\n"
    "      a network printer on 127.0.0.1:9100; print to it with the port name\n"
    "      socket://127.0.0.1:9100, stop it with Ctrl-C and look at receipt.png\n"
    "  tallyjet-vprinter --link /tmp/printer --paper-out\n"
    "      a printer without paper on a pseudo-terminal reachable as /tmp/printer\n";

// [HOST:]PORT with a numeric host (127.0.0.1 when left out; [::1] for IPv6, 0.0.0.0 for every
// interface) and a port of 0 to 65535, 0 taking a free one.
bool ParseListen(const std::string& text, Options* printer) {
  HostPort address;
  address.host = printer->listenHost;
  address.port = host_port::ParsePort(text);
  if (address.port < 0 && !ParseHostPort(text, &address)) return false;
  unsigned char numeric[sizeof(in6_addr)];
  if (inet_pton(AF_INET, address.host.c_str(), numeric) != 1 &&
      inet_pton(AF_INET6, address.host.c_str(), numeric) != 1) {
    return false;
  }
  printer->listenHost = address.host;
  printer->listenPort = address.port;
  return true;
}

void DeclareSettings(CLI::App* app, ProgramOptions* options) {
  for (const SettingKey& setting : SettingKeys()) {
    const std::string key = setting.key;
    auto apply = [key, options](const std::string& value) {
      std::string error;
      if (!ApplySetting(key, value, &options->state, &options->printer, &error)) {
        throw CLI::ValidationError("--" + key, error);
      }
    };
    CLI::Option* option =
        setting.isFlag
            ? app->add_flag_callback("--" + key, [apply] { apply("1"); }, setting.help)
            : app->add_option_function<std::string>("--" + key, apply, setting.help)
                  ->type_name(setting.value);
    option->group("Printer state");
  }
}

// Every option of the program, each writing into *options.
void Declare(CLI::App* app, ProgramOptions* options) {
  app->description(kDescription);
  app->footer(kFooter);
  app->get_formatter()->column_width(28);
  app->add_option_function<std::string>(
         "--listen",
         [options](const std::string& text) {
           if (!ParseListen(text, &options->printer)) {
             throw CLI::ValidationError("--listen", "takes [HOST:]PORT with a numeric HOST "
                                                    "and a PORT of 0 to 65535, not " + text);
           }
         },
         "serve on a TCP port instead of a pseudo-terminal (see Network below)")
      ->type_name("[HOST:]PORT");
  app->add_option("--link", options->printer.linkPath,
                  "make the pseudo-terminal reachable at PATH (a symbolic link)")
      ->type_name("PATH");
  app->add_option("--log", options->logFile,
                  "write the decoded log to FILE (default: standard output)")
      ->type_name("FILE");
  app->add_option("--raw", options->rawFile, "write every byte received to FILE")
      ->type_name("FILE");
  app->add_flag("--quiet", options->quiet, "no decoded log on standard output");
  app->add_option("--state-file", options->stateFile,
                  "watch FILE for printer-state settings while running (see below)")
      ->type_name("FILE");
  app->add_option("--png", options->pngFile,
                  "draw what is printed and write it to FILE as PNG when stopped")
      ->type_name("FILE");
  app->add_flag("--png-per-cut", options->pngPerCut,
                "one PNG per cut piece: FILE-1.png, FILE-2.png, ...");
  app->add_option("--paper", options->paperMillimetres,
                  "paper width: 80 (576 dots, the default) or 58 (384 dots)")
      ->type_name("MM")
      ->check(CLI::IsMember({80, 58}));
  app->add_option("--cutter-distance", options->cutterMillimetres,
                  "millimetres from the print head up to the cutter (default 15): a cut without "
                  "feeding first falls that far above the print position, through the last lines")
      ->type_name("MM")
      ->check(CLI::Range(0, 60));
  app->add_flag("--version", options->version, "print the version and exit");
  DeclareSettings(app, options);
}

}  // namespace

bool ParseArguments(const std::vector<std::string>& args, ProgramOptions* options,
                    std::string* error) {
  CLI::App app("", "tallyjet-vprinter");
  Declare(&app, options);
  std::vector<std::string> reversed(args.rbegin(), args.rend());  // CLI11 takes them last first
  try {
    app.parse(reversed);
  } catch (const CLI::CallForHelp&) {
    options->help = true;
  } catch (const CLI::ParseError& failure) {
    *error = failure.what();
    return false;
  }
  return true;
}

std::string VersionLine() { return std::string("tallyjet-vprinter ") + TALLYJET_VERSION; }

std::string Usage() {
  ProgramOptions unused;
  CLI::App app("", "tallyjet-vprinter");
  Declare(&app, &unused);
  return app.help();
}

}  // namespace vprinter
