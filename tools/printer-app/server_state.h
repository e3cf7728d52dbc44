// The server's state file (its printers, their settings and their jobs) between runs, and what
// becomes of the stored jobs on the way in and out: a job is taken up again after a restart only
// when nothing of it can have reached the paper, so that nothing prints twice, and a job the
// server cannot process is aborted as the server starts instead of being tried on every start.
#ifndef TALLYJET_PRINTER_APP_SERVER_STATE_H
#define TALLYJET_PRINTER_APP_SERVER_STATE_H

#include <pappl/pappl.h>

#include <functional>
#include <string>

namespace printer_app {

// What a stored job line says of its job.
struct StoredJob {
  ipp_jstate_t state;
  std::string name;
  std::string format;    // the document's MIME type
  std::string filename;  // the spooled document, "" when none was kept
};

// The state file's text with each stored job's state replaced by what decide answers for it;
// every other line, and every job whose state stays, as it was.
std::string RewriteStoredJobs(const std::string& text,
                              const std::function<ipp_jstate_t(const StoredJob&)>& decide);

// The state a stored job takes when the server starts: one that was processing when the server
// ended unexpectedly may have printed in part and is aborted, as is one waiting in a format that
// no filter of the server processes.
ipp_jstate_t StateAtStart(const StoredJob& job,
                          const std::function<bool(const char*)>& processable);

// The state a job is stored in when the server stops: a processing job that was waiting for its
// printer before any of it was sent (waitingUnsent answers that for its document) is pending
// again and prints after the restart; any other processing job may have printed in part and is
// aborted.
ipp_jstate_t StateAtStop(const StoredJob& job,
                         const std::function<bool(const std::string&)>& waitingUnsent);

// Where the state is kept, as PAPPL's main loop would keep it: $SNAP_COMMON, /var/lib for root,
// $XDG_CONFIG_HOME, ~/.config, else the temporary directory.
std::string StateFilePath(const char* baseName);

// Repairs the stored jobs for a start (logging each job aborted), loads the state into the
// system and saves it back to path, which must outlive the system, whenever it changes. Call
// before the system runs.
void LoadServerState(pappl_system_t* system, const std::string& path,
                     const std::function<bool(const char*)>& processable);

// Saves the state now, for a stop, each processing job stored as StateAtStop decides.
void SaveStateForStop(pappl_system_t* system, const std::string& path,
                      const std::function<bool(const std::string&)>& waitingUnsent);

}  // namespace printer_app

#endif  // TALLYJET_PRINTER_APP_SERVER_STATE_H
