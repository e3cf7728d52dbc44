#include "print_confirmation.h"

#include <mutex>
#include <set>

namespace printer_app {
namespace {

// Time for the job's paper at a slow printer's 50 mm/s (400 dots a second), and for the rest.
constexpr int kSlowDotsPerSecond = 400;
constexpr int kBaseWaitMs = 15000;
// A printer known not to confirm is still asked, so that one that learns to is noticed.
constexpr int kUnconfirmingWaitMs = 2000;

std::mutex unconfirmingTurn;
std::set<int> unconfirming;  // printer ids

}  // namespace

int ConfirmationWaitMs(pappl_printer_t* printer, int paperDots) {
  {
    const std::lock_guard<std::mutex> turn(unconfirmingTurn);
    if (unconfirming.count(papplPrinterGetID(printer)) != 0) return kUnconfirmingWaitMs;
  }
  return kBaseWaitMs + paperDots * 1000 / kSlowDotsPerSecond;
}

void NoteConfirmation(pappl_printer_t* printer, bool confirmed) {
  const std::lock_guard<std::mutex> turn(unconfirmingTurn);
  if (confirmed) {
    unconfirming.erase(papplPrinterGetID(printer));
  } else {
    unconfirming.insert(papplPrinterGetID(printer));
  }
}

const char* StopWords(pappl_preason_t reasons) {
  if (reasons & PAPPL_PREASON_COVER_OPEN) return "cover open";
  if (reasons & PAPPL_PREASON_MEDIA_EMPTY) return "out of paper";
  if (reasons & PAPPL_PREASON_OFFLINE) return "off-line";
  return "a printer error";
}

}  // namespace printer_app
