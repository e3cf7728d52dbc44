// Splitting the byte stream into commands, whole and in pieces.
#include "command_parser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vprinter {
namespace {

std::string B(std::initializer_list<int> bytes) {
  std::string s;
  for (int b : bytes) s += static_cast<char>(b);
  return s;
}

struct Case {
  std::string bytes;  // exactly one command
  Kind kind;
  std::vector<int> params;
  size_t dataSize;
};

// Commands whose length the parser must work out from their own parameters.
const std::vector<Case>& Cases() {
  static const std::vector<Case> cases = {
      {B({0x1B, 0x40}), Kind::Initialise, {}, 0},
      {B({0x1B, 0x63, 0x30, 0x01}), Kind::OperationMode, {0x30, 1}, 0},
      {B({0x1B, 0x21, 0x88}), Kind::PrintMode, {0x88}, 0},
      {B({0x1B, 0x24, 0xFF, 0xFF}), Kind::AbsolutePosition, {255, 255}, 0},
      {B({0x1B, 0x44, 0x08, 0x10, 0x00}), Kind::TabPositions, {}, 2},
      {B({0x1B, 0x44, 0x00}), Kind::TabPositions, {}, 0},
      {B({0x1B, 0x57, 1, 2, 3, 4, 5, 6, 7, 8}), Kind::PageArea, {1, 2, 3, 4, 5, 6, 7, 8}, 0},
      {B({0x1B, 0x0C}), Kind::PrintPage, {}, 0},
      {B({0x1B, 0x70, 0x30, 0x19, 0xFA}), Kind::DrawerPulse, {0x30, 0x19, 0xFA}, 0},
      {B({0x1D, 0x56, 0x01}), Kind::Cut, {1}, 0},
      {B({0x1D, 0x56, 0x42, 0x00}), Kind::Cut, {0x42, 0}, 0},  // the NUL is a parameter
      {B({0x10, 0x04, 0x0B}), Kind::Status, {11}, 0},
      {B({0x1D, 0x49, 0x03}), Kind::PrinterId, {3}, 0},
      {B({0x1D, 0x28, 0x4C, 0x02, 0x00, 0x30, 0x33}), Kind::NvGraphics, {2, 0}, 2},
      {B({0x1D, 0x38, 0x4C, 0x0F, 0x00, 0x00, 0x00, 0x30, 0x43, 0x30, 0x41,
          0x31, 0x01, 0x09, 0x00, 0x02, 0x00, 0x31, 1,    2,    3,    4}),
       Kind::DefineNvGraphic,
       {0x0F, 0, 0, 0},
       15},
      {B({0x1D, 0x76, 0x30, 0x00, 0x02, 0x00, 0x03, 0x00, 0, 0, 0, 0, 0, 0}),
       Kind::RasterBand,
       {0, 2, 0, 3, 0},
       6},
      {B({0x1B, 0x2A, 0x01, 0x02, 0x00, 0x1B, 0x40}), Kind::ColumnImage, {1, 2, 0}, 2},
      {B({0x1B, 0x2A, 0x21, 0x01, 0x00, 0x1B, 0x40, 0x0A}), Kind::ColumnImage, {33, 1, 0}, 3},
      {B({0x1D, 0x6B, 0x49, 0x02, 0x7B, 0x42}), Kind::Barcode, {0x49, 2}, 2},
      {B({0x1D, 0x6B, 0x04, 0x41, 0x42, 0x00}), Kind::Barcode, {4}, 2},
      {B({0x1D, 0x28, 0x6B, 0x03, 0x00, 0x31, 0x51, 0x30}), Kind::Symbol, {3, 0}, 3},
      {B({0x1D, 0x28, 0x41, 0x02, 0x00, 0x61, 0x62}), Kind::Unknown, {0x41, 2, 0}, 2},
      {B({0x1B, 0x99}), Kind::Unknown, {}, 0},
      {B({0x00}), Kind::Unknown, {}, 0},
      {B({0x0A}), Kind::LineFeed, {}, 0},
  };
  return cases;
}

TEST(CommandParserTest, EachCommandTakesExactlyItsOwnBytes) {
  for (const Case& c : Cases()) {
    CommandParser parser;
    // A command after it shows where the first one ended.
    std::vector<Command> commands = parser.Feed(c.bytes + "\x1B@");
    ASSERT_EQ(commands.size(), 2u) << testing::PrintToString(c.bytes);
    EXPECT_EQ(commands[0].kind, c.kind) << testing::PrintToString(c.bytes);
    EXPECT_EQ(commands[0].raw, c.bytes);
    EXPECT_EQ(commands[0].params, c.params) << testing::PrintToString(c.bytes);
    EXPECT_EQ(commands[0].data.size(), c.dataSize) << testing::PrintToString(c.bytes);
    EXPECT_EQ(commands[1].kind, Kind::Initialise);
  }
}

TEST(CommandParserTest, CommandsSplitAnywhereComeOutWhole) {
  std::string stream;
  for (const Case& c : Cases()) stream += c.bytes;
  for (size_t piece : {1, 2, 3, 7}) {
    CommandParser parser;
    std::vector<Command> commands;
    for (size_t at = 0; at < stream.size(); at += piece) {
      for (Command& command : parser.Feed(stream.substr(at, piece))) commands.push_back(command);
    }
    ASSERT_EQ(commands.size(), Cases().size()) << "pieces of " << piece;
    for (size_t i = 0; i < commands.size(); ++i) EXPECT_EQ(commands[i].raw, Cases()[i].bytes);
    EXPECT_EQ(parser.Pending(), 0u);
  }
}

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
  EXPECT_TRUE(parser.Feed(B({0x1D, 0x76, 0x30, 0x00, 0x48, 0x00, 0x53, 0x00, 1, 2})).empty());
  EXPECT_TRUE(parser.Flush().empty());
  std::vector<Command> ended = parser.Finish();
  ASSERT_EQ(ended.size(), 1u);
  EXPECT_EQ(ended[0].kind, Kind::Incomplete);
  EXPECT_EQ(ended[0].raw.size(), 10u);
}

}  // namespace
}  // namespace vprinter
