// A test with a printer handle on the virtual printer on a pty, opened as a device node.
#ifndef TALLYJET_TESTS_HANDLE_ON_PTY_H
#define TALLYJET_TESTS_HANDLE_ON_PTY_H

#include <gtest/gtest.h>

#include "tallyjet.h"
#include "virtual_printer.h"

class HandleOnPty : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(printer_.Start());
    ASSERT_EQ(tallyjet_open(printer_.PortName().c_str(), 0, &handle_), TALLYJET_SUCCESS);
  }
  void TearDown() override {
    tallyjet_close(handle_);
    printer_.Stop();
  }

  vprinter::VirtualPrinter printer_;
  tallyjet_printer* handle_ = nullptr;
};

#endif  // TALLYJET_TESTS_HANDLE_ON_PTY_H
