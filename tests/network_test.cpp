// What only the network transport does, over the loopback: port names, the write bound, IPv6,
// and printers that lose a job in ways only a network link shows.
#include <gtest/gtest.h>
#include <poll.h>

#include <atomic>
#include <string>
#include <thread>

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
  // The printer holds part of the job, and it was told nothing of the rest.
  EXPECT_EQ(net.Close(), TALLYJET_ERR_FAILED);
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

// Longer than Close's 2 s wait for the printer, far below a hang.
constexpr long kCloseBoundMs = 4500;
constexpr int kJobBytes = 1 << 20;

// A printer of the test's own, serving a listener of 127.0.0.1 on its own thread until the test
// is done with it.
class HostilePrinter {
 public:
  using Serve = void (*)(int listener, const std::atomic<bool>& done);
  explicit HostilePrinter(Serve serve) {
    EXPECT_EQ(listen(listener_.fd, 8), 0);
    thread_ = std::thread([this, serve] { serve(listener_.fd, done_); });
  }
  ~HostilePrinter() {
    done_ = true;
    thread_.join();
  }
  std::string Name() const { return listener_.Name(); }

 private:
  OwnSocket listener_;
  std::atomic<bool> done_{false};
  std::thread thread_;
};

// Ends a connection abortively (RST), as a printer that fails or restarts does.
void Reset(int connection) {
  const linger abortive = {1, 0};
  setsockopt(connection, SOL_SOCKET, SO_LINGER, &abortive, sizeof abortive);
  close(connection);
}

// Accepts within the test's bound; -1 when nobody came.
int AcceptOne(int listener) {
  pollfd entry = {listener, POLLIN, 0};
  return poll(&entry, 1, 5000) == 1 ? accept(listener, nullptr, nullptr) : -1;
}

void WaitUntilDone(const std::atomic<bool>& done) {
  while (!done) usleep(10000);
}

// Takes the first 64 KB of the job, then resets the connection.
void ResetsAfter64Kb(int listener, const std::atomic<bool>& done) {
  const int connection = AcceptOne(listener);
  char buffer[4096];
  for (int got = 0; got < 64 * 1024;) {
    const ssize_t now = read(connection, buffer, std::min<size_t>(sizeof buffer, 64 * 1024 - got));
    if (now <= 0) break;
    got += static_cast<int>(now);
  }
  Reset(connection);
  WaitUntilDone(done);
}

// Holds the connection and reads nothing.
void NeverReads(int listener, const std::atomic<bool>& done) {
  const int connection = AcceptOne(listener);
  WaitUntilDone(done);
  close(connection);
}

// Closes each connection once the job has come, without reading it: the system resets it.
void ClosesAtAccept(int listener, const std::atomic<bool>& done) {
  while (!done) {
    pollfd entry = {listener, POLLIN, 0};
    if (poll(&entry, 1, 10) != 1) continue;
    const int connection = accept(listener, nullptr, nullptr);
    pollfd data = {connection, POLLIN, 0};
    poll(&data, 1, 5000);
    close(connection);
  }
}

// Sends without a pause until the connection is gone, reading nothing.
void Floods(int listener, const std::atomic<bool>& done) {
  const int connection = AcceptOne(listener);
  const std::string junk(1024 * 1024, '\x12');
  while (send(connection, junk.data(), junk.size(), MSG_NOSIGNAL) > 0) {
  }
  close(connection);
  WaitUntilDone(done);
}

struct LosingPrinter {
  const char* name;
  HostilePrinter::Serve serve;
  int jobs;
  int jobBytes;
};

// Each job is written (whatever the write answers), then Close says that the printer did not
// get it all, within its bound.
TEST(HostileNetworkPrinterTest, CloseReportsTheLossWithinItsBound) {
  const LosingPrinter kPrinters[] = {
      {"resets after 64 KB", ResetsAfter64Kb, 1, kJobBytes},
      {"never reads", NeverReads, 1, kJobBytes},
      {"closes at accept", ClosesAtAccept, 20, 20},
  };
  const std::string job(kJobBytes, 'x');
  for (const LosingPrinter& losing : kPrinters) {
    SCOPED_TRACE(losing.name);
    const HostilePrinter printer(losing.serve);
    for (int i = 0; i < losing.jobs; ++i) {
      CommNet net;
      net.SetWriteTimeout(200);
      ASSERT_EQ(net.Open(printer.Name().c_str()), TALLYJET_SUCCESS);
      net.Write(job.data(), losing.jobBytes);
      const Stopwatch watch;
      EXPECT_EQ(net.Close(), TALLYJET_ERR_FAILED) << "job " << i;
      EXPECT_LT(watch.Ms(), kCloseBoundMs);
    }
  }
}

// Once a call has seen the reset, every later call fails too, until the port opens again.
TEST(HostileNetworkPrinterTest, ResetFailsEveryLaterCall) {
  const HostilePrinter printer(ResetsAfter64Kb);
  CommNet net;
  ASSERT_EQ(net.Open(printer.Name().c_str()), TALLYJET_SUCCESS);
  const std::string job(kJobBytes, 'x');
  net.Write(job.data(), kJobBytes);
  usleep(200000);  // the reset has come
  char answer[8];
  EXPECT_EQ(net.Read(answer, sizeof answer), TALLYJET_ERR_READ);
  EXPECT_EQ(net.Write("x", 1), TALLYJET_ERR_FAILED);
  EXPECT_EQ(net.Read(answer, sizeof answer), TALLYJET_ERR_READ);
  EXPECT_EQ(net.Write("x", 1), TALLYJET_ERR_FAILED);
  EXPECT_EQ(net.Close(), TALLYJET_ERR_FAILED);
}

// A printer that keeps sending ends Close's wait no later than its bound; it acknowledged the
// job, so Close answers 1.
TEST(HostileNetworkPrinterTest, FloodingPrinterDoesNotHoldClose) {
  const HostilePrinter printer(Floods);
  CommNet net;
  ASSERT_EQ(net.Open(printer.Name().c_str()), TALLYJET_SUCCESS);
  EXPECT_EQ(net.Write("receipt\n", 8), TALLYJET_SUCCESS);
  usleep(100000);  // the flood has begun
  const Stopwatch watch;
  EXPECT_EQ(net.Close(), TALLYJET_SUCCESS);
  EXPECT_LT(watch.Ms(), kCloseBoundMs);
}

}  // namespace
