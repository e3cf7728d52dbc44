// A whole receipt from ReceiptLine markup, in both faces.
#include "connection.h"
#include "markup_printer.h"

namespace {

int PrintMarkup(const PrinterConnection& link, const char* document, int length) {
  const int rc = connection::Check(link);
  if (rc != TALLYJET_SUCCESS) return rc;
  if (length < 0 || (document == nullptr && length > 0)) return TALLYJET_ERR_INVALID_ARGUMENT;
  return markup::PrintMarkup(link.transport, link.encoder, link.codepage, link.style,
                             length > 0 ? document : "", length);
}

}  // namespace

extern "C" {

int tallyjet_print_markup(tallyjet_printer* printer, const char* document, int length) {
  return PrintMarkup(connection::Of(printer), document, length);
}

}  // extern "C"
