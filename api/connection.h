// The process-wide connection and the checks every entry point makes before it works on it.
#ifndef TALLYJET_CONNECTION_H
#define TALLYJET_CONNECTION_H

#include "comm_base.h"
#include "prot_escpos.h"

extern TALLYJET_API CommBase* comm_;
extern TALLYJET_API ProtEscPos* prot_;

namespace connection {

// -4 without a transport, -8 without an encoder, else 1.
int Check();

// Runs an encoder operation after the connection checks and answers its result unchanged.
template <typename... Params, typename... Args>
int Forward(int (ProtEscPos::*operation)(Params...), Args... args) {
  const int rc = Check();
  return rc == TALLYJET_SUCCESS ? (prot_->*operation)(args...) : rc;
}

}  // namespace connection

#endif  // TALLYJET_CONNECTION_H
