// What only the network transport does, over the loopback: port names, the write bound, IPv6.
#include <gtest/gtest.h>

#include <string>

#include "comm_net.h"
#include "loopback_sockets.h"
#include "stopwatch.h"
#include "tallyjet.h"
#include "virtual_printer.h"

namespace {

// A malformed name is refused and opens nothing; a name without a port means 9100.
TEST(NetworkPortTest, MalformedNamesAreRefusedAndThePortIs9100UnlessGiven) {
  ASSERT_EQ(SetProtocol(TALLYJET_PROTOCOL_ESCPOS), TALLYJET_SUCCESS);
  for (const char* name :
       {"socket://", "socket://:9100", "socket://127.0.0.1:0", "socket://127.0.0.1:65536",
        "socket://127.0.0.1:9100x", "socket://127.0.0.1:9100/queue", "socket://127.0.0.1:",
        "socket://[::1", "socket://[::1]x", "socket://::1", "socket://[]:9100"}) {
    EXPECT_EQ(OpenPort(name, 0, 'N', 8, 1), TALLYJET_ERR_INVALID_ARGUMENT) << name;
    EXPECT_EQ(ClosePort(), TALLYJET_ERR_PORT_NOT_OPEN) << name;
  }
  for (const char* name : {"socket://printer.local", "socket://[::1]", "socket://[::1]:9100"}) {
    HostPort address;
    ASSERT_TRUE(ParseNetworkName(name, &address)) << name;
    EXPECT_EQ(address.port, 9100) << name;
  }
}

TEST(NetworkPortTest, PrinterThatNeverReadsEndsTheWriteAtItsBound) {
  OwnSocket neverReads;
  ASSERT_EQ(listen(neverReads.fd, 1), 0);
  CommNet net;
  ASSERT_EQ(net.Open(neverReads.Name().c_str()), TALLYJET_SUCCESS);
  const int accepted = accept(neverReads.fd, nullptr, nullptr);
  net.SetWriteTimeout(200);
  const std::string job(16 << 20, 'x');  // more than both sides' socket buffers hold
  const Stopwatch watch;
  EXPECT_EQ(net.Write(job.data(), static_cast<int>(job.size())), TALLYJET_ERR_FAILED);
  EXPECT_LT(watch.Ms(), 5000);
  close(accepted);
  EXPECT_EQ(net.Close(), TALLYJET_SUCCESS);
}

TEST(NetworkPortTest, PrinterOnIpv6LoopbackTakesAJob) {
  vprinter::Options options;
  options.listenHost = "::1";
  options.listenPort = 0;
  vprinter::VirtualPrinter printer(options);
  if (!printer.Start()) GTEST_SKIP() << "no IPv6 loopback here";
  CommNet net;
  ASSERT_EQ(net.Open(printer.PortName().c_str()), TALLYJET_SUCCESS);
  EXPECT_EQ(net.Write("v6\n", 3), TALLYJET_SUCCESS);
  EXPECT_EQ(net.Close(), TALLYJET_SUCCESS);
  EXPECT_TRUE(printer.WaitForReceived(3, 2000));
  EXPECT_EQ(printer.Received(), "v6\n");
}

}  // namespace
