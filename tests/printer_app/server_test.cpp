// The printer application as a running server on a free loopback port, with its state in a
// temporary directory, printing to the virtual printer on a pty through our device scheme:
// a job waits while the paper is out, the web page says why, and with paper back the picture
// lands dot for dot. The server is killed by its process id whatever happens.
#include <gtest/gtest.h>

#include <QImage>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
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
    vprinter::Options network;
    network.listenPort = 0;
    network_ = std::make_unique<vprinter::VirtualPrinter>(network);
    ASSERT_TRUE(network_->Start());
    port_ = OwnSocket().Port();
    server_ = std::make_unique<ChildProgram>(std::vector<std::string>{
        PRINTER_APP, "server", "-o", "server-port=" + std::to_string(port_), "-o",
        "log-file=" + dir_ + "/log", "-o", "spool-directory=" + dir_, "-o", "log-level=info"});
    ASSERT_TRUE(Eventually([] { return !Web("/").empty(); })) << server_->Errors();
    const std::string add = App("add -d receipt -m tallyjet_80mm -v tallyjet://" +
                                printer_->SlavePath());
    ASSERT_EQ(App("printers"), "receipt\n") << add;
    // A network printer, added as PAPPL's Add Printer page writes its URI.
    const std::string addNetwork =
        App("add -d till -m tallyjet_80mm -v " + network_->PortName() + "/");
    ASSERT_EQ(App("printers"), "receipt\ntill\n") << addNetwork;
  }

  static void TearDownTestSuite() {
    server_.reset();
    network_.reset();
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

  static std::string PrinterUri(const std::string& name = "receipt") {
    return "ipp://127.0.0.1:" + std::to_string(port_) + "/ipp/print/" + name;
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
  static int Submit(const std::string& path, const char* format,
                    const std::string& printer = "receipt") {
    const std::string id = Attribute("-f " + path + " -d filetype=" + format + " " +
                                         PrinterUri(printer) + " print-job.test",
                                     "job-id");
    return id.empty() ? 0 : std::stoi(id);
  }

  // The status-code of a Print-Job with this file and format.
  static std::string SubmitStatus(const std::string& path, const std::string& format) {
    const std::string output = OutputOf(std::string(IPPTOOL) + " -tv -f " + path +
                                        " -d filetype=" + format + " " + PrinterUri() +
                                        " print-job.test");
    const std::string key = "status-code = ";
    const size_t at = output.find(key);
    if (at == std::string::npos) return "";
    const size_t value = at + key.size();
    return output.substr(value, output.find(' ', value) - value);
  }

  static std::string WriteFile(const std::string& name, const std::string& bytes) {
    const std::string path = dir_ + "/" + name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }

  // The pieces the cuts have made of the roll so far; uncut, the whole roll as one piece.
  static std::vector<QImage> Pieces(bool cut = true) {
    std::lock_guard<std::mutex> lock(rollMutex_);
    return renderer_->Roll().Pieces(cut);
  }

  // Whether the printer has cut the paper: one piece on a fresh roll needs no cut.
  static bool CutLogged() {
    const std::vector<std::string> log = printer_->Log();
    return std::any_of(log.begin(), log.end(),
                       [](const std::string& line) { return line.rfind("GS V", 0) == 0; });
  }

  // Whether the roll holds the picture dot for dot, across the head, from its top edge (the
  // first row black at the head's left end) on.
  static ::testing::AssertionResult Holds(const QImage& roll, const QImage& picture) {
    const int left = paper_.LeftEdge();
    int top = 0;
    while (top < roll.height() && qGray(roll.pixel(left, top)) >= 128) ++top;
    if (top + picture.height() > roll.height()) {
      return ::testing::AssertionFailure() << "no picture on the roll";
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
  inline static std::unique_ptr<vprinter::VirtualPrinter> network_;
};

// A job waits, unprinted, while the paper is out and shows why; with paper back its picture lands
// on the roll dot for dot.
TEST_F(PrinterAppServer, JobWaitsWhilePaperIsOutThenPrintsDotForDot) {
  const QImage picture = TestPicture(120);
  const std::string file = dir_ + "/picture.png";
  ASSERT_TRUE(picture.save(QString::fromStdString(file), "PNG"));
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
  ASSERT_TRUE(Eventually([job] { return JobState(job) == "completed"; })) << JobState(job);
  // The printer may draw the cut that ends the job a moment after the job completed.
  ASSERT_TRUE(Eventually(CutLogged));
  EXPECT_TRUE(Holds(Pieces(false).front(), picture));
  EXPECT_TRUE(Eventually([] { return PrinterReasons() == "none"; })) << PrinterReasons();
}

// Clients send what the printer says it takes: PNG and JPEG pictures, text, raw ESC/POS, and
// PWG raster in grey, which the application dithers itself.
TEST_F(PrinterAppServer, DeclaresTheFormatsClientsSend) {
  const std::string query = PrinterUri() + " get-printer-attributes.test";
  const std::string formats = Attribute(query, "document-format-supported");
  for (const char* format :
       {"image/png", "image/jpeg", "image/pwg-raster", "text/plain", "application/octet-stream"}) {
    EXPECT_NE(formats.find(format), std::string::npos) << formats;
  }
  EXPECT_EQ(Attribute(query, "pwg-raster-document-type-supported"), "sgray_8");
  // The first page leaves the printer first: clients keep the pages in order.
  EXPECT_EQ(Attribute(query, "output-bin-default"), "face-down");
  EXPECT_EQ(Attribute(query, "media-default"), "om_roll_80x3000mm");
}

// A document the printer cannot print is refused when it is sent, and the server prints on.
TEST_F(PrinterAppServer, RefusesWhatItCannotPrintAndLivesOn) {
  const std::string text = WriteFile("refused.txt", "<html>not a picture</html>\n");
  const struct {
    const char* format;
    const char* status;
  } cases[] = {{"text/html", "client-error-document-format-not-supported"},
               {"application/postscript", "client-error-document-format-not-supported"},
               {"image/png", "client-error-document-format-error"},
               {"image/jpeg", "client-error-document-format-error"}};
  for (const auto& refused : cases) {
    EXPECT_EQ(SubmitStatus(text, refused.format), refused.status) << refused.format;
  }
  const std::string raw = WriteFile("alive.bin", "\x1b@still here\n");
  const int job = Submit(raw, "application/octet-stream");
  ASSERT_GT(job, 0);
  EXPECT_TRUE(Eventually([job] { return JobState(job) == "completed"; })) << JobState(job);
}

// Raw ESC/POS goes to a network printer byte for byte, and text prints in the printer's own
// font across the whole head (48 columns of font A), with the cut at the end.
TEST_F(PrinterAppServer, NetworkPrinterTakesRawBytesAndText) {
  std::string raw = "\x1b@\x1b!8BIG\n\x1d\x56\x42\x10";
  raw += std::string("\0\xff\x10\x04\x01", 5);  // bytes a text path would not keep
  const int rawJob = Submit(WriteFile("raw.bin", raw), "application/octet-stream", "till");
  ASSERT_GT(rawJob, 0);
  ASSERT_TRUE(Eventually([&raw] { return network_->Received().find(raw) != std::string::npos; }))
      << network_->Received().size();

  const std::string full(48, 'W');
  network_->Clear();
  const int textJob = Submit(WriteFile("receipt.txt", "Caf\xc3\xa9\n" + full + "\n"),
                             "text/plain", "till");
  ASSERT_GT(textJob, 0);
  ASSERT_TRUE(Eventually([] {
    const std::vector<std::string> log = network_->Log();
    return std::any_of(log.begin(), log.end(),
                       [](const std::string& line) { return line.rfind("GS V", 0) == 0; });
  }));
  const std::string received = network_->Received();
  EXPECT_NE(received.find(full + "\n"), std::string::npos);
  EXPECT_NE(received.find("Caf\x82\n"), std::string::npos);  // é in code page 850
}

// No form is taken before an administrator password is set; the page that sets it answers
// on the machine itself.
TEST_F(PrinterAppServer, SettingsWaitForAnAdministrator) {
  const std::string curl = std::string(CURL) + " -s -o /dev/null -w %{http_code} ";
  const std::string base = "http://127.0.0.1:" + std::to_string(port_);
  EXPECT_EQ(OutputOf(curl + "-d drawer-pulse=before-job " + base + "/receipt/printing"), "403");
  EXPECT_EQ(OutputOf(curl + base + "/receipt/printing"), "403");
  EXPECT_EQ(OutputOf(curl + base + "/security"), "200");
}

}  // namespace
