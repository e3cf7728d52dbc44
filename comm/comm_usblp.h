// A printer device node such as /dev/usb/lp0, used with plain blocking read and write.
#ifndef TALLYJET_COMM_USBLP_H
#define TALLYJET_COMM_USBLP_H

#include "comm_base.h"

class TALLYJET_API CommUsbLP : public CommBase {
 public:
  CommUsbLP();
  ~CommUsbLP() override;

  using CommBase::Open;
  // 1 opened; -3 null path; -4 the system refused. A descriptor still held is closed first.
  int Open(const char* path) override;
  // 1 closed; -4 nothing held; -13 close failed (the descriptor is kept).
  int Close() override;
  bool IsOpen() override;
  // One write call: 1 when it took all length bytes, -1 otherwise, -4 when not open.
  int Write(const char* data, int length) override;
  // One blocking read call: the count (0 at end of file), -30 when it failed, -4 when not open.
  int Read(char* buffer, int length) override;
};

#endif  // TALLYJET_COMM_USBLP_H
