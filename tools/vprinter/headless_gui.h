// Qt's GUI application without a display: what Qt needs to find fonts and draw text on images.
#ifndef VPRINTER_HEADLESS_GUI_H
#define VPRINTER_HEADLESS_GUI_H

#include <memory>

class QGuiApplication;

namespace vprinter {

class HeadlessGui {
 public:
  // Creates the application unless the process already has one.
  HeadlessGui();
  ~HeadlessGui();
  HeadlessGui(const HeadlessGui&) = delete;
  HeadlessGui& operator=(const HeadlessGui&) = delete;

 private:
  // QGuiApplication keeps references to these for its lifetime.
  int argc_ = 1;
  char name_[18] = "tallyjet-vprinter";
  char* argv_[2] = {name_, nullptr};
  std::unique_ptr<QGuiApplication> application_;
};

}  // namespace vprinter

#endif  // VPRINTER_HEADLESS_GUI_H
