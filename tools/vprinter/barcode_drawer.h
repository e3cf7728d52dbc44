// Barcodes and QR codes drawn by zint, dot for dot at the printer's settings.
#ifndef VPRINTER_BARCODE_DRAWER_H
#define VPRINTER_BARCODE_DRAWER_H

#include <QImage>
#include <string>

#include "printer_settings.h"

namespace vprinter {

struct DrawnSymbol {
  QImage image;       // black on white, no quiet zone; null when not drawn
  std::string text;   // the human-readable text zint makes of the data (check digit included)
  std::string error;  // why it was not drawn
};

// A GS k barcode of system m: modules of the GS w width, bars of the GS h height. The HRI
// characters are left to the caller, who prints them in the printer's own font.
DrawnSymbol DrawBarcode(int system, const std::string& data, const BarcodeSettings& settings);

// The stored QR code at its module size and error-correction level. zint draws model 2 only;
// a model 1 symbol comes out as model 2.
DrawnSymbol DrawQrCode(const QrSettings& qr);

// The stored PDF417 symbol: modules of the module width, rows of the row height, the columns and
// error-correction level asked for (the row count is left to zint).
DrawnSymbol DrawPdf417(const Pdf417Settings& pdf);

}  // namespace vprinter

#endif  // VPRINTER_BARCODE_DRAWER_H
