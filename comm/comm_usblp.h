// A printer device node such as /dev/usb/lp0. Every transfer is bounded: a read waits for the
// printer's answer at most the time-out, a write gives up on a printer that stopped taking bytes.
#ifndef TALLYJET_COMM_USBLP_H
#define TALLYJET_COMM_USBLP_H

#include "comm_base.h"

class TALLYJET_API CommUsbLP : public CommBase {
 public:
  // The read time-out starts at 300 ms.
  CommUsbLP();
  ~CommUsbLP() override;

  using CommBase::Open;
  // 1 opened; -3 null path; -4 the system refused. A descriptor still held is closed first.
  int Open(const char* path) override;
  // 1 closed; -4 nothing held; -13 close failed (the descriptor is kept).
  int Close() override;
  bool IsOpen() override;
  // 1 when the printer took all length bytes; -1 when the node failed or the printer took no
  // byte for ten read time-outs (3 s by default); -3 for a negative length; -4 when not open.
  // After a write that failed, -1 until Close, and Close answers -1: the job is incomplete.
  int Write(const char* data, int length) override;
  // The first bytes that arrive within the time-out, 0 when none came; -30 when the node failed
  // or the printer is gone; -3 for a negative length; -4 when not open.
  int Read(char* buffer, int length) override;
  // The read time-out in milliseconds (a negative value counts as 0).
  void SetTimeout(int milliseconds) override;

  // Drops input the printer sent that nobody read, without waiting.
  TALLYJET_INTERNAL void DiscardInput();

 private:
  // Lies in the base's tail padding: the object keeps the size it always had.
  int timeout_;
};

#endif  // TALLYJET_COMM_USBLP_H
