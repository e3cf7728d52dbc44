// Qt's GUI application on the offscreen platform: what Qt needs to find fonts and draw text,
// without a display.
#ifndef VPRINTER_OFFSCREEN_GUI_H
#define VPRINTER_OFFSCREEN_GUI_H

#include <memory>

class QGuiApplication;

namespace vprinter {

class OffscreenGui {
 public:
  // Creates the application unless the process already has one.
  OffscreenGui();
  ~OffscreenGui();
  OffscreenGui(const OffscreenGui&) = delete;
  OffscreenGui& operator=(const OffscreenGui&) = delete;

 private:
  // QGuiApplication keeps references to these for its lifetime.
  int argc_ = 1;
  char name_[18] = "tallyjet-vprinter";
  char* argv_[2] = {name_, nullptr};
  std::unique_ptr<QGuiApplication> application_;
};

}  // namespace vprinter

#endif  // VPRINTER_OFFSCREEN_GUI_H
