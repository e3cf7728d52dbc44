// Status and information entry points, in both faces: ask the printer's real-time status bytes
// and its identification; the bytes become the words of tallyjet.h in status_words.
#include <cstring>

#include "connection.h"
#include "status_words.h"
#include "usb_ids.h"

using connection::Of;
using connection::ProcessWide;

namespace {

constexpr int kIdLength = 16;       // what one identification query may answer
constexpr int kVersionLength = 12;  // the part of the version id kept in info[2..4]
constexpr int kInfoInts = 5;

// Only a USB printer opened on the extended product answers status byte 6.
bool HasExtraStatus(const PrinterConnection& link) {
  return link.transport->GetDevicePid() == kUsbExtendedProductId;
}

// A null output takes no preset and gets -3 before anything else; otherwise the preset goes in
// and the connection checks decide.
int Preset(const PrinterConnection& link, int* status, int preset) {
  if (status == nullptr) return TALLYJET_ERR_INVALID_ARGUMENT;
  *status = preset;
  return connection::Check(link);
}

// Publishes the word of a successful reading; any failure leaves "not obtained" alone.
int Publish(int rc, int word, int notObtained, int* status) {
  *status = rc == TALLYJET_SUCCESS ? word : notObtained;
  return rc;
}

// Adds the bits of status byte 6 to the word; only a USB printer opened on the extended product
// is asked that byte, so for every other printer there is nothing to add.
int AddExtra(const PrinterConnection& link, int (*fold)(int), int* word) {
  if (!HasExtraStatus(link)) return TALLYJET_SUCCESS;
  int extra = 0;
  const int rc = link.encoder->GetRealTimeStatus(6, &extra);
  if (rc == TALLYJET_SUCCESS) *word |= fold(extra);
  return rc;
}

int ReadPrinterWord(const PrinterConnection& link, int* word) {
  int printer;
  int rc = link.encoder->GetRealTimeStatus(1, &printer);
  if (rc != TALLYJET_SUCCESS) return rc;
  int offlineCause;
  rc = link.encoder->GetRealTimeStatus(2, &offlineCause);
  if (rc != TALLYJET_SUCCESS) return rc;
  *word = status::PrinterWord(printer, offlineCause);
  return AddExtra(link, status::PrinterExtra, word);
}

int ReadMediaWord(const PrinterConnection& link, int* word) {
  int paper;
  const int rc = link.encoder->GetRealTimeStatus(4, &paper);
  if (rc != TALLYJET_SUCCESS) return rc;
  *word = status::MediaWord(paper);
  return AddExtra(link, status::MediaExtra, word);
}

// Identification query n into id; a count of 0 or more is an answer (missing bytes stay 0).
int ReadId(const PrinterConnection& link, int n, char* id) {
  const int got = link.encoder->GetPrinterID(n, id);
  return got < 0 ? got : TALLYJET_SUCCESS;
}

int GetPrinterStatus(const PrinterConnection& link, int* status) {
  const int rc = Preset(link, status, TALLYJET_PRINTER_NOT_OBTAINED);
  if (rc != TALLYJET_SUCCESS) return rc;
  int word = 0;
  const int read = ReadPrinterWord(link, &word);
  return Publish(read, word, TALLYJET_PRINTER_NOT_OBTAINED, status);
}

int GetMediaStatus(const PrinterConnection& link, int* status) {
  const int rc = Preset(link, status, TALLYJET_MEDIA_NOT_OBTAINED);
  if (rc != TALLYJET_SUCCESS) return rc;
  int word = 0;
  const int read = ReadMediaWord(link, &word);
  return Publish(read, word, TALLYJET_MEDIA_NOT_OBTAINED, status);
}

int GetDrawerStatus(const PrinterConnection& link, int drawer, int* status) {
  const int rc = Preset(link, status, TALLYJET_DRAWER_NOT_OBTAINED);
  if (rc != TALLYJET_SUCCESS) return rc;
  // Both drawers hang on the same connector pin; the number is only checked.
  if (drawer != 1 && drawer != 2) return TALLYJET_ERR_INVALID_ARGUMENT;
  int printer = 0;
  const int read = link.encoder->GetRealTimeStatus(1, &printer);
  return Publish(read, status::DrawerWord(printer), TALLYJET_DRAWER_NOT_OBTAINED, status);
}

int GetPrinterInfo(const PrinterConnection& link, int* info) {
  if (info == nullptr) return TALLYJET_ERR_INVALID_ARGUMENT;
  memset(info, 0, kInfoInts * sizeof(int));
  int rc = connection::Check(link);
  if (rc != TALLYJET_SUCCESS) return rc;
  char id[kIdLength];
  for (int n = 1; n <= 2; ++n) {
    rc = ReadId(link, n, id);
    if (rc != TALLYJET_SUCCESS) return rc;
    info[n - 1] = static_cast<signed char>(id[0]);  // model and type ids are signed bytes
  }
  rc = ReadId(link, 3, id);
  if (rc == TALLYJET_SUCCESS) memcpy(info + 2, id, kVersionLength);
  return rc;
}

int GetRealTimeStatus(const PrinterConnection& link, int n, int* status) {
  if (status == nullptr) return TALLYJET_ERR_INVALID_ARGUMENT;
  return connection::Forward(link, &ProtEscPos::GetRealTimeStatus, n, status);
}

}  // namespace

extern "C" {

int GetPrinterStatus(int* status) { return GetPrinterStatus(ProcessWide(), status); }
int GetMediaStatus(int* status) { return GetMediaStatus(ProcessWide(), status); }
int tallyjet_GetMediaStatus(int* status) { return GetMediaStatus(ProcessWide(), status); }
int GetDrawerStatus(int drawer, int* status) {
  return GetDrawerStatus(ProcessWide(), drawer, status);
}
int GetPrinterInfo(int* info) { return GetPrinterInfo(ProcessWide(), info); }
int GetRealTimeStatus(int n, int* status) { return GetRealTimeStatus(ProcessWide(), n, status); }

int tallyjet_get_printer_status(tallyjet_printer* printer, int* status) {
  return GetPrinterStatus(Of(printer), status);
}
int tallyjet_get_media_status(tallyjet_printer* printer, int* status) {
  return GetMediaStatus(Of(printer), status);
}
int tallyjet_get_drawer_status(tallyjet_printer* printer, int drawer, int* status) {
  return GetDrawerStatus(Of(printer), drawer, status);
}
int tallyjet_get_printer_info(tallyjet_printer* printer, int* info) {
  return GetPrinterInfo(Of(printer), info);
}
int tallyjet_get_real_time_status(tallyjet_printer* printer, int n, int* status) {
  return GetRealTimeStatus(Of(printer), n, status);
}
int tallyjet_wait_printed(tallyjet_printer* printer, int timeout_ms) {
  return connection::Forward(Of(printer), &ProtEscPos::WaitPrinted, timeout_ms);
}

}  // extern "C"
