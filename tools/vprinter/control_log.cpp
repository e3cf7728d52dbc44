// The log lines of the status and real-time commands, the Kanji and character-set commands and
// the commands this printer only accepts.
#include <iterator>

#include "command_log_parts.h"
#include "control_bytes.h"
#include "wire.h"

namespace vprinter {
namespace {

std::string Bytes(const Command& c) {
  return c.data.empty() ? "" : ", " + std::to_string(c.data.size()) + " bytes";
}

// A command with no description of its own: its table name and what it does.
std::string Accepted(const Command& c) {
  // A block counted by pL pH after a three-byte opcode (GS ( A ...) starts with its function
  // byte, which shows instead of the count.
  const bool counted = c.params.size() == 2 && c.raw.size() == 3 + 2 + c.data.size();
  if (!counted || c.data.empty()) return Line(Head(c.name, c), c.what + Bytes(c));
  return Line(std::string(c.name) + " fn " + std::to_string(ByteAt(c.data, 0)), c.what + Bytes(c));
}

std::string InternationalSet(int n) {
  static const char* const kSets[] = {
      "USA",        "France",   "Germany",       "UK",    "Denmark I",
      "Sweden",     "Italy",    "Spain I",       "Japan", "Norway",
      "Denmark II", "Spain II", "Latin America", "Korea", "Slovenia/Croatia",
      "China",      "Vietnam",  "Arabia"};
  if (n >= 0 && n < static_cast<int>(std::size(kSets))) return kSets[n];
  return "? (" + std::to_string(n) + ")";
}

std::string KanjiPrintMode(int n) {
  std::string what = "Kanji print mode:";
  if ((n & 0x04) != 0) what += " double width";
  if ((n & 0x08) != 0) what += " double height";
  if ((n & 0x80) != 0) what += " underline";
  return (n & 0x8C) == 0 ? what + " normal" : what;
}

// GS a n: the changes reported unasked.
std::string AutoStatusBack(int n) {
  if (n == 0) return "automatic status back off";
  std::string what = "automatic status back on:";
  const char* const kItems[] = {" drawer", " on-line", " error", " paper"};
  for (int bit = 0; bit < 4; ++bit) {
    if ((n & (1 << bit)) != 0) what += kItems[bit];
  }
  return what;
}

std::string TransmitStatus(const Command& c) {
  if (ByteAt(c.raw, 0) != GS) {
    return Line(Head(c.name, c), ByteAt(c.raw, 1) == 'v' ? "transmit paper sensor status"
                                                         : "transmit drawer status");
  }
  return Line(Head(c.name, c),
              "transmit " + Pick(c.Param(0), {"status 0", "paper sensor status", "drawer status"}));
}

std::string RealTimeFunction(const Command& c) {
  switch (c.Param(0)) {
    case 1:
      return Line(Head(c.name, c), "real-time drawer pulse: pin " +
                                       std::string(c.Param(1) == 1 ? "5" : "2") + ", " +
                                       std::to_string(c.Param(2) * 100) + " ms");
    case 2: return Line(Head(c.name, c), "power off");
    case 3: return Line(Head(c.name, c), "sound buzzer");
    case 7: return Line(Head(c.name, c), "transmit status in real time");
    case 8: return Line(Head(c.name, c), "clear buffers");
    default: return Line(Head(c.name, c), "real-time function");
  }
}

std::string UserSetup(const Command& c) {
  const int fn = ByteAt(c.data, 0);
  const char* what = fn == 1   ? "enter user setting mode"
                     : fn == 2 ? "end user setting mode"
                     : fn == 3 ? "set memory switches"
                     : fn == 4 ? "transmit memory switches"
                     : fn == 5 ? "set customised values"
                     : fn == 6 ? "transmit customised value"
                               : "user setup function";
  return Line("GS ( E fn " + std::to_string(fn), what);
}

std::string ResponseRequest(const Command& c) {
  const int fn = ByteAt(c.data, 0);
  if (fn == 48) return Line("GS ( H fn 48 " + Quoted(c.data.substr(2)), "process ID response");
  if (fn == 49) return Line("GS ( H fn 49", "off-line response");
  return Line("GS ( H fn " + std::to_string(fn), "response request");
}

std::string KanjiLine(const Command& c) {
  const int n = c.Param(0);
  switch (c.kind) {
    case Kind::KanjiOn: return Line("FS &", "Kanji mode on");
    case Kind::KanjiOff: return Line("FS .", "Kanji mode off");
    case Kind::KanjiCodeSystem:
      return Line(Head("FS C", c),
                  "Kanji code system: " + Pick(n, {"JIS", "Shift JIS", "Shift JIS-2004"}));
    case Kind::KanjiPrintMode: return Line("FS ! " + HexByte(n), KanjiPrintMode(n));
    case Kind::KanjiUnderline:
      return Line(Head("FS -", c), "Kanji underline " + Pick(n, {"off", "1 dot", "2 dots"}));
    case Kind::KanjiSpacing:
      return Line(Head("FS S", c), "Kanji spacing: left " + std::to_string(n) + " right " +
                                       std::to_string(c.Param(1)) + " dots");
    case Kind::CharacterEncoding:
      return Line("FS ( C fn " + std::to_string(ByteAt(c.data, 0)),
                  "character encoding: " + Pick(ByteAt(c.data, 1), {"?", "one byte", "UTF-8"}));
    default: return "";
  }
}

}  // namespace

std::string ControlLine(const Command& c) {
  const int n = c.Param(0);
  switch (c.kind) {
    case Kind::Accepted:
    case Kind::FormFeed:
    case Kind::CancelPage:
    case Kind::PageDirection:
    case Kind::PageVertical:
    case Kind::PageRelativeVertical: return Accepted(c);
    case Kind::NulRun: return Line("NUL x" + std::to_string(c.raw.size()), "padding");
    case Kind::CarriageReturn: return Line("CR", "carriage return (no line feed)");
    case Kind::CharSpacing: return Line(Head("ESC SP", c), Dots("character spacing", n));
    case Kind::InternationalSet:
      return Line(Head("ESC R", c), "international character set: " + InternationalSet(n));
    case Kind::Rotate90: return Line(Head("ESC V", c), "90-degree rotation " + OnOff(n));
    case Kind::PartialCutNow: return Line(c.name, "partial cut");
    case Kind::AutoStatusBack: return Line(Head("GS a", c), AutoStatusBack(n));
    case Kind::TransmitStatus: return TransmitStatus(c);
    case Kind::RealTimeRequest:
      return Line(Head("DLE ENQ", c),
                  Pick(n, {"request 0", "recover and restart", "recover, buffers cleared"}));
    case Kind::RealTimeFunction: return RealTimeFunction(c);
    case Kind::UserSetup: return UserSetup(c);
    case Kind::ResponseRequest: return ResponseRequest(c);
    default: return KanjiLine(c);
  }
}

}  // namespace vprinter
