// --preview: the virtual printer in this process, reached through a tallyjet_transport, draws
// what the subcommand would print with its own renderer; no printer or port is needed.
#ifndef TALLYJET_CLI_PREVIEW_H
#define TALLYJET_CLI_PREVIEW_H

#include <string>

#include "headless_gui.h"
#include "paper_roll.h"
#include "printer_core.h"
#include "receipt_renderer.h"
#include "tallyjet.h"

class Preview {
 public:
  // The printer for paper paperMillimetres wide: 80 (576 dots across the head) or 58 (384).
  explicit Preview(int paperMillimetres);
  Preview(const Preview&) = delete;
  Preview& operator=(const Preview&) = delete;

  // A printer handle whose bytes go to this virtual printer and whose queries it answers; the
  // library's result.
  int Open(tallyjet_printer** printer);
  // Writes the paper as printed so far to path (PNG); false with *error set when it cannot.
  bool Save(const std::string& path, std::string* error);

 private:
  static int Write(void* context, const char* data, int length);
  static int Read(void* context, char* buffer, int length, int timeoutMs);

  const bool quiet_;  // Qt's warnings (no runtime directory and such) silenced before it starts
  vprinter::HeadlessGui gui_;
  vprinter::ReceiptRenderer renderer_;
  vprinter::PrinterCore core_;
  std::string answers_;  // answer bytes due but not yet read
};

#endif  // TALLYJET_CLI_PREVIEW_H
