// A CUPS scheduler of a test's own: its configuration, spool, cache, state and logs in a
// temporary folder of its own (open to CUPS's filter user, which a test's folder is not), listening on a free loopback port with no authentication, run in the
// foreground as the test's child and killed with it. Clients reach it through CUPS_SERVER,
// which Start sets for the test process and its children.
#ifndef TALLYJET_TESTS_PRIVATE_CUPSD_H
#define TALLYJET_TESTS_PRIVATE_CUPSD_H

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "../support/child_program.h"
#include "../support/loopback_sockets.h"

class PrivateCupsd {
 public:
  PrivateCupsd() {
    char dir[] = "/tmp/private_cupsd_XXXXXX";
    if (mkdtemp(dir) != nullptr) dir_ = dir;
  }
  ~PrivateCupsd() {
    daemon_.reset();
    unsetenv("CUPS_SERVER");
    if (!dir_.empty()) std::filesystem::remove_all(dir_);
  }
  PrivateCupsd(const PrivateCupsd&) = delete;
  PrivateCupsd& operator=(const PrivateCupsd&) = delete;

  // True once the scheduler answers lpstat.
  bool Start() {
    if (dir_.empty()) return false;
    for (const char* sub : {"root", "spool", "cache", "state", "log", "tmp"}) {
      std::filesystem::create_directories(dir_ + "/" + sub);
    }
    // The filters run as CUPS's own user and write their temporary files here.
    chmod((dir_ + "/tmp").c_str(), 01777);
    chmod(dir_.c_str(), 0755);
    const int port = OwnSocket().Port();
    std::ofstream(dir_ + "/root/cupsd.conf")
        << "Listen 127.0.0.1:" << port << "\n"
        << "LogLevel warn\nWebInterface No\nBrowsing No\nDefaultAuthType None\n"
        << "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
        << "<Policy default>\n  <Limit All>\n    Order deny,allow\n  </Limit>\n</Policy>\n"
        << "DefaultPolicy default\n";
    std::ofstream(dir_ + "/root/cups-files.conf")
        << "ServerRoot " << dir_ << "/root\nRequestRoot " << dir_ << "/spool\n"
        << "TempDir " << dir_ << "/tmp\nCacheDir " << dir_ << "/cache\n"
        << "StateDir " << dir_ << "/state\nErrorLog " << dir_ << "/log/error_log\n"
        << "AccessLog " << dir_ << "/log/access_log\nPageLog " << dir_ << "/log/page_log\n"
        << "Sandboxing Relaxed\n";
    setenv("CUPS_SERVER", ("127.0.0.1:" + std::to_string(port)).c_str(), 1);
    daemon_ = std::make_unique<ChildProgram>(std::vector<std::string>{
        CUPSD, "-f", "-c", dir_ + "/root/cupsd.conf", "-s", dir_ + "/root/cups-files.conf"});
    return Eventually([] { return OutputOf(LPSTAT " -r") == "scheduler is running\n"; });
  }

  // The queue's generated PPD, once the scheduler has written it; "" when it has not in time.
  std::string Ppd(const std::string& queue) const {
    const std::string path = dir_ + "/root/ppd/" + queue + ".ppd";
    Eventually([&path] { return Slurp(path).find("*End") != std::string::npos; }, 10000);
    return Slurp(path);
  }

  std::string ErrorLog() const { return Slurp(dir_ + "/log/error_log"); }

 private:
  std::string dir_;
  std::unique_ptr<ChildProgram> daemon_;
};

#endif  // TALLYJET_TESTS_PRIVATE_CUPSD_H
