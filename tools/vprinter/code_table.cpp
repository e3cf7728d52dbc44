#include "code_table.h"

#include <iconv.h>

#include <cstdio>
#include <cstring>
#include <iterator>

#include "written_tables.h"

namespace vprinter {
namespace {

constexpr int kKatakana = 1;
// Printers' PC857 has the euro sign at D5, where glibc's CP857 has nothing.
constexpr int kPc857 = 13;
constexpr unsigned char kPc857Euro = 0xD5;

struct Table {
  int number;
  const char* name;   // shown in the log
  const char* iconv;  // the character set iconv converts from
};

// The tables of ESC t as receipt printers number them. Table 27 differs between printer makers;
// it is read here as Windows-1252, the Western single-byte table that receipt printers most
// often place there. The Katakana table's upper half is Shift JIS's one-byte Katakana with
// graphics characters around it (kKatakanaLow, kKatakanaHigh); table 21 is read as TIS-620.
// Tables that iconv lacks are written out (WrittenCharacter) and name "ASCII" for iconv.
const Table kTables[] = {
    {0, "cp437", "CP437"}, {1, "katakana", "SHIFT_JIS"}, {2, "cp850", "CP850"},
    {3, "cp860", "CP860"}, {4, "cp863", "CP863"}, {5, "cp865", "CP865"}, {11, "cp851", "CP851"},
    {kPc853, "cp853", "ASCII"}, {13, "cp857", "CP857"}, {14, "cp737", "CP737"},
    {15, "iso8859-7", "ISO-8859-7"}, {16, "cp1252", "CP1252"}, {17, "cp866", "CP866"},
    {18, "cp852", "CP852"}, {19, "cp858", "CP858"}, {kThai42, "thai42", "ASCII"},
    {21, "thai", "TIS-620"}, {27, "cp1252", "CP1252"}, {33, "cp775", "CP775"},
    {34, "cp855", "CP855"}, {35, "cp861", "CP861"}, {36, "cp862", "CP862"}, {37, "cp864", "CP864"},
    {38, "cp869", "CP869"}, {39, "iso8859-2", "ISO-8859-2"}, {40, "iso8859-15", "ISO-8859-15"},
    {44, "cp1125", "CP1125"}, {45, "cp1250", "CP1250"}, {46, "cp1251", "CP1251"},
    {47, "cp1253", "CP1253"}, {48, "cp1254", "CP1254"}, {49, "cp1255", "CP1255"},
    {50, "cp1256", "CP1256"}, {51, "cp1257", "CP1257"}, {52, "cp1258", "CP1258"},
    {kPc720, "cp720", "ASCII"},
};

// The Katakana table's bytes 80 to 9F and E0 to FF: block elements, box drawing (the rules
// receipts are drawn with), card suits and a few Kanji.
const char* const kKatakanaLow[] = {
    "▁", "▂", "▃", "▄", "▅", "▆", "▇", "█", "▏", "▎", "▍", "▌", "▋", "▊", "▉", "┼",
    "┴", "┬", "┤", "├", "▔", "─", "│", "▕", "┌", "┐", "└", "┘", "╭", "╮", "╰", "╯"};
const char* const kKatakanaHigh[] = {
    "═", "╞", "╪", "╡", "◢", "◣", "◥", "◤", "♠", "♥", "♦", "♣", "●", "○", "╱", "╲",
    "╳", "円", "年", "月", "日", "時", "分", "秒", "〒", "市", "区", "町", "村", "人", "▓", " "};

// ESC R n: the characters that replace # $ @ [ \ ] ^ ` { | } ~ in each international set.
const char kReplaced[] = "#$@[\\]^`{|}~";
const char* const kSets[][12] = {
    {"#", "$", "@", "[", "\\", "]", "^", "`", "{", "|", "}", "~"},      // USA
    {"#", "$", "à", "°", "ç", "§", "^", "`", "é", "ù", "è", "¨"},       // France
    {"#", "$", "§", "Ä", "Ö", "Ü", "^", "`", "ä", "ö", "ü", "ß"},       // Germany
    {"£", "$", "@", "[", "\\", "]", "^", "`", "{", "|", "}", "~"},      // UK
    {"#", "$", "@", "Æ", "Ø", "Å", "^", "`", "æ", "ø", "å", "~"},       // Denmark I
    {"#", "¤", "É", "Ä", "Ö", "Å", "Ü", "é", "ä", "ö", "å", "ü"},       // Sweden
    {"#", "$", "@", "°", "\\", "é", "^", "ù", "à", "ò", "è", "ì"},      // Italy
    {"₧", "$", "@", "¡", "Ñ", "¿", "^", "`", "¨", "ñ", "}", "~"},       // Spain I
    {"#", "$", "@", "[", "¥", "]", "^", "`", "{", "|", "}", "~"},       // Japan
    {"#", "¤", "É", "Æ", "Ø", "Å", "Ü", "é", "æ", "ø", "å", "ü"},       // Norway
    {"#", "$", "É", "Æ", "Ø", "Å", "Ü", "é", "æ", "ø", "å", "ü"},       // Denmark II
    {"#", "$", "á", "¡", "Ñ", "¿", "é", "`", "í", "ñ", "ó", "ú"},       // Spain II
    {"#", "$", "á", "¡", "Ñ", "¿", "é", "ü", "í", "ñ", "ó", "ú"},       // Latin America
    {"#", "$", "@", "[", "₩", "]", "^", "`", "{", "|", "}", "~"},       // Korea
    {"#", "$", "Ž", "Š", "Đ", "Ć", "Č", "ž", "š", "đ", "ć", "č"},       // Slovenia, Croatia
    {"#", "¥", "@", "[", "\\", "]", "^", "`", "{", "|", "}", "~"},      // China
    {"#", "₫", "@", "[", "\\", "]", "^", "`", "{", "|", "}", "~"},      // Vietnam
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

std::string Escaped(const std::string& utf8, unsigned char byte) {
  if (utf8.empty()) return Hex(byte);
  const auto first = static_cast<unsigned char>(utf8[0]);
  if (utf8.size() == 1 && (first < 0x20 || first == 0x7F)) return Hex(first);
  if (utf8 == "\"" || utf8 == "\\") return "\\" + utf8;
  return utf8;
}

// The character of a byte that the table itself does not leave to iconv, or null.
const char* Special(unsigned char byte, int table, int internationalSet) {
  if (byte < 0x80) return InternationalCharacter(byte, internationalSet);
  if (table == kPc857 && byte == kPc857Euro) return "€";
  if (const char* written = WrittenCharacter(table, byte)) return written;
  if (table != kKatakana) return nullptr;
  if (byte < 0xA0) return kKatakanaLow[byte - 0x80];
  if (byte == 0xA0) return " ";
  if (byte >= 0xE0) return kKatakanaHigh[byte - 0xE0];
  return nullptr;
}

}  // namespace

const char* InternationalCharacter(unsigned char byte, int internationalSet) {
  const char* replaced = byte != 0 ? strchr(kReplaced, byte) : nullptr;
  const int sets = static_cast<int>(std::size(kSets));
  if (replaced == nullptr || internationalSet <= 0 || internationalSet >= sets) return nullptr;
  return kSets[internationalSet][replaced - kReplaced];
}

std::string CodeTableName(int table) {
  const Table* known = Find(table);
  return known != nullptr ? known->name : "table " + std::to_string(table);
}

Converter::Converter(const char* from) : handle_(iconv_open("UTF-8", from)) {}

Converter::~Converter() {
  if (Usable()) iconv_close(static_cast<iconv_t>(handle_));
}

bool Converter::Usable() const { return handle_ != reinterpret_cast<void*>(-1); }

std::string Converter::Convert(const std::string& bytes) {
  if (!Usable() || bytes.empty()) return "";
  const auto converter = static_cast<iconv_t>(handle_);
  iconv(converter, nullptr, nullptr, nullptr, nullptr);  // a fresh start for each character
  char out[16];
  std::string in = bytes;
  char* inAt = &in[0];
  size_t inLeft = in.size();
  char* outAt = out;
  size_t outLeft = sizeof out;
  if (iconv(converter, &inAt, &inLeft, &outAt, &outLeft) == static_cast<size_t>(-1) ||
      inLeft != 0) {
    return "";
  }
  return std::string(out, outAt - out);
}

std::vector<std::string> DecodeText(const std::string& bytes, int table, int internationalSet) {
  const Table* known = Find(table);
  Converter converter(known != nullptr ? known->iconv : "");
  std::vector<std::string> characters;
  characters.reserve(bytes.size());
  for (char byte : bytes) {
    const auto value = static_cast<unsigned char>(byte);
    const char* special = Special(value, table, internationalSet);
    if (special != nullptr) {
      characters.push_back(special);
    } else if (value < 0x80 || known != nullptr) {
      characters.push_back(value < 0x80 ? std::string(1, byte)
                                        : converter.Convert(std::string(1, byte)));
    } else {
      characters.push_back("");
    }
  }
  return characters;
}

std::string QuoteCharacters(const std::vector<std::string>& characters,
                            const std::vector<std::string>& bytes) {
  std::string quoted;
  for (size_t i = 0; i < characters.size() && i < bytes.size(); ++i) {
    if (characters[i].empty()) {
      for (char byte : bytes[i]) quoted += Hex(static_cast<unsigned char>(byte));
    } else {
      quoted += Escaped(characters[i], static_cast<unsigned char>(bytes[i][0]));
    }
  }
  return quoted;
}

std::string QuoteText(const std::string& bytes, int table) {
  const std::vector<std::string> characters = DecodeText(bytes, table);
  std::vector<std::string> singles;
  for (char byte : bytes) singles.emplace_back(1, byte);
  return QuoteCharacters(characters, singles);
}

}  // namespace vprinter
