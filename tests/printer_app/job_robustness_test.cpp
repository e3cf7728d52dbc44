// The printer application's jobs against what goes wrong in a shop: broken and very long
// pictures, a stop and a restart with jobs queued, a printer that answers late, runs out of
// paper or goes away in the middle of a job, and two printers at work at the same time. Each
// printer is a virtual printer on a pty; each test has a server of its own.
#include <cups/raster.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <QImage>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "../support/printer_app_process.h"
#include "virtual_printer.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kHeadDots = 576;

double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// The rows of the GS v 0 raster bands in what a printer received, and their black dots.
struct Raster {
  int rows = 0;
  long dots = 0;
};

Raster RasterOf(const std::string& received) {
  const std::string band = "\x1D\x76\x30";
  Raster raster;
  for (size_t at = received.find(band); at != std::string::npos && at + 8 <= received.size();
       at = received.find(band, at)) {
    auto byte = [&](size_t i) { return static_cast<unsigned char>(received[at + i]); };
    const size_t bytesPerRow = byte(4) + 256u * byte(5), count = byte(6) + 256u * byte(7);
    raster.rows += static_cast<int>(count);
    for (size_t i = 8; i < 8 + bytesPerRow * count && at + i < received.size(); ++i) {
      raster.dots += __builtin_popcount(byte(i));
    }
    at += 8 + bytesPerRow * count;
  }
  return raster;
}

int RasterRows(const std::string& received) { return RasterOf(received).rows; }

// The cuts a printer has made.
long Cuts(const vprinter::VirtualPrinter& printer) {
  const std::vector<std::string> log = printer.Log();
  return std::count_if(log.begin(), log.end(),
                       [](const std::string& line) { return line.rfind("GS V", 0) == 0; });
}

// A picture file at 203 dpi with a pattern in every row, so that its bands are not blank.
std::string WritePicture(const std::string& path, int width, int height) {
  QImage picture(width, height, QImage::Format_Mono);
  picture.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
  picture.fill(0);
  for (int y = 0; y < height; ++y) picture.setPixel((y * 7) % width, y, 1);
  picture.setDotsPerMeterX(7992);
  picture.setDotsPerMeterY(7992);
  EXPECT_TRUE(picture.save(QString::fromStdString(path)));
  return path;
}

// A PWG raster document, what CUPS' everywhere model sends: pages of 8-bit grey rows across 80 mm
// paper at 203 dpi, each row with ink in the print head's middle.
std::string WriteRaster(const std::string& path, int pages, int rows) {
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  cups_raster_t* raster = cupsRasterOpen(fd, CUPS_RASTER_WRITE_PWG);
  cups_page_header2_t header;
  cupsRasterInitPWGHeader(&header, pwgMediaForPWG("om_receipt_80x297mm"), "sgray_8", 203, 203,
                          "one-sided", nullptr);
  header.cupsHeight = static_cast<unsigned>(rows);
  header.cupsInteger[CUPS_RASTER_PWG_TotalPageCount] = static_cast<unsigned>(pages);
  std::vector<unsigned char> row(header.cupsBytesPerLine);
  for (int page = 0; page < pages; ++page) {
    EXPECT_TRUE(cupsRasterWriteHeader2(raster, &header));
    for (int y = 0; y < rows; ++y) {
      std::fill(row.begin(), row.end(), 0xFF);  // white
      row[row.size() / 2 + static_cast<size_t>(y % 8)] = 0x00;  // one black dot a row
      EXPECT_TRUE(cupsRasterWritePixels(raster, row.data(), header.cupsBytesPerLine));
    }
  }
  cupsRasterClose(raster);
  close(fd);
  return path;
}

std::string WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
  return path;
}

// An ipptool test file of one operation that expects it to succeed, with the operation
// attributes given (by default the user's name).
std::string OperationTest(const std::string& path, const std::string& operation,
                          const std::string& attributes = "ATTR name requesting-user-name $user") {
  return WriteBytes(path, IppOperation(operation, attributes));
}

class PrinterAppJobs : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(server_.Start()); }

  // A virtual printer on a pty (reached through a link in the server's directory, so that a
  // printer started again on the same link is the same device) added to the server as name.
  vprinter::VirtualPrinter* AddPrinter(const std::string& name, int readBytesPerSecond = 0) {
    vprinter::Options options;
    options.readBytesPerSecond = readBytesPerSecond;
    return AddPrinter(name, options);
  }
  vprinter::VirtualPrinter* AddPrinter(const std::string& name, vprinter::Options options) {
    options.linkPath = LinkOf(name);
    printers_.push_back(std::make_unique<vprinter::VirtualPrinter>(options));
    EXPECT_TRUE(printers_.back()->Start());
    EXPECT_TRUE(server_.AddPrinter(name, options.linkPath)) << server_.Problems();
    return printers_.back().get();
  }

  std::string LinkOf(const std::string& name) const {
    return server_.Directory() + "/" + name + "-link";
  }

  std::string PathOf(const std::string& file) const { return server_.Directory() + "/" + file; }

  static void SetPaper(vprinter::VirtualPrinter* printer, bool out) {
    vprinter::PrinterState state = printer->State();
    state.paperEnd = out;
    printer->SetState(state);
  }

  bool Reaches(const std::string& printer, int job, const std::string& state,
               int timeoutMs = 20000) {
    return Eventually([&] { return server_.JobState(printer, job) == state; }, timeoutMs);
  }

  PrinterAppProcess server_;
  std::vector<std::unique_ptr<vprinter::VirtualPrinter>> printers_;
};

// A picture the library refuses ends its job within moments, with a reason and without a flood
// of messages; the server goes on and prints a 576 x 20 000 receipt whole, beyond PAPPL's own
// 16 384-pixel limit.
TEST_F(PrinterAppJobs, BrokenPicturesAbortAtOnceAndATallReceiptPrintsWhole) {
  vprinter::VirtualPrinter* printer = AddPrinter("receipt");
  const std::string tall = WritePicture(PathOf("tall.png"), kHeadDots, 20000);
  const std::string whole = Slurp(tall);
  const std::string photo = Slurp(WritePicture(PathOf("photo.jpg"), kHeadDots, 400));
  struct Case {
    const char* name;
    std::string path;
    const char* format;
  };
  std::string corrupt = whole;
  for (size_t i = 100; i < corrupt.size(); i += 7) corrupt[i] = static_cast<char>(i * 31);
  const Case cases[] = {
      {"truncated", WriteBytes(PathOf("truncated.png"), whole.substr(0, whole.size() / 2)),
       "image/png"},
      {"corrupt", WriteBytes(PathOf("corrupt.png"), corrupt), "image/png"},
      {"beyond the pixel limit", WritePicture(PathOf("huge.png"), 4100, 4100), "image/png"},
      {"beyond the width limit", WritePicture(PathOf("wide.png"), 70000, 1), "image/png"},
      // Starting as a picture does, so that they reach the printing however the submission
      // looks at their first bytes.
      {"text after a PNG signature", WriteBytes(PathOf("text.png"), whole.substr(0, 8) + "Total"),
       "image/png"},
      {"JPEG cut in its header", WriteBytes(PathOf("header.jpg"), photo.substr(0, 60)),
       "image/jpeg"},
  };
  for (const Case& c : cases) {
    const auto submitted = Clock::now();
    const int job = server_.Submit("receipt", c.path, c.format);
    ASSERT_GT(job, 0) << c.name;
    ASSERT_TRUE(Reaches("receipt", job, "aborted", 5000))
        << c.name << ": " << server_.JobState("receipt", job) << "\n"
        << server_.Problems();
    printf("%s picture: aborted %.2f s after submission\n", c.name, SecondsSince(submitted));
    EXPECT_NE(
        server_.JobAttribute("receipt", job, "job-state-reasons").find("document-format-error"),
        std::string::npos)
        << c.name;
  }
  EXPECT_EQ(RasterRows(printer->Received()), 0);
  EXPECT_LT(server_.Errors().size(), 1024u) << server_.Errors().substr(0, 1024);

  // The cut that ends a job is the last byte it sends.
  auto cuts = [printer] { return Cuts(*printer); };
  auto submitted = Clock::now();
  server_.Submit("receipt", WritePicture(PathOf("receipt.png"), kHeadDots, 2000), "image/png");
  ASSERT_TRUE(Eventually([&] { return cuts() == 1; })) << server_.Problems();
  printf("576 x 2000 picture: last byte %.2f s after submission\n", SecondsSince(submitted));
  // One black dot in each row, as drawn: a one-bit picture keeps its white.
  EXPECT_EQ(RasterOf(printer->Received()).dots, 2000);

  submitted = Clock::now();
  const int job = server_.Submit("receipt", tall, "image/png");
  ASSERT_TRUE(Eventually([&] { return cuts() == 2; })) << server_.Problems();
  printf("576 x 20000 picture: last byte %.2f s after submission\n", SecondsSince(submitted));
  EXPECT_TRUE(Reaches("receipt", job, "completed"));
  EXPECT_EQ(RasterRows(printer->Received()), 2000 + 20000);

  const int jpeg = server_.Submit("receipt", PathOf("photo.jpg"), "image/jpeg");
  EXPECT_TRUE(Reaches("receipt", jpeg, "completed")) << server_.Problems();
  EXPECT_EQ(RasterRows(printer->Received()), 2000 + 20000 + 400);
}

// SIGTERM, SIGINT and the shutdown sub-command stop a server within seconds while a job waits
// for paper; after the restart that job prints once, as soon as there is paper, and a stored job
// in a format the server cannot print is aborted instead of stopping the start.
TEST_F(PrinterAppJobs, RestartKeepsTheJobWaitingForPaperAndAbortsWhatItCannotPrint) {
  vprinter::VirtualPrinter* printer = AddPrinter("receipt");
  struct Way {
    const char* name;
    std::function<int()> stop;  // the server's exit code
  };
  const Way ways[] = {
      {"SIGTERM", [&] { return server_.Stop(SIGTERM); }},
      {"SIGINT", [&] { return server_.Stop(SIGINT); }},
      {"shutdown", [&] { return server_.App("shutdown"), server_.Stop(0); }},
  };
  int printed = 0;
  for (const Way& way : ways) {
    SetPaper(printer, true);
    const int rows = 100 + printed;
    const int waiting = server_.Submit(
        "receipt", WritePicture(PathOf("receipt.png"), kHeadDots, rows), "image/png");
    ASSERT_GT(waiting, 0) << way.name;
    ASSERT_TRUE(Eventually([&] {
      return server_.PrinterReasons("receipt").find("media-empty") != std::string::npos;
    }));
    ASSERT_EQ(server_.JobState("receipt", waiting), "processing") << way.name;

    const auto asked = Clock::now();
    EXPECT_EQ(way.stop(), 0) << way.name;
    const double stopSeconds = SecondsSince(asked);
    printf("%s with a job waiting for paper: stopped in %.2f s\n", way.name, stopSeconds);
    EXPECT_LT(stopSeconds, 5.0) << way.name;

    if (printed == 0) {
      // A job stored by an earlier version in a format this one has no filter for.
      const std::string pdf = WriteBytes(PathOf("stored.pdf"), "%PDF-1.4\n%%EOF\n");
      std::string state = Slurp(server_.StateFile());
      state.insert(state.find("</Printer>"),
                   "Job id=\"900\" name=\"stored.pdf\" "
                   "username=\"root\" format=\"application/pdf\" "
                   "filename=\"" +
                       pdf + "\" state=\"3\"\n");
      WriteBytes(server_.StateFile(), state);
    }

    SetPaper(printer, false);
    ASSERT_TRUE(server_.Start()) << way.name;
    EXPECT_TRUE(Reaches("receipt", waiting, "completed")) << way.name << server_.Problems();
    EXPECT_TRUE(Reaches("receipt", 900, "aborted")) << way.name << server_.Problems();
    printed += rows;
    EXPECT_EQ(RasterRows(printer->Received()), printed) << way.name;
  }
}

// After answers that came garbled or too late the state follows the printer again within a
// poll or two: an open cover, the printer's error bit and then the paper out are seen as such,
// and a job waits for the paper instead of printing into the empty printer.
TEST_F(PrinterAppJobs, LateAnswersThenPaperOut) {
  vprinter::VirtualPrinter* printer = AddPrinter("receipt");
  vprinter::PrinterState state = printer->State();
  auto offline = [&] {
    return server_.PrinterReasons("receipt").find("offline") != std::string::npos;
  };
  state.answers = vprinter::PrinterState::Answers::Garbage;
  printer->SetState(state);
  EXPECT_TRUE(Eventually(offline));
  state.answers = vprinter::PrinterState::Answers::Normal;
  state.answerDelayMs = 450;
  printer->SetState(state);
  EXPECT_TRUE(Eventually(offline));
  state.answerDelayMs = 0;
  state.coverOpen = true;
  printer->SetState(state);
  EXPECT_TRUE(Eventually([&] { return server_.PrinterReasons("receipt") == "cover-open"; }))
      << server_.PrinterReasons("receipt");
  state.coverOpen = false;
  state.error = true;
  printer->SetState(state);
  EXPECT_TRUE(Eventually([&] { return server_.PrinterReasons("receipt") == "other"; }))
      << server_.PrinterReasons("receipt");
  state.error = false;
  state.paperEnd = true;
  printer->SetState(state);
  EXPECT_TRUE(Eventually([&] { return server_.PrinterReasons("receipt") == "media-empty"; }))
      << server_.PrinterReasons("receipt");

  const int job =
      server_.Submit("receipt", WritePicture(PathOf("receipt.png"), kHeadDots, 200), "image/png");
  ASSERT_TRUE(Eventually([&] {
    return server_.JobAttribute("receipt", job, "job-state-reasons").find("printer-stopped") !=
           std::string::npos;
  }));
  EXPECT_EQ(RasterRows(printer->Received()), 0);
  SetPaper(printer, false);
  EXPECT_TRUE(Reaches("receipt", job, "completed"));
  EXPECT_EQ(RasterRows(printer->Received()), 200);
  // The finished job says so, and no longer that the printer stopped.
  EXPECT_EQ(server_.JobAttribute("receipt", job, "job-state-message"), "Printed.");
  EXPECT_EQ(server_.JobAttribute("receipt", job, "job-state-reasons").find("printer-stopped"),
            std::string::npos);
}

// A PWG raster document prints every row of every page, and one cut ends the job.
TEST_F(PrinterAppJobs, RasterPagesPrintEveryRow) {
  vprinter::VirtualPrinter* printer = AddPrinter("receipt");
  const std::string pages = WriteRaster(PathOf("pages.pwg"), 2, 300);
  const int job = server_.Submit("receipt", pages, "image/pwg-raster");
  EXPECT_TRUE(Reaches("receipt", job, "completed")) << server_.Problems();
  EXPECT_EQ(RasterRows(printer->Received()), 2 * 300);
  EXPECT_TRUE(Eventually([printer] { return Cuts(*printer) == 1; }));
}

// A printer that goes away in the middle of a job stops the job with a reason and a log line
// that names what failed; when it comes back, the stopped job is not printed again and the next
// one prints.
TEST_F(PrinterAppJobs, PrinterGoneMidJobAbortsTheJobAndNothingPrintsTwice) {
  vprinter::VirtualPrinter* printer = AddPrinter("receipt", 40000);
  const int job =
      server_.Submit("receipt", WritePicture(PathOf("long.png"), kHeadDots, 2000), "image/png");
  ASSERT_TRUE(printer->WaitForReceived(20000, 20000));
  printer->Stop();
  EXPECT_TRUE(Reaches("receipt", job, "aborted")) << server_.JobState("receipt", job);
  EXPECT_NE(server_.JobAttribute("receipt", job, "job-state-reasons").find("aborted-by-system"),
            std::string::npos);
  EXPECT_NE(server_.Log().find("Picture failed"), std::string::npos) << server_.Problems();

  vprinter::Options options;
  options.linkPath = LinkOf("receipt");
  vprinter::VirtualPrinter back(options);
  ASSERT_TRUE(back.Start());
  const int next =
      server_.Submit("receipt", WritePicture(PathOf("short.png"), kHeadDots, 100), "image/png");
  EXPECT_TRUE(Reaches("receipt", next, "completed")) << server_.Problems();
  EXPECT_EQ(RasterRows(back.Received()), 100);
}

// A job is completed once the printer confirmed it printed it. The roll runs out 60 mm into a
// receipt at 200 mm/s: the job is aborted with the reason, and the printer says media-empty.
TEST_F(PrinterAppJobs, ReceiptCutShortByThePaperIsNotCompleted) {
  vprinter::Options paced;
  paced.paperSpeed = 200;
  AddPrinter("whole", paced);
  paced.paperLength = 60;
  AddPrinter("short", paced);
  std::string receipt;
  for (int line = 0; line < 40; ++line) receipt += "line " + std::to_string(line) + "\n";
  const std::string text = WriteBytes(PathOf("receipt.txt"), receipt);
  const int whole = server_.Submit("whole", text, "text/plain");
  const int cut = server_.Submit("short", text, "text/plain");
  EXPECT_TRUE(Reaches("whole", whole, "completed")) << server_.Problems();
  EXPECT_TRUE(Reaches("short", cut, "aborted")) << server_.JobState("short", cut);
  EXPECT_NE(server_.PrinterReasons("short").find("media-empty"), std::string::npos)
      << server_.PrinterReasons("short");
  EXPECT_NE(server_.Log().find("before the job was printed"), std::string::npos)
      << server_.Problems();
}

// A raw job waits while the paper is out, like any other, and then reaches the printer byte for
// byte, with nothing of ours around it (bytes C3 and ESC t included).
TEST_F(PrinterAppJobs, RawJobWaitsForPaperAndArrivesByteForByte) {
  vprinter::VirtualPrinter* printer = AddPrinter("raw");
  SetPaper(printer, true);
  const std::string bytes = std::string("\x1B@\x1Bt\x02") + "Caf\xC3\xA9 \x82\n\x1DV\x01";
  const int job = server_.Submit("raw", WriteBytes(PathOf("raw.bin"), bytes),
                                 "application/octet-stream");
  EXPECT_TRUE(Eventually([&] { return !printer->Received().empty(); }, 3000));  // status asked
  EXPECT_EQ(server_.JobState("raw", job), "processing");
  EXPECT_EQ(printer->Received().find("Caf"), std::string::npos);
  printer->Clear();
  SetPaper(printer, false);
  EXPECT_TRUE(Reaches("raw", job, "completed")) << server_.Problems();
  const std::string received = printer->Received();
  EXPECT_NE(received.find(bytes), std::string::npos) << testing::PrintToString(received);
  EXPECT_EQ(received.find(std::string("\x1Bt\x00", 3)), std::string::npos);
}

// Receipts queued while the paper is out print in the order they were sent once it is back;
// so do receipts stored across a restart, and receipts the printer held as it held new jobs
// once they are released (PAPPL on its own starts the newest first).
TEST_F(PrinterAppJobs, QueuedReceiptsPrintInTheOrderSent) {
  vprinter::VirtualPrinter* printer = AddPrinter("queue");
  // A printer operation through the server's local socket, where no password is asked.
  auto operate = [&](const char* operation) {
    const std::string test = OperationTest(PathOf("operation.test"), operation);
    std::string socket = server_.Directory() + "/tallyjet-printer-app.sock";
    for (size_t at = 0; (at = socket.find('/', at)) != std::string::npos;) {
      socket.replace(at, 1, "%2F");
    }
    return OutputOf(std::string(IPPTOOL) + " -t ipp://" + socket + "/ipp/print/queue " + test);
  };
  enum class Wait { kPaperOut, kRestart, kHeldNewJobs };
  const struct {
    const char* name;
    Wait wait;
  } cases[] = {{"paper back", Wait::kPaperOut},
               {"restart", Wait::kRestart},
               {"held new jobs", Wait::kHeldNewJobs}};
  for (const auto& with : cases) {
    printer->Clear();
    if (with.wait == Wait::kHeldNewJobs) {
      ASSERT_NE(operate("Hold-New-Jobs").find("[PASS]"), std::string::npos);
    } else {
      SetPaper(printer, true);
    }
    std::vector<int> jobs;
    for (int i = 1; i <= 4; ++i) {
      jobs.push_back(server_.Submit(
          "queue", WriteBytes(PathOf("queued.bin"), "receipt " + std::to_string(i) + "\n"),
          "application/octet-stream"));
      ASSERT_GT(jobs.back(), 0) << with.name;
    }
    if (with.wait == Wait::kRestart) {
      // The first one waits for paper before the stop: only then is it known that none of it
      // went out, and it is kept rather than aborted.
      ASSERT_TRUE(Eventually([&] {
        return server_.JobAttribute("queue", jobs.front(), "job-state-reasons")
                   .find("printer-stopped") != std::string::npos;
      }));
      ASSERT_EQ(server_.Stop(SIGTERM), 0);
      ASSERT_TRUE(server_.Start()) << server_.Problems();
    }
    if (with.wait == Wait::kHeldNewJobs) {
      // Lined up within the server's one-second check, then released as PAPPL releases them.
      ASSERT_TRUE(Eventually([&] {
        return server_.JobAttribute("queue", jobs.back(), "job-state-reasons")
                   .find("job-queued") != std::string::npos;
      }));
      ASSERT_NE(operate("Release-Held-New-Jobs").find("[PASS]"), std::string::npos);
    } else {
      SetPaper(printer, false);
    }
    for (int job : jobs) EXPECT_TRUE(Reaches("queue", job, "completed")) << with.name;
    const std::string printed = printer->Received();
    std::vector<size_t> at;
    for (int i = 1; i <= 4; ++i) at.push_back(printed.find("receipt " + std::to_string(i)));
    EXPECT_TRUE(std::is_sorted(at.begin(), at.end()) && at.back() != std::string::npos)
        << with.name << ": " << testing::PrintToString(printed);
  }
}

// Without the administrator password a client cancels its own job but not another user's: the
// name it sends must be the job's owner's.
TEST_F(PrinterAppJobs, AnotherUsersJobIsNotCancelledWithoutThePassword) {
  vprinter::VirtualPrinter* printer = AddPrinter("shared");
  SetPaper(printer, true);
  const int job = server_.Submit("shared", WriteBytes(PathOf("mine.bin"), "mine\n"),
                                 "application/octet-stream");
  ASSERT_TRUE(Reaches("shared", job, "processing"));
  const std::string owner =
      server_.JobAttribute("shared", job, "job-originating-user-name");
  const std::string cancel =
      OperationTest(PathOf("cancel.test"), "Cancel-Job",
                    "ATTR integer job-id $job ATTR name requesting-user-name $name");
  auto cancelAs = [&](const std::string& name) {
    return OutputOf(std::string(IPPTOOL) + " -t -d job=" + std::to_string(job) + " -d name=" +
                    name + " " + server_.PrinterUri("shared") + " " + cancel);
  };
  const std::string refused = cancelAs(owner == "mallory" ? "eve" : "mallory");
  EXPECT_NE(refused.find("[FAIL]"), std::string::npos) << refused;
  EXPECT_FALSE(Reaches("shared", job, "canceled", 1500));
  const std::string accepted = cancelAs(owner);
  EXPECT_NE(accepted.find("[PASS]"), std::string::npos) << accepted;
  EXPECT_TRUE(Reaches("shared", job, "canceled", 5000));
}

// A network printer serves one connection at a time. Switched off and on (a new printer on the
// same address), it prints the next job; a client's Create-Job that never sends its document
// holds nothing open that would keep the next job from the printer.
TEST_F(PrinterAppJobs, NetworkPrinterComesBackAndAnEmptyJobBlocksNothing) {
  vprinter::Options network;
  network.listenPort = 0;
  auto printer = std::make_unique<vprinter::VirtualPrinter>(network);
  ASSERT_TRUE(printer->Start());
  network.listenPort = std::stoi(printer->PortName().substr(printer->PortName().rfind(':') + 1));
  server_.App("add -d till -m tallyjet_80mm -v " + printer->PortName() + "/");
  auto prints = [&](const std::string& text) {
    const int job = server_.Submit("till", WriteBytes(PathOf("till.bin"), text + "\n"),
                                   "application/octet-stream");
    return Reaches("till", job, "completed", 15000) &&
           printer->Received().find(text) != std::string::npos;
  };
  ASSERT_TRUE(prints("before")) << server_.Problems();

  printer.reset();
  // Switched off: the server notices when it asks for the state.
  EXPECT_TRUE(Eventually([&] {
    return server_.PrinterReasons("till").find("offline") != std::string::npos;
  }));
  printer = std::make_unique<vprinter::VirtualPrinter>(network);
  ASSERT_TRUE(printer->Start());
  EXPECT_TRUE(Eventually([&] { return server_.PrinterReasons("till") == "none"; }))
      << server_.PrinterReasons("till");
  EXPECT_TRUE(prints("after the restart")) << server_.Problems();

  const std::string create = OperationTest(PathOf("create.test"), "Create-Job");
  const std::string created =
      OutputOf(std::string(IPPTOOL) + " -t " + server_.PrinterUri("till") + " " + create);
  EXPECT_NE(created.find("[PASS]"), std::string::npos) << created;
  EXPECT_TRUE(prints("after an empty job")) << server_.Problems();
}

// A tallyjet: device that is a regular file is no printer: a job for it never overwrites it.
TEST_F(PrinterAppJobs, RegularFileIsNoPrinterDevice) {
  const std::string victim = WriteBytes(PathOf("victim.txt"), "keep me\n");
  server_.App("add -d file -m tallyjet_80mm -v tallyjet://" + victim);
  server_.Submit("file", WriteBytes(PathOf("job.bin"), "\x1B@overwritten\n"),
                 "application/octet-stream");
  EXPECT_TRUE(Eventually(
      [&] { return server_.Log().find("is not a printer or serial device") != std::string::npos; },
      10000))
      << server_.Problems();
  std::ifstream kept(victim);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "keep me\n");
}

// The server killed (SIGKILL) while it writes its state, twenty times: every printer is there
// at the next start, as the state is written beside the old one and then takes its place.
TEST_F(PrinterAppJobs, StateSurvivesKillsWhileItIsWritten) {
  const std::vector<std::string> names = {"bar", "kitchen", "till"};
  for (const std::string& name : names) AddPrinter(name);
  for (int kill = 0; kill < 20; ++kill) {
    // Each change of a default is written to the state at once.
    server_.App("modify -d till -o feed-before-cut-default=" + std::to_string(kill));
    usleep(static_cast<useconds_t>(kill % 5) * 2000);
    server_.Stop(SIGKILL);
    ASSERT_TRUE(server_.Start()) << "start " << kill;
    const std::string listed = server_.App("printers");
    for (const std::string& name : names) {
      ASSERT_NE(listed.find(name + "\n"), std::string::npos) << name << " after kill " << kill;
    }
  }
}

// Two printers print at the same time: a printer that takes its data slowly, or waits for
// paper, holds up nothing on the other one; and Cancel-Job ends a job that waits.
TEST_F(PrinterAppJobs, TwoPrintersPrintAtOnce) {
  vprinter::VirtualPrinter* kitchen = AddPrinter("kitchen", 4000);
  vprinter::VirtualPrinter* till = AddPrinter("till");
  const std::string picture = WritePicture(PathOf("order.png"), kHeadDots, 1500);
  const int slow = server_.Submit("kitchen", picture, "image/png");
  ASSERT_TRUE(kitchen->WaitForReceived(1000, 10000));
  const int quick = server_.Submit("till", picture, "image/png");
  EXPECT_TRUE(Reaches("till", quick, "completed"));
  EXPECT_EQ(server_.JobState("kitchen", slow), "processing");
  EXPECT_EQ(RasterRows(till->Received()), 1500);
  kitchen->SetRates(0, 0);
  EXPECT_TRUE(Reaches("kitchen", slow, "completed"));
  EXPECT_EQ(RasterRows(kitchen->Received()), 1500);

  SetPaper(kitchen, true);
  const std::string small = WritePicture(PathOf("small.png"), kHeadDots, 50);
  const int waiting = server_.Submit("kitchen", small, "image/png");
  const int other = server_.Submit("till", small, "image/png");
  EXPECT_TRUE(Reaches("till", other, "completed"));
  EXPECT_EQ(server_.JobState("kitchen", waiting), "processing");
  server_.App("cancel -d kitchen -j " + std::to_string(waiting));
  EXPECT_TRUE(Reaches("kitchen", waiting, "canceled", 5000))
      << server_.JobState("kitchen", waiting);
  EXPECT_EQ(RasterRows(kitchen->Received()), 1500);
}

}  // namespace
