#include "offscreen_gui.h"

#include <QGuiApplication>
#include <cstdlib>

namespace vprinter {

OffscreenGui::OffscreenGui() {
  if (QCoreApplication::instance() != nullptr) return;
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  application_ = std::make_unique<QGuiApplication>(argc_, argv_);
}

OffscreenGui::~OffscreenGui() = default;

}  // namespace vprinter
