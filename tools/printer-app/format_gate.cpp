#include "format_gate.h"

#include <cstring>

#include "raw_document.h"

namespace printer_app {
namespace {

bool BringsDocument(ipp_op_t operation) {
  return operation == IPP_OP_PRINT_JOB || operation == IPP_OP_SEND_DOCUMENT ||
         operation == IPP_OP_VALIDATE_JOB;
}

struct Signature {
  const char* format;
  const char* firstBytes;
};
// The formats PAPPL's own filters read, which spin without end on a file that is not one.
const Signature kSignatures[] = {{"image/png", "\x89PNG"}, {"image/jpeg", "\xFF\xD8\xFF"}};

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

bool MislabelledDocument(const char* format, const char* start, size_t length) {
  for (const Signature& signature : kSignatures) {
    if (strcmp(format, signature.format) != 0) continue;
    const size_t size = strlen(signature.firstBytes);
    return length < size || memcmp(start, signature.firstBytes, size) != 0;
  }
  return false;
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
  } else if (const char* format = DocumentFormat(request)) {
    char start[8] = "";
    http_t* http = papplClientGetHTTP(client);
    const ssize_t peeked = httpGetState(http) == HTTP_STATE_POST_RECV
                               ? httpPeek(http, start, sizeof start)
                               : 0;
    if (peeked > 0 && MislabelledDocument(format, start, static_cast<size_t>(peeked))) {
      papplClientRespondIPP(client, IPP_STATUS_ERROR_DOCUMENT_FORMAT_ERROR,
                            "The document is not %s.", format);
      DropDocumentData(http);
    }
  }
  ippDelete(attributes);
}

}  // namespace printer_app
