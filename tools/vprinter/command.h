// One decoded ESC/POS command: what the parser produces and what the log, the printer settings,
// the answers and (later) a renderer consume, in the order the bytes arrived.
#ifndef VPRINTER_COMMAND_H
#define VPRINTER_COMMAND_H

#include <cstddef>
#include <string>
#include <vector>

namespace vprinter {

enum class Kind {
  Text,                // a run of printable bytes, in the selected code table
  LineFeed,            // LF
  Tab,                 // HT
  Initialise,          // ESC @
  OperationMode,       // ESC c sub n
  PrintMode,           // ESC ! n
  Emphasis,            // ESC E n
  Italic,              // ESC 4 n
  DoubleStrike,        // ESC G n
  Underline,           // ESC - n
  CharSize,            // GS ! n
  Font,                // ESC M n
  Reverse,             // GS B n
  UpsideDown,          // ESC { n
  CodeTable,           // ESC t n
  Justification,       // ESC a n
  LineSpacing,         // ESC 3 n
  DefaultLineSpacing,  // ESC 2
  LeftMargin,          // GS L nL nH
  AreaWidth,           // GS W nL nH
  AbsolutePosition,    // ESC $ nL nH
  RelativePosition,    // ESC \ nL nH
  TabPositions,        // ESC D n1 ... NUL
  PageArea,            // ESC W xL xH yL yH dxL dxH dyL dyH
  PageMode,            // ESC L
  StandardMode,        // ESC S
  PrintPage,           // ESC FF
  FormFeed,            // FF: print the page and return to standard mode
  CancelPage,          // CAN
  PageDirection,       // ESC T n
  PageVertical,        // GS $ nL nH
  PageRelativeVertical,  // GS \ nL nH
  FeedUnits,           // ESC J n
  FeedLines,           // ESC d n
  Cut,                 // GS V m, GS V 65/66 n
  DrawerPulse,         // ESC p m t1 t2
  Status,              // DLE EOT n
  PrinterId,           // GS I n
  NvGraphics,          // GS ( L pL pH m fn ...
  DefineNvGraphic,     // GS 8 L p1 p2 p3 p4 m fn ...
  RasterBand,          // GS v 0 m xL xH yL yH data
  VariableImage,       // GS Q 0 m xL xH yL yH data: x columns of y bytes
  ColumnImage,         // ESC * m nL nH data
  BarcodeHeight,       // GS h n
  BarcodeWidth,        // GS w n
  HriFont,             // GS f n
  HriPosition,         // GS H n
  Barcode,             // GS k m ... (both forms)
  Symbol,              // GS ( k pL pH cn fn ...
  CarriageReturn,      // CR
  NulRun,              // NUL ...: padding, one command however long the run
  Accepted,            // a command this printer takes without a visible effect (see name)
  CharSpacing,         // ESC SP n
  InternationalSet,    // ESC R n
  Rotate90,            // ESC V n
  PartialCutNow,       // ESC i, ESC m
  KanjiOn,             // FS &
  KanjiOff,            // FS .
  KanjiCodeSystem,     // FS C n
  KanjiPrintMode,      // FS ! n
  KanjiUnderline,      // FS - n
  KanjiSpacing,        // FS S n1 n2
  CharacterEncoding,   // FS ( C pL pH fn m ...
  AutoStatusBack,      // GS a n
  TransmitStatus,      // GS r n, ESC u n, ESC v
  RealTimeRequest,     // DLE ENQ n
  RealTimeFunction,    // DLE DC4 fn ...
  UserSetup,           // GS ( E pL pH fn ...
  ResponseRequest,     // GS ( H pL pH fn m ...
  Refused,             // a command that declares more bytes than any command may hold
  Unknown,             // bytes that name no command this printer knows
  Incomplete,          // the start of a command that never finished
};

struct Command {
  Kind kind = Kind::Unknown;
  std::string raw;          // every byte of the command as it arrived
  std::vector<int> params;  // the fixed parameter bytes after the opcode, 0 to 255 each
  std::string data;  // the variable part: text, tab list, function block, image or symbol data
  // The command's mnemonic and what it does, from the command table; null for text and for
  // bytes that name no command.
  const char* name = nullptr;
  const char* what = nullptr;
  // A refused command: the bytes it declared after its header, which are skipped unread.
  size_t declared = 0;

  // Parameter byte i; 0 when the command has fewer.
  int Param(size_t i) const { return i < params.size() ? params[i] : 0; }
  // The nL nH pair of parameter bytes at and after at.
  int Word(size_t at) const { return Param(at) | Param(at + 1) << 8; }
};

// A selector as 0, 1, 2 ...: the printer accepts both those values and the characters "0",
// "1", "2" ...
inline int Selector(int n) { return n >= '0' ? n - '0' : n; }

// ESC M n: 0 font A, 1 font B, 2 font C (or 48 to 50); 97 and 98 the special fonts A and B,
// which take the cells of fonts A and B.
inline int FontOf(int n) { return n == 97 || n == 98 ? n - 97 : Selector(n); }

}  // namespace vprinter

#endif  // VPRINTER_COMMAND_H
