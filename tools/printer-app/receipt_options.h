// The job options of a receipt printer beyond IPP's own: when to cut, how far to feed before the
// cut, when to pulse the cash drawer, and how long to wait for the printer's answers (a printer
// behind a slow link answers late). They are vendor attributes with defaults that the web page
// edits; finishings "trim" also asks for a cut after each page.
#ifndef TALLYJET_PRINTER_APP_RECEIPT_OPTIONS_H
#define TALLYJET_PRINTER_APP_RECEIPT_OPTIONS_H

#include <pappl/pappl.h>

namespace printer_app {

enum class CutAt { kEndOfJob, kEveryPage, kNever };
enum class DrawerPulse { kNever, kBeforeJob, kAfterJob };

struct ReceiptOptions {
  CutAt cut = CutAt::kEndOfJob;
  int feedBeforeCut = 64;  // dots, 0 to 255
  DrawerPulse drawer = DrawerPulse::kNever;
};

// The printer's answer wait in milliseconds as its page sets it (the default of the vendor
// attribute answer-wait, 0 to 30000), for its jobs and its status polls alike; 0 keeps the
// port's own wait.
int AnswerWaitOf(pappl_printer_t* printer);

// The options of one job from its finishings and vendor options; a value that is missing or not
// understood keeps its default.
ReceiptOptions ReadReceiptOptions(pappl_finishings_t finishings, int vendorCount,
                                  cups_option_t* vendor);

// Declares the vendor attributes with their values and defaults in the driver data and in the
// driver's printer attributes.
void DeclareReceiptOptions(pappl_pr_driver_data_t* data, ipp_t* attributes);

}  // namespace printer_app

#endif  // TALLYJET_PRINTER_APP_RECEIPT_OPTIONS_H
