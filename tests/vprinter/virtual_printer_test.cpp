// The printer on a real pty, as the library's device-node transport sees it.
#include "virtual_printer.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <memory>
#include <string>

namespace vprinter {
namespace {

// The printer started with options, and a client of its slave opened like a printer device
// node: read-write, blocking.
class PtyClientTest : public ::testing::Test {
 protected:
  void Start(const Options& options = Options()) {
    printer_ = std::make_unique<VirtualPrinter>(options);
    ASSERT_TRUE(printer_->Start());
    Reopen();
  }
  void TearDown() override { close(fd_); }

  void Reopen() {
    close(fd_);
    fd_ = open(printer_->SlavePath().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(fd_, 0);
  }
  void Send(const std::string& bytes) {
    ASSERT_EQ(write(fd_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  }
  // What arrives within timeoutMs, up to max bytes.
  std::string Read(size_t max, int timeoutMs) {
    std::string got;
    pollfd ready = {fd_, POLLIN, 0};
    while (got.size() < max && poll(&ready, 1, timeoutMs) > 0) {
      char buffer[256];
      const ssize_t n = read(fd_, buffer, std::min(sizeof buffer, max - got.size()));
      if (n <= 0) break;
      got.append(buffer, n);
    }
    return got;
  }

  std::unique_ptr<VirtualPrinter> printer_;
  int fd_ = -1;
};

TEST_F(PtyClientTest, SurvivesClientsThatCloseAndReopen) {
  Start();
  for (int i = 0; i < 20; ++i) {
    Reopen();
    Send("\x1B@");
    ASSERT_TRUE(printer_->WaitForReceived(2 * (i + 1), 2000)) << i;
  }
  Reopen();
  Send("\x1DI\x03");
  EXPECT_EQ(Read(16, 300), "1.00");
}

// The core holds a late answer back; the serving thread must still send it once it is due.
TEST_F(PtyClientTest, LateAnswerArrivesWhenDue) {
  Start();
  PrinterState state;
  state.answerDelayMs = 300;
  printer_->SetState(state);
  Send("\x10\x04\x02");
  EXPECT_EQ(Read(1, 150), "");
  EXPECT_EQ(Read(1, 500), "\x12");
}

TEST_F(PtyClientTest, TextRunIsLoggedWhenTheLineGoesQuiet) {
  Start();
  Send("Caf\x82");
  ASSERT_TRUE(printer_->WaitForLog(1, 2000));
  EXPECT_EQ(printer_->Log()[0], "TEXT \"Caf\xC3\xA9\" (cp850)");
}

TEST_F(PtyClientTest, ReadThrottleHoldsBytesInThePty) {
  Options options;
  options.readBytesPerSecond = 1000;
  Start(options);
  Send(std::string(400, 'x'));
  EXPECT_FALSE(printer_->WaitForReceived(400, 200));
  EXPECT_TRUE(printer_->WaitForReceived(400, 2000));
}

}  // namespace
}  // namespace vprinter
