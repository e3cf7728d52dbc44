// Two printers, each on its own virtual printer, each driven by its own thread at the same time:
// each printer receives exactly its own bytes, in order, and each thread reads its own
// printer's status. One printer is opened by name, the other is an application's link.
#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "descriptor_link.h"
#include "tallyjet.h"
#include "virtual_printer.h"

namespace {

constexpr int kReceipts = 16;
const std::string kStatusQueries = "\x10\x04\x01\x10\x04\x02";  // DLE EOT 1, DLE EOT 2
const std::string kCut = "\x1D\x56\x01";                        // GS V 1

// What one thread does with its printer, and what the printer must have received then.
struct Job {
  std::string name;
  bool coverOpen;
  std::string expected;
  int failures = 0;

  void Run(tallyjet_printer* printer) {
    for (int i = 0; i < kReceipts; ++i) {
      const std::string line = name + " receipt " + std::to_string(i) + "\n";
      Count(tallyjet_send_data(printer, line.data(), static_cast<int>(line.size())));
      int word = 0;
      Count(tallyjet_get_printer_status(printer, &word));
      if (((word & TALLYJET_PRINTER_COVER_OPEN) != 0) != coverOpen) ++failures;
      Count(tallyjet_make_cut(printer, 1));
      expected += line + kStatusQueries + kCut;
    }
  }
  void Count(int rc) {
    if (rc != TALLYJET_SUCCESS) ++failures;
  }
};

vprinter::Options OnLoopback() {
  vprinter::Options options;
  options.listenPort = 0;
  return options;
}

TEST(TwoPrintersTest, EachThreadsPrinterGetsExactlyItsOwnBytes) {
  vprinter::VirtualPrinter kitchen(OnLoopback());
  vprinter::VirtualPrinter till;
  ASSERT_TRUE(kitchen.Start());
  ASSERT_TRUE(till.Start());
  vprinter::PrinterState open;
  open.coverOpen = true;
  till.SetState(open);

  tallyjet_printer* kitchenPrinter = nullptr;
  tallyjet_printer* tillPrinter = nullptr;
  ASSERT_EQ(tallyjet_open(kitchen.PortName().c_str(), 0, &kitchenPrinter), TALLYJET_SUCCESS);
  int tillLink = descriptor_link::Connect(till.PortName());
  ASSERT_EQ(tallyjet_open_transport(&descriptor_link::kFunctions, &tillLink, &tillPrinter),
            TALLYJET_SUCCESS);

  Job kitchenJob{"kitchen", false, ""};
  Job tillJob{"till", true, ""};
  std::thread kitchenThread([&] { kitchenJob.Run(kitchenPrinter); });
  std::thread tillThread([&] { tillJob.Run(tillPrinter); });
  kitchenThread.join();
  tillThread.join();

  EXPECT_EQ(tallyjet_close(kitchenPrinter), TALLYJET_SUCCESS);
  EXPECT_EQ(tallyjet_close(tillPrinter), TALLYJET_SUCCESS);
  EXPECT_EQ(tillLink, -1);  // the application's close was called
  for (const auto& [job, printer] : {std::pair<Job*, vprinter::VirtualPrinter*>{&kitchenJob, &kitchen},
                                     {&tillJob, &till}}) {
    EXPECT_EQ(job->failures, 0) << job->name;
    EXPECT_TRUE(printer->WaitForReceived(job->expected.size(), 5000)) << job->name;
    EXPECT_TRUE(printer->Received() == job->expected) << job->name << " received other bytes";
  }
  kitchen.Stop();
  till.Stop();
}

}  // namespace
