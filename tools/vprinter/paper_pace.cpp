#include "paper_pace.h"

#include <algorithm>

namespace vprinter {
namespace {

constexpr int kDefaultLineSpacing = 30;  // dots, ESC 2
constexpr int kFontHeight = 24;          // dots of font A
constexpr int kHriHeight = 24;           // dots of a barcode's human-readable line
constexpr int kQrModules = 33;           // a typical receipt QR code (version 4)

int LineSpacing(const PrinterSettings& settings) {
  const int spacing = settings.layout.lineSpacing < 0 ? kDefaultLineSpacing
                                                      : settings.layout.lineSpacing;
  return std::max(spacing, kFontHeight * settings.style.heightScale);
}

// GS ( k: only function 81 prints a symbol.
int SymbolDots(const Command& command, const PrinterSettings& settings) {
  const bool prints = command.data.size() > 1 && static_cast<unsigned char>(command.data[1]) == 81;
  return prints ? kQrModules * settings.qr.moduleSize : 0;
}

}  // namespace

int PaperDotsOf(const Command& command, const PrinterSettings& settings) {
  switch (command.kind) {
    case Kind::LineFeed: return LineSpacing(settings);
    case Kind::FeedUnits: return command.Param(0);
    case Kind::FeedLines: return command.Param(0) * LineSpacing(settings);
    case Kind::Cut: return command.params.size() > 1 ? command.Param(1) : 0;
    case Kind::RasterBand: return command.Word(3) * ((command.Param(0) & 2) != 0 ? 2 : 1);
    case Kind::ColumnImage: return Selector(command.Param(0)) >= 32 ? 24 : 8;
    case Kind::Barcode:
      return settings.barcode.height + (settings.barcode.hriPosition != 0 ? kHriHeight : 0);
    case Kind::Symbol: return SymbolDots(command, settings);
    case Kind::PrintPage:
    case Kind::FormFeed: return settings.layout.pageArea[3];
    default: return 0;
  }
}

void PaperPace::SetSpeed(int millimetresPerSecond) { speed_ = std::max(0, millimetresPerSecond); }

void PaperPace::Print(int dots, Clock::time_point now) {
  if (!Paced() || dots <= 0) return;
  const std::chrono::duration<double> seconds(
      static_cast<double>(dots) / (kDotsPerMillimetre * speed_));
  busyUntil_ = Done(now) + std::chrono::duration_cast<Clock::duration>(seconds);
}

void PaperPace::Hold(size_t bytes, Clock::time_point start) {
  if (Paced() && bytes > 0) held_.push_back({bytes, start, std::max(start, busyUntil_)});
}

size_t PaperPace::Held(Clock::time_point now) {
  while (!held_.empty() && held_.front().end <= now) held_.pop_front();
  double held = 0;
  for (const Span& span : held_) {
    if (now <= span.start) {
      held += span.bytes;
    } else {
      held += span.bytes * std::chrono::duration<double>(span.end - now).count() /
              std::chrono::duration<double>(span.end - span.start).count();
    }
  }
  return static_cast<size_t>(held);
}

}  // namespace vprinter
