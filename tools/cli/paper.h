// Cutting the paper, shared by cut and print --cut.
#ifndef TALLYJET_CLI_PAPER_H
#define TALLYJET_CLI_PAPER_H

#include "connection.h"

// The most lines cut --feed takes: the feed before the cut is one byte of motion units.
constexpr int kMostFeedLinesBeforeCut = 8;

// Feeds what is printed up to the cutter, and lines more lines of 30 dots, then cuts partially.
bool FeedAndCut(Connection& c, int lines);

#endif  // TALLYJET_CLI_PAPER_H
