// Queries that read an answer from the printer (real-time status, receive-buffer fill level,
// identification, free NV graphics memory) and the drawer pulse, which is sent beside them.
// A query given no place for its answer is refused (-3) before anything else is looked at.
#include "comm_base.h"
#include "escpos_command.h"
#include "prot_escpos.h"

using namespace escpos;

namespace {

constexpr unsigned kStatusPauseMicros = 100000;
constexpr unsigned kBufferPauseMicros = 150000;
constexpr unsigned kMemoryPauseMicros = 50000;
constexpr int kIdLength = 16;
constexpr int kMemoryAnswerLength = 16;

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Every real-time status byte 1 to 4 has bit 0 clear and bits 1 and 4 set: a byte that breaks
// this (a zero byte among them) is noise, or an answer to something else, and no status. Bit 7
// is a flag of the word, not a mark.
constexpr int kFixedBits = 0x13;
constexpr int kFixedValue = 0x12;

bool IsStatusByte(int n, char byte) {
  return n == 6 || (static_cast<unsigned char>(byte) & kFixedBits) == kFixedValue;
}

bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// Reads a hexadecimal number from text[0, length) the way "%X" does: leading white space and an
// optional 0x are skipped, digits are taken up to the first other byte. Answers 1 and stores the
// value, 0 when no digit is there, -1 when the value does not fit an int.
int ParseHex(const char* text, int length, int* value) {
  int i = 0;
  while (i < length && IsSpace(text[i])) ++i;
  if (i + 2 < length && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X') &&
      HexDigit(text[i + 2]) >= 0) {
    i += 2;
  }
  long long number = 0;
  int digits = 0;
  for (; i < length && HexDigit(text[i]) >= 0; ++i, ++digits) {
    number = number * 16 + HexDigit(text[i]);
    if (number > 0x7FFFFFFF) return TALLYJET_ERR_FAILED;
  }
  if (digits == 0) return 0;
  *value = static_cast<int>(number);
  return TALLYJET_SUCCESS;
}

}  // namespace

int ProtEscPos::GetRealTimeStatus(int n, int* status) {
  if (status == nullptr) return TALLYJET_ERR_INVALID_ARGUMENT;
  if (transport_ == nullptr) return TALLYJET_ERR_PORT_NOT_OPEN;
  if (!OneOf(n, {1, 2, 3, 4, 6})) return TALLYJET_ERR_INVALID_ARGUMENT;
  char byte;
  int got;
  // DLE EOT n: transmit real-time status
  const int rc =
      Ask(transport_, &answerOwed_, {DLE, EOT, Low(n)}, kStatusPauseMicros, &byte, 1, &got);
  if (rc != TALLYJET_SUCCESS) return rc;
  if (got < 0) return got;
  // A read that brought nothing is no answer: a stale value must not pass for a status.
  if (got == 0 || !IsStatusByte(n, byte)) return TALLYJET_ERR_FAILED;
  *status = static_cast<unsigned char>(byte);
  return TALLYJET_SUCCESS;
}

int ProtEscPos::GetBufferSize(int* size) {
  if (size == nullptr) return TALLYJET_ERR_INVALID_ARGUMENT;
  if (transport_ == nullptr) return TALLYJET_ERR_PORT_NOT_OPEN;
  char byte;
  int got;
  // DLE EOT 11: transmit the receive-buffer fill level
  const int rc =
      Ask(transport_, &answerOwed_, {DLE, EOT, 0x0B}, kBufferPauseMicros, &byte, 1, &got);
  if (rc != TALLYJET_SUCCESS) return rc;
  if (got == 1) *size = static_cast<unsigned char>(byte);
  return got;
}

int ProtEscPos::GetPrinterID(int n, char* id) {
  if (id == nullptr) return TALLYJET_ERR_INVALID_ARGUMENT;
  if (transport_ == nullptr) return TALLYJET_ERR_PORT_NOT_OPEN;
  if (!InRange(n, 1, 3)) return TALLYJET_ERR_INVALID_ARGUMENT;
  int got;
  // GS I n: transmit printer id
  const int rc =
      Ask(transport_, &answerOwed_, {GS, 'I', Low(n)}, kStatusPauseMicros, id, kIdLength, &got);
  return rc == TALLYJET_SUCCESS ? got : rc;
}

int ProtEscPos::GetMemoryAvailabled(int* bytes) {
  if (bytes == nullptr) return TALLYJET_ERR_INVALID_ARGUMENT;
  if (transport_ == nullptr) return TALLYJET_ERR_PORT_NOT_OPEN;
  char answer[kMemoryAnswerLength];
  int got;
  // GS ( L pL pH m fn, fn 51: transmit the remaining NV graphics memory
  const int rc = Ask(transport_, &answerOwed_, {GS, '(', 'L', 0x02, 0x00, '0', '3'},
                     kMemoryPauseMicros, answer, kMemoryAnswerLength, &got);
  if (rc != TALLYJET_SUCCESS) return rc;
  // The answer is "71", hexadecimal digits, NUL; only the bytes received are read.
  if (got < 2 || answer[0] != '7' || answer[1] != '1') return TALLYJET_ERR_FAILED;
  const int parsed = ParseHex(answer + 2, got - 2, bytes);
  return parsed < 0 ? parsed : TALLYJET_SUCCESS;
}

int ProtEscPos::GeneratePulse(int m, int t1, int t2) {
  // ESC p m t1 t2: generate pulse on drawer kick-out connector pin 2 (m 0, 48) or 5 (m 1, 49)
  return Send(transport_, OneOf(m, {0, 1, 48, 49}), {ESC, 'p', Low(m), Low(t1), Low(t2)});
}
