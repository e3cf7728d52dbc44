#include "answers.h"

#include <cstdio>

#include "control_bytes.h"
#include "wire.h"

namespace vprinter {
namespace {

// Bits 1 and 4 of every real-time status byte are fixed at 1.
constexpr int kStatusBase = 0x12;
constexpr int kFillLevel = 11;  // DLE EOT 11: receive-buffer fill level

int ComputedStatus(int n, const PrinterState& state) {
  switch (n) {
    case 1:  // printer status
      return kStatusBase | (state.drawerPin3High ? 0x04 : 0) | (state.offline ? 0x08 : 0);
    case 2:  // off-line cause
      return kStatusBase | (state.coverOpen ? 0x04 : 0) | (state.paperEnd ? 0x20 : 0) |
             (state.error ? 0x40 : 0);
    case 3:  // error cause
      return kStatusBase;
    case 4:  // roll paper sensor
      return kStatusBase | (state.paperNearEnd ? 0x0C : 0) | (state.paperEnd ? 0x60 : 0);
    case 6: return state.extraStatus;
    default: return -1;
  }
}

Query Byte(int value) { return {true, std::string(1, static_cast<char>(value & 0xFF))}; }

Query Status(int n, const PrinterState& state, int fillPercent) {
  if (n == kFillLevel)
    return Byte(state.fillLevelOverride >= 0 ? state.fillLevelOverride : fillPercent);
  const int computed = ComputedStatus(n, state);
  if (computed < 0) return {};
  return Byte(state.statusOverride[n] >= 0 ? state.statusOverride[n] : computed);
}

Query PrinterId(int n, const PrinterState& state) {
  switch (n) {
    case 1: return Byte(state.modelId);
    case 2: return Byte(state.typeId);
    case 3: return {true, state.versionId};
    default: return {};
  }
}

// GS ( L function 51: "71", the free bytes in upper-case hexadecimal, NUL.
Query NvFree(const std::string& block, size_t nvFree) {
  if (ByteAt(block, 1) != 51) return {};
  char digits[24];
  snprintf(digits, sizeof digits, "%zX", nvFree);
  return {true, std::string("71") + digits + std::string(1, '\0')};
}

// GS r n (n 1 paper, 2 drawer), ESC v (paper), ESC u n (drawer): one byte, bits 4 and 7 clear.
Query TransmittedStatus(const Command& command, const PrinterState& state) {
  const bool escape = ByteAt(command.raw, 0) == ESC;
  const int n = Selector(command.Param(0));
  if (!escape && n != 1 && n != 2) return {};
  const bool paper = escape ? ByteAt(command.raw, 1) == 'v' : n == 1;
  if (paper) return Byte((state.paperNearEnd ? 0x03 : 0) | (state.paperEnd ? 0x0C : 0));
  return Byte(state.drawerPin3High ? 0x01 : 0);
}

// DLE DC4 fn: 2 (power off) and 8 (clear buffers) acknowledge, 7 m 1 sends the 4 status bytes.
Query RealTimeFunction(const Command& command, const PrinterState& state) {
  switch (command.Param(0)) {
    case 2: return {true, std::string("\x3B\x30\x00", 3)};
    case 7: return command.Param(1) == 1 ? Query{true, AutoStatus(state)} : Query{};
    case 8: return {true, std::string("\x37\x25\x00", 3)};
    default: return {};
  }
}

std::string Block(char identifier, const std::string& text) {
  return std::string(1, '\x37') + identifier + text + std::string(1, '\0');
}

// GS ( E fn ...: fn 1 enters user setting mode, 4 sends the memory switches (all off), 6 the
// customised value asked for (0: the factory setting).
Query UserSetup(const std::string& block) {
  switch (ByteAt(block, 0)) {
    case 1: return {true, Block('\x20', "")};
    case 4: return {true, Block('\x21', "00000000")};
    case 6: return {true, Block('\x27', std::to_string(ByteAt(block, 1)) + "\x1F" + "0")};
    default: return {};
  }
}

// GS ( H fn 48 m d1 d2 d3 d4: the process ID response, sent once all before it is printed.
Query ResponseRequest(const std::string& block) {
  if (ByteAt(block, 0) != 48 || block.size() < 6) return {};
  return {true, Block('\x22', block.substr(2, 4))};
}

// GS I n for n 65 to 69: printer information as "_" text NUL.
Query PrinterInformation(int n, const PrinterState& state) {
  static const char* const kTexts[] = {nullptr, "TALLYJET", "VPRINTER", "0", "ANK"};
  if (n == 65) return {true, "_" + state.versionId + std::string(1, '\0')};
  if (n < 66 || n > 69) return {};
  return {true, "_" + std::string(kTexts[n - 65]) + std::string(1, '\0')};
}

}  // namespace

std::string AutoStatus(const PrinterState& state) {
  const int first = 0x10 | (state.drawerPin3High ? 0x04 : 0) | (state.offline ? 0x08 : 0) |
                    (state.coverOpen ? 0x20 : 0);
  const int paper = (state.paperNearEnd ? 0x03 : 0) | (state.paperEnd ? 0x0C : 0);
  return std::string{static_cast<char>(first), 0, static_cast<char>(paper), 0};
}

Query AnswerTo(const Command& command, const PrinterState& state, int fillPercent, size_t nvFree) {
  const int n = command.params.empty() ? -1 : command.params[0];
  switch (command.kind) {
    case Kind::Status: return Status(n, state, fillPercent);
    case Kind::PrinterId: return n >= 65 ? PrinterInformation(n, state) : PrinterId(n, state);
    case Kind::AutoStatusBack: return n != 0 ? Query{true, AutoStatus(state)} : Query{};
    case Kind::TransmitStatus: return TransmittedStatus(command, state);
    case Kind::RealTimeFunction: return RealTimeFunction(command, state);
    case Kind::UserSetup: return UserSetup(command.data);
    case Kind::ResponseRequest: return ResponseRequest(command.data);
    case Kind::NvGraphics: return NvFree(command.data, nvFree);
    default: return {};
  }
}

std::string Deliver(const std::string& answer, PrinterState::Answers mode) {
  if (mode == PrinterState::Answers::Silent) return "";
  if (mode == PrinterState::Answers::Normal) return answer;
  std::string garbage = answer;
  for (char& byte : garbage) byte = static_cast<char>(~byte);
  return garbage;
}

}  // namespace vprinter
