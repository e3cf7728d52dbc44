// The words of the web pages for what PAPPL shows as raw keywords: the receipt options with
// their units and the paper sizes (English). PAPPL's own words for the printer's state ("Out of
// paper.", "Door open.") come first in its English table and stay.
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
