// The printer without its line: takes the bytes read from the line, splits and decodes them,
// keeps the settings they make, models the receive buffer and queues the answers to queries.
// Not thread-safe; VirtualPrinter serialises access.
#ifndef VPRINTER_PRINTER_CORE_H
#define VPRINTER_PRINTER_CORE_H

#include <chrono>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "command_parser.h"
#include "paper_pace.h"
#include "printer_settings.h"
#include "printer_state.h"
#include "receive_buffer.h"

namespace vprinter {

class PrinterCore {
 public:
  using Clock = ReceiveBuffer::Clock;
  using Sink = std::function<void(const std::string&)>;
  // Sees each command in order, with the settings as the command has left them (a renderer);
  // what it returns, when not empty, is noted on the command's log line.
  using Hook = std::function<std::string(const Command&, const PrinterSettings&)>;

  explicit PrinterCore(int drainBytesPerSecond = 0);

  // Streams the raw bytes and the log lines to these as they come (either may be empty); with
  // remember false they are not kept in memory as well.
  void SetSinks(Sink raw, Sink log, bool remember);

  void SetHook(Hook hook) { hook_ = std::move(hook); }

  // Bytes read from the line at time now.
  void Receive(const std::string& bytes, Clock::time_point now);
  // The line has gone quiet: a held-back text run is logged.
  void Idle(Clock::time_point now);
  // The line is closed for good: an unfinished command is logged too.
  void Finish(Clock::time_point now);
  // A network client has gone: as Finish, and the answers still queued for it are dropped.
  void EndConnection(Clock::time_point now);

  // The answer bytes due by now, in the order the queries came; removed from the queue. The
  // process ID of GS ( H is due once everything received before it has printed.
  std::string TakeDueAnswers(Clock::time_point now);
  // When the next queued answer is due; Clock::time_point::max() when none is queued.
  Clock::time_point NextAnswerDue() const;

  // A change that automatic status back (GS a) reports is sent to the client unasked. Clearing
  // the paper end of a roll that ran out loads a new roll, and printing goes on.
  void SetState(const PrinterState& state);
  // Loads a roll of paper of that length, which runs out while printing; 0 an endless roll (the
  // default). When the paper runs out, the printer reports its end and prints nothing more (what
  // is left waits in its buffer) until paper is loaded again.
  void LoadRoll(int millimetres, Clock::time_point now);
  // Lets the paper run out when its time has come.
  void Tick(Clock::time_point now);
  // When the paper runs out; Clock::time_point::max() when it is not about to.
  Clock::time_point PaperOutDue() const { return paperOutAt_; }
  const PrinterState& State() const { return state_; }
  void SetDrainRate(int bytesPerSecond, Clock::time_point now);
  // The paper speed in mm/s, 0 for printing that takes no time (see PaperPace).
  void SetSpeed(int millimetresPerSecond) { pace_.SetSpeed(millimetresPerSecond); }
  bool Paced() const { return pace_.Paced(); }
  // Bytes read whose paper has not passed yet; the printer reads no more while they fill its
  // receive buffer.
  size_t HeldBytes(Clock::time_point now) { return pace_.Held(now) + waitingBytes_; }

  const std::string& Received() const { return received_; }
  size_t ReceivedCount() const { return receivedCount_; }
  const std::vector<std::string>& Log() const { return log_; }
  const PrinterSettings& Settings() const { return settings_; }
  int Overruns() const { return overruns_; }
  // Forgets the received bytes, the log and the overrun count; settings stay.
  void Clear();

 private:
  struct Answer {
    std::string bytes;
    Clock::time_point due;
    bool afterPrinting;  // the process ID: never sent while the paper is out
  };

  void Process(const std::vector<Command>& commands, Clock::time_point now);
  void Print(const Command& command, Clock::time_point now);
  bool Sendable(const Answer& answer) const { return !answer.afterPrinting || !state_.paperEnd; }
  std::string Respond(const Command& command, Clock::time_point now);
  std::string Queue(const std::string& answer, Clock::time_point from, bool afterPrinting = false);
  void AddLine(const std::string& line);

  PrinterState state_;
  PrinterSettings settings_;
  CommandParser parser_;
  ReceiveBuffer buffer_;
  PaperPace pace_;
  int rollDots_ = -1;  // the roll's length; -1 an endless roll
  int paperLeft_ = 0;  // dots left on the roll
  bool rolledOut_ = false;  // the roll has run out, or is about to: printing waits
  Clock::time_point paperOutAt_ = Clock::time_point::max();
  std::deque<Command> waiting_;  // received while the paper is out, printed once it is back
  size_t waitingBytes_ = 0;
  std::deque<Answer> answers_;
  std::string received_;
  size_t receivedCount_ = 0;
  std::vector<std::string> log_;
  int overruns_ = 0;
  Sink rawSink_;
  Sink logSink_;
  Hook hook_;
  bool remember_ = true;
};

}  // namespace vprinter

#endif  // VPRINTER_PRINTER_CORE_H
