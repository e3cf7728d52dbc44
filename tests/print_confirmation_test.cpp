// Confirmed printing against the virtual printer moving its paper at 200 mm/s: a receipt is
// confirmed once its paper has passed, a roll that runs out stops it, a printer that never
// confirms is told apart in the time asked, and status blocks sent unasked shift no later query.
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <thread>

#include "answer_stream.h"
#include "printer_on_pty.h"
#include "stopwatch.h"

namespace {

using escpos::AnswerStream;

// Items come whole however the bytes are split, and bytes that are no item are skipped.
TEST(AnswerStreamTest, ItemsComeWholeInOrder) {
  const std::string bytes = std::string("\x16", 1) +              // status byte
                            std::string("\x14\x00\x0C\x00", 4) +  // automatic status, paper end
                            std::string("\x37\x22" "0042\0", 7) + // process ID
                            std::string("\xFF\x01", 2) +          // noise
                            std::string("\x12", 1);
  const struct {
    AnswerStream::Item kind;
    size_t length;
  } expected[] = {{AnswerStream::Item::kStatusByte, 1}, {AnswerStream::Item::kAutoStatus, 4},
                  {AnswerStream::Item::kResponse, 7},   {AnswerStream::Item::kNoise, 1},
                  {AnswerStream::Item::kNoise, 1},      {AnswerStream::Item::kStatusByte, 1}};
  for (size_t split = 0; split <= bytes.size(); ++split) {
    AnswerStream stream;
    stream.Add(bytes.data(), static_cast<int>(split));
    std::vector<std::pair<AnswerStream::Item, size_t>> got;
    AnswerStream::Item kind;
    std::string item;
    while (stream.Next(&kind, &item)) got.emplace_back(kind, item.size());
    stream.Add(bytes.data() + split, static_cast<int>(bytes.size() - split));
    while (stream.Next(&kind, &item)) got.emplace_back(kind, item.size());
    ASSERT_EQ(got.size(), std::size(expected)) << "split at " << split;
    for (size_t i = 0; i < got.size(); ++i) {
      EXPECT_EQ(got[i].first, expected[i].kind) << "split at " << split << ", item " << i;
      EXPECT_EQ(got[i].second, expected[i].length) << "split at " << split << ", item " << i;
    }
  }
}

constexpr int kSpeed = 200;  // mm/s

// Lines of 30 dots (3.75 mm): 40 lines are 150 mm, 0.75 s of paper at 200 mm/s.
std::string Receipt(int lines) {
  std::string receipt;
  for (int line = 0; line < lines; ++line) receipt += "LINE " + std::to_string(line) + "\n";
  return receipt + "\x1D\x56\x01";  // GS V 1: cut
}

class PrintConfirmationTest : public ::testing::Test {
 protected:
  void Start(int paperLength) {
    vprinter::Options options;
    options.listenPort = 0;
    options.paperSpeed = kSpeed;
    options.paperLength = paperLength;
    printer = std::make_unique<vprinter::VirtualPrinter>(options);
    ASSERT_TRUE(printer->Start());
    ASSERT_EQ(tallyjet_open(printer->PortName().c_str(), 0, &handle), TALLYJET_SUCCESS);
  }
  void TearDown() override {
    tallyjet_close(handle);
    if (printer != nullptr) printer->Stop();
  }
  int Send(const std::string& bytes) {
    return tallyjet_send_data(handle, bytes.data(), static_cast<int>(bytes.size()));
  }

  std::unique_ptr<vprinter::VirtualPrinter> printer;
  tallyjet_printer* handle = nullptr;
};

// The confirmation comes once the receipt's paper has passed, not when its bytes arrived.
TEST_F(PrintConfirmationTest, ReceiptIsConfirmedOncePrinted) {
  Start(0);
  ASSERT_EQ(Send(Receipt(40)), TALLYJET_SUCCESS);
  const Stopwatch watch;
  EXPECT_EQ(tallyjet_wait_printed(handle, 10000), TALLYJET_SUCCESS);
  EXPECT_GT(watch.Ms(), 500);
  EXPECT_EQ(tallyjet_wait_printed(handle, -1), TALLYJET_ERR_INVALID_ARGUMENT);
  EXPECT_EQ(tallyjet_wait_printed(handle, 10000), TALLYJET_SUCCESS);  // nothing left to print
  EXPECT_STREQ(tallyjet_result_name(TALLYJET_ERR_NOT_CONFIRMED), "printing not confirmed");
}

// The roll runs out 60 mm into a receipt: the wait says the printer stopped and the media word
// says why; with paper loaded again the rest prints and is confirmed.
TEST_F(PrintConfirmationTest, PaperRunningOutStopsTheReceipt) {
  Start(60);
  ASSERT_EQ(Send(Receipt(40)), TALLYJET_SUCCESS);
  EXPECT_EQ(tallyjet_wait_printed(handle, 10000), TALLYJET_ERR_PRINTER_STOPPED);
  int media = 0;
  EXPECT_EQ(tallyjet_get_media_status(handle, &media), TALLYJET_SUCCESS);
  EXPECT_EQ(media, TALLYJET_MEDIA_PAPER_END);
  printer->LoadRoll(1000);
  EXPECT_EQ(tallyjet_wait_printed(handle, 10000), TALLYJET_SUCCESS);
  const std::vector<std::string> log = printer->Log();
  size_t paperOut = log.size(), lastLine = 0;
  for (size_t i = 0; i < log.size(); ++i) {
    if (log[i].find("PAPER OUT") != std::string::npos) paperOut = i;
    if (log[i].find("LINE 39") != std::string::npos) lastLine = i;
  }
  EXPECT_LT(paperOut, lastLine) << "the end of the receipt printed after the new roll";
}

// A printer that answers nothing (it does not know the request) is told apart within the time
// asked, and one that reports its cover open while printing stops the wait.
TEST_F(PrintConfirmationTest, SilenceAndAnOpenCoverAreToldApart) {
  Start(0);
  vprinter::PrinterState state;
  state.answers = vprinter::PrinterState::Answers::Silent;
  printer->SetState(state);
  ASSERT_EQ(Send(Receipt(4)), TALLYJET_SUCCESS);
  Stopwatch watch;
  EXPECT_EQ(tallyjet_wait_printed(handle, 1000), TALLYJET_ERR_NOT_CONFIRMED);
  EXPECT_GE(watch.Ms(), 1000);
  EXPECT_LT(watch.Ms(), 3000);
  state = vprinter::PrinterState();
  printer->SetState(state);
  ASSERT_EQ(Send(Receipt(200)), TALLYJET_SUCCESS);
  std::thread opener([&] {
    usleep(300000);
    vprinter::PrinterState open;
    open.coverOpen = true;
    printer->SetState(open);
  });
  EXPECT_EQ(tallyjet_wait_printed(handle, 10000), TALLYJET_ERR_PRINTER_STOPPED);
  opener.join();
}

// With automatic status back on, the printer sends blocks unasked as its state changes; the
// wait consumes them, and the next query reads its own answer.
TEST_F(PrintConfirmationTest, StatusBlocksSentUnaskedShiftNoLaterQuery) {
  Start(0);
  ASSERT_EQ(Send("\x1D\x61\xFF"), TALLYJET_SUCCESS);  // GS a 255: every change
  ASSERT_EQ(Send(Receipt(20)), TALLYJET_SUCCESS);
  vprinter::PrinterState state;
  for (const bool nearEnd : {true, false, true}) {
    state.paperNearEnd = nearEnd;
    printer->SetState(state);
  }
  EXPECT_EQ(tallyjet_wait_printed(handle, 10000), TALLYJET_SUCCESS);
  int word = 0;
  EXPECT_EQ(tallyjet_get_media_status(handle, &word), TALLYJET_SUCCESS);
  EXPECT_EQ(word, TALLYJET_MEDIA_PAPER_PRESENT | TALLYJET_MEDIA_PAPER_NEAR_END);
  EXPECT_EQ(tallyjet_get_printer_status(handle, &word), TALLYJET_SUCCESS);
  EXPECT_EQ(word, TALLYJET_PRINTER_ONLINE);
}

}  // namespace
