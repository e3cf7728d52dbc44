// The printer application as a running server on a free loopback port, with its state in a
// temporary directory, printing to two virtual printers: one on a pty through our device
// scheme, one on a loopback TCP port as a network printer. A job waits while the paper is out;
// documents are printed or refused as their format says; CUPS prints through a queue of its own
// on the application. Servers are killed by their process ids whatever happens.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <string>

#include "../support/child_program.h"
#include "../support/loopback_sockets.h"
#include "../support/printer_app_process.h"
#include "headless_gui.h"
#include "private_cupsd.h"
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
    networkRenderer_ = std::make_unique<vprinter::ReceiptRenderer>(paper_);
    network_->SetHook([](const vprinter::Command& command, const vprinter::PrinterSettings& s) {
      std::lock_guard<std::mutex> lock(rollMutex_);
      return networkRenderer_->Render(command, s);
    });
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
    networkRenderer_.reset();
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
    return PrinterAppProcess::Attribute(arguments, name);
  }

  static std::string JobState(int job, const std::string& printer = "receipt") {
    return Attribute(PrinterUri(printer) + "/" + std::to_string(job) + " get-job-attributes.test",
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
  static std::vector<QImage> Pieces(bool cut = true,
                                    const std::unique_ptr<vprinter::ReceiptRenderer>& renderer =
                                        renderer_) {
    std::lock_guard<std::mutex> lock(rollMutex_);
    return renderer->Roll().Pieces(cut);
  }

  // How many times the printer has cut the paper.
  static size_t Cuts(const vprinter::VirtualPrinter& printer) {
    const std::vector<std::string> log = printer.Log();
    return std::count_if(log.begin(), log.end(),
                         [](const std::string& line) { return line.rfind("GS V", 0) == 0; });
  }

  // Whether the printer has cut the paper: one piece on a fresh roll needs no cut.
  static bool CutLogged() { return Cuts(*printer_) > 0; }

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
  inline static std::unique_ptr<vprinter::ReceiptRenderer> networkRenderer_;
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
  // The printer's own page: the status line after the icon, which the footer's script rewords.
  const std::string web = Web("/receipt/");
  const size_t icon = web.find("/icon-md.png\">");
  ASSERT_NE(icon, std::string::npos) << web;
  const std::string line = web.substr(icon, web.find('<', icon) - icon);
  EXPECT_NE(line.find(", Out of paper.."), std::string::npos) << web;
  EXPECT_EQ(Pieces().size(), before);

  state.paperEnd = false;
  printer_->SetState(state);
  ASSERT_TRUE(Eventually([job] { return JobState(job) == "completed"; })) << JobState(job);
  // The printer may draw the cut that ends the job a moment after the job completed.
  ASSERT_TRUE(Eventually(CutLogged));
  EXPECT_TRUE(Holds(Pieces(false).front(), picture));
  EXPECT_TRUE(Eventually([] { return PrinterReasons() == "none"; })) << PrinterReasons();
}

// The local socket, through which the command changes anything without a password, is open to
// the server's owner (and the tallyjet-admin group) alone, not to every local user.
TEST_F(PrinterAppServer, LocalSocketIsNotOpenToOtherUsers) {
  struct stat socket {};
  ASSERT_EQ(stat((dir_ + "/tallyjet-printer-app.sock").c_str(), &socket), 0);
  EXPECT_TRUE(S_ISSOCK(socket.st_mode));
  EXPECT_EQ(socket.st_mode & S_IRWXO, 0u) << std::oct << socket.st_mode;
  EXPECT_EQ(socket.st_mode & S_IRWXU, static_cast<unsigned>(S_IRWXU));
}

// A job named after a path, as some clients name it, is listed by the file's name alone.
TEST_F(PrinterAppServer, JobNamedAfterAPathIsListedByTheFileName) {
  const std::string test = WriteFile(
      "named.test", IppOperation("Print-Job",
                                 "ATTR name requesting-user-name $user ATTR name job-name $name "
                                 "ATTR mimeMediaType document-format text/plain FILE $filename"));
  const std::string id = Attribute("-f " + WriteFile("named.txt", "named\n") +
                                       " -d name=/home/till/spool/receipt-0042.txt " +
                                       PrinterUri("till") + " " + test,
                                   "job-id");
  ASSERT_FALSE(id.empty());
  EXPECT_EQ(Attribute(PrinterUri("till") + "/" + id + " get-job-attributes.test", "job-name"),
            "receipt-0042.txt");
}

// Clients send what the printer says it takes: PNG and JPEG pictures, text, raw ESC/POS, and
// PWG raster in grey, which the application dithers itself.
TEST_F(PrinterAppServer, DeclaresTheFormatsClientsSend) {
  const std::string query = PrinterUri() + " get-printer-attributes.test";
  const std::string formats = Attribute(query, "document-format-supported");
  for (const char* format :
       {"image/png", "image/jpeg", "image/pwg-raster", "text/plain", "text/x-receiptline",
        "application/octet-stream"}) {
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
               {"application/pdf", "client-error-document-format-not-supported"}};
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
  ASSERT_TRUE(Eventually([] { return Cuts(*network_) > 0; }));
  const std::string received = network_->Received();
  EXPECT_NE(received.find(full + "\n"), std::string::npos);
  EXPECT_NE(received.find("Caf\x82\n"), std::string::npos);  // é in code page 850

  // A whole receipt in markup: its columns, its barcode and its one cut; markup that cannot be
  // read aborts the job and prints nothing.
  network_->Clear();
  const int markupJob = Submit(WriteFile("receipt.receipt", "Espresso | 2.50\n"
                                                            "{code:49012347; option:ean}\n"),
                               "text/x-receiptline", "till");
  ASSERT_GT(markupJob, 0);
  ASSERT_TRUE(Eventually([markupJob] { return JobState(markupJob, "till") == "completed"; }))
      << JobState(markupJob, "till");
  const std::string receipt = network_->Received();
  EXPECT_NE(receipt.find("Espresso"), std::string::npos);
  EXPECT_NE(receipt.find("\x1dk\x44\x08" "49012347"), std::string::npos);
  EXPECT_EQ(Cuts(*network_), 1u);
  network_->Clear();
  const int unreadable = Submit(WriteFile("broken.receipt", "total {5}\n"), "text/x-receiptline",
                                "till");
  ASSERT_GT(unreadable, 0);
  EXPECT_TRUE(Eventually([unreadable] { return JobState(unreadable, "till") == "aborted"; }))
      << JobState(unreadable, "till");
  EXPECT_EQ(network_->Received().find("total"), std::string::npos);
}

// The value of a form's hidden session field in a web page, or "".
std::string SessionOf(const std::string& page) {
  const std::string key = "name=\"session\" value=\"";
  const size_t at = page.find(key);
  if (at == std::string::npos) return "";
  const size_t value = at + key.size();
  return page.substr(value, page.find('"', value) - value);
}

// No form is taken before an administrator password is set, and it can be set only by an
// administrator on the machine itself; from then on the settings ask for it, and the printer's
// page prints a test receipt that says the printer's state.
TEST_F(PrinterAppServer, SettingsWaitForAnAdministrator) {
  const std::string curl = std::string(CURL) + " -s ";
  const std::string status = curl + "-o /dev/null -w %{http_code} ";
  const std::string base = "http://127.0.0.1:" + std::to_string(port_);
  EXPECT_EQ(OutputOf(status + "-d drawer-pulse=before-job " + base + "/receipt/printing"), "403");
  EXPECT_EQ(OutputOf(status + base + "/receipt/printing"), "403");
  // The printer's page shows itself to all, but its buttons wait for the administrator too.
  const std::string printerPage = OutputOf(curl + base + "/till/");
  EXPECT_NE(printerPage.find("print-test-page"), std::string::npos) << printerPage;
  for (const char* action : {"pause-printer", "hold-new-jobs", "print-test-page"}) {
    EXPECT_EQ(OutputOf(status + "-d action=" + action + "&session=" + SessionOf(printerPage) +
                       " " + base + "/till/"),
              "403")
        << action;
  }
  EXPECT_EQ(Attribute(PrinterUri("till") + " get-printer-attributes.test", "printer-state"),
            "idle");

  const std::string password = "Till2shop";
  // Another local user (nobody) may not set the first password, nor see the page for it.
  const std::string asNobody = std::string(RUNUSER) + " -u nobody -- " + curl;
  EXPECT_EQ(OutputOf(asNobody + "-o /dev/null -w %{http_code} " + base + "/security"), "403");
  EXPECT_EQ(OutputOf(asNobody + "-o /dev/null -w %{http_code} -d new_password=" + password +
                     "&new_password2=" + password + " " + base + "/security"),
            "403");
  const std::string security = OutputOf(curl + base + "/security");
  const std::string changed =
      OutputOf(curl + "-d session=" + SessionOf(security) + "&new_password=" + password +
               "&new_password2=" + password + " " + base + "/security");
  ASSERT_NE(changed.find("Password changed."), std::string::npos) << changed;
  EXPECT_EQ(OutputOf(status + "-u admin:wrong " + base + "/receipt/printing"), "401");
  EXPECT_EQ(OutputOf(status + "-u admin:" + password + " " + base + "/receipt/printing"), "200");

  const std::string admin = curl + "-u admin:" + password + " ";
  // The custom paper size as the footer's script finds it: the inch switch to take out.
  const std::string media = OutputOf(admin + base + "/receipt/media");
  EXPECT_NE(media.find("<input type=\"radio\" id=\"ready0-custom-units-in\" "
                       "name=\"ready0-custom-units\" value=\"in\">"),
            std::string::npos)
      << media;

  network_->Clear();
  const std::string page = OutputOf(admin + base + "/till/");
  OutputOf(admin + "-d action=print-test-page&session=" + SessionOf(page) + " " + base + "/till/");
  ASSERT_TRUE(Eventually([] { return Cuts(*network_) > 0; })) << page;
  const std::string receipt = network_->Received();
  EXPECT_NE(receipt.find("TEST PAGE"), std::string::npos) << receipt;
  EXPECT_NE(receipt.find("Printer: till\n"), std::string::npos) << receipt;
  EXPECT_NE(receipt.find("\n123456789012345678901234567890123456789012345678\n"),
            std::string::npos);
}

// The columns [first, last] of the head that carry ink in rows [top, bottom) of a piece; an
// empty range (first > last) when none do.
std::pair<int, int> InkColumns(const QImage& piece, int left, int top, int bottom) {
  std::pair<int, int> ink{kHeadDots, -1};
  for (int y = top; y < bottom; ++y) {
    for (int x = 0; x < kHeadDots; ++x) {
      if (qGray(piece.pixel(left + x, y)) >= 128) continue;
      ink.first = std::min(ink.first, x);
      ink.second = std::max(ink.second, x);
    }
  }
  return ink;
}

// The first and last rows of a piece with ink; -1 for both when it has none.
std::pair<int, int> InkRows(const QImage& piece, int left) {
  std::pair<int, int> rows{-1, -1};
  for (int y = 0; y < piece.height(); ++y) {
    if (InkColumns(piece, left, y, y + 1).second < 0) continue;
    if (rows.first < 0) rows.first = y;
    rows.second = y;
  }
  return rows;
}

// A two-page PDF of a receipt's width: page one dark on the left half of the paper, page two
// on the right, so that their order shows on the roll.
void WriteTwoPagePdf(const std::string& path) {
  QPdfWriter pdf(QString::fromStdString(path));
  pdf.setPageSize(QPageSize(QSizeF(72, 100), QPageSize::Millimeter));  // upright: not turned
  pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
  pdf.setResolution(203);
  QPainter painter(&pdf);
  const QRect page = painter.viewport();
  painter.fillRect(QRect(0, 0, page.width() / 2, page.height() / 2), Qt::black);
  pdf.newPage();
  painter.fillRect(QRect(page.width() / 2, 0, page.width() / 2, page.height() / 2), Qt::black);
}

// CUPS as the client: an IPP Everywhere queue made by lpadmin on the network printer keeps the
// pages in order; a PNG lands dot for dot, a two-page PDF comes out first page first and a text
// file is set across the whole head. Each document ends with a cut.
TEST_F(PrinterAppServer, CupsQueuePrintsInOrderAcrossTheHead) {
  PrivateCupsd cups;
  ASSERT_TRUE(cups.Start()) << cups.ErrorLog();
  const std::string made =
      OutputOf(std::string(LPADMIN) + " -p till -E -v " + PrinterUri("till") + " -m everywhere");
  const std::string ppd = cups.Ppd("till");
  ASSERT_NE(ppd.find("*DefaultOutputOrder: Normal"), std::string::npos) << made << ppd;

  // Prints one file through the queue on a fresh roll and answers what its cut cut off.
  auto print = [&cups](const std::string& path) {
    {
      std::lock_guard<std::mutex> lock(rollMutex_);
      networkRenderer_ = std::make_unique<vprinter::ReceiptRenderer>(paper_);
    }
    const size_t cuts = Cuts(*network_);
    const std::string queued = OutputOf(std::string(LP) + " -d till " + path);
    EXPECT_TRUE(Eventually([cuts] { return Cuts(*network_) > cuts; }, 60000))
        << queued << cups.ErrorLog();
    const std::vector<QImage> pieces = Pieces(true, networkRenderer_);
    return pieces.empty() ? QImage() : pieces.front();
  };
  const int left = paper_.LeftEdge();

  const QImage picture = TestPicture(300);
  const std::string png = dir_ + "/cups.png";
  ASSERT_TRUE(picture.save(QString::fromStdString(png), "PNG"));
  EXPECT_TRUE(Holds(print(png), picture));

  const std::string pdf = dir_ + "/two-pages.pdf";
  WriteTwoPagePdf(pdf);
  const QImage pages = print(pdf);
  // Page one's block on the left half from the first ink on, then page two's on the right; the
  // cut's dashed line below them spans the paper and is not looked at.
  const int first = InkRows(pages, left).first;
  ASSERT_GE(first, 0) << "no ink";
  int second = first;
  while (second < pages.height() &&
         InkColumns(pages, left, second, second + 1).first < kHeadDots / 2 - 8) {
    ++second;
  }
  const std::pair<int, int> pageOne = InkColumns(pages, left, first, first + 1);
  EXPECT_LT(pageOne.first, 16);
  EXPECT_LT(pageOne.second, kHeadDots / 2 + 8);
  EXPECT_GT(second, first + 100);
  ASSERT_LT(second, pages.height());
  EXPECT_GT(InkColumns(pages, left, second, second + 1).second, kHeadDots - 16);

  const QImage text = print(WriteFile("cups.txt", std::string(200, 'W') + "\n"));
  const int textTop = InkRows(text, left).first;
  ASSERT_GE(textTop, 0) << "no ink";
  const std::pair<int, int> columns = InkColumns(text, left, textTop, textTop + 40);  // a line
  EXPECT_LT(columns.first, kHeadDots / 10);
  EXPECT_GT(columns.second, kHeadDots * 9 / 10);
}

}  // namespace
