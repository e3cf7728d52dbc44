// What a printer handle holds: its own transport, the encoder that owns it, and its code table.
#ifndef TALLYJET_PRINTER_HANDLE_H
#define TALLYJET_PRINTER_HANDLE_H

#include "comm_base.h"
#include "prot_escpos.h"
#include "text_printer.h"

struct tallyjet_printer {
  // Takes ownership of transport, an open one.
  explicit tallyjet_printer(CommBase* opened) : transport(opened), encoder(opened) {}

  CommBase* transport;
  ProtEscPos encoder;  // destroys the transport with itself
  int codepage = TALLYJET_CODEPAGE_850;
  text::TextStyle style;
};

#endif  // TALLYJET_PRINTER_HANDLE_H
