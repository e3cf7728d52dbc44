// The answers to the queries, from the printer state and from what has been stored.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "printer_core.h"

namespace vprinter {
namespace {

using Clock = PrinterCore::Clock;

std::string AnswerOf(const PrinterState& state, const std::string& query) {
  PrinterCore core;
  core.SetState(state);
  const auto now = Clock::now();
  core.Receive(query, now);
  return core.TakeDueAnswers(now + std::chrono::hours(1));
}

const std::string kStatus1("\x10\x04\x01", 3), kStatus2("\x10\x04\x02", 3),
    kStatus3("\x10\x04\x03", 3), kStatus4("\x10\x04\x04", 3), kStatus6("\x10\x04\x06", 3),
    kFill("\x10\x04\x0B", 3), kNvFree("\x1D(L\x02\x00\x30\x33", 7);

struct Case {
  const char* name;
  void (*set)(PrinterState*);
  std::string query;
  std::string answer;
};

TEST(AnswersTest, StatusBitsFollowTheState) {
  const Case cases[] = {
      {"drawer pin 3 high", [](PrinterState* s) { s->drawerPin3High = true; }, kStatus1, "\x16"},
      {"off-line", [](PrinterState* s) { s->offline = true; }, kStatus1, "\x1A"},
      {"cover open", [](PrinterState* s) { s->coverOpen = true; }, kStatus2, "\x16"},
      {"paper end stops", [](PrinterState* s) { s->paperEnd = true; }, kStatus2, "\x32"},
      {"error", [](PrinterState* s) { s->error = true; }, kStatus2, "\x52"},
      {"error cause", [](PrinterState* s) { s->error = true; }, kStatus3, "\x12"},
      {"paper near end", [](PrinterState* s) { s->paperNearEnd = true; }, kStatus4, "\x1E"},
      {"paper end", [](PrinterState* s) { s->paperEnd = true; }, kStatus4, "\x72"},
      {"extra byte", [](PrinterState* s) { s->extraStatus = 0x60; }, kStatus6, "\x60"},
      {"override", [](PrinterState* s) { s->statusOverride[1] = 0x1E; }, kStatus1, "\x1E"},
      {"override 4", [](PrinterState* s) { s->statusOverride[4] = 0x7E; }, kStatus4, "\x7E"},
      {"fill override", [](PrinterState* s) { s->fillLevelOverride = 101; }, kFill, "\x65"},
      {"model id", [](PrinterState* s) { s->modelId = 0xA5; }, "\x1DI\x01", "\xA5"},
      {"type id", [](PrinterState*) {}, "\x1DI\x02", "\x02"},
      {"version id", [](PrinterState* s) { s->versionId = "2.01.7"; }, "\x1DI\x03", "2.01.7"},
      {"free NV memory", [](PrinterState* s) { s->nvCapacity = 8000; }, kNvFree,
       std::string("711F40\0", 7)},
      {"no NV memory", [](PrinterState* s) { s->nvCapacity = 0; }, kNvFree,
       std::string("710\0", 4)},
      {"unknown status", [](PrinterState*) {}, "\x10\x04\x05", ""},
      {"silent", [](PrinterState* s) { s->answers = PrinterState::Answers::Silent; }, kStatus1, ""},
      {"garbage", [](PrinterState* s) { s->answers = PrinterState::Answers::Garbage; }, kStatus1,
       "\xED"},
  };
  for (const Case& c : cases) {
    PrinterState state;
    c.set(&state);
    EXPECT_EQ(AnswerOf(state, c.query), c.answer) << c.name;
  }
}

// GS 8 L: a graphic of 9 x 2 dots in 4 bytes under key "A1"; GS ( L: delete it, delete all.
const std::string kDefineA1(
    "\x1D"
    "8L\x0F\0\0\0"
    "0C0A1\x01\x09\0\x02\0"
    "1abcd",
    22);
const std::string kDeleteA1(
    "\x1D(L\x04\0"
    "0BA1",
    9);
const std::string kDeleteAll(
    "\x1D(L\x05\0"
    "0ACLR",
    10);

TEST(AnswersTest, FreeNvMemoryCountsStoredGraphicsAndOneThatDoesNotFitIsNotStored) {
  PrinterCore core;
  PrinterState state;
  state.nvCapacity = 3;
  core.SetState(state);
  const auto now = Clock::now();
  core.Receive(kDefineA1, now);
  EXPECT_TRUE(core.Settings().nvGraphics.empty());
  EXPECT_NE(core.Log().back().find("not stored"), std::string::npos);
  state.nvCapacity = 100;
  core.SetState(state);
  core.Receive(kDefineA1 + kDefineA1 + kNvFree, now);             // the second replaces the first
  EXPECT_EQ(core.TakeDueAnswers(now), std::string("7160\0", 5));  // 96
  core.Receive(kDeleteA1 + kNvFree, now);
  EXPECT_EQ(core.TakeDueAnswers(now), std::string("7164\0", 5));
  core.Receive(kDefineA1 + kDeleteAll + kNvFree, now);
  EXPECT_EQ(core.TakeDueAnswers(now), std::string("7164\0", 5));
}

TEST(AnswersTest, LateAnswersComeInOrderWhenDue) {
  PrinterCore core;
  PrinterState state;
  state.answerDelayMs = 100;
  core.SetState(state);
  const auto now = Clock::now();
  core.Receive(kStatus1 + std::string("\x1DI\x02", 3), now);
  EXPECT_EQ(core.TakeDueAnswers(now + std::chrono::milliseconds(99)), "");
  EXPECT_EQ(core.NextAnswerDue(), now + std::chrono::milliseconds(100));
  EXPECT_EQ(core.TakeDueAnswers(now + std::chrono::milliseconds(100)), "\x12\x02");
  EXPECT_EQ(core.Log().front(), "DLE EOT 1  printer status -> 12 after 100 ms");
  EXPECT_EQ(core.NextAnswerDue(), Clock::time_point::max());
}

}  // namespace
}  // namespace vprinter
