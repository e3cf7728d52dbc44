#include "receipt_models.h"

#include <cstring>

namespace printer_app {

const ReceiptModel kModels[2] = {
    {"tallyjet_80mm", "TallyJet receipt printer, 80 mm paper (576 dots)", 80, 576,
     {"om_roll_80x3000mm", "om_receipt_80x297mm", "om_receipt_80x200mm", "om_receipt_80x100mm",
      "roll_max_80x3000mm", "roll_min_80x25mm"}},
    {"tallyjet_58mm", "TallyJet receipt printer, 58 mm paper (384 dots)", 58, 384,
     {"om_roll_58x3000mm", "om_receipt_58x297mm", "om_receipt_58x200mm", "om_receipt_58x100mm",
      "roll_max_58x3000mm", "roll_min_58x25mm"}},
};

const ReceiptModel* ModelOf(const char* driverName) {
  for (const ReceiptModel& model : kModels) {
    if (driverName != nullptr && strcmp(driverName, model.driverName) == 0) return &model;
  }
  return nullptr;
}

int HeadDotsOf(const char* driverName) {
  const ReceiptModel* model = ModelOf(driverName);
  return model != nullptr ? model->headDots : 0;
}

}  // namespace printer_app
