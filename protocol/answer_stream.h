// What a printer sends back while a job prints, told apart item by item: real-time status bytes
// (DLE EOT n: bit 0 clear, bits 1 and 4 set), automatic status back blocks (four bytes, the
// first with bits 0, 1 and 7 clear and bit 4 set) and responses ("7", an identifier, text, NUL)
// such as the process ID of GS ( H. Bytes that are none of these are skipped one by one.
#ifndef TALLYJET_ANSWER_STREAM_H
#define TALLYJET_ANSWER_STREAM_H

#include <string>

namespace escpos {

class AnswerStream {
 public:
  enum class Item { kStatusByte, kAutoStatus, kResponse, kNoise };

  void Add(const char* bytes, int count) { pending_.append(bytes, static_cast<size_t>(count)); }
  // Takes the next whole item into *kind and *bytes; false when what is left is not whole yet.
  bool Next(Item* kind, std::string* bytes);

 private:
  std::string pending_;
};

}  // namespace escpos

#endif  // TALLYJET_ANSWER_STREAM_H
