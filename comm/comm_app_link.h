// A link the application owns (tallyjet_transport): every transfer is a call of the
// application's functions with its context.
#ifndef TALLYJET_COMM_APP_LINK_H
#define TALLYJET_COMM_APP_LINK_H

#include "comm_base.h"

class CommAppLink : public CommBase {
 public:
  // Copies the functions; the link counts as open until Close.
  CommAppLink(const tallyjet_transport& functions, void* context);

  // Calls the application's close, if it gave one, the first time: 1, or -1 after a failed
  // write (the job is incomplete); later -4.
  int Close() override;
  bool IsOpen() override;
  // Calls write until all length bytes are taken: 1; -1 when a call answers 0 or a negative
  // value; -3 for a negative length; -4 after Close. A write that fails leaves the link
  // broken: every later write answers -1 without calling write, so that
  // nothing lands behind half a command.
  int Write(const char* data, int length) override;
  // One call of read with the read time-out: its count, 0 when nothing came; -30 for a negative
  // answer or one beyond length; -3 for a negative length; -4 after Close.
  int Read(char* buffer, int length) override;
  // The read time-out (300 ms until set; a negative value counts as 0).
  void SetTimeout(int milliseconds) override;

  // Drops stale input: calls read with time-out 0 until it answers 0, at most 64 KB.
  void DiscardInput();

 private:
  tallyjet_transport functions_;
  void* context_;
  bool open_;
  bool broken_;
  int timeout_;
};

#endif  // TALLYJET_COMM_APP_LINK_H
