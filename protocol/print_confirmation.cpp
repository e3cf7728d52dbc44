// Confirmed printing: GS ( H asks the printer for a process ID response, which it sends once
// everything received before the request has been processed, that is printed. While it waits,
// the printer's status tells whether it can go on at all: asked every 500 ms (DLE EOT 1 and 2 in
// turn), and read from automatic status back blocks when the printer sends them.
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>

#include "answer_stream.h"
#include "comm_base.h"
#include "escpos_command.h"
#include "pending_input.h"
#include "prot_escpos.h"

using namespace escpos;

namespace {

using Clock = std::chrono::steady_clock;

constexpr auto kStatusEvery = std::chrono::milliseconds(500);
// Status queries asked and not yet answered at most; a printer that answers none is not flooded.
constexpr size_t kMostUnanswered = 4;
// A link that answers a read at once with nothing is looked at again after this long.
constexpr useconds_t kQuietReadMicros = 10000;
constexpr int kReadChunk = 64;
constexpr char kProcessIdResponse = 0x22;

// DLE EOT 1: off-line. DLE EOT 2: cover open, printing stopped at the paper end, an error.
constexpr int kOffline = 0x08;
constexpr int kStoppedCauses = 0x04 | 0x20 | 0x40;
// Automatic status back: off-line and cover open in the first byte, the errors in the second,
// the paper end in the third.
constexpr int kAutoStopFirst = 0x08 | 0x20;
constexpr int kAutoStopErrors = 0x04 | 0x08 | 0x20 | 0x40;
constexpr int kAutoPaperEnd = 0x0C;

int Byte(const std::string& bytes, size_t at) { return static_cast<unsigned char>(bytes[at]); }

// The n of each status query on its way, oldest first (a fixed ring: the library exports no
// instantiation of the standard library).
class Unanswered {
 public:
  bool empty() const { return count_ == 0; }
  bool full() const { return count_ == kMostUnanswered; }
  void push(int n) { asked_[(first_ + count_++) % kMostUnanswered] = n; }
  int pop() {
    const int n = asked_[first_];
    first_ = (first_ + 1) % kMostUnanswered;
    --count_;
    return n;
  }

 private:
  int asked_[kMostUnanswered] = {};
  size_t first_ = 0;
  size_t count_ = 0;
};

bool AutoStatusStops(const std::string& block) {
  return (Byte(block, 0) & kAutoStopFirst) != 0 || (Byte(block, 1) & kAutoStopErrors) != 0 ||
         (Byte(block, 2) & kAutoPaperEnd) != 0;
}

bool StatusStops(int n, int byte) { return (byte & (n == 1 ? kOffline : kStoppedCauses)) != 0; }

// Four digits, another for each request, starting where the clock stands so that an answer to
// an earlier process's request is not taken for this one's.
std::string FreshProcessId() {
  static std::atomic<unsigned> next{static_cast<unsigned>(
      std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now().time_since_epoch())
          .count())};
  char digits[8];
  snprintf(digits, sizeof digits, "%04u", next++ % 10000);
  return std::string(digits, 4);
}

}  // namespace

int ProtEscPos::WaitPrinted(int timeoutMs) {
  if (transport_ == nullptr) return TALLYJET_ERR_PORT_NOT_OPEN;
  if (timeoutMs < 0) return TALLYJET_ERR_INVALID_ARGUMENT;
  if (answerOwed_) {
    char late[kReadChunk];
    transport_->Read(late, kReadChunk);
    answerOwed_ = false;
  }
  DiscardPendingInput(transport_);
  const std::string id = FreshProcessId();
  // GS ( H pL pH fn m d1 d2 d3 d4: transmit the process ID response, fn 48
  const char request[] = {GS, '(', 'H', 0x06, 0x00, '0', '0', id[0], id[1], id[2], id[3]};
  const int written = transport_->Write(request, sizeof request);
  if (written != TALLYJET_SUCCESS) return written;
  const std::string awaited = std::string{0x37, kProcessIdResponse} + id + std::string(1, NUL);

  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  Clock::time_point nextQuery = Clock::now();
  Unanswered unanswered;
  int nextN = 2;
  AnswerStream stream;
  int result = TALLYJET_ERR_NOT_CONFIRMED;
  while (result == TALLYJET_ERR_NOT_CONFIRMED && Clock::now() < deadline) {
    if (Clock::now() >= nextQuery && !unanswered.full()) {
      // DLE EOT n: transmit real-time status
      const int asked = Send(transport_, true, {DLE, EOT, Low(nextN)});
      if (asked != TALLYJET_SUCCESS) return asked;
      unanswered.push(nextN);
      nextN = nextN == 2 ? 1 : 2;
      nextQuery = Clock::now() + kStatusEvery;
    }
    char chunk[kReadChunk];
    const int got = transport_->Read(chunk, kReadChunk);
    // USB reports a read that timed out as libusb's -ETIMEDOUT; any other failure is final.
    if (got < 0 && got != -ETIMEDOUT) return got;
    if (got <= 0) {
      usleep(kQuietReadMicros);
      continue;
    }
    stream.Add(chunk, got);
    AnswerStream::Item kind;
    std::string item;
    while (result == TALLYJET_ERR_NOT_CONFIRMED && stream.Next(&kind, &item)) {
      if (kind == AnswerStream::Item::kResponse && item == awaited) {
        result = TALLYJET_SUCCESS;
      } else if (kind == AnswerStream::Item::kAutoStatus && AutoStatusStops(item)) {
        result = TALLYJET_ERR_PRINTER_STOPPED;
      } else if (kind == AnswerStream::Item::kStatusByte && !unanswered.empty()) {
        if (StatusStops(unanswered.pop(), Byte(item, 0))) result = TALLYJET_ERR_PRINTER_STOPPED;
      }
    }
  }
  // An answer still on its way is waited for and dropped by the next query.
  answerOwed_ = !unanswered.empty();
  return result;
}
