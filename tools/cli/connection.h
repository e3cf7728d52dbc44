// A printer handle for the length of a subcommand: opened on the shared port options (or on the
// in-process virtual printer with --preview), closed when the subcommand is done.
#ifndef TALLYJET_CLI_CONNECTION_H
#define TALLYJET_CLI_CONNECTION_H

#include <functional>
#include <memory>
#include <string>

#include "program.h"
#include "tallyjet.h"

class Preview;

class Connection {
 public:
  explicit Connection(const PortOptions& port);
  ~Connection();
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  // Opens the port, or the preview; kExitOk, or the exit code after reporting why not.
  int Open();
  // Closes the printer, checking that the library says it got everything; with --preview
  // writes the picture of what was printed. The exit code, after reporting a failure.
  int Close();
  // True when the library answered success; otherwise reports what failed and answers false.
  bool Check(int code, const std::string& what) const;
  tallyjet_printer* printer() const { return printer_; }
  const PortOptions& port() const { return port_; }
  bool Previewing() const { return !port_.preview.empty(); }
  // The paper the job takes, in dots, as the subcommand estimates it: how long a confirmation
  // may take.
  void AddPaper(int dots) { paperDots_ += dots; }
  int PaperDots() const { return paperDots_; }

 private:
  PortOptions port_;
  tallyjet_printer* printer_ = nullptr;
  std::unique_ptr<Preview> preview_;
  int paperDots_ = 0;
};

// Opens the printer, runs work on it and closes it: the exit code of the whole, kExitFailure
// when work answers false (it has reported why) or closing fails.
int RunOnPrinter(const PortOptions& port, const std::function<bool(Connection&)>& work);
// The same for work that prints: the printer is asked first whether it can print (unless
// --force or --preview), and when it cannot nothing is sent and the exit code is its state's.
// After the work the printer is asked to confirm that it printed the job (unless --no-wait).
int RunPrinting(const PortOptions& port, const std::function<bool(Connection&)>& work);

#endif  // TALLYJET_CLI_CONNECTION_H
