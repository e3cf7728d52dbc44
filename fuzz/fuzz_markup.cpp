// Markup documents: any bytes read as a document and laid out on both paper widths. Every piece
// of every row must lie within the paper, and a barcode the reading accepts must carry data the
// printer takes (digits only for the EAN and UPC family).
#include <cstdint>
#include <string>
#include <vector>

#include "markup_document.h"
#include "markup_layout.h"
#include "markup_symbols.h"

namespace {

void CheckRows(const std::vector<markup::Row>& rows, int columns) {
  for (const markup::Row& row : rows) {
    for (const markup::Piece& piece : row) {
      if (piece.halfColumn < 0 || piece.cells < 0 || piece.halfColumn / 2 + piece.cells > columns) {
        __builtin_trap();
      }
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string document(reinterpret_cast<const char*>(data), size);
  std::vector<markup::Line> lines;
  if (!markup::ParseDocument(document, &lines)) return 0;
  for (int columns : {48, 32}) {
    markup::Layout layout(columns);
    for (const markup::Line& line : lines) {
      CheckRows(layout.RowsOf(line), columns);
      markup::PrinterBarcode barcode;
      if (line.kind == markup::Line::kCode &&
          markup::ToPrinterBarcode(line.options.type, line.code, &barcode) &&
          barcode.system >= 65 && barcode.system <= 68 &&
          barcode.data.find_first_not_of("0123456789") != std::string::npos) {
        __builtin_trap();
      }
    }
    CheckRows(layout.Finish(), columns);
  }
  return 0;
}
