// text/plain documents (UTF-8) printed as the printer's own text: font A across the paper's
// full width (48 columns on 80 mm, 32 on 58 mm), each line in a code table that holds it or
// drawn as a picture where none does, then cut as the job's options ask.
#ifndef TALLYJET_PRINTER_APP_TEXT_DOCUMENT_H
#define TALLYJET_PRINTER_APP_TEXT_DOCUMENT_H

#include <pappl/pappl.h>

namespace printer_app {

constexpr char kTextFormat[] = "text/plain";

// PAPPL's filter callback from text/plain to the printer. False, with what failed in the job's
// log, when the file cannot be read or the printer does not take the receipt.
bool PrintTextDocument(pappl_job_t* job, pappl_device_t* device, void* context);

}  // namespace printer_app

#endif  // TALLYJET_PRINTER_APP_TEXT_DOCUMENT_H
