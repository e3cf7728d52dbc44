#include "escpos_command.h"

#include <unistd.h>

#include <cstring>

#include "comm_base.h"
#include "pending_input.h"
#include "tallyjet.h"

namespace escpos {

namespace {

// Room for the longest answer a query gets; what does not fit is dropped with the pending input.
constexpr int kLateAnswerLength = 64;

}  // namespace

bool OneOf(int n, std::initializer_list<int> accepted) {
  for (int value : accepted) {
    if (n == value) return true;
  }
  return false;
}

int Send(CommBase* transport, bool accepted, std::initializer_list<char> command) {
  if (transport == nullptr) return TALLYJET_ERR_PORT_NOT_OPEN;
  if (!accepted) return TALLYJET_ERR_INVALID_ARGUMENT;
  return transport->Write(command.begin(), static_cast<int>(command.size()));
}

int Ask(CommBase* transport, bool* answerOwed, std::initializer_list<char> request,
        unsigned pauseMicros, char* answer, int length, int* got) {
  if (*answerOwed) {
    char late[kLateAnswerLength];
    transport->Read(late, kLateAnswerLength);
    *answerOwed = false;
  }
  DiscardPendingInput(transport);
  const int written = transport->Write(request.begin(), static_cast<int>(request.size()));
  if (written != TALLYJET_SUCCESS) return written;
  memset(answer, 0, static_cast<size_t>(length));
  usleep(pauseMicros);
  *got = transport->Read(answer, length);
  *answerOwed = *got == 0;
  return TALLYJET_SUCCESS;
}

}  // namespace escpos
