// UTF-8 text encoded for one of the printer's character code tables, with iconv.
#ifndef TALLYJET_CLI_TEXT_ENCODING_H
#define TALLYJET_CLI_TEXT_ENCODING_H

#include <string>
#include <vector>

struct CodePage {
  int number;             // the code page's own number, as the user names it
  int table;              // the table number SetCharCodeTable selects it with
  const char* iconvName;  // the character set iconv encodes to
  int rewrittenByte;      // a byte the library changes on its way out under this table, or -1
};

// The code pages the library can select: 437, 850, 858, 860 and 1252; null for another number.
const CodePage* FindCodePage(int number);
// Their numbers, for the option's check.
std::vector<int> CodePageNumbers();
// The page that holds the text's characters: 858 when it has a euro sign, 850 otherwise.
const CodePage& ChooseCodePage(const std::string& utf8);

struct EncodedText {
  std::string bytes;                 // one byte per character; '?' for those the page lacks
  std::vector<std::string> missing;  // each character printed as '?', once, as "X (U+XXXX)"
};

// Encodes UTF-8 text for page. A character the page lacks, or that the library would rewrite,
// and every byte that is not UTF-8, become '?'.
EncodedText Encode(const std::string& utf8, const CodePage& page);

#endif  // TALLYJET_CLI_TEXT_ENCODING_H
