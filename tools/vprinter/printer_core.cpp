#include "printer_core.h"

#include <algorithm>

#include "answers.h"
#include "command_log.h"

namespace vprinter {

PrinterCore::PrinterCore(int drainBytesPerSecond) {
  buffer_.SetDrainRate(drainBytesPerSecond, Clock::now());
}

void PrinterCore::SetSinks(Sink raw, Sink log, bool remember) {
  rawSink_ = std::move(raw);
  logSink_ = std::move(log);
  remember_ = remember;
}

namespace {

// Real-time commands run on arrival, even into a full buffer, and take no room in it.
bool IsRealTime(Kind kind) {
  return kind == Kind::Status || kind == Kind::RealTimeRequest || kind == Kind::RealTimeFunction;
}

// The bits of the automatic status that GS a n watches: n bit 0 the drawer, bit 1 on-line state
// and cover, bit 2 errors, bit 3 the paper roll sensors.
std::string Watched(const std::string& status, int n) {
  std::string watched(4, '\0');
  watched[0] =
      static_cast<char>(status[0] & (((n & 1) != 0 ? 0x04 : 0) | ((n & 2) != 0 ? 0x28 : 0)));
  watched[1] = static_cast<char>((n & 4) != 0 ? status[1] : 0);
  watched[2] = static_cast<char>((n & 8) != 0 ? status[2] : 0);
  return watched;
}

}  // namespace

void PrinterCore::SetState(const PrinterState& state) {
  const std::string before = AutoStatus(state_), after = AutoStatus(state);
  const bool paperLoaded = state_.paperEnd && !state.paperEnd && rolledOut_;
  state_ = state;
  settings_.multiByteSet = state.multiByteSet;
  const int n = settings_.autoStatusBack;
  if (n != 0 && Watched(before, n) != Watched(after, n)) {
    AddLine("STATUS BACK  automatic status" + Queue(after, Clock::now()));
  }
  if (paperLoaded) LoadRoll(rollDots_ / PaperPace::kDotsPerMillimetre, Clock::now());
}

void PrinterCore::SetDrainRate(int bytesPerSecond, Clock::time_point now) {
  buffer_.SetDrainRate(bytesPerSecond, now);
}

void PrinterCore::Receive(const std::string& bytes, Clock::time_point now) {
  receivedCount_ += bytes.size();
  if (remember_) received_ += bytes;
  if (rawSink_) rawSink_(bytes);
  const std::vector<Command> commands = parser_.Feed(bytes);
  size_t realTime = 0;
  for (const Command& command : commands) {
    if (IsRealTime(command.kind)) realTime += command.raw.size();
  }
  const size_t buffered = bytes.size() - std::min(realTime, bytes.size());
  const size_t lost = buffer_.Accept(buffered, now);
  if (lost > 0) {
    ++overruns_;
    AddLine("OVERRUN " + std::to_string(lost) + " bytes lost: the receive buffer of " +
            std::to_string(ReceiveBuffer::kCapacity) + " bytes is full");
  }
  Process(commands, now);
}

void PrinterCore::Idle(Clock::time_point now) { Process(parser_.Flush(), now); }

void PrinterCore::Finish(Clock::time_point now) { Process(parser_.Finish(), now); }

void PrinterCore::EndConnection(Clock::time_point now) {
  Finish(now);
  answers_.clear();
  settings_.autoStatusBack = 0;  // the next client asks for it again
}

void PrinterCore::LoadRoll(int millimetres, Clock::time_point now) {
  rollDots_ = millimetres > 0 ? millimetres * PaperPace::kDotsPerMillimetre : -1;
  paperLeft_ = rollDots_;
  paperOutAt_ = Clock::time_point::max();
  if (!rolledOut_) return;
  rolledOut_ = false;
  if (state_.paperEnd) {
    PrinterState loaded = state_;
    loaded.paperEnd = false;
    SetState(loaded);
  }
  const std::vector<Command> resumed(waiting_.begin(), waiting_.end());
  waiting_.clear();
  waitingBytes_ = 0;
  Process(resumed, now);
}

void PrinterCore::Tick(Clock::time_point now) {
  if (paperOutAt_ > now) return;
  paperOutAt_ = Clock::time_point::max();
  PrinterState out = state_;
  out.paperEnd = true;
  SetState(out);
  AddLine("PAPER OUT  the roll has run out; printing waits for paper");
}

// Real-time commands run on arrival; the others wait while the paper is out.
void PrinterCore::Process(const std::vector<Command>& commands, Clock::time_point now) {
  for (const Command& command : commands) {
    if (!IsRealTime(command.kind) && rolledOut_) {
      waiting_.push_back(command);
      waitingBytes_ += command.raw.size();
    } else {
      Print(command, now);
    }
  }
}

// A command whose paper the roll does not hold waits, and the roll runs out once the paper
// before it has passed.
void PrinterCore::Print(const Command& command, Clock::time_point now) {
  const int dots = PaperDotsOf(command, settings_);
  if (rollDots_ >= 0 && dots > paperLeft_) {
    pace_.Print(paperLeft_, now);
    paperOutAt_ = pace_.Done(now);
    paperLeft_ = 0;
    rolledOut_ = true;
    Process({command}, now);
    return;
  }
  if (rollDots_ >= 0) paperLeft_ -= dots;
  std::string line = Describe(command, settings_);
  for (const std::string& note : {Apply(command, state_.nvCapacity, &settings_),
                                  hook_ ? hook_(command, settings_) : std::string()}) {
    if (!note.empty()) line += " (" + note + ")";
  }
  const Clock::time_point start = pace_.Done(now);
  pace_.Print(dots, now);
  if (!IsRealTime(command.kind)) pace_.Hold(command.raw.size(), start);
  AddLine(line + Respond(command, now));
}

// Queues the answer to a query; returns how the log shows it.
std::string PrinterCore::Respond(const Command& command, Clock::time_point now) {
  const size_t used = settings_.NvUsed();
  const size_t capacity = state_.nvCapacity > 0 ? state_.nvCapacity : 0;
  const Query query =
      AnswerTo(command, state_, buffer_.FillPercent(now), capacity > used ? capacity - used : 0);
  if (!query.asked) return "";
  // The process ID comes once everything before its request has printed.
  const bool afterPrinting = command.kind == Kind::ResponseRequest;
  return Queue(query.answer, afterPrinting ? pace_.Done(now) : now, afterPrinting);
}

// Queues an answer as the state's failure mode delivers it, not before from; returns how the
// log shows it.
std::string PrinterCore::Queue(const std::string& answer, Clock::time_point from,
                               bool afterPrinting) {
  const std::string sent = Deliver(answer, state_.answers);
  if (sent.empty()) return " -> nothing (silent)";
  answers_.push_back(
      {sent, from + std::chrono::milliseconds(state_.answerDelayMs), afterPrinting});
  std::string shown = " -> " + HexBytes(sent, 32);
  if (state_.answers == PrinterState::Answers::Garbage) shown += " (garbage)";
  if (state_.answerDelayMs > 0) shown += " after " + std::to_string(state_.answerDelayMs) + " ms";
  return shown;
}

// An answer that waits for the paper does not hold back the real-time answers queued after it.
std::string PrinterCore::TakeDueAnswers(Clock::time_point now) {
  std::string due;
  for (auto answer = answers_.begin(); answer != answers_.end();) {
    if (answer->due <= now && Sendable(*answer)) {
      due += answer->bytes;
      answer = answers_.erase(answer);
    } else {
      ++answer;
    }
  }
  return due;
}

PrinterCore::Clock::time_point PrinterCore::NextAnswerDue() const {
  Clock::time_point next = Clock::time_point::max();
  for (const Answer& answer : answers_) {
    if (Sendable(answer)) next = std::min(next, answer.due);
  }
  return next;
}

void PrinterCore::AddLine(const std::string& line) {
  if (remember_) log_.push_back(line);
  if (logSink_) logSink_(line);
}

void PrinterCore::Clear() {
  received_.clear();
  receivedCount_ = 0;
  log_.clear();
  overruns_ = 0;
}

}  // namespace vprinter
