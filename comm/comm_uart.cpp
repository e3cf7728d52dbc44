#include "comm_uart.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <cstring>
#include <ctime>

#include "fd_io.h"

namespace {

struct LineSpeed {
  int rate;
  speed_t constant;
};

constexpr LineSpeed kLineSpeeds[] = {{9600, B9600}, {19200, B19200}, {115200, B115200}};
constexpr int kDefaultRate = 115200;

// Every write waits this long first: with RTS/CTS it is the only pacing between commands.
constexpr useconds_t kWritePauseUs = 5000;

// An 8N1 character is ten bit times on the line.
constexpr int64_t kBitsPerCharacter = 10;
// A write may take twice its line time, since the printer holds CTS while it prints, plus this
// allowance for a printer that is busy with a feed or a cut when the write starts.
constexpr int64_t kWriteAllowanceMs = 1000;
// Close gives up on what is still queued once the line has sent nothing for this long.
constexpr int kQueueStallMs = 10000;

// 946,080,000 s after the Unix epoch (10,950 days): the origin of GetCurrentTime.
constexpr uint32_t kClockOriginSeconds = 946080000u;

const LineSpeed* FindSpeed(int rate) {
  for (const LineSpeed& speed : kLineSpeeds) {
    if (speed.rate == rate) return &speed;
  }
  return nullptr;
}

int64_t WriteBudgetMs(int length, int rate) {
  const int64_t lineMs = int64_t{length} * kBitsPerCharacter * 1000 / rate;
  return 2 * lineMs + kWriteAllowanceMs;
}

// Raw 8N1 with RTS/CTS: a zeroed record, so no echo, no canonical mode, no translation and
// VMIN = VTIME = 0 (a read returns at once with what is there). Failures here go unreported:
// a path that opens but is not a terminal is still usable as a byte stream.
void ConfigureRaw(int fd, speed_t speed) {
  termios attributes;
  memset(&attributes, 0, sizeof attributes);
  attributes.c_cflag = CS8 | CREAD | CLOCAL | CRTSCTS;
  cfsetispeed(&attributes, speed);
  cfsetospeed(&attributes, speed);
  tcflush(fd, TCIFLUSH);
  tcflush(fd, TCOFLUSH);
  tcsetattr(fd, TCSANOW, &attributes);
}

}  // namespace

CommUart::CommUart() : baudRate_(kDefaultRate), timeout_(0) {}

CommUart::~CommUart() { Close(); }

int CommUart::Open(const char* path) {
  if (fd_ != 0) close(fdio::DescriptorOf(fd_));
  // 0 means that nothing is open, so a descriptor that took the place of a closed standard
  // stream (a daemon's) is moved above them.
  fd_ = fdio::MoveAboveStandardStreams(open(path, O_RDWR | O_NOCTTY | O_NONBLOCK));
  if (fd_ < 0) {
    fd_ = 0;  // nothing held: Close and the commands answer -4, and IsOpen is false
    return TALLYJET_ERR_PORT_NOT_OPEN;
  }
  ConfigureRaw(fd_, FindSpeed(baudRate_)->constant);
  return TALLYJET_SUCCESS;
}

// Waits while the line sends what is still queued, for as long as bytes keep going out (the
// printer's flow control may hold them back for a while), so that closing cuts nothing off.
int CommUart::Close() {
  if (fd_ == 0) return TALLYJET_ERR_PORT_NOT_OPEN;
  const int fd = fdio::DescriptorOf(fd_);
  const bool delivered = !fdio::IsBroken(fd_) && fdio::WaitForQueuedOutput(fd, kQueueStallMs);
  if (close(fd) != 0) return TALLYJET_ERR_FAILED;
  fd_ = 0;
  return delivered ? TALLYJET_SUCCESS : TALLYJET_ERR_FAILED;
}

int CommUart::Write(const char* data, int length) {
  if (fd_ == 0) return TALLYJET_ERR_PORT_NOT_OPEN;
  if (length < 0) return TALLYJET_ERR_INVALID_ARGUMENT;
  usleep(kWritePauseUs);
  if (length == 0 || fdio::IsBroken(fd_)) return TALLYJET_ERR_FAILED;
  // The descriptor is non-blocking: what the full output buffer does not take now goes out as
  // the line drains, until the deadline. A write that fails leaves the link broken.
  const int64_t deadline = fdio::MonotonicMs() + WriteBudgetMs(length, baudRate_);
  if (fdio::WriteAll(fd_, data, length, deadline, fdio::kNoStallLimit)) return TALLYJET_SUCCESS;
  fd_ = fdio::MarkBroken(fd_);
  return TALLYJET_ERR_FAILED;
}

// The time-out runs on the monotonic clock, so a step of the wall clock neither stretches a read
// nor cuts it short. The call sleeps in poll until data arrives. A line that failed or hung up
// answers -16 at once rather than 0, which would read as a printer that has not answered yet.
int CommUart::Read(char* buffer, int length) {
  if (fd_ == 0) return TALLYJET_ERR_PORT_NOT_OPEN;
  if (length < 0) return TALLYJET_ERR_INVALID_ARGUMENT;
  const int got =
      fdio::ReadFirst(fdio::DescriptorOf(fd_), buffer, length, fdio::MonotonicMs() + timeout_);
  return got < 0 ? TALLYJET_ERR_SERIAL_TIMEOUT : got;
}

void CommUart::SetTimeout(int milliseconds) { timeout_ = milliseconds; }

// A path that is not a terminal has no input queue to flush; it is read empty instead.
void CommUart::DiscardInput() {
  if (fd_ == 0) return;
  const int fd = fdio::DescriptorOf(fd_);
  if (tcflush(fd, TCIFLUSH) != 0) fdio::DiscardInput(fd);
}

// Hardware flow control is always on.
void CommUart::SetFlowControl(int) {}

// Only the rate matters: the line is always 8 data bits, no parity, one stop bit.
int CommUart::SetPortSettings(int baudRate, char, int, int) {
  if (FindSpeed(baudRate) == nullptr) return TALLYJET_ERR_INVALID_ARGUMENT;
  baudRate_ = baudRate;
  return TALLYJET_SUCCESS;
}

// Wall-clock milliseconds since the origin above, in 32-bit unsigned arithmetic: the value
// wraps every 2^32 ms (about 49.7 days).
uint32_t GetCurrentTime() {
  timespec now;
  clock_gettime(CLOCK_REALTIME, &now);
  const uint32_t seconds = static_cast<uint32_t>(now.tv_sec) - kClockOriginSeconds;
  return seconds * 1000u + static_cast<uint32_t>(now.tv_nsec / 1000000);
}
