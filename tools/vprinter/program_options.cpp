#include "program_options.h"

#include "settings_keys.h"

namespace vprinter {
namespace {

std::string* FileOption(const std::string& name, ProgramOptions* options) {
  if (name == "link") return &options->printer.linkPath;
  if (name == "log") return &options->logFile;
  if (name == "raw") return &options->rawFile;
  if (name == "state-file") return &options->stateFile;
  if (name == "png") return &options->pngFile;
  return nullptr;
}

bool* SwitchOption(const std::string& name, ProgramOptions* options) {
  if (name == "quiet") return &options->quiet;
  if (name == "png-per-cut") return &options->pngPerCut;
  if (name == "help") return &options->help;
  return nullptr;
}

bool ParsePaper(const std::string& value, ProgramOptions* options, std::string* error) {
  if (value != "80" && value != "58") {
    *error = "--paper takes 80 or 58, not " + value;
    return false;
  }
  options->paperMillimetres = std::stoi(value);
  return true;
}

}  // namespace

bool ParseArguments(const std::vector<std::string>& args, ProgramOptions* options,
                    std::string* error) {
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i].compare(0, 2, "--") != 0) {
      *error = "unexpected argument " + args[i];
      return false;
    }
    const std::string name = args[i].substr(2);
    bool isFlag = false;
    if (bool* on = SwitchOption(name, options)) {
      *on = true;
      continue;
    }
    const bool setting = IsSettingKey(name, &isFlag);
    if (setting && isFlag) {
      if (!ApplySetting(name, "1", &options->state, &options->printer, error)) return false;
      continue;
    }
    std::string* file = FileOption(name, options);
    const bool paper = name == "paper";
    if (!setting && file == nullptr && !paper) {
      *error = "unknown option " + args[i];
      return false;
    }
    if (i + 1 == args.size()) {
      *error = args[i] + " needs a value";
      return false;
    }
    const std::string& value = args[++i];
    if (paper) {
      if (!ParsePaper(value, options, error)) return false;
    } else if (file != nullptr) {
      *file = value;
    } else if (!ApplySetting(name, value, &options->state, &options->printer, error)) {
      return false;
    }
  }
  return true;
}

std::string Usage() {
  return "Usage: tallyjet-vprinter [OPTION]...\n"
         "An ESC/POS receipt printer on a pseudo-terminal. Prints the path of the printer's\n"
         "line, then logs every command it receives, decoded, one a line, and answers status\n"
         "queries from the state below. Runs until SIGINT or SIGTERM; then writes the\n"
         "rendered receipt when --png asks for it.\n"
         "\n"
         "  --link PATH             make the line reachable at PATH (a symbolic link)\n"
         "  --log FILE              write the decoded log to FILE (default: standard output)\n"
         "  --raw FILE              write every byte received to FILE\n"
         "  --quiet                 no decoded log on standard output\n"
         "  --state-file FILE       watch FILE for settings while running; see below\n"
         "  --png FILE              draw what is printed and write it to FILE as PNG\n"
         "  --png-per-cut           one PNG per cut piece: FILE-1.png, FILE-2.png, ...\n"
         "  --paper MM              paper width: 80 (576 dots, the default) or 58 (384 dots)\n"
         "  --help                  show this help\n"
         "\n"
         "Printer state:\n" +
         SettingsHelp() +
         "\n"
         "The state file holds lines key=value with the keys of the state options (offline=1,\n"
         "late=500, version-id=2.01); # starts a comment. It is read again whenever it changes;\n"
         "its settings apply over those of the command line, so a removed line reverts.\n";
}

}  // namespace vprinter
