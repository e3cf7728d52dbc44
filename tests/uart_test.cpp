// The serial transport and the serial path of OpenPort over a real pty: the test holds the
// master side, where a printer would be.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/resource.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "comm_uart.h"
#include "connection.h"
#include "tallyjet.h"

namespace {

using Clock = std::chrono::steady_clock;

long ElapsedMs(Clock::time_point since) {
  return static_cast<long>(
      std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - since).count());
}

long CpuMs() {
  rusage usage;
  getrusage(RUSAGE_SELF, &usage);
  return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000L +
         (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000L;
}

// The printer's end of the line.
class PtyLine : public ::testing::Test {
 protected:
  void SetUp() override {
    master_ = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master_, 0);
    ASSERT_EQ(grantpt(master_), 0);
    ASSERT_EQ(unlockpt(master_), 0);
    slave_ = ptsname(master_);
    ASSERT_EQ(SetProtocol(TALLYJET_PROTOCOL_ESCPOS), TALLYJET_SUCCESS);
  }
  void TearDown() override {
    ClosePort();
    HangUp();
  }

  void HangUp() {
    if (master_ >= 0) close(master_);
    master_ = -1;
  }

  // Everything the printer receives within timeoutMs, up to count bytes.
  std::string Receive(size_t count, int timeoutMs) {
    std::string got;
    const Clock::time_point start = Clock::now();
    char chunk[4096];
    while (got.size() < count && ElapsedMs(start) < timeoutMs) {
      pollfd entry{master_, POLLIN, 0};
      if (poll(&entry, 1, 50) <= 0) continue;
      const ssize_t n = read(master_, chunk, sizeof chunk);
      if (n > 0) got.append(chunk, static_cast<size_t>(n));
    }
    return got;
  }

  void Send(const std::string& bytes) {
    ASSERT_EQ(write(master_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  }

  static CommUart* Uart() { return dynamic_cast<CommUart*>(comm_); }

  int master_ = -1;
  std::string slave_;
};

struct SpeedCase {
  int rate;
  speed_t constant;
  char parity;
  int dataBits;
  int stopBits;
};

const SpeedCase kSpeeds[] = {
    {9600, B9600, 'N', 8, 1},
    {19200, B19200, 'E', 7, 2},
    {115200, B115200, 'O', 8, 2},
};

// Each accepted rate opens the line raw 8N1 with RTS/CTS at that rate, whatever the other
// settings asked, and bytes pass both ways unchanged.
TEST_F(PtyLine, EachAcceptedRateOpensRaw8N1) {
  for (const SpeedCase& c : kSpeeds) {
    SCOPED_TRACE(c.rate);
    ASSERT_EQ(OpenPort(slave_.c_str(), c.rate, c.parity, c.dataBits, c.stopBits),
              TALLYJET_SUCCESS);
    termios line;
    ASSERT_EQ(tcgetattr(master_, &line), 0);
    EXPECT_EQ(cfgetospeed(&line), c.constant);
    EXPECT_EQ(cfgetispeed(&line), c.constant);
    EXPECT_EQ(line.c_cflag & (CSIZE | PARENB | CSTOPB | CRTSCTS), tcflag_t{CS8 | CRTSCTS});
    EXPECT_EQ(line.c_lflag & (ICANON | ECHO | ISIG), tcflag_t{0});

    const std::string command("\x1b\x40\n\r\x11\x13\xff", 7);
    ASSERT_EQ(SendData(command.data(), static_cast<int>(command.size())), TALLYJET_SUCCESS);
    EXPECT_EQ(Receive(command.size(), 1000), command);
    Send("\r\n\x11");
    char answer[8];
    EXPECT_EQ(GetData(answer, sizeof answer), 3);
    EXPECT_EQ(std::string(answer, 3), "\r\n\x11");
    ASSERT_EQ(ClosePort(), TALLYJET_SUCCESS);
  }
}

// A refused rate skips Open (-4 rather than -3), keeps the previous rate, and still sets the
// 300 ms read time-out. With nothing arriving the read sleeps for about the time-out instead of
// spinning, and finds 0.
TEST_F(PtyLine, RefusedRateSkipsOpenButSetsTheTimeout) {
  EXPECT_EQ(OpenPort(slave_.c_str(), 38400, 'N', 8, 1), TALLYJET_ERR_PORT_NOT_OPEN);
  ASSERT_NE(Uart(), nullptr);
  EXPECT_FALSE(Uart()->IsOpen());
  ASSERT_EQ(Uart()->Open(slave_.c_str()), TALLYJET_SUCCESS);
  termios line;
  ASSERT_EQ(tcgetattr(master_, &line), 0);
  EXPECT_EQ(cfgetospeed(&line), speed_t{B115200});
  const long cpuBefore = CpuMs();
  const Clock::time_point start = Clock::now();
  char answer[4];
  EXPECT_EQ(GetData(answer, sizeof answer), 0);
  EXPECT_GE(ElapsedMs(start), 280);
  EXPECT_LT(ElapsedMs(start), 2000);
  EXPECT_LT(CpuMs() - cpuBefore, 100);
}

// An answer that arrives in two pieces: the read gives back the first piece as soon as it is
// there and never gathers the second.
TEST_F(PtyLine, ReadAnswersTheFirstPieceOnly) {
  ASSERT_EQ(OpenPort(slave_.c_str(), 19200, 'N', 8, 1), TALLYJET_SUCCESS);
  std::thread printer([this] {
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
    Send("AB");
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    Send("CD");
  });
  const Clock::time_point start = Clock::now();
  char answer[16];
  const int got = GetData(answer, sizeof answer);
  const long waited = ElapsedMs(start);
  printer.join();
  ASSERT_EQ(got, 2);
  EXPECT_EQ(std::string(answer, 2), "AB");
  EXPECT_GE(waited, 50);
  EXPECT_LT(waited, 200);
  EXPECT_EQ(GetData(answer, sizeof answer), 2);
  EXPECT_EQ(std::string(answer, 2), "CD");
}

// The printer went away: a write fails, and a read fails without waiting for a line that can
// no longer answer.
TEST_F(PtyLine, HungUpLineFailsWritesAndEndsReads) {
  ASSERT_EQ(OpenPort(slave_.c_str(), 9600, 'N', 8, 1), TALLYJET_SUCCESS);
  HangUp();
  EXPECT_EQ(SendData("x", 1), TALLYJET_ERR_FAILED);
  const Clock::time_point start = Clock::now();
  char answer[4];
  EXPECT_EQ(GetData(answer, sizeof answer), TALLYJET_ERR_SERIAL_TIMEOUT);
  EXPECT_LT(ElapsedMs(start), 200);
}

TEST_F(PtyLine, ReopenClosesTheHeldDescriptor) {
  CommUart uart;
  ASSERT_EQ(uart.Open(slave_.c_str()), TALLYJET_SUCCESS);
  const int probe = dup(0);
  close(probe);
  ASSERT_EQ(uart.Open(slave_.c_str()), TALLYJET_SUCCESS);
  const int next = dup(0);
  close(next);
  EXPECT_EQ(next, probe);
}

TEST_F(PtyLine, LengthsOutsideTheWrittenRange) {
  CommUart uart;
  ASSERT_EQ(uart.Open(slave_.c_str()), TALLYJET_SUCCESS);
  char buffer[1] = {'x'};
  EXPECT_EQ(uart.Write(buffer, 0), TALLYJET_ERR_FAILED);
  EXPECT_EQ(uart.Write(buffer, -1), TALLYJET_ERR_INVALID_ARGUMENT);
  EXPECT_EQ(uart.Read(buffer, -1), TALLYJET_ERR_INVALID_ARGUMENT);
  EXPECT_EQ(Receive(1, 100), "");
}

TEST(Uart, NeverOpenedAndTwiceClosed) {
  CommUart uart;
  char buffer[1] = {'x'};
  EXPECT_EQ(uart.Write(buffer, 1), TALLYJET_ERR_PORT_NOT_OPEN);
  EXPECT_EQ(uart.Read(buffer, 1), TALLYJET_ERR_PORT_NOT_OPEN);
  EXPECT_EQ(uart.Close(), TALLYJET_ERR_PORT_NOT_OPEN);
  ASSERT_EQ(uart.Open("/dev/null"), TALLYJET_SUCCESS);
  EXPECT_EQ(uart.Close(), TALLYJET_SUCCESS);
  EXPECT_EQ(uart.Close(), TALLYJET_ERR_PORT_NOT_OPEN);
}

// A path that does not open leaves the transport failed rather than closed.
TEST(Uart, FailedOpenFailsEveryTransfer) {
  CommUart uart;
  uart.SetTimeout(50);
  EXPECT_EQ(uart.Open("/nonexistent/tty"), TALLYJET_ERR_PORT_NOT_OPEN);
  char buffer[1] = {'x'};
  EXPECT_EQ(uart.Write(buffer, 1), TALLYJET_ERR_FAILED);
  EXPECT_EQ(uart.Read(buffer, 1), TALLYJET_ERR_SERIAL_TIMEOUT);
  EXPECT_EQ(uart.Close(), TALLYJET_ERR_FAILED);
}

// Wall-clock milliseconds since 946,080,000 s after the epoch, wrapped to 32 bits.
TEST(Uart, CurrentTimeFollowsTheWallClock) {
  const uint32_t expected = static_cast<uint32_t>(time(nullptr) - 946080000) * 1000u;
  EXPECT_LT(GetCurrentTime() - expected, 2000u);
}

}  // namespace
