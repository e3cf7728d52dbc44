#include "recording_transport.h"

#include <cstring>

int RecordingTransport::Open(const char*) {
  fd_ = 1;
  return TALLYJET_SUCCESS;
}

int RecordingTransport::Close() {
  if (fd_ == 0) return TALLYJET_ERR_PORT_NOT_OPEN;
  fd_ = 0;
  return TALLYJET_SUCCESS;
}

int RecordingTransport::Write(const char* data, int length) {
  const int index = static_cast<int>(writes.size());
  writes.emplace_back(data, static_cast<size_t>(length));
  return index == failIndex_ ? failCode_ : TALLYJET_SUCCESS;
}

int RecordingTransport::Read(char* buffer, int length) {
  ++reads;
  if (answers_.empty()) return 0;
  const struct Answer answer = answers_.front();
  answers_.pop_front();
  if (answer.code != 1) return answer.code;
  const size_t n = std::min(answer.bytes.size(), static_cast<size_t>(length));
  memcpy(buffer, answer.bytes.data(), n);
  return static_cast<int>(n);
}

int RecordingTransport::GetDevicePid() { return pid; }

void RecordingTransport::Answer(const std::string& bytes) { answers_.push_back({bytes, 1}); }

void RecordingTransport::AnswerCode(int code) { answers_.push_back({"", code}); }

void RecordingTransport::FailWrite(int index, int code) {
  failIndex_ = index;
  failCode_ = code;
}

std::string Bytes(std::initializer_list<int> values) {
  std::string bytes;
  for (int v : values) bytes.push_back(static_cast<char>(v));
  return bytes;
}
