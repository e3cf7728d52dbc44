// The printer on a real pty, as the library's device-node transport sees it.
#include "virtual_printer.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <string>

namespace vprinter {
namespace {

// A client of the slave, opened like a printer device node: read-write, blocking.
class Client {
 public:
  explicit Client(const std::string& path) : fd_(open(path.c_str(), O_RDWR | O_NOCTTY)) {}
  ~Client() {
    if (fd_ >= 0) close(fd_);
  }
  bool ok() const { return fd_ >= 0; }
  bool Write(const std::string& bytes) {
    return write(fd_, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
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

 private:
  int fd_;
};

TEST(VirtualPrinterTest, SurvivesClientsThatCloseAndReopen) {
  VirtualPrinter printer;
  ASSERT_TRUE(printer.Start());
  for (int i = 0; i < 20; ++i) {
    Client client(printer.SlavePath());
    ASSERT_TRUE(client.ok());
    ASSERT_TRUE(client.Write("\x1B@"));
    ASSERT_TRUE(printer.WaitForReceived(2 * (i + 1), 2000)) << i;
  }
  Client last(printer.SlavePath());
  ASSERT_TRUE(last.Write(std::string("\x1DI\x03", 3)));
  EXPECT_EQ(last.Read(16, 300), "1.00");
}

// The core holds a late answer back; the serving thread must still send it once it is due.
TEST(VirtualPrinterTest, LateAnswerArrivesWhenDue) {
  VirtualPrinter printer;
  ASSERT_TRUE(printer.Start());
  Client client(printer.SlavePath());
  PrinterState state;
  state.answerDelayMs = 300;
  printer.SetState(state);
  ASSERT_TRUE(client.Write(std::string("\x10\x04\x02", 3)));
  EXPECT_EQ(client.Read(1, 150), "");
  EXPECT_EQ(client.Read(1, 500), "\x12");
}

TEST(VirtualPrinterTest, TextRunIsLoggedWhenTheLineGoesQuiet) {
  VirtualPrinter printer;
  ASSERT_TRUE(printer.Start());
  Client client(printer.SlavePath());
  ASSERT_TRUE(client.Write("Caf\x82"));
  ASSERT_TRUE(printer.WaitForLog(1, 2000));
  EXPECT_EQ(printer.Log()[0], "TEXT \"Caf\xC3\xA9\" (cp850)");
}

TEST(VirtualPrinterTest, ReadThrottleHoldsBytesInThePty) {
  Options options;
  options.readBytesPerSecond = 1000;
  VirtualPrinter printer(options);
  ASSERT_TRUE(printer.Start());
  Client client(printer.SlavePath());
  ASSERT_TRUE(client.Write(std::string(400, 'x')));
  EXPECT_FALSE(printer.WaitForReceived(400, 200));
  EXPECT_TRUE(printer.WaitForReceived(400, 2000));
}

}  // namespace
}  // namespace vprinter
