#include "connection.h"

#include <CLI/CLI.hpp>

#include "confirmation.h"
#include "failure.h"
#include "preview.h"
#include "readiness.h"

namespace {

std::string Describe(const PortOptions& port) {
  if (port.port == "USB") return "opening the USB printer";
  if (port.baud != 0) {
    return "opening " + port.port + " as a serial line at " + std::to_string(port.baud);
  }
  return "opening " + port.port;
}

}  // namespace

void AddPrintingOptions(CLI::App* command, PortOptions* port, bool force) {
  command->add_option("--preview", port->preview,
                      "draw what would be printed into this PNG file instead; no printer needed");
  if (!force) return;
  command->add_flag("--force", port->force, "print without asking the status first");
  command->add_flag("--no-wait", port->noWait,
                    "do not wait for the printer to confirm that the job printed");
  command->add_option("--wait-timeout", port->waitSeconds,
                      "seconds to wait for the confirmation (default: 10 plus the job's paper "
                      "at 50 mm/s)")
      ->check(CLI::Range(0.1, 3600.0));
}

Connection::Connection(const PortOptions& port) : port_(port) {}

// After a failure the printer is closed without a second complaint.
Connection::~Connection() {
  if (printer_ != nullptr) tallyjet_close(printer_);
}

int Connection::Open() {
  if (Previewing()) {
    preview_ = std::make_unique<Preview>(port_.paper);
    return Check(preview_->Open(&printer_), "starting the preview") ? kExitOk : kExitFailure;
  }
  if (port_.port.empty()) {
    Complain("no port: give -p PORT (USB, a device path or socket://HOST) or set TALLYJET_PORT");
    return kExitUsage;
  }
  const int code = tallyjet_open(port_.port.c_str(), port_.baud, &printer_);
  if (code == TALLYJET_SUCCESS) return kExitOk;
  ReportOpenFailure(Describe(port_), code, port_);
  return kExitFailure;
}

int Connection::Close() {
  const int closed = tallyjet_close(printer_);
  printer_ = nullptr;
  if (!Check(closed, Previewing() ? "closing the preview" : "closing " + port_.port)) {
    return kExitFailure;
  }
  if (preview_ == nullptr) return kExitOk;
  std::string error;
  const bool saved = preview_->Save(port_.preview, &error);
  preview_.reset();
  if (saved) return kExitOk;
  Complain(error);
  return kExitFailure;
}

bool Connection::Check(int code, const std::string& what) const {
  if (code == TALLYJET_SUCCESS) return true;
  ReportFailure(what, code, port_);
  return false;
}

int RunOnPrinter(const PortOptions& port, const std::function<bool(Connection&)>& work) {
  Connection connection(port);
  const int opened = connection.Open();
  if (opened != kExitOk) return opened;
  if (!work(connection)) return kExitFailure;
  return connection.Close();
}

int RunPrinting(const PortOptions& port, const std::function<bool(Connection&)>& work) {
  Connection connection(port);
  const int opened = connection.Open();
  if (opened != kExitOk) return opened;
  if (!port.force && !connection.Previewing()) {
    const int state = StateBeforePrinting(connection);
    if (state != kExitOk) return state;
  }
  if (!work(connection)) return kExitFailure;
  if (!port.noWait) {
    const int confirmed = ConfirmPrinted(connection);
    if (confirmed != kExitOk) return confirmed;
  }
  return connection.Close();
}
