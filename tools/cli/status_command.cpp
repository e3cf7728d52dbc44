// status: asks the printer, paper and drawer status, prints one line per item or one JSON
// object, and says the printer's state in the exit code.
#include <signal.h>
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <cstdio>
#include <cstring>

#include "connection.h"
#include "failure.h"
#include "tallyjet.h"

namespace {

struct StatusOptions {
  bool json = false;
  unsigned timeout = 5;
};

struct Answers {
  int printer = 0;
  int media = 0;
  int drawer = 0;
  bool Has(int word, int flag) const { return (word & flag) != 0; }
  bool Online() const { return Has(printer, TALLYJET_PRINTER_ONLINE); }
  bool CoverOpen() const { return Has(printer, TALLYJET_PRINTER_COVER_OPEN); }
  bool Error() const { return Has(printer, TALLYJET_PRINTER_ERROR); }
  bool PaperEnd() const {
    return Has(media, TALLYJET_MEDIA_PAPER_END) || Has(printer, TALLYJET_PRINTER_PAPER_END_STOP);
  }
  bool PaperNearEnd() const { return Has(media, TALLYJET_MEDIA_PAPER_NEAR_END); }
  bool DrawerOpen() const { return drawer == TALLYJET_DRAWER_PIN3_HIGH; }
};

// The state that stops the printer first: the most specific cause wins over plain off-line.
ExitCode Classify(const Answers& a) {
  if (a.CoverOpen()) return kExitCoverOpen;
  if (a.PaperEnd()) return kExitPaperEnd;
  if (!a.Online() || a.Error()) return kExitOffline;
  if (a.PaperNearEnd()) return kExitPaperNearEnd;
  return kExitOk;
}

const char* StateName(int code) {
  switch (code) {
    case kExitOk: return "ready";
    case kExitNoAnswer: return "no-answer";
    case kExitOffline: return "offline";
    case kExitCoverOpen: return "cover-open";
    case kExitPaperEnd: return "paper-end";
    case kExitPaperNearEnd: return "paper-near-end";
    default: return "port-failed";
  }
}

const char* Bool(bool value) { return value ? "true" : "false"; }

void PrintJson(int code, const Answers* a, int result) {
  printf("{\"state\":\"%s\",\"exit_code\":%d", StateName(code), code);
  if (result != TALLYJET_SUCCESS) printf(",\"result\":\"%s\"", tallyjet_result_name(result));
  if (a != nullptr) {
    printf(",\"printer\":{\"online\":%s,\"cover_open\":%s,\"paper_end_stop\":%s,\"error\":%s}",
           Bool(a->Online()), Bool(a->CoverOpen()),
           Bool(a->Has(a->printer, TALLYJET_PRINTER_PAPER_END_STOP)), Bool(a->Error()));
    printf(",\"paper\":{\"present\":%s,\"near_end\":%s,\"end\":%s}",
           Bool(a->Has(a->media, TALLYJET_MEDIA_PAPER_PRESENT)), Bool(a->PaperNearEnd()),
           Bool(a->Has(a->media, TALLYJET_MEDIA_PAPER_END)));
    printf(",\"drawer\":{\"open\":%s}", Bool(a->DrawerOpen()));
  }
  printf("}\n");
}

void PrintLines(const Answers& a) {
  printf("printer: %s\n", a.Online() ? "online" : "offline");
  printf("cover: %s\n", a.CoverOpen() ? "open" : "closed");
  printf("paper: %s\n", a.PaperEnd() ? "end" : a.PaperNearEnd() ? "near end" : "present");
  printf("drawer: %s\n", a.DrawerOpen() ? "open" : "closed");
  if (a.Error()) printf("error: occurred\n");
}

// A printer on a device node that never answers would hold a read forever: the watchdog ends
// the program with the no-answer code once the time-out has passed.
char gWatchdogOut[128];
char gWatchdogErr[192];

// Writes text with the one call a signal handler may make; a lost line cannot be helped there.
void WriteFromHandler(int fd, const char* text) {
  const ssize_t written = write(fd, text, strlen(text));
  (void)written;
}

void WatchdogFired(int) {
  WriteFromHandler(STDOUT_FILENO, gWatchdogOut);
  WriteFromHandler(STDERR_FILENO, gWatchdogErr);
  _exit(kExitNoAnswer);
}

void ArmWatchdog(const StatusOptions& options) {
  gWatchdogOut[0] = '\0';
  if (options.json) {
    snprintf(gWatchdogOut, sizeof gWatchdogOut, "{\"state\":\"%s\",\"exit_code\":%d}\n",
             StateName(kExitNoAnswer), kExitNoAnswer);
  }
  snprintf(gWatchdogErr, sizeof gWatchdogErr,
           "tallyjet: asking the status: no answer within %u s; is the printer on and is this "
           "its port?\n",
           options.timeout);
  signal(SIGALRM, WatchdogFired);
  alarm(options.timeout);
}

int Status(const PortOptions& port, const StatusOptions& options) {
  Connection connection(port);
  const int opened = connection.Open();
  if (opened != kExitOk) {
    if (options.json) PrintJson(opened, nullptr, TALLYJET_SUCCESS);
    return opened;
  }
  ArmWatchdog(options);
  Answers a;
  int result = GetPrinterStatus(&a.printer);
  if (result == TALLYJET_SUCCESS) result = GetMediaStatus(&a.media);
  if (result == TALLYJET_SUCCESS) result = GetDrawerStatus(1, &a.drawer);
  alarm(0);
  if (!connection.Check(result, "asking the status")) {
    if (options.json) PrintJson(kExitNoAnswer, nullptr, result);
    return kExitNoAnswer;
  }
  const int code = Classify(a);
  if (options.json) {
    PrintJson(code, &a, result);
  } else {
    PrintLines(a);
  }
  return code;
}

}  // namespace

void AddStatusCommand(CLI::App& app, Program& program) {
  auto* command = app.add_subcommand(
      "status",
      "Ask printer, paper and drawer status. Exit code: 0 ready, 3 no answer, 4 off-line, "
      "5 cover open, 6 paper end, 7 paper near end (a warning)");
  auto options = std::make_shared<StatusOptions>();
  command->add_flag("--json", options->json, "print one JSON object");
  command->add_option("--timeout", options->timeout, "seconds to wait for an answer (default 5)")
      ->check(CLI::Range(1u, 600u));
  command->callback([&program, options] { program.exitCode = Status(program.port, *options); });
}
