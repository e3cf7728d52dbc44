// A scripted transport for tests: records every Write as one unit, answers Reads from a queue,
// and can be told to fail a given write or to report a USB product identifier.
#ifndef TALLYJET_TESTS_RECORDING_TRANSPORT_H
#define TALLYJET_TESTS_RECORDING_TRANSPORT_H

#include <deque>
#include <string>
#include <vector>

#include "comm_base.h"

// What a transport was given: one string for each Write.
using Writes = std::vector<std::string>;

class RecordingTransport : public CommBase {
 public:
  // One scripted Read: its bytes, or a result code when code is set (0 = nothing arrived).
  struct Answer {
    std::string bytes;
    int code = 1;
  };

  int Open(const char* path) override;
  int Close() override;
  int Write(const char* data, int length) override;
  int Read(char* buffer, int length) override;
  int GetDevicePid() override;

  // Queues an answer of these bytes for the next Read.
  void Answer(const std::string& bytes);
  // Queues a Read that answers code (0: nothing arrived; negative: a failure).
  void AnswerCode(int code);
  // The write numbered index (0 first) answers code instead of 1; it is still recorded.
  void FailWrite(int index, int code);

  Writes writes;
  int pid = TALLYJET_ERR_NOT_SUPPORTED;
  int reads = 0;

 private:
  std::deque<struct Answer> answers_;
  int failIndex_ = -1;
  int failCode_ = 0;
};

// Bytes from a list of values, for expected commands: Bytes({0x1B, 0x40}).
std::string Bytes(std::initializer_list<int> values);

#endif  // TALLYJET_TESTS_RECORDING_TRANSPORT_H
