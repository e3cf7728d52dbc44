// A program a test runs as its child: standard input from a file, standard output and error into
// files of its own. Every wait has a bound, and a child still running when its object goes is
// killed, as is every child of a test process that dies.
#ifndef TALLYJET_TESTS_CHILD_PROGRAM_H
#define TALLYJET_TESTS_CHILD_PROGRAM_H

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

inline std::string Slurp(const std::string& path) {
  std::stringstream bytes;
  bytes << std::ifstream(path, std::ios::binary).rdbuf();
  return bytes.str();
}

// Whether done() comes true within timeoutMs; it is asked again after pauses that grow from
// 5 ms to 100 ms, so that quick things are seen at once and slow ones are not asked too often.
inline bool Eventually(const std::function<bool()>& done, int timeoutMs = 20000) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (int pauseMs = 5; !done(); pauseMs = std::min(2 * pauseMs, 100)) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(pauseMs));
  }
  return true;
}

// The words of line, split at spaces: a command line without quoting.
inline std::vector<std::string> Words(const std::string& line) {
  std::istringstream in(line);
  std::vector<std::string> words;
  for (std::string word; in >> word;) words.push_back(word);
  return words;
}

class ChildProgram {
 public:
  // Starts args[0] with args, input on its standard input. The child only opens, duplicates and
  // executes: what needs memory is made before the fork, as other threads may hold its lock.
  explicit ChildProgram(const std::vector<std::string>& args, const std::string& input = "") {
    std::ofstream(Path("in"), std::ios::binary) << input;
    const std::string in = Path("in"), out = Path("out"), err = Path("err");
    std::vector<char*> argv;
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    pid_ = fork();
    if (pid_ != 0) return;
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    dup2(open(in.c_str(), O_RDONLY), STDIN_FILENO);
    dup2(open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), STDOUT_FILENO);
    dup2(open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), STDERR_FILENO);
    execv(argv[0], argv.data());
    _exit(127);
  }
  ~ChildProgram() {
    Stop(SIGKILL);
    for (const char* name : {"in", "out", "err"}) unlink(Path(name).c_str());
  }
  ChildProgram(const ChildProgram&) = delete;
  ChildProgram& operator=(const ChildProgram&) = delete;

  std::string Output() const { return Slurp(Path("out")); }
  std::string Errors() const { return Slurp(Path("err")); }

  // The first line of its standard output without its end; all it wrote when no line comes in 5 s.
  std::string FirstLine() const {
    std::string out;
    Eventually([&] { return (out = Output()).find('\n') != std::string::npos; }, 5000);
    return out.substr(0, out.find('\n'));
  }

  // Waits up to 30 s for it to end, then kills it; its exit code, -1 when a signal ended it or it
  // was waited for before.
  int Wait() {
    if (pid_ <= 0) return -1;
    // A descriptor of the process that turns readable when it ends.
    pollfd ended = {static_cast<int>(syscall(SYS_pidfd_open, pid_, 0)), POLLIN, 0};
    if (ended.fd >= 0 && poll(&ended, 1, 30000) != 1) kill(pid_, SIGKILL);
    if (ended.fd >= 0) close(ended.fd);
    int status = 0;
    waitpid(pid_, &status, 0);
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  // Sends it signal unless it has ended; its exit code as Wait() answers it.
  int Stop(int signal = SIGTERM) {
    if (pid_ > 0) kill(pid_, signal);
    return Wait();
  }

 private:
  std::string Path(const char* name) const { return prefix_ + name; }

  inline static int count_ = 0;
  // Named by process, as other build trees may run the same test at the same time.
  const std::string prefix_ = ::testing::TempDir() + "child-" + std::to_string(getpid()) + "-" +
                              std::to_string(++count_) + "-";
  pid_t pid_ = -1;
};

// What the program whose path and arguments line holds writes, on standard output and then on
// standard error, once it has ended.
inline std::string OutputOf(const std::string& line) {
  ChildProgram program(Words(line));
  program.Wait();
  return program.Output() + program.Errors();
}

#endif  // TALLYJET_TESTS_CHILD_PROGRAM_H
