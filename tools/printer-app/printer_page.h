// PAPPL's page of a printer carries buttons (pause, resume, hold and release new jobs, print a
// test page, set as default) that PAPPL 1.3.1 carries out for anyone who loads the page; its
// other pages ask for the administrator. The server puts its own handler in front of that
// page: looking at it stays open to all, pressing a button needs the administrator as every
// other setting does.
#ifndef TALLYJET_PRINTER_APP_PRINTER_PAGE_H
#define TALLYJET_PRINTER_APP_PRINTER_PAGE_H

#include <pappl/pappl.h>

namespace printer_app {

// PAPPL's printer creation callback: registers the guarded page before PAPPL registers its own
// (PAPPL keeps the first handler of a path).
void GuardPrinterPage(pappl_printer_t* printer, void* data);

}  // namespace printer_app

#endif  // TALLYJET_PRINTER_APP_PRINTER_PAGE_H
