// The encoder object: initialise, operation mode, unsupported operations, the hex dump.
#include <gtest/gtest.h>

#include <string>

#include "prot_escpos.h"
#include "recording_transport.h"

namespace {

TEST(EncoderCoreTest, WithoutTransportCommandsAreRefusedAndUnsupportedStayUnsupported) {
  ProtEscPos encoder(nullptr);
  EXPECT_EQ(encoder.GetProtocol(), TALLYJET_PROTOCOL_ESCPOS);
  EXPECT_EQ(encoder.Initialize(), TALLYJET_ERR_PORT_NOT_OPEN);
  EXPECT_EQ(encoder.SetOperationMode(0), TALLYJET_ERR_PORT_NOT_OPEN);
  EXPECT_EQ(encoder.SetCharSpacing(1), TALLYJET_ERR_NOT_SUPPORTED);
  EXPECT_EQ(encoder.GetPrinterStatus(1, nullptr), TALLYJET_ERR_NOT_SUPPORTED);
  EXPECT_EQ(encoder.SetDownloadedBitImage(1, 1, nullptr), TALLYJET_ERR_NOT_SUPPORTED);
}

TEST(EncoderCoreTest, InitializeIsOneTwoByteWrite) {
  auto* transport = new RecordingTransport;
  ProtEscPos encoder(transport);
  EXPECT_EQ(encoder.Initialize(), TALLYJET_SUCCESS);
  EXPECT_EQ(transport->writes, std::vector<std::string>{Bytes({0x1B, 0x40})});
}

TEST(EncoderCoreTest, FailedInitializeKeepsTheRememberedPrintMode) {
  auto* transport = new RecordingTransport;
  ProtEscPos encoder(transport);
  ASSERT_EQ(encoder.SetPrintMode(0x08), TALLYJET_SUCCESS);
  transport->FailWrite(1, TALLYJET_ERR_FAILED);
  EXPECT_EQ(encoder.Initialize(), TALLYJET_ERR_FAILED);
  ASSERT_EQ(encoder.SetItalicEnable(), TALLYJET_SUCCESS);
  EXPECT_EQ(transport->writes.back(), Bytes({0x1B, 0x21, 0x48}));
}

TEST(EncoderCoreTest, OperationModeGoesOnlyToTheExtendedUsbProduct) {
  struct Case {
    int pid;
    int mode;
    int result;
    std::string sent;
  };
  const Case cases[] = {
      {0x20, 0, TALLYJET_SUCCESS, Bytes({0x1B, 0x63, 0x30, 0x01})},
      {0x20, 1, TALLYJET_SUCCESS, Bytes({0x1B, 0x63, 0x30, 0x08})},
      {0x20, 2, TALLYJET_SUCCESS, Bytes({0x1B, 0x63, 0x30, 0x01})},
      {0x10, 1, TALLYJET_ERR_NOT_SUPPORTED, ""},
      {TALLYJET_ERR_NOT_SUPPORTED, 1, TALLYJET_ERR_NOT_SUPPORTED, ""},
  };
  for (const Case& c : cases) {
    auto* transport = new RecordingTransport;
    transport->pid = c.pid;
    ProtEscPos encoder(transport);
    EXPECT_EQ(encoder.SetOperationMode(c.mode), c.result) << "pid " << c.pid;
    EXPECT_EQ(transport->writes.empty() ? "" : transport->writes[0], c.sent) << "pid " << c.pid;
  }
}

std::string Dump(int length, unsigned char* data) {
  testing::internal::CaptureStdout();
  DumpConsole(length, data);
  return testing::internal::GetCapturedStdout();
}

TEST(DumpConsoleTest, FormatsEachByteAsTwoUpperCaseDigits) {
  unsigned char bytes[] = {0x00, 0xAB, 0xFF};
  EXPECT_EQ(Dump(0, bytes), "\t [  ]\n");
  EXPECT_EQ(Dump(-5, bytes), "\t [  ]\n");
  EXPECT_EQ(Dump(3, bytes), "\t [ 00 AB FF  ]\n");
}

TEST(DumpConsoleTest, DumpsInputsLargerThanAnyFixedBuffer) {
  std::string bytes(200000, '\x1b');
  const std::string dump = Dump(static_cast<int>(bytes.size()),
                                reinterpret_cast<unsigned char*>(&bytes[0]));
  EXPECT_EQ(dump.size(), 4 + 3 * bytes.size() + 3);
  EXPECT_EQ(dump.substr(dump.size() - 9), "1B 1B  ]\n");
}

}  // namespace
