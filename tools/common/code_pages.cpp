#include "code_pages.h"

#include <iconv.h>

#include <algorithm>
#include <cstdio>

#include "tallyjet.h"

namespace {

// While table 2 is selected, the library turns every byte C3 it sends, with the byte after
// it, into one code page 850 letter (or drops it), so that byte cannot be sent as itself.
const CodePage kCodePages[] = {
    {437, TALLYJET_CODEPAGE_437, "CP437", -1},
    {850, TALLYJET_CODEPAGE_850, "CP850", 0xC3},
    {858, TALLYJET_CODEPAGE_858, "CP858", -1},
    {860, TALLYJET_CODEPAGE_860, "CP860", -1},
    {1252, TALLYJET_CODEPAGE_1252, "CP1252", -1},
};

// The length of the UTF-8 sequence that starts at text[at], 0 when it is not one.
size_t SequenceLength(const std::string& text, size_t at) {
  const auto lead = static_cast<unsigned char>(text[at]);
  const size_t length = lead < 0x80 ? 1 : lead >= 0xC2 && lead < 0xE0 ? 2
                                      : lead >= 0xE0 && lead < 0xF0  ? 3
                                      : lead >= 0xF0 && lead < 0xF5  ? 4
                                                                     : 0;
  if (length == 0 || at + length > text.size()) return 0;
  for (size_t i = 1; i < length; ++i) {
    if ((static_cast<unsigned char>(text[at + i]) & 0xC0) != 0x80) return 0;
  }
  return length;
}

unsigned CodePoint(const std::string& sequence) {
  const auto lead = static_cast<unsigned char>(sequence[0]);
  unsigned value = sequence.size() == 1   ? lead
                   : sequence.size() == 2 ? lead & 0x1Fu
                   : sequence.size() == 3 ? lead & 0x0Fu
                                          : lead & 0x07u;
  for (size_t i = 1; i < sequence.size(); ++i) {
    value = value << 6 | (static_cast<unsigned char>(sequence[i]) & 0x3Fu);
  }
  return value;
}

std::string Named(const std::string& sequence) {
  char name[24];
  snprintf(name, sizeof name, " (U+%04X)", CodePoint(sequence));
  return sequence + name;
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

void AddMissing(const std::string& name, EncodedText* encoded) {
  auto& missing = encoded->missing;
  if (std::find(missing.begin(), missing.end(), name) == missing.end()) missing.push_back(name);
  encoded->bytes += '?';
}

}  // namespace

const CodePage* FindCodePage(int number) {
  for (const CodePage& page : kCodePages) {
    if (page.number == number) return &page;
  }
  return nullptr;
}

std::vector<int> CodePageNumbers() {
  std::vector<int> numbers;
  for (const CodePage& page : kCodePages) numbers.push_back(page.number);
  return numbers;
}

const CodePage* PageHolding(const std::string& utf8) {
  const bool ascii = std::all_of(utf8.begin(), utf8.end(),
                                 [](char c) { return static_cast<unsigned char>(c) < 0x80; });
  if (ascii) return FindCodePage(850);
  for (int number : {850, 858, 437, 860, 1252}) {
    const CodePage* page = FindCodePage(number);
    if (Encode(utf8, *page).missing.empty()) return page;
  }
  return nullptr;
}

EncodedText Encode(const std::string& utf8, const CodePage& page) {
  EncodedText encoded;
  const iconv_t converter = iconv_open(page.iconvName, "UTF-8");
  for (size_t at = 0; at < utf8.size();) {
    const size_t length = SequenceLength(utf8, at);
    if (length == 0) {
      char name[32];
      snprintf(name, sizeof name, "byte %02X (not UTF-8)", static_cast<unsigned char>(utf8[at]));
      AddMissing(name, &encoded);
      ++at;
      continue;
    }
    const std::string sequence = utf8.substr(at, length);
    at += length;
    const int byte = length == 1                   ? static_cast<unsigned char>(sequence[0])
                     : converter == iconv_t(-1) ? -1
                                                 : EncodeOne(converter, sequence);
    if (byte < 0 || byte == page.rewrittenByte) {
      AddMissing(Named(sequence), &encoded);
    } else {
      encoded.bytes += static_cast<char>(byte);
    }
  }
  if (converter != iconv_t(-1)) iconv_close(converter);
  return encoded;
}

void ReplaceInvalidBytes(std::string* utf8, std::vector<std::string>* names) {
  std::string& text = *utf8;
  for (size_t at = 0; at < text.size();) {
    const size_t length = SequenceLength(text, at);
    if (length > 0) {
      at += length;
      continue;
    }
    char name[32];
    snprintf(name, sizeof name, "byte %02X (not UTF-8)", static_cast<unsigned char>(text[at]));
    if (std::find(names->begin(), names->end(), name) == names->end()) names->push_back(name);
    text[at++] = '?';
  }
}

size_t DropControlCharacters(std::string* utf8) {
  std::string& text = *utf8;
  size_t kept = 0, dropped = 0;
  for (size_t at = 0; at < text.size(); ++at) {
    const auto byte = static_cast<unsigned char>(text[at]);
    const bool c0 = (byte < 0x20 && byte != '\n' && byte != '\r' && byte != '\t') || byte == 0x7F;
    const bool c1 = byte == 0xC2 && at + 1 < text.size() &&
                    static_cast<unsigned char>(text[at + 1]) >= 0x80 &&
                    static_cast<unsigned char>(text[at + 1]) <= 0x9F;
    if (c1) ++at;
    if (c0 || c1) {
      ++dropped;
    } else {
      text[kept++] = text[at];
    }
  }
  text.resize(kept);
  return dropped;
}
