// UTF-8 text printed line by line on a connection: a line that one of the printer's code
// tables holds goes out as text in that table; any other line is drawn as a picture of itself
// in the printer's character size (line_picture.h) and printed in its place, so that every
// script prints and a receipt mixes both. Control characters are dropped: text cannot command
// the printer.
#ifndef TALLYJET_TEXT_TEXT_PRINTER_H
#define TALLYJET_TEXT_TEXT_PRINTER_H

#include <vector>

#include "line_picture.h"

class CommBase;
class ProtEscPos;

namespace text {

// What the printer's text is set to, so that lines drawn as pictures look like it, and how
// lines are encoded.
struct TextStyle : LineStyle {
  // A code page number (437, 850, 858, 860 or 1252) every text line is encoded for; 0 takes
  // for each line the first of 850, 858, 437, 860 and 1252 that holds it.
  int codePage = 0;
  // False: characters no table holds print as '?', no line becomes a picture.
  bool pictures = true;
  // The table the printer has selected, as far as the library knows; -1 when unknown (at the
  // start, after ESC @).
  int printerTable = -1;
};

// The style after a command that sets it; each takes the command's argument.
void NotePrintMode(TextStyle* style, int mode);  // ESC !
void NoteCharSize(TextStyle* style, int size);   // GS !
void NoteFont(TextStyle* style, int font);       // ESC M
void NoteBold(TextStyle* style, int on);         // ESC E
void NoteUnderline(TextStyle* style, int mode);  // ESC -
void NoteAlignment(TextStyle* style, int align); // ESC a
void NoteReset(TextStyle* style);                // ESC @: all but the paper and the encoding
void NoteCodeTable(TextStyle* style, int table); // ESC t

// Prints length bytes of utf8 on the printer: each line ended by its LF, a last line without
// one left unended (a picture line prints all the same). A table is selected when the printer
// may not have it; *codepage, the table the connection converts under, follows. 1, or the
// first failure.
int PrintText(CommBase* transport, ProtEscPos* encoder, int* codepage, TextStyle* style,
              const char* utf8, int length);

// Prints one row of pieces: as text, each piece at its place (ESC $) in its style, in a table
// that holds the whole row, or else drawn as one picture of the row. The style is normal again
// after it. 1, or the first failure.
int PrintRow(CommBase* transport, ProtEscPos* encoder, int* codepage, TextStyle* style,
             const std::vector<RowPiece>& pieces);

}  // namespace text

#endif  // TALLYJET_TEXT_TEXT_PRINTER_H
