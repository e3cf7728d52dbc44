// tallyjet-printer-app: an IPP Everywhere printer application for the receipt printers, with
// PAPPL's usual sub-commands (server, add, printers, submit, status, jobs, cancel, shutdown,
// devices, drivers) and its web interface.
#include <pappl/pappl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "admin_access.h"
#include "document_filters.h"
#include "markup_document.h"
#include "picture_filter.h"
#include "port_scheme.h"
#include "printer_page.h"
#include "raw_document.h"
#include "receipt_driver.h"
#include "server_lifecycle.h"
#include "shop_words.h"
#include "text_document.h"
#include "web_footer.h"

namespace {

constexpr char kName[] = "tallyjet-printer-app";
// Where a server run by root (the system service) keeps its spooled jobs.
constexpr char kSystemSpool[] = "/var/spool/tallyjet-printer-app";

struct LogLevel {
  const char* name;
  pappl_loglevel_t level;
};
const LogLevel kLogLevels[] = {{"fatal", PAPPL_LOGLEVEL_FATAL}, {"error", PAPPL_LOGLEVEL_ERROR},
                               {"warn", PAPPL_LOGLEVEL_WARN},   {"info", PAPPL_LOGLEVEL_INFO},
                               {"debug", PAPPL_LOGLEVEL_DEBUG}};

const char* Option(const char* name, int count, cups_option_t* options) {
  return cupsGetOption(name, count, options);
}

bool ReadLogLevel(const char* value, pappl_loglevel_t* level) {
  if (value == nullptr) return true;
  for (const LogLevel& known : kLogLevels) {
    if (strcmp(value, known.name) == 0) {
      *level = known.level;
      return true;
    }
  }
  fprintf(stderr, "%s: log-level takes fatal, error, warn, info or debug, not '%s'\n", kName,
          value);
  return false;
}

bool ReadPort(const char* value, int* port) {
  if (value == nullptr) return true;
  char* end = nullptr;
  errno = 0;
  const long parsed = strtol(value, &end, 10);
  if (*value == '\0' || *end != '\0' || errno != 0 || parsed < 0 || parsed > 65535) {
    fprintf(stderr, "%s: server-port takes a TCP port number, not '%s'\n", kName, value);
    return false;
  }
  *port = static_cast<int>(parsed);
  return true;
}

// The spool directory: the one asked for, the system one for root, else PAPPL's own choice.
const char* SpoolDirectory(const char* asked) {
  if (asked != nullptr || getuid() != 0) return asked;
  if (mkdir(kSystemSpool, 0700) != 0 && errno != EEXIST) return nullptr;
  return kSystemSpool;
}

// Listens on the loopback addresses only, unless listen-hostname names others ("*" for all).
bool AddListeners(pappl_system_t* system, const char* hostname) {
  if (hostname != nullptr) {
    return papplSystemAddListeners(system, strcmp(hostname, "*") == 0 ? nullptr : hostname);
  }
  const bool ipv4 = papplSystemAddListeners(system, "127.0.0.1");
  const bool ipv6 = papplSystemAddListeners(system, "[::1]");
  return ipv4 || ipv6;
}

// Whether the sub-command is "server": the first argument that is neither an option nor an
// option's value, as papplMainloop reads them.
bool RunsServer(int argc, char* argv[]) {
  constexpr char kOptionsWithValue[] = "dhjmnotuv";
  for (int i = 1; i < argc; ++i) {
    if (argv[i][0] != '-') return strcmp(argv[i], "server") == 0;
    if (argv[i][1] != '\0' && argv[i][2] == '\0' && strchr(kOptionsWithValue, argv[i][1])) ++i;
  }
  return false;
}

pappl_system_t* CreateSystem(int count, cups_option_t* options, void* serving) {
  pappl_loglevel_t level = PAPPL_LOGLEVEL_WARN;
  int port = 0;
  if (!ReadLogLevel(Option("log-level", count, options), &level) ||
      !ReadPort(Option("server-port", count, options), &port)) {
    return nullptr;
  }
  const char* logFile = Option("log-file", count, options);
  pappl_system_t* system = papplSystemCreate(
      PAPPL_SOPTIONS_MULTI_QUEUE | PAPPL_SOPTIONS_WEB_INTERFACE | PAPPL_SOPTIONS_WEB_SECURITY,
      kName, port, "_print,_universal",
      SpoolDirectory(Option("spool-directory", count, options)), logFile != nullptr ? logFile : "-",
      level, Option("auth-service", count, options), /*tls_only*/ false);
  if (system == nullptr) return nullptr;
  if (!AddListeners(system, Option("listen-hostname", count, options))) {
    fprintf(stderr, "%s: cannot listen on port %d\n", kName, port);
    papplSystemDelete(system);
    return nullptr;
  }
  if (const char* hostname = Option("server-hostname", count, options)) {
    papplSystemSetHostName(system, hostname);
  }
  papplSystemSetDNSSDName(system, "TallyJet");
  // Without a PAM service the settings wait for an administrator password; with one, they
  // take members of the administrators' group only.
  if (Option("auth-service", count, options) == nullptr) {
    printer_app::RequireAdministrator(system);
  } else {
    papplSystemSetAdminGroup(system, printer_app::kAdminGroup);
  }
  // A document sent as application/octet-stream that PAPPL does not recognise is raw ESC/POS.
  papplSystemSetMIMECallback(system, printer_app::RawFormatOf, nullptr);
  printer_app::AddDocumentFilter(system, printer_app::kRawFormat, printer_app::PrintRawDocument);
  printer_app::AddDocumentFilter(system, printer_app::kTextFormat,
                                 printer_app::PrintTextDocument);
  printer_app::AddDocumentFilter(system, printer_app::kMarkupFormat,
                                 printer_app::PrintMarkupDocument);
  for (int i = 0; i < printer_app::kPictureFormatCount; ++i) {
    printer_app::AddDocumentFilter(system, printer_app::kPictureFormats[i],
                                   printer_app::PrintPicture);
  }
  printer_app::AddShopWords(system);
  // PAPPL 1.3 needs a footer: its web pages crash on a missing one.
  printer_app::SetWebFooter(system);
  papplSystemSetPrinterDrivers(system, printer_app::kReceiptDriverCount,
                               printer_app::kReceiptDrivers, printer_app::ChooseDriver,
                               printer_app::GuardPrinterPage, printer_app::FillDriverData, nullptr);
  if (*static_cast<const bool*>(serving)) printer_app::PrepareServer(system, kName);
  return system;
}

}  // namespace

int main(int argc, char* argv[]) {
  printer_app::AddPortScheme();
  bool serving = RunsServer(argc, argv);
  return papplMainloop(argc, argv, tallyjet_version(), /*footer_html*/ nullptr,
                       printer_app::kReceiptDriverCount, printer_app::kReceiptDrivers,
                       printer_app::ChooseDriver, printer_app::FillDriverData,
                       /*subcmd_name*/ nullptr, /*subcmd_cb*/ nullptr, CreateSystem,
                       /*usage_cb*/ nullptr, &serving);
}
