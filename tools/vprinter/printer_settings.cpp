#include "printer_settings.h"

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

void ApplyStyle(const Command& command, TextStyle* style) {
  const int n = command.Param(0);
  switch (command.kind) {
    case Kind::PrintMode: ApplyPrintMode(n, style); break;
    case Kind::Emphasis: style->emphasis = (n & 1) != 0; break;
    case Kind::DoubleStrike: style->doubleStrike = (n & 1) != 0; break;
    case Kind::Underline: style->underline = Selector(n); break;
    case Kind::Font: style->font = Selector(n); break;
    case Kind::Reverse: style->reverse = (n & 1) != 0; break;
    case Kind::UpsideDown: style->upsideDown = (n & 1) != 0; break;
    case Kind::CodeTable: style->codeTable = n; break;
    case Kind::CharSize:
      style->widthScale = ((n >> 4) & 7) + 1;
      style->heightScale = (n & 7) + 1;
      break;
    default: break;
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
    case Kind::StandardMode: layout->pageMode = false; break;
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
    case Kind::BarcodeWidth: barcode->moduleWidth = n; break;
    case Kind::HriFont: barcode->hriFont = Selector(n); break;
    case Kind::HriPosition: barcode->hriPosition = Selector(n); break;
    default: break;
  }
}

// GS ( k cn fn ...: only the QR code symbol (cn 49) is kept.
void ApplySymbol(const std::string& block, QrSettings* qr) {
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

std::string NoRoom(size_t needed, size_t free) {
  return "not stored: " + std::to_string(needed) + " bytes needed, " + std::to_string(free) +
         " free";
}

// GS 8 L m fn a kc1 kc2 b xL xH yL yH c data, function 67: define a raster NV graphic.
std::string DefineNvGraphic(const std::string& block, int nvCapacity, PrinterSettings* settings) {
  if (ByteAt(block, 1) != 67 || block.size() < 11) return "not stored: not a raster graphic";
  NvGraphic graphic;
  graphic.colours = ByteAt(block, 5);
  graphic.width = static_cast<int>(LittleEndian(block, 6, 2));
  graphic.height = static_cast<int>(LittleEndian(block, 8, 2));
  graphic.raster = block.substr(11);
  const std::string key = block.substr(3, 2);
  // A graphic under the same key is replaced, so its room counts as free.
  const auto old = settings->nvGraphics.find(key);
  const size_t replaced = old != settings->nvGraphics.end() ? old->second.raster.size() : 0;
  const size_t used = settings->NvUsed() - replaced;
  const size_t free = static_cast<size_t>(nvCapacity) > used ? nvCapacity - used : 0;
  if (graphic.raster.size() > free) return NoRoom(graphic.raster.size(), free);
  settings->nvGraphics[key] = graphic;
  return "";
}

// GS ( L m fn ...: delete all (65, with "CLR"), delete one (66), print one (69).
std::string NvFunction(const std::string& block, PrinterSettings* settings) {
  const std::string key = block.size() >= 4 ? block.substr(2, 2) : "";
  switch (ByteAt(block, 1)) {
    case 65:
      if (block.substr(2) != "CLR") return "ignored: CLR expected";
      settings->nvGraphics.clear();
      return "";
    case 66: return settings->nvGraphics.erase(key) != 0 ? "" : "no such graphic";
    case 69: return settings->nvGraphics.count(key) != 0 ? "" : "no such graphic";
    default: return "";
  }
}

// Only the last picture is kept: the renderer draws each as it arrives, and a long run would
// otherwise hold every picture it was ever sent.
void KeepImage(const Command& command, PrinterSettings* settings) {
  if (command.kind == Kind::RasterBand) {
    settings->lastRasterBand = {command.Param(0), command.Word(1), command.Word(3), command.data};
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
      return "";
    case Kind::OperationMode: settings->operationMode = command.Param(1); return "";
    case Kind::Symbol: ApplySymbol(command.data, &settings->qr); return "";
    case Kind::DefineNvGraphic: return DefineNvGraphic(command.data, nvCapacity, settings);
    case Kind::NvGraphics: return NvFunction(command.data, settings);
    case Kind::RasterBand:
    case Kind::ColumnImage: KeepImage(command, settings); return "";
    default: break;
  }
  ApplyStyle(command, &settings->style);
  ApplyLayout(command, &settings->layout);
  ApplyBarcode(command, &settings->barcode);
  return "";
}

}  // namespace vprinter
