// What the printer says about itself, as IPP printer state reasons.
#ifndef TALLYJET_PRINTER_APP_PRINTER_STATUS_H
#define TALLYJET_PRINTER_APP_PRINTER_STATUS_H

#include <pappl/pappl.h>

#include "tallyjet.h"

namespace printer_app {

// The reasons this application sets and clears; PAPPL and the user keep the others.
constexpr pappl_preason_t kReportedReasons = PAPPL_PREASON_MEDIA_EMPTY | PAPPL_PREASON_MEDIA_LOW |
                                             PAPPL_PREASON_COVER_OPEN | PAPPL_PREASON_OFFLINE |
                                             PAPPL_PREASON_OTHER;

// The reasons from the library's printer and media status words and the results that came with
// them. A printer that did not answer is off-line. An open cover is cover-open: PAPPL 1.3 sends
// no door-open reason to clients.
pappl_preason_t ReasonsOf(int printerResult, int printerWord, int mediaResult, int mediaWord);

// Whether nothing can print while these reasons hold.
bool StopsPrinting(pappl_preason_t reasons);

// Asks the printer through its handle (null: not there) and records the answer in the printer's
// state reasons.
pappl_preason_t PollPrinter(pappl_printer_t* printer, tallyjet_printer* handle);

// The driver's status callback: opens the device, asks, closes it. While the stored state is
// loaded, before the server runs, it asks nothing: closing the device would start the stored
// jobs before there is a server to run them.
bool UpdatePrinterStatus(pappl_printer_t* printer);

}  // namespace printer_app

#endif  // TALLYJET_PRINTER_APP_PRINTER_STATUS_H
