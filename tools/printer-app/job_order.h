// Jobs on a printer print in the order they were accepted. PAPPL starts the newest of its
// pending jobs first, so the server keeps at most one job of each printer pending, the oldest:
// the others wait held, marked "job-queued", and the next of them is released as a job ends.
// Jobs a user held stay as they are and, once released, take their place by age again; of the
// jobs a printer held as it held new jobs, only the oldest is left to its release.
#ifndef TALLYJET_PRINTER_APP_JOB_ORDER_H
#define TALLYJET_PRINTER_APP_JOB_ORDER_H

#include <pappl/pappl.h>

#include <vector>

namespace printer_app {

// A job as the order sees it: waiting to print (pending, or held with the printer's new jobs),
// held by the order, or anything else (processing, held by a user, still arriving).
struct QueuedJob {
  enum class Kind { kPending, kHeldInLine, kOther };
  int id;
  Kind kind;
};

// What brings a printer's jobs into line: the ids to hold and the one to release (0 for none).
struct QueueSteps {
  std::vector<int> hold;
  int release = 0;
};

// The steps for the active jobs of one printer, in any order.
QueueSteps PlanQueue(const std::vector<QueuedJob>& jobs);

// Brings the printer's jobs into line. Safe from any thread that holds no PAPPL lock: a job's
// end, the server's timer.
void KeepJobsInOrder(pappl_printer_t* printer);

}  // namespace printer_app

#endif  // TALLYJET_PRINTER_APP_JOB_ORDER_H
