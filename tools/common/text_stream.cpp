#include "text_stream.h"

namespace {

// A line longer than this without its end is printed in parts of about this size.
constexpr size_t kLongestLine = 4096;
// Pieces of text handed to the library at once: a USB transfer has a time limit.
constexpr size_t kLargestCall = 64 * 1024;

// Where to split text after start near limit: where the UTF-8 character that holds byte limit
// begins, so that no character is cut in two.
size_t SplitPoint(const std::string& text, size_t start, size_t limit) {
  size_t at = limit;
  while (at > start && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80) --at;
  return at > start ? at : limit;
}

}  // namespace

int TextStream::Add(const char* data, size_t length) {
  pending_.append(data, length);
  const size_t lastEnd = pending_.rfind('\n');
  if (lastEnd != std::string::npos) {
    const int rc = Print(pending_.substr(0, lastEnd + 1));
    if (rc != TALLYJET_SUCCESS) return rc;
    pending_.erase(0, lastEnd + 1);
  }
  while (pending_.size() > kLongestLine) {
    const size_t split = SplitPoint(pending_, 0, kLongestLine);
    const int rc = Print(pending_.substr(0, split));
    if (rc != TALLYJET_SUCCESS) return rc;
    pending_.erase(0, split);
  }
  return TALLYJET_SUCCESS;
}

// The printer prints a line when it ends: the last one must end too.
int TextStream::Finish() {
  if (pending_.empty()) return TALLYJET_SUCCESS;
  const int rc = Print(pending_ + "\n");
  pending_.clear();
  return rc;
}

// Whole lines, in calls of at most kLargestCall bytes.
int TextStream::Print(const std::string& text) {
  for (size_t at = 0; at < text.size();) {
    size_t end = text.size();
    if (end - at > kLargestCall) {
      const size_t lineEnd = text.rfind('\n', at + kLargestCall);
      end = lineEnd != std::string::npos && lineEnd >= at
                ? lineEnd + 1
                : SplitPoint(text, at, at + kLargestCall);
    }
    const int rc =
        tallyjet_print_text(printer_, text.data() + at, static_cast<int>(end - at));
    if (rc != TALLYJET_SUCCESS) return rc;
    at = end;
  }
  return TALLYJET_SUCCESS;
}
