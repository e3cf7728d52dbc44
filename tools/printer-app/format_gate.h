// Refuses, at submission, a document whose format the printer does not list. PAPPL 1.3.1 looks
// for document-format-supported where it never is and so takes any format, then aborts the job;
// this check runs where PAPPL authorises a printing request, before the job is made.
#ifndef TALLYJET_PRINTER_APP_FORMAT_GATE_H
#define TALLYJET_PRINTER_APP_FORMAT_GATE_H

#include <pappl/pappl.h>

namespace printer_app {

// Whether the request must be refused for its document format: an operation that brings a
// document (Print-Job, Send-Document, Validate-Job) naming a format other than
// application/octet-stream (a raw document, or one PAPPL recognises) that supported does not
// hold. A request without a format prints as raw.
bool RefusesFormat(ipp_t* request, ipp_attribute_t* supported);

// For a refused request: answers client-error-document-format-not-supported and drops the
// document data. PAPPL then finds no document and ends the operation without making a job; its
// own answer cannot lower the status. Nothing happens for a request that passes.
void GateDocumentFormat(pappl_client_t* client);

}  // namespace printer_app

#endif  // TALLYJET_PRINTER_APP_FORMAT_GATE_H
