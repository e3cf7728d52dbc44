// Answers that come late or unasked, on every kind of link and through both faces, against the
// virtual printer: a late answer is dropped, never taken for the next query's; input nobody
// asked for is dropped before a query; a fill-level answer later than the read time-out does
// not fail a picture.
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <thread>

#include "descriptor_link.h"
#include "raster_bands.h"
#include "virtual_printer.h"

namespace {

// Later than a query's read (100 ms pause and a 300 ms time-out), well within the next query's
// wait for it (one more time-out): 150 ms of slack on either side.
constexpr int kLateMs = 550;

// How a test reaches its printer: the process-wide connection (a null handle) or a handle.
struct Link {
  const char* name;
  bool onLoopback;
  int (*open)(const vprinter::VirtualPrinter& printer, tallyjet_printer** handle);
};

void PrintTo(const Link& link, std::ostream* out) { *out << link.name; }

int OpenProcessWide(const vprinter::VirtualPrinter& printer, tallyjet_printer** handle) {
  *handle = nullptr;
  SetProtocol(TALLYJET_PROTOCOL_ESCPOS);
  return OpenPort(printer.PortName().c_str(), 0, 'N', 8, 1);
}

int OpenByName(const vprinter::VirtualPrinter& printer, tallyjet_printer** handle) {
  return tallyjet_open(printer.PortName().c_str(), 0, handle);
}

int OpenApplicationLink(const vprinter::VirtualPrinter& printer, tallyjet_printer** handle) {
  static int descriptor;
  descriptor = descriptor_link::Connect(printer.PortName());
  return tallyjet_open_transport(&descriptor_link::kFunctions, &descriptor, handle);
}

const Link kLinks[] = {
    {"process-wide TCP", true, OpenProcessWide},
    {"handle on TCP", true, OpenByName},
    {"handle on the device node", false, OpenByName},
    {"application link on the pty", false, OpenApplicationLink},
};

class LateAnswersTest : public ::testing::TestWithParam<Link> {
 protected:
  static vprinter::Options Where(const Link& link) {
    vprinter::Options options;
    if (link.onLoopback) options.listenPort = 0;
    return options;
  }

  void SetUp() override {
    ASSERT_TRUE(printer.Start());
    ASSERT_EQ(GetParam().open(printer, &handle), TALLYJET_SUCCESS);
  }
  void TearDown() override {
    tallyjet_close(handle);
    printer.Stop();
  }

  // Off-line with drawer pin 3 high: status byte 1 is 0x1E, which read as the paper sensor's
  // byte would say "near end".
  void Answer(int delayMs) {
    vprinter::PrinterState state;
    state.offline = true;
    state.drawerPin3High = true;
    state.answerDelayMs = delayMs;
    printer.SetState(state);
  }

  vprinter::VirtualPrinter printer{Where(GetParam())};
  tallyjet_printer* handle = nullptr;
};

struct StatusQuery {
  const char* what;
  int (*ask)(tallyjet_printer* printer, int* word);
  int word;
  int notObtained;
};

// Each query that got no answer in time fails; its late answer is dropped by the next query,
// which fails in turn or reads its own answer, never another's. Once the printer is quick
// again, every query reads its own answer.
TEST_P(LateAnswersTest, LateAnswerIsDroppedNotTakenForTheNextQuerys) {
  const StatusQuery queries[] = {
      {"printer", tallyjet_get_printer_status, TALLYJET_PRINTER_OFFLINE,
       TALLYJET_PRINTER_NOT_OBTAINED},
      {"media", tallyjet_get_media_status, TALLYJET_MEDIA_PAPER_PRESENT,
       TALLYJET_MEDIA_NOT_OBTAINED},
      {"drawer",
       [](tallyjet_printer* p, int* word) { return tallyjet_get_drawer_status(p, 1, word); },
       TALLYJET_DRAWER_PIN3_HIGH, TALLYJET_DRAWER_NOT_OBTAINED},
  };
  Answer(kLateMs);
  int failed = 0;
  for (const auto& q : queries) {
    int word = 0;
    const int rc = q.ask(handle, &word);
    failed += rc != TALLYJET_SUCCESS;
    EXPECT_EQ(word, rc == TALLYJET_SUCCESS ? q.word : q.notObtained) << q.what << " late";
  }
  EXPECT_GT(failed, 0);  // the answers were late indeed
  Answer(0);
  for (const auto& q : queries) {
    int word = 0;
    EXPECT_EQ(q.ask(handle, &word), TALLYJET_SUCCESS) << q.what;
    EXPECT_EQ(word, q.word) << q.what;
  }
}

// A printer behind a slow link answers every query 600 ms late: with a longer answer wait, each
// query reads its own answer, however often asked. The wait is bounded on both sides.
TEST_P(LateAnswersTest, LongerAnswerWaitReadsEachQuerysOwnAnswer) {
  const StatusQuery queries[] = {
      {"printer", tallyjet_get_printer_status, TALLYJET_PRINTER_OFFLINE,
       TALLYJET_PRINTER_NOT_OBTAINED},
      {"media", tallyjet_get_media_status, TALLYJET_MEDIA_PAPER_PRESENT,
       TALLYJET_MEDIA_NOT_OBTAINED},
      {"raw byte 1",
       [](tallyjet_printer* p, int* word) { return tallyjet_get_real_time_status(p, 1, word); },
       0x1E, 0},
      {"drawer",
       [](tallyjet_printer* p, int* word) { return tallyjet_get_drawer_status(p, 1, word); },
       TALLYJET_DRAWER_PIN3_HIGH, TALLYJET_DRAWER_NOT_OBTAINED},
  };
  for (int refused : {0, 30001}) {
    EXPECT_EQ(tallyjet_set_answer_timeout(handle, refused), TALLYJET_ERR_INVALID_ARGUMENT);
  }
  ASSERT_EQ(tallyjet_set_answer_timeout(handle, 1500), TALLYJET_SUCCESS);
  Answer(600);
  for (const auto& q : queries) {
    int word = 0;
    EXPECT_EQ(q.ask(handle, &word), TALLYJET_SUCCESS) << q.what;
    EXPECT_EQ(word, q.word) << q.what;
  }
}

// An answer to a request the application sent as raw data waits unread on the link; the next
// query drops it before it asks.
TEST_P(LateAnswersTest, AnswerNobodyAskedForIsDropped) {
  Answer(0);
  const char request[] = {0x10, 0x04, 0x01};  // DLE EOT 1, sent as data
  ASSERT_EQ(tallyjet_send_data(handle, request, sizeof request), TALLYJET_SUCCESS);
  usleep(500000);  // the answer has long arrived
  int word = 0;
  EXPECT_EQ(tallyjet_get_media_status(handle, &word), TALLYJET_SUCCESS);
  EXPECT_EQ(word, TALLYJET_MEDIA_PAPER_PRESENT);
}

// The printer answers the fill level late for a while: the picture waits, drops the late answers,
// and carries on once answers come in time again.
TEST_P(LateAnswersTest, LateFillLevelDoesNotFailAPicture) {
  Answer(kLateMs);
  std::thread quickAgain([this] {
    usleep(3 * kLateMs * 1000);
    Answer(0);
  });
  const std::string raster(72 * 200, '\x5A');
  const auto* data = reinterpret_cast<const unsigned char*>(raster.data());
  EXPECT_EQ(tallyjet_print_raster_bit_image(handle, 0, 576, 200, data), TALLYJET_SUCCESS);
  quickAgain.join();
  ASSERT_TRUE(printer.WaitForReceived(raster.size(), 5000));
  const std::string noMargin("\x1D\x4C\x00\x00", 4);  // BandData expects one in front
  EXPECT_EQ(BandData(noMargin + printer.Received()), raster);
}

INSTANTIATE_TEST_SUITE_P(EveryLink, LateAnswersTest, ::testing::ValuesIn(kLinks),
                         [](const auto& info) {
                           std::string name = info.param.name;
                           for (char& c : name) {
                             if (!isalnum(static_cast<unsigned char>(c))) c = '_';
                           }
                           return name;
                         });

}  // namespace
