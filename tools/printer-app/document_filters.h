// The documents the server prints without PAPPL's own converters: each format has a filter of
// ours that prints it through the job's printer handle. The driver's own format is the raw
// printer language, so that PAPPL picks these filters before its built-in ones.
#ifndef TALLYJET_PRINTER_APP_DOCUMENT_FILTERS_H
#define TALLYJET_PRINTER_APP_DOCUMENT_FILTERS_H

#include <pappl/pappl.h>

namespace printer_app {

// The driver's document format: what goes to the printer as it is.
constexpr char kPrinterFormat[] = "application/octet-stream";

// Registers filter for documents of format (a constant string). Call before the system runs.
void AddDocumentFilter(pappl_system_t* system, const char* format, pappl_mime_filter_cb_t filter);

// Whether a spooled document of format has a filter: streamed raster never does.
bool HasDocumentFilter(const char* format);

}  // namespace printer_app

#endif  // TALLYJET_PRINTER_APP_DOCUMENT_FILTERS_H
