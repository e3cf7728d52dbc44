// The server's start and stop. At the start the stored jobs are repaired and loaded, and the
// restored ones are started once the server runs. SIGTERM, SIGINT or a Shutdown-System request
// stop the server within about a second, whatever its jobs are doing: the state is saved with
// each job that has not yet sent anything to its printer kept for the next start (PAPPL's own
// stop would wait up to a minute for every queued job), and the process ends.
#ifndef TALLYJET_PRINTER_APP_SERVER_LIFECYCLE_H
#define TALLYJET_PRINTER_APP_SERVER_LIFECYCLE_H

#include <pappl/pappl.h>

namespace printer_app {

// Loads the server's state and arranges its start and stop. Call once, before the system runs,
// only for the server itself.
void PrepareServer(pappl_system_t* system, const char* baseName);

// Called by a job before the first byte of it goes to its printer. While the server stops it
// does not return: the job stays processing, its document kept, and is stored as pending.
void BeginSending(pappl_job_t* job);

}  // namespace printer_app

#endif  // TALLYJET_PRINTER_APP_SERVER_LIFECYCLE_H
