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

// ESC D n1 ... NUL: a list ended by a zero byte.
bool UntilNul(const unsigned char* p, size_t avail, Extent* extent) {
  const void* nul = memchr(p, NUL, avail);
  if (nul == nullptr) return false;
  extent->data = static_cast<const unsigned char*>(nul) - p;
  extent->terminator = 1;
  return true;
}

// GS V m, or GS V m n for m 65 and 66 (feed, then cut).
bool CutShape(const unsigned char* p, size_t avail, Extent* extent) {
  if (avail < 1) return false;
  extent->params = (p[0] == 65 || p[0] == 66) ? 2 : 1;
  return avail >= extent->params;
}

// ESC * m nL nH: n columns of 1 byte (8-dot modes 0, 1) or 3 bytes (24-dot modes 32, 33).
bool ColumnShape(const unsigned char* p, size_t avail, Extent* extent) {
  if (avail < 3) return false;
  extent->params = 3;
  extent->data = (p[0] >= 32 ? 3 : 1) * LittleEndian(p + 1, 2);
  return true;
}

// GS v 0 m xL xH yL yH: x bytes per row, y rows.
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
    if (!UntilNul(p + 1, avail - 1, extent)) return false;
    extent->params = 1;
    return true;
  }
  if (avail < 2) return false;
  extent->params = 2;
  extent->data = p[1];
  return true;
}

struct Syntax {
  unsigned char opcode[3];
  size_t length;
  Kind kind;
  Measure measure;
};

const Syntax kSyntax[] = {
    {{ESC, '@'}, 2, Kind::Initialise, Params<0>},
    {{ESC, 'c'}, 2, Kind::OperationMode, Params<2>},
    {{ESC, '!'}, 2, Kind::PrintMode, Params<1>},
    {{ESC, 'E'}, 2, Kind::Emphasis, Params<1>},
    {{ESC, 'G'}, 2, Kind::DoubleStrike, Params<1>},
    {{ESC, '-'}, 2, Kind::Underline, Params<1>},
    {{ESC, 'M'}, 2, Kind::Font, Params<1>},
    {{ESC, '{'}, 2, Kind::UpsideDown, Params<1>},
    {{ESC, 't'}, 2, Kind::CodeTable, Params<1>},
    {{ESC, 'a'}, 2, Kind::Justification, Params<1>},
    {{ESC, '3'}, 2, Kind::LineSpacing, Params<1>},
    {{ESC, '2'}, 2, Kind::DefaultLineSpacing, Params<0>},
    {{ESC, '$'}, 2, Kind::AbsolutePosition, Params<2>},
    {{ESC, '\\'}, 2, Kind::RelativePosition, Params<2>},
    {{ESC, 'D'}, 2, Kind::TabPositions, UntilNul},
    {{ESC, 'W'}, 2, Kind::PageArea, Params<8>},
    {{ESC, 'L'}, 2, Kind::PageMode, Params<0>},
    {{ESC, 'S'}, 2, Kind::StandardMode, Params<0>},
    {{ESC, FF}, 2, Kind::PrintPage, Params<0>},
    {{ESC, 'J'}, 2, Kind::FeedUnits, Params<1>},
    {{ESC, 'd'}, 2, Kind::FeedLines, Params<1>},
    {{ESC, 'p'}, 2, Kind::DrawerPulse, Params<3>},
    {{ESC, '*'}, 2, Kind::ColumnImage, ColumnShape},
    {{GS, 'V'}, 2, Kind::Cut, CutShape},
    {{GS, '!'}, 2, Kind::CharSize, Params<1>},
    {{GS, 'B'}, 2, Kind::Reverse, Params<1>},
    {{GS, 'L'}, 2, Kind::LeftMargin, Params<2>},
    {{GS, 'W'}, 2, Kind::AreaWidth, Params<2>},
    {{GS, 'I'}, 2, Kind::PrinterId, Params<1>},
    {{GS, '(', 'L'}, 3, Kind::NvGraphics, CountedBlock<0, 2>},
    {{GS, '(', 'k'}, 3, Kind::Symbol, CountedBlock<0, 2>},
    {{GS, '('}, 2, Kind::Unknown, CountedBlock<1, 2>},
    {{GS, '8', 'L'}, 3, Kind::DefineNvGraphic, CountedBlock<0, 4>},
    {{GS, 'v', '0'}, 3, Kind::RasterBand, RasterShape},
    {{GS, 'h'}, 2, Kind::BarcodeHeight, Params<1>},
    {{GS, 'w'}, 2, Kind::BarcodeWidth, Params<1>},
    {{GS, 'f'}, 2, Kind::HriFont, Params<1>},
    {{GS, 'H'}, 2, Kind::HriPosition, Params<1>},
    {{GS, 'k'}, 2, Kind::Barcode, BarcodeShape},
    {{DLE, EOT}, 2, Kind::Status, Params<1>},
};

bool IsIntroducer(unsigned char byte) {
  return byte == ESC || byte == GS || byte == DLE || byte == FS;
}

bool IsText(unsigned char byte) { return byte >= 0x20; }

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

// The command at p, or false while it is not complete.
bool ParseControl(const unsigned char* p, size_t avail, Command* command) {
  bool needMore = false;
  const Syntax* syntax = Match(p, avail, &needMore);
  if (needMore) return false;
  Extent extent;
  if (syntax != nullptr) {
    const size_t rest = avail - syntax->length;
    if (!syntax->measure(p + syntax->length, rest, &extent)) return false;
    if (extent.params + extent.data + extent.terminator > rest) return false;
    *command = Make(syntax->kind, p, syntax->length, extent);
    return true;
  }
  const Kind single = p[0] == LF ? Kind::LineFeed : p[0] == HT ? Kind::Tab : Kind::Unknown;
  if (single == Kind::Unknown && IsIntroducer(p[0])) {
    // An introducer with a byte after it that names nothing known: both bytes are reported.
    if (avail < 2) return false;
    *command = Make(Kind::Unknown, p, 2, extent);
    return true;
  }
  *command = Make(single, p, 1, extent);
  return true;
}

}  // namespace

std::vector<Command> CommandParser::Feed(const std::string& bytes) {
  pending_ += bytes;
  return Split(false);
}

std::vector<Command> CommandParser::Flush() { return Split(true); }

std::vector<Command> CommandParser::Finish() {
  std::vector<Command> commands = Split(true);
  if (!pending_.empty()) {
    Command incomplete;
    incomplete.kind = Kind::Incomplete;
    incomplete.raw.swap(pending_);
    commands.push_back(incomplete);
  }
  return commands;
}

std::vector<Command> CommandParser::Split(bool textMayEnd) {
  std::vector<Command> commands;
  const auto* bytes = reinterpret_cast<const unsigned char*>(pending_.data());
  size_t at = 0;
  while (at < pending_.size()) {
    Command command;
    if (IsText(bytes[at])) {
      size_t end = at;
      while (end < pending_.size() && IsText(bytes[end])) ++end;
      if (end == pending_.size() && !textMayEnd) break;
      command.kind = Kind::Text;
      command.raw = command.data = pending_.substr(at, end - at);
    } else if (!ParseControl(bytes + at, pending_.size() - at, &command)) {
      break;
    }
    at += command.raw.size();
    commands.push_back(std::move(command));
  }
  pending_.erase(0, at);
  return commands;
}

}  // namespace vprinter
