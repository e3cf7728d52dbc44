// The words of the web pages for what PAPPL shows as raw keywords: the receipt options with
// their units, the paper sizes, and the printer's state as a shop says it (English).
#ifndef TALLYJET_PRINTER_APP_SHOP_WORDS_H
#define TALLYJET_PRINTER_APP_SHOP_WORDS_H

#include <pappl/pappl.h>

namespace printer_app {

// The strings table, in the .strings form PAPPL reads.
extern const char kShopWords[];

// Adds the table as the English strings of the web interface.
void AddShopWords(pappl_system_t* system);

}  // namespace printer_app

#endif  // TALLYJET_PRINTER_APP_SHOP_WORDS_H
