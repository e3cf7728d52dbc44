// tallyjet-vprinter: the virtual printer as a program, serving until SIGINT or SIGTERM.
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "program_options.h"
#include "state_file.h"
#include "virtual_printer.h"

namespace {

volatile sig_atomic_t stopRequested = 0;

void OnStopSignal(int) { stopRequested = 1; }

void CatchStopSignals() {
  struct sigaction action = {};
  action.sa_handler = OnStopSignal;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}

struct FileCloser {
  void operator()(FILE* file) const { fclose(file); }
};
using File = std::unique_ptr<FILE, FileCloser>;

void Warn(const std::string& message) { fprintf(stderr, "tallyjet-vprinter: %s\n", message.c_str()); }

int Fail(const std::string& message, int status) {
  Warn(message);
  return status;
}

// Opens FILE for writing, or leaves it null when no path is given.
bool OpenOutput(const std::string& path, File* file) {
  if (path.empty()) return true;
  file->reset(fopen(path.c_str(), "wb"));
  return *file != nullptr;
}

void Connect(vprinter::VirtualPrinter* printer, FILE* raw, FILE* log) {
  vprinter::PrinterCore::Sink rawSink, logSink;
  if (raw != nullptr) {
    rawSink = [raw](const std::string& bytes) {
      fwrite(bytes.data(), 1, bytes.size(), raw);
      fflush(raw);
    };
  }
  if (log != nullptr) {
    logSink = [log](const std::string& line) {
      fprintf(log, "%s\n", line.c_str());
      fflush(log);
    };
  }
  // The files keep everything; memory would only grow.
  printer->SetSinks(rawSink, logSink, false);
}

void ServeUntilStopped(vprinter::VirtualPrinter* printer, const vprinter::ProgramOptions& options) {
  vprinter::StateFile stateFile(options.stateFile, options.state, options.printer);
  while (!stopRequested) {
    vprinter::PrinterState state;
    vprinter::Options rates;
    std::vector<std::string> errors;
    if (!options.stateFile.empty() && stateFile.Changed(&state, &rates, &errors)) {
      for (const std::string& error : errors) Warn(options.stateFile + ": " + error);
      printer->SetState(state);
      printer->SetRates(rates.drainBytesPerSecond, rates.readBytesPerSecond);
    }
    usleep(100 * 1000);
  }
}

}  // namespace

int main(int argc, char** argv) {
  vprinter::ProgramOptions options;
  std::string error;
  if (!vprinter::ParseArguments(std::vector<std::string>(argv + 1, argv + argc), &options, &error)) {
    return Fail(error + " (see --help)", 2);
  }
  if (options.help) {
    fputs(vprinter::Usage().c_str(), stdout);
    return 0;
  }
  if (!options.pngFile.empty()) Warn("no receipt rendering in this build; --png ignored");
  File raw, log;
  if (!OpenOutput(options.rawFile, &raw)) return Fail(options.rawFile + ": " + strerror(errno), 1);
  if (!OpenOutput(options.logFile, &log)) return Fail(options.logFile + ": " + strerror(errno), 1);

  vprinter::VirtualPrinter printer(options.printer);
  printer.SetState(options.state);
  Connect(&printer, raw.get(), log != nullptr ? log.get() : options.quiet ? nullptr : stdout);
  CatchStopSignals();
  if (!printer.Start()) return Fail(std::string("cannot open the pseudo-terminal: ") + strerror(errno), 1);
  printf("%s\n", printer.SlavePath().c_str());
  fflush(stdout);
  ServeUntilStopped(&printer, options);
  printer.Stop();
  return 0;
}
