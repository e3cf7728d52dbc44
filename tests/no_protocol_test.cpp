// The connection before any protocol is selected. This program never calls SetProtocol(101),
// since nothing can unselect it again.
#include <gtest/gtest.h>

#include "connection.h"

namespace {

TEST(NoProtocolTest, CommandsWithoutAPortAreRefused) {
  char byte;
  EXPECT_EQ(Reset(), TALLYJET_ERR_PORT_NOT_OPEN);
  EXPECT_EQ(EnableLog(), TALLYJET_ERR_PORT_NOT_OPEN);
  EXPECT_EQ(GetData(&byte, 1), TALLYJET_ERR_PORT_NOT_OPEN);
  EXPECT_EQ(SendData("x", 1), TALLYJET_ERR_PORT_NOT_OPEN);
  EXPECT_EQ(ClosePort(), TALLYJET_ERR_PORT_NOT_OPEN);
}

TEST(NoProtocolTest, OpenPortLeavesOnlyATransport) {
  EXPECT_EQ(SetProtocol(100), TALLYJET_ERR_NOT_SUPPORTED);
  EXPECT_EQ(OpenPort("/dev/null", 0, 'N', 8, 1), TALLYJET_ERR_NO_PROTOCOL);
  ASSERT_NE(comm_, nullptr);
  EXPECT_EQ(prot_, nullptr);
  EXPECT_EQ(Reset(), TALLYJET_ERR_NO_PROTOCOL);
  EXPECT_EQ(EnableLog(), TALLYJET_ERR_NO_PROTOCOL);
  char byte;
  // The transport exists but was never opened.
  EXPECT_EQ(GetData(&byte, 1), TALLYJET_ERR_PORT_NOT_OPEN);
  EXPECT_EQ(ClosePort(), TALLYJET_ERR_PORT_NOT_OPEN);
  EXPECT_EQ(comm_, nullptr);
}

TEST(NoProtocolTest, NullPortNameCreatesNothing) {
  EXPECT_EQ(OpenPort(nullptr, 0, 'N', 8, 1), TALLYJET_ERR_INVALID_ARGUMENT);
  EXPECT_EQ(comm_, nullptr);
}

}  // namespace
