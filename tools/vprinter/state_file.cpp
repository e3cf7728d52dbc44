#include "state_file.h"

#include <fstream>
#include <sstream>

#include "settings_keys.h"

namespace vprinter {
namespace {

std::string Trimmed(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

bool SameStamp(const struct stat& a, const struct stat& b) {
  return a.st_ino == b.st_ino && a.st_size == b.st_size && a.st_mtim.tv_sec == b.st_mtim.tv_sec &&
         a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
}

}  // namespace

std::vector<std::string> ApplyStateText(const std::string& text, PrinterState* state,
                                        Options* options) {
  std::vector<std::string> errors;
  std::istringstream lines(text);
  std::string line;
  for (int number = 1; std::getline(lines, line); ++number) {
    line = Trimmed(line.substr(0, line.find('#')));
    if (line.empty()) continue;
    const size_t equals = line.find('=');
    std::string error = "key=value expected";
    if (equals != std::string::npos &&
        ApplySetting(Trimmed(line.substr(0, equals)), Trimmed(line.substr(equals + 1)), state,
                     options, &error)) {
      continue;
    }
    errors.push_back("line " + std::to_string(number) + ": " + error);
  }
  return errors;
}

StateFile::StateFile(std::string path, const PrinterState& base, const Options& baseOptions)
    : path_(std::move(path)), base_(base), baseOptions_(baseOptions) {}

bool StateFile::Changed(PrinterState* state, Options* options, std::vector<std::string>* errors) {
  struct stat now = {};
  const bool exists = stat(path_.c_str(), &now) == 0;
  if (seen_ && exists == existed_ && (!exists || SameStamp(now, stamp_))) return false;
  seen_ = true;
  existed_ = exists;
  stamp_ = now;
  *state = base_;
  *options = baseOptions_;
  if (!exists) return true;
  std::ifstream file(path_);
  std::stringstream text;
  text << file.rdbuf();
  *errors = ApplyStateText(text.str(), state, options);
  return true;
}

}  // namespace vprinter
