// The printer application's parts that need no server: rows on their way to the printer, device
// URIs of our scheme and the device nodes they may name, job options, status words turned into
// IPP reasons, the stored jobs of a restart, and the order jobs wait in.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <string>
#include <utility>
#include <vector>

#include "device_node.h"
#include "job_order.h"
#include "page_rows.h"
#include "port_scheme.h"
#include "printer_status.h"
#include "receipt_options.h"
#include "server_state.h"
#include "tallyjet.h"

namespace printer_app {
namespace {

// What PageRows sends for runs of rows 16 dots wide, each a count and whether its rows have ink
// in their first dot: "R<rows>" for a raster and "F<dots>" for a feed, in order.
std::vector<std::string> Pass(const std::vector<std::pair<int, bool>>& runs) {
  std::vector<std::string> sent;
  PageRows page(
      16, 16,
      [&](const unsigned char*, int count) {
        sent.push_back("R" + std::to_string(count));
        return 1;
      },
      [&](int dots) {
        sent.push_back("F" + std::to_string(dots));
        return 1;
      });
  for (const auto& [count, ink] : runs) {
    const unsigned char line[2] = {static_cast<unsigned char>(ink ? 0x80 : 0), 0};
    for (int i = 0; i < count; ++i) EXPECT_EQ(page.Add(line), 1);
  }
  EXPECT_EQ(page.Finish(), 1);
  return sent;
}

// Of the jobs waiting to print, only the oldest is pending: newer pending ones are held in line,
// the oldest held in line is released, and jobs in other states (processing, held by a user)
// keep their own.
TEST(JobOrderTest, OnlyTheOldestWaitingJobIsPending) {
  using Kind = QueuedJob::Kind;
  const Kind P = Kind::kPending, L = Kind::kHeldInLine, O = Kind::kOther;
  const struct {
    std::vector<QueuedJob> jobs;  // as PAPPL lists them, newest first
    std::vector<int> hold;
    int release;
  } cases[] = {
      {{}, {}, 0},
      {{{7, P}}, {}, 0},
      {{{4, P}, {3, P}, {2, P}, {1, O}}, {3, 4}, 0},
      {{{4, L}, {3, L}, {2, P}}, {}, 0},
      {{{4, L}, {3, L}, {2, O}}, {}, 3},
      {{{5, P}, {4, L}, {3, L}}, {5}, 3},
      {{{5, L}, {3, P}, {2, O}, {1, O}}, {}, 0},
      {{{6, P}, {5, L}, {2, P}}, {6}, 0},
  };
  for (const auto& c : cases) {
    const QueueSteps steps = PlanQueue(c.jobs);
    EXPECT_EQ(steps.hold, c.hold) << testing::PrintToString(c.hold);
    EXPECT_EQ(steps.release, c.release);
  }
}

TEST(PageRowsTest, BlankRowsAroundTheInkAreNeverSentAndLongRunsBecomeFeeds) {
  struct Case {
    const char* name;
    std::vector<std::pair<int, bool>> runs;
    std::vector<std::string> steps;
  };
  const Case cases[] = {
      {"blank page", {{2000, false}}, {}},
      {"short receipt on a long page", {{3, true}, {2000, false}}, {"R3"}},
      {"short gap stays raster", {{1, true}, {15, false}, {1, true}}, {"R17"}},
      {"long gap feeds", {{1, true}, {16, false}, {1, true}}, {"R1", "F16", "R1"}},
      {"top margin", {{300, false}, {1, true}}, {"R1"}},
      {"gap over one feed", {{1, true}, {300, false}, {1, true}}, {"R1", "F255", "F45", "R1"}},
      {"long ink goes in pieces", {{PageRows::kRowsPerSend + 1, true}},
       {"R" + std::to_string(PageRows::kRowsPerSend), "R1"}},
  };
  for (const Case& c : cases) EXPECT_EQ(Pass(c.runs), c.steps) << c.name;
}

TEST(PageRowsTest, RefusedRasterStopsThePage) {
  int calls = 0;
  PageRows page(8, 8, [&](const unsigned char*, int) { return ++calls, TALLYJET_ERR_FAILED; },
                [](int) { return 1; });
  const unsigned char ink = 0xFF;
  for (int i = 0; i < PageRows::kRowsPerSend - 1; ++i) ASSERT_EQ(page.Add(&ink), 1);
  EXPECT_EQ(page.Add(&ink), TALLYJET_ERR_FAILED);
  EXPECT_EQ(calls, 1);
}

TEST(PortSchemeTest, UriNamesThePortAndOnlyUnhandshakedSerialLinesArePaced) {
  struct Case {
    const char* uri;
    bool valid;
    std::string port;
    int baud;
    bool paced;
  };
  const Case cases[] = {
      {"tallyjet:///dev/usb/lp0", true, "/dev/usb/lp0", 0, false},
      {"tallyjet:///dev/ttyUSB0?baud=19200", true, "/dev/ttyUSB0", 19200, true},
      {"tallyjet:///dev/ttyUSB0?baud=19200&flow=hardware", true, "/dev/ttyUSB0", 19200, false},
      {"tallyjet://USB", true, "USB", 0, false},
      {"tallyjet://usb", false, "", 0, false},
      {"tallyjet:///dev/ttyS0?baud=fast", false, "", 0, false},
      {"tallyjet:///dev/ttyS0?baud=-9600", false, "", 0, false},
      {"tallyjet:///dev/ttyS0?parity=E", false, "", 0, false},
      {"socket://127.0.0.1:9100", true, "socket://127.0.0.1:9100", 0, false},
      {"socket://[::1]:9100/", true, "socket://[::1]:9100", 0, false},  // the web page's form
      {"socket://printer", true, "socket://printer", 0, false},
      {"socket://", false, "", 0, false},
      {"socket://host/queue", false, "", 0, false},
      {"socket://host:9100?timeout=1", false, "", 0, false},
      {"file:///tmp/receipt", false, "", 0, false},
  };
  for (const Case& c : cases) {
    PortAddress address;
    ASSERT_EQ(ParsePortUri(c.uri, &address), c.valid) << c.uri;
    EXPECT_EQ(NeedsFillLevelPacing(c.uri), c.paced) << c.uri;
    if (!c.valid) continue;
    EXPECT_EQ(address.port, c.port) << c.uri;
    EXPECT_EQ(address.baud, c.baud) << c.uri;
  }
}

// Only a printer's node or a serial line is a printer's device: a pseudo-terminal's slave end
// (as the virtual printer uses) and a serial port are; files, directories, memory, the kernel
// log, consoles and the terminal multiplexer are not.
TEST(DeviceNodeTest, OnlyPrintersAndSerialLinesAreTaken) {
  const int master = posix_openpt(O_RDWR | O_NOCTTY);
  ASSERT_GE(master, 0);
  ASSERT_EQ(grantpt(master), 0);
  ASSERT_EQ(unlockpt(master), 0);
  const std::string slave = ptsname(master);
  const struct {
    std::string path;
    bool taken;
  } cases[] = {
      {slave, true},          {"/dev/null", false}, {"/dev/zero", false},
      {"/dev/mem", false},    {"/dev/kmsg", false}, {"/dev/tty", false},
      {"/dev/console", false}, {"/dev/ptmx", false}, {"/dev/tty1", false},
      {"/etc/passwd", false}, {"/tmp", false},      {"/no/such/node", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsPrinterOrSerialNode(c.path.c_str()), c.taken) << c.path;
  if (access("/dev/ttyS0", F_OK) == 0) {
    EXPECT_TRUE(IsPrinterOrSerialNode("/dev/ttyS0"));
  }
  close(master);
}

TEST(ReceiptOptionsTest, TrimCutsEveryPageAndUnknownValuesKeepTheDefault) {
  struct Case {
    pappl_finishings_t finishings;
    const char *cut, *feed, *drawer;
    CutAt expectCut;
    int expectFeed;
    DrawerPulse expectDrawer;
  };
  const ReceiptOptions defaults;
  const Case cases[] = {
      {PAPPL_FINISHINGS_TRIM, "never", "0", "after-job", CutAt::kEveryPage, 0,
       DrawerPulse::kAfterJob},
      {PAPPL_FINISHINGS_NONE, "never", "255", "before-job", CutAt::kNever, 255,
       DrawerPulse::kBeforeJob},
      {PAPPL_FINISHINGS_NONE, "sideways", "256", "always", defaults.cut, defaults.feedBeforeCut,
       defaults.drawer},
  };
  for (const Case& c : cases) {
    cups_option_t* vendor = nullptr;
    int count = cupsAddOption("cut-mode", c.cut, 0, &vendor);
    count = cupsAddOption("feed-before-cut", c.feed, count, &vendor);
    count = cupsAddOption("drawer-pulse", c.drawer, count, &vendor);
    const ReceiptOptions options = ReadReceiptOptions(c.finishings, count, vendor);
    cupsFreeOptions(count, vendor);
    EXPECT_EQ(options.cut, c.expectCut) << c.cut;
    EXPECT_EQ(options.feedBeforeCut, c.expectFeed) << c.feed;
    EXPECT_EQ(options.drawer, c.expectDrawer) << c.drawer;
  }
}

TEST(PrinterStatusTest, StatusWordsBecomeReasonsAndSilenceIsOffline) {
  struct Case {
    int printerResult, printerWord, mediaResult, mediaWord;
    pappl_preason_t reasons;
    bool stops;
  };
  const Case cases[] = {
      {1, TALLYJET_PRINTER_ONLINE, 1, TALLYJET_MEDIA_PAPER_PRESENT | TALLYJET_MEDIA_PAPER_NEAR_END,
       PAPPL_PREASON_MEDIA_LOW, false},
      {1, TALLYJET_PRINTER_OFFLINE | TALLYJET_PRINTER_PAPER_END_STOP, 1, TALLYJET_MEDIA_PAPER_END,
       PAPPL_PREASON_OFFLINE | PAPPL_PREASON_MEDIA_EMPTY, true},
      {1, TALLYJET_PRINTER_ONLINE | TALLYJET_PRINTER_COVER_OPEN, 1, TALLYJET_MEDIA_PAPER_PRESENT,
       PAPPL_PREASON_COVER_OPEN, true},
      {1, TALLYJET_PRINTER_ONLINE | TALLYJET_PRINTER_ERROR, 1, TALLYJET_MEDIA_PAPER_PRESENT,
       PAPPL_PREASON_OTHER, true},
      {1, TALLYJET_PRINTER_ONLINE, TALLYJET_ERR_SERIAL_TIMEOUT, TALLYJET_MEDIA_NOT_OBTAINED,
       PAPPL_PREASON_NONE, false},
      {TALLYJET_ERR_SERIAL_TIMEOUT, TALLYJET_PRINTER_NOT_OBTAINED, 0, 0, PAPPL_PREASON_OFFLINE,
       true},
  };
  for (const Case& c : cases) {
    const pappl_preason_t reasons =
        ReasonsOf(c.printerResult, c.printerWord, c.mediaResult, c.mediaWord);
    EXPECT_EQ(reasons, c.reasons) << c.printerWord << "/" << c.mediaWord;
    EXPECT_EQ(StopsPrinting(reasons), c.stops) << c.printerWord << "/" << c.mediaWord;
  }
}

// A job is taken up again after a restart only when none of it can have reached the paper, and
// a stored job the server cannot print is aborted as it starts; a job line PAPPL cannot read is
// left out. Quoted values that look like a state option stay as they are.
TEST(ServerStateTest, StoredJobsAreResumedOnlyWhenNothingOfThemPrinted) {
  struct Case {
    const char* name;
    std::string line;
    const char* atStart;  // the state after a start, with PNG the only format printed
    const char* atStop;   // the state stored at a stop, with waiting.png waiting before printing
  };
  const std::string job = "Job id=\"7\" name=\"a \\\" state=\\\"5\\\"\" username=\"root\" ";
  const Case cases[] = {
      {"pending picture", job + "format=\"image/png\" filename=\"/s/a.png\" state=\"3\"", "3", "3"},
      {"pending PDF", job + "format=\"application/pdf\" filename=\"/s/a.pdf\" state=\"3\"", "8",
       "3"},
      {"held PDF", job + "format=\"application/pdf\" filename=\"/s/a.pdf\" state=\"4\"", "8", "4"},
      {"waiting for paper", job + "format=\"image/png\" filename=\"waiting.png\" state=\"5\"",
       "8", "3"},
      {"printing", job + "format=\"image/png\" filename=\"/s/a.png\" state=\"5\"", "8", "8"},
      {"streamed raster", job + "format=\"image/pwg-raster\" state=\"5\"", "8", "8"},
      {"completed PDF", job + "format=\"application/pdf\" filename=\"/s/a.pdf\" state=\"9\"", "9",
       "9"},
      {"no format", job + "filename=\"/s/a.png\" state=\"3\"", "", "3"},
  };
  // The job's state, "" when its line is gone.
  auto stateOf = [](const std::string& text) {
    const std::string option = " state=\"";
    const size_t at = text.find(option);
    if (at == std::string::npos) return std::string();
    return text.substr(at + option.size(), text.find('"', at + option.size()) - at - option.size());
  };
  const auto printsPng = [](const char* format) { return std::string(format) == "image/png"; };
  const auto waiting = [](const std::string& file) { return file == "waiting.png"; };
  for (const Case& c : cases) {
    const std::string text = "<Printer name=\"receipt\">\n" + c.line + "\n</Printer>\n";
    const std::string started = RewriteStoredJobs(
        text, [&](const StoredJob& stored) { return StateAtStart(stored, printsPng); });
    const std::string stopped = RewriteStoredJobs(
        text, [&](const StoredJob& stored) { return StateAtStop(stored, waiting); });
    EXPECT_EQ(stateOf(started), c.atStart) << c.name;
    EXPECT_EQ(stateOf(stopped), c.atStop) << c.name;
    // Only the state option changes, and only on the job's own line, or that line goes.
    for (const std::string& rewritten : {started, stopped}) {
      std::string expected = text;
      if (stateOf(rewritten).empty()) {
        expected.erase(expected.find("Job "), c.line.size() + 1);
        EXPECT_EQ(rewritten, expected) << c.name;
        continue;
      }
      const size_t at = expected.rfind(" state=\"") + 8;
      expected.replace(at, expected.find('"', at) - at, stateOf(rewritten));
      EXPECT_EQ(rewritten, expected) << c.name;
    }
  }
}

}  // namespace
}  // namespace printer_app
