#include "server_state.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <vector>

namespace printer_app {
namespace {

constexpr char kJobDirective[] = "Job ";
// Where a job line keeps its state: a value's own quotes are escaped, so this only starts the
// state option itself, never a piece of a job's name.
constexpr char kStateOption[] = " state=\"";

// The job a "Job ..." line describes.
StoredJob ReadJobLine(const std::string& line) {
  cups_option_t* options = nullptr;
  const int count = cupsParseOptions(line.c_str() + sizeof kJobDirective - 1, 0, &options);
  auto option = [&](const char* name) {
    const char* value = cupsGetOption(name, count, options);
    return std::string(value != nullptr ? value : "");
  };
  StoredJob job{static_cast<ipp_jstate_t>(atoi(option("state").c_str())), option("name"),
                option("format"), option("filename"),
                atoi(option("id").c_str()) > 0 && !option("name").empty() &&
                    !option("username").empty() && !option("format").empty()};
  cupsFreeOptions(count, options);
  return job;
}

// The line with its state option set to state.
std::string WithState(const std::string& line, ipp_jstate_t state) {
  const std::string option = kStateOption + std::to_string(state) + "\"";
  const size_t at = line.find(kStateOption);
  if (at == std::string::npos) return line + option;
  const size_t end = line.find('"', at + sizeof kStateOption - 1);
  return line.substr(0, at) + option + line.substr(end + 1);
}

std::string ReadText(const std::string& path) {
  std::stringstream text;
  text << std::ifstream(path, std::ios::binary).rdbuf();
  return text.str();
}

// Replaces the file at once: a stop or a crash half-way leaves the old state, never half of it.
bool WriteText(const std::string& path, const std::string& text) {
  const std::string temporary = path + ".new";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (!(out << text) || !out.flush()) return false;
  }
  return rename(temporary.c_str(), path.c_str()) == 0;
}

bool Usable(const char* directory) { return directory != nullptr && access(directory, X_OK) == 0; }

// PAPPL writes its state in place, so a crash half-way would lose the printers after the one
// it was writing: it writes a file beside the state, which then takes the state's place at once.
bool SaveAtomically(pappl_system_t* system, const std::string& path) {
  const std::string saving = path + ".saving";
  return papplSystemSaveState(system, saving.c_str()) && rename(saving.c_str(), path.c_str()) == 0;
}

bool SaveState(pappl_system_t* system, void* path) {
  return SaveAtomically(system, static_cast<const char*>(path));
}

}  // namespace

std::string RewriteStoredJobs(const std::string& text,
                              const std::function<ipp_jstate_t(const StoredJob&)>& decide) {
  std::istringstream lines(text);
  std::string result;
  for (std::string line; std::getline(lines, line);) {
    if (line.compare(0, sizeof kJobDirective - 1, kJobDirective) == 0) {
      const StoredJob job = ReadJobLine(line);
      const ipp_jstate_t state = decide(job);
      if (state == kDropped) continue;
      if (state != job.state) line = WithState(line, state);
    }
    result += line + "\n";
  }
  return result;
}

ipp_jstate_t StateAtStart(const StoredJob& job,
                          const std::function<bool(const char*)>& processable) {
  if (!job.readable) return kDropped;
  if (job.state == IPP_JSTATE_PROCESSING) return IPP_JSTATE_ABORTED;
  if (job.state < IPP_JSTATE_PROCESSING && !processable(job.format.c_str())) {
    return IPP_JSTATE_ABORTED;
  }
  return job.state;
}

ipp_jstate_t StateAtStop(const StoredJob& job,
                         const std::function<bool(const std::string&)>& waitingUnsent) {
  if (job.state != IPP_JSTATE_PROCESSING) return job.state;
  return !job.filename.empty() && waitingUnsent(job.filename) ? IPP_JSTATE_PENDING
                                                              : IPP_JSTATE_ABORTED;
}

std::string StateFilePath(const char* baseName) {
  const std::string name = std::string("/") + baseName + ".state";
  const char* snap = getenv("SNAP_COMMON");
  const char* config = getenv("XDG_CONFIG_HOME");
  const char* home = getenv("HOME");
  if (snap != nullptr) {
    if (Usable(snap)) return snap + name;
  } else if (getuid() == 0) {
    return "/var/lib" + name;
  } else if (config != nullptr) {
    if (Usable(config)) return config + name;
  } else if (home != nullptr) {
    const std::string directory = std::string(home) + "/.config";
    if (mkdir(directory.c_str(), 0777) == 0 || errno == EEXIST) return directory + name;
  }
  // The last resort, lost at the next reboot.
  return std::string(papplGetTempDir()) + "/" + baseName + std::to_string(getuid()) + ".state";
}

void LoadServerState(pappl_system_t* system, const std::string& path,
                     const std::function<bool(const char*)>& processable) {
  const std::string text = ReadText(path);
  const std::string repaired = RewriteStoredJobs(text, [&](const StoredJob& job) {
    const ipp_jstate_t state = StateAtStart(job, processable);
    if (state == kDropped) {
      papplLog(system, PAPPL_LOGLEVEL_WARN,
               "A stored job without its id, name, owner or format "
               "('%s') is left out.",
               job.name.c_str());
    } else if (state == IPP_JSTATE_ABORTED && job.state != state) {
      papplLog(system, PAPPL_LOGLEVEL_WARN,
               job.state == IPP_JSTATE_PROCESSING
                   ? "Stored job '%s' (%s) was printing when the server ended; it is aborted."
                   : "Stored job '%s' is in a format the server cannot print (%s); it is aborted.",
               job.name.c_str(), job.format.c_str());
    }
    return state;
  });
  if (repaired != text && !WriteText(path, repaired)) {
    papplLog(system, PAPPL_LOGLEVEL_ERROR, "Unable to repair the stored jobs in '%s'.",
             path.c_str());
  }
  papplSystemLoadState(system, path.c_str());
  papplSystemSetSaveCallback(system, SaveState, const_cast<char*>(path.c_str()));
}

void SaveStateForStop(pappl_system_t* system, const std::string& path,
                      const std::function<bool(const std::string&)>& waitingUnsent) {
  if (!SaveAtomically(system, path)) return;
  const std::string text = ReadText(path);
  const std::string stored = RewriteStoredJobs(
      text, [&](const StoredJob& job) { return StateAtStop(job, waitingUnsent); });
  if (stored != text) WriteText(path, stored);
}

}  // namespace printer_app
