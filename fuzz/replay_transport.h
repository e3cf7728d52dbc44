// A printer played by the fuzz input. Each Read takes one count byte from the input and answers
// that many of the following bytes (fewer when the input or the reader's room ends); the count
// 0xFF is a failed read instead. Once the input is used up every Read finds nothing, like a
// printer that has gone silent. Every Write is taken whole and counted.
#ifndef TALLYJET_FUZZ_REPLAY_TRANSPORT_H
#define TALLYJET_FUZZ_REPLAY_TRANSPORT_H

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "comm_base.h"

class ReplayTransport : public CommBase {
 public:
  ReplayTransport(const uint8_t* data, size_t size) : data_(data), left_(size) { fd_ = 1; }

  int Close() override {
    fd_ = 0;
    return TALLYJET_SUCCESS;
  }
  int Write(const char*, int length) override {
    lastWrite = length;
    return TALLYJET_SUCCESS;
  }
  int Read(char* buffer, int length) override {
    if (left_ == 0) return 0;
    const uint8_t count = Take(1)[0];
    if (count == 0xFF) return TALLYJET_ERR_READ;
    const size_t n = std::min({static_cast<size_t>(count), left_, static_cast<size_t>(length)});
    memcpy(buffer, Take(n), n);
    return static_cast<int>(n);
  }
  int GetDevicePid() override { return pid; }

  int pid = TALLYJET_ERR_NOT_SUPPORTED;
  int lastWrite = -1;  // the length of the latest Write

 private:
  const uint8_t* Take(size_t n) {
    const uint8_t* taken = data_;
    data_ += n;
    left_ -= n;
    return taken;
  }

  const uint8_t* data_;
  size_t left_;
};

#endif  // TALLYJET_FUZZ_REPLAY_TRANSPORT_H
