// Paper handling: cutting, feeding, printing the line buffer and the page-mode buffer.
#include <unistd.h>

#include "escpos_command.h"
#include "prot_escpos.h"

using namespace escpos;

namespace {

// The printer needs a moment before the LF that follows a dump request.
constexpr unsigned kDumpPauseMicros = 50000;

}  // namespace

int ProtEscPos::PaperCut(int m) {
  // GS V m: partial cut (m 1 or 49); the full cut (0, 48) is not offered
  return Send(transport_, OneOf(m, {1, 49}), {GS, 'V', Low(m)});
}

int ProtEscPos::PaperCutnLines(int m, int n) {
  // GS V 66 n: feed n motion units past the cutting position, then cut partially
  if (m == 66) return Send(transport_, true, {GS, 'V', 'B', Low(n)});
  return PaperCut(m);
}

int ProtEscPos::PaperFeed(int n) {
  return Send(transport_, InRange(n, 0, 255), {ESC, 'J', Low(n)});  // ESC J n: print and feed
}

int ProtEscPos::PrintAndPaperFeed(int n) { return PaperFeed(n); }

int ProtEscPos::GetPartialLineFeed(int n) {
  // ESC d n: print and feed n lines
  return Send(transport_, InRange(n, 0, 255), {ESC, 'd', Low(n)});
}

int ProtEscPos::PrintAndLineFeed() { return Send(transport_, true, {LF}); }  // LF: print and feed

int ProtEscPos::SetDumpEnable() {
  if (transport_ == nullptr) return TALLYJET_ERR_PORT_NOT_OPEN;
  usleep(kDumpPauseMicros);
  return PrintAndLineFeed();
}

int ProtEscPos::PrintInPageMode() {
  return Send(transport_, true, {ESC, FF});  // ESC FF: print the page-mode buffer
}
