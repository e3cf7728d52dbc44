// The printer's state as its status answers say it: asked with a bound on the wait, and turned
// into the exit codes of the manual page.
#ifndef TALLYJET_CLI_READINESS_H
#define TALLYJET_CLI_READINESS_H

#include <string>

#include "connection.h"
#include "exit_codes.h"

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
ExitCode Classify(const Answers& a);
// "ready", "no-answer", "offline", "cover-open", "paper-end", "paper-near-end" or "port-failed".
const char* StateName(int code);

// Ends the program with kExitNoAnswer, writing json (when not empty) on standard output and one
// line on standard error, unless DisarmWatchdog comes first: a device node whose printer never
// answers would hold a read for ever.
void ArmWatchdog(unsigned seconds, const std::string& json);
void DisarmWatchdog();

// Asks the printer and paper status (and the drawer's with drawer true). A query that gets no
// answer in time is asked again until timeoutSeconds have passed. The library's result.
int AskStatus(Connection& c, unsigned timeoutSeconds, bool drawer, Answers* answers);
// One line on standard error for a failed AskStatus: no answer, or no valid answer.
void ReportNoAnswer(int result, unsigned timeoutSeconds);

// kExitOk when the printer can print now (paper near its end still prints); otherwise one line
// on standard error and the exit code of its state (kExitNoAnswer when it does not answer).
int StateBeforePrinting(Connection& c);

#endif  // TALLYJET_CLI_READINESS_H
