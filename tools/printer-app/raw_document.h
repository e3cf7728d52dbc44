// Documents that go to the printer as they are: application/octet-stream is ESC/POS that the
// client built itself (point-of-sale software, `lp -o raw`), sent byte for byte on the job's
// device with no reset, cut or drawer pulse of ours around it.
#ifndef TALLYJET_PRINTER_APP_RAW_DOCUMENT_H
#define TALLYJET_PRINTER_APP_RAW_DOCUMENT_H

#include <pappl/pappl.h>

#include <cstddef>

namespace printer_app {

// The format of a raw document, which is also the driver's own format.
constexpr char kRawFormat[] = "application/octet-stream";

// The document filter of raw documents: waits, like any job, while the printer cannot print,
// then copies the job's file to the printer byte for byte and waits for its confirmation.
// False, with the reason in the job's log, when the file cannot be read, the printer takes
// less than all of it, or stops before it printed; a cancelled job stops between blocks.
bool PrintRawDocument(pappl_job_t* job, pappl_device_t* device, void* context);

// PAPPL's format callback for a document sent as application/octet-stream that is none of the
// formats PAPPL recognises by its first bytes: a raw document.
const char* RawFormatOf(const unsigned char* header, size_t headerSize, void* context);

}  // namespace printer_app

#endif  // TALLYJET_PRINTER_APP_RAW_DOCUMENT_H
