// The library keeps one connection for the whole process and is for one thread at a time, while
// PAPPL runs jobs, status polls and device callbacks in threads of their own: every use of the
// library goes through the lock here.
#ifndef TALLYJET_PRINTER_APP_LIBRARY_SESSION_H
#define TALLYJET_PRINTER_APP_LIBRARY_SESSION_H

#include <pappl/pappl.h>

#include <mutex>

#include "comm_base.h"

class ProtEscPos;

// The library's process-wide connection: its transport and its encoder.
extern CommBase* comm_;
extern ProtEscPos* prot_;

namespace printer_app {

// Held around every call into the library. Recursive, because a session's write through a
// device of our own scheme calls into a library transport again on the same thread.
std::recursive_mutex& LibraryMutex();

// The connection objects of one port, taken out of the library's globals.
struct Connection {
  CommBase* transport = nullptr;
  ProtEscPos* encoder = nullptr;
};

// Empties the library's connection and answers what it held. The caller holds LibraryMutex.
Connection TakeConnection();
// Puts a connection back into the library's globals, which must be empty.
void PutConnection(const Connection& connection);

// The library's connection opened on a device that PAPPL opened, for as long as the object lives:
// the library's commands go to the device through papplDeviceWrite and papplDeviceRead.
class DeviceSession {
 public:
  explicit DeviceSession(pappl_device_t* device);
  ~DeviceSession();
  DeviceSession(const DeviceSession&) = delete;
  DeviceSession& operator=(const DeviceSession&) = delete;

  // 1 when the connection opened, else the library's result code.
  int result() const { return result_; }

 private:
  std::lock_guard<std::recursive_mutex> lock_;
  Connection outer_;  // whatever the globals held before, put back at the end
  int result_;
};

}  // namespace printer_app

#endif  // TALLYJET_PRINTER_APP_LIBRARY_SESSION_H
