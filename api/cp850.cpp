#include "cp850.h"

#include <cstring>

#include "tallyjet.h"

namespace {

constexpr unsigned char kLead = 0xC3;

// Code page 850 bytes of U+00C0 to U+00FF, in code point order.
constexpr unsigned char kLatin1Upper[64] = {
    0xB7, 0xB5, 0xB6, 0xC7, 0x8E, 0x8F, 0x92, 0x80,  // U+00C0
    0xD4, 0x90, 0xD2, 0xD3, 0xDE, 0xD6, 0xD7, 0xD8,  // U+00C8
    0xD1, 0xA5, 0xE3, 0xE0, 0xE2, 0xE5, 0x99, 0x9E,  // U+00D0
    0x9D, 0xEB, 0xE9, 0xEA, 0x9A, 0xED, 0xE8, 0xE1,  // U+00D8
    0x85, 0xA0, 0x83, 0xC6, 0x84, 0x86, 0x91, 0x87,  // U+00E0
    0x8A, 0x82, 0x88, 0x89, 0x8D, 0xA1, 0x8C, 0x8B,  // U+00E8
    0xD0, 0xA4, 0x95, 0xA2, 0x93, 0xE4, 0x94, 0xF6,  // U+00F0
    0x9B, 0x97, 0xA3, 0x96, 0x81, 0xEC, 0xE7, 0x98,  // U+00F8
};

bool IsContinuation(unsigned char c) { return c >= 0x80 && c <= 0xBF; }

}  // namespace

// The output never runs ahead of the input (a pair becomes one byte), so in and out may be the
// same buffer. The bytes between lead bytes, nearly all of any text, move as whole runs.
int cp850::FromUtf8(const char* in, int length, char* out) {
  if (length < 0) return TALLYJET_ERR_NO_MEMORY;
  int written = 0;
  int i = 0;
  while (i < length) {
    const auto* lead = static_cast<const char*>(memchr(in + i, kLead, length - i));
    const int end = lead == nullptr ? length : static_cast<int>(lead - in);
    memmove(out + written, in + i, static_cast<size_t>(end - i));
    written += end - i;
    i = end;
    if (i == length) break;
    // in[i] is a lead byte; without its continuation it is dropped.
    const unsigned char trail = i + 1 < length ? static_cast<unsigned char>(in[i + 1]) : 0;
    if (IsContinuation(trail)) {
      out[written++] = static_cast<char>(kLatin1Upper[trail - 0x80]);
      ++i;
    }
    ++i;
  }
  return written;
}

int parse850(const char* in, int length, char* out) {
  if ((in == nullptr || out == nullptr) && length > 0) return TALLYJET_ERR_INVALID_ARGUMENT;
  const int written = cp850::FromUtf8(in, length, out);
  return written < 0 ? written : TALLYJET_SUCCESS;
}
