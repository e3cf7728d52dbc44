// One line on standard error per failure: what was tried, the library's result name, and what
// to do about it.
#ifndef TALLYJET_CLI_FAILURE_H
#define TALLYJET_CLI_FAILURE_H

#include <string>

#include "program.h"

// "tallyjet: WHAT: RESULT NAME (CODE); HINT" for opening the port, that answered code.
void ReportOpenFailure(const std::string& what, int code, const PortOptions& port);
// The same for a call on an open printer.
void ReportFailure(const std::string& what, int code, const PortOptions& port);
// "tallyjet: MESSAGE" for a failure of the program's own.
void Complain(const std::string& message);

#endif  // TALLYJET_CLI_FAILURE_H
