#include "test_page.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <ctime>

#include "receipt_models.h"

namespace printer_app {
namespace {

constexpr char ESC = 0x1B, GS = 0x1D, LF = 0x0A;
const std::string kInitialise = {ESC, '@'};            // ESC @
const std::string kCentre = {ESC, 'a', 1};             // ESC a 1
const std::string kLeft = {ESC, 'a', 0};               // ESC a 0
const std::string kBoldOn = {ESC, 'E', 1};             // ESC E 1
const std::string kBoldOff = {ESC, 'E', 0};            // ESC E 0
const std::string kFeedAndCut = {GS, 'V', 66, 64};     // GS V 66 n: feed 64 dots, cut
constexpr int kFontADots = 12;                          // one character of font A

struct ReasonKeyword {
  pappl_preason_t reason;
  const char* keyword;
};
const ReasonKeyword kReasonKeywords[] = {
    {PAPPL_PREASON_MEDIA_EMPTY, "media-empty"}, {PAPPL_PREASON_DOOR_OPEN, "door-open"},
    {PAPPL_PREASON_OFFLINE, "offline"},         {PAPPL_PREASON_MEDIA_LOW, "media-low"},
    {PAPPL_PREASON_MEDIA_JAM, "media-jam"},     {PAPPL_PREASON_OTHER, "other"},
};

// Bytes the printer's code table may show otherwise: anything beyond ASCII becomes '?'.
std::string Printable(const std::string& text) {
  std::string shown;
  for (const char c : text) shown += (c >= 0x20 && c < 0x7F) ? c : '?';
  return shown;
}

std::string Line(const std::string& label, const std::string& value) {
  return Printable(label + ": " + value) + LF;
}

// 1234567890123... across the paper: the last digit printed is the last column.
std::string Ruler(int columns) {
  std::string ruler;
  for (int column = 1; column <= columns; ++column) ruler += static_cast<char>('0' + column % 10);
  return ruler + LF;
}

}  // namespace

std::string StateInWords(pappl_loc_t* words, ipp_pstate_t state, pappl_preason_t reasons) {
  std::string text = papplLocGetString(words, ("printer-state." + std::to_string(state)).c_str());
  const char* separator = ": ";
  for (const ReasonKeyword& known : kReasonKeywords) {
    if (reasons & known.reason) {
      text += separator;
      text += papplLocGetString(words, (std::string("printer-state-reasons.") + known.keyword).c_str());
      separator = ", ";
    }
  }
  return text;
}

std::string TestPageBytes(const std::string& name, const std::string& model,
                          const std::string& connection, const std::string& state, int headDots,
                          time_t now) {
  char when[64] = "";
  struct tm local {};
  if (localtime_r(&now, &local) != nullptr) strftime(when, sizeof when, "%Y-%m-%d %H:%M", &local);
  std::string page = kInitialise + kCentre + kBoldOn + "TEST PAGE" + LF + kBoldOff + kLeft + LF;
  page += Line("Printer", name);
  page += Line("Model", model);
  page += Line("Connected by", connection);
  page += Line("State", state);
  page += Line("Printed", when);
  page += LF + Ruler(headDots / kFontADots) + kFeedAndCut;
  return page;
}

const char* WriteTestPage(pappl_printer_t* printer, char* buffer, size_t size) {
  const char* directory = getenv("TMPDIR");
  std::string path = std::string(directory != nullptr ? directory : "/tmp") +
                     "/tallyjet-test-page-XXXXXX";
  if (path.size() >= size) return nullptr;
  const int fd = mkstemp(&path[0]);
  if (fd < 0) return nullptr;
  pappl_pr_driver_data_t data;
  papplPrinterGetDriverData(printer, &data);
  const std::string page = TestPageBytes(
      papplPrinterGetName(printer), data.make_and_model, papplPrinterGetDeviceURI(printer),
      StateInWords(papplSystemFindLoc(papplPrinterGetSystem(printer), "en"),
                   papplPrinterGetState(printer), papplPrinterGetReasons(printer)),
      HeadDotsOf(papplPrinterGetDriverName(printer)), time(nullptr));
  const bool written = write(fd, page.data(), page.size()) == static_cast<ssize_t>(page.size());
  close(fd);
  if (!written) {
    unlink(path.c_str());
    return nullptr;
  }
  memcpy(buffer, path.c_str(), path.size() + 1);
  return buffer;
}

}  // namespace printer_app
