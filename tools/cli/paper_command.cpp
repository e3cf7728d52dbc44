// cut, feed and drawer: the paper and the cash drawer.
#include <CLI/CLI.hpp>

#include "connection.h"
#include "tallyjet.h"

namespace {

struct DrawerOptions {
  int pin = 2;
  int onMs = 100;
  int offMs = 200;
};

int Drawer(const PortOptions& port, const DrawerOptions& o) {
  // ESC p counts the pulse in units of 2 ms; pin 2 is m 0, pin 5 is m 1.
  return RunOnPrinter(port, [&](Connection& c) {
    return c.Check(GeneratePulse(o.pin == 5 ? 1 : 0, o.onMs / 2, o.offMs / 2),
                   "pulsing the drawer on pin " + std::to_string(o.pin));
  });
}

}  // namespace

void AddPaperCommands(CLI::App& app, Program& program) {
  app.add_subcommand("cut", "Cut the paper")->callback([&program] {
    program.exitCode = RunOnPrinter(program.port, [](Connection& c) {
      return c.Check(MakeCut(1), "cutting the paper");
    });
  });

  auto* feed = app.add_subcommand("feed", "Feed the paper N lines");
  auto lines = std::make_shared<int>(1);
  feed->add_option("lines", *lines, "0 to 255 lines")->required()->check(CLI::Range(0, 255));
  feed->callback([&program, lines] {
    program.exitCode = RunOnPrinter(program.port, [lines](Connection& c) {
      return c.Check(GetPartialLineFeed(*lines), "feeding the paper");
    });
  });

  auto* drawer = app.add_subcommand("drawer", "Open the cash drawer with a pulse");
  auto d = std::make_shared<DrawerOptions>();
  drawer->add_option("--pin", d->pin, "connector pin 2 (default) or 5")
      ->check(CLI::IsMember({2, 5}));
  drawer->add_option("--on", d->onMs, "pulse on time in ms, 2 to 510 (default 100)")
      ->check(CLI::Range(2, 510));
  drawer->add_option("--off", d->offMs, "pulse off time in ms, 2 to 510 (default 200)")
      ->check(CLI::Range(2, 510));
  drawer->callback([&program, d] { program.exitCode = Drawer(program.port, *d); });
}
