// The two receipt printer models, 80 mm paper with a 576-dot head and 58 mm paper with a
// 384-dot head, both at 203 dpi on a continuous roll: their drivers' names and paper.
#ifndef TALLYJET_PRINTER_APP_RECEIPT_MODELS_H
#define TALLYJET_PRINTER_APP_RECEIPT_MODELS_H

namespace printer_app {

constexpr int kDotsPerInch = 203;
constexpr int kMediaCount = 6;

struct ReceiptModel {
  const char* driverName;
  const char* description;
  int paperMillimetres;
  int headDots;
  // The first is the default: the roll at its longest, so that a page is as long as its
  // content (the blank end is not printed) and keeps the head's full width.
  const char* media[kMediaCount];
};

extern const ReceiptModel kModels[2];

// The model of the driver with this name; nullptr for an unknown name.
const ReceiptModel* ModelOf(const char* driverName);

// Dots across the print head of the driver with this name; 0 for an unknown name.
int HeadDotsOf(const char* driverName);

}  // namespace printer_app

#endif  // TALLYJET_PRINTER_APP_RECEIPT_MODELS_H
