// How the printer's real-time status bytes fold into the status words of tallyjet.h. The one
// place that reads their bits: the process-wide functions and the handles both come here, and
// the tools take the words from them.
#ifndef TALLYJET_STATUS_WORDS_H
#define TALLYJET_STATUS_WORDS_H

namespace status {

// TALLYJET_PRINTER_* bits from status byte 1 (printer) and byte 2 (offline cause).
int PrinterWord(int printer, int offlineCause);
// TALLYJET_MEDIA_* bits from status byte 4 (roll paper sensor).
int MediaWord(int paper);
// TALLYJET_DRAWER_PIN3_HIGH or _LOW from status byte 1.
int DrawerWord(int printer);
// The bits status byte 6 adds to each word, on the printers that answer it.
int PrinterExtra(int extra);
int MediaExtra(int extra);

}  // namespace status

#endif  // TALLYJET_STATUS_WORDS_H
