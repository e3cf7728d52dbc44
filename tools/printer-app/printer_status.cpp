#include "printer_status.h"

#include "device_printer.h"

namespace printer_app {

pappl_preason_t ReasonsOf(int printerResult, int printerWord, int mediaResult, int mediaWord) {
  if (printerResult != TALLYJET_SUCCESS) return PAPPL_PREASON_OFFLINE;
  pappl_preason_t reasons = PAPPL_PREASON_NONE;
  if (printerWord & TALLYJET_PRINTER_OFFLINE) reasons |= PAPPL_PREASON_OFFLINE;
  if (printerWord & TALLYJET_PRINTER_COVER_OPEN) reasons |= PAPPL_PREASON_COVER_OPEN;
  if (printerWord & TALLYJET_PRINTER_PAPER_END_STOP) reasons |= PAPPL_PREASON_MEDIA_EMPTY;
  // The printer's error bit: a cutter jam, a hot head, a fault it needs help with.
  if (printerWord & TALLYJET_PRINTER_ERROR) reasons |= PAPPL_PREASON_OTHER;
  if (mediaResult == TALLYJET_SUCCESS) {
    if (mediaWord & TALLYJET_MEDIA_PAPER_END) reasons |= PAPPL_PREASON_MEDIA_EMPTY;
    if (mediaWord & TALLYJET_MEDIA_PAPER_NEAR_END) reasons |= PAPPL_PREASON_MEDIA_LOW;
  }
  return reasons;
}

bool StopsPrinting(pappl_preason_t reasons) {
  return (reasons &
          (PAPPL_PREASON_MEDIA_EMPTY | PAPPL_PREASON_COVER_OPEN | PAPPL_PREASON_OFFLINE |
           PAPPL_PREASON_OTHER)) != 0;
}

pappl_preason_t PollPrinter(pappl_printer_t* printer, tallyjet_printer* handle) {
  int printerWord = 0, mediaResult = TALLYJET_ERR_FAILED, mediaWord = 0;
  const int printerResult = handle != nullptr ? tallyjet_get_printer_status(handle, &printerWord)
                                              : TALLYJET_ERR_PORT_NOT_OPEN;
  // A printer that did not answer the first query is not asked again and again.
  if (printerResult == TALLYJET_SUCCESS) {
    mediaResult = tallyjet_get_media_status(handle, &mediaWord);
  } else {
    papplLogPrinter(printer, PAPPL_LOGLEVEL_WARN, "Printer status not obtained: %s.",
                    tallyjet_result_name(printerResult));
  }
  const pappl_preason_t reasons = ReasonsOf(printerResult, printerWord, mediaResult, mediaWord);
  papplPrinterSetReasons(printer, reasons, kReportedReasons & ~reasons);
  return reasons;
}

bool UpdatePrinterStatus(pappl_printer_t* printer) {
  if (!papplSystemIsRunning(papplPrinterGetSystem(printer))) return true;
  pappl_device_t* device = papplPrinterOpenDevice(printer);
  if (device == nullptr) {
    PollPrinter(printer, nullptr);
    return true;
  }
  {
    DevicePrinter handle(printer, device);
    PollPrinter(printer, handle.get());
  }
  papplPrinterCloseDevice(printer);
  return true;
}

}  // namespace printer_app
