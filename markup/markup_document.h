// A receipt described in ReceiptLine markup, read line by line into what each line prints:
// columns of decorated text, a rule, a cut, a barcode, a QR code or a picture. Columns are
// separated by '|' and aligned by the spaces around them; properties in braces set the borders,
// column widths, alignment, wrapping and code options of the lines that follow.
#ifndef TALLYJET_MARKUP_DOCUMENT_H
#define TALLYJET_MARKUP_DOCUMENT_H

#include <string>
#include <vector>

namespace markup {

// What a column's text is made of: characters, and the marks between them that switch a
// decoration on or off or end the row.
struct Token {
  enum Kind { kText, kUnderline, kEmphasis, kInvert, kSize, kBreak };
  Kind kind = kText;
  std::string text;  // kText: UTF-8
  int size = 0;      // kSize: the number of carets, 1 to 7
};

struct Column {
  int align = 1;  // 0 left, 1 centre, 2 right within the column
  std::vector<Token> tokens;
  int width = -1;  // characters; -1 shares the free width with the other such columns; 0 hidden
};

// Options of barcodes and QR codes.
struct CodeOptions {
  std::string type = "code128";  // upc, ean, jan, code39, itf, codabar, nw7, code93, code128, qrcode
  int moduleWidth = 2;           // dots, 2 to 4
  int height = 72;               // dots, 24 to 240
  bool hri = false;              // human-readable digits below the bars
  int cell = 3;                  // QR module size in dots, 3 to 8
  char level = 'l';              // QR error correction: l, m, q or h
};

enum class Rules { kNone, kStart, kStop };  // vertical rules around columns begin or end

struct Line {
  enum Kind { kNothing, kText, kRule, kCut, kCode, kImage };
  Kind kind = kNothing;
  std::vector<Column> columns;  // kText
  bool wrap = true;             // kText: rows past the first print too
  int border = 1;               // kText: -1 ruled, else spaces between columns
  int lineAlign = 1;            // where a line narrower than the paper goes: 0 left, 1 centre, 2 right
  int span = -1;                // kRule, kCode, kImage: characters set by the widths; -1 all
  int align = 1;                // kCode, kImage: from the spaces around the braces
  std::string code;             // kCode: the data
  CodeOptions options;          // kCode
  std::string image;            // kImage: the base64 text of a PNG
  Rules rules = Rules::kNone;
};

// The settings a property line leaves for the lines after it.
struct DocumentState {
  bool wrap = true;
  int border = 1;
  std::vector<int> widths;  // empty: every column shares the width
  int align = 1;
  CodeOptions options;
};

// Reads one line of markup (without its line end) in state, which it updates. False when the
// line cannot be read: a property that is not key: value, or a brace in text.
bool ParseLine(const std::string& source, DocumentState* state, Line* line);

// Reads a whole document (UTF-8, lines ended by LF, CRLF or CR, a byte order mark skipped).
// False when any line cannot be read.
bool ParseDocument(const std::string& document, std::vector<Line>* lines);

}  // namespace markup

#endif  // TALLYJET_MARKUP_DOCUMENT_H
