// The printer application as the packaged service runs it: as an unprivileged user of its own
// (here nobody), its state under XDG_CONFIG_HOME and its local socket under TMPDIR, in
// directories that user alone writes. Root's sub-commands reach it through a link where they
// look for a root server's socket, as the unit makes one.
#include <grp.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "../support/child_program.h"
#include "../support/loopback_sockets.h"
#include "virtual_printer.h"

namespace {

namespace fs = std::filesystem;

// A directory the test makes for the service's user.
std::string OwnedDirectory(const std::string& path, const passwd* user, mode_t mode) {
  fs::create_directories(path);
  EXPECT_EQ(chown(path.c_str(), user->pw_uid, user->pw_gid), 0) << path;
  EXPECT_EQ(chmod(path.c_str(), mode), 0) << path;
  return path;
}

TEST(PrinterAppService, RunsAsItsOwnUserAndKeepsItsPrinters) {
  const passwd* nobody = getpwnam("nobody");
  ASSERT_NE(nobody, nullptr);
  char scratch[] = "/tmp/printer_app_service_XXXXXX";
  ASSERT_NE(mkdtemp(scratch), nullptr);
  const std::string dir = scratch;
  ASSERT_EQ(chmod(scratch, 0755), 0);
  // The programs where the user may run them, whatever the build tree's permissions.
  const std::string bin = dir + "/bin";
  fs::create_directories(bin);
  for (const char* file : {PRINTER_APP, TALLYJET_LIBRARY}) {
    fs::copy_file(file, bin + "/" + fs::path(file).filename().string());
  }
  fs::create_symlink(fs::path(TALLYJET_LIBRARY).filename(), bin + "/libtallyjet-linux.so.1");
  const std::string state = OwnedDirectory(dir + "/state", nobody, 0700);
  const std::string run = OwnedDirectory(dir + "/run", nobody, 0750);
  const std::string spool = OwnedDirectory(dir + "/spool", nobody, 0700);
  const std::string socket =
      run + "/tallyjet-printer-app" + std::to_string(nobody->pw_uid) + ".sock";
  // Root's sub-commands look in SNAP_COMMON (in /run for the service) and follow the link.
  fs::create_directories(dir + "/root");
  fs::create_symlink(socket, dir + "/root/tallyjet-printer-app.sock");
  for (const char* name : {"HOME", "TMPDIR", "SNAP_COMMON"})
    setenv(name, (dir + "/root").c_str(), 1);

  vprinter::Options options;
  options.linkPath = dir + "/printer";
  vprinter::VirtualPrinter printer(options);
  ASSERT_TRUE(printer.Start());
  ASSERT_EQ(chmod(printer.SlavePath().c_str(), 0666), 0);  // a tty of group dialout, as it were

  const int port = OwnSocket().Port();
  auto start = [&] {
    return std::make_unique<ChildProgram>(std::vector<std::string>{
        "/usr/bin/setpriv", "--reuid=" + std::to_string(nobody->pw_uid),
        "--regid=" + std::to_string(nobody->pw_gid), "--clear-groups", "/usr/bin/env", "-u",
        "SNAP_COMMON", "XDG_CONFIG_HOME=" + state, "TMPDIR=" + run, "LD_LIBRARY_PATH=" + bin,
        bin + "/tallyjet-printer-app", "server", "-o", "server-port=" + std::to_string(port), "-o",
        "log-file=" + run + "/log", "-o", "spool-directory=" + spool});
  };
  const std::string web = std::string(CURL) + " -s http://127.0.0.1:" + std::to_string(port) + "/";
  auto app = [](const std::string& arguments) {
    return OutputOf(std::string(PRINTER_APP) + " " + arguments);
  };

  auto server = start();
  ASSERT_TRUE(Eventually([&] { return !OutputOf(web).empty(); })) << server->Errors();
  ASSERT_TRUE(Eventually([&] { return fs::exists(socket); }));
  app("add -d receipt -m tallyjet_80mm -v tallyjet://" + options.linkPath);
  EXPECT_EQ(app("printers"), "receipt\n") << Slurp(run + "/log");
  const std::string text = dir + "/root/order.txt";
  std::ofstream(text) << "one coffee\n";
  app("submit -d receipt " + text);
  EXPECT_TRUE(Eventually([&] {
    return printer.Received().find("one coffee") != std::string::npos;
  })) << Slurp(run + "/log");

  struct stat info {};
  ASSERT_EQ(stat((state + "/tallyjet-printer-app.state").c_str(), &info), 0);
  EXPECT_EQ(info.st_uid, nobody->pw_uid);
  ASSERT_EQ(lstat(socket.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & S_IRWXO, 0u) << std::oct << info.st_mode;

  EXPECT_EQ(server->Stop(SIGTERM), 0);
  server = start();
  ASSERT_TRUE(Eventually([&] { return !OutputOf(web).empty(); })) << server->Errors();
  EXPECT_EQ(app("printers"), "receipt\n") << Slurp(run + "/log");
  EXPECT_EQ(server->Stop(SIGTERM), 0);
  fs::remove_all(dir);
}

}  // namespace
