// The exit codes of the tallyjet command, documented in its manual page: scripts branch on them.
#ifndef TALLYJET_CLI_EXIT_CODES_H
#define TALLYJET_CLI_EXIT_CODES_H

enum ExitCode {
  kExitOk = 0,
  kExitFailure = 1,       // the port, the printer or a file failed; one line on standard error
  kExitUsage = 2,         // bad options
  kExitNoAnswer = 3,      // status: the printer did not answer
  kExitOffline = 4,       // status: off-line, or an error occurred
  kExitCoverOpen = 5,     // status: cover open
  kExitPaperEnd = 6,      // status: out of paper
  kExitPaperNearEnd = 7,  // status: paper near its end; the printer still prints
  kExitNotConfirmed = 8,  // the job was sent, but the printer did not confirm it printed
};

#endif  // TALLYJET_CLI_EXIT_CODES_H
