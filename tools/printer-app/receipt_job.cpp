#include "receipt_job.h"

#include <unistd.h>

#include <functional>
#include <memory>

#include "grey_dither.h"
#include "library_session.h"
#include "page_rows.h"
#include "port_scheme.h"
#include "printer_status.h"
#include "receipt_driver.h"
#include "receipt_options.h"

namespace printer_app {
namespace {

// How often a job that waits for paper asks the printer again.
constexpr unsigned kWaitPollSeconds = 1;
// ESC p on drawer pin 2: 50 ms on, 500 ms off, in the command's 2 ms units.
constexpr int kDrawerPin = 0, kDrawerOnUnits = 25, kDrawerOffUnits = 250;

struct ReceiptJob {
  ReceiptOptions options;
  int headDots = 0;
  bool pacedByFillLevel = false;
  std::unique_ptr<PageRows> page;
  std::unique_ptr<GreyDither> dither;  // for pages in 8-bit grey
};

ReceiptJob* JobOf(pappl_job_t* job) { return static_cast<ReceiptJob*>(papplJobGetData(job)); }

// Runs commands through the library on the job's device; false, with the failure in the job's
// log, when the connection or a command fails.
bool Send(pappl_job_t* job, pappl_device_t* device, const char* what,
          const std::function<int()>& commands) {
  DeviceSession session(device);
  const int rc = session.result() == TALLYJET_SUCCESS ? commands() : session.result();
  if (rc == TALLYJET_SUCCESS) return true;
  papplLogJob(job, PAPPL_LOGLEVEL_ERROR, "%s failed: %s.", what, tallyjet_result_name(rc));
  return false;
}

bool Pulse(pappl_job_t* job, pappl_device_t* device) {
  return Send(job, device, "Cash drawer pulse",
              [] { return GeneratePulse(kDrawerPin, kDrawerOnUnits, kDrawerOffUnits); });
}

bool Cut(pappl_job_t* job, pappl_device_t* device, int feed) {
  return Send(job, device, "Cut", [feed] {
    // GS V 66 n feeds n dots past the cutter and cuts; GS V 1 cuts where the paper stands.
    return feed > 0 ? MakeCutnLines(66, feed) : MakeCut(1);
  });
}

// Asks the printer until it can print; false when the job is cancelled or the server stops
// first. The job stays in processing with the reason printer-stopped while it waits.
bool WaitUntilPrintable(pappl_job_t* job, pappl_device_t* device) {
  pappl_printer_t* printer = papplJobGetPrinter(job);
  for (bool waited = false;; waited = true) {
    const pappl_preason_t reasons = PollPrinter(printer, device);
    if (!StopsPrinting(reasons)) {
      if (waited) {
        papplJobSetReasons(job, PAPPL_JREASON_NONE, PAPPL_JREASON_PRINTER_STOPPED);
        papplJobSetMessage(job, "Printing.");
        papplLogJob(job, PAPPL_LOGLEVEL_INFO, "Printer ready again.");
      }
      return true;
    }
    if (papplJobIsCanceled(job) || papplSystemIsShutdown(papplPrinterGetSystem(printer))) {
      return false;
    }
    if (!waited) {
      papplJobSetReasons(job, PAPPL_JREASON_PRINTER_STOPPED, PAPPL_JREASON_NONE);
      papplJobSetMessage(job, "Waiting for the printer (paper, cover, on-line).");
      papplLogJob(job, PAPPL_LOGLEVEL_WARN, "Printer cannot print; the job waits.");
    }
    sleep(kWaitPollSeconds);
  }
}

// Sends rows as raster bands: one after the other where the device holds back the writes, else
// each band once the printer reports room for it.
int SendRows(const ReceiptJob& state, const unsigned char* rows, int count) {
  return state.pacedByFillLevel ? PrintRasterBitImage(0, state.headDots, count, rows)
                                : tallyjet_PrintRasterBands(0, state.headDots, count, rows);
}

}  // namespace

bool StartJob(pappl_job_t* job, pappl_pr_options_t* options, pappl_device_t* device) {
  pappl_printer_t* printer = papplJobGetPrinter(job);
  auto state = std::make_unique<ReceiptJob>();
  state->options = ReadReceiptOptions(options->finishings, options->num_vendor, options->vendor);
  state->headDots = HeadDotsOf(papplPrinterGetDriverName(printer));
  state->pacedByFillLevel = NeedsFillLevelPacing(papplPrinterGetDeviceURI(printer));
  if (state->headDots == 0) return false;
  // ESC @ clears whatever an earlier client left set (margins, modes).
  if (!Send(job, device, "Printer initialisation", [] { return Reset(); })) return false;
  if (state->options.drawer == DrawerPulse::kBeforeJob && !Pulse(job, device)) return false;
  papplJobSetData(job, state.release());  // EndJob releases it
  return true;
}

bool StartPage(pappl_job_t* job, pappl_pr_options_t* options, pappl_device_t* device, unsigned) {
  ReceiptJob* state = JobOf(job);
  if (state == nullptr || !WaitUntilPrintable(job, device)) return false;
  auto raster = [job, device, state](const unsigned char* rows, int count) {
    int rc = TALLYJET_SUCCESS;
    Send(job, device, "Raster", [&] { return rc = SendRows(*state, rows, count); });
    return rc;
  };
  auto feed = [job, device](int dots) {
    int rc = TALLYJET_SUCCESS;
    Send(job, device, "Feed", [&] { return rc = PaperFeed(dots); });
    return rc;
  };
  state->page = std::make_unique<PageRows>(state->headDots,
                                           static_cast<int>(options->header.cupsWidth), raster,
                                           feed);
  state->dither.reset(options->header.cupsBitsPerPixel == 8
                          ? new GreyDither(static_cast<int>(options->header.cupsWidth))
                          : nullptr);
  return true;
}

bool WriteLine(pappl_job_t* job, pappl_pr_options_t*, pappl_device_t*, unsigned,
               const unsigned char* line) {
  ReceiptJob* state = JobOf(job);
  if (state == nullptr || state->page == nullptr) return false;
  PageRows& page = *state->page;
  const int rc = state->dither ? state->dither->Push(line, [&page](const unsigned char* row) {
    return page.Add(row);
  })
                               : page.Add(line);
  return rc == TALLYJET_SUCCESS;
}

bool EndPage(pappl_job_t* job, pappl_pr_options_t*, pappl_device_t* device, unsigned) {
  ReceiptJob* state = JobOf(job);
  if (state == nullptr || state->page == nullptr) return false;
  PageRows& page = *state->page;
  const bool sent =
      (!state->dither || state->dither->Finish([&page](const unsigned char* row) {
        return page.Add(row);
      }) == TALLYJET_SUCCESS) &&
      page.Finish() == TALLYJET_SUCCESS;
  state->page.reset();
  if (!sent) return false;
  return state->options.cut != CutAt::kEveryPage || Cut(job, device, state->options.feedBeforeCut);
}

bool EndJob(pappl_job_t* job, pappl_pr_options_t*, pappl_device_t* device) {
  std::unique_ptr<ReceiptJob> state(JobOf(job));
  papplJobSetData(job, nullptr);
  if (state == nullptr) return false;
  if (papplJobIsCanceled(job)) return true;  // no cut or drawer pulse for what was not printed
  bool done = true;
  if (state->options.cut == CutAt::kEndOfJob) {
    done = Cut(job, device, state->options.feedBeforeCut);
  }
  if (done && state->options.drawer == DrawerPulse::kAfterJob) done = Pulse(job, device);
  return done;
}

}  // namespace printer_app
