// The character code tables that ESC t selects, and text shown through them.
#ifndef VPRINTER_CODE_TABLE_H
#define VPRINTER_CODE_TABLE_H

#include <string>
#include <vector>

namespace vprinter {

// The table a printer uses until ESC t selects another: code page 850.
constexpr int kDefaultCodeTable = 2;
// A table number no printer has: QuoteText shows bytes above 7F as \xNN under it.
constexpr int kNoCodeTable = -1;

// The short name of table n, e.g. "cp850"; "table n" for a table this printer does not know.
std::string CodeTableName(int table);

// Each text byte as its UTF-8 character through table n and international character set
// (ESC R); empty for a byte the table cannot show, and for every byte above 7F of an unknown
// table.
std::vector<std::string> DecodeText(const std::string& bytes, int table, int internationalSet = 0);

// What ESC R's international set puts in place of one of # $ @ [ \ ] ^ ` { | } ~, e.g. "¥" for
// a backslash in the Japanese set; null where the set keeps the ASCII character.
const char* InternationalCharacter(unsigned char byte, int internationalSet);

// Characters with the bytes each came from, escaped for a quoted log field as QuoteText does; a
// character that could not be decoded shows all its bytes as \xNN.
std::string QuoteCharacters(const std::vector<std::string>& characters,
                            const std::vector<std::string>& bytes);

// An iconv converter from one character set to UTF-8 that converts one character at a time.
class Converter {
 public:
  explicit Converter(const char* from);
  ~Converter();
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  bool Usable() const;
  // The UTF-8 form of the bytes of one character; empty when they are not one valid character.
  std::string Convert(const std::string& bytes);

 private:
  void* handle_;
};

// The text bytes as UTF-8 through table n, escaped for a quoted log field: quote, backslash and
// control characters as \", \\ and \xNN; bytes the table cannot show, or all bytes above 7F of an
// unknown table, as \xNN.
std::string QuoteText(const std::string& bytes, int table);

}  // namespace vprinter

#endif  // VPRINTER_CODE_TABLE_H
