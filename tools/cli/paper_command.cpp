// cut, feed and drawer: the paper and the cash drawer.
#include <CLI/CLI.hpp>
#include <cstdio>

#include "connection.h"
#include "paper.h"

namespace {

// GS V 66 n feeds to the cutter and n motion units (dots) more, then cuts.
constexpr int kCutAfterFeed = 66;
constexpr int kDotsPerLine = 30;  // the printer's default line spacing
// ESC p counts the drawer pulse in units of 2 ms.
constexpr int kPulseStepMs = 2;

struct DrawerOptions {
  int pin = 2;
  int onMs = 100;
  int offMs = 200;
};

// The pulse units nearest to ms; says so on standard error when that is not ms itself.
int PulseUnits(const char* which, int ms) {
  const int units = (ms + kPulseStepMs / 2) / kPulseStepMs;
  if (units * kPulseStepMs != ms) {
    fprintf(stderr, "tallyjet: the drawer pulse goes in steps of %d ms: %s %d ms taken as %d ms\n",
            kPulseStepMs, which, ms, units * kPulseStepMs);
  }
  return units;
}

int Drawer(const PortOptions& port, const DrawerOptions& o) {
  const int on = PulseUnits("on", o.onMs), off = PulseUnits("off", o.offMs);
  // Pin 2 is m 0, pin 5 is m 1.
  return RunOnPrinter(port, [&](Connection& c) {
    return c.Check(tallyjet_generate_pulse(c.printer(), o.pin == 5 ? 1 : 0, on, off),
                   "pulsing the drawer on pin " + std::to_string(o.pin));
  });
}

}  // namespace

bool FeedAndCut(Connection& c, int lines) {
  return c.Check(tallyjet_make_cut_n_lines(c.printer(), kCutAfterFeed, lines * kDotsPerLine),
                 "cutting the paper");
}

void AddPaperCommands(CLI::App& app, Program& program) {
  auto* cut = app.add_subcommand("cut", "Feed the last line past the cutter and cut the paper");
  auto extra = std::make_shared<int>(0);
  cut->add_option("--feed", *extra, "feed N lines more before the cut, 0 (default) to 8")
      ->check(CLI::Range(0, kMostFeedLinesBeforeCut));
  AddPrintingOptions(cut, &program.port, false);
  cut->callback([&program, extra] {
    program.exitCode = RunOnPrinter(program.port, [extra](Connection& c) {
      return FeedAndCut(c, *extra);
    });
  });

  auto* feed = app.add_subcommand("feed", "Feed the paper N lines");
  auto lines = std::make_shared<int>(1);
  feed->add_option("lines", *lines, "0 to 255 lines")->required()->check(CLI::Range(0, 255));
  AddPrintingOptions(feed, &program.port, false);
  feed->callback([&program, lines] {
    program.exitCode = RunOnPrinter(program.port, [lines](Connection& c) {
      return c.Check(tallyjet_get_partial_line_feed(c.printer(), *lines), "feeding the paper");
    });
  });

  auto* drawer = app.add_subcommand("drawer", "Open the cash drawer with a pulse");
  auto d = std::make_shared<DrawerOptions>();
  drawer->add_option("--pin", d->pin, "connector pin 2 (default) or 5")
      ->check(CLI::IsMember({2, 5}));
  drawer->add_option("--on", d->onMs, "pulse on time in ms, 1 to 510 in steps of 2 (default 100)")
      ->check(CLI::Range(1, 510));
  drawer->add_option("--off", d->offMs,
                     "pulse off time in ms, 1 to 510 in steps of 2 (default 200)")
      ->check(CLI::Range(1, 510));
  drawer->callback([&program, d] { program.exitCode = Drawer(program.port, *d); });
}
