#include "barcode_drawer.h"

#include <zint.h>

#include <algorithm>
#include <memory>

#include "barcode_data.h"

namespace vprinter {
namespace {

struct SymbolDeleter {
  void operator()(zint_symbol* symbol) const { ZBarcode_Delete(symbol); }
};
using Symbol = std::unique_ptr<zint_symbol, SymbolDeleter>;

// A symbol without border or text, whose modules are moduleDots dots wide: zint's raster
// output gives each module 2 x scale pixels. (EAN and UPC keep their quiet zones.)
Symbol NewSymbol(int symbology, int moduleDots) {
  Symbol symbol(ZBarcode_Create());
  symbol->symbology = symbology;
  symbol->input_mode = DATA_MODE;
  symbol->scale = moduleDots / 2.0f;
  symbol->show_hrt = 0;
  symbol->whitespace_width = 0;
  symbol->border_width = 0;
  return symbol;
}

bool Encode(zint_symbol* symbol, const std::string& data) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(data.data());
  return ZBarcode_Encode(symbol, bytes, static_cast<int>(data.size())) < ZINT_ERROR;
}

// Copies zint's bitmap of the encoded symbol, dark pixels black.
DrawnSymbol Rasterise(zint_symbol* symbol) {
  DrawnSymbol drawn;
  if (ZBarcode_Buffer(symbol, 0) >= ZINT_ERROR) {
    drawn.error = std::string("zint: ") + symbol->errtxt;
    return drawn;
  }
  drawn.text = reinterpret_cast<const char*>(symbol->text);
  drawn.image = QImage(symbol->bitmap_width, symbol->bitmap_height, QImage::Format_RGB32);
  const unsigned char* rgb = symbol->bitmap;
  for (int y = 0; y < symbol->bitmap_height; ++y) {
    for (int x = 0; x < symbol->bitmap_width; ++x, rgb += 3) {
      drawn.image.setPixel(x, y, rgb[0] < 128 ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
    }
  }
  return drawn;
}

DrawnSymbol Draw(zint_symbol* symbol, const std::string& data) {
  if (!Encode(symbol, data)) return {QImage(), "", std::string("zint: ") + symbol->errtxt};
  return Rasterise(symbol);
}

}  // namespace

DrawnSymbol DrawBarcode(int system, const std::string& data, const BarcodeSettings& settings) {
  ZintInput input;
  if (!ZintInputFor(system, data, &input)) return {QImage(), "", "no such barcode system"};
  const int moduleDots = std::clamp(settings.moduleWidth, 1, 6);
  Symbol symbol = NewSymbol(input.symbology, moduleDots);
  symbol->height = std::max(1, settings.height) / static_cast<float>(moduleDots);
  symbol->guard_descent = 0;
  return Draw(symbol.get(), input.data);
}

DrawnSymbol DrawQrCode(const QrSettings& qr) {
  if (qr.data.empty()) return {QImage(), "", "no QR code data stored"};
  Symbol symbol = NewSymbol(BARCODE_QRCODE, std::clamp(qr.moduleSize, 1, 16));
  symbol->option_1 = std::clamp(qr.errorLevel, 0, 3) + 1;  // zint counts L, M, Q, H from 1
  return Draw(symbol.get(), qr.data);
}

}  // namespace vprinter

namespace vprinter {

DrawnSymbol DrawPdf417(const Pdf417Settings& pdf) {
  if (pdf.data.empty()) return {QImage(), "", "no PDF417 data stored"};
  Symbol symbol = NewSymbol(pdf.truncated ? BARCODE_PDF417COMP : BARCODE_PDF417,
                            std::clamp(pdf.moduleWidth, 2, 8));
  symbol->option_1 = pdf.errorLevel >= 0 && pdf.errorLevel <= 8 ? pdf.errorLevel : -1;
  symbol->option_2 = std::clamp(pdf.columns, 0, 30);
  if (!Encode(symbol.get(), pdf.data))
    return {QImage(), "", std::string("zint: ") + symbol->errtxt};
  // Each row as high as the row height asks, in modules.
  const int rowHeight = std::clamp(pdf.rowHeight, 2, 8);
  for (int row = 0; row < symbol->rows; ++row) symbol->row_height[row] = rowHeight;
  symbol->height = static_cast<float>(symbol->rows * rowHeight);
  return Rasterise(symbol.get());
}

}  // namespace vprinter
