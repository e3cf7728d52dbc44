// The tallyjet program itself against the virtual printer program on a pty (and once on a
// loopback TCP port): what the printer decoded, drew and answered for each subcommand.
#include <gtest/gtest.h>

#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <memory>
#include <string>
#include <vector>

#include "../support/child_program.h"
#include "../support/loopback_sockets.h"

namespace {

struct Result {
  int exitCode = -1;
  std::string out, err;
};

// A virtual printer program for one test, started with state options, on a pty unless they say
// --listen.
class CliTest : public ::testing::Test {
 protected:
  void TearDown() override {
    for (const char* name : {"link", "log", "png", "picture.png"}) unlink(Path(name).c_str());
  }

  std::string Path(const std::string& name) const {
    return ::testing::TempDir() + "tallyjet-cli-" + std::to_string(getpid()) + "-" + name;
  }

  // Starts the printer and takes the port name it prints once it serves: the link, or the
  // socket:// address it listens on.
  void StartPrinter(const std::vector<std::string>& state = {}) {
    std::vector<std::string> args = {VPRINTER_PROGRAM, "--link", Path("link"), "--log",
                                     Path("log"),      "--png",  Path("png"),  "--quiet"};
    args.insert(args.end(), state.begin(), state.end());
    printer_ = std::make_unique<ChildProgram>(args);
    port_ = printer_->FirstLine();
    ASSERT_FALSE(port_.empty()) << printer_->Errors();
  }

  // Runs tallyjet on the printer's port with args and input on standard input.
  Result Run(const std::string& args, const std::string& input = "") {
    std::vector<std::string> argv = {TALLYJET_PROGRAM, "-p", port_};
    for (const std::string& word : Words(args)) {
      argv.push_back(word == "PICTURE" ? Picture() : word);
    }
    ChildProgram tallyjet(argv, input);
    const int exitCode = tallyjet.Wait();
    return {exitCode, tallyjet.Output(), tallyjet.Errors()};
  }

  // Stops the printer once it has logged all it received; the decoded log, one row a line.
  std::string Stop() {
    for (int still = 0, i = 0; still < 4 && i < 100; ++i) {
      const size_t size = Slurp(Path("log")).size();
      usleep(50 * 1000);
      still = Slurp(Path("log")).size() == size ? still + 1 : 0;
    }
    printer_->Stop();
    return Slurp(Path("log"));
  }

  // A grey ramp 256 dots wide, black on the left to white on the right.
  std::string Picture() {
    QImage ramp(256, 40, QImage::Format_Grayscale8);
    for (int y = 0; y < ramp.height(); ++y) {
      for (int x = 0; x < ramp.width(); ++x) ramp.scanLine(y)[x] = static_cast<uchar>(x);
    }
    ramp.save(QString::fromStdString(Path("picture.png")), "PNG");
    return Path("picture.png");
  }

  std::unique_ptr<ChildProgram> printer_;
  std::string port_;
};

TEST_F(CliTest, EachSubcommandReachesThePrinter) {
  const struct {
    const char* args;
    const char* input;
    std::vector<const char*> rows;  // in the printer's decoded log
    std::vector<const char*> warnings = {};
  } kCases[] = {
      {"print --bold --size 2x1 --align right --cut --feed 2", "Gr\xC3\xBC\xC3\x9F" "e 5\xE2\x82\xAC",
       {"GS ! 0x10", "ESC E 1", "ESC a 2", "ESC t 19", "TEXT \"Grüße 5€\" (cp858)", "ESC E 0",
        "ESC d 2", "GS V 1"}},
      {"print --font b --underline", "\xC3\xA9t\xC3\xA9\n", {"ESC M 1", "ESC - 1", "TEXT \"été\" (cp850)"}},
      {"raw", "\x1B@\xC3\xA9\n", {"ESC t 0", "ESC @", "TEXT \"├®\" (cp850)"}},
      {"barcode 12345", "", {"GS k 73 7 \"{B12345\"  barcode CODE128"}},
      {"barcode 4006381333931 --type ean13 --hri none --width 2 --height 50",
       "", {"GS h 50", "GS w 2", "GS H 0", "GS k 67 13"}},
      {"qr hello --size 4 --ec q", "",
       {"QR module size: 4 dots", "QR error correction: Q", "QR store 5 bytes", "QR print"}},
      {"cut", "", {"GS V 1  cut"}},
      {"feed 3", "", {"ESC d 3  feed 3 lines"}},
      {"drawer --pin 5 --on 50 --off 100", "", {"drawer pulse: pin 5, on 50 ms, off 100 ms"}},
      {"logo store PICTURE --key TJ", "", {"delete NV graphic", "define NV graphic: 256x40 dots"}},
      {"logo print --key TJ", "", {"GS ( L fn 69 \"TJ\""}},
      {"logo delete --all", "", {"delete all NV graphics"}},
      {"logo free", "", {"free NV graphics memory"}},
      {"image PICTURE --fit --align center", "",
       {"ESC a 1", "raster band: 576x83 dots", "raster band: 576x7 dots", "ESC a 0"}},
      // Characters the code page lacks are named and printed as question marks. In code page
      // 850 the second one is byte C3, which the library would rewrite on its way out.
      {"print --codepage 850", "\xE2\x98\x85\xE2\x94\x9C.\n", {"TEXT \"??.\" (cp850)"},
       {"U+2605", "U+251C"}},
  };
  for (const auto& c : kCases) {
    StartPrinter();
    const Result result = Run(c.args, c.input);
    const std::string log = Stop();
    EXPECT_EQ(result.exitCode, 0) << c.args << ": " << result.err;
    size_t at = 0;
    for (const char* row : c.rows) {
      at = log.find(row, at);
      EXPECT_NE(at, std::string::npos) << c.args << ": no " << row << " in order in\n" << log;
      if (at == std::string::npos) break;
    }
    for (const char* warning : c.warnings) {
      EXPECT_NE(result.err.find(warning), std::string::npos) << c.args << ": " << result.err;
    }
  }
}

TEST_F(CliTest, StatusExitCodeSaysWhyThePrinterStopped) {
  const struct {
    std::vector<std::string> state;
    const char* args;
    int exitCode;
    const char* name;
  } kCases[] = {
      {{}, "status --json", 0, "ready"},
      {{"--listen", "0"}, "status --json", 0, "ready"},  // a socket:// port
      {{"--silent"}, "--baud 9600 status --json", 3, "no-answer"},
      {{"--silent"}, "status --json --timeout 1", 3, "no-answer"},
      {{"--offline"}, "status --json", 4, "offline"},
      {{"--error"}, "status --json", 4, "offline"},
      {{"--cover-open", "--paper-out"}, "status --json", 5, "cover-open"},
      {{"--paper-out", "--offline"}, "status --json", 6, "paper-end"},
      {{"--paper-near-end"}, "status --json", 7, "paper-near-end"},
  };
  for (const auto& c : kCases) {
    StartPrinter(c.state);
    const Result result = Run(c.args);
    Stop();
    const QJsonObject json = QJsonDocument::fromJson(QByteArray::fromStdString(result.out)).object();
    EXPECT_EQ(result.exitCode, c.exitCode) << c.name << ": " << result.err;
    EXPECT_EQ(json.value("state").toString().toStdString(), c.name) << result.out;
    EXPECT_EQ(json.value("exit_code").toInt(-1), c.exitCode) << result.out;
  }
}

TEST_F(CliTest, StatusLinesNameEachItem) {
  StartPrinter({"--paper-near-end", "--drawer-high"});
  const Result result = Run("status");
  EXPECT_EQ(result.out, "printer: online\ncover: closed\npaper: near end\ndrawer: open\n");
}

// Rows of the printed picture with a change from black to white or back, and their most.
int MostChangesInARow(const QImage& png) {
  int most = 0;
  for (int y = 0; y < png.height(); ++y) {
    int changes = 0;
    for (int x = 1; x < png.width(); ++x) {
      changes += (qGray(png.pixel(x, y)) < 128) != (qGray(png.pixel(x - 1, y)) < 128);
    }
    most = std::max(most, changes);
  }
  return most;
}

TEST_F(CliTest, DitherModesDrawTheGreyDifferently) {
  std::vector<QImage> drawn;
  for (const char* mode : {"threshold", "diffuse", "ordered"}) {
    StartPrinter();
    EXPECT_EQ(Run(std::string("image PICTURE --dither ") + mode).exitCode, 0) << mode;
    Stop();
    drawn.emplace_back(QString::fromStdString(Path("png")));
    ASSERT_FALSE(drawn.back().isNull()) << mode;
  }
  EXPECT_LE(MostChangesInARow(drawn[0]), 2);  // black, then white
  EXPECT_GT(MostChangesInARow(drawn[1]), 20);
  EXPECT_GT(MostChangesInARow(drawn[2]), 20);
  EXPECT_NE(drawn[1], drawn[2]);
}

TEST_F(CliTest, FailuresAndPortsExitWithTheirCodeAndSendNothing) {
  const struct {
    const char* args;
    int exitCode;
    const char* said;
  } kCases[] = {
      {"-p /nonexistent/printer cut", 1, "port not open (-4); /nonexistent/printer does not exist"},
      {"cut --bogus", 2, "--bogus"},
      {"print --size 3x3", 2, "3x3"},
      {"--baud 1200 cut", 2, "1200"},
      {"image /dev/null", 1, "cannot read the picture"},
      {"image /nonexistent.png", 2, "/nonexistent.png"},
      {"ports", 0, ""},  // lists without opening
  };
  StartPrinter();
  for (const auto& c : kCases) {
    const Result result = Run(c.args);
    EXPECT_EQ(result.exitCode, c.exitCode) << c.args;
    EXPECT_NE(result.err.find(c.said), std::string::npos) << c.args << ": " << result.err;
  }
  EXPECT_EQ(Stop(), "");
}

// A network printer that reads nothing and closes once the job has ended: the system resets the
// connection, the job is lost, and the exit code says so.
TEST_F(CliTest, JobTheNetworkPrinterLostExitsWithFailure) {
  OwnSocket listener;
  ASSERT_EQ(listen(listener.fd, 1), 0);
  std::thread printer([&listener] {
    pollfd waiting = {listener.fd, POLLIN, 0};
    if (poll(&waiting, 1, 20000) != 1) return;
    const int connection = accept(listener.fd, nullptr, nullptr);
    pollfd ended = {connection, POLLRDHUP, 0};
    poll(&ended, 1, 20000);
    close(connection);
  });
  port_ = listener.Name();
  const Result result = Run("print", "receipt\n");
  printer.join();
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_NE(result.err.find("closing " + port_), std::string::npos) << result.err;
}

}  // namespace
