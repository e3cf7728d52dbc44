// Barcodes of a markup document as the printer takes them: the GS k system for the option's
// type and the data in the form that system wants, checked before anything is printed.
#ifndef TALLYJET_MARKUP_SYMBOLS_H
#define TALLYJET_MARKUP_SYMBOLS_H

#include <string>

namespace markup {

struct PrinterBarcode {
  int system = 0;    // GS k m: 65 UPC-A to 73 CODE128
  std::string data;  // as GS k takes it
};

// The barcode for data of the type (upc, ean, jan, code39, itf, codabar, nw7, code93, code128):
// UPC and EAN with or without their check digit (a wrong one is refused), UPC-E as its six
// digits, CODE128 in code set B. False when the type cannot carry the data.
bool ToPrinterBarcode(const std::string& type, const std::string& data, PrinterBarcode* barcode);

}  // namespace markup

#endif  // TALLYJET_MARKUP_SYMBOLS_H
