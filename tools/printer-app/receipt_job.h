// One job on a receipt printer, from its first page to its end, and PAPPL's raster callbacks
// on it. Every step goes through the job's printer handle; the first step that fails ends the
// job (nothing more is sent, so nothing prints out of order or twice) with the failure named in
// the job's log and, when the printer has gone, the printer off-line.
//
// A document filter prints through the same object:
//   ReceiptJob receipt(job, device);
//   if (!receipt.StartPage()) return false;              // waits for paper, resets the printer
//   receipt.Send("Text", [&](tallyjet_printer* printer) { return tallyjet_send_data(...); });
//   return receipt.EndPage() && receipt.Finish();        // cuts and pulses as the job asks
#ifndef TALLYJET_PRINTER_APP_RECEIPT_JOB_H
#define TALLYJET_PRINTER_APP_RECEIPT_JOB_H

#include <pappl/pappl.h>

#include <functional>
#include <memory>

#include "device_printer.h"
#include "grey_dither.h"
#include "page_rows.h"
#include "receipt_options.h"

namespace printer_app {

class ReceiptJob {
 public:
  // The job's options and its printer on the job's device (PAPPL's print options of the job
  // when the caller has none).
  ReceiptJob(pappl_job_t* job, pappl_device_t* device, pappl_pr_options_t* options = nullptr);
  // Before the job ends, lines up the printer's next job.
  ~ReceiptJob();
  ReceiptJob(const ReceiptJob&) = delete;
  ReceiptJob& operator=(const ReceiptJob&) = delete;

  pappl_job_t* job() const { return job_; }
  // Dots across the print head.
  int headDots() const { return headDots_; }
  // Whether raster for this printer waits for room in its buffer before each band.
  bool pacedByFillLevel() const { return pacedByFillLevel_; }

  // Before each page: waits while the printer cannot print (no paper, cover open, off-line);
  // before the first one, resets the printer and pulses the drawer when the job asks. False when
  // the job cannot go on (cancelled, failed, no printer).
  bool StartPage();
  // Before a raw document: waits while the printer cannot print, as StartPage, and sends
  // nothing of ours. False when the job cannot go on.
  bool StartRaw();
  // Runs one step on the printer; false when it, or an earlier step, failed.
  bool Send(const char* what, const std::function<int(tallyjet_printer*)>& step);
  // Cuts when the job cuts every page.
  bool EndPage();
  // Cuts at the end and pulses the drawer when the job asks, then waits for the printer to
  // confirm that it printed the job. False when any step failed, or the printer stopped (out of
  // paper, cover open) before it printed the job: the job is then aborted with the reason, to
  // be printed again. A printer that cannot confirm has its job completed when sent. A document
  // that cut the receipt itself (cutByDocument) gets no cut of the job's.
  bool Finish(bool cutByDocument = false);
  // Waits for the printer to confirm that it printed everything sent, as Finish does.
  bool Confirm();
  // Notes paper the job takes, in dots: how long its confirmation may take.
  void AddPaper(int dots) { paperDots_ += dots; }
  // Whether a step failed, and whether the printer then no longer answered.
  bool failed() const { return failed_; }
  bool printerGone() const { return gone_; }

  // The page being rastered, between StartPage and EndPage of a raster job, and the dither of
  // its rows when they come in 8-bit grey.
  std::unique_ptr<PageRows> page;
  std::unique_ptr<GreyDither> dither;

 private:
  bool WaitUntilPrintable();
  bool Cut();
  bool Pulse();
  void Fail(const char* what, int result);

  pappl_job_t* job_;
  pappl_printer_t* printer_;
  DevicePrinter device_;
  ReceiptOptions options_;
  int headDots_;
  bool pacedByFillLevel_;
  int paperDots_ = 0;
  bool started_ = false;
  bool failed_ = false;
  bool gone_ = false;
};

// PAPPL's raster callbacks.
bool StartJob(pappl_job_t* job, pappl_pr_options_t* options, pappl_device_t* device);
bool StartPage(pappl_job_t* job, pappl_pr_options_t* options, pappl_device_t* device,
               unsigned page);
bool WriteLine(pappl_job_t* job, pappl_pr_options_t* options, pappl_device_t* device, unsigned y,
               const unsigned char* line);
bool EndPage(pappl_job_t* job, pappl_pr_options_t* options, pappl_device_t* device, unsigned page);
bool EndJob(pappl_job_t* job, pappl_pr_options_t* options, pappl_device_t* device);

}  // namespace printer_app

#endif  // TALLYJET_PRINTER_APP_RECEIPT_JOB_H
