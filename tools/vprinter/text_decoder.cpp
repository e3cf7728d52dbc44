#include "text_decoder.h"

#include <algorithm>

namespace vprinter {
namespace {

constexpr int kJapan = 8, kKorea = 13;

// How the bytes of one multi-byte set make characters.
struct MultiByte {
  const char* iconv;
  const char* name;
  size_t (*length)(const std::string& text, size_t at);  // bytes of the character at at
  bool jis = false;  // two 7-bit bytes a character, read as EUC-JP with bit 7 set
};

unsigned char At(const std::string& text, size_t at) {
  return at < text.size() ? static_cast<unsigned char>(text[at]) : 0;
}

size_t ShiftJisLength(const std::string& text, size_t at) {
  const unsigned char lead = At(text, at);
  return (lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC) ? 2 : 1;
}

size_t Gb18030Length(const std::string& text, size_t at) {
  if (At(text, at) < 0x81 || At(text, at) == 0xFF) return 1;
  const unsigned char second = At(text, at + 1);
  return second >= 0x30 && second <= 0x39 ? 4 : 2;
}

size_t DoubleByteLength(const std::string& text, size_t at) {
  return At(text, at) >= 0x81 && At(text, at) != 0xFF ? 2 : 1;
}

size_t JisLength(const std::string& text, size_t at) { return At(text, at) > 0x20 ? 2 : 1; }

size_t Utf8Length(const std::string& text, size_t at) {
  const unsigned char lead = At(text, at);
  return lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
}

// The multi-byte set in force, or false for single-byte text.
bool MultiByteOf(const TextStyle& style, const std::string& multiByteSet, MultiByte* set) {
  if (style.utf8) {
    *set = {"UTF-8", "UTF-8", Utf8Length};
  } else if (style.kanjiCodeSystem == 1 || style.kanjiCodeSystem == 2) {
    *set = {style.kanjiCodeSystem == 1 ? "SHIFT_JIS" : "SHIFT_JISX0213", "Shift JIS",
            ShiftJisLength};
  } else if (!style.kanji) {
    return false;
  } else if (style.kanjiCodeSystem == 0 || style.internationalSet == kJapan ||
             multiByteSet == kJapaneseModel) {
    *set = {"EUC-JP", "JIS", JisLength, true};
  } else if (style.internationalSet == kKorea) {
    *set = {"EUC-KR", "KS C 5601", DoubleByteLength};
  } else if (multiByteSet == "BIG5") {
    *set = {"BIG5", "Big5", DoubleByteLength};
  } else {
    *set = {"GB18030", "GB 18030", Gb18030Length};
  }
  return true;
}

// Code points that take two columns: Hangul Jamo, CJK, Hangul syllables, full-width forms.
bool IsWide(const std::string& utf8) {
  if (utf8.size() < 3) return false;
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(utf8[i]); };
  const unsigned int point =
      utf8.size() == 4 ? 0x10000
                       : (byte(0) & 0x0F) << 12 | (byte(1) & 0x3F) << 6 | (byte(2) & 0x3F);
  return (point >= 0x1100 && point <= 0x115F) || (point >= 0x2E80 && point <= 0xA4CF) ||
         (point >= 0xAC00 && point <= 0xD7A3) || (point >= 0xF900 && point <= 0xFAFF) ||
         (point >= 0xFE30 && point <= 0xFE4F) || (point >= 0xFF00 && point <= 0xFF60) ||
         (point >= 0xFFE0 && point <= 0xFFE6) || point >= 0x10000;
}

DecodedText DecodeMultiByte(const std::string& text, const MultiByte& set, int internationalSet) {
  DecodedText decoded;
  decoded.encoding = set.name;
  Converter converter(set.iconv);
  for (size_t at = 0; at < text.size();) {
    const size_t length = std::min(set.length(text, at), text.size() - at);
    std::string bytes = text.substr(at, length);
    std::string character;
    if (length == 1 && At(text, at) < 0x80) {
      // ESC R applies to the one-byte characters between the multi-byte ones (not in UTF-8).
      const char* international = InternationalCharacter(At(text, at), internationalSet);
      character = international != nullptr ? international : bytes;
    } else {
      std::string converted = bytes;
      if (set.jis) {
        for (char& byte : converted) byte = static_cast<char>(byte | 0x80);
      }
      character = converter.Convert(converted);
    }
    decoded.wide.push_back(IsWide(character));
    decoded.characters.push_back(std::move(character));
    decoded.bytes.push_back(std::move(bytes));
    at += length;
  }
  return decoded;
}

const char* const kSetNames[] = {"",
                                 " France",
                                 " Germany",
                                 " UK",
                                 " Denmark I",
                                 " Sweden",
                                 " Italy",
                                 " Spain I",
                                 " Japan",
                                 " Norway",
                                 " Denmark II",
                                 " Spain II",
                                 " Latin America",
                                 " Korea",
                                 " Slovenia/Croatia",
                                 " China",
                                 " Vietnam",
                                 " Arabia"};

}  // namespace

DecodedText DecodeStyledText(const std::string& text, const TextStyle& style,
                             const std::string& multiByteSet) {
  MultiByte set{};
  if (MultiByteOf(style, multiByteSet, &set)) {
    return DecodeMultiByte(text, set, style.utf8 ? 0 : style.internationalSet);
  }
  DecodedText decoded;
  decoded.characters = DecodeText(text, style.codeTable, style.internationalSet);
  for (char byte : text) decoded.bytes.emplace_back(1, byte);
  decoded.wide.assign(text.size(), false);
  const int international = style.internationalSet;
  decoded.encoding = CodeTableName(style.codeTable) +
                     (international > 0 && international < 18 ? kSetNames[international] : "");
  return decoded;
}

}  // namespace vprinter
