#include "comm_app_link.h"

#include <algorithm>

namespace {

constexpr int kDefaultTimeoutMs = 300;
// DiscardInput drops at most this many chunks of this size: far more than any printer answers
// unasked, and a bound for a link that never stops delivering.
constexpr int kDiscardChunk = 512;
constexpr int kDiscardChunks = 128;

}  // namespace

CommAppLink::CommAppLink(const tallyjet_transport& functions, void* context)
    : functions_(functions),
      context_(context),
      open_(true),
      broken_(false),
      timeout_(kDefaultTimeoutMs) {}

int CommAppLink::Close() {
  if (!open_) return TALLYJET_ERR_PORT_NOT_OPEN;
  open_ = false;
  if (functions_.close != nullptr) functions_.close(context_);
  return broken_ ? TALLYJET_ERR_FAILED : TALLYJET_SUCCESS;
}

bool CommAppLink::IsOpen() { return open_; }

int CommAppLink::Write(const char* data, int length) {
  if (!open_) return TALLYJET_ERR_PORT_NOT_OPEN;
  if (length < 0) return TALLYJET_ERR_INVALID_ARGUMENT;
  if (broken_) return TALLYJET_ERR_FAILED;
  for (int done = 0; done < length;) {
    const int written = functions_.write(context_, data + done, length - done);
    // A call that takes nothing would let the loop turn without end.
    if (written <= 0 || written > length - done) {
      broken_ = true;
      return TALLYJET_ERR_FAILED;
    }
    done += written;
  }
  return TALLYJET_SUCCESS;
}

int CommAppLink::Read(char* buffer, int length) {
  if (!open_) return TALLYJET_ERR_PORT_NOT_OPEN;
  if (length < 0) return TALLYJET_ERR_INVALID_ARGUMENT;
  const int got = functions_.read(context_, buffer, length, timeout_);
  return got < 0 || got > length ? TALLYJET_ERR_READ : got;
}

void CommAppLink::SetTimeout(int milliseconds) { timeout_ = std::max(0, milliseconds); }

void CommAppLink::DiscardInput() {
  if (!open_) return;
  char chunk[kDiscardChunk];
  for (int i = 0; i < kDiscardChunks; ++i) {
    const int got = functions_.read(context_, chunk, kDiscardChunk, 0);
    if (got <= 0) return;
  }
}
