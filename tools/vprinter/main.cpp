// tallyjet-vprinter: the virtual printer as a program, serving until SIGINT, SIGTERM or SIGHUP.
#include <pthread.h>
#include <signal.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "headless_gui.h"
#include "paper_pace.h"
#include "png_output.h"
#include "program_options.h"
#include "receipt_renderer.h"
#include "state_file.h"
#include "virtual_printer.h"

namespace {

// SIGINT, SIGTERM and SIGHUP are blocked in every thread and taken synchronously by the main
// loop, so no handler runs in the middle of the serving thread's work.
sigset_t StopSignals() {
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  sigaddset(&signals, SIGHUP);
  return signals;
}

// Waits up to 100 ms for a stop signal; true when one came.
bool StopSignalled(const sigset_t& signals) {
  const timespec wait = {0, 100 * 1000 * 1000};
  return sigtimedwait(&signals, nullptr, &wait) > 0;
}

struct FileCloser {
  void operator()(FILE* file) const { fclose(file); }
};
using File = std::unique_ptr<FILE, FileCloser>;

void Warn(const std::string& message) {
  fprintf(stderr, "tallyjet-vprinter: %s\n", message.c_str());
}

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

// Takes the state file's settings when it changed since the last look; a roll length that
// changed loads a new roll.
void FollowStateFile(const std::string& path, vprinter::StateFile* stateFile,
                     vprinter::VirtualPrinter* printer, int* rollLength) {
  vprinter::PrinterState state;
  vprinter::Options rates;
  std::vector<std::string> errors;
  if (path.empty() || !stateFile->Changed(&state, &rates, &errors)) return;
  for (const std::string& error : errors) Warn(path + ": " + error);
  printer->SetState(state);
  printer->SetRates(rates.drainBytesPerSecond, rates.readBytesPerSecond);
  printer->SetSpeed(rates.paperSpeed);
  if (rates.paperLength != *rollLength) printer->LoadRoll(rates.paperLength);
  *rollLength = rates.paperLength;
}

// What --png asks for: Qt for the text, and a renderer that the serving thread feeds.
struct Rendering {
  explicit Rendering(const vprinter::Paper& paper) : renderer(paper) {}
  vprinter::HeadlessGui gui;
  vprinter::ReceiptRenderer renderer;
};

std::unique_ptr<Rendering> StartRendering(const vprinter::ProgramOptions& options,
                                          vprinter::VirtualPrinter* printer) {
  vprinter::Paper paper{};
  if (options.pngFile.empty() || !vprinter::PaperOfWidth(options.paperMillimetres, &paper)) {
    return nullptr;
  }
  paper.cutterDots = options.cutterMillimetres * vprinter::PaperPace::kDotsPerMillimetre;
  auto rendering = std::make_unique<Rendering>(paper);
  vprinter::ReceiptRenderer* renderer = &rendering->renderer;
  printer->SetHook(
      [renderer](const vprinter::Command& command, const vprinter::PrinterSettings& settings) {
        return renderer->Render(command, settings);
      });
  return rendering;
}

}  // namespace

int main(int argc, char** argv) {
  vprinter::ProgramOptions options;
  std::string error;
  if (!vprinter::ParseArguments(std::vector<std::string>(argv + 1, argv + argc), &options,
                                &error)) {
    return Fail(error + " (see --help)", 2);
  }
  if (options.help) {
    fputs(vprinter::Usage().c_str(), stdout);
    return 0;
  }
  if (options.version) {
    printf("%s\n", vprinter::VersionLine().c_str());
    return 0;
  }
  File raw, log;
  if (!OpenOutput(options.rawFile, &raw)) return Fail(options.rawFile + ": " + strerror(errno), 1);
  if (!OpenOutput(options.logFile, &log)) return Fail(options.logFile + ": " + strerror(errno), 1);

  vprinter::VirtualPrinter printer(options.printer);
  const std::unique_ptr<Rendering> rendering = StartRendering(options, &printer);
  printer.SetState(options.state);
  // The state file counts from the first byte: a client may open the line as soon as it exists.
  vprinter::StateFile stateFile(options.stateFile, options.state, options.printer);
  int rollLength = options.printer.paperLength;
  FollowStateFile(options.stateFile, &stateFile, &printer, &rollLength);
  Connect(&printer, raw.get(), log != nullptr ? log.get() : options.quiet ? nullptr : stdout);
  const sigset_t signals = StopSignals();
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);  // before Start: the serving thread inherits it
  if (!printer.Start()) {
    const std::string where = options.printer.listenPort < 0
                                  ? "open the pseudo-terminal"
                                  : "listen on " + options.printer.listenHost + " port " +
                                        std::to_string(options.printer.listenPort);
    return Fail("cannot " + where + ": " + strerror(errno), 1);
  }
  printf("%s\n", printer.PortName().c_str());
  fflush(stdout);
  while (!StopSignalled(signals)) {
    FollowStateFile(options.stateFile, &stateFile, &printer, &rollLength);
  }
  printer.Stop();
  if (rendering != nullptr &&
      !vprinter::WritePng(rendering->renderer.Roll(), options.pngFile, options.pngPerCut, &error)) {
    return Fail(error, 1);
  }
  return 0;
}
