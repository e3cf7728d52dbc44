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

void AddShopWords(pappl_system_t* system) {
  constexpr char kPath[] = "/tallyjet-en.strings";
  papplSystemAddStringsData(system, kPath, "en", kShopWords);
  // The words stay in the English localisation without the resource: PAPPL 1.3.1 adds another
  // printer-strings-languages-supported to the printer for every Get-Printer-Attributes while
  // any strings resource is published.
  papplSystemRemoveResource(system, kPath);
}

}  // namespace printer_app
