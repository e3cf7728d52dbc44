// The transport interface's defaults, and the device node's refusal of a null path.
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

// A null path is refused before any system call. The rest of what a transport does is in
// transport_contract_test.
TEST(CommUsbLPTest, NullPathIsRefused) {
  CommUsbLP node;
  EXPECT_EQ(node.Open(nullptr), TALLYJET_ERR_INVALID_ARGUMENT);
  EXPECT_FALSE(node.IsOpen());
}

}  // namespace
