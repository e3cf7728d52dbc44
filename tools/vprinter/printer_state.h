// The condition of the virtual printer that its answers report, set by a test or a user.
#ifndef VPRINTER_PRINTER_STATE_H
#define VPRINTER_PRINTER_STATE_H

#include <string>

namespace vprinter {

struct PrinterState {
  bool offline = false, paperNearEnd = false, paperEnd = false, coverOpen = false, error = false,
       drawerPin3High = false;
  int extraStatus = 0;                                   // answer of DLE EOT 6
  int statusOverride[7] = {-1, -1, -1, -1, -1, -1, -1};  // raw answer for DLE EOT n, -1: computed
  int fillLevelOverride = -1;  // answer of DLE EOT 11, -1: from the drain model
  int modelId = 0x20, typeId = 0x02;
  std::string versionId = "1.00";
  int nvCapacity = 262144;  // bytes of NV graphics memory
  // The multi-byte character set of Kanji mode (FS &) as the printer's model has it: GB18030 or
  // BIG5 (iconv names), or kJapaneseModel, JIS, where FS C chooses JIS or Shift JIS; ESC R
  // chooses JIS and KS C 5601 on any model.
  std::string multiByteSet = "GB18030";
  enum class Answers { Normal, Silent, Garbage } answers = Answers::Normal;
  int answerDelayMs = 0;
};

}  // namespace vprinter

#endif  // VPRINTER_PRINTER_STATE_H
