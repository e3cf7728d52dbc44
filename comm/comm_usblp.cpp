#include "comm_usblp.h"

#include <fcntl.h>
#include <unistd.h>

namespace {

// A descriptor is 0 when nothing is held, a failed open included.
bool HoldsDescriptor(int fd) { return fd != 0 && fd != -1; }

}  // namespace

CommUsbLP::CommUsbLP() = default;

CommUsbLP::~CommUsbLP() { Close(); }

int CommUsbLP::Open(const char* path) {
  if (path == nullptr) return TALLYJET_ERR_INVALID_ARGUMENT;
  if (HoldsDescriptor(fd_)) close(fd_);
  fd_ = open(path, O_RDWR);
  if (fd_ != -1) return TALLYJET_SUCCESS;
  fd_ = 0;  // nothing held: Close and the commands answer -4, and IsOpen is false
  return TALLYJET_ERR_PORT_NOT_OPEN;
}

int CommUsbLP::Close() {
  if (fd_ == 0) return TALLYJET_ERR_PORT_NOT_OPEN;
  if (close(fd_) != 0) return TALLYJET_ERR_CLOSE;
  fd_ = 0;
  return TALLYJET_SUCCESS;
}

bool CommUsbLP::IsOpen() { return fd_ != 0; }

int CommUsbLP::Write(const char* data, int length) {
  if (!HoldsDescriptor(fd_)) return TALLYJET_ERR_PORT_NOT_OPEN;
  if (length < 0) return TALLYJET_ERR_INVALID_ARGUMENT;
  const ssize_t written = write(fd_, data, static_cast<size_t>(length));
  return written == length ? TALLYJET_SUCCESS : TALLYJET_ERR_FAILED;
}

int CommUsbLP::Read(char* buffer, int length) {
  if (!HoldsDescriptor(fd_)) return TALLYJET_ERR_PORT_NOT_OPEN;
  if (length < 0) return TALLYJET_ERR_INVALID_ARGUMENT;
  const ssize_t got = read(fd_, buffer, static_cast<size_t>(length));
  return got < 0 ? TALLYJET_ERR_READ : static_cast<int>(got);
}
