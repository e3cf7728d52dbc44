// A printer on a serial line: raw 8N1 with RTS/CTS flow control at 9600, 19200 or 115200 bit/s.
#ifndef TALLYJET_COMM_UART_H
#define TALLYJET_COMM_UART_H

#include <cstdint>

#include "comm_base.h"

class TALLYJET_API CommUart : public CommBase {
 public:
  CommUart();
  // Closes a descriptor still held.
  ~CommUart() override;

  using CommBase::Open;
  // 1 opened and configured raw at baudRate_; -4 the system refused. A descriptor still held is
  // closed first. A descriptor numbered 0, 1 or 2 is moved above them.
  int Open(const char* path) override;
  // Waits while the line sends what is still queued (until it has sent nothing for 10 s), then
  // closes: 1 closed with everything sent; -1 a write had failed, the queue did not drain, or
  // close failed; -4 nothing held.
  int Close() override;
  // Pauses 5 ms, then 1 when every byte was written within a time that suits the line and the
  // length; -1 otherwise or for a length of 0; -3 for a negative length; -4 when not open.
  // After a write that failed, -1 until Close: nothing follows half a command.
  int Write(const char* data, int length) override;
  // The first piece of data that arrives within timeout_, 0 at the time-out (-16 when the last
  // read failed); -3 for a negative length; -4 when not open.
  int Read(char* buffer, int length) override;
  void SetTimeout(int milliseconds) override;
  void SetFlowControl(int mode) override;
  // 1 for 9600, 19200 or 115200 (kept for the next Open); -3 otherwise. The rest is ignored.
  int SetPortSettings(int baudRate, char parity, int dataBits, int stopBits) override;

  // Drops input the printer sent that nobody read, without waiting.
  TALLYJET_INTERNAL void DiscardInput();

 private:
  int baudRate_;
  int timeout_;
};

// A millisecond clock value that wraps every 2^32 ms.
TALLYJET_API uint32_t GetCurrentTime();

#endif  // TALLYJET_COMM_UART_H
