// The words of the web pages for what PAPPL shows as raw keywords: the receipt options with
// their units and the paper sizes (English), and the printer's state in plain words. PAPPL's own
// words for the state ("Out of paper.", "Idle") come first in its English table and cannot be
// replaced there: the web footer's script swaps them on the page.
#ifndef TALLYJET_PRINTER_APP_SHOP_WORDS_H
#define TALLYJET_PRINTER_APP_SHOP_WORDS_H

#include <pappl/pappl.h>

#include <cstddef>

namespace printer_app {

// The strings table, in the .strings form PAPPL reads.
extern const char kShopWords[];

// A printer state or state reason: its key in PAPPL's strings and what the shop reads instead.
struct StateWords {
  const char* key;          // "printer-state.3", "printer-state-reasons.media-empty"
  pappl_preason_t reason;   // PAPPL_PREASON_NONE for a printer state
  const char* words;
};
extern const StateWords kStateWords[];
extern const size_t kStateWordCount;
// What the page says instead of the printer's state while a reason stops printing.
extern const char kCannotPrint[];

// Adds the table as the English strings of the web interface.
void AddShopWords(pappl_system_t* system);

}  // namespace printer_app

#endif  // TALLYJET_PRINTER_APP_SHOP_WORDS_H
