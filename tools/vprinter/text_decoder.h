// Text bytes as the characters the printer prints: through the selected code table and
// international set, or, in Kanji mode, with Shift JIS (FS C), JIS, KS C 5601 (ESC R 13) or the
// printer's own multi-byte set (GB 18030 or Big5), or UTF-8 (FS ( C).
#ifndef VPRINTER_TEXT_DECODER_H
#define VPRINTER_TEXT_DECODER_H

#include <string>
#include <vector>

#include "printer_settings.h"

namespace vprinter {

struct DecodedText {
  std::vector<std::string> characters;  // UTF-8; empty for bytes that make no character
  std::vector<std::string> bytes;       // the bytes each character came from
  std::vector<bool> wide;               // a full-width character, printed in a Kanji cell
  std::string encoding;                 // for the log: "cp850", "Shift JIS", "UTF-8" ...
};

DecodedText DecodeStyledText(const std::string& text, const TextStyle& style,
                             const std::string& multiByteSet);

}  // namespace vprinter

#endif  // VPRINTER_TEXT_DECODER_H
