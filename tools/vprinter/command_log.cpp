#include "command_log.h"

#include <cstdint>
#include <cstdio>

#include "command_log_parts.h"
#include "command_parser.h"
#include "text_decoder.h"
#include "wire.h"

namespace vprinter {
namespace {

std::string Text(const Command& c, const PrinterSettings& s) {
  const DecodedText text = DecodeStyledText(c.data, s.style, s.multiByteSet);
  return "TEXT \"" + QuoteCharacters(text.characters, text.bytes) + "\" (" + text.encoding + ")";
}

std::string PrintMode(const Command& c) {
  static const struct {
    int bit;
    const char* name;
  } kBits[] = {{0x01, "font B"},   {0x02, "bit 1"},         {0x04, "bit 2"},
               {0x08, "emphasis"}, {0x10, "double height"}, {0x20, "double width"},
               {0x40, "italic"},   {0x80, "underline"}};
  const int n = c.Param(0);
  std::string what = "print mode:";
  for (const auto& bit : kBits) {
    if ((n & bit.bit) != 0) what += std::string(" ") + bit.name;
  }
  if (n == 0) what += " normal";
  return Line("ESC ! " + HexByte(n), what);
}

std::string CharSize(const Command& c) {
  const int n = c.Param(0);
  return Line("GS ! " + HexByte(n), "character size: width " + std::to_string(((n >> 4) & 7) + 1) +
                                        " height " + std::to_string((n & 7) + 1));
}

std::string StyleLine(const Command& c) {
  const int n = c.Param(0);
  switch (c.kind) {
    case Kind::Emphasis: return Line(Head("ESC E", c), "emphasis " + OnOff(n));
    case Kind::Italic: return Line(Head("ESC 4", c), "italic " + OnOff(n));
    case Kind::DoubleStrike: return Line(Head("ESC G", c), "double strike " + OnOff(n));
    case Kind::Underline:
      return Line(Head("ESC -", c), "underline " + Pick(n, {"off", "1 dot", "2 dots"}));
    case Kind::Font:
      return Line(Head("ESC M", c), (n == 97 || n == 98 ? "special " : "") +
                                        Pick(FontOf(n), {"font A", "font B", "font C"}));
    case Kind::Reverse: return Line(Head("GS B", c), "reverse " + OnOff(n));
    case Kind::UpsideDown: return Line(Head("ESC {", c), "upside down " + OnOff(n));
    case Kind::CodeTable: return Line(Head("ESC t", c), "code table: " + CodeTableName(n));
    default: return "";
  }
}

std::string TabStops(const Command& c) {
  std::string head = "ESC D";
  std::string what = "tab stops:";
  for (char stop : c.data) {
    head += " " + std::to_string(static_cast<unsigned char>(stop));
    what += " " + std::to_string(static_cast<unsigned char>(stop));
  }
  if (c.data.empty()) what += " none";
  const bool ended = c.raw.size() > 2 + c.data.size();  // by its NUL, not by its length
  return Line(ended ? head + " NUL" : head, what);
}

std::string PageArea(const Command& c) {
  return Line(Head("ESC W", c),
              "page-mode area: x " + std::to_string(c.Word(0)) + " y " + std::to_string(c.Word(2)) +
                  " width " + std::to_string(c.Word(4)) + " height " + std::to_string(c.Word(6)));
}

std::string LayoutLine(const Command& c) {
  switch (c.kind) {
    case Kind::Justification:
      return Line(Head("ESC a", c),
                  "justification: " + Pick(c.Param(0), {"left", "centre", "right"}));
    case Kind::LineSpacing: return Line(Head("ESC 3", c), Dots("line spacing", c.Param(0)));
    case Kind::DefaultLineSpacing: return Line("ESC 2", "default line spacing");
    case Kind::LeftMargin: return Line(Head("GS L", c), Dots("left margin", c.Word(0)));
    case Kind::AreaWidth: return Line(Head("GS W", c), Dots("printing area width", c.Word(0)));
    case Kind::AbsolutePosition:
      return Line(Head("ESC $", c), "absolute position: " + std::to_string(c.Word(0)));
    case Kind::RelativePosition:
      return Line(Head("ESC \\", c),
                  "relative position: " + std::to_string(static_cast<int16_t>(c.Word(0))));
    case Kind::TabPositions: return TabStops(c);
    case Kind::PageArea: return PageArea(c);
    case Kind::PageMode: return Line("ESC L", "page mode");
    case Kind::StandardMode: return Line("ESC S", "standard mode");
    case Kind::PrintPage: return Line("ESC FF", "print page");
    default: return "";
  }
}

std::string Cut(const Command& c) {
  const int m = c.Param(0);
  if (m == 65 || m == 66) {
    return Line(Head("GS V", c), "feed " + std::to_string(c.Param(1)) + " units and " +
                                     (m == 65 ? "full cut" : "cut"));
  }
  return Line(Head("GS V", c), (m == 0 || m == 48) ? "full cut" : "cut");
}

// ESC p m t1 t2: t1 and t2 count 2 ms each.
std::string DrawerPulse(const Command& c) {
  const int pin = (c.Param(0) & 1) != 0 ? 5 : 2;
  return Line(Head("ESC p", c), "drawer pulse: pin " + std::to_string(pin) + ", on " +
                                    std::to_string(c.Param(1) * 2) + " ms, off " +
                                    std::to_string(c.Param(2) * 2) + " ms");
}

std::string PaperLine(const Command& c) {
  switch (c.kind) {
    case Kind::LineFeed: return Line("LF", "line feed");
    case Kind::Tab: return Line("HT", "tab");
    case Kind::FeedUnits:
      return Line(Head("ESC J", c), "feed " + std::to_string(c.Param(0)) + " units");
    case Kind::FeedLines:
      return Line(Head("ESC d", c), "feed " + std::to_string(c.Param(0)) + " lines");
    case Kind::Cut: return Cut(c);
    case Kind::DrawerPulse: return DrawerPulse(c);
    default: return "";
  }
}

std::string Status(const Command& c) {
  const std::string what =
      Pick(c.Param(0), {"status 0", "printer status", "off-line cause", "error cause",
                        "roll paper sensor", "status 5", "extra status"});
  return Line(Head("DLE EOT", c), c.Param(0) == 11 ? "receive-buffer fill level" : what);
}

std::string PrinterId(const Command& c) {
  const int n = c.Param(0);
  if (n >= 65 && n <= 69) {
    return Line(Head("GS I", c), Pick(n - 65, {"firmware version", "maker name", "model name",
                                               "serial number", "font language"}));
  }
  return Line(Head("GS I", c), Pick(n, {"id 0", "model id", "type id", "version id"}));
}

// A picture of dot data at a mode of GS v 0 and GS Q 0: normal, double width, double height or
// both.
std::string DotImage(const char* mnemonic, const char* what, int width, int height,
                     const Command& c) {
  return Line(Head(mnemonic, c),
              std::string(what) + ": " + std::to_string(width) + "x" + std::to_string(height) +
                  " dots, " +
                  Pick(c.Param(0), {"normal", "double width", "double height", "quadruple"}) +
                  ", " + std::to_string(c.data.size()) + " bytes");
}

std::string ColumnImage(const Command& c) {
  const int m = c.Param(0);
  const char* density = m == 0    ? "8-dot single density"
                        : m == 1  ? "8-dot double density"
                        : m == 32 ? "24-dot single density"
                        : m == 33 ? "24-dot double density"
                                  : "unknown density";
  return Line(Head("ESC *", c), std::string("column image: ") + density + ", " +
                                    std::to_string(c.Word(1)) + " columns, " +
                                    std::to_string(c.data.size()) + " bytes");
}

// The systems of GS k: 0 to 6 in the first form, 65 to 73 in the second.
std::string BarcodeSystem(int m) {
  static const char* const kSystems[] = {"UPC-A",       "UPC-E",  "JAN13 (EAN13)",
                                         "JAN8 (EAN8)", "CODE39", "ITF",
                                         "CODABAR",     "CODE93", "CODE128"};
  const int i = m <= 6 ? m : m - 65;
  if (i >= 0 && i < 9) return kSystems[i];
  return "system " + std::to_string(m);
}

std::string Barcode(const Command& c) {
  return Line(Head("GS k", c) + " " + Quoted(c.data), "barcode " + BarcodeSystem(c.Param(0)));
}

std::string BarcodeLine(const Command& c) {
  const int n = c.Param(0);
  switch (c.kind) {
    case Kind::BarcodeHeight: return Line(Head("GS h", c), Dots("barcode height", n));
    case Kind::BarcodeWidth: return Line(Head("GS w", c), Dots("barcode module width", n));
    case Kind::HriFont: return Line(Head("GS f", c), "HRI " + Pick(n, {"font A", "font B"}));
    case Kind::HriPosition:
      return Line(Head("GS H", c), "HRI position: " + Pick(n, {"none", "above", "below", "both"}));
    default: return "";
  }
}

// A command that declared more than any command may hold, once, with what it declared.
std::string Refused(const Command& c) {
  const std::string head = c.name != nullptr ? Head(c.name, c) : HexBytes(c.raw, 16);
  return Line("REFUSED " + head, "declares " + std::to_string(c.declared) +
                                     " bytes, more than the " +
                                     std::to_string(CommandParser::kMaxCommandBytes) +
                                     " a command may hold: skipped unread");
}

std::string Other(const Command& c) {
  switch (c.kind) {
    case Kind::Initialise: return Line("ESC @", "initialise");
    case Kind::OperationMode:
      return Line("ESC c " + std::string(1, static_cast<char>(c.Param(0))) + " " +
                      std::to_string(c.Param(1)),
                  "operation mode " + std::to_string(c.Param(1)));
    case Kind::PrintMode: return PrintMode(c);
    case Kind::CharSize: return CharSize(c);
    case Kind::Status: return Status(c);
    case Kind::PrinterId: return PrinterId(c);
    case Kind::NvGraphics: return GraphicsLine("GS ( L", c);
    case Kind::DefineNvGraphic: return GraphicsLine("GS 8 L", c);
    case Kind::RasterBand: return DotImage("GS v 0", "raster band", c.Word(1) * 8, c.Word(3), c);
    case Kind::ColumnImage: return ColumnImage(c);
    case Kind::VariableImage:
      return DotImage("GS Q 0", "variable vertical size image", c.Word(1), c.Word(3) * 8, c);
    case Kind::Barcode: return Barcode(c);
    case Kind::Symbol: return SymbolLine(c);
    case Kind::Refused: return Refused(c);
    case Kind::Incomplete:
      return "INCOMPLETE " + HexBytes(c.raw, 16) + " (" + std::to_string(c.raw.size()) + " bytes)";
    default: return "UNKNOWN " + HexBytes(c.raw, 16);
  }
}

}  // namespace

std::string HexBytes(const std::string& bytes, size_t limit) {
  std::string hex;
  for (size_t i = 0; i < bytes.size() && i < limit; ++i) {
    char pair[4];
    snprintf(pair, sizeof pair, "%02X", static_cast<unsigned char>(bytes[i]));
    hex += (i == 0 ? "" : " ") + std::string(pair);
  }
  if (bytes.size() > limit) hex += " ...";
  return hex;
}

std::string Describe(const Command& command, const PrinterSettings& settings) {
  if (command.kind == Kind::Text) return Text(command, settings);
  for (auto family : {StyleLine, LayoutLine, PaperLine, BarcodeLine, ControlLine}) {
    std::string line = family(command);
    if (!line.empty()) return line;
  }
  return Other(command);
}

}  // namespace vprinter
