// What the received commands have set up in the printer: character style, layout, barcode and
// QR settings, stored NV graphics and the last picture received. A renderer draws from this.
#ifndef VPRINTER_PRINTER_SETTINGS_H
#define VPRINTER_PRINTER_SETTINGS_H

#include <map>
#include <string>
#include <vector>

#include "code_table.h"
#include "command.h"

namespace vprinter {

// The multi-byte set of a Japanese model, the only one that takes FS C.
constexpr char kJapaneseModel[] = "JIS";

struct TextStyle {
  int printMode = 0;  // the last ESC ! byte
  int font = 0;       // 0 font A, 1 font B, 2 font C
  bool emphasis = false;
  bool doubleStrike = false;
  bool italic = false;
  bool reverse = false;
  bool upsideDown = false;
  int underline = 0;  // dots: 0, 1 or 2
  int widthScale = 1;
  int heightScale = 1;
  int codeTable = kDefaultCodeTable;
  int internationalSet = 0;  // ESC R n
  int charSpacing = 0;       // dots right of each character (ESC SP)
  bool rotated = false;      // characters turned 90 degrees clockwise (ESC V)
  // Multi-byte text: FS & / FS . switch Kanji mode, FS C picks JIS or Shift JIS, FS ( C UTF-8.
  bool kanji = false;
  int kanjiCodeSystem = -1;  // -1 none chosen, 0 JIS, 1 Shift JIS, 2 Shift JIS-2004
  bool utf8 = false;
  int kanjiPrintMode = 0;  // the last FS ! byte
  int kanjiUnderline = 0;  // dots
  int kanjiLeft = 0;       // dots left of each Kanji (FS S)
  int kanjiRight = 0;      // dots right of each Kanji
};

struct Layout {
  int justification = 0;  // 0 left, 1 centre, 2 right
  int lineSpacing = -1;   // dots; -1 the printer's default
  int leftMargin = 0;     // dots
  int areaWidth = 0;      // dots; 0 the whole paper width
  std::vector<int> tabs;  // tab stops in character columns
  bool pageMode = false;
  int pageArea[4] = {};   // x, y, dx, dy of the page-mode area, dots
  int pageDirection = 0;  // ESC T: 0 left to right, 1 bottom to top, 2 right to left, 3 down
};

struct BarcodeSettings {
  int height = 162;     // dots
  int moduleWidth = 3;  // dots
  int hriFont = 0;      // 0 font A, 1 font B
  int hriPosition = 0;  // 0 none, 1 above, 2 below, 3 both
};

struct QrSettings {
  int model = 2;
  int moduleSize = 3;  // dots
  int errorLevel = 0;  // 0 L, 1 M, 2 Q, 3 H
  std::string data;    // the stored symbol data
};

// The PDF417 symbol of GS ( k cn 48.
struct Pdf417Settings {
  int columns = 0;      // data columns, 0 automatic
  int rows = 0;         // rows, 0 automatic
  int moduleWidth = 3;  // dots
  int rowHeight = 3;    // times the module width
  int errorLevel = 1;   // 0 to 8; -1 by ratio, left to the encoder
  bool truncated = false;
  std::string data;
};

struct NvGraphic {
  int width = 0;   // dots
  int height = 0;  // dots
  int colours = 0;
  std::string raster;  // rows of (width + 7) / 8 bytes per colour, bit 7 leftmost
};

// The graphic in the print buffer (GS ( L / GS 8 L function 112 or 113), printed by
// function 50 at its own scale.
struct BufferGraphic {
  NvGraphic graphic;
  int xScale = 1;
  int yScale = 1;
};

struct RasterImage {  // one GS v 0 band
  int mode = 0;       // 0 normal, 1 double width, 2 double height, 3 both
  int bytesPerRow = 0;
  int rows = 0;
  std::string data;
};

struct ColumnImage {  // one ESC * image
  int mode = 0;       // 0, 1: 8 dots a column; 32, 33: 24 dots a column
  int columns = 0;
  std::string data;
};

struct PrinterSettings {
  // ESC @ returns these four to their defaults.
  TextStyle style;
  Layout layout;
  BarcodeSettings barcode;
  QrSettings qr;
  Pdf417Settings pdf417;
  BufferGraphic bufferGraphic;
  // These outlive ESC @.
  int operationMode = 0;
  int autoStatusBack = 0;  // GS a n: the changes reported unasked, 0 none
  // The multi-byte character set of Kanji mode when FS C has chosen none: the printer's model.
  std::string multiByteSet = "GB18030";
  std::map<std::string, NvGraphic> nvGraphics;        // by key code: the bytes kc1 kc2
  std::map<std::string, NvGraphic> downloadGraphics;  // likewise, in RAM (functions 83, 84)
  RasterImage lastRasterBand;   // the last GS v 0 band or GS Q 0 image, which the renderer draws
  ColumnImage lastColumnImage;  // the last ESC * image, likewise

  // Bytes of NV graphics memory the stored graphics take.
  size_t NvUsed() const;
};

// Applies what the command sets. nvCapacity bounds what NV graphics may be stored. The result
// is a note for the log when the command could not take effect (no room, no such graphic), else
// empty.
std::string Apply(const Command& command, int nvCapacity, PrinterSettings* settings);

}  // namespace vprinter

#endif  // VPRINTER_PRINTER_SETTINGS_H
