// The Print Test Page button of the web page: a short receipt, in the printer's own font, that
// names the printer and its connection, says its state in plain words, and shows with a ruler
// how many characters fit across the paper.
#ifndef TALLYJET_PRINTER_APP_TEST_PAGE_H
#define TALLYJET_PRINTER_APP_TEST_PAGE_H

#include <pappl/pappl.h>

#include <string>

namespace printer_app {

// The receipt's ESC/POS bytes for a printer whose head is headDots wide (576 or 384).
std::string TestPageBytes(const std::string& name, const std::string& model,
                          const std::string& connection, const std::string& state, int headDots,
                          time_t now);

// The state and reasons in the words of the web pages' strings: "Stopped: out of paper: load a
// new roll".
std::string StateInWords(pappl_loc_t* words, ipp_pstate_t state, pappl_preason_t reasons);

// PAPPL's test page callback: writes the receipt to a temporary file, whose name goes into
// buffer; PAPPL prints it as a raw document and removes it after the job. nullptr on failure.
const char* WriteTestPage(pappl_printer_t* printer, char* buffer, size_t size);

}  // namespace printer_app

#endif  // TALLYJET_PRINTER_APP_TEST_PAGE_H
