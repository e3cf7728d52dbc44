// An ESC/POS receipt printer on a pseudo-terminal or on a TCP port, for tests and for trying the
// library without paper. A serving thread reads what clients write to the slave (or send over
// the network, one connection at a time), decodes and logs it, keeps the raw bytes and answers
// queries from a settable printer state. Every member is safe to call from any thread while the
// printer serves.
#ifndef VPRINTER_VIRTUAL_PRINTER_H
#define VPRINTER_VIRTUAL_PRINTER_H

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "printer_core.h"
#include "printer_settings.h"
#include "printer_state.h"
#include "pty.h"
#include "tcp_listener.h"

namespace vprinter {

struct Options {
  int drainBytesPerSecond = 0;  // 0: the receive buffer empties at once
  int readBytesPerSecond = 0;   // 0: read the pty as fast as bytes come
  // Paper speed in mm/s: each line, feed and picture row takes its paper's time, and the
  // printer reads only while its receive buffer has room (on TCP behind a receive window of a
  // few KB). 0: printing takes no time.
  int paperSpeed = 0;
  // A roll of this many millimetres that runs out while printing; 0 an endless roll.
  int paperLength = 0;
  std::string linkPath;         // optional symlink to the slave
  // With a port of 0 or more the printer listens on TCP instead of a pty: on listenHost (a
  // numeric address) and that port, 0 taking a free one.
  std::string listenHost = "127.0.0.1";
  int listenPort = -1;
};

class VirtualPrinter {
 public:
  explicit VirtualPrinter(const Options& options = Options());
  ~VirtualPrinter();  // stops
  VirtualPrinter(const VirtualPrinter&) = delete;
  VirtualPrinter& operator=(const VirtualPrinter&) = delete;

  bool Start();  // pty + raw mode (or the listening socket) + serving thread
  void Stop();
  std::string SlavePath() const;  // e.g. /dev/pts/7 (or the link when given)
  // What a client gives OpenPort: the slave path, or socket://HOST:PORT on the network.
  std::string PortName() const;
  void SetState(const PrinterState& state);
  PrinterState State() const;
  // Changes the receive buffer's drain rate and the read throttle while serving.
  void SetRates(int drainBytesPerSecond, int readBytesPerSecond);
  // Changes the paper speed while serving (see Options::paperSpeed).
  void SetSpeed(int millimetresPerSecond);
  // Loads a new roll of that length (see Options::paperLength); printing waiting for paper goes
  // on.
  void LoadRoll(int millimetres);
  std::string Received() const;          // every raw byte received so far
  std::vector<std::string> Log() const;  // decoded log lines so far
  PrinterSettings Settings() const;      // what the commands received so far have set up
  bool WaitForReceived(size_t bytes, int timeoutMs) const;  // true once that many arrived
  // Every raw byte received once quietMs have passed without another.
  std::string ReceivedOnceQuiet(int quietMs) const;
  // True once the log holds that many lines; a text run is logged when the line goes quiet.
  bool WaitForLog(size_t lines, int timeoutMs) const;
  int Overruns() const;
  void Clear();  // forget received bytes, log and overrun count
  // Ends the current network connection, as a printer does that times out an idle client, or
  // with reset abortively (RST), as one that fails; waits until the serving thread has done it.
  void DropClient(bool reset);

  // Streams raw bytes and log lines to these from the serving thread; with remember false they
  // are not kept in memory as well (a long-running program). Call before Start.
  void SetSinks(PrinterCore::Sink raw, PrinterCore::Sink log, bool remember);
  // Shows every command to hook on the serving thread (see PrinterCore::Hook). Call before Start.
  void SetHook(PrinterCore::Hook hook);

 private:
  void Serve();
  bool OnNetwork() const { return options_.listenPort >= 0; }
  void EndConnection(bool reset);
  size_t ReadAllowance(PrinterCore::Clock::time_point now, int* waitMs);
  bool ReadOnce(size_t allowance, int timeoutMs);
  void SendDueAnswers();
  template <typename Ready>
  bool WaitFor(int timeoutMs, Ready ready) const;

  const Options options_;
  Pty pty_;
  TcpListener tcp_;
  mutable std::mutex mutex_;
  mutable std::condition_variable progress_;
  PrinterCore core_;
  int readBytesPerSecond_;
  double readCredit_ = 0;
  PrinterCore::Clock::time_point credited_;
  std::atomic<bool> stopping_{false};
  enum class Drop { None, Close, Reset };
  std::atomic<Drop> dropRequest_{Drop::None};
  std::thread thread_;
};

}  // namespace vprinter

#endif  // VPRINTER_VIRTUAL_PRINTER_H
