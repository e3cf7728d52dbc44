// UTF-8 to code page 850 for the letters U+00C0 to U+00FF.
#ifndef TALLYJET_CP850_H
#define TALLYJET_CP850_H

namespace cp850 {

// Converts length bytes of in into out, which has room for length bytes and may be in itself.
// Each pair C3 80..C3 BF becomes its code page 850 byte; a C3 without a continuation byte is
// dropped; every other byte is copied. Answers the number of bytes written, or -6 for a
// negative length.
int FromUtf8(const char* in, int length, char* out);

}  // namespace cp850

#endif  // TALLYJET_CP850_H
