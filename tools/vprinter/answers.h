// What the printer answers to its queries: DLE EOT n (real-time status and receive-buffer fill
// level), GS I n (identification) and GS ( L function 51 (free NV graphics memory).
#ifndef VPRINTER_ANSWERS_H
#define VPRINTER_ANSWERS_H

#include <cstddef>
#include <string>

#include "command.h"
#include "printer_state.h"

namespace vprinter {

struct Query {
  bool asked = false;  // the command is a query this printer answers
  std::string answer;  // what a sound printer in this state answers
};

// fillPercent is the receive buffer's fill level from the drain model, nvFree the bytes of NV
// graphics memory not taken.
Query AnswerTo(const Command& command, const PrinterState& state, int fillPercent, size_t nvFree);

// The answer as the state's failure mode delivers it: nothing when silent, every byte inverted
// when answering garbage.
std::string Deliver(const std::string& answer, PrinterState::Answers mode);

}  // namespace vprinter

#endif  // VPRINTER_ANSWERS_H
