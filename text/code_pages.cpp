#include "code_pages.h"

#include <iconv.h>

#include <algorithm>

#include "tallyjet.h"

namespace text {
namespace {

const CodePage kCodePages[] = {
    {437, TALLYJET_CODEPAGE_437, "CP437"},   {850, TALLYJET_CODEPAGE_850, "CP850"},
    {858, TALLYJET_CODEPAGE_858, "CP858"},   {860, TALLYJET_CODEPAGE_860, "CP860"},
    {1252, TALLYJET_CODEPAGE_1252, "CP1252"},
};

constexpr char kReplacement[] = "\xEF\xBF\xBD";  // U+FFFD

unsigned char At(const std::string& text, size_t at) {
  return static_cast<unsigned char>(text[at]);
}

// The length of the well-formed UTF-8 sequence that starts at text[at], 0 when there is none:
// the second byte's range shuts out overlong forms, surrogates and code points past U+10FFFF.
size_t SequenceLength(const std::string& text, size_t at) {
  const unsigned char lead = At(text, at);
  if (lead < 0x80) return 1;
  size_t length = 0;
  unsigned char low = 0x80, high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  }
  if (length == 0 || at + length > text.size()) return 0;
  if (At(text, at + 1) < low || At(text, at + 1) > high) return 0;
  for (size_t i = 2; i < length; ++i) {
    if ((At(text, at + i) & 0xC0) != 0x80) return 0;
  }
  return length;
}

bool IsControl(const std::string& text, size_t at, size_t length) {
  const unsigned char byte = At(text, at);
  if (length == 1) return (byte < 0x20 && byte != '\n' && byte != '\r' && byte != '\t') || byte == 0x7F;
  return length == 2 && byte == 0xC2 && At(text, at + 1) <= 0x9F;
}

// The one byte that iconv makes of a character, or -1 when the page lacks it.
int EncodeOne(iconv_t converter, const std::string& sequence) {
  char out[4];
  char* in = const_cast<char*>(sequence.data());
  size_t inLeft = sequence.size();
  char* outAt = out;
  size_t outLeft = sizeof out;
  iconv(converter, nullptr, nullptr, nullptr, nullptr);
  if (iconv(converter, &in, &inLeft, &outAt, &outLeft) == static_cast<size_t>(-1) ||
      outAt - out != 1) {
    return -1;
  }
  return static_cast<unsigned char>(out[0]);
}

}  // namespace

const CodePage* FindCodePage(int number) {
  for (const CodePage& page : kCodePages) {
    if (page.number == number) return &page;
  }
  return nullptr;
}

const CodePage* PageHolding(const std::string& utf8) {
  const CodePage* best = PageHoldingMost(utf8);
  return Encode(utf8, *best).complete() ? best : nullptr;
}

const CodePage* PageHoldingMost(const std::string& utf8) {
  const CodePage* best = nullptr;
  int fewestMissing = 0;
  for (int number : {850, 858, 437, 860, 1252}) {
    const CodePage* page = FindCodePage(number);
    const int missing = Encode(utf8, *page).missing;
    if (best == nullptr || missing < fewestMissing) {
      best = page;
      fewestMissing = missing;
    }
    if (missing == 0) break;
  }
  return best;
}

EncodedText Encode(const std::string& utf8, const CodePage& page) {
  EncodedText encoded;
  const bool ascii = std::all_of(utf8.begin(), utf8.end(),
                                 [](char c) { return static_cast<unsigned char>(c) < 0x80; });
  if (ascii) {
    encoded.bytes = utf8;
    return encoded;
  }
  const iconv_t converter = iconv_open(page.iconvName, "UTF-8");
  for (size_t at = 0; at < utf8.size();) {
    const size_t length = std::max<size_t>(1, SequenceLength(utf8, at));
    const int byte = length == 1                 ? At(utf8, at)
                     : converter == iconv_t(-1) ? -1
                                                : EncodeOne(converter, utf8.substr(at, length));
    at += length;
    encoded.missing += byte < 0 ? 1 : 0;
    encoded.bytes += byte >= 0 ? static_cast<char>(byte) : '?';
  }
  if (converter != iconv_t(-1)) iconv_close(converter);
  return encoded;
}

void MakePrintable(std::string* utf8) {
  std::string printable;
  printable.reserve(utf8->size());
  for (size_t at = 0; at < utf8->size();) {
    const size_t length = SequenceLength(*utf8, at);
    if (length == 0) {
      printable += kReplacement;
      ++at;
      continue;
    }
    if (!IsControl(*utf8, at, length)) printable.append(*utf8, at, length);
    at += length;
  }
  utf8->swap(printable);
}

}  // namespace text
