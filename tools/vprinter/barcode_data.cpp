#include "barcode_data.h"

#include <zint.h>

namespace vprinter {
namespace {

// The systems in GS k order: UPC-A, UPC-E, EAN13, EAN8, CODE39, ITF, CODABAR, CODE93, CODE128.
// zint tells EAN13 from EAN8 by the length of the data; data that holds its check digit takes
// the symbology that checks it (CheckedSymbology).
const int kSymbologies[] = {BARCODE_UPCA,    BARCODE_UPCE,   BARCODE_EANX,
                            BARCODE_EANX,    BARCODE_CODE39, BARCODE_C25INTER,
                            BARCODE_CODABAR, BARCODE_CODE93, BARCODE_CODE128};

// EAN-8 and EAN-13 with their check digit (8 and 13 digits), UPC-A with it (12): zint would
// take 8 digits for an EAN-13 without one.
int CheckedSymbology(int index, const std::string& data) {
  const size_t withCheck[] = {12, 0, 13, 8};
  if (index > 3 || withCheck[index] == 0 || data.size() != withCheck[index]) {
    return kSymbologies[index];
  }
  return index == 0 ? BARCODE_UPCA_CHK : BARCODE_EANX_CHK;
}

std::string TwoDigits(unsigned char value) {
  return std::string(1, static_cast<char>('0' + value / 10 % 10)) +
         static_cast<char>('0' + value % 10);
}

std::string Code128Text(const std::string& data) {
  std::string text;
  bool codeSetC = false;
  for (size_t i = 0; i < data.size(); ++i) {
    if (data[i] == '{' && i + 1 < data.size()) {
      const char selector = data[++i];
      if (selector == '{') text += '{';
      if (selector == 'A' || selector == 'B' || selector == 'C') codeSetC = selector == 'C';
      continue;
    }
    text += codeSetC ? TwoDigits(static_cast<unsigned char>(data[i])) : std::string(1, data[i]);
  }
  return text;
}

std::string WithoutStars(const std::string& data) {
  const size_t first = data.find_first_not_of('*');
  if (first == std::string::npos) return "";
  return data.substr(first, data.find_last_not_of('*') - first + 1);
}

}  // namespace

bool ZintInputFor(int system, const std::string& data, ZintInput* input) {
  const int index = system <= 6 ? system : system - 65;
  if (index < 0 || index > 8) return false;
  input->symbology = CheckedSymbology(index, data);
  switch (input->symbology) {
    case BARCODE_CODE128: input->data = Code128Text(data); break;
    case BARCODE_CODE39: input->data = WithoutStars(data); break;
    default: input->data = data; break;
  }
  return true;
}

}  // namespace vprinter
