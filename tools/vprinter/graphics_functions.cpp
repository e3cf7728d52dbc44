#include "graphics_functions.h"

#include "wire.h"

namespace vprinter {

std::string ColumnsToRows(const std::string& columns, int width, int height) {
  const size_t bytesPerColumn = (height + 7) / 8, bytesPerRow = (width + 7) / 8;
  std::string rows(bytesPerRow * height, '\0');
  for (int x = 0; x < width; ++x) {
    for (int y = 0; y < height; ++y) {
      const size_t at = x * bytesPerColumn + y / 8;
      if (at < columns.size() && (columns[at] & (0x80 >> (y % 8))) != 0) {
        rows[y * bytesPerRow + x / 8] |= static_cast<char>(0x80 >> (x % 8));
      }
    }
  }
  return rows;
}

namespace {

// Function numbers.
constexpr int kPrintBuffer = 50;
constexpr int kDeleteAllNv = 65, kDeleteNv = 66, kDefineNvRaster = 67, kDefineNvColumn = 68,
              kPrintNv = 69;
constexpr int kDeleteAllRam = 81, kDeleteRam = 82, kDefineRamRaster = 83, kDefineRamColumn = 84,
              kPrintRam = 85;
constexpr int kBufferRaster = 112, kBufferColumn = 113;

// The graphic whose width and height start at sizeAt and whose first colour's data at dataAt;
// column format is turned into rows.
NvGraphic GraphicOf(const std::string& block, size_t sizeAt, size_t dataAt, bool columns) {
  NvGraphic graphic;
  graphic.width = static_cast<int>(LittleEndian(block, sizeAt, 2));
  graphic.height = static_cast<int>(LittleEndian(block, sizeAt + 2, 2));
  const std::string data = block.size() > dataAt ? block.substr(dataAt) : "";
  graphic.raster = columns ? ColumnsToRows(data, graphic.width, graphic.height) : data;
  return graphic;
}

std::string NoRoom(size_t needed, size_t free) {
  return "not stored: " + std::to_string(needed) + " bytes needed, " + std::to_string(free) +
         " free";
}

// m fn a kc1 kc2 b xL xH yL yH c data: defines a graphic under the key kc1 kc2. NV memory is
// bounded by its capacity; a graphic under the same key is replaced, so its room counts as free.
std::string Define(const std::string& block, int nvCapacity, PrinterSettings* settings) {
  if (block.size() < 11) return "not stored: too short";
  const int fn = GraphicsFunction(block);
  const bool nv = fn == kDefineNvRaster || fn == kDefineNvColumn;
  NvGraphic graphic = GraphicOf(block, 6, 11, fn == kDefineNvColumn || fn == kDefineRamColumn);
  graphic.colours = ByteAt(block, 5);
  const std::string key = block.substr(3, 2);
  if (!nv) {
    settings->downloadGraphics[key] = graphic;
    return "";
  }
  const auto old = settings->nvGraphics.find(key);
  const size_t replaced = old != settings->nvGraphics.end() ? old->second.raster.size() : 0;
  const size_t used = settings->NvUsed() - replaced;
  const size_t free = static_cast<size_t>(nvCapacity) > used ? nvCapacity - used : 0;
  if (graphic.raster.size() > free) return NoRoom(graphic.raster.size(), free);
  settings->nvGraphics[key] = graphic;
  return "";
}

// m fn a bx by c xL xH yL yH data: the graphic in the print buffer.
void Buffer(const std::string& block, PrinterSettings* settings) {
  BufferGraphic& buffer = settings->bufferGraphic;
  buffer.graphic = GraphicOf(block, 6, 10, GraphicsFunction(block) == kBufferColumn);
  buffer.graphic.colours = 1;
  buffer.xScale = ByteAt(block, 3);
  buffer.yScale = ByteAt(block, 4);
}

std::string DeleteAll(const std::string& block, std::map<std::string, NvGraphic>* graphics) {
  if (block.substr(2) != "CLR") return "ignored: CLR expected";
  graphics->clear();
  return "";
}

std::map<std::string, NvGraphic>* StoreOf(int fn, PrinterSettings* settings) {
  return fn < kDeleteAllRam ? &settings->nvGraphics : &settings->downloadGraphics;
}

}  // namespace

std::string ApplyGraphicsFunction(const std::string& block, int nvCapacity,
                                  PrinterSettings* settings) {
  const int fn = GraphicsFunction(block);
  const std::string key = block.size() >= 4 ? block.substr(2, 2) : "";
  switch (fn) {
    case kDeleteAllNv:
    case kDeleteAllRam: return DeleteAll(block, StoreOf(fn, settings));
    case kDeleteNv:
    case kDeleteRam: return StoreOf(fn, settings)->erase(key) != 0 ? "" : "no such graphic";
    case kPrintNv:
    case kPrintRam: return StoreOf(fn, settings)->count(key) != 0 ? "" : "no such graphic";
    case kDefineNvRaster:
    case kDefineNvColumn:
    case kDefineRamRaster:
    case kDefineRamColumn: return Define(block, nvCapacity, settings);
    case kBufferRaster:
    case kBufferColumn: Buffer(block, settings); return "";
    case kPrintBuffer:
      return settings->bufferGraphic.graphic.raster.empty() ? "print buffer holds no graphic" : "";
    default: return "";
  }
}

const NvGraphic* GraphicToPrint(const std::string& block, const PrinterSettings& settings,
                                int* xScale, int* yScale) {
  const int fn = GraphicsFunction(block);
  if (fn == kPrintBuffer) {
    *xScale = settings.bufferGraphic.xScale;
    *yScale = settings.bufferGraphic.yScale;
    const NvGraphic& graphic = settings.bufferGraphic.graphic;
    return graphic.raster.empty() ? nullptr : &graphic;
  }
  if ((fn != kPrintNv && fn != kPrintRam) || block.size() < 6) return nullptr;
  const auto& store = fn == kPrintNv ? settings.nvGraphics : settings.downloadGraphics;
  const auto graphic = store.find(block.substr(2, 2));
  if (graphic == store.end()) return nullptr;
  *xScale = ByteAt(block, 4);
  *yScale = ByteAt(block, 5);
  return &graphic->second;
}

}  // namespace vprinter
