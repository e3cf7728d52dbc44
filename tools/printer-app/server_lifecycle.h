// The server's start and stop. At the start the stored jobs are repaired and loaded, and the
// restored ones are started once the server runs. SIGTERM, SIGINT or a Shutdown-System request
// stop the server within about a second, whatever its jobs are doing (PAPPL's own stop waits up
// to a minute for every queued job): the state is saved with the queued jobs, and each job that
// was waiting for its printer before sending anything, kept for the next start; any other job
// that was processing is stored aborted, as it may have printed in part. Then the process ends.
#ifndef TALLYJET_PRINTER_APP_SERVER_LIFECYCLE_H
#define TALLYJET_PRINTER_APP_SERVER_LIFECYCLE_H

#include <pappl/pappl.h>

namespace printer_app {

// Loads the server's state and arranges its start and stop. Call once, before the system runs,
// only for the server itself.
void PrepareServer(pappl_system_t* system, const char* baseName);

// Marks a job that waits for its printer before any of it was sent, or no longer does.
void WaitUntilSending(pappl_job_t* job, bool waiting);

// Called by a job before the first byte of it goes to its printer, after its wait. While the
// server stops it does not return: the job stays processing, its document kept, and is stored
// as pending.
void BeginSending(pappl_job_t* job);

}  // namespace printer_app

#endif  // TALLYJET_PRINTER_APP_SERVER_LIFECYCLE_H
