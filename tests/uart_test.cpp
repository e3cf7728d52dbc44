// What only the serial line does, over a pty whose master side the test holds: its rates, raw
// 8N1 and the serial path of OpenPort.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <termios.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "comm_uart.h"
#include "connection.h"
#include "stopwatch.h"

namespace {

long CpuMs() {
  rusage usage;
  getrusage(RUSAGE_SELF, &usage);
  return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000L +
         (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000L;
}

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
    close(master_);
  }

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
// settings asked, through OpenPort and a printer handle alike, and the printer's line ends and
// flow-control bytes reach the caller unchanged.
TEST_F(PtyLine, EachAcceptedRateOpensRaw8N1) {
  for (const SpeedCase& c : kSpeeds) {
    SCOPED_TRACE(c.rate);
    tallyjet_printer* handle = nullptr;
    ASSERT_EQ(tallyjet_open(slave_.c_str(), c.rate, &handle), TALLYJET_SUCCESS);
    termios line;
    ASSERT_EQ(tcgetattr(master_, &line), 0);
    EXPECT_EQ(cfgetospeed(&line), c.constant);
    EXPECT_EQ(line.c_cflag & (CSIZE | PARENB | CSTOPB | CRTSCTS), tcflag_t{CS8 | CRTSCTS});
    ASSERT_EQ(tallyjet_close(handle), TALLYJET_SUCCESS);
    ASSERT_EQ(OpenPort(slave_.c_str(), c.rate, c.parity, c.dataBits, c.stopBits),
              TALLYJET_SUCCESS);
    ASSERT_EQ(tcgetattr(master_, &line), 0);
    EXPECT_EQ(cfgetospeed(&line), c.constant);
    EXPECT_EQ(cfgetispeed(&line), c.constant);
    EXPECT_EQ(line.c_cflag & (CSIZE | PARENB | CSTOPB | CRTSCTS), tcflag_t{CS8 | CRTSCTS});
    EXPECT_EQ(line.c_lflag & (ICANON | ECHO | ISIG), tcflag_t{0});
    ASSERT_EQ(write(master_, "\r\n\x11", 3), 3);
    char answer[8];
    EXPECT_EQ(GetData(answer, sizeof answer), 3);
    EXPECT_EQ(std::string(answer, 3), "\r\n\x11");
    ASSERT_EQ(ClosePort(), TALLYJET_SUCCESS);
  }
}

// A refused rate skips Open (-4 rather than -3), keeps the previous rate, and still sets the
// 300 ms read time-out, which a read with nothing arriving sleeps out, not spins, to find 0.
TEST_F(PtyLine, RefusedRateSkipsOpenButSetsTheTimeout) {
  EXPECT_EQ(OpenPort(slave_.c_str(), 38400, 'N', 8, 1), TALLYJET_ERR_PORT_NOT_OPEN);
  CommUart* uart = dynamic_cast<CommUart*>(comm_);
  ASSERT_NE(uart, nullptr);
  EXPECT_FALSE(uart->IsOpen());
  ASSERT_EQ(uart->Open(slave_.c_str()), TALLYJET_SUCCESS);
  termios line;
  ASSERT_EQ(tcgetattr(master_, &line), 0);
  EXPECT_EQ(cfgetospeed(&line), speed_t{B115200});
  const long cpuBefore = CpuMs();
  const Stopwatch watch;
  char answer[4];
  EXPECT_EQ(GetData(answer, sizeof answer), 0);
  EXPECT_GE(watch.Ms(), 280);
  EXPECT_LT(watch.Ms(), 2000);
  EXPECT_LT(CpuMs() - cpuBefore, 100);
}

// Wall-clock milliseconds since 946,080,000 s after the epoch, wrapped to 32 bits.
TEST(Uart, CurrentTimeFollowsTheWallClock) {
  const uint32_t expected = static_cast<uint32_t>(time(nullptr) - 946080000) * 1000u;
  EXPECT_LT(GetCurrentTime() - expected, 2000u);
}

}  // namespace
