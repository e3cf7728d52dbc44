// Waiting, after a job, for the printer to confirm that it printed it, and saying in the exit
// code why not.
#ifndef TALLYJET_CLI_CONFIRMATION_H
#define TALLYJET_CLI_CONFIRMATION_H

#include "connection.h"

// The default wait for a job of paperDots dots of paper: long enough for a slow printer.
int DefaultWaitMs(int paperDots);

// kExitOk once the printer confirmed; its state's code (4, 5 or 6) when it stopped;
// kExitNotConfirmed when it did not confirm in time; kExitFailure when the link failed. Says
// why on standard error.
int ConfirmPrinted(Connection& c);

#endif  // TALLYJET_CLI_CONFIRMATION_H
