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

int MillisecondsUntil(Clock::time_point when) {
  if (when == Clock::time_point::max()) return kPollMs;
  const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(when - Clock::now());
  return static_cast<int>(std::clamp<long long>(wait.count(), 0, kPollMs));
}

}  // namespace

VirtualPrinter::VirtualPrinter(const Options& options)
    : options_(options),
      core_(options.drainBytesPerSecond),
      readBytesPerSecond_(std::max(0, options.readBytesPerSecond)) {}

VirtualPrinter::~VirtualPrinter() { Stop(); }

bool VirtualPrinter::Start() {
  if (thread_.joinable()) return true;
  if (!pty_.Open(options_.linkPath)) return false;
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
}

std::string VirtualPrinter::SlavePath() const {
  return options_.linkPath.empty() ? pty_.SlaveName() : options_.linkPath;
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
    int waitMs = kPollMs;
    const size_t allowance = ReadAllowance(Clock::now(), &waitMs);
    {
      std::lock_guard<std::mutex> lock(mutex_);
      waitMs = std::min(waitMs, MillisecondsUntil(core_.NextAnswerDue()));
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

// How many bytes the read throttle lets the printer read now; *waitMs shrinks to the time until
// the next byte is allowed when none is.
size_t VirtualPrinter::ReadAllowance(Clock::time_point now, int* waitMs) {
  std::lock_guard<std::mutex> lock(mutex_);
  const double seconds = std::chrono::duration<double>(now - credited_).count();
  credited_ = now;
  if (readBytesPerSecond_ == 0) return kReadChunk;
  // At most a fiftieth of a second's worth at once keeps the pace even.
  const double burst = std::max(1.0, readBytesPerSecond_ / 50.0);
  readCredit_ = std::min(burst, readCredit_ + seconds * readBytesPerSecond_);
  if (readCredit_ >= 1) return std::min(kReadChunk, static_cast<size_t>(readCredit_));
  *waitMs =
      std::clamp(static_cast<int>((1 - readCredit_) * 1000 / readBytesPerSecond_), 1, *waitMs);
  return 0;
}

// Waits for bytes and takes up to allowance of them; false when the line stayed quiet.
bool VirtualPrinter::ReadOnce(size_t allowance, int timeoutMs) {
  pollfd ready = {pty_.Master(), POLLIN, 0};
  if (poll(&ready, 1, timeoutMs) <= 0) return false;
  if ((ready.revents & POLLIN) == 0) {
    // A hang-up without data; the printer's own slave descriptor normally prevents it.
    poll(nullptr, 0, timeoutMs);
    return false;
  }
  char bytes[kReadChunk];
  const ssize_t got = read(pty_.Master(), bytes, allowance);
  if (got <= 0) return false;
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
  size_t sent = 0;
  while (sent < answers.size() && !stopping_) {
    const ssize_t wrote = write(pty_.Master(), answers.data() + sent, answers.size() - sent);
    if (wrote > 0) {
      sent += wrote;
    } else if (wrote < 0 && errno != EAGAIN && errno != EINTR) {
      return;
    } else {
      pollfd writable = {pty_.Master(), POLLOUT, 0};
      poll(&writable, 1, kPollMs);
    }
  }
}

}  // namespace vprinter
