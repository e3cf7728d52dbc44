// Which printers confirm printing: a printer that did not confirm a job (it does not know the
// request) has its later jobs waited for only briefly, until it confirms one again.
#ifndef TALLYJET_PRINTER_APP_PRINT_CONFIRMATION_H
#define TALLYJET_PRINTER_APP_PRINT_CONFIRMATION_H

#include <pappl/pappl.h>

namespace printer_app {

// How long to wait for the printer to confirm a job of paperDots dots of paper.
int ConfirmationWaitMs(pappl_printer_t* printer, int paperDots);

// Records whether the printer confirmed its last job.
void NoteConfirmation(pappl_printer_t* printer, bool confirmed);

// The words for what stopped a printer, from its state reasons: "out of paper" and so on.
const char* StopWords(pappl_preason_t reasons);

}  // namespace printer_app

#endif  // TALLYJET_PRINTER_APP_PRINT_CONFIRMATION_H
