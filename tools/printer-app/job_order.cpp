#include "job_order.h"

#include <algorithm>
#include <mutex>

namespace printer_app {
namespace {

// The mark of a job the order holds; PAPPL itself never sets it.
constexpr pappl_jreason_t kInLine = PAPPL_JREASON_JOB_QUEUED;
// How the order holds a job: "indefinite" keeps it out of Release-Held-New-Jobs, which would
// release every held job at once.
constexpr char kHoldUntil[] = "indefinite";

struct ActiveJob {
  pappl_job_t* job;
  QueuedJob queued;
  bool marked;  // whether it bears the order's mark
};

// A job the printer holds while it holds new jobs (held, its document in, no hold asked for)
// waits for its turn as a pending one does: Release-Held-New-Jobs would otherwise release all
// of them at once, and the newest would print first.
QueuedJob::Kind KindOf(pappl_job_t* job, pappl_jreason_t reasons) {
  switch (papplJobGetState(job)) {
    case IPP_JSTATE_PENDING:
      return QueuedJob::Kind::kPending;
    case IPP_JSTATE_HELD:
      if ((reasons & kInLine) != 0) return QueuedJob::Kind::kHeldInLine;
      if ((reasons & PAPPL_JREASON_JOB_HOLD_UNTIL_SPECIFIED) == 0 &&
          papplJobGetFilename(job) != nullptr) {
        return QueuedJob::Kind::kPending;
      }
      return QueuedJob::Kind::kOther;
    default:
      return QueuedJob::Kind::kOther;
  }
}

void CollectJob(pappl_job_t* job, void* data) {
  const pappl_jreason_t reasons = papplJobGetReasons(job);
  static_cast<std::vector<ActiveJob>*>(data)->push_back(
      {job, {papplJobGetID(job), KindOf(job, reasons)}, (reasons & kInLine) != 0});
}

pappl_job_t* JobWithId(const std::vector<ActiveJob>& jobs, int id) {
  for (const ActiveJob& active : jobs) {
    if (active.queued.id == id) return active.job;
  }
  return nullptr;
}

}  // namespace

QueueSteps PlanQueue(const std::vector<QueuedJob>& jobs) {
  QueueSteps steps;
  const QueuedJob* first = nullptr;
  for (const QueuedJob& job : jobs) {
    if (job.kind != QueuedJob::Kind::kOther && (first == nullptr || job.id < first->id)) {
      first = &job;
    }
  }
  if (first == nullptr) return steps;
  if (first->kind == QueuedJob::Kind::kHeldInLine) steps.release = first->id;
  for (const QueuedJob& job : jobs) {
    if (job.kind == QueuedJob::Kind::kPending && job.id != first->id) steps.hold.push_back(job.id);
  }
  std::sort(steps.hold.begin(), steps.hold.end());
  return steps;
}

void KeepJobsInOrder(pappl_printer_t* printer) {
  static std::mutex ordering;  // one pass at a time, so two never undo each other's steps
  std::lock_guard<std::mutex> lock(ordering);
  std::vector<ActiveJob> jobs;
  papplPrinterIterateActiveJobs(printer, CollectJob, &jobs, 1, 0);
  std::vector<QueuedJob> queued;
  for (const ActiveJob& active : jobs) {
    queued.push_back(active.queued);
    // A user released it: it no longer waits for the order, and a later hold of theirs is theirs.
    if (active.marked && active.queued.kind == QueuedJob::Kind::kPending) {
      papplJobSetReasons(active.job, 0, kInLine);
    }
  }
  const QueueSteps steps = PlanQueue(queued);
  for (int id : steps.hold) {
    pappl_job_t* job = JobWithId(jobs, id);
    // A job that started meanwhile cannot be held, and is left alone.
    if (papplJobHold(job, nullptr, kHoldUntil, 0)) papplJobSetReasons(job, kInLine, 0);
  }
  if (steps.release != 0) {
    pappl_job_t* job = JobWithId(jobs, steps.release);
    papplJobSetReasons(job, 0, kInLine);
    papplJobRelease(job, nullptr);
  }
}

}  // namespace printer_app
