#include "printer_page.h"

// PAPPL's own handler of the page. It is not in PAPPL's public headers, but the library
// exports it for its own programs, and no public call shows the page.
extern "C" void _papplPrinterWebHome(pappl_client_t* client, pappl_printer_t* printer);

namespace printer_app {
namespace {

constexpr size_t kPathSize = 256;

bool ShowPrinterPage(pappl_client_t* client, void* data) {
  // A refused client has had its answer (a password asked for, or forbidden).
  if (papplClientGetMethod(client) == HTTP_STATE_POST && !papplClientHTMLAuthorize(client)) {
    return true;
  }
  _papplPrinterWebHome(client, static_cast<pappl_printer_t*>(data));
  return true;
}

}  // namespace

void GuardPrinterPage(pappl_printer_t* printer, void*) {
  char path[kPathSize];
  if (papplPrinterGetPath(printer, "", path, sizeof path) == nullptr) return;
  papplSystemAddResourceCallback(papplPrinterGetSystem(printer), path, "text/html", ShowPrinterPage,
                                 printer);
}

}  // namespace printer_app
