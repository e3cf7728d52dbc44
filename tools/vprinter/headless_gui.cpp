#include "headless_gui.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <cstdlib>

namespace vprinter {

HeadlessGui::HeadlessGui() {
  if (QCoreApplication::instance() != nullptr) return;
  // The minimal platform with its fontconfig fonts: it needs no display, and unlike the offscreen
  // platform it frees its screen when the application goes.
  setenv("QT_QPA_PLATFORM", "minimal:enable_fonts", 1);
  application_ = std::make_unique<QGuiApplication>(argc_, argv_);
  // Loads the font list now rather than at the first character, when a client is waiting.
  QFontDatabase().families();
}

HeadlessGui::~HeadlessGui() = default;

}  // namespace vprinter
