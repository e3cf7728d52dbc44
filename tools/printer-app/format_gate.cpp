#include "format_gate.h"

#include <cstring>

#include "raw_document.h"

namespace printer_app {
namespace {

bool BringsDocument(ipp_op_t operation) {
  return operation == IPP_OP_PRINT_JOB || operation == IPP_OP_SEND_DOCUMENT ||
         operation == IPP_OP_VALIDATE_JOB;
}

void DropDocumentData(http_t* http) {
  char buffer[8192];
  while (httpGetState(http) == HTTP_STATE_POST_RECV &&
         httpRead2(http, buffer, sizeof buffer) > 0) {
  }
}

const char* DocumentFormat(ipp_t* request) {
  return ippGetString(ippFindAttribute(request, "document-format", IPP_TAG_MIMETYPE), 0, nullptr);
}

}  // namespace

bool RefusesFormat(ipp_t* request, ipp_attribute_t* supported) {
  if (request == nullptr || !BringsDocument(ippGetOperation(request))) return false;
  const char* format = DocumentFormat(request);
  if (format == nullptr || strcmp(format, kRawFormat) == 0) return false;
  return !ippContainsString(supported, format);
}

void GateDocumentFormat(pappl_client_t* client) {
  pappl_printer_t* printer = papplClientGetPrinter(client);
  if (printer == nullptr) return;
  ipp_t* attributes = papplPrinterGetDriverAttributes(printer);
  ipp_attribute_t* supported =
      ippFindAttribute(attributes, "document-format-supported", IPP_TAG_MIMETYPE);
  ipp_t* request = papplClientGetRequest(client);
  if (RefusesFormat(request, supported)) {
    papplClientRespondIPP(client, IPP_STATUS_ERROR_DOCUMENT_FORMAT_NOT_SUPPORTED,
                          "This printer does not print %s documents.", DocumentFormat(request));
    DropDocumentData(papplClientGetHTTP(client));
  }
  ippDelete(attributes);
}

}  // namespace printer_app
