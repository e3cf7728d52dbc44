// UTF-8 text and the printer's character code tables: which accepted table holds a line, and
// the line encoded for it (with iconv), after the text has been made safe to print.
#ifndef TALLYJET_TEXT_CODE_PAGES_H
#define TALLYJET_TEXT_CODE_PAGES_H

#include <cstddef>
#include <string>

namespace text {

struct CodePage {
  int number;             // the code page's own number, as the user names it
  int table;              // the table number the printer selects it with (ESC t n)
  const char* iconvName;  // the character set iconv encodes to
};

// The code pages the printer accepts: 437, 850, 858, 860 and 1252; null for another number.
const CodePage* FindCodePage(int number);
// The first page, in the order 850, 858, 437, 860, 1252, that holds every character of the
// line; null when none does.
const CodePage* PageHolding(const std::string& utf8);
// The first page in that order that holds the most characters of the line.
const CodePage* PageHoldingMost(const std::string& utf8);

struct EncodedText {
  std::string bytes;      // one byte per character; '?' for those the page lacks
  int missing = 0;        // characters the page lacks
  bool complete() const { return missing == 0; }
};

// Encodes UTF-8 text (made safe by MakePrintable) for page.
EncodedText Encode(const std::string& utf8, const CodePage& page);

// Makes text safe to print: control characters that would command a printer (bytes 00 to 1F
// other than line feed, carriage return and tab, byte 7F, and U+0080 to U+009F) are dropped,
// and whatever is not UTF-8 (stray bytes, overlong forms, surrogates, code points past
// U+10FFFF) becomes U+FFFD.
void MakePrintable(std::string* utf8);

}  // namespace text

#endif  // TALLYJET_TEXT_CODE_PAGES_H
