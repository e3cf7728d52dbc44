// What only the network transport does, over the loopback: port names, the connect and write
// bounds, IPv6, and a printer that resets mid-job, against the virtual printer on a TCP port and
// sockets the tests make themselves. A SIGPIPE would end this program, so every test here also
// shows that none is raised.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "comm_net.h"
#include "image_per_pixel.h"
#include "loopback_sockets.h"
#include "picture_files.h"
#include "printer_on_pty.h"

namespace {

using Clock = std::chrono::steady_clock;

long long MsSince(Clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

class NetworkPrinterTest : public PrinterOnPty {
 protected:
  NetworkPrinterTest() : PrinterOnPty(OnLoopback()) {}
};

TEST_F(NetworkPrinterTest, PrinterResettingMidPictureFailsThePicture) {
  PictureFiles files;
  const std::string path = files.Save(DistinctRows(576, 3000), "tall");
  Open();
  std::thread resetter([this] {
    printer.WaitForReceived(20000, 10000);
    printer.DropClient(true);
  });
  EXPECT_LT(PrintBmpImage(path.c_str(), 1.0f, 1.0f, 0, 0, 0), 0);
  resetter.join();
  EXPECT_EQ(ClosePort(), TALLYJET_SUCCESS);
}

TEST(NetworkPortTest, MalformedNamesAreRefusedAndOpenNothing) {
  ASSERT_EQ(SetProtocol(TALLYJET_PROTOCOL_ESCPOS), TALLYJET_SUCCESS);
  for (const char* name :
       {"socket://", "socket://:9100", "socket://127.0.0.1:0", "socket://127.0.0.1:65536",
        "socket://127.0.0.1:9100x", "socket://127.0.0.1:9100/queue", "socket://127.0.0.1:",
        "socket://[::1", "socket://[::1]x", "socket://::1", "socket://[]:9100"}) {
    EXPECT_EQ(OpenPort(name, 0, 'N', 8, 1), TALLYJET_ERR_INVALID_ARGUMENT) << name;
    EXPECT_EQ(ClosePort(), TALLYJET_ERR_PORT_NOT_OPEN) << name;
  }
}

TEST(NetworkPortTest, PortIs9100UnlessGiven) {
  for (const char* name : {"socket://printer.local", "socket://[::1]", "socket://[::1]:9100"}) {
    HostPort address;
    ASSERT_TRUE(ParseNetworkName(name, &address)) << name;
    EXPECT_EQ(address.port, 9100) << name;
  }
}

TEST(NetworkPortTest, FullBacklogEndsAtTheConnectBound) {
  FullListener full;
  ASSERT_TRUE(full.full());
  CommNet net;
  net.SetConnectTimeout(300);
  const Clock::time_point start = Clock::now();
  EXPECT_EQ(net.Open(full.Name().c_str()), TALLYJET_ERR_PORT_NOT_OPEN);
  EXPECT_GE(MsSince(start), 250);
  EXPECT_LT(MsSince(start), 3000);
}

TEST(NetworkPortTest, PrinterThatNeverReadsEndsTheWriteAtItsBound) {
  OwnSocket neverReads(4096);
  ASSERT_EQ(listen(neverReads.fd, 1), 0);
  CommNet net;
  ASSERT_EQ(net.Open(neverReads.Name().c_str()), TALLYJET_SUCCESS);
  const int accepted = accept(neverReads.fd, nullptr, nullptr);
  net.SetWriteTimeout(200);
  const std::string job(16 << 20, 'x');  // more than both sides' socket buffers hold
  const Clock::time_point start = Clock::now();
  EXPECT_EQ(net.Write(job.data(), static_cast<int>(job.size())), TALLYJET_ERR_FAILED);
  EXPECT_LT(MsSince(start), 5000);
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
