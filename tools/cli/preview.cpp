#include "preview.h"

#include <QtGlobal>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <thread>

#include "png_output.h"

namespace {

// The paper of that width; 80 mm for a width the virtual printer has no paper for.
vprinter::Paper PaperOf(int millimetres) {
  vprinter::Paper paper{};
  if (!vprinter::PaperOfWidth(millimetres, &paper)) vprinter::PaperOfWidth(80, &paper);
  return paper;
}

// Drops Qt's warnings and notes: the preview says what went wrong in its own words.
bool SilenceQt() {
  qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg) {
      fprintf(stderr, "tallyjet: preview: %s\n", message.toLocal8Bit().constData());
    }
  });
  return true;
}

}  // namespace

Preview::Preview(int paperMillimetres)
    : quiet_(SilenceQt()), renderer_(PaperOf(paperMillimetres)) {
  // Nothing is kept but the drawing: a long job takes no more memory than its paper.
  core_.SetSinks({}, {}, false);
  core_.SetHook([this](const vprinter::Command& command, const vprinter::PrinterSettings& s) {
    return renderer_.Render(command, s);
  });
}

int Preview::Open(tallyjet_printer** printer) {
  const tallyjet_transport transport = {&Preview::Write, &Preview::Read, nullptr};
  return tallyjet_open_transport(&transport, this, printer);
}

bool Preview::Save(const std::string& path, std::string* error) {
  core_.Finish(vprinter::PrinterCore::Clock::now());
  return vprinter::WritePng(renderer_.Roll(), path, false, error);
}

int Preview::Write(void* context, const char* data, int length) {
  auto* preview = static_cast<Preview*>(context);
  preview->core_.Receive(std::string(data, static_cast<size_t>(length)),
                         vprinter::PrinterCore::Clock::now());
  return length;
}

// The answers due by now, or by the time-out when one is queued for later.
int Preview::Read(void* context, char* buffer, int length, int timeoutMs) {
  auto* preview = static_cast<Preview*>(context);
  vprinter::PrinterCore& core = preview->core_;
  const auto deadline =
      vprinter::PrinterCore::Clock::now() + std::chrono::milliseconds(std::max(timeoutMs, 0));
  if (preview->answers_.empty() && core.NextAnswerDue() <= deadline) {
    std::this_thread::sleep_until(core.NextAnswerDue());
    preview->answers_ = core.TakeDueAnswers(vprinter::PrinterCore::Clock::now());
  }
  const size_t count = std::min(preview->answers_.size(), static_cast<size_t>(length));
  memcpy(buffer, preview->answers_.data(), count);
  preview->answers_.erase(0, count);
  return static_cast<int>(count);
}
