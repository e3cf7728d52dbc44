// The printer application as a running server on a free loopback port, with its state in a
// temporary directory, printing to the virtual printer on a pty through our device scheme:
// pictures land dot for dot, a job waits while the paper is out and goes on when it is back, and
// the web page shows the printer. The server is killed by its process id whatever happens.
#include <cups/raster.h>
#include <gtest/gtest.h>

#include <QImage>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>

#include "../support/child_program.h"
#include "../support/loopback_sockets.h"
#include "headless_gui.h"
#include "receipt_renderer.h"
#include "virtual_printer.h"

namespace {

constexpr int kHeadDots = 576;

// A one-bit picture across the whole head: a frame, so that its corners show where it landed,
// and a pattern inside that no shift or lost row keeps.
QImage TestPicture(int height) {
  QImage picture(kHeadDots, height, QImage::Format_Grayscale8);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < kHeadDots; ++x) {
      const bool frame = x < 2 || y < 2 || x >= kHeadDots - 2 || y >= height - 2;
      const bool black = frame || ((x * 7 + y * 3) / 5 + x / 9 * y) % 3 == 0;
      picture.setPixel(x, y, black ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
    }
  }
  picture.setDotsPerMeterX(7992);  // 203 dpi: printed dot for dot, not scaled
  picture.setDotsPerMeterY(7992);
  return picture;
}

// The picture as a one-bit PWG raster page of 80 mm paper, 639 dots wide: the head's 576 dots
// start at dot 31.
bool WritePwgRaster(const QImage& picture, const std::string& path) {
  FILE* file = fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  cups_raster_t* raster = cupsRasterOpen(fileno(file), CUPS_RASTER_WRITE_PWG);
  cups_page_header2_t header;
  cupsRasterInitPWGHeader(&header, pwgMediaForPWG("om_receipt_80x297mm"), "black_1", 203, 203,
                          "one-sided", nullptr);
  bool ok = cupsRasterWriteHeader2(raster, &header) != 0;
  std::vector<unsigned char> line(header.cupsBytesPerLine);
  for (int y = 0; ok && y < static_cast<int>(header.cupsHeight); ++y) {
    std::fill(line.begin(), line.end(), 0);
    for (int x = 0, dot = 31; y < picture.height() && x < kHeadDots; ++x, ++dot) {
      if (qGray(picture.pixel(x, y)) < 128) line[dot / 8] |= 0x80 >> dot % 8;
    }
    ok = cupsRasterWritePixels(raster, line.data(), header.cupsBytesPerLine) != 0;
  }
  cupsRasterClose(raster);
  return fclose(file) == 0 && ok;
}

class PrinterAppServer : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    char directory[] = "/tmp/printer_app_test_XXXXXX";
    ASSERT_NE(mkdtemp(directory), nullptr);
    dir_ = directory;
    // The server and every client below keep their state and sockets in here: HOME and TMPDIR
    // for a user, SNAP_COMMON for root, whose server PAPPL otherwise puts in /run and /var/lib.
    for (const char* name : {"HOME", "TMPDIR", "SNAP_COMMON"}) setenv(name, dir_.c_str(), 1);
    gui_ = std::make_unique<vprinter::HeadlessGui>();
    ASSERT_TRUE(vprinter::PaperOfWidth(80, &paper_));
    renderer_ = std::make_unique<vprinter::ReceiptRenderer>(paper_);
    printer_ = std::make_unique<vprinter::VirtualPrinter>();
    printer_->SetHook([](const vprinter::Command& command, const vprinter::PrinterSettings& s) {
      std::lock_guard<std::mutex> lock(rollMutex_);
      return renderer_->Render(command, s);
    });
    ASSERT_TRUE(printer_->Start());
    port_ = OwnSocket().Port();
    server_ = std::make_unique<ChildProgram>(std::vector<std::string>{
        PRINTER_APP, "server", "-o", "server-port=" + std::to_string(port_), "-o",
        "log-file=" + dir_ + "/log", "-o", "spool-directory=" + dir_, "-o", "log-level=info"});
    ASSERT_TRUE(Eventually([] { return !Web("/").empty(); })) << server_->Errors();
    const std::string add = App("add -d receipt -m tallyjet_80mm -v tallyjet://" +
                                printer_->SlavePath());
    ASSERT_EQ(App("printers"), "receipt\n") << add;
  }

  static void TearDownTestSuite() {
    server_.reset();
    // Qt's objects go before the program's exit, which would destroy them after Qt itself.
    printer_.reset();
    renderer_.reset();
    gui_.reset();
    std::filesystem::remove_all(dir_);
  }

  static std::string App(const std::string& arguments) {
    return OutputOf(std::string(PRINTER_APP) + " " + arguments);
  }

  // The server's web page at path, or "" while nothing answers there.
  static std::string Web(const std::string& path) {
    return OutputOf(std::string(CURL) + " -s http://127.0.0.1:" + std::to_string(port_) + path);
  }

  static std::string PrinterUri() {
    return "ipp://127.0.0.1:" + std::to_string(port_) + "/ipp/print/receipt";
  }

  // The attribute's value as ipptool shows it ("completed", "media-empty,offline"), or "", from
  // ipptool run with these arguments.
  static std::string Attribute(const std::string& arguments, const std::string& name) {
    const std::string output = OutputOf(std::string(IPPTOOL) + " -tv " + arguments);
    const std::string key = "        " + name + " (";
    const size_t at = output.find(key);
    if (at == std::string::npos) return "";
    const size_t value = output.find(" = ", at) + 3;
    return output.substr(value, output.find('\n', value) - value);
  }

  static std::string JobState(int job) {
    return Attribute(PrinterUri() + "/" + std::to_string(job) + " get-job-attributes.test",
                     "job-state");
  }

  static std::string PrinterReasons() {
    return Attribute(PrinterUri() + " get-printer-attributes.test", "printer-state-reasons");
  }

  // Submits a file and answers its job id, or 0.
  static int Submit(const std::string& path, const char* format) {
    const std::string id = Attribute(
        "-f " + path + " -d filetype=" + format + " " + PrinterUri() + " print-job.test", "job-id");
    return id.empty() ? 0 : std::stoi(id);
  }

  // The pieces the cuts have made of the roll so far; uncut, the whole roll as one piece.
  static std::vector<QImage> Pieces(bool cut = true) {
    std::lock_guard<std::mutex> lock(rollMutex_);
    return renderer_->Roll().Pieces(cut);
  }

  // Whether the job completed and the cut that ends it made one more piece of the roll; the
  // printer may draw the cut a moment after the job completed.
  static ::testing::AssertionResult Printed(int job, size_t piecesBefore) {
    if (job <= 0) return ::testing::AssertionFailure() << "not submitted";
    if (!Eventually([job] { return JobState(job) == "completed"; })) {
      return ::testing::AssertionFailure() << "job " << job << " is " << JobState(job);
    }
    if (!Eventually([piecesBefore] { return Pieces().size() == piecesBefore + 1; })) {
      return ::testing::AssertionFailure() << Pieces().size() << " pieces, " << piecesBefore
                                           << " before";
    }
    return ::testing::AssertionSuccess();
  }

  // Whether the roll holds the picture dot for dot, across the head, with its top edge (the
  // first row black across the head) at or below row from. A job's first row lands on the
  // dashed line of the cut before it, which is why the search starts there.
  static ::testing::AssertionResult Holds(const QImage& roll, int from, const QImage& picture) {
    const int left = paper_.LeftEdge();
    auto blackRow = [&](int y) {
      for (int x = 0; x < kHeadDots; ++x) {
        if (qGray(roll.pixel(left + x, y)) >= 128) return false;
      }
      return true;
    };
    int top = from;
    while (top < roll.height() && !blackRow(top)) ++top;
    if (top + picture.height() > roll.height()) {
      return ::testing::AssertionFailure() << "no picture below row " << from;
    }
    for (int y = 0; y <= picture.height(); ++y) {
      for (int x = 0; x < kHeadDots; ++x) {
        const bool want = y < picture.height() && qGray(picture.pixel(x, y)) < 128;
        const bool got = top + y < roll.height() && qGray(roll.pixel(left + x, top + y)) < 128;
        if (want != got) return ::testing::AssertionFailure() << "dot " << x << "," << y;
      }
    }
    return ::testing::AssertionSuccess();
  }

  inline static std::string dir_;
  inline static int port_ = 0;
  inline static std::unique_ptr<ChildProgram> server_;
  inline static std::unique_ptr<vprinter::HeadlessGui> gui_;
  inline static vprinter::Paper paper_{};
  inline static std::unique_ptr<vprinter::ReceiptRenderer> renderer_;
  inline static std::mutex rollMutex_;
  inline static std::unique_ptr<vprinter::VirtualPrinter> printer_;
};

TEST_F(PrinterAppServer, PicturesOfEveryFormatReachThePaper) {
  const QImage picture = TestPicture(120);
  struct Case {
    const char* format;
    std::string file;
    bool exact;  // a lossy JPEG is only checked to have printed
  };
  const Case cases[] = {{"image/png", dir_ + "/picture.png", true},
                        {"image/pwg-raster", dir_ + "/picture.pwg", true},
                        {"image/jpeg", dir_ + "/picture.jpg", false}};
  ASSERT_TRUE(picture.save(QString::fromStdString(cases[0].file), "PNG"));
  ASSERT_TRUE(WritePwgRaster(picture, cases[1].file));
  ASSERT_TRUE(picture.save(QString::fromStdString(cases[2].file), "JPEG", 95));
  for (const Case& c : cases) {
    const size_t before = Pieces().size();
    const int from = Pieces(false).front().height() - vprinter::PaperRoll::kMargin - 1;
    ASSERT_TRUE(Printed(Submit(c.file, c.format), before)) << c.format;
    if (c.exact) {
      EXPECT_TRUE(Holds(Pieces(false).front(), from, picture)) << c.format;
    }
  }
}

TEST_F(PrinterAppServer, JobWaitsWhilePaperIsOutAndPrintsWhenItIsBack) {
  const std::string file = dir_ + "/small.png";
  ASSERT_TRUE(TestPicture(40).save(QString::fromStdString(file), "PNG"));
  vprinter::PrinterState state = printer_->State();
  state.paperEnd = true;
  printer_->SetState(state);
  const size_t before = Pieces().size();
  const int job = Submit(file, "image/png");
  ASSERT_GT(job, 0);
  ASSERT_TRUE(Eventually([] {
    return PrinterReasons().find("media-empty") != std::string::npos;
  })) << PrinterReasons();
  EXPECT_EQ(JobState(job), "processing");
  const std::string web = Web("/receipt/");  // the printer's own page
  EXPECT_NE(web.find("Out of paper"), std::string::npos) << web;
  EXPECT_EQ(Pieces().size(), before);

  state.paperEnd = false;
  printer_->SetState(state);
  EXPECT_TRUE(Printed(job, before));
  EXPECT_TRUE(Eventually([] { return PrinterReasons() == "none"; })) << PrinterReasons();
}

}  // namespace
