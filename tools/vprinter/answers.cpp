#include "answers.h"

#include <cstdio>

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

}  // namespace

Query AnswerTo(const Command& command, const PrinterState& state, int fillPercent, size_t nvFree) {
  const int n = command.params.empty() ? -1 : command.params[0];
  switch (command.kind) {
    case Kind::Status: return Status(n, state, fillPercent);
    case Kind::PrinterId: return PrinterId(n, state);
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
