#include "printer_settings.h"

#include "graphics_functions.h"
#include "wire.h"

namespace vprinter {
namespace {

void ApplyPrintMode(int n, TextStyle* style) {
  style->printMode = n;
  style->font = n & 0x01;
  style->emphasis = (n & 0x08) != 0;
  style->heightScale = (n & 0x10) != 0 ? 2 : 1;
  style->widthScale = (n & 0x20) != 0 ? 2 : 1;
  style->italic = (n & 0x40) != 0;
  style->underline = (n & 0x80) != 0 ? 1 : 0;
}

// FS ( C fn 48 m: m 1 one-byte characters, m 2 UTF-8.
void ApplyEncoding(const std::string& block, TextStyle* style) {
  if (ByteAt(block, 0) == 48) style->utf8 = Selector(ByteAt(block, 1)) == 2;
}

void ApplyKanji(const Command& command, TextStyle* style) {
  const int n = command.Param(0);
  switch (command.kind) {
    case Kind::KanjiOn: style->kanji = true; break;
    case Kind::KanjiOff: style->kanji = false; break;
    case Kind::KanjiCodeSystem: style->kanjiCodeSystem = Selector(n); break;
    case Kind::KanjiPrintMode: style->kanjiPrintMode = n; break;
    case Kind::KanjiUnderline: style->kanjiUnderline = Selector(n); break;
    case Kind::KanjiSpacing:
      style->kanjiLeft = n;
      style->kanjiRight = command.Param(1);
      break;
    case Kind::CharacterEncoding: ApplyEncoding(command.data, style); break;
    default: break;
  }
}

void ApplyStyle(const Command& command, TextStyle* style) {
  const int n = command.Param(0);
  switch (command.kind) {
    case Kind::PrintMode: ApplyPrintMode(n, style); break;
    case Kind::Emphasis: style->emphasis = (n & 1) != 0; break;
    case Kind::Italic: style->italic = (n & 1) != 0; break;
    case Kind::DoubleStrike: style->doubleStrike = (n & 1) != 0; break;
    case Kind::Underline: style->underline = Selector(n); break;
    case Kind::Font: style->font = FontOf(n); break;
    case Kind::Reverse: style->reverse = (n & 1) != 0; break;
    case Kind::UpsideDown: style->upsideDown = (n & 1) != 0; break;
    case Kind::CodeTable: style->codeTable = n; break;
    case Kind::InternationalSet: style->internationalSet = n; break;
    case Kind::CharSpacing: style->charSpacing = n; break;
    case Kind::Rotate90: style->rotated = (n & 1) != 0; break;
    case Kind::CharSize:
      style->widthScale = ((n >> 4) & 7) + 1;
      style->heightScale = (n & 7) + 1;
      break;
    default: ApplyKanji(command, style); break;
  }
}

void ApplyLayout(const Command& command, Layout* layout) {
  switch (command.kind) {
    case Kind::Justification: layout->justification = Selector(command.Param(0)); break;
    case Kind::LineSpacing: layout->lineSpacing = command.Param(0); break;
    case Kind::DefaultLineSpacing: layout->lineSpacing = -1; break;
    case Kind::LeftMargin: layout->leftMargin = command.Word(0); break;
    case Kind::AreaWidth: layout->areaWidth = command.Word(0); break;
    case Kind::TabPositions: layout->tabs.assign(command.data.begin(), command.data.end()); break;
    case Kind::PageMode: layout->pageMode = true; break;
    case Kind::StandardMode:
    case Kind::FormFeed: layout->pageMode = false; break;
    case Kind::PageDirection: layout->pageDirection = Selector(command.Param(0)) & 3; break;
    case Kind::PageArea:
      for (int i = 0; i < 4; ++i) layout->pageArea[i] = command.Word(2 * i);
      break;
    default: break;
  }
}

void ApplyBarcode(const Command& command, BarcodeSettings* barcode) {
  const int n = command.Param(0);
  switch (command.kind) {
    case Kind::BarcodeHeight: barcode->height = n; break;
    case Kind::BarcodeWidth:  // a module width the printer lacks is ignored, as printers do
      if (n >= 1 && n <= 6) barcode->moduleWidth = n;
      break;
    case Kind::HriFont: barcode->hriFont = Selector(n); break;
    case Kind::HriPosition: barcode->hriPosition = Selector(n); break;
    default: break;
  }
}

// GS ( k 48 fn ...: the PDF417 symbol.
void ApplyPdf417(const std::string& block, Pdf417Settings* pdf) {
  const int value = ByteAt(block, 2);
  switch (ByteAt(block, 1)) {
    case 65: pdf->columns = value; break;
    case 66: pdf->rows = value; break;
    case 67: pdf->moduleWidth = value; break;
    case 68: pdf->rowHeight = value; break;
    case 69: pdf->errorLevel = value == 48 ? ByteAt(block, 3) - 48 : -1; break;
    case 70: pdf->truncated = (value & 1) != 0; break;
    case 80: pdf->data = block.size() > 3 ? block.substr(3) : ""; break;
    default: break;
  }
}

// GS ( k cn fn ...: the QR code (cn 49) and PDF417 (cn 48) symbols are kept.
void ApplySymbol(const std::string& block, QrSettings* qr, Pdf417Settings* pdf) {
  if (ByteAt(block, 0) == 48) ApplyPdf417(block, pdf);
  if (ByteAt(block, 0) != 49) return;
  const int value = ByteAt(block, 2);
  switch (ByteAt(block, 1)) {
    case 65: qr->model = Selector(value); break;
    case 67: qr->moduleSize = value; break;
    case 69: qr->errorLevel = Selector(value); break;
    case 80: qr->data = block.size() > 3 ? block.substr(3) : ""; break;
    default: break;
  }
}

// Only the last picture is kept: the renderer draws each as it arrives, and a long run would
// otherwise hold every picture it was ever sent.
void KeepImage(const Command& command, PrinterSettings* settings) {
  if (command.kind == Kind::RasterBand) {
    settings->lastRasterBand = {command.Param(0), command.Word(1), command.Word(3), command.data};
  } else if (command.kind == Kind::VariableImage) {
    // x columns of y bytes each, turned into 8 y rows.
    const int columns = command.Word(1), rows = 8 * command.Word(3);
    settings->lastRasterBand = {command.Param(0), (columns + 7) / 8, rows,
                                ColumnsToRows(command.data, columns, rows)};
  } else {
    settings->lastColumnImage = {command.Param(0), command.Word(1), command.data};
  }
}

}  // namespace

size_t PrinterSettings::NvUsed() const {
  size_t used = 0;
  for (const auto& entry : nvGraphics) used += entry.second.raster.size();
  return used;
}

std::string Apply(const Command& command, int nvCapacity, PrinterSettings* settings) {
  switch (command.kind) {
    case Kind::Initialise:
      settings->style = TextStyle();
      settings->layout = Layout();
      settings->barcode = BarcodeSettings();
      settings->qr = QrSettings();
      settings->pdf417 = Pdf417Settings();
      return "";
    case Kind::OperationMode: settings->operationMode = command.Param(1); return "";
    case Kind::Symbol: ApplySymbol(command.data, &settings->qr, &settings->pdf417); return "";
    case Kind::DefineNvGraphic:
    case Kind::NvGraphics: return ApplyGraphicsFunction(command.data, nvCapacity, settings);
    case Kind::AutoStatusBack: settings->autoStatusBack = command.Param(0); return "";
    case Kind::KanjiCodeSystem:
      // Printers for the Chinese, Taiwanese and Korean markets have no choice of Kanji codes.
      if (settings->multiByteSet != kJapaneseModel) {
        return "ignored: only a Japanese model (--multi-byte jis) has FS C";
      }
      break;
    case Kind::RasterBand:
    case Kind::VariableImage:
    case Kind::ColumnImage: KeepImage(command, settings); return "";
    default: break;
  }
  ApplyStyle(command, &settings->style);
  ApplyLayout(command, &settings->layout);
  ApplyBarcode(command, &settings->barcode);
  return "";
}

}  // namespace vprinter
