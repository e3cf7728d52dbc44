#include "printer_status.h"

#include "library_session.h"

namespace printer_app {

pappl_preason_t ReasonsOf(int printerResult, int printerWord, int mediaResult, int mediaWord) {
  if (printerResult != TALLYJET_SUCCESS) return PAPPL_PREASON_OFFLINE;
  pappl_preason_t reasons = PAPPL_PREASON_NONE;
  if (printerWord & TALLYJET_PRINTER_OFFLINE) reasons |= PAPPL_PREASON_OFFLINE;
  if (printerWord & TALLYJET_PRINTER_COVER_OPEN) reasons |= PAPPL_PREASON_DOOR_OPEN;
  if (printerWord & TALLYJET_PRINTER_PAPER_END_STOP) reasons |= PAPPL_PREASON_MEDIA_EMPTY;
  if (mediaResult == TALLYJET_SUCCESS) {
    if (mediaWord & TALLYJET_MEDIA_PAPER_END) reasons |= PAPPL_PREASON_MEDIA_EMPTY;
    if (mediaWord & TALLYJET_MEDIA_PAPER_NEAR_END) reasons |= PAPPL_PREASON_MEDIA_LOW;
  }
  return reasons;
}

bool StopsPrinting(pappl_preason_t reasons) {
  return (reasons & (PAPPL_PREASON_MEDIA_EMPTY | PAPPL_PREASON_DOOR_OPEN |
                     PAPPL_PREASON_OFFLINE)) != 0;
}

pappl_preason_t PollPrinter(pappl_printer_t* printer, pappl_device_t* device) {
  int printerResult, printerWord = 0, mediaResult = 0, mediaWord = 0, drawer = 0;
  {
    DeviceSession session(device);
    printerResult = session.result();
    if (printerResult == TALLYJET_SUCCESS) printerResult = GetPrinterStatus(&printerWord);
    if (printerResult == TALLYJET_SUCCESS) {
      mediaResult = GetMediaStatus(&mediaWord);
      if (GetDrawerStatus(1, &drawer) == TALLYJET_SUCCESS) {
        papplLogPrinter(printer, PAPPL_LOGLEVEL_DEBUG, "Cash drawer connector pin 3 is %s.",
                        drawer == TALLYJET_DRAWER_PIN3_HIGH ? "high" : "low");
      }
    }
  }
  if (printerResult != TALLYJET_SUCCESS) {
    papplLogPrinter(printer, PAPPL_LOGLEVEL_WARN, "Printer status not obtained: %s.",
                    tallyjet_result_name(printerResult));
  }
  const pappl_preason_t reasons = ReasonsOf(printerResult, printerWord, mediaResult, mediaWord);
  papplPrinterSetReasons(printer, reasons, kReportedReasons & ~reasons);
  return reasons;
}

bool UpdatePrinterStatus(pappl_printer_t* printer) {
  pappl_device_t* device = papplPrinterOpenDevice(printer);
  if (device == nullptr) {
    papplPrinterSetReasons(printer, PAPPL_PREASON_OFFLINE,
                           kReportedReasons & ~PAPPL_PREASON_OFFLINE);
    return true;
  }
  PollPrinter(printer, device);
  papplPrinterCloseDevice(printer);
  return true;
}

}  // namespace printer_app
