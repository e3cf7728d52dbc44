// The connection an entry point works on, and the checks every entry point makes before it works
// on it. The process-wide functions take theirs from comm_, prot_ and the process-wide code table
// at the moment of the call (an application may have put its own transport into comm_); a
// printer handle holds its own. Every entry point's body works on a PrinterConnection, so both
// faces share one implementation.
#ifndef TALLYJET_CONNECTION_H
#define TALLYJET_CONNECTION_H

#include "comm_base.h"
#include "prot_escpos.h"
#include "text_printer.h"

extern TALLYJET_API CommBase* comm_;
extern TALLYJET_API ProtEscPos* prot_;

struct PrinterConnection {
  CommBase* transport;
  ProtEscPos* encoder;
  int* codepage;  // the table SendData converts under
  text::TextStyle* style;  // what the text is set to, the paper width and the text encoding
};

namespace connection {

// The process-wide connection as it is now.
PrinterConnection ProcessWide();

// The printer's connection; the process-wide one for a null printer.
PrinterConnection Of(tallyjet_printer* printer);

// -4 without a transport, -8 without an encoder, else 1.
int Check(const PrinterConnection& link);

// Runs an encoder operation after the connection checks and answers its result unchanged.
template <typename... Params, typename... Args>
int Forward(const PrinterConnection& link, int (ProtEscPos::*operation)(Params...), Args... args) {
  const int rc = Check(link);
  return rc == TALLYJET_SUCCESS ? (link.encoder->*operation)(args...) : rc;
}

}  // namespace connection

#endif  // TALLYJET_CONNECTION_H
