#include "code_table.h"

#include <iconv.h>

#include <cstdio>

namespace vprinter {
namespace {

struct Table {
  int number;
  const char* name;   // shown in the log
  const char* iconv;  // the character set iconv converts from
};

// Table 27 differs between printer makers; it is read here as Windows-1252, the Western
// single-byte table that receipt printers most often place there.
const Table kTables[] = {
    {0, "cp437", "CP437"},  {2, "cp850", "CP850"},    {3, "cp860", "CP860"},
    {19, "cp858", "CP858"}, {27, "cp1252", "CP1252"},
};

const Table* Find(int number) {
  for (const Table& table : kTables) {
    if (table.number == number) return &table;
  }
  return nullptr;
}

std::string Hex(unsigned char byte) {
  char text[5];
  snprintf(text, sizeof text, "\\x%02X", byte);
  return text;
}

// One byte through the converter: its UTF-8 form, or empty when the table has no character there.
std::string Convert(iconv_t converter, char byte) {
  char out[8];
  char* in = &byte;
  size_t inLeft = 1;
  char* outAt = out;
  size_t outLeft = sizeof out;
  if (iconv(converter, &in, &inLeft, &outAt, &outLeft) == static_cast<size_t>(-1)) return "";
  return std::string(out, outAt - out);
}

std::string Escaped(const std::string& utf8, unsigned char byte) {
  if (utf8.empty()) return Hex(byte);
  const auto first = static_cast<unsigned char>(utf8[0]);
  if (utf8.size() == 1 && (first < 0x20 || first == 0x7F)) return Hex(first);
  if (utf8 == "\"" || utf8 == "\\") return "\\" + utf8;
  return utf8;
}

}  // namespace

std::string CodeTableName(int table) {
  const Table* known = Find(table);
  return known != nullptr ? known->name : "table " + std::to_string(table);
}

std::vector<std::string> DecodeText(const std::string& bytes, int table) {
  const Table* known = Find(table);
  iconv_t converter = known != nullptr ? iconv_open("UTF-8", known->iconv) : iconv_t(-1);
  std::vector<std::string> characters;
  characters.reserve(bytes.size());
  for (char byte : bytes) {
    if (converter != iconv_t(-1)) {
      characters.push_back(Convert(converter, byte));
    } else {
      characters.push_back(static_cast<unsigned char>(byte) < 0x80 ? std::string(1, byte) : "");
    }
  }
  if (converter != iconv_t(-1)) iconv_close(converter);
  return characters;
}

std::string QuoteText(const std::string& bytes, int table) {
  const std::vector<std::string> characters = DecodeText(bytes, table);
  std::string quoted;
  for (size_t i = 0; i < bytes.size(); ++i) {
    quoted += Escaped(characters[i], static_cast<unsigned char>(bytes[i]));
  }
  return quoted;
}

}  // namespace vprinter
