#include "virtual_printer.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace vprinter {
namespace {

using Clock = PrinterCore::Clock;

// Short enough for Stop() to be prompt and for a quiet line to end a text run soon.
constexpr int kPollMs = 10;
constexpr size_t kReadChunk = 4096;
// How often a printer with a full receive buffer looks whether the paper has made room.
constexpr int kPaperLookMs = 2;

int MillisecondsUntil(Clock::time_point when) {
  if (when == Clock::time_point::max()) return kPollMs;
  const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(when - Clock::now());
  return static_cast<int>(std::clamp<long long>(wait.count(), 0, kPollMs));
}

}  // namespace

VirtualPrinter::VirtualPrinter(const Options& options)
    : options_(options),
      core_(options.drainBytesPerSecond),
      readBytesPerSecond_(std::max(0, options.readBytesPerSecond)) {
  core_.SetSpeed(options.paperSpeed);
  core_.LoadRoll(options.paperLength, Clock::now());
}

VirtualPrinter::~VirtualPrinter() { Stop(); }

bool VirtualPrinter::Start() {
  if (thread_.joinable()) return true;
  const bool opened = OnNetwork() ? tcp_.Listen(options_.listenHost, options_.listenPort,
                                                options_.paperSpeed > 0)
                                  : pty_.Open(options_.linkPath);
  if (!opened) return false;
  stopping_ = false;
  credited_ = Clock::now();
  thread_ = std::thread(&VirtualPrinter::Serve, this);
  return true;
}

void VirtualPrinter::Stop() {
  if (!thread_.joinable()) return;
  stopping_ = true;
  thread_.join();
  {
    std::lock_guard<std::mutex> lock(mutex_);
    core_.Finish(Clock::now());
  }
  progress_.notify_all();
  pty_.Close();
  tcp_.Close();
}

std::string VirtualPrinter::SlavePath() const {
  return options_.linkPath.empty() ? pty_.SlaveName() : options_.linkPath;
}

std::string VirtualPrinter::PortName() const {
  return OnNetwork() ? "socket://" + tcp_.Address() : SlavePath();
}

void VirtualPrinter::SetState(const PrinterState& state) {
  std::lock_guard<std::mutex> lock(mutex_);
  core_.SetState(state);
}

PrinterState VirtualPrinter::State() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return core_.State();
}

void VirtualPrinter::SetRates(int drainBytesPerSecond, int readBytesPerSecond) {
  std::lock_guard<std::mutex> lock(mutex_);
  core_.SetDrainRate(drainBytesPerSecond, Clock::now());
  readBytesPerSecond_ = std::max(0, readBytesPerSecond);
}

void VirtualPrinter::SetSpeed(int millimetresPerSecond) {
  std::lock_guard<std::mutex> lock(mutex_);
  core_.SetSpeed(millimetresPerSecond);
}

void VirtualPrinter::LoadRoll(int millimetres) {
  std::lock_guard<std::mutex> lock(mutex_);
  core_.LoadRoll(millimetres, Clock::now());
}

std::string VirtualPrinter::Received() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return core_.Received();
}

std::vector<std::string> VirtualPrinter::Log() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return core_.Log();
}

PrinterSettings VirtualPrinter::Settings() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return core_.Settings();
}

template <typename Ready>
bool VirtualPrinter::WaitFor(int timeoutMs, Ready ready) const {
  std::unique_lock<std::mutex> lock(mutex_);
  return progress_.wait_for(lock, std::chrono::milliseconds(timeoutMs), ready);
}

bool VirtualPrinter::WaitForReceived(size_t bytes, int timeoutMs) const {
  return WaitFor(timeoutMs, [&] { return core_.ReceivedCount() >= bytes; });
}

std::string VirtualPrinter::ReceivedOnceQuiet(int quietMs) const {
  while (WaitForReceived(Received().size() + 1, quietMs)) {
  }
  return Received();
}

bool VirtualPrinter::WaitForLog(size_t lines, int timeoutMs) const {
  return WaitFor(timeoutMs, [&] { return core_.Log().size() >= lines; });
}

int VirtualPrinter::Overruns() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return core_.Overruns();
}

void VirtualPrinter::Clear() {
  std::lock_guard<std::mutex> lock(mutex_);
  core_.Clear();
}

void VirtualPrinter::DropClient(bool reset) {
  dropRequest_ = reset ? Drop::Reset : Drop::Close;
  WaitFor(1000, [&] { return dropRequest_ == Drop::None; });
}

void VirtualPrinter::SetSinks(PrinterCore::Sink raw, PrinterCore::Sink log, bool remember) {
  std::lock_guard<std::mutex> lock(mutex_);
  core_.SetSinks(std::move(raw), std::move(log), remember);
}

void VirtualPrinter::SetHook(PrinterCore::Hook hook) {
  std::lock_guard<std::mutex> lock(mutex_);
  core_.SetHook(std::move(hook));
}

void VirtualPrinter::Serve() {
  while (!stopping_) {
    const Drop drop = dropRequest_.exchange(Drop::None);
    if (drop != Drop::None) EndConnection(drop == Drop::Reset);
    int waitMs = kPollMs;
    const size_t allowance = ReadAllowance(Clock::now(), &waitMs);
    {
      std::lock_guard<std::mutex> lock(mutex_);
      core_.Tick(Clock::now());
      waitMs = std::min(waitMs, MillisecondsUntil(std::min(core_.NextAnswerDue(),
                                                           core_.PaperOutDue())));
    }
    if (allowance > 0) {
      if (!ReadOnce(allowance, waitMs)) {
        std::lock_guard<std::mutex> lock(mutex_);
        core_.Idle(Clock::now());
      }
    } else {
      poll(nullptr, 0, waitMs);
    }
    progress_.notify_all();
    SendDueAnswers();
  }
}

// How many bytes the read throttle and, at a paper speed, the room in the receive buffer let
// the printer read now; *waitMs shrinks to the time until the next byte is allowed when none is.
size_t VirtualPrinter::ReadAllowance(Clock::time_point now, int* waitMs) {
  std::lock_guard<std::mutex> lock(mutex_);
  size_t room = kReadChunk;
  if (core_.Paced()) {
    room = ReceiveBuffer::kCapacity - std::min(ReceiveBuffer::kCapacity, core_.HeldBytes(now));
    room = std::min(room, kReadChunk);
    if (room == 0) {
      *waitMs = std::min(*waitMs, kPaperLookMs);
      return 0;
    }
  }
  const double seconds = std::chrono::duration<double>(now - credited_).count();
  credited_ = now;
  if (readBytesPerSecond_ == 0) return room;
  // At most a fiftieth of a second's worth at once keeps the pace even.
  const double burst = std::max(1.0, readBytesPerSecond_ / 50.0);
  readCredit_ = std::min(burst, readCredit_ + seconds * readBytesPerSecond_);
  if (readCredit_ >= 1) return std::min(room, static_cast<size_t>(readCredit_));
  *waitMs =
      std::clamp(static_cast<int>((1 - readCredit_) * 1000 / readBytesPerSecond_), 1, *waitMs);
  return 0;
}

// The client has closed or reset its connection, or the printer ends it: an unfinished command
// is logged, and answers still queued, which were that client's, are dropped. The next client
// waiting in the backlog is accepted on the next round.
void VirtualPrinter::EndConnection(bool reset) {
  tcp_.Drop(reset);
  std::lock_guard<std::mutex> lock(mutex_);
  core_.EndConnection(Clock::now());
}

// Waits for bytes (on the network, for a client first) and takes up to allowance of them; false
// when the line stayed quiet.
bool VirtualPrinter::ReadOnce(size_t allowance, int timeoutMs) {
  const int line = OnNetwork() ? tcp_.Accept(timeoutMs) : pty_.Master();
  if (line < 0) return false;
  pollfd ready = {line, POLLIN, 0};
  if (poll(&ready, 1, timeoutMs) <= 0) return false;
  if ((ready.revents & POLLIN) == 0 && !OnNetwork()) {
    // A hang-up without data; the printer's own slave descriptor normally prevents it.
    poll(nullptr, 0, timeoutMs);
    return false;
  }
  char bytes[kReadChunk];
  const ssize_t got = read(line, bytes, allowance);
  if (got <= 0) {
    // A socket reads 0 once its client has closed, and fails once it has reset.
    if (OnNetwork() && (got == 0 || (errno != EAGAIN && errno != EINTR))) EndConnection(false);
    return false;
  }
  std::lock_guard<std::mutex> lock(mutex_);
  core_.Receive(std::string(bytes, got), Clock::now());
  readCredit_ -= got;
  return true;
}

void VirtualPrinter::SendDueAnswers() {
  std::string answers;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    answers = core_.TakeDueAnswers(Clock::now());
  }
  const int line = OnNetwork() ? tcp_.Client() : pty_.Master();
  size_t sent = 0;
  while (line >= 0 && sent < answers.size() && !stopping_) {
    const size_t left = answers.size() - sent;
    const ssize_t wrote = OnNetwork() ? tcp_.Send(answers.data() + sent, left)
                                      : write(line, answers.data() + sent, left);
    if (wrote > 0) {
      sent += wrote;
    } else if (wrote < 0 && errno != EAGAIN && errno != EINTR) {
      return;
    } else {
      pollfd writable = {line, POLLOUT, 0};
      poll(&writable, 1, kPollMs);
    }
  }
}

}  // namespace vprinter
