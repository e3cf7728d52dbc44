// Status and information entry points: ask the printer's real-time status bytes and its
// identification, and fold them into the flag words of tallyjet.h.
#include <cstring>

#include "connection.h"
#include "usb_ids.h"

namespace {

constexpr int kIdLength = 16;       // what one identification query may answer
constexpr int kVersionLength = 12;  // the part of the version id kept in info[2..4]
constexpr int kInfoInts = 5;

bool Bit(int byte, int bit) { return ((byte >> bit) & 1) != 0; }
bool AllSet(int byte, int mask) { return (byte & mask) == mask; }

// Only a USB printer opened on the extended product answers status byte 6.
bool HasExtraStatus() { return comm_->GetDevicePid() == kUsbExtendedProductId; }

// A null output takes no preset and gets -3 before anything else; otherwise the preset goes in
// and the connection checks decide.
int Preset(int* status, int preset) {
  if (status == nullptr) return TALLYJET_ERR_INVALID_ARGUMENT;
  *status = preset;
  return connection::Check();
}

// Publishes the word of a successful reading; any failure leaves "not obtained" alone.
int Publish(int rc, int word, int notObtained, int* status) {
  *status = rc == TALLYJET_SUCCESS ? word : notObtained;
  return rc;
}

// Adds flag to the word when bit of status byte 6 is set; only a USB printer opened on the
// extended product is asked that byte, so for every other printer there is nothing to add.
int AddExtraFlag(int bit, int flag, int* word) {
  if (!HasExtraStatus()) return TALLYJET_SUCCESS;
  int extra = 0;
  const int rc = prot_->GetRealTimeStatus(6, &extra);
  if (rc == TALLYJET_SUCCESS && Bit(extra, bit)) *word |= flag;
  return rc;
}

int ReadPrinterWord(int* word) {
  int printer;
  int rc = prot_->GetRealTimeStatus(1, &printer);
  if (rc != TALLYJET_SUCCESS) return rc;
  *word = Bit(printer, 3) ? TALLYJET_PRINTER_OFFLINE : TALLYJET_PRINTER_ONLINE;
  if (Bit(printer, 7)) *word |= TALLYJET_PRINTER_STATUS_BIT7;

  int offlineCause;
  rc = prot_->GetRealTimeStatus(2, &offlineCause);
  if (rc != TALLYJET_SUCCESS) return rc;
  if (Bit(offlineCause, 2)) *word |= TALLYJET_PRINTER_COVER_OPEN;
  if (Bit(offlineCause, 5)) *word |= TALLYJET_PRINTER_PAPER_END_STOP;
  if (Bit(offlineCause, 6)) *word |= TALLYJET_PRINTER_ERROR;

  return AddExtraFlag(6, TALLYJET_PRINTER_EXTRA_BIT6, word);
}

int ReadMediaWord(int* word) {
  int paper;
  const int rc = prot_->GetRealTimeStatus(4, &paper);
  if (rc != TALLYJET_SUCCESS) return rc;
  // A pair of sensor bits counts only when both are set.
  *word = AllSet(paper, 0x60) ? TALLYJET_MEDIA_PAPER_END : TALLYJET_MEDIA_PAPER_PRESENT;
  if (AllSet(paper, 0x0C)) *word |= TALLYJET_MEDIA_PAPER_NEAR_END;

  return AddExtraFlag(5, TALLYJET_MEDIA_EXTRA_BIT5, word);
}

// Identification query n into id; a count of 0 or more is an answer (missing bytes stay 0).
int ReadId(int n, char* id) {
  const int got = prot_->GetPrinterID(n, id);
  return got < 0 ? got : TALLYJET_SUCCESS;
}

}  // namespace

extern "C" {

int GetPrinterStatus(int* status) {
  const int rc = Preset(status, TALLYJET_PRINTER_NOT_OBTAINED);
  if (rc != TALLYJET_SUCCESS) return rc;
  int word = 0;
  const int read = ReadPrinterWord(&word);
  return Publish(read, word, TALLYJET_PRINTER_NOT_OBTAINED, status);
}

int GetMediaStatus(int* status) {
  const int rc = Preset(status, TALLYJET_MEDIA_NOT_OBTAINED);
  if (rc != TALLYJET_SUCCESS) return rc;
  int word = 0;
  const int read = ReadMediaWord(&word);
  return Publish(read, word, TALLYJET_MEDIA_NOT_OBTAINED, status);
}

int tallyjet_GetMediaStatus(int* status) { return GetMediaStatus(status); }

int GetDrawerStatus(int drawer, int* status) {
  const int rc = Preset(status, TALLYJET_DRAWER_NOT_OBTAINED);
  if (rc != TALLYJET_SUCCESS) return rc;
  // Both drawers hang on the same connector pin; the number is only checked.
  if (drawer != 1 && drawer != 2) return TALLYJET_ERR_INVALID_ARGUMENT;
  int printer = 0;
  const int read = prot_->GetRealTimeStatus(1, &printer);
  const int word = Bit(printer, 2) ? TALLYJET_DRAWER_PIN3_HIGH : TALLYJET_DRAWER_PIN3_LOW;
  return Publish(read, word, TALLYJET_DRAWER_NOT_OBTAINED, status);
}

int GetPrinterInfo(int* info) {
  if (info == nullptr) return TALLYJET_ERR_INVALID_ARGUMENT;
  memset(info, 0, kInfoInts * sizeof(int));
  int rc = connection::Check();
  if (rc != TALLYJET_SUCCESS) return rc;
  char id[kIdLength];
  for (int n = 1; n <= 2; ++n) {
    rc = ReadId(n, id);
    if (rc != TALLYJET_SUCCESS) return rc;
    info[n - 1] = static_cast<signed char>(id[0]);  // model and type ids are signed bytes
  }
  rc = ReadId(3, id);
  if (rc == TALLYJET_SUCCESS) memcpy(info + 2, id, kVersionLength);
  return rc;
}

int GetRealTimeStatus(int n, int* status) {
  if (status == nullptr) return TALLYJET_ERR_INVALID_ARGUMENT;
  return connection::Forward(&ProtEscPos::GetRealTimeStatus, n, status);
}

}  // extern "C"
