// A test whose process-wide connection reaches the virtual printer on a pty (or, built with
// OnLoopback(), on a TCP port of 127.0.0.1).
#ifndef TALLYJET_TESTS_PRINTER_ON_PTY_H
#define TALLYJET_TESTS_PRINTER_ON_PTY_H

#include <gtest/gtest.h>

#include <string>

#include "tallyjet.h"
#include "virtual_printer.h"

class PrinterOnPty : public ::testing::Test {
 protected:
  PrinterOnPty() = default;
  explicit PrinterOnPty(const vprinter::Options& options) : printer(options) {}

  // A printer on a free TCP port of 127.0.0.1.
  static vprinter::Options OnLoopback() {
    vprinter::Options options;
    options.listenPort = 0;
    return options;
  }

  void SetUp() override {
    ASSERT_EQ(SetProtocol(TALLYJET_PROTOCOL_ESCPOS), TALLYJET_SUCCESS);
    ASSERT_TRUE(printer.Start());
  }
  void TearDown() override {
    ClosePort();
    printer.Stop();
  }

  // Opens the printer as a device node (baud 0), as a serial line at baudRate, or on the
  // network.
  void Open(int baudRate = 0) {
    ASSERT_EQ(OpenPort(printer.PortName().c_str(), baudRate, 'N', 8, 1), TALLYJET_SUCCESS);
  }

  // Whether a line the printer decoded holds part.
  bool Logged(const std::string& part) const {
    for (const std::string& line : printer.Log()) {
      if (line.find(part) != std::string::npos) return true;
    }
    return false;
  }

  vprinter::VirtualPrinter printer;
};

#endif  // TALLYJET_TESTS_PRINTER_ON_PTY_H
