// The transport interface's defaults and the device-node transport, on real files.
#include <gtest/gtest.h>

#include "comm_base.h"
#include "comm_usblp.h"

namespace {

TEST(CommBaseTest, OperationsATransportLacksAreNotSupported) {
  CommBase base;
  char byte = 0;
  EXPECT_EQ(base.Open(0x10, 0x1209), TALLYJET_ERR_NOT_SUPPORTED);
  EXPECT_EQ(base.Open("/dev/null"), TALLYJET_ERR_NOT_SUPPORTED);
  EXPECT_EQ(base.Write("x", 1), TALLYJET_ERR_NOT_SUPPORTED);
  EXPECT_EQ(base.Read(&byte, 1), TALLYJET_ERR_NOT_SUPPORTED);
  EXPECT_EQ(base.GetDeviceVid(), TALLYJET_ERR_NOT_SUPPORTED);
  EXPECT_EQ(base.GetDevicePid(), TALLYJET_ERR_NOT_SUPPORTED);
  EXPECT_EQ(base.SetPortSettings(9600, 'N', 8, 1), TALLYJET_ERR_NOT_SUPPORTED);
  EXPECT_EQ(base.Close(), TALLYJET_ERR_PORT_NOT_OPEN);
  EXPECT_FALSE(base.IsOpen());
}

// A null path is refused before any system call; a path that does not open leaves nothing usable.
TEST(CommUsbLPTest, FailedOpenLeavesNothingUsable) {
  CommUsbLP node;
  char byte = 0;
  EXPECT_EQ(node.Open(nullptr), TALLYJET_ERR_INVALID_ARGUMENT);
  EXPECT_FALSE(node.IsOpen());
  EXPECT_EQ(node.Close(), TALLYJET_ERR_PORT_NOT_OPEN);
  EXPECT_EQ(node.Open("/nonexistent/lp0"), TALLYJET_ERR_PORT_NOT_OPEN);
  EXPECT_EQ(node.Write("x", 1), TALLYJET_ERR_PORT_NOT_OPEN);
  EXPECT_EQ(node.Read(&byte, 1), TALLYJET_ERR_PORT_NOT_OPEN);
  EXPECT_EQ(node.Close(), TALLYJET_ERR_CLOSE);
}

TEST(CommUsbLPTest, OpenWriteReadCloseOnANodeAndAFailedWrite) {
  CommUsbLP node;
  char buffer[4];
  ASSERT_EQ(node.Open("/dev/null"), TALLYJET_SUCCESS);
  EXPECT_TRUE(node.IsOpen());
  EXPECT_EQ(node.Write("\x1b@", 2), TALLYJET_SUCCESS);
  EXPECT_EQ(node.Write("", 0), TALLYJET_SUCCESS);
  EXPECT_EQ(node.Read(buffer, sizeof buffer), TALLYJET_ERR_READ);  // end of file: no printer
  EXPECT_EQ(node.Close(), TALLYJET_SUCCESS);
  EXPECT_EQ(node.Close(), TALLYJET_ERR_PORT_NOT_OPEN);
  ASSERT_EQ(node.Open("/dev/full"), TALLYJET_SUCCESS);
  EXPECT_EQ(node.Write("x", 1), TALLYJET_ERR_FAILED);  // /dev/full refuses every write
  EXPECT_EQ(node.Read(buffer, -1), TALLYJET_ERR_INVALID_ARGUMENT);
}

}  // namespace
