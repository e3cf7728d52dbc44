#include "receipt_job.h"

#include <chrono>
#include <thread>

#include "job_order.h"
#include "port_scheme.h"
#include "print_confirmation.h"
#include "printer_status.h"
#include "receipt_driver.h"
#include "server_lifecycle.h"

namespace printer_app {
namespace {

// How often a job that waits for paper asks the printer again, and how often it looks for its
// cancellation meanwhile.
constexpr auto kWaitPoll = std::chrono::seconds(1);
constexpr auto kCancelCheck = std::chrono::milliseconds(100);
// ESC p on drawer pin 2: 50 ms on, 500 ms off, in the command's 2 ms units.
constexpr int kDrawerPin = 0, kDrawerOnUnits = 25, kDrawerOffUnits = 250;

ReceiptOptions OptionsOf(pappl_job_t* job, pappl_pr_options_t* options) {
  if (options != nullptr) {
    return ReadReceiptOptions(options->finishings, options->num_vendor, options->vendor);
  }
  pappl_pr_options_t* own = papplJobCreatePrintOptions(job, 1, false);
  const ReceiptOptions read = OptionsOf(job, own);
  papplJobDeletePrintOptions(own);
  return read;
}

// Pauses for one poll, false as soon as the job is cancelled.
bool PauseUnlessCancelled(pappl_job_t* job) {
  for (auto waited = std::chrono::milliseconds(0); waited < kWaitPoll; waited += kCancelCheck) {
    if (papplJobIsCanceled(job)) return false;
    std::this_thread::sleep_for(kCancelCheck);
  }
  return !papplJobIsCanceled(job);
}

ReceiptJob* ReceiptOf(pappl_job_t* job) { return static_cast<ReceiptJob*>(papplJobGetData(job)); }

}  // namespace

ReceiptJob::ReceiptJob(pappl_job_t* job, pappl_device_t* device, pappl_pr_options_t* options)
    : job_(job),
      printer_(papplJobGetPrinter(job)),
      device_(printer_, device, job),
      options_(OptionsOf(job, options)),
      headDots_(HeadDotsOf(papplPrinterGetDriverName(printer_))),
      pacedByFillLevel_(NeedsFillLevelPacing(papplPrinterGetDeviceURI(printer_))) {
  if (device_.get() == nullptr) Fail("Opening the printer", device_.result());
}

// The job is still processing here, so PAPPL starts nothing until the next job is lined up.
ReceiptJob::~ReceiptJob() { KeepJobsInOrder(printer_); }

bool ReceiptJob::StartPage() {
  if (failed_ || !WaitUntilPrintable()) return false;
  if (started_) return true;
  started_ = true;
  BeginSending(job_);
  // ESC @ clears whatever an earlier client left set (margins, modes).
  return Send("Printer initialisation", tallyjet_reset) &&
         (options_.drawer != DrawerPulse::kBeforeJob || Pulse());
}

bool ReceiptJob::StartRaw() {
  if (failed_ || !WaitUntilPrintable()) return false;
  started_ = true;
  BeginSending(job_);
  return true;
}

bool ReceiptJob::Send(const char* what, const std::function<int(tallyjet_printer*)>& step) {
  if (failed_) return false;
  const int rc = step(device_.get());
  if (rc != TALLYJET_SUCCESS) Fail(what, rc);
  return !failed_;
}

bool ReceiptJob::EndPage() { return !failed_ && (options_.cut != CutAt::kEveryPage || Cut()); }

bool ReceiptJob::Finish(bool cutByDocument) {
  if (failed_) return false;
  if (!started_ || papplJobIsCanceled(job_)) return true;  // nothing printed to cut
  if (options_.cut == CutAt::kEndOfJob && !cutByDocument && !Cut()) return false;
  if (options_.drawer == DrawerPulse::kAfterJob && !Pulse()) return false;
  return Confirm();
}

bool ReceiptJob::Confirm() {
  const int rc = tallyjet_wait_printed(device_.get(), ConfirmationWaitMs(printer_, paperDots_));
  if (rc == TALLYJET_SUCCESS || rc == TALLYJET_ERR_NOT_CONFIRMED) {
    NoteConfirmation(printer_, rc == TALLYJET_SUCCESS);
    if (rc == TALLYJET_ERR_NOT_CONFIRMED) {
      papplLogJob(job_, PAPPL_LOGLEVEL_WARN,
                  "The printer did not confirm the job; it is completed as sent.");
      papplJobSetMessage(job_, "Sent; this printer does not confirm printing.");
    } else {
      papplJobSetMessage(job_, "Printed.");
    }
    return true;
  }
  if (rc != TALLYJET_ERR_PRINTER_STOPPED) {
    Fail("Confirmation", rc);
    return false;
  }
  failed_ = true;
  const char* why = StopWords(PollPrinter(printer_, device_.get()));
  papplLogJob(job_, PAPPL_LOGLEVEL_ERROR,
              "The printer stopped (%s) before the job was printed; the job is aborted.", why);
  papplJobSetReasons(job_, PAPPL_JREASON_ABORTED_BY_SYSTEM | PAPPL_JREASON_PRINTER_STOPPED,
                     PAPPL_JREASON_NONE);
  papplJobSetMessage(job_, "Stopped before it printed (%s): print it again.", why);
  return false;
}

// The job stays in processing with the reason printer-stopped while it waits.
bool ReceiptJob::WaitUntilPrintable() {
  for (bool waited = false;; waited = true) {
    if (!StopsPrinting(PollPrinter(printer_, device_.get()))) {
      if (waited) {
        papplJobSetReasons(job_, PAPPL_JREASON_NONE, PAPPL_JREASON_PRINTER_STOPPED);
        papplJobSetMessage(job_, "Printing.");
        papplLogJob(job_, PAPPL_LOGLEVEL_INFO, "Printer ready again.");
      }
      return true;
    }
    if (!waited) {
      // Nothing of the job has gone out yet: a stop keeps it queued for the next start.
      if (!started_) WaitUntilSending(job_, true);
      papplJobSetReasons(job_, PAPPL_JREASON_PRINTER_STOPPED, PAPPL_JREASON_NONE);
      papplJobSetMessage(job_, "Waiting for the printer (paper, cover, on-line).");
      papplLogJob(job_, PAPPL_LOGLEVEL_WARN, "Printer cannot print; the job waits.");
    }
    if (!PauseUnlessCancelled(job_)) {
      WaitUntilSending(job_, false);
      papplJobSetReasons(job_, PAPPL_JREASON_NONE, PAPPL_JREASON_PRINTER_STOPPED);
      return false;
    }
  }
}

bool ReceiptJob::Cut() {
  const int feed = options_.feedBeforeCut;
  return Send("Cut", [feed](tallyjet_printer* printer) {
    // GS V 66 n feeds the last line past the cutter, which stands above the print head, and n
    // dots more, then cuts: with n 0 right below the last line. GS V 1 would cut through it.
    return tallyjet_make_cut_n_lines(printer, 66, feed);
  });
}

bool ReceiptJob::Pulse() {
  return Send("Cash drawer pulse", [](tallyjet_printer* printer) {
    return tallyjet_generate_pulse(printer, kDrawerPin, kDrawerOnUnits, kDrawerOffUnits);
  });
}

// A cancelled job's writes are refused on purpose: that is no failure to report. Otherwise the
// printer is asked whether it is still there, to tell a printer that went away from a step it
// refused.
void ReceiptJob::Fail(const char* what, int result) {
  failed_ = true;
  if (papplJobIsCanceled(job_)) return;
  papplLogJob(job_, PAPPL_LOGLEVEL_ERROR, "%s failed: %s.", what, tallyjet_result_name(result));
  int word = 0;
  gone_ = device_.get() == nullptr || tallyjet_get_printer_status(device_.get(), &word) != 1;
  if (gone_) {
    papplLogJob(job_, PAPPL_LOGLEVEL_ERROR, "The printer does not answer; the job stops here.");
    papplPrinterSetReasons(printer_, PAPPL_PREASON_OFFLINE, PAPPL_PREASON_NONE);
    papplJobSetReasons(job_, PAPPL_JREASON_ABORTED_BY_SYSTEM, PAPPL_JREASON_NONE);
    papplJobSetMessage(job_, "Stopped: the printer does not answer (%s failed).", what);
  } else {
    papplJobSetReasons(job_, PAPPL_JREASON_ERRORS_DETECTED, PAPPL_JREASON_NONE);
    papplJobSetMessage(job_, "Stopped: %s failed (%s).", what, tallyjet_result_name(result));
  }
}

bool StartJob(pappl_job_t* job, pappl_pr_options_t* options, pappl_device_t* device) {
  auto receipt = std::make_unique<ReceiptJob>(job, device, options);
  if (receipt->headDots() == 0 || receipt->failed()) return false;
  papplJobSetData(job, receipt.release());  // EndJob releases it
  return true;
}

bool StartPage(pappl_job_t* job, pappl_pr_options_t* options, pappl_device_t*, unsigned) {
  ReceiptJob* receipt = ReceiptOf(job);
  if (receipt == nullptr || !receipt->StartPage()) return false;
  auto raster = [receipt](const unsigned char* rows, int count) {
    receipt->AddPaper(count);
    const bool sent = receipt->Send("Raster", [&](tallyjet_printer* printer) {
      const int dots = receipt->headDots();
      return receipt->pacedByFillLevel()
                 ? tallyjet_print_raster_bit_image(printer, 0, dots, count, rows)
                 : tallyjet_print_raster_bands(printer, 0, dots, count, rows);
    });
    return sent ? TALLYJET_SUCCESS : TALLYJET_ERR_FAILED;
  };
  auto feed = [receipt](int dots) {
    receipt->AddPaper(dots);
    const bool sent = receipt->Send(
        "Feed", [dots](tallyjet_printer* printer) { return tallyjet_paper_feed(printer, dots); });
    return sent ? TALLYJET_SUCCESS : TALLYJET_ERR_FAILED;
  };
  receipt->page = std::make_unique<PageRows>(
      receipt->headDots(), static_cast<int>(options->header.cupsWidth), raster, feed);
  receipt->dither.reset(options->header.cupsBitsPerPixel == 8
                            ? new GreyDither(static_cast<int>(options->header.cupsWidth))
                            : nullptr);
  return true;
}

// PAPPL does not look at this answer: a failure ends the job at the end of the page.
bool WriteLine(pappl_job_t* job, pappl_pr_options_t*, pappl_device_t*, unsigned,
               const unsigned char* line) {
  ReceiptJob* receipt = ReceiptOf(job);
  if (receipt == nullptr || receipt->page == nullptr) return false;
  PageRows& page = *receipt->page;
  const int rc = receipt->dither ? receipt->dither->Push(line, [&page](const unsigned char* row) {
    return page.Add(row);
  })
                                 : page.Add(line);
  return rc == TALLYJET_SUCCESS;
}

bool EndPage(pappl_job_t* job, pappl_pr_options_t*, pappl_device_t*, unsigned) {
  ReceiptJob* receipt = ReceiptOf(job);
  if (receipt == nullptr || receipt->page == nullptr) return false;
  PageRows& page = *receipt->page;
  const bool sent =
      (!receipt->dither || receipt->dither->Finish([&page](const unsigned char* row) {
        return page.Add(row);
      }) == TALLYJET_SUCCESS) &&
      page.Finish() == TALLYJET_SUCCESS;
  receipt->page.reset();
  receipt->dither.reset();
  return sent && receipt->EndPage();
}

bool EndJob(pappl_job_t* job, pappl_pr_options_t*, pappl_device_t*) {
  std::unique_ptr<ReceiptJob> receipt(ReceiptOf(job));
  papplJobSetData(job, nullptr);
  return receipt != nullptr && receipt->Finish();
}

}  // namespace printer_app
