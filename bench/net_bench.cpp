// How fast SendData moves 1 MB of text in 4 KB calls over the loopback to a reader that takes
// every byte at once, against a bare send loop of the same bytes in the same run. The ratio of
// the two is printed at the end.
#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <map>
#include <string>

#include "loopback_printer.h"
#include "tallyjet.h"

namespace {

constexpr long kTotal = kJobBytes;
constexpr int kCall = kCallBytes;

LoopbackPrinter& TheDrain() {
  static LoopbackPrinter drain;
  return drain;
}

void SendDataInCalls(benchmark::State& state) {
  SetProtocol(TALLYJET_PROTOCOL_ESCPOS);
  if (OpenPort(TheDrain().PortName().c_str(), 0, 'N', 8, 1) != TALLYJET_SUCCESS) {
    state.SkipWithError("cannot connect");
    return;
  }
  const std::string& text = JobText();
  for (auto _ : state) {
    for (int at = 0; at < kTotal; at += kCall) {
      if (SendData(text.data() + at, kCall) != TALLYJET_SUCCESS) state.SkipWithError("SendData");
    }
  }
  state.SetBytesProcessed(state.iterations() * kTotal);
  ClosePort();
}

void BareSendLoop(benchmark::State& state) {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  const int on = 1;
  setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
  const sockaddr_in& address = TheDrain().Address();
  if (connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
    state.SkipWithError("cannot connect");
    close(fd);
    return;
  }
  const std::string& text = JobText();
  for (auto _ : state) {
    for (int at = 0; at < kTotal; at += kCall) {
      for (int sent = 0; sent < kCall;) {
        const ssize_t n = send(fd, text.data() + at + sent, kCall - sent, MSG_NOSIGNAL);
        if (n <= 0) {
          state.SkipWithError("send");
          break;
        }
        sent += static_cast<int>(n);
      }
    }
  }
  state.SetBytesProcessed(state.iterations() * kTotal);
  close(fd);
}

BENCHMARK(SendDataInCalls)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BareSendLoop)->UseRealTime()->Unit(benchmark::kMillisecond);

// The console report, then SendData's times over the bare loop's.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    // One run each, or with --benchmark_repetitions the median of them.
    for (const Run& run : runs) {
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median") continue;
      real_[run.run_name.function_name] = run.GetAdjustedRealTime();
      cpu_[run.run_name.function_name] = run.GetAdjustedCPUTime();
    }
    ConsoleReporter::ReportRuns(runs);
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    if (real_.count("SendDataInCalls") == 0 || real_.count("BareSendLoop") == 0) return;
    printf("SendData / bare send loop: %.2f in time, %.2f in CPU time (1 MB in 4 KB calls)\n",
           real_["SendDataInCalls"] / real_["BareSendLoop"],
           cpu_["SendDataInCalls"] / cpu_["BareSendLoop"]);
  }

 private:
  std::map<std::string, double> real_;
  std::map<std::string, double> cpu_;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  return 0;
}
