#include "status_words.h"

#include "tallyjet.h"

namespace {

bool Bit(int byte, int bit) { return ((byte >> bit) & 1) != 0; }
bool AllSet(int byte, int mask) { return (byte & mask) == mask; }

}  // namespace

int status::PrinterWord(int printer, int offlineCause) {
  int word = Bit(printer, 3) ? TALLYJET_PRINTER_OFFLINE : TALLYJET_PRINTER_ONLINE;
  if (Bit(printer, 7)) word |= TALLYJET_PRINTER_STATUS_BIT7;
  if (Bit(offlineCause, 2)) word |= TALLYJET_PRINTER_COVER_OPEN;
  if (Bit(offlineCause, 5)) word |= TALLYJET_PRINTER_PAPER_END_STOP;
  if (Bit(offlineCause, 6)) word |= TALLYJET_PRINTER_ERROR;
  return word;
}

int status::MediaWord(int paper) {
  // A pair of sensor bits counts only when both are set.
  int word = AllSet(paper, 0x60) ? TALLYJET_MEDIA_PAPER_END : TALLYJET_MEDIA_PAPER_PRESENT;
  if (AllSet(paper, 0x0C)) word |= TALLYJET_MEDIA_PAPER_NEAR_END;
  return word;
}

int status::DrawerWord(int printer) {
  return Bit(printer, 2) ? TALLYJET_DRAWER_PIN3_HIGH : TALLYJET_DRAWER_PIN3_LOW;
}

int status::PrinterExtra(int extra) { return Bit(extra, 6) ? TALLYJET_PRINTER_EXTRA_BIT6 : 0; }

int status::MediaExtra(int extra) { return Bit(extra, 5) ? TALLYJET_MEDIA_EXTRA_BIT5 : 0; }
