// UTF-8 text encoded for one of the printer's character code tables, with iconv.
#ifndef TALLYJET_COMMON_CODE_PAGES_H
#define TALLYJET_COMMON_CODE_PAGES_H

#include <string>
#include <vector>

struct CodePage {
  int number;             // the code page's own number, as the user names it
  int table;              // the table number the printer selects it with
  const char* iconvName;  // the character set iconv encodes to
  int rewrittenByte;      // a byte the library changes on its way out under this table, or -1
};

// The code pages the library can select: 437, 850, 858, 860 and 1252; null for another number.
const CodePage* FindCodePage(int number);
// Their numbers, for an option's check.
std::vector<int> CodePageNumbers();
// The first page, in the order 850, 858, 437, 860, 1252, that holds every character of the
// text; null when none does.
const CodePage* PageHolding(const std::string& utf8);

struct EncodedText {
  std::string bytes;                 // one byte per character; '?' for those the page lacks
  std::vector<std::string> missing;  // each character printed as '?', once, as "X (U+XXXX)"
};

// Encodes UTF-8 text for page. A character the page lacks, or that the library would rewrite,
// and every byte that is not UTF-8, become '?'.
EncodedText Encode(const std::string& utf8, const CodePage& page);

// Replaces every byte that does not belong to a UTF-8 sequence with '?', adding its name
// ("byte XX (not UTF-8)") to names once.
void ReplaceInvalidBytes(std::string* utf8, std::vector<std::string>* names);

// Removes the control characters that would command a printer: bytes 00 to 1F other than line
// feed, carriage return and tab, byte 7F, and the UTF-8 characters U+0080 to U+009F. Answers
// how many were removed.
size_t DropControlCharacters(std::string* utf8);

#endif  // TALLYJET_COMMON_CODE_PAGES_H
