// The receive-buffer model: fill level, drain, overruns.
#include "receive_buffer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "printer_core.h"

namespace vprinter {
namespace {

using Clock = ReceiveBuffer::Clock;
using std::chrono::milliseconds;

TEST(ReceiveBufferTest, FillLevelRoundsUpAndDrainsWithTimeAndWhatDoesNotFitIsLost) {
  const auto start = Clock::now();
  ReceiveBuffer buffer;
  buffer.SetDrainRate(1000, start);
  EXPECT_EQ(buffer.Accept(3000, start), 0u);
  EXPECT_EQ(buffer.FillPercent(start), 50);
  EXPECT_EQ(buffer.FillPercent(start + milliseconds(1)), 50);  // 2999 bytes still count as 50 %
  EXPECT_EQ(buffer.FillPercent(start + milliseconds(61)), 49);
  EXPECT_EQ(buffer.FillPercent(start + milliseconds(2999)), 1);
  EXPECT_EQ(buffer.FillPercent(start + milliseconds(3000)), 0);
  const auto later = start + milliseconds(9000);
  EXPECT_EQ(buffer.FillPercent(later), 0);
  EXPECT_EQ(buffer.Accept(6000, later), 0u);
  EXPECT_EQ(buffer.Accept(1, later), 1u);
  EXPECT_EQ(buffer.FillPercent(later), 100);
  EXPECT_EQ(buffer.Accept(600, later + milliseconds(500)), 100u);
}

TEST(ReceiveBufferTest, ZeroRateEmptiesAtOnce) {
  const auto start = Clock::now();
  ReceiveBuffer buffer;
  EXPECT_EQ(buffer.Accept(100000, start), 0u);
  EXPECT_EQ(buffer.FillPercent(start), 0);
}

TEST(ReceiveBufferTest, StatusQueriesTakeNoRoomAndOverrunsAreCounted) {
  const auto start = Clock::now();
  PrinterCore core(100);
  core.Receive(std::string(5999, 'x'), start);
  core.Receive(std::string("\x10\x04\x0B", 3), start);  // real-time: fits even now
  EXPECT_EQ(core.Overruns(), 0);
  EXPECT_EQ(core.TakeDueAnswers(start), "\x64");
  core.Receive(std::string(13, 'y'), start + milliseconds(100));  // 10 drained, 11 free
  EXPECT_EQ(core.Overruns(), 1);
  EXPECT_EQ(core.Log().back(), "OVERRUN 2 bytes lost: the receive buffer of 6000 bytes is full");
  core.Clear();
  EXPECT_EQ(core.Overruns(), 0);
  EXPECT_TRUE(core.Log().empty());
}

}  // namespace
}  // namespace vprinter
