#include "shop_words.h"

namespace printer_app {

const char kShopWords[] = R"words(
"cut-mode" = "Cut the paper";
"cut-mode.end-of-job" = "At the end of each receipt";
"cut-mode.every-page" = "After every page";
"cut-mode.never" = "Never (tear off by hand)";
"feed-before-cut" = "Paper fed before the cut (dots; 8 dots = 1 mm)";
"drawer-pulse" = "Open the cash drawer";
"drawer-pulse.never" = "Never";
"drawer-pulse.before-job" = "Before printing the receipt";
"drawer-pulse.after-job" = "After printing the receipt";
"media.om_roll_80x3000mm" = "80 mm roll, as long as the receipt";
"media.om_roll_58x3000mm" = "58 mm roll, as long as the receipt";
"media.om_receipt_80x297mm" = "80 mm paper, 297 mm pages";
"media.om_receipt_80x200mm" = "80 mm paper, 200 mm pages";
"media.om_receipt_80x100mm" = "80 mm paper, 100 mm pages";
"media.om_receipt_58x297mm" = "58 mm paper, 297 mm pages";
"media.om_receipt_58x200mm" = "58 mm paper, 200 mm pages";
"media.om_receipt_58x100mm" = "58 mm paper, 100 mm pages";
)words";

const StateWords kStateWords[] = {
    {"printer-state.3", PAPPL_PREASON_NONE, "Ready"},
    {"printer-state.4", PAPPL_PREASON_NONE, "Printing"},
    {"printer-state.5", PAPPL_PREASON_NONE, "Paused"},
    {"printer-state-reasons.media-empty", PAPPL_PREASON_MEDIA_EMPTY,
     "Out of paper \u2014 load a new roll"},
    {"printer-state-reasons.media-low", PAPPL_PREASON_MEDIA_LOW,
     "Paper running low \u2014 have a new roll ready"},
    {"printer-state-reasons.cover-open", PAPPL_PREASON_COVER_OPEN,
     "Cover open \u2014 close the cover"},
    {"printer-state-reasons.offline", PAPPL_PREASON_OFFLINE,
     "Not answering \u2014 check the cable and power"},
    {"printer-state-reasons.other", PAPPL_PREASON_OTHER,
     "Printer error \u2014 check the cutter and the print head"},
};
const size_t kStateWordCount = sizeof kStateWords / sizeof kStateWords[0];
const char kCannotPrint[] = "Cannot print";

void AddShopWords(pappl_system_t* system) {
  constexpr char kPath[] = "/tallyjet-en.strings";
  papplSystemAddStringsData(system, kPath, "en", kShopWords);
  // The words stay in the English localisation without the resource: PAPPL 1.3.1 adds another
  // printer-strings-languages-supported to the printer for every Get-Printer-Attributes while
  // any strings resource is published.
  papplSystemRemoveResource(system, kPath);
}

}  // namespace printer_app
