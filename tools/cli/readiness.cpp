#include "readiness.h"

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

#include "failure.h"

namespace {

// The wait for the status before a subcommand prints.
constexpr unsigned kStatusSeconds = 5;

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

// Each answer may take this share of the whole wait: a printer behind a slow link (Wi-Fi in
// power save, a Bluetooth bridge) answers hundreds of milliseconds late.
constexpr unsigned kAnswerShare = 4;
constexpr unsigned kLongestAnswerWaitMs = 30000;

// A pause between two askings, so that a printer answering nonsense at once is not flooded.
constexpr auto kAskAgainAfter = std::chrono::milliseconds(100);

// Whether a query's result says that no valid answer came: nothing in the link's read time, or
// bytes that are not a status.
bool NoValidAnswer(int result) {
  return result == TALLYJET_ERR_FAILED || result == TALLYJET_ERR_SERIAL_TIMEOUT;
}

// Asks one status word until a valid answer comes or the deadline passes.
template <typename Query>
int AskUntil(std::chrono::steady_clock::time_point deadline, Query query) {
  for (;;) {
    const int result = query();
    if (!NoValidAnswer(result) || std::chrono::steady_clock::now() + kAskAgainAfter >= deadline) {
      return result;
    }
    std::this_thread::sleep_for(kAskAgainAfter);
  }
}

}  // namespace

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

void ArmWatchdog(unsigned seconds, const std::string& json) {
  snprintf(gWatchdogOut, sizeof gWatchdogOut, "%s", json.c_str());
  snprintf(gWatchdogErr, sizeof gWatchdogErr,
           "tallyjet: asking the status: no answer within %u s; is the printer on and is this "
           "its port?\n",
           seconds);
  signal(SIGALRM, WatchdogFired);
  // A second after the asking gives up: a read that returns reports in its own words.
  alarm(seconds + 1);
}

void DisarmWatchdog() { alarm(0); }

int AskStatus(Connection& c, unsigned timeoutSeconds, bool drawer, Answers* a) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
  tallyjet_printer* p = c.printer();
  const unsigned answerWaitMs = std::min(timeoutSeconds * 1000 / kAnswerShare, kLongestAnswerWaitMs);
  tallyjet_set_answer_timeout(p, static_cast<int>(answerWaitMs));
  int result = AskUntil(deadline, [&] { return tallyjet_get_printer_status(p, &a->printer); });
  if (result == TALLYJET_SUCCESS) {
    result = AskUntil(deadline, [&] { return tallyjet_get_media_status(p, &a->media); });
  }
  if (result == TALLYJET_SUCCESS && drawer) {
    result = AskUntil(deadline, [&] { return tallyjet_get_drawer_status(p, 1, &a->drawer); });
  }
  return result;
}

void ReportNoAnswer(int result, unsigned timeoutSeconds) {
  if (NoValidAnswer(result)) {
    Complain("asking the status: no valid answer within " + std::to_string(timeoutSeconds) +
             " s (nothing, or bytes that are not a status); is the printer on, and is this its "
             "port and rate?");
  } else {
    Complain(std::string("asking the status: ") + tallyjet_result_name(result) + " (" +
             std::to_string(result) + "); is the printer still connected?");
  }
}

int StateBeforePrinting(Connection& c) {
  Answers answers;
  ArmWatchdog(kStatusSeconds, "");
  const int result = AskStatus(c, kStatusSeconds, false, &answers);
  DisarmWatchdog();
  if (result != TALLYJET_SUCCESS) {
    ReportNoAnswer(result, kStatusSeconds);
    return kExitNoAnswer;
  }
  const int state = Classify(answers);
  if (state == kExitOk || state == kExitPaperNearEnd) return kExitOk;
  Complain(std::string("the printer cannot print: ") + StateName(state) +
           "; nothing sent (--force prints anyway)");
  return state;
}
