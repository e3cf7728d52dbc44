#include "barcode_check.h"

#include <zint.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <memory>

namespace {

// The printer's barcode command counts the data in one byte.
constexpr size_t kMostBytes = 255;

struct Rule {
  const char* type;
  int symbology;        // zint's
  int withCheckDigit;   // zint's for the data at its longest, which ends in its check digit
  bool digitsOnly;
  size_t fewest, most;  // digits, for the fixed-length symbologies; 0 otherwise
  bool evenLength;
  bool sendsCheckDigit;  // zint's text holds the data with its check digit
  const char* lengths;   // what to say about the length
};

const Rule kRules[] = {
    {"upca", BARCODE_UPCA, BARCODE_UPCA_CHK, true, 11, 12, false, true,
     "11 digits, or 12 with the check digit"},
    {"upce", BARCODE_UPCE, BARCODE_UPCE_CHK, true, 6, 8, false, true,
     "6 digits, 7 with number system 0, or 8 with the check digit"},
    {"ean13", BARCODE_EANX, BARCODE_EANX_CHK, true, 12, 13, false, true,
     "12 digits, or 13 with the check digit"},
    {"ean8", BARCODE_EANX, BARCODE_EANX_CHK, true, 7, 8, false, true,
     "7 digits, or 8 with the check digit"},
    {"itf", BARCODE_C25INTER, BARCODE_C25INTER, true, 2, kMostBytes, true, false,
     "an even number of digits"},
    {"code39", BARCODE_CODE39, BARCODE_CODE39, false, 0, 0, false, false, ""},
    {"codabar", BARCODE_CODABAR, BARCODE_CODABAR, false, 0, 0, false, false, ""},
    {"code93", BARCODE_CODE93, BARCODE_CODE93, false, 0, 0, false, false, ""},
    {"code128", BARCODE_CODE128, BARCODE_CODE128, false, 0, 0, false, false, ""},
};

struct SymbolDeleter {
  void operator()(zint_symbol* symbol) const { ZBarcode_Delete(symbol); }
};

// zint's message without its "Error NNN: " prefix.
std::string ZintReason(const char* text) {
  const char* colon = strstr(text, ": ");
  return colon != nullptr ? colon + 2 : text;
}

// CODE128 data begins with its code set, {A, {B or {C, and may switch sets with more such
// pairs; zint checks the characters between them.
bool HasCodeSet(const std::string& data) {
  return data.size() >= 2 && data[0] == '{' && data[1] >= 'A' && data[1] <= 'C';
}

std::string WithoutCodeSets(const std::string& data) {
  std::string plain;
  for (size_t at = 0; at < data.size(); ++at) {
    if (data[at] == '{' && at + 1 < data.size()) {
      ++at;
      if (data[at] != '{') continue;  // "{{" is a brace; other pairs switch or mark
    }
    plain += data[at];
  }
  return plain;
}

bool CheckShape(const Rule& rule, const std::string& data, std::string* why) {
  const bool digits = std::all_of(data.begin(), data.end(), [](char c) { return isdigit(c); });
  if (rule.digitsOnly && !digits) {
    *why = std::string(rule.type) + " takes digits only";
  } else if (rule.fewest > 0 && (data.size() < rule.fewest || data.size() > rule.most ||
                                 (rule.evenLength && data.size() % 2 != 0))) {
    *why = std::string(rule.type) + " takes " + rule.lengths + ", not " +
           std::to_string(data.size());
  } else if (strcmp(rule.type, "code39") == 0 &&
             std::any_of(data.begin(), data.end(), [](char c) { return islower(c); })) {
    *why = "code39 has no lower case letters: write them in capitals";
  } else if (strcmp(rule.type, "code128") == 0 && !HasCodeSet(data) &&
             std::any_of(data.begin(), data.end(), [](char c) { return c < 32 || c > 126; })) {
    *why = "code128 code set B takes printable ASCII characters only";
  } else {
    return true;
  }
  return false;
}

}  // namespace

bool CheckBarcode(const std::string& type, const std::string& given, std::string* data,
                  std::string* why) {
  const Rule* rule = std::find_if(std::begin(kRules), std::end(kRules),
                                  [&](const Rule& r) { return type == r.type; });
  if (rule == std::end(kRules)) {
    *why = "no barcode type " + type;
    return false;
  }
  if (given.empty()) {
    *why = "the data is empty";
    return false;
  }
  if (!CheckShape(*rule, given, why)) return false;
  const bool code128 = rule->symbology == BARCODE_CODE128;
  const std::string payload = code128 ? WithoutCodeSets(given) : given;
  std::unique_ptr<zint_symbol, SymbolDeleter> symbol(ZBarcode_Create());
  const bool complete = rule->sendsCheckDigit && given.size() == rule->most;
  symbol->symbology = complete ? rule->withCheckDigit : rule->symbology;
  const int result = ZBarcode_Encode(symbol.get(),
                                     reinterpret_cast<const unsigned char*>(payload.data()),
                                     static_cast<int>(payload.size()));
  if (result >= ZINT_ERROR) {
    *why = std::string(rule->type) + ": " + ZintReason(symbol->errtxt);
    return false;
  }
  *data = rule->sendsCheckDigit ? reinterpret_cast<const char*>(symbol->text)
          : code128 && !HasCodeSet(given) ? "{B" + given
                                          : given;
  // The printer takes UPC-E as its six digits: number system 0, the check digit its own.
  if (rule->symbology == BARCODE_UPCE) {
    if ((*data)[0] != '0') {
      *why = "upce prints number system 0 only";
      return false;
    }
    *data = data->substr(1, 6);
  }
  if (data->size() > kMostBytes) {
    *why = "at most " + std::to_string(kMostBytes) + " bytes of data, not " +
           std::to_string(data->size());
    return false;
  }
  return true;
}
