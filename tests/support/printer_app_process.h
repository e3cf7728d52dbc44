// The printer application as a server on a free loopback port, with its state, spool, log and
// sockets in a directory of its own, and the client steps a test takes against it (ipptool, the
// application's own sub-commands, the web page). The server is killed by its process id
// whatever happens; it can be stopped and started again on the same directory and port.
#ifndef TALLYJET_TESTS_PRINTER_APP_PROCESS_H
#define TALLYJET_TESTS_PRINTER_APP_PROCESS_H

#include <stdlib.h>

#include <deque>
#include <filesystem>
#include <memory>
#include <numeric>
#include <sstream>
#include <string>
#include <vector>

#include "child_program.h"
#include "loopback_sockets.h"

// An ipptool test of one operation on $uri that expects it to succeed, with the operation
// attributes (and a FILE) given after the ones every request carries.
inline std::string IppOperation(const std::string& operation, const std::string& attributes) {
  return "{\n OPERATION " + operation +
         "\n GROUP operation-attributes-tag\n"
         " ATTR charset attributes-charset utf-8\n"
         " ATTR naturalLanguage attributes-natural-language en\n"
         " ATTR uri printer-uri $uri\n " +
         attributes + "\n STATUS successful-ok\n}\n";
}

class PrinterAppProcess {
 public:
  // Makes the directory; HOME, TMPDIR and SNAP_COMMON point there from now on, for the server
  // and every client (PAPPL finds a root server's socket and state through SNAP_COMMON).
  PrinterAppProcess() : port_(OwnSocket().Port()) {
    char directory[] = "/tmp/printer_app_test_XXXXXX";
    EXPECT_NE(mkdtemp(directory), nullptr);
    dir_ = directory;
    for (const char* name : {"HOME", "TMPDIR", "SNAP_COMMON"}) setenv(name, dir_.c_str(), 1);
  }
  ~PrinterAppProcess() {
    server_.reset();
    std::filesystem::remove_all(dir_);
  }
  PrinterAppProcess(const PrinterAppProcess&) = delete;
  PrinterAppProcess& operator=(const PrinterAppProcess&) = delete;

  // Starts the server and waits until its web page answers.
  ::testing::AssertionResult Start() {
    server_ = std::make_unique<ChildProgram>(std::vector<std::string>{
        PRINTER_APP, "server", "-o", "server-port=" + std::to_string(port_), "-o",
        "log-file=" + dir_ + "/log", "-o", "spool-directory=" + dir_, "-o", "log-level=info"});
    if (Eventually([this] { return !Web("/").empty(); })) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "no server: " << server_->Errors() << Problems();
  }

  // Sends the server signal and answers its exit code (see ChildProgram::Stop).
  int Stop(int signal = SIGTERM) { return server_ != nullptr ? server_->Stop(signal) : -1; }

  const std::string& Directory() const { return dir_; }
  std::string Log() const { return Slurp(dir_ + "/log"); }
  // The log's last warnings and errors, for a failure message.
  std::string Problems() const {
    std::istringstream lines(Log());
    std::deque<std::string> problems;
    for (std::string line; std::getline(lines, line);) {
      if (line.rfind("W ", 0) != 0 && line.rfind("E ", 0) != 0) continue;
      problems.push_back(line + "\n");
      if (problems.size() > 20) problems.pop_front();
    }
    return std::accumulate(problems.begin(), problems.end(), std::string());
  }
  std::string Errors() const { return server_ != nullptr ? server_->Errors() : ""; }
  std::string StateFile() const { return dir_ + "/tallyjet-printer-app.state"; }

  // What the application's sub-command with these arguments writes.
  std::string App(const std::string& arguments) const {
    return OutputOf(std::string(PRINTER_APP) + " " + arguments);
  }

  // Adds a printer of the 80 mm driver on a virtual printer's pty; whether it is listed then.
  bool AddPrinter(const std::string& name, const std::string& slavePath) const {
    App("add -d " + name + " -m tallyjet_80mm -v tallyjet://" + slavePath);
    return App("printers").find(name + "\n") != std::string::npos;
  }

  // The server's web page at path, or "" while nothing answers there.
  std::string Web(const std::string& path) const {
    return OutputOf(std::string(CURL) + " -s http://127.0.0.1:" + std::to_string(port_) + path);
  }

  std::string PrinterUri(const std::string& printer) const {
    return "ipp://127.0.0.1:" + std::to_string(port_) + "/ipp/print/" + printer;
  }

  // The attribute's value as ipptool shows it ("completed", "media-empty,offline"), or "", from
  // ipptool run with these arguments.
  static std::string Attribute(const std::string& arguments, const std::string& name) {
    const std::string output = OutputOf(std::string(IPPTOOL) + " -tv " + arguments);
    const std::string key = "        " + name + " (";
    const size_t at = output.find(key);
    if (at == std::string::npos) return "";
    const size_t value = output.find(" = ", at) + 3;
    return output.substr(value, output.find('\n', value) - value);
  }

  std::string JobAttribute(const std::string& printer, int job, const std::string& name) const {
    return Attribute(PrinterUri(printer) + "/" + std::to_string(job) + " get-job-attributes.test",
                     name);
  }

  std::string JobState(const std::string& printer, int job) const {
    return JobAttribute(printer, job, "job-state");
  }

  std::string PrinterReasons(const std::string& printer) const {
    return Attribute(PrinterUri(printer) + " get-printer-attributes.test", "printer-state-reasons");
  }

  // Submits a file and answers its job id, or 0.
  int Submit(const std::string& printer, const std::string& path, const char* format) const {
    const std::string id = Attribute(
        "-f " + path + " -d filetype=" + format + " " + PrinterUri(printer) + " print-job.test",
        "job-id");
    return id.empty() ? 0 : std::stoi(id);
  }

 private:
  std::string dir_;
  int port_;
  std::unique_ptr<ChildProgram> server_;
};

#endif  // TALLYJET_TESTS_PRINTER_APP_PROCESS_H
