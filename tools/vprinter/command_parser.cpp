#include "command_parser.h"

#include <algorithm>
#include <cstring>

#include "control_bytes.h"
#include "wire.h"

namespace vprinter {
namespace {

// Where a command's bytes go after its opcode: fixed parameters, a variable part, and a
// terminator that belongs to neither.
struct Extent {
  size_t params = 0;
  size_t data = 0;
  size_t terminator = 0;
};

// Measures the rest of a command from the bytes after its opcode; false while too few have come.
using Measure = bool (*)(const unsigned char* p, size_t avail, Extent* extent);

template <size_t N>
bool Params(const unsigned char*, size_t avail, Extent* extent) {
  extent->params = N;
  return avail >= N;
}

// A list ended by a zero byte and at most Max bytes long: ESC D n1 ... NUL (32 tab stops),
// GS k m d1 ... NUL (255 characters). A list that reaches Max without its NUL ends there, as on
// a printer, and the bytes after it are read as what follows.
template <size_t Max>
bool UntilNul(const unsigned char* p, size_t avail, Extent* extent) {
  const void* nul = memchr(p, NUL, std::min(avail, Max + 1));
  if (nul != nullptr) {
    extent->data = static_cast<const unsigned char*>(nul) - p;
    extent->terminator = 1;
    return true;
  }
  extent->data = Max;
  return avail > Max;
}

// One parameter byte m, and a second one when m is A or B: GS V m [n] (65 and 66 feed, then
// cut), DLE EOT n [a] (7 and 8).
template <unsigned char A, unsigned char B>
bool SecondByteFor(const unsigned char* p, size_t avail, Extent* extent) {
  if (avail < 1) return false;
  extent->params = (p[0] == A || p[0] == B) ? 2 : 1;
  return avail >= extent->params;
}

// ESC * m nL nH: n columns of 1 byte (8-dot modes 0, 1) or 3 bytes (24-dot modes 32, 33).
bool ColumnShape(const unsigned char* p, size_t avail, Extent* extent) {
  if (avail < 3) return false;
  extent->params = 3;
  extent->data = (p[0] >= 32 ? 3 : 1) * LittleEndian(p + 1, 2);
  return true;
}

// GS v 0 m xL xH yL yH: x bytes per row, y rows. GS Q 0 m xL xH yL yH: x columns of y bytes.
bool RasterShape(const unsigned char* p, size_t avail, Extent* extent) {
  if (avail < 5) return false;
  extent->params = 5;
  extent->data = LittleEndian(p + 1, 2) * LittleEndian(p + 3, 2);
  return true;
}

// A block counted by a little-endian number of Width bytes that follows Skip bytes after the
// opcode: GS ( x pL pH (Skip 0, Width 2), GS ( with a function letter this printer does not
// know (Skip 1, Width 2, skipped whole by its count), GS 8 L p1 p2 p3 p4 (Skip 0, Width 4).
template <size_t Skip, size_t Width>
bool CountedBlock(const unsigned char* p, size_t avail, Extent* extent) {
  if (avail < Skip + Width) return false;
  extent->params = Skip + Width;
  extent->data = LittleEndian(p + Skip, Width);
  return true;
}

// GS k m d1 ... NUL for systems 0 to 6; GS k m n d1 ... dn for systems 65 and up.
bool BarcodeShape(const unsigned char* p, size_t avail, Extent* extent) {
  if (avail < 1) return false;
  if (p[0] <= 6) {
    if (!UntilNul<255>(p + 1, avail - 1, extent)) return false;
    extent->params = 1;
    return true;
  }
  if (avail < 2) return false;
  extent->params = 2;
  extent->data = p[1];
  return true;
}

// DLE DC4 fn ...: the function byte, then as many bytes as that function takes.
bool RealTimeShape(const unsigned char* p, size_t avail, Extent* extent) {
  if (avail < 1) return false;
  switch (p[0]) {
    case 1:                             // fn m t: drawer pulse
    case 2: extent->params = 3; break;  // fn a b: power off
    case 3: extent->params = 6; break;  // fn a n r t1 t2: buzzer
    case 7: extent->params = 2; break;  // fn m: transmit status
    case 8: extent->params = 8; break;  // fn d1 ... d7: clear buffers
    default: extent->params = 1; break;
  }
  return avail >= extent->params;
}

// ESC & y c1 c2 [x d1 ... d(y * x)] for each character c1 to c2.
bool UserCharacters(const unsigned char* p, size_t avail, Extent* extent) {
  if (avail < 3) return false;
  extent->params = 3;
  size_t at = 3;
  for (int c = p[1]; c <= p[2]; ++c) {
    if (avail <= at) return false;
    at += 1 + static_cast<size_t>(p[0]) * p[at];
  }
  extent->data = at - 3;
  return true;
}

// GS * x y d1 ... d(x * y * 8).
bool DownloadedImage(const unsigned char* p, size_t avail, Extent* extent) {
  if (avail < 2) return false;
  extent->params = 2;
  extent->data = static_cast<size_t>(p[0]) * p[1] * 8;
  return true;
}

// FS q n [xL xH yL yH d1 ... d(x * y * 8)] for each of n images.
bool NvBitImages(const unsigned char* p, size_t avail, Extent* extent) {
  if (avail < 1) return false;
  extent->params = 1;
  size_t at = 1;
  // Past the most a command may hold the rest is not waited for: the command is refused.
  for (int image = 0; image < p[0] && at <= CommandParser::kMaxCommandBytes; ++image) {
    if (avail < at + 4) return false;
    // At most 65535 x 65535 x 8 bytes an image: no overflow in a 64-bit size_t.
    at += 4 + LittleEndian(p + at, 2) * LittleEndian(p + at + 2, 2) * 8;
  }
  extent->data = at - 1;
  return true;
}

// FS g 1 m a1 a2 a3 a4 nL nH d1 ... dn (write user memory), FS g 2 m a1 ... a4 nL nH (read).
bool UserMemory(const unsigned char* p, size_t avail, Extent* extent) {
  if (avail < 1) return false;
  if (p[0] != 1 && p[0] != 2) {
    extent->params = 1;
    return true;
  }
  if (avail < 8) return false;
  extent->params = 8;
  extent->data = p[0] == 1 ? LittleEndian(p + 6, 2) : 0;
  return true;
}

// GS C ; sa ; sb ; sn ; sr ; sc ;: five decimal numbers of up to five digits, each ended by a
// semicolon. A byte that is neither ends the command there and is read as what follows.
bool CounterFields(const unsigned char* p, size_t avail, Extent* extent) {
  constexpr int kFields = 5;
  constexpr size_t kDigits = 5;
  size_t at = 0, digits = 0;
  for (int field = 0; field < kFields; ++at) {
    if (at == avail) return false;
    if (p[at] == ';') {
      ++field;
      digits = 0;
    } else if (p[at] < '0' || p[at] > '9' || ++digits > kDigits) {
      break;
    }
  }
  extent->data = at;
  return true;
}

// GS D m fn a kc1 kc2 b c d1 ... dk (functions 67 and 83): k is the size of the Windows BMP file
// d, from its header ("BM" and the size in 4 bytes). Any other function: m fn alone.
bool WindowsBmp(const unsigned char* p, size_t avail, Extent* extent) {
  constexpr size_t kParams = 7, kSizeAt = 2, kHeader = 6;
  if (avail < 2) return false;
  if (p[1] != 67 && p[1] != 83) {
    extent->params = 2;
    return true;
  }
  if (avail < kParams + kHeader) return false;
  extent->params = kParams;
  extent->data = std::max(kHeader, LittleEndian(p + kParams + kSizeAt, 4));
  return true;
}

struct Syntax {
  unsigned char opcode[3];
  size_t length;
  Kind kind;
  Measure measure;
  const char* name;
  const char* what;  // for the log of commands that have no description of their own
};

// Every command a 58 or 80 mm receipt printer documents, with the shape of its bytes. A command
// of a family (GS ( x, FS ( x, ESC ( x) that is not listed is skipped by its byte count.
const Syntax kSyntax[] = {
    {{HT}, 1, Kind::Tab, Params<0>, "HT", nullptr},
    {{LF}, 1, Kind::LineFeed, Params<0>, "LF", nullptr},
    {{FF}, 1, Kind::FormFeed, Params<0>, "FF", "print and return to standard mode"},
    {{CR}, 1, Kind::CarriageReturn, Params<0>, "CR", "carriage return"},
    {{CAN}, 1, Kind::CancelPage, Params<0>, "CAN", "cancel page-mode data"},
    {{DLE, EOT}, 2, Kind::Status, SecondByteFor<7, 8>, "DLE EOT", nullptr},
    {{DLE, ENQ}, 2, Kind::RealTimeRequest, Params<1>, "DLE ENQ", nullptr},
    {{DLE, DC4}, 2, Kind::RealTimeFunction, RealTimeShape, "DLE DC4", nullptr},
    {{ESC, FF}, 2, Kind::PrintPage, Params<0>, "ESC FF", nullptr},
    {{ESC, ' '}, 2, Kind::CharSpacing, Params<1>, "ESC SP", nullptr},
    {{ESC, '!'}, 2, Kind::PrintMode, Params<1>, "ESC !", nullptr},
    {{ESC, '$'}, 2, Kind::AbsolutePosition, Params<2>, "ESC $", nullptr},
    {{ESC, '%'}, 2, Kind::Accepted, Params<1>, "ESC %", "user-defined character set"},
    {{ESC, '&'}, 2, Kind::Accepted, UserCharacters, "ESC &", "define user-defined characters"},
    {{ESC, '('}, 2, Kind::Unknown, CountedBlock<1, 2>, nullptr, nullptr},
    {{ESC, '(', 'A'}, 3, Kind::Accepted, CountedBlock<0, 2>, "ESC ( A", "beeper"},
    {{ESC, '(', 'Y'}, 3, Kind::Accepted, CountedBlock<0, 2>, "ESC ( Y", "specify batch print"},
    {{ESC, '*'}, 2, Kind::ColumnImage, ColumnShape, "ESC *", nullptr},
    {{ESC, '-'}, 2, Kind::Underline, Params<1>, "ESC -", nullptr},
    {{ESC, '2'}, 2, Kind::DefaultLineSpacing, Params<0>, "ESC 2", nullptr},
    {{ESC, '3'}, 2, Kind::LineSpacing, Params<1>, "ESC 3", nullptr},
    {{ESC, '4'}, 2, Kind::Italic, Params<1>, "ESC 4", nullptr},
    {{ESC, '<'}, 2, Kind::Accepted, Params<0>, "ESC <", "return home"},
    {{ESC, '='}, 2, Kind::Accepted, Params<1>, "ESC =", "select peripheral device"},
    {{ESC, '?'}, 2, Kind::Accepted, Params<1>, "ESC ?", "cancel user-defined character"},
    {{ESC, '@'}, 2, Kind::Initialise, Params<0>, "ESC @", nullptr},
    {{ESC, 'D'}, 2, Kind::TabPositions, UntilNul<32>, "ESC D", nullptr},
    {{ESC, 'E'}, 2, Kind::Emphasis, Params<1>, "ESC E", nullptr},
    {{ESC, 'G'}, 2, Kind::DoubleStrike, Params<1>, "ESC G", nullptr},
    {{ESC, 'J'}, 2, Kind::FeedUnits, Params<1>, "ESC J", nullptr},
    {{ESC, 'K'}, 2, Kind::Accepted, Params<1>, "ESC K", "print and reverse feed"},
    {{ESC, 'L'}, 2, Kind::PageMode, Params<0>, "ESC L", nullptr},
    {{ESC, 'M'}, 2, Kind::Font, Params<1>, "ESC M", nullptr},
    {{ESC, 'R'}, 2, Kind::InternationalSet, Params<1>, "ESC R", nullptr},
    {{ESC, 'S'}, 2, Kind::StandardMode, Params<0>, "ESC S", nullptr},
    {{ESC, 'T'}, 2, Kind::PageDirection, Params<1>, "ESC T", "page-mode print direction"},
    {{ESC, 'U'}, 2, Kind::Accepted, Params<1>, "ESC U", "unidirectional printing"},
    {{ESC, 'V'}, 2, Kind::Rotate90, Params<1>, "ESC V", nullptr},
    {{ESC, 'W'}, 2, Kind::PageArea, Params<8>, "ESC W", nullptr},
    {{ESC, '\\'}, 2, Kind::RelativePosition, Params<2>, "ESC \\", nullptr},
    {{ESC, 'a'}, 2, Kind::Justification, Params<1>, "ESC a", nullptr},
    {{ESC, 'c'}, 2, Kind::OperationMode, Params<2>, "ESC c", nullptr},
    {{ESC, 'd'}, 2, Kind::FeedLines, Params<1>, "ESC d", nullptr},
    {{ESC, 'e'}, 2, Kind::Accepted, Params<1>, "ESC e", "print and reverse feed lines"},
    {{ESC, 'i'}, 2, Kind::PartialCutNow, Params<0>, "ESC i", nullptr},
    {{ESC, 'm'}, 2, Kind::PartialCutNow, Params<0>, "ESC m", nullptr},
    {{ESC, 'p'}, 2, Kind::DrawerPulse, Params<3>, "ESC p", nullptr},
    {{ESC, 'r'}, 2, Kind::Accepted, Params<1>, "ESC r", "print colour"},
    {{ESC, 't'}, 2, Kind::CodeTable, Params<1>, "ESC t", nullptr},
    {{ESC, 'u'}, 2, Kind::TransmitStatus, Params<1>, "ESC u", nullptr},
    {{ESC, 'v'}, 2, Kind::TransmitStatus, Params<0>, "ESC v", nullptr},
    {{ESC, '{'}, 2, Kind::UpsideDown, Params<1>, "ESC {", nullptr},
    {{FS, '!'}, 2, Kind::KanjiPrintMode, Params<1>, "FS !", nullptr},
    {{FS, '&'}, 2, Kind::KanjiOn, Params<0>, "FS &", nullptr},
    {{FS, '('}, 2, Kind::Unknown, CountedBlock<1, 2>, nullptr, nullptr},
    {{FS, '(', 'A'}, 3, Kind::Accepted, CountedBlock<0, 2>, "FS ( A", "select Kanji font"},
    {{FS, '(', 'C'}, 3, Kind::CharacterEncoding, CountedBlock<0, 2>, "FS ( C", nullptr},
    {{FS, '(', 'E'}, 3, Kind::Accepted, CountedBlock<0, 2>, "FS ( E", "receipt enhancement"},
    {{FS, '(', 'L'}, 3, Kind::Accepted, CountedBlock<0, 2>, "FS ( L", "label and black mark"},
    {{FS, '(', 'e'}, 3, Kind::Accepted, CountedBlock<0, 2>, "FS ( e", "automatic status items"},
    {{FS, '-'}, 2, Kind::KanjiUnderline, Params<1>, "FS -", nullptr},
    {{FS, '.'}, 2, Kind::KanjiOff, Params<0>, "FS .", nullptr},
    {{FS, '2'}, 2, Kind::Accepted, Params<74>, "FS 2", "define user-defined Kanji"},
    {{FS, '?'}, 2, Kind::Accepted, Params<2>, "FS ?", "cancel user-defined Kanji"},
    {{FS, 'C'}, 2, Kind::KanjiCodeSystem, Params<1>, "FS C", nullptr},
    {{FS, 'S'}, 2, Kind::KanjiSpacing, Params<2>, "FS S", nullptr},
    {{FS, 'W'}, 2, Kind::Accepted, Params<1>, "FS W", "Kanji quadruple size"},
    {{FS, 'g'}, 2, Kind::Accepted, UserMemory, "FS g", "user NV memory"},
    {{FS, 'p'}, 2, Kind::Accepted, Params<2>, "FS p", "print NV bit image"},
    {{FS, 'q'}, 2, Kind::Accepted, NvBitImages, "FS q", "define NV bit images"},
    {{GS, '!'}, 2, Kind::CharSize, Params<1>, "GS !", nullptr},
    {{GS, '$'}, 2, Kind::PageVertical, Params<2>, "GS $", "page-mode vertical position"},
    {{GS, '('}, 2, Kind::Unknown, CountedBlock<1, 2>, nullptr, nullptr},
    {{GS, '(', 'A'}, 3, Kind::Accepted, CountedBlock<0, 2>, "GS ( A", "test print"},
    {{GS, '(', 'C'}, 3, Kind::Accepted, CountedBlock<0, 2>, "GS ( C", "edit NV user memory"},
    {{GS, '(', 'D'}, 3, Kind::Accepted, CountedBlock<0, 2>, "GS ( D", "real-time commands"},
    {{GS, '(', 'E'}, 3, Kind::UserSetup, CountedBlock<0, 2>, "GS ( E", nullptr},
    {{GS, '(', 'H'}, 3, Kind::ResponseRequest, CountedBlock<0, 2>, "GS ( H", nullptr},
    {{GS, '(', 'K'}, 3, Kind::Accepted, CountedBlock<0, 2>, "GS ( K", "print control"},
    {{GS, '(', 'L'}, 3, Kind::NvGraphics, CountedBlock<0, 2>, "GS ( L", nullptr},
    {{GS, '(', 'M'}, 3, Kind::Accepted, CountedBlock<0, 2>, "GS ( M", "customize printer"},
    {{GS, '(', 'N'}, 3, Kind::Accepted, CountedBlock<0, 2>, "GS ( N", "character colour"},
    {{GS, '(', 'P'}, 3, Kind::Accepted, CountedBlock<0, 2>, "GS ( P", "page-mode control"},
    {{GS, '(', 'Q'}, 3, Kind::Accepted, CountedBlock<0, 2>, "GS ( Q", "graphic shapes"},
    {{GS, '(', 'k'}, 3, Kind::Symbol, CountedBlock<0, 2>, "GS ( k", nullptr},
    {{GS, '(', 'z'}, 3, Kind::Accepted, CountedBlock<0, 2>, "GS ( z", "on-line recovery"},
    {{GS, '*'}, 2, Kind::Accepted, DownloadedImage, "GS *", "define downloaded bit image"},
    {{GS, '/'}, 2, Kind::Accepted, Params<1>, "GS /", "print downloaded bit image"},
    {{GS, '8', 'L'}, 3, Kind::DefineNvGraphic, CountedBlock<0, 4>, "GS 8 L", nullptr},
    {{GS, ':'}, 2, Kind::Accepted, Params<0>, "GS :", "macro definition"},
    {{GS, 'B'}, 2, Kind::Reverse, Params<1>, "GS B", nullptr},
    {{GS, 'C', '0'}, 3, Kind::Accepted, Params<2>, "GS C 0", "counter print mode"},
    {{GS, 'C', '1'}, 3, Kind::Accepted, Params<6>, "GS C 1", "counter mode (A)"},
    {{GS, 'C', '2'}, 3, Kind::Accepted, Params<2>, "GS C 2", "set counter"},
    {{GS, 'C', ';'}, 3, Kind::Accepted, CounterFields, "GS C ;", "counter mode (B)"},
    {{GS, 'D'}, 2, Kind::Accepted, WindowsBmp, "GS D", "define Windows BMP graphic"},
    {{GS, 'E'}, 2, Kind::Accepted, Params<1>, "GS E", "head control"},
    {{GS, 'H'}, 2, Kind::HriPosition, Params<1>, "GS H", nullptr},
    {{GS, 'I'}, 2, Kind::PrinterId, Params<1>, "GS I", nullptr},
    {{GS, 'L'}, 2, Kind::LeftMargin, Params<2>, "GS L", nullptr},
    {{GS, 'P'}, 2, Kind::Accepted, Params<2>, "GS P", "motion units"},
    {{GS, 'Q', '0'}, 3, Kind::VariableImage, RasterShape, "GS Q 0", nullptr},
    {{GS, 'T'}, 2, Kind::Accepted, Params<1>, "GS T", "print position to line start"},
    {{GS, 'V'}, 2, Kind::Cut, SecondByteFor<65, 66>, "GS V", nullptr},
    {{GS, 'W'}, 2, Kind::AreaWidth, Params<2>, "GS W", nullptr},
    {{GS, '\\'},
     2,
     Kind::PageRelativeVertical,
     Params<2>,
     "GS \\",
     "page-mode relative vertical position"},
    {{GS, '^'}, 2, Kind::Accepted, Params<3>, "GS ^", "execute macro"},
    {{GS, 'a'}, 2, Kind::AutoStatusBack, Params<1>, "GS a", nullptr},
    {{GS, 'b'}, 2, Kind::Accepted, Params<1>, "GS b", "smoothing"},
    {{GS, 'c'}, 2, Kind::Accepted, Params<0>, "GS c", "print counter"},
    {{GS, 'f'}, 2, Kind::HriFont, Params<1>, "GS f", nullptr},
    {{GS, 'g'}, 2, Kind::Accepted, Params<4>, "GS g", "maintenance counter"},
    {{GS, 'h'}, 2, Kind::BarcodeHeight, Params<1>, "GS h", nullptr},
    {{GS, 'j'}, 2, Kind::Accepted, Params<1>, "GS j", "automatic status back for ink"},
    {{GS, 'k'}, 2, Kind::Barcode, BarcodeShape, "GS k", nullptr},
    {{GS, 'r'}, 2, Kind::TransmitStatus, Params<1>, "GS r", nullptr},
    {{GS, 'v', '0'}, 3, Kind::RasterBand, RasterShape, "GS v 0", nullptr},
    {{GS, 'w'}, 2, Kind::BarcodeWidth, Params<1>, "GS w", nullptr},
    {{GS, 'z', '0'}, 3, Kind::Accepted, Params<2>, "GS z 0", "on-line recovery wait time"},
};

bool IsIntroducer(unsigned char byte) {
  return byte == ESC || byte == GS || byte == DLE || byte == FS;
}

bool IsText(unsigned char byte) { return byte >= 0x20; }

bool IsNul(unsigned char byte) { return byte == NUL; }

// The syntax whose opcode starts p, the longest one when several do. Null with *needMore set
// while a longer opcode could still match; null alone when none does.
const Syntax* Match(const unsigned char* p, size_t avail, bool* needMore) {
  const Syntax* best = nullptr;
  *needMore = false;
  for (const Syntax& syntax : kSyntax) {
    const size_t compared = std::min(avail, syntax.length);
    if (memcmp(p, syntax.opcode, compared) != 0) continue;
    if (compared < syntax.length) {
      *needMore = true;
      return nullptr;
    }
    if (best == nullptr || syntax.length > best->length) best = &syntax;
  }
  return best;
}

Command Make(Kind kind, const unsigned char* p, size_t paramsAt, const Extent& extent) {
  Command command;
  command.kind = kind;
  const size_t dataAt = paramsAt + extent.params;
  command.raw.assign(reinterpret_cast<const char*>(p), dataAt + extent.data + extent.terminator);
  command.params.assign(p + paramsAt, p + dataAt);
  command.data.assign(reinterpret_cast<const char*>(p) + dataAt, extent.data);
  return command;
}

// A command that declares more than kMaxCommandBytes: its opcode and parameters, and how many
// bytes after them are to be skipped.
Command Refuse(const unsigned char* p, size_t paramsAt, const Extent& extent) {
  Command command = Make(Kind::Refused, p, paramsAt, Extent{extent.params, 0, 0});
  command.declared = extent.data + extent.terminator;
  return command;
}

// The command at p, or false while it is not complete.
bool ParseControl(const unsigned char* p, size_t avail, Command* command) {
  bool needMore = false;
  const Syntax* syntax = Match(p, avail, &needMore);
  if (needMore) return false;
  Extent extent;
  if (syntax != nullptr) {
    const size_t rest = avail - syntax->length;
    if (!syntax->measure(p + syntax->length, rest, &extent)) return false;
    const bool tooLarge = extent.data + extent.terminator > CommandParser::kMaxCommandBytes;
    if (tooLarge && extent.params <= rest) {
      *command = Refuse(p, syntax->length, extent);
    } else if (!tooLarge && extent.params + extent.data + extent.terminator <= rest) {
      *command = Make(syntax->kind, p, syntax->length, extent);
    } else {
      return false;
    }
    command->name = syntax->name;
    command->what = syntax->what;
    return true;
  }
  if (IsIntroducer(p[0])) {
    // An introducer with a byte after it that names nothing known: both bytes are reported.
    if (avail < 2) return false;
    *command = Make(Kind::Unknown, p, 2, extent);
    return true;
  }
  *command = Make(Kind::Unknown, p, 1, extent);
  return true;
}

// The length of the run of bytes from at on that pass the test.
template <typename Test>
size_t RunLength(const unsigned char* bytes, size_t at, size_t size, Test test) {
  size_t end = at;
  while (end < size && test(bytes[end])) ++end;
  return end - at;
}

}  // namespace

std::vector<Command> CommandParser::Feed(const std::string& bytes) {
  const size_t skipped = std::min(skipping_, bytes.size());
  skipping_ -= skipped;
  pending_.append(bytes, skipped, std::string::npos);
  return Split(false, false);
}

std::vector<Command> CommandParser::Flush() { return Split(true, false); }

std::vector<Command> CommandParser::Finish() {
  skipping_ = 0;
  std::vector<Command> commands = Split(true, true);
  if (!pending_.empty()) {
    Command incomplete;
    incomplete.kind = Kind::Incomplete;
    incomplete.raw.swap(pending_);
    commands.push_back(incomplete);
  }
  return commands;
}

// A text run ends at a quiet line (textMayEnd) or once kMaxTextRun bytes are held; a run of
// NULs, the padding a client sends to flush out a command it broke off, only at another byte, at
// the end or at kMaxNulRun bytes.
std::vector<Command> CommandParser::Split(bool textMayEnd, bool streamEnds) {
  std::vector<Command> commands;
  const auto* bytes = reinterpret_cast<const unsigned char*>(pending_.data());
  const size_t size = pending_.size();
  size_t at = 0;
  while (at < size) {
    Command command;
    if (IsText(bytes[at])) {
      const size_t length = RunLength(bytes, at, size, IsText);
      if (at + length == size && length < kMaxTextRun && !textMayEnd) break;
      command.kind = Kind::Text;
      command.raw = command.data = pending_.substr(at, length);
    } else if (bytes[at] == NUL) {
      const size_t length = std::min(kMaxNulRun, RunLength(bytes, at, size, IsNul));
      if (at + length == size && length < kMaxNulRun && !streamEnds) break;
      command.kind = Kind::NulRun;
      command.name = "NUL";
      command.raw = pending_.substr(at, length);
    } else if (!ParseControl(bytes + at, size - at, &command)) {
      break;
    }
    at += command.raw.size();
    if (command.kind == Kind::Refused) {
      const size_t here = std::min(command.declared, size - at);
      at += here;
      skipping_ = command.declared - here;
    }
    commands.push_back(std::move(command));
  }
  pending_.erase(0, at);
  return commands;
}

}  // namespace vprinter
