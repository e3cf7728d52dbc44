// The answers to the queries, from the printer state and from what has been stored.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "../support/loopback_sockets.h"
#include "printer_core.h"
#include "virtual_printer.h"

namespace vprinter {
namespace {

using Clock = PrinterCore::Clock;
using namespace std::string_literals;

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
      {"paper near end sent", [](PrinterState* s) { s->paperNearEnd = true; }, "\x1Dr1", "\x03"},
      {"paper end sent", [](PrinterState* s) { s->paperEnd = true; }, "\x1Dr\x01", "\x0C"},
      {"drawer sent", [](PrinterState* s) { s->drawerPin3High = true; }, "\x1Dr2", "\x01"},
      {"drawer low sent", [](PrinterState*) {}, "\x1Dr2", std::string(1, '\0')},
      {"no such status", [](PrinterState* s) { s->drawerPin3High = true; }, "\x1Dr4", ""},
      {"paper sensor", [](PrinterState* s) { s->paperEnd = true; }, "\x1Bv", "\x0C"},
      {"drawer sensor", [](PrinterState* s) { s->drawerPin3High = true; }, "\x1Bu0", "\x01"},
      {"status back, cover", [](PrinterState* s) { s->coverOpen = true; }, "\x1D" "a\xFF",
       std::string("\x30\0\0\0", 4)},
      {"status back, off-line and drawer",
       [](PrinterState* s) { s->offline = s->drawerPin3High = true; }, "\x1D" "a\x01",
       std::string("\x1C\0\0\0", 4)},
      {"status back, paper", [](PrinterState* s) { s->paperEnd = s->paperNearEnd = true; },
       "\x1D" "a\x08", std::string("\x10\0\x0F\0", 4)},
      {"status back off", [](PrinterState*) {}, std::string("\x1D" "a\0", 3), ""},
      {"status in real time", [](PrinterState* s) { s->paperEnd = true; }, "\x10\x14\x07\x01",
       std::string("\x10\0\x0C\0", 4)},
      {"power off", [](PrinterState*) {}, "\x10\x14\x02\x01\x08", std::string("\x3B\x30\0", 3)},
      {"maker", [](PrinterState*) {}, "\x1DI\x42", std::string("_TALLYJET\0", 10)},
      {"firmware", [](PrinterState* s) { s->versionId = "3.1"; }, "\x1DI\x41",
       std::string("_3.1\0", 5)},
      {"memory switches", [](PrinterState*) {}, std::string("\x1D(E\x02\0\x04\x01", 8),
       std::string("7!00000000\0", 11)},
      {"customised value", [](PrinterState*) {}, std::string("\x1D(E\x02\0\x06\x05", 8),
       std::string("7'5\x1F" "0\0", 6)},
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

// Automatic status back reports the changes it watches, unasked, until turned off or until the
// client goes; ESC @ leaves it on.
TEST(AnswersTest, StatusBackSendsTheWatchedChangesUnasked) {
  PrinterCore core;
  const auto now = Clock::now();
  core.Receive("\x1D" "a\x08\x1B@", now);  // GS a 8: the paper roll sensors only
  EXPECT_EQ(core.TakeDueAnswers(now), std::string("\x10\0\0\0", 4));
  PrinterState state;
  state.drawerPin3High = true;
  core.SetState(state);
  EXPECT_EQ(core.NextAnswerDue(), Clock::time_point::max()) << "the drawer is not watched";
  state.paperNearEnd = true;
  core.SetState(state);
  EXPECT_EQ(core.TakeDueAnswers(Clock::now()), std::string("\x14\0\x03\0", 4));
  EXPECT_EQ(core.Log().back(), "STATUS BACK  automatic status -> 14 00 03 00");
  core.SetState(state);  // no change
  core.EndConnection(now);
  state.paperEnd = true;
  core.SetState(state);
  EXPECT_EQ(core.NextAnswerDue(), Clock::time_point::max()) << "the client has gone";
}

// The bytes a client reads within timeoutMs, up to count.
std::string ReadUpTo(int fd, size_t count, int timeoutMs) {
  std::string got;
  pollfd readable = {fd, POLLIN, 0};
  while (got.size() < count && poll(&readable, 1, timeoutMs) == 1) {
    char bytes[64];
    const ssize_t n = read(fd, bytes, std::min(sizeof bytes, count - got.size()));
    if (n <= 0) break;
    got.append(bytes, n);
  }
  return got;
}

// A client on the network as point-of-sale programs are: it turns automatic status back on,
// waits for the status before printing, asks for the paper status at the end of the receipt,
// and sees the paper and cover changes arrive without asking.
TEST(AnswersTest, NetworkClientGetsStatusBackAtOnceAndOnEveryChange) {
  Options options;
  options.listenPort = 0;
  VirtualPrinter printer(options);
  ASSERT_TRUE(printer.Start());
  const std::string address = printer.PortName();
  const int port = atoi(address.c_str() + address.rfind(':') + 1);
  OwnSocket client;
  sockaddr_in to = client.address;
  to.sin_port = htons(static_cast<uint16_t>(port));
  ASSERT_EQ(connect(client.fd, reinterpret_cast<sockaddr*>(&to), sizeof to), 0);
  const std::string hello = "\x1B@\x1D" "a\xFF";
  ASSERT_EQ(write(client.fd, hello.data(), hello.size()), 5);
  EXPECT_EQ(ReadUpTo(client.fd, 4, 2000), std::string("\x10\0\0\0", 4));
  const std::string receipt = "Total 12.50\n\x1DVB\x00\x1Dr1"s;
  ASSERT_EQ(write(client.fd, receipt.data(), receipt.size()), static_cast<ssize_t>(receipt.size()));
  EXPECT_EQ(ReadUpTo(client.fd, 1, 2000), std::string(1, '\0'));
  PrinterState state;
  state.paperEnd = true;
  printer.SetState(state);
  EXPECT_EQ(ReadUpTo(client.fd, 4, 2000), std::string("\x10\0\x0C\0", 4));
  state.coverOpen = true;
  printer.SetState(state);
  EXPECT_EQ(ReadUpTo(client.fd, 4, 2000), std::string("\x30\0\x0C\0", 4));
  EXPECT_EQ(ReadUpTo(client.fd, 1, 50), "") << "nothing more without a change";
}

}  // namespace
}  // namespace vprinter
