// A whole receipt from ReceiptLine markup, printed on a connection: text rows through the
// library's text path (styles by the printer's commands, other scripts as pictures), barcodes
// and QR codes by the printer's own commands, pictures through the picture path, a cut for each
// '=' and one at the end.
#ifndef TALLYJET_MARKUP_PRINTER_H
#define TALLYJET_MARKUP_PRINTER_H

#include "text_printer.h"

class CommBase;
class ProtEscPos;

namespace markup {

// Prints length bytes of markup. The whole document is read, its pictures decoded and its
// barcodes checked before anything is sent: -3 and nothing printed when any of it cannot be
// read. Font A, normal text and the default line spacing are in force afterwards. 1, or the
// first failure.
int PrintMarkup(CommBase* transport, ProtEscPos* encoder, int* codepage, text::TextStyle* style,
                const char* document, int length);

}  // namespace markup

#endif  // TALLYJET_MARKUP_PRINTER_H
