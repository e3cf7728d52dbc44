// What the printer answers to its queries: DLE EOT n (real-time status and receive-buffer fill
// level), GS I n (identification), GS ( L function 51 (free NV graphics memory), GS r, ESC u and
// ESC v (transmitted status), DLE DC4, GS ( E and GS ( H (responses) and GS a (automatic status).
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

// The four bytes of automatic status back (GS a): drawer pin 3, off-line and cover in the first
// (bit 4 fixed at 1, bits 0, 1 and 7 at 0); error causes in the second (none modelled); paper
// near end (bits 0 and 1) and paper end (bits 2 and 3) in the third; the fourth 0. Bits 4 and 7
// of the last three are 0, which tells these bytes from real-time status.
std::string AutoStatus(const PrinterState& state);

// The answer as the state's failure mode delivers it: nothing when silent, every byte inverted
// when answering garbage.
std::string Deliver(const std::string& answer, PrinterState::Answers mode);

}  // namespace vprinter

#endif  // VPRINTER_ANSWERS_H
