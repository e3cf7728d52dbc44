#include "written_tables.h"

namespace vprinter {
namespace {

constexpr int kUpperHalf = 0x80;

// PC853 (Turkish, Maltese, Esperanto): Latin-3 in a DOS layout. Checked against two
// independent mappings of code page 853, which differ only at EE: the page holds every character
// of ISO 8859-3, and the middle dot has no other place in it.
const char* const kPc853High[kUpperHalf] = {
    "Ç", "ü", "é", "â", "ä", "à", "ĉ", "ç",
    "ê", "ë", "è", "ï", "î", "ì", "Ä", "Ĉ",
    "É", "ċ", "Ċ", "ô", "ö", "ò", "û", "ù",
    "İ", "Ö", "Ü", "ĝ", "£", "Ĝ", "×", "ĵ",
    "á", "í", "ó", "ú", "ñ", "Ñ", "Ğ", "ğ",
    "Ĥ", "ĥ", "", "½", "Ĵ", "ş", "«", "»",
    "░", "▒", "▓", "│", "┤", "Á", "Â", "À",
    "Ş", "╣", "║", "╗", "╝", "Ż", "ż", "┐",
    "└", "┴", "┬", "├", "─", "┼", "Ŝ", "ŝ",
    "╚", "╔", "╩", "╦", "╠", "═", "╬", "¤",
    "", "", "Ê", "Ë", "È", "ı", "Í", "Î",
    "Ï", "┘", "┌", "█", "▄", "", "Ì", "▀",
    "Ó", "ß", "Ô", "Ò", "Ġ", "ġ", "µ", "Ħ",
    "ħ", "Ú", "Û", "Ù", "Ŭ", "ŭ", "·", "´",
    "\u00AD", "", "ℓ", "ŉ", "˘", "§", "÷", "¸",
    "°", "¨", "˙", "", "³", "²", "■", "\u00A0",
};

// Thai Character Code 42: box drawing and arrows, Thai digits and a few second forms, then the
// consonants in alphabetical order from A1 with the obsolete ones moved out, vowels and marks.
// Laid out as the point-of-sale encoders on npm send it, the one complete public mapping (80 to
// 99 also agree with a second); DD and E2 both hold the tone mark mai tri there.
const char* const kThai42High[kUpperHalf] = {
    "┌", "┐", "└", "┘", "│", "─", "├", "┤",
    "┴", "┬", "┼", "█", "←", "↑", "→", "↓",
    "๐", "๑", "๒", "๓", "๔", "๕", "๖", "๗",
    "๘", "๙", "ฃ", "ฅ", "ร", "า", "ไ", "เ",
    "\u00A0", "ก", "ข", "ค", "ฆ", "ง", "จ", "ฉ",
    "ช", "ซ", "ฌ", "ญ", "ฎ", "ฏ", "ฐ", "ฑ",
    "ฒ", "ณ", "ด", "ต", "ถ", "ท", "ธ", "น",
    "บ", "ป", "ผ", "ฝ", "พ", "ฟ", "ภ", "ม",
    "ย", "ร", "ฤ", "ล", "ว", "ศ", "ษ", "ส",
    "ห", "ฬ", "อ", "ฮ", "ะ", "ฦ", "า", "ำ",
    "เ", "แ", "โ", "ใ", "ไ", "ๆ", "ฯ", "\u0E38",
    "\u0E39", "\u0E34", "\u0E35", "\u0E36", "\u0E37", "\u0E4A", "\u0E4D", "\u0E47",
    "\u0E48", "\u0E49", "\u0E4A", "\u0E4B", "\u0E4C", "", "", "",
    "", "", "", "ะ", "", "", "", "",
    "", "", "", "", "", "", "", "",
    "", "", "", "", "", "", "", "\u00A0",
};

// PC720 (Arabic). Checked against two independent mappings of code page 720 (CPython's and
// ICU's).
const char* const kPc720High[kUpperHalf] = {
    "", "", "é", "â", "", "à", "", "ç",
    "ê", "ë", "è", "ï", "î", "", "", "",
    "", "\u0651", "\u0652", "ô", "¤", "ـ", "û", "ù",
    "ء", "آ", "أ", "ؤ", "£", "إ", "ئ", "ا",
    "ب", "ة", "ت", "ث", "ج", "ح", "خ", "د",
    "ذ", "ر", "ز", "س", "ش", "ص", "«", "»",
    "░", "▒", "▓", "│", "┤", "╡", "╢", "╖",
    "╕", "╣", "║", "╗", "╝", "╜", "╛", "┐",
    "└", "┴", "┬", "├", "─", "┼", "╞", "╟",
    "╚", "╔", "╩", "╦", "╠", "═", "╬", "╧",
    "╨", "╤", "╥", "╙", "╘", "╒", "╓", "╫",
    "╪", "┘", "┌", "█", "▄", "▌", "▐", "▀",
    "ض", "ط", "ظ", "ع", "غ", "ف", "µ", "ق",
    "ك", "ل", "م", "ن", "ه", "و", "ى", "ي",
    "≡", "\u064B", "\u064C", "\u064D", "\u064E", "\u064F", "\u0650", "≈",
    "°", "∙", "·", "√", "ⁿ", "²", "■", "\u00A0",
};

const char* const* UpperHalf(int table) {
  switch (table) {
    case kPc853:
      return kPc853High;
    case kThai42:
      return kThai42High;
    case kPc720:
      return kPc720High;
    default:
      return nullptr;
  }
}

}  // namespace

const char* WrittenCharacter(int table, unsigned char byte) {
  const char* const* upper = UpperHalf(table);
  if (upper == nullptr || byte < kUpperHalf) return nullptr;
  const char* character = upper[byte - kUpperHalf];
  return *character != '\0' ? character : nullptr;
}

}  // namespace vprinter
