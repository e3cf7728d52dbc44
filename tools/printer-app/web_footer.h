// The footer of every web page: the program's name and a script that fits PAPPL's pages to a
// shop. It takes out the location form's map from the internet, which a shop's machine often
// cannot reach; puts the printer's state in plain words, next to the stopped icon while a reason
// stops printing (PAPPL shows an idle printer without paper with the idle one); and leaves the
// custom paper size in millimetres only (PAPPL's fields mix inches and millimetres).
#ifndef TALLYJET_PRINTER_APP_WEB_FOOTER_H
#define TALLYJET_PRINTER_APP_WEB_FOOTER_H

#include <pappl/pappl.h>

#include <string>

namespace printer_app {

// The footer HTML; the state words replace the English phrases english has for them (PAPPL's
// English strings; null leaves the state as PAPPL words it).
std::string WebFooter(pappl_loc_t* english);

// Sets the footer of the system's pages (before it runs).
void SetWebFooter(pappl_system_t* system);

}  // namespace printer_app

#endif  // TALLYJET_PRINTER_APP_WEB_FOOTER_H
