// Receipts written in ReceiptLine markup (text/x-receiptline, UTF-8), printed whole by the
// library: columns, styles, rules, barcodes, QR codes, pictures and the document's own cuts.
#ifndef TALLYJET_PRINTER_APP_MARKUP_DOCUMENT_H
#define TALLYJET_PRINTER_APP_MARKUP_DOCUMENT_H

#include <pappl/pappl.h>

namespace printer_app {

constexpr char kMarkupFormat[] = "text/x-receiptline";

// PAPPL's filter callback from markup to the printer. False, with what failed in the job's log,
// when the file cannot be read, the library cannot read the markup or the printer does not take
// the receipt.
bool PrintMarkupDocument(pappl_job_t* job, pappl_device_t* device, void* context);

}  // namespace printer_app

#endif  // TALLYJET_PRINTER_APP_MARKUP_DOCUMENT_H
