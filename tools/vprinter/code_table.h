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

// Each text byte as its UTF-8 character through table n; empty for a byte the table cannot show,
// and for every byte above 7F of an unknown table.
std::vector<std::string> DecodeText(const std::string& bytes, int table);

// The text bytes as UTF-8 through table n, escaped for a quoted log field: quote, backslash and
// control characters as \", \\ and \xNN; bytes the table cannot show, or all bytes above 7F of an
// unknown table, as \xNN.
std::string QuoteText(const std::string& bytes, int table);

}  // namespace vprinter

#endif  // VPRINTER_CODE_TABLE_H
