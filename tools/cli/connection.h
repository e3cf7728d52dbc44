// The library's one connection for the length of a subcommand: opened with the shared port
// options, closed when the subcommand is done.
#ifndef TALLYJET_CLI_CONNECTION_H
#define TALLYJET_CLI_CONNECTION_H

#include <functional>
#include <string>

#include "program.h"

class Connection {
 public:
  explicit Connection(const PortOptions& port) : port_(port) {}
  ~Connection();
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  // Selects ESC/POS and opens the port; kExitOk, or the exit code after reporting why not.
  int Open();
  // Closes the port: true when the library says the printer got everything; otherwise reports
  // it and answers false.
  bool Close();
  // True when the library answered success; otherwise reports what failed and answers false.
  bool Check(int code, const std::string& what) const;
  const PortOptions& port() const { return port_; }

 private:
  PortOptions port_;
  bool open_ = false;
};

// Opens the port, runs work on it and closes it: the exit code of the whole, kExitFailure when
// work answers false (it has reported why) or closing fails.
int RunOnPrinter(const PortOptions& port, const std::function<bool(Connection&)>& work);

#endif  // TALLYJET_CLI_CONNECTION_H
