// Two printers on two loopback listeners, a job of 1 MB of text each in 4 KB calls through
// printer handles (open, send, close): from two threads at once, against the same two one after
// the other, in the same run. Each listener takes the bytes as fast as they come (0) or at a
// printer's pace (the argument, in MB/s). A job ends when its printer has read every byte and
// closed the connection: the kernel's socket buffers would otherwise take the whole megabyte at
// once and hide the printer's pace. The ratio of the two ways is printed at the end.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <thread>

#include "loopback_printer.h"
#include "tallyjet.h"

namespace {

constexpr long kTotal = kJobBytes;
constexpr int kCall = kCallBytes;

// One printer's job: opened, 1 MB in 4 KB calls, closed once the printer has it all.
bool PrintJob(const LoopbackPrinter& printer) {
  tallyjet_printer* handle = nullptr;
  if (tallyjet_open(printer.PortName().c_str(), 0, &handle) != TALLYJET_SUCCESS) return false;
  const std::string& text = JobText();
  bool sent = true;
  for (long at = 0; at < kTotal && sent; at += kCall) {
    sent = tallyjet_send_data(handle, text.data() + at, kCall) == TALLYJET_SUCCESS;
  }
  return tallyjet_close(handle) == TALLYJET_SUCCESS && sent;
}

void Run(benchmark::State& state, bool atOnce) {
  const long rate = state.range(0) * 1000000;
  const LoopbackPrinter first(rate);
  const LoopbackPrinter second(rate);
  long rounds = 0;
  for (auto _ : state) {
    bool printed[2] = {false, false};
    if (atOnce) {
      std::thread other([&] { printed[1] = PrintJob(second); });
      printed[0] = PrintJob(first);
      other.join();
    } else {
      printed[0] = PrintJob(first);
      printed[1] = PrintJob(second);
    }
    ++rounds;
    const bool whole = first.Received() == rounds * kTotal && second.Received() == rounds * kTotal;
    if (!printed[0] || !printed[1] || !whole) state.SkipWithError("a job was not printed whole");
  }
  state.SetBytesProcessed(state.iterations() * 2 * kTotal);
}

void TwoPrintersAtOnce(benchmark::State& state) { Run(state, true); }
void TwoPrintersInTurn(benchmark::State& state) { Run(state, false); }

BENCHMARK(TwoPrintersAtOnce)->Arg(0)->Arg(4)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(TwoPrintersInTurn)->Arg(0)->Arg(4)->UseRealTime()->Unit(benchmark::kMillisecond);

// The console report, then for each listener pace the time in turn over the time at once.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median") continue;
      real_[run.run_name.function_name][run.run_name.args] = run.GetAdjustedRealTime();
    }
    ConsoleReporter::ReportRuns(runs);
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    for (const auto& [pace, atOnce] : real_["TwoPrintersAtOnce"]) {
      const auto inTurn = real_["TwoPrintersInTurn"].find(pace);
      if (inTurn == real_["TwoPrintersInTurn"].end()) continue;
      printf("two printers, listeners at %s MB/s (0: at once): in turn / at once = %.2f\n",
             pace.c_str(), inTurn->second / atOnce);
    }
  }

 private:
  std::map<std::string, std::map<std::string, double>> real_;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  return 0;
}
