// Faults beyond the transport contract, over the device node and the serial line to the virtual
// printer: late answers, slow or stopped reading, signals during a write, a peer that has gone.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <string>

#include "connection.h"
#include "fd_io.h"
#include "printer_on_pty.h"
#include "stopwatch.h"

namespace {

constexpr int kShortTimeoutMs = 20;
// Far beyond every bounded wait here, far below a hang.
constexpr long kNoHangMs = 5000;

struct Line {
  const char* name;
  int baudRate;
  int slowReadRate;  // bytes a second; on the serial line, slower than a write's fixed allowance
};

const Line kLines[] = {{"device node", 0, 800 * 1024}, {"serial line", 9600, 64 * 1024}};

using TransportFaults = PrinterOnPty;

// The answer to the first query comes after it gave up and waits, unread, until the second.
TEST_F(TransportFaults, LateAnswerIsNotTheNextAnswer) {
  for (const Line& line : kLines) {
    SCOPED_TRACE(line.name);
    vprinter::PrinterState state;
    state.drawerPin3High = true;
    state.answerDelayMs = 250;
    printer.SetState(state);
    ASSERT_NO_FATAL_FAILURE(Open(line.baudRate));
    comm_->SetTimeout(kShortTimeoutMs);
    int word = 0;
    EXPECT_EQ(GetDrawerStatus(1, &word), TALLYJET_ERR_FAILED);
    usleep(300000);
    printer.SetState(vprinter::PrinterState());
    EXPECT_EQ(GetDrawerStatus(1, &word), TALLYJET_SUCCESS);
    EXPECT_EQ(word, TALLYJET_DRAWER_PIN3_LOW);
    ASSERT_EQ(ClosePort(), TALLYJET_SUCCESS);
  }
}

TEST_F(TransportFaults, PrinterThatStopsReadingFailsTheWrite) {
  printer.SetRates(0, 1);
  ASSERT_NO_FATAL_FAILURE(Open());
  comm_->SetTimeout(kShortTimeoutMs);
  const std::string text(1 << 20, 'x');
  const Stopwatch watch;
  EXPECT_EQ(comm_->Write(text.data(), static_cast<int>(text.size())), TALLYJET_ERR_FAILED);
  EXPECT_LT(watch.Ms(), kNoHangMs);
}

void Interrupted(int) {}

// A job far larger than the pty holds, to a slow printer, while a signal arrives every 2 ms: the
// write waits for the printer and carries on after each interruption instead of ending short.
TEST_F(TransportFaults, InterruptedWriteToASlowPrinterArrivesWhole) {
  std::string text(128 * 1024, ' ');
  for (size_t i = 0; i < text.size(); ++i) text[i] = i % 64 == 63 ? '\n' : 'a' + i % 26;
  struct sigaction action = {};
  action.sa_handler = Interrupted;  // no SA_RESTART: a blocked call ends with EINTR
  struct sigaction previous;
  ASSERT_EQ(sigaction(SIGALRM, &action, &previous), 0);
  const itimerval every2ms = {{0, 2000}, {0, 2000}};
  const itimerval off = {};
  for (const Line& line : kLines) {
    SCOPED_TRACE(line.name);
    printer.SetRates(0, line.slowReadRate);
    printer.Clear();
    Open(line.baudRate);
    setitimer(ITIMER_REAL, &every2ms, nullptr);
    const int written = comm_->Write(text.data(), static_cast<int>(text.size()));
    setitimer(ITIMER_REAL, &off, nullptr);
    EXPECT_EQ(written, TALLYJET_SUCCESS);
    EXPECT_TRUE(printer.WaitForReceived(text.size(), kNoHangMs));
    EXPECT_TRUE(printer.Received() == text);
    EXPECT_EQ(ClosePort(), TALLYJET_SUCCESS);
  }
  sigaction(SIGALRM, &previous, nullptr);
}

// A socket whose peer has gone: writing raises no SIGPIPE, which would end the process.
TEST(DescriptorIo, GoneSocketPeerFailsQuietly) {
  int pair[2];
  ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, pair), 0);
  char byte = 'x';
  close(pair[1]);
  EXPECT_FALSE(fdio::WriteAll(pair[0], &byte, 1, fdio::MonotonicMs() + kNoHangMs, 0));
  close(pair[0]);
}

}  // namespace
