// Characters drawn as the print head would: each in a cell of its font's size, times the
// character size.
#ifndef VPRINTER_GLYPHS_H
#define VPRINTER_GLYPHS_H

#include <QImage>
#include <QString>

#include "printer_settings.h"

namespace vprinter {

struct Cell {
  int width;
  int height;
};

// Font A is 12 x 24 dots, font B (and the rarely fitted font C) 9 x 17.
Cell CellOf(int font);

// One character, black on white in a cell of the style's font and size: emphasised (or double
// struck) in bold, italic, underlined, or white on black when reversed. Upside-down printing
// turns whole lines and is not done here.
QImage DrawCharacter(const QString& character, const TextStyle& style);

// A character as it goes into the line: a full-width (Kanji) character in a square cell of the
// font's height with the Kanji print mode, underline and spacing (FS !, FS -, FS S); another
// with the character spacing (ESC SP); either turned 90 degrees clockwise under ESC V.
QImage DrawTextCharacter(const QString& character, const TextStyle& style, bool wide);

}  // namespace vprinter

#endif  // VPRINTER_GLYPHS_H
