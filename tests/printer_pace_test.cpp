// Printers at their pace: a network printer that takes 3 KB/s behind a 4 KB window, and the
// virtual printer moving its paper at 250 mm/s. Long jobs arrive whole and close with 1; a
// printer that stopped taking bytes, or closed its side before the job, never yields 1.
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "comm_net.h"
#include "paced_listener.h"
#include "printer_on_pty.h"
#include "stopwatch.h"

namespace {

constexpr int kReportLines = 180;  // 48 columns and LF: 8 820 bytes, three seconds at 3 KB/s

std::string Report() {
  std::string report;
  for (int line = 0; line < kReportLines; ++line) {
    std::string text = "ITEM " + std::to_string(line);
    text.resize(48, '.');
    report += text + "\n";
  }
  return report;
}

// A 576-dot picture of rows rows as one GS v 0 band.
std::string Picture(int rows) {
  const std::string header = {0x1D, 0x76, 0x30, 0x00, 72, 0x00, static_cast<char>(rows & 0xFF),
                              static_cast<char>(rows >> 8)};
  return header + std::string(72 * rows, '\x55');
}

// How a job reaches the printer: the process-wide functions or a handle's twins.
struct Face {
  const char* name;
  int (*open)(const std::string& port, tallyjet_printer** handle);
};

int OpenProcessWide(const std::string& port, tallyjet_printer** handle) {
  *handle = nullptr;
  return OpenPort(port.c_str(), 0, 'N', 8, 1);
}

int OpenHandle(const std::string& port, tallyjet_printer** handle) {
  return tallyjet_open(port.c_str(), 0, handle);
}

const Face kFaces[] = {{"process-wide", OpenProcessWide}, {"handle", OpenHandle}};

class PrinterPaceTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(SetProtocol(TALLYJET_PROTOCOL_ESCPOS), TALLYJET_SUCCESS); }
};

// Closing waits while the printer takes the end of the job, long after the 2 s a printer gets
// to close its side: nothing is cut off.
TEST_F(PrinterPaceTest, LongJobToASlowNetworkPrinterArrivesWhole) {
  const struct {
    const char* what;
    std::string job;
    int bytesPerSecond;
  } jobs[] = {
      {"text report", Report(), 3000},
      {"picture 576 x 1 500", Picture(1500), 36000},
  };
  for (const auto& job : jobs) {
    for (const Face& face : kFaces) {
      SCOPED_TRACE(std::string(job.what) + " " + face.name);
      PacedListener printer({job.bytesPerSecond});
      tallyjet_printer* handle = nullptr;
      ASSERT_EQ(face.open(printer.Name(), &handle), TALLYJET_SUCCESS);
      EXPECT_EQ(tallyjet_send_data(handle, job.job.data(), static_cast<int>(job.job.size())),
                TALLYJET_SUCCESS);
      EXPECT_EQ(tallyjet_close(handle), TALLYJET_SUCCESS);
      EXPECT_TRUE(printer.WaitForEnd(2000));
      EXPECT_EQ(printer.Received(), job.job.size());
    }
  }
}

// A printer that stops reading part-way: closing gives up once it has taken nothing for the
// write time-out, and says the job is lost.
TEST_F(PrinterPaceTest, PrinterThatStopsReadingFailsTheClose) {
  PacedListener printer({100000, -1, 20000});
  CommNet net;
  net.SetWriteTimeout(300);
  ASSERT_EQ(net.Open(printer.Name().c_str()), TALLYJET_SUCCESS);
  const std::string job(200000, 'x');
  const Stopwatch watch;
  const int wrote = net.Write(job.data(), static_cast<int>(job.size()));
  EXPECT_EQ(net.Close(), TALLYJET_ERR_FAILED) << "write answered " << wrote;
  EXPECT_LT(watch.Ms(), 5000);
}

// A printer that closed its side before the job, at accept or after an idle time, printed
// nothing: every write and the close fail, through both faces, however often it happens.
TEST_F(PrinterPaceTest, PrinterThatClosedBeforeTheJobNeverYieldsSuccess) {
  const std::string receipt = "RECEIPT\n" + std::string(200, '-') + "\n";
  for (const int closeAfterMs : {0, 300}) {
    for (const Face& face : kFaces) {
      for (int run = 0; run < 3; ++run) {
        SCOPED_TRACE(std::string(face.name) + " closing after " + std::to_string(closeAfterMs) +
                     " ms, run " + std::to_string(run));
        PacedListener printer({3000, closeAfterMs});
        tallyjet_printer* handle = nullptr;
        ASSERT_EQ(face.open(printer.Name(), &handle), TALLYJET_SUCCESS);
        usleep((closeAfterMs + 200) * 1000);
        for (int write = 0; write < 2; ++write) {
          tallyjet_send_data(handle, receipt.data(), static_cast<int>(receipt.size()));
        }
        EXPECT_EQ(tallyjet_close(handle), TALLYJET_ERR_FAILED);
      }
    }
  }
}

// The virtual printer at 250 mm/s on TCP and on its pty: a text report and a picture arrive
// whole, the sender is held to the paper's pace, and the status reads as always.
TEST_F(PrinterPaceTest, VirtualPrinterAtItsPaceTakesLongJobsWhole) {
  for (const bool onLoopback : {true, false}) {
    SCOPED_TRACE(onLoopback ? "TCP" : "pty");
    vprinter::Options options;
    options.paperSpeed = 250;
    if (onLoopback) options.listenPort = 0;
    vprinter::VirtualPrinter printer(options);
    ASSERT_TRUE(printer.Start());
    tallyjet_printer* handle = nullptr;
    ASSERT_EQ(tallyjet_open(printer.PortName().c_str(), 0, &handle), TALLYJET_SUCCESS);
    const std::string job = Report() + Picture(3000);
    const Stopwatch watch;
    EXPECT_EQ(tallyjet_send_data(handle, job.data(), static_cast<int>(job.size())),
              TALLYJET_SUCCESS);
    // The query waits behind the bytes still buffered on their way to the printer.
    ASSERT_EQ(tallyjet_set_answer_timeout(handle, 10000), TALLYJET_SUCCESS);
    int word = 0;
    EXPECT_EQ(tallyjet_get_printer_status(handle, &word), TALLYJET_SUCCESS);
    EXPECT_EQ(word, TALLYJET_PRINTER_ONLINE);
    EXPECT_EQ(tallyjet_close(handle), TALLYJET_SUCCESS);
    EXPECT_TRUE(printer.WaitForReceived(job.size() + 3, 5000));
    // 180 lines of 30 dots and 3 000 rows take 4.2 s of paper; the buffers hide some of it.
    EXPECT_GT(watch.Ms(), 2000);
    EXPECT_EQ(printer.Overruns(), 0);
  }
}

}  // namespace
