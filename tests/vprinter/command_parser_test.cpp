// Text and unfinished commands held back until the line goes quiet or ends; each command taking
// its own bytes, whole and in pieces, is shown by the log.
#include "command_parser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vprinter {
namespace {

TEST(CommandParserTest, TextWaitsForTheLineToGoQuiet) {
  CommandParser parser;
  EXPECT_TRUE(parser.Feed("Caf").empty());
  EXPECT_TRUE(parser.Feed("\x82").empty());
  std::vector<Command> flushed = parser.Flush();
  ASSERT_EQ(flushed.size(), 1u);
  EXPECT_EQ(flushed[0].kind, Kind::Text);
  EXPECT_EQ(flushed[0].data, "Caf\x82");
  std::vector<Command> ended = parser.Feed("ab\n");
  ASSERT_EQ(ended.size(), 2u);
  EXPECT_EQ(ended[0].data, "ab");
}

TEST(CommandParserTest, UnfinishedCommandWaitsUntilTheEnd) {
  CommandParser parser;
  // GS v 0: a raster band of 72 x 83 bytes, two of them sent.
  EXPECT_TRUE(parser.Feed(std::string("\x1Dv0\0\x48\0\x53\0\x01\x02", 10)).empty());
  EXPECT_TRUE(parser.Flush().empty());
  std::vector<Command> ended = parser.Finish();
  ASSERT_EQ(ended.size(), 1u);
  EXPECT_EQ(ended[0].kind, Kind::Incomplete);
  EXPECT_EQ(ended[0].raw.size(), 10u);
}

}  // namespace
}  // namespace vprinter
