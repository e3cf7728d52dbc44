#include "input_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>

#include "failure.h"

namespace {

// Bytes per read: one write to the printer each, and all the memory a stream takes.
constexpr size_t kPiece = 64 * 1024;

const char* KindOf(mode_t mode) {
  if (S_ISDIR(mode)) return "a directory";
  if (S_ISFIFO(mode)) return "a FIFO";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
  if (S_ISSOCK(mode)) return "a socket";
  return "not a regular file";
}

// Opens path without waiting (a FIFO would wait for a writer) and keeps the descriptor only for
// a regular file; -1 after reporting why not.
int OpenRegular(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    Complain("cannot read " + path + ": " + strerror(errno));
    return -1;
  }
  struct stat about;
  if (fstat(fd, &about) != 0) {
    Complain("cannot read " + path + ": " + strerror(errno));
    close(fd);
    return -1;
  }
  if (!S_ISREG(about.st_mode)) {
    Complain(path + " is " + KindOf(about.st_mode) + ": give a regular file");
    close(fd);
    return -1;
  }
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  return fd;
}

}  // namespace

bool CheckRegularFile(const std::string& path) {
  const int fd = OpenRegular(path);
  if (fd >= 0) close(fd);
  return fd >= 0;
}

InputFile::~InputFile() {
  if (fd_ > STDERR_FILENO) close(fd_);
}

bool InputFile::Open(const std::string& path) {
  name_ = path == "-" ? "standard input" : path;
  fd_ = path == "-" ? STDIN_FILENO : OpenRegular(path);
  return fd_ >= 0;
}

bool InputFile::ReadPieces(const std::function<bool(const char*, size_t)>& use) {
  const std::unique_ptr<char[]> piece(new char[kPiece]);
  for (;;) {
    const ssize_t got = read(fd_, piece.get(), kPiece);
    if (got == 0) return true;
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      Complain("reading " + name_ + " failed: " + strerror(errno));
      return false;
    }
    if (!use(piece.get(), static_cast<size_t>(got))) return false;
  }
}
