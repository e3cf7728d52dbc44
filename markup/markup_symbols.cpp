#include "markup_symbols.h"

#include <algorithm>

namespace markup {
namespace {

constexpr int kUpcA = 65, kUpcE = 66, kEan13 = 67, kEan8 = 68, kCode39 = 69, kItf = 70,
              kCodabar = 71, kCode93 = 72, kCode128 = 73;
constexpr size_t kMaxData = 255;

bool AllOf(const std::string& data, const char* allowed) {
  return std::all_of(data.begin(), data.end(), [allowed](char c) {
    return c != '\0' && std::string(allowed).find(c) != std::string::npos;
  });
}

bool Digits(const std::string& data) { return !data.empty() && AllOf(data, "0123456789"); }

// The check digit of the EAN/UPC family: weights 3 and 1 from the right.
char CheckDigit(const std::string& digits) {
  int sum = 0;
  for (size_t i = 0; i < digits.size(); ++i) {
    const int weight = (digits.size() - i) % 2 == 1 ? 3 : 1;
    sum += (digits[i] - '0') * weight;
  }
  return static_cast<char>('0' + (10 - sum % 10) % 10);
}

// digits of length bare (check digit left out, sent as they are) or bare + 1 (check digit
// given, which must be right).
bool WithOptionalCheck(const std::string& digits, size_t bare, std::string* out) {
  if (!Digits(digits)) return false;
  *out = digits;
  if (digits.size() == bare) return true;
  return digits.size() == bare + 1 && digits.back() == CheckDigit(digits.substr(0, bare));
}

// The digits a UPC-E symbol stands for, expanded to UPC-A: the check digit is that of these.
std::string ExpandUpcE(const std::string& six) {
  const char last = six[5];
  if (last <= '2') return "0" + six.substr(0, 2) + last + "0000" + six.substr(2, 3);
  if (last == '3') return "0" + six.substr(0, 3) + "00000" + six.substr(3, 2);
  if (last == '4') return "0" + six.substr(0, 4) + "00000" + six.substr(4, 1);
  return "0" + six.substr(0, 5) + "0000" + last;
}

// UPC-E written as 6 digits, or 7 or 8 with number system 0 in front and the check digit after.
bool UpcE(const std::string& data, std::string* six) {
  if (!Digits(data) || data.size() < 6 || data.size() > 8) return false;
  if (data.size() == 6) {
    *six = data;
    return true;
  }
  if (data[0] != '0') return false;
  *six = data.substr(1, 6);
  return data.size() == 7 || data[7] == CheckDigit(ExpandUpcE(*six));
}

bool Code128(const std::string& data, std::string* out) {
  if (data.empty() || !std::all_of(data.begin(), data.end(), [](char c) {
        return c >= 0x20 && c <= 0x7E;
      })) {
    return false;
  }
  *out = "{B";
  for (char c : data) {
    if (c == '{') *out += '{';  // a brace in the data is written twice
    *out += c;
  }
  return true;
}

}  // namespace

bool ToPrinterBarcode(const std::string& type, const std::string& data, PrinterBarcode* barcode) {
  bool valid = false;
  std::string& out = barcode->data;
  if (type == "upc") {
    barcode->system = data.size() < 9 ? kUpcE : kUpcA;
    valid = data.size() < 9 ? UpcE(data, &out) : WithOptionalCheck(data, 11, &out);
  } else if (type == "ean" || type == "jan") {
    barcode->system = data.size() < 9 ? kEan8 : kEan13;
    valid = WithOptionalCheck(data, data.size() < 9 ? 7 : 12, &out);
  } else if (type == "code39") {
    barcode->system = kCode39;
    out = data;
    valid = !data.empty() && AllOf(data, "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ -.$/+%*");
  } else if (type == "itf") {
    barcode->system = kItf;
    out = data;
    valid = Digits(data) && data.size() % 2 == 0;
  } else if (type == "codabar" || type == "nw7") {
    barcode->system = kCodabar;
    out = data;
    valid = data.size() >= 2 && AllOf(data, "0123456789ABCDabcd$+-./:");
  } else if (type == "code93") {
    barcode->system = kCode93;
    out = data;
    valid = !data.empty() && std::all_of(data.begin(), data.end(), [](char c) {
      return c > 0;  // ASCII: a char above 0x7F is negative
    });
  } else {
    barcode->system = kCode128;
    valid = Code128(data, &out);
  }
  return valid && out.size() <= kMaxData;
}

}  // namespace markup
