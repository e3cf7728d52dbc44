// The transport interface: how the encoder and the connection reach a printer. Every operation
// a transport lacks answers -2 (or does nothing), so a transport overrides only what it can do.
#ifndef TALLYJET_COMM_BASE_H
#define TALLYJET_COMM_BASE_H

#include "tallyjet.h"

// A member of an exported class that stays inside the library.
#define TALLYJET_INTERNAL __attribute__((visibility("hidden")))

class TALLYJET_API CommBase {
 public:
  CommBase();
  virtual ~CommBase();
  CommBase(const CommBase&) = delete;
  CommBase& operator=(const CommBase&) = delete;

  // Finds and opens the USB printer with these identifiers.
  virtual int Open(int productId, int vendorId);
  // Opens the serial device or device node at path.
  virtual int Open(const char* path);
  // 1 closed; -4 nothing open; another negative code when the system refused.
  virtual int Close();
  virtual bool IsOpen();
  // 1 when all length bytes were taken as one unit, else a negative code.
  virtual int Write(const char* data, int length);
  // The number of bytes read (0 or more), or a negative code.
  virtual int Read(char* buffer, int length);
  virtual int GetDeviceVid();
  virtual int GetDevicePid();
  virtual void SetTimeout(int milliseconds);
  virtual void SetFlowControl(int mode);
  virtual int SetPortSettings(int baudRate, char parity, int dataBits, int stopBits);

 protected:
  int fd_;  // descriptor of the open connection; 0 when none
};

#endif  // TALLYJET_COMM_BASE_H
