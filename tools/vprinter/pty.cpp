#include "pty.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cstdlib>

namespace vprinter {
namespace {

// A fresh pty echoes its input and turns LF into CR LF; a printer line does neither.
bool MakeRaw(int fd) {
  termios settings;
  if (tcgetattr(fd, &settings) != 0) return false;
  cfmakeraw(&settings);
  return tcsetattr(fd, TCSANOW, &settings) == 0;
}

bool IsSymlink(const std::string& path) {
  struct stat info;
  return lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode);
}

}  // namespace

bool Pty::Open(const std::string& linkPath) {
  master_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
  char name[128];
  bool ok = master_ >= 0 && grantpt(master_) == 0 && unlockpt(master_) == 0 &&
            ptsname_r(master_, name, sizeof name) == 0;
  if (ok) {
    slaveName_ = name;
    slave_ = open(name, O_RDWR | O_NOCTTY);
    ok = slave_ >= 0 && MakeRaw(slave_);
  }
  if (ok && !linkPath.empty()) {
    if (IsSymlink(linkPath)) unlink(linkPath.c_str());
    ok = symlink(name, linkPath.c_str()) == 0;
    if (ok) link_ = linkPath;
  }
  if (!ok) Close();
  return ok;
}

void Pty::Close() {
  if (!link_.empty()) unlink(link_.c_str());
  if (slave_ >= 0) close(slave_);
  if (master_ >= 0) close(master_);
  master_ = slave_ = -1;
  slaveName_.clear();
  link_.clear();
}

}  // namespace vprinter
