// The log lines of the graphics functions (GS ( L, GS 8 L) and of the 2-D symbols (GS ( k).
#include "command_log_parts.h"
#include "graphics_functions.h"
#include "wire.h"

namespace vprinter {
namespace {

std::string Size(const std::string& block, size_t at) {
  return std::to_string(LittleEndian(block, at, 2)) + "x" +
         std::to_string(LittleEndian(block, at + 2, 2)) + " dots";
}

std::string Bytes(size_t count) { return std::to_string(count) + " bytes"; }

// m fn a kc1 kc2 b xL xH yL yH c data (functions 67, 68, 83, 84).
std::string Definition(const std::string& head, const std::string& block, const char* where) {
  if (block.size() < 11) return Line(head, std::string("define ") + where + ": too short");
  return Line(head + " " + Quoted(block.substr(3, 2)),
              std::string("define ") + where + ": " + Size(block, 6) + ", " +
                  std::to_string(ByteAt(block, 5)) + " colour, " + Bytes(block.size() - 11));
}

// m fn kc1 kc2 x y (functions 69, 85).
std::string Print(const std::string& head, const std::string& block, const char* what) {
  return Line(head + " " + Quoted(block.substr(2, 2)), std::string(what) + ", scale " +
                                                           std::to_string(ByteAt(block, 4)) + "x" +
                                                           std::to_string(ByteAt(block, 5)));
}

std::string Simple(int fn) {
  switch (fn) {
    case 48: return "transmit NV graphics memory capacity";
    case 49: return "graphics dot density";
    case 50: return "print the graphic in the print buffer";
    case 51: return "free NV graphics memory";
    case 52: return "free download graphics memory";
    case 64: return "transmit NV graphics key codes";
    case 80: return "transmit download graphics key codes";
    default: return "";
  }
}

std::string Symbology(int cn) {
  switch (cn) {
    case 48: return "PDF417";
    case 49: return "QR";
    case 50: return "MaxiCode";
    case 51: return "GS1 DataBar";
    case 52: return "composite symbol";
    case 53: return "Aztec";
    case 54: return "DataMatrix";
    default: return "symbol " + std::to_string(cn);
  }
}

std::string QrLine(const std::string& head, int fn, int value) {
  switch (fn) {
    case 65:
      return Line(head + " " + std::to_string(value),
                  "QR model " + std::to_string(Selector(value)));
    case 67: return Line(head + " " + std::to_string(value), Dots("QR module size", value));
    case 69:
      return Line(head + " " + std::to_string(value),
                  "QR error correction: " + Pick(value, {"L", "M", "Q", "H"}));
    default: return "";
  }
}

std::string Pdf417Line(const std::string& head, const std::string& block) {
  const int value = ByteAt(block, 2);
  const std::string withValue = head + " " + std::to_string(value);
  switch (ByteAt(block, 1)) {
    case 65: return Line(withValue, "PDF417 columns: " + std::to_string(value));
    case 66: return Line(withValue, "PDF417 rows: " + std::to_string(value));
    case 67: return Line(withValue, Dots("PDF417 module width", value));
    case 68: return Line(withValue, "PDF417 row height: " + std::to_string(value) + " modules");
    case 69:
      return Line(withValue + " " + std::to_string(ByteAt(block, 3)),
                  value == 48
                      ? "PDF417 error correction level " + std::to_string(ByteAt(block, 3) - 48)
                      : "PDF417 error correction by ratio");
    case 70:
      return Line(withValue, std::string("PDF417 ") + ((value & 1) ? "truncated" : "standard"));
    default: return "";
  }
}

}  // namespace

std::string GraphicsLine(const char* mnemonic, const Command& c) {
  const std::string& block = c.data;
  const int fn = GraphicsFunction(block);
  const std::string head = std::string(mnemonic) + " fn " + std::to_string(fn);
  switch (fn) {
    case 65: return Line(head + " " + Quoted(block.substr(2)), "delete all NV graphics");
    case 66: return Line(head + " " + Quoted(block.substr(2, 2)), "delete NV graphic");
    case 67:
    case 68: return Definition(head, block, "NV graphic");
    case 69: return Print(head, block, "print NV graphic");
    case 81: return Line(head + " " + Quoted(block.substr(2)), "delete all download graphics");
    case 82: return Line(head + " " + Quoted(block.substr(2, 2)), "delete download graphic");
    case 83:
    case 84: return Definition(head, block, "download graphic");
    case 85: return Print(head, block, "print download graphic");
    case 112:
    case 113:
      return Line(head, "graphic into the print buffer: " + Size(block, 6) + ", scale " +
                            std::to_string(ByteAt(block, 3)) + "x" +
                            std::to_string(ByteAt(block, 4)) + ", " +
                            Bytes(block.size() > 10 ? block.size() - 10 : 0));
    default: break;
  }
  const std::string what = Simple(fn);
  return Line(head, what.empty() ? "graphics function, " + Bytes(block.size()) : what);
}

// GS ( k cn fn ...: the 2-D symbols; cn 49 QR code, 48 PDF417.
std::string SymbolLine(const Command& c) {
  const int cn = ByteAt(c.data, 0);
  const int fn = ByteAt(c.data, 1);
  const std::string head = cn == 49
                               ? "GS ( k fn " + std::to_string(fn)
                               : "GS ( k cn " + std::to_string(cn) + " fn " + std::to_string(fn);
  const std::string name = Symbology(cn);
  std::string line = cn == 49   ? QrLine(head, fn, ByteAt(c.data, 2))
                     : cn == 48 ? Pdf417Line(head, c.data)
                                : "";
  if (!line.empty()) return line;
  switch (fn) {
    case 80: {
      const std::string data = c.data.size() > 3 ? c.data.substr(3) : "";
      return Line(head + " " + Quoted(data), name + " store " + Bytes(data.size()));
    }
    case 81: return Line(head, name + " print");
    case 82: return Line(head, name + " transmit size");
    default: return Line(head, name + " function");
  }
}

}  // namespace vprinter
