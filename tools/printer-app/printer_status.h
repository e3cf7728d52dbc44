// What the printer says about itself, as IPP printer state reasons.
#ifndef TALLYJET_PRINTER_APP_PRINTER_STATUS_H
#define TALLYJET_PRINTER_APP_PRINTER_STATUS_H

#include <pappl/pappl.h>

namespace printer_app {

// The reasons this application sets and clears; PAPPL and the user keep the others.
constexpr pappl_preason_t kReportedReasons = PAPPL_PREASON_MEDIA_EMPTY | PAPPL_PREASON_MEDIA_LOW |
                                             PAPPL_PREASON_DOOR_OPEN | PAPPL_PREASON_OFFLINE;

// The reasons from the library's printer and media status words and the results that came with
// them. A printer that did not answer is off-line.
pappl_preason_t ReasonsOf(int printerResult, int printerWord, int mediaResult, int mediaWord);

// Whether nothing can print while these reasons hold.
bool StopsPrinting(pappl_preason_t reasons);

// Asks the printer on an open device and records the answer in the printer's state reasons.
pappl_preason_t PollPrinter(pappl_printer_t* printer, pappl_device_t* device);

// The driver's status callback: opens the device, asks, closes it.
bool UpdatePrinterStatus(pappl_printer_t* printer);

}  // namespace printer_app

#endif  // TALLYJET_PRINTER_APP_PRINTER_STATUS_H
