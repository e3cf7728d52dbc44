// Input that the printer sent and nobody read, such as the answer to an earlier query that came
// too late, would pass for the answer to the next query. A query drops it before it asks.
#ifndef TALLYJET_PENDING_INPUT_H
#define TALLYJET_PENDING_INPUT_H

class CommBase;

// Drops pending input without waiting, on the library's own transports and on an application's
// link (tallyjet_transport). A CommBase of the application's own is left alone: the interface
// has no operation for it.
void DiscardPendingInput(CommBase* transport);

#endif  // TALLYJET_PENDING_INPUT_H
