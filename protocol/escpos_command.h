// Building blocks shared by the encoder's operations: the control bytes, parameter bytes, and
// the two ways a command reaches the printer (a plain command, or a query with its answer).
#ifndef TALLYJET_ESCPOS_COMMAND_H
#define TALLYJET_ESCPOS_COMMAND_H

#include <initializer_list>

class CommBase;

namespace escpos {

constexpr char NUL = 0x00;
constexpr char EOT = 0x04;
constexpr char LF = 0x0A;
constexpr char FF = 0x0C;
constexpr char DLE = 0x10;
constexpr char ESC = 0x1B;
constexpr char FS = 0x1C;
constexpr char GS = 0x1D;

// The low 8 bits of a parameter: how ESC/POS carries a one-byte value, and nL of nL nH.
constexpr char Low(int n) { return static_cast<char>(n & 0xFF); }
// Bits 8 to 15 of a parameter: nH of nL nH.
constexpr char High(int n) { return static_cast<char>((n >> 8) & 0xFF); }
// The largest value an nL nH pair carries.
constexpr int kMaxLowHigh = 0xFFFF;
// Whether n is one of the accepted values.
bool OneOf(int n, std::initializer_list<int> accepted);
// Whether n lies in [low, high].
constexpr bool InRange(int n, int low, int high) { return n >= low && n <= high; }

// A fixed command: -4 without a transport, -3 when its arguments were refused, else the result
// of one Write of all its bytes.
int Send(CommBase* transport, bool accepted, std::initializer_list<char> command);

// A query. When the previous query on this link went unanswered (*answerOwed), its answer may
// still be on the way: the first Read waits up to one read time-out for it and drops it. Then
// input the printer sent earlier and nobody read is dropped, so that it cannot pass for this
// answer, and the request goes out as one Write, whose failure is answered. After a successful
// write, answer is zeroed, the caller sleeps pauseMicros and one Read of up to length bytes
// stores its result (a count or a negative code) in *got; *answerOwed tells whether it brought
// nothing.
int Ask(CommBase* transport, bool* answerOwed, std::initializer_list<char> request,
        unsigned pauseMicros, char* answer, int length, int* got);

}  // namespace escpos

#endif  // TALLYJET_ESCPOS_COMMAND_H
