// status: asks the printer, paper and drawer status, prints one line per item or one JSON
// object, and says the printer's state in the exit code.
#include <CLI/CLI.hpp>
#include <cstdio>

#include "connection.h"
#include "readiness.h"

namespace {

struct StatusOptions {
  bool json = false;
  unsigned timeout = 5;
};

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

int Status(const PortOptions& port, const StatusOptions& options) {
  Connection connection(port);
  const int opened = connection.Open();
  if (opened != kExitOk) {
    if (options.json) PrintJson(opened, nullptr, TALLYJET_SUCCESS);
    return opened;
  }
  char json[128] = "";
  if (options.json) {
    snprintf(json, sizeof json, "{\"state\":\"%s\",\"exit_code\":%d}\n",
             StateName(kExitNoAnswer), kExitNoAnswer);
  }
  ArmWatchdog(options.timeout, json);
  Answers a;
  const int result = AskStatus(connection, options.timeout, true, &a);
  DisarmWatchdog();
  if (result != TALLYJET_SUCCESS) {
    ReportNoAnswer(result, options.timeout);
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
