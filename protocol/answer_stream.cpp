#include "answer_stream.h"

namespace escpos {
namespace {

constexpr unsigned char kResponseHeader = 0x37;
constexpr size_t kAutoStatusLength = 4;
// A response longer than this without its NUL is not one: its first byte is skipped.
constexpr size_t kLongestResponse = 80;

bool IsStatusByte(unsigned char byte) { return (byte & 0x13) == 0x12; }
bool StartsAutoStatus(unsigned char byte) { return (byte & 0x93) == 0x10; }

}  // namespace

bool AnswerStream::Next(Item* kind, std::string* bytes) {
  if (pending_.empty()) return false;
  const unsigned char first = static_cast<unsigned char>(pending_[0]);
  size_t length = 1;
  *kind = Item::kNoise;
  if (first == kResponseHeader) {
    const size_t end = pending_.find('\0');
    if (end != std::string::npos && end < kLongestResponse) {
      *kind = Item::kResponse;
      length = end + 1;
    } else if (end == std::string::npos && pending_.size() < kLongestResponse) {
      return false;
    }
  } else if (StartsAutoStatus(first)) {
    if (pending_.size() < kAutoStatusLength) return false;
    *kind = Item::kAutoStatus;
    length = kAutoStatusLength;
  } else if (IsStatusByte(first)) {
    *kind = Item::kStatusByte;
  }
  bytes->assign(pending_, 0, length);
  pending_.erase(0, length);
  return true;
}

}  // namespace escpos
