// The printer core with a renderer on 80 mm paper, and what the render tests read the roll with.
#ifndef VPRINTER_TESTS_RENDER_FIXTURE_H
#define VPRINTER_TESTS_RENDER_FIXTURE_H

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "headless_gui.h"
#include "printer_core.h"
#include "receipt_renderer.h"

namespace vprinter {

// A command of fixed bytes, NUL included.
inline std::string B(std::initializer_list<int> bytes) {
  std::string s;
  for (int b : bytes) s += static_cast<char>(b);
  return s;
}

// GS ( k pL pH cn fn ...: a 2-D symbol function with its argument bytes.
inline std::string Symbol2D(int cn, int fn, const std::string& arguments) {
  const size_t count = arguments.size() + 2;
  return B({0x1D, '(', 'k', static_cast<int>(count & 0xFF), static_cast<int>(count >> 8), cn,
            fn}) +
         arguments;
}

// A QR code function.
inline std::string Qr(int fn, const std::string& arguments) { return Symbol2D('1', fn, arguments); }

// Dark enough to be a printed dot.
inline bool Black(const QImage& image, int x, int y) { return qGray(image.pixel(x, y)) < 128; }

// A run of rows with ink on them: its black dots and the columns they span.
struct InkBand {
  int dots = 0;
  int left = 1 << 30;
  int right = -1;
  int top = -1;
  int bottom = -1;  // the last row with ink
};

inline std::vector<InkBand> InkBands(const QImage& image) {
  std::vector<InkBand> bands;
  bool inBand = false;
  for (int y = 0; y < image.height(); ++y) {
    bool ink = false;
    for (int x = 0; x < image.width(); ++x) {
      if (!Black(image, x, y)) continue;
      if (!ink && !inBand) {
        bands.emplace_back();
        bands.back().top = y;
      }
      ink = true;
      InkBand& band = bands.back();
      band.bottom = y;
      ++band.dots;
      band.left = std::min(band.left, x);
      band.right = std::max(band.right, x);
    }
    inBand = ink;
  }
  return bands;
}

// The printer core with a renderer on 80 mm paper, fed the bytes a test writes.
class RenderTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { gui_ = std::make_unique<HeadlessGui>(); }
  static void TearDownTestSuite() { gui_.reset(); }

  void SetUp() override {
    ASSERT_TRUE(PaperOfWidth(80, &paper_));
    renderer_ = std::make_unique<ReceiptRenderer>(paper_);
    core_.SetHook([this](const Command& command, const PrinterSettings& settings) {
      return renderer_->Render(command, settings);
    });
  }

  void Send(const std::string& bytes) { core_.Receive(bytes, PrinterCore::Clock::now()); }

  // The roll once the printer has drawn everything sent.
  QImage Printed() {
    core_.Finish(PrinterCore::Clock::now());
    return renderer_->Roll().Pieces(false).front();
  }

  inline static std::unique_ptr<HeadlessGui> gui_;
  Paper paper_{};
  PrinterCore core_;
  std::unique_ptr<ReceiptRenderer> renderer_;
};


}  // namespace vprinter

#endif  // VPRINTER_TESTS_RENDER_FIXTURE_H
