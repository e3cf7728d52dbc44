#include "device_node.h"

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <climits>
#include <fstream>
#include <string>

namespace printer_app {
namespace {

// Device numbers of the kernel's fixed allocation.
constexpr unsigned kConsoleMajor = 4, kConsoleMinors = 64;  // tty0..tty63 share 4 with ttyS*
constexpr unsigned kTtyAuxMajor = 5;                        // /dev/tty, console, ptmx
constexpr unsigned kPtySlaveFirst = 136, kPtySlaveLast = 143;

// The sysfs directory of a character device, which names its subsystem and its node.
std::string SysfsOf(unsigned major, unsigned minor) {
  return "/sys/dev/char/" + std::to_string(major) + ":" + std::to_string(minor);
}

std::string SubsystemOf(const std::string& sysfs) {
  char target[PATH_MAX];
  const ssize_t length = readlink((sysfs + "/subsystem").c_str(), target, sizeof target - 1);
  if (length <= 0) return "";
  const std::string link(target, static_cast<size_t>(length));
  return link.substr(link.rfind('/') + 1);
}

// DEVNAME of the device's uevent ("usb/lp0"), or "".
std::string NodeNameOf(const std::string& sysfs) {
  std::ifstream uevent(sysfs + "/uevent");
  std::string line;
  constexpr char kKey[] = "DEVNAME=";
  while (std::getline(uevent, line)) {
    if (line.rfind(kKey, 0) == 0) return line.substr(sizeof kKey - 1);
  }
  return "";
}

}  // namespace

bool IsPrinterOrSerialNode(const char* path) {
  struct stat node;
  if (stat(path, &node) != 0 || !S_ISCHR(node.st_mode)) return false;
  const unsigned major = ::major(node.st_rdev), minor = ::minor(node.st_rdev);
  if (major >= kPtySlaveFirst && major <= kPtySlaveLast) return true;
  if (major == kTtyAuxMajor || (major == kConsoleMajor && minor < kConsoleMinors)) return false;
  const std::string sysfs = SysfsOf(major, minor);
  const std::string subsystem = SubsystemOf(sysfs);
  if (subsystem == "tty" || subsystem == "printer") return true;
  return subsystem == "usbmisc" && NodeNameOf(sysfs).rfind("usb/lp", 0) == 0;
}

}  // namespace printer_app
