#include "confirmation.h"

#include "failure.h"
#include "readiness.h"

namespace {

// A slow printer's paper speed (50 mm/s at 8 dots a millimetre), and time for the rest.
constexpr int kSlowDotsPerSecond = 400;
constexpr int kBaseWaitMs = 10000;
constexpr unsigned kStatusSeconds = 5;

}  // namespace

int DefaultWaitMs(int paperDots) { return kBaseWaitMs + paperDots * 1000 / kSlowDotsPerSecond; }

int ConfirmPrinted(Connection& c) {
  const int waitMs = c.port().waitSeconds > 0 ? static_cast<int>(c.port().waitSeconds * 1000)
                                              : DefaultWaitMs(c.PaperDots());
  const int result = tallyjet_wait_printed(c.printer(), waitMs);
  if (result == TALLYJET_SUCCESS) return kExitOk;
  if (result == TALLYJET_ERR_NOT_CONFIRMED) {
    Complain("the printer did not confirm the job within " + std::to_string(waitMs / 1000) +
             " s: it may still be printing, or not know the request (--no-wait skips it)");
    return kExitNotConfirmed;
  }
  if (result != TALLYJET_ERR_PRINTER_STOPPED) {
    c.Check(result, "waiting for the printer to confirm the job");
    return kExitFailure;
  }
  Answers answers;
  const bool asked = AskStatus(c, kStatusSeconds, false, &answers) == TALLYJET_SUCCESS;
  const int state = asked ? Classify(answers) : kExitOffline;
  const int code = state == kExitOk || state == kExitPaperNearEnd ? kExitOffline : state;
  Complain(std::string("the printer stopped before the job was printed: ") + StateName(code) +
           "; print it again once the printer is ready");
  return code;
}
