// A pseudo-terminal pair whose slave side stands in for a printer's device node: raw mode, so
// bytes pass unchanged, and optionally reachable through a symbolic link.
#ifndef VPRINTER_PTY_H
#define VPRINTER_PTY_H

#include <string>

namespace vprinter {

class Pty {
 public:
  Pty() = default;
  ~Pty() { Close(); }
  Pty(const Pty&) = delete;
  Pty& operator=(const Pty&) = delete;

  // Opens the pair and, when linkPath is not empty, links it to the slave (replacing a stale
  // link there). False on failure, with nothing left open.
  bool Open(const std::string& linkPath);
  // Closes both sides and removes the link.
  void Close();

  int Master() const { return master_; }
  const std::string& SlaveName() const { return slaveName_; }

 private:
  int master_ = -1;
  // The printer's own descriptor of the slave: with it the pair stays whole, in raw mode and
  // without hang-ups, while clients open and close the slave.
  int slave_ = -1;
  std::string slaveName_;
  std::string link_;
};

}  // namespace vprinter

#endif  // VPRINTER_PTY_H
