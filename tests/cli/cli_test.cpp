// The tallyjet program itself against the virtual printer program on a pty (and once on a
// loopback TCP port): what the printer decoded, drew and answered for each subcommand.
#include <gtest/gtest.h>

#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <sys/stat.h>

#include "../support/child_program.h"
#include "tallyjet.h"
#include "../support/loopback_sockets.h"

namespace {

// The lines of text, without their ends.
std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

struct Result {
  int exitCode = -1;
  std::string out, err;
};

// A virtual printer program for one test, started with state options, on a pty unless they say
// --listen.
class CliTest : public ::testing::Test {
 protected:
  void TearDown() override {
    for (const char* name : {"link", "log", "png", "picture.png", "wide.png", "huge.png", "fifo",
                             "preview"}) {
      unlink(Path(name).c_str());
    }
    rmdir(Path("dir").c_str());
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
      argv.push_back(Placeholder(word));
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

  // A grey ramp width dots wide, black on the left to white on the right, in file name.
  std::string Picture(const char* name, int width) {
    QImage ramp(width, 40, QImage::Format_Grayscale8);
    for (int y = 0; y < ramp.height(); ++y) {
      for (int x = 0; x < ramp.width(); ++x) ramp.scanLine(y)[x] = static_cast<uchar>(x);
    }
    ramp.save(QString::fromStdString(Path(name)), "PNG");
    return Path(name);
  }

  // The file a word in capitals of a test's command line stands for, made for it.
  std::string Placeholder(const std::string& word) {
    if (word == "PICTURE") return Picture("picture.png", 256);
    if (word == "WIDE") return Picture("wide.png", 700);
    if (word == "HUGE") {
      QImage huge(5000, 4000, QImage::Format_Mono);
      huge.fill(1);
      huge.save(QString::fromStdString(Path("huge.png")), "PNG");
      return Path("huge.png");
    }
    if (word == "PREVIEW") return Path("preview");
    if (word == "DIR") {
      mkdir(Path("dir").c_str(), 0700);
      return Path("dir");
    }
    if (word == "FIFO") {
      mkfifo(Path("fifo").c_str(), 0600);
      return Path("fifo");
    }
    return word;
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
        "ESC d 2", "GS V 66 0"}},
      {"print --font b --underline", "\xC3\xA9t\xC3\xA9\n", {"ESC M 1", "ESC - 1", "TEXT \"été\" (cp850)"}},
      {"raw", "\x1B@\xC3\xA9\n", {"ESC t 0", "ESC @", "TEXT \"├®\" (cp850)"}},
      {"barcode 12345", "", {"GS k 73 7 \"{B12345\"  barcode CODE128"}},
      {"barcode 4006381333931 --type ean13 --hri none --width 2 --height 50",
       "", {"GS h 50", "GS w 2", "GS H 0", "GS k 67 13"}},
      {"qr hello --size 4 --ec q", "",
       {"QR module size: 4 dots", "QR error correction: Q", "QR store 5 bytes", "QR print"}},
      {"cut", "", {"GS V 66 0  feed 0 units and cut"}},
      {"cut --feed 2", "", {"GS V 66 60  feed 60 units and cut"}},
      {"feed 3", "", {"ESC d 3  feed 3 lines"}},
      {"drawer --pin 5 --on 50 --off 100", "", {"drawer pulse: pin 5, on 50 ms, off 100 ms"}},
      {"logo store PICTURE --key TJ", "", {"delete NV graphic", "define NV graphic: 256x40 dots"}},
      {"logo print --key TJ", "", {"GS ( L fn 69 \"TJ\""}},
      {"logo delete --all", "", {"delete all NV graphics"}},
      {"logo free", "", {"free NV graphics memory"}},
      {"image PICTURE --fit", "", {"raster band: 576x83 dots", "raster band: 576x7 dots"}},
      // Characters the code page lacks print as question marks; the text goes out as encoded,
      // byte C3 of code page 850 (U+251C) too.
      {"print --codepage 850 --no-pictures", "\xE2\x98\x85\xE2\x94\x9C.\n",
       {"TEXT \"?├.\" (cp850)"}},
      {"print --codepage 437 --no-pictures", "\xC3\xA9\xE2\x82\xAC\n",
       {"ESC t 0", "TEXT \"é?\" (cp437)"}},
      // Each line in the first code page that holds it.
      {"print", "5\xE2\x82\xAC\n\xC3\xA9\n", {"ESC t 19", "TEXT \"5€\" (cp858)", "ESC t 2",
                                                "TEXT \"é\" (cp850)"}},
      // Control bytes cannot command the printer from text: no drawer pulse, no cut. A byte that
      // is not UTF-8 is U+FFFD, a '?' without pictures.
      {"print --no-pictures", "Hello\x1bp0\x19\xfaWorld\x1dV\x01\n",
       {"TEXT \"Hellop0?WorldV\" (cp850)"}},
      {"barcode 01234565 --type upce", "", {"GS k 66 6 \"123456\""}},
      // A whole receipt in markup: one status query, the receipt, one cut, its confirmation.
      {"receipt", "Espresso | 2.50\n{code:49012347; option:ean}\n",
       {"DLE EOT 4", "TEXT \"Espresso\"", "GS k 68 8 \"49012347\"", "GS V 66 0", "process ID"}},
      {"barcode 400638133393 --type ean13", "", {"GS k 67 13 \"4006381333931\""},
       {"with its check digit: 4006381333931"}},
      {"drawer --on 3 --off 200", "", {"drawer pulse: pin 2, on 4 ms, off 200 ms"},
       {"on 3 ms taken as 4 ms"}},
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
      {{"--listen", "0", "--late", "600"}, "status --json", 0, "ready"},  // behind a slow link
      {{"--silent"}, "--baud 9600 status --json --timeout 1", 3, "no-answer"},
      {{"--silent"}, "status --json --timeout 1", 3, "no-answer"},
      {{"--garbage"}, "status --json --timeout 1", 3, "no-answer"},  // not a status
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

// A printing subcommand exits 0 only once the printer confirmed the job: at 200 mm/s after its
// paper has passed; a roll that runs out 60 mm in says paper end; a printer that confirms
// nothing gets its own exit code, unless told not to wait.
TEST_F(CliTest, PrintingWaitsForThePrinterToConfirm) {
  std::string receipt;
  for (int line = 0; line < 40; ++line) receipt += "line " + std::to_string(line) + "\n";
  const struct {
    std::vector<std::string> state;
    const char* args;
    int exitCode;
  } kCases[] = {
      {{"--speed", "200"}, "print --cut", 0},
      {{"--speed", "200", "--paper-length", "60"}, "print --cut", 6},
      {{"--silent"}, "print --force --wait-timeout 1", 8},
      {{"--silent"}, "print --force --no-wait", 0},
  };
  for (const auto& c : kCases) {
    StartPrinter(c.state);
    const Result result = Run(c.args, receipt);
    Stop();
    EXPECT_EQ(result.exitCode, c.exitCode) << c.args << ": " << result.err;
  }
}

// A serial line gives up on a silent printer's answer after 300 ms; --timeout is how long the
// printer is asked.
// Each program says the library's version.
TEST(ProgramVersionTest, EachProgramSaysTheLibrarysVersion) {
  for (const std::string& program : {std::string(TALLYJET_PROGRAM), std::string(VPRINTER_PROGRAM)}) {
    ChildProgram run({program, "--version"});
    EXPECT_EQ(run.Wait(), 0) << program;
    EXPECT_NE(run.Output().find(tallyjet_version()), std::string::npos) << run.Output();
  }
}

TEST_F(CliTest, StatusWaitsTheTimeOutForAnAnswer) {
  StartPrinter({"--silent"});
  const auto start = std::chrono::steady_clock::now();
  const Result result = Run("--baud 9600 status --timeout 2");
  const auto took = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(result.exitCode, 3) << result.err;
  EXPECT_GE(took, std::chrono::milliseconds(1900));
  EXPECT_LT(took, std::chrono::seconds(20));
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

TEST_F(CliTest, RefusalsExitWithTheirCodeAndOneLineAndSendNothing) {
  const struct {
    const char* args;
    int exitCode;
    const char* said;  // the start of the one line on standard error; DIR and such as given
  } kCases[] = {
      {"-p /nonexistent/printer cut", 1,
       "opening /nonexistent/printer: port not open (-4); /nonexistent/printer does not exist"},
      {"print DIR", 1, "DIR is a directory: give a regular file"},
      {"raw DIR", 1, "DIR is a directory: give a regular file"},
      {"print /dev/zero", 1, "/dev/zero is a device: give a regular file"},
      {"image FIFO", 1, "FIFO is a FIFO: give a regular file"},
      {"logo store DIR --key TJ", 1, "DIR is a directory"},
      {"print /nonexistent", 1, "cannot read /nonexistent: No such file or directory"},
      {"image /nonexistent.png", 1, "cannot read /nonexistent.png: No such file or directory"},
      {"image /dev/null", 1, "/dev/null is a device"},
      {"image WIDE", 1, "the picture is 700 dots wide, the paper 576: use --fit"},
      {"image HUGE --fit", 1, "the picture HUGE is 5000 x 4000 dots; the library takes at most"},
      {"barcode --type ean13 4006381333932", 1,
       "refused barcode: ean13: Invalid check digit '2', expecting '1'"},
      {"barcode --type ean13 40063813339", 1, "refused barcode: ean13 takes 12 digits, or 13"},
      {"barcode --type ean8 1234567A", 1, "refused barcode: ean8 takes digits only"},
      {"barcode --type code39 abc", 1, "refused barcode: code39 has no lower case letters"},
      {"barcode --type itf 12345", 1, "refused barcode: itf takes an even number of digits"},
      {"barcode --type codabar 12345", 1, "refused barcode: codabar: Does not begin with"},
      {"barcode --type upca 012345678901", 1, "refused barcode: upca: Invalid check digit"},
      {"bogus", 2, "unknown command 'bogus'"},
      {"", 2, "no command given"},
      {"cut --bogus", 2, "The following argument was not expected: --bogus"},
      {"print --size 3x3", 2, "--size: 3x3 not in"},
      {"--baud 1200 cut", 2, "--baud: 1200 not in"},
      {"drawer --on 0", 2, "--on: Value 0 not in range"},
      {"cut --feed 9", 2, "--feed: Value 9 not in range"},
      {"image", 2, "file is required"},
  };
  StartPrinter();
  for (const auto& c : kCases) {
    const Result result = Run(c.args);
    std::string said = std::string("tallyjet: ") + c.said;
    for (const char* word : {"DIR", "FIFO", "HUGE"}) {
      const size_t at = said.find(word);
      if (at != std::string::npos) said.replace(at, strlen(word), Placeholder(word));
    }
    EXPECT_EQ(result.exitCode, c.exitCode) << c.args << ": " << result.err;
    EXPECT_EQ(result.err.compare(0, said.size(), said), 0) << c.args << ": " << result.err;
    EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << c.args << ": "
                                                                        << result.err;
  }
  // Markup the library cannot read sends nothing, and one line says so.
  const Result unreadable = Run("receipt --force", "total {5}\n");
  EXPECT_EQ(unreadable.exitCode, 1);
  EXPECT_EQ(unreadable.err.rfind("tallyjet: the receipt's markup cannot be read", 0), 0u)
      << unreadable.err;
  EXPECT_EQ(Stop(), "");
}

TEST_F(CliTest, PortsListsWithoutOpening) {
  StartPrinter();
  EXPECT_EQ(Run("ports").exitCode, 0);
  EXPECT_EQ(Stop(), "");
}

// The printer is asked before anything is printed; when it cannot print only the questions
// reach it.
TEST_F(CliTest, PrintingStopsWithTheStateOfAPrinterThatCannotPrint) {
  const struct {
    std::vector<std::string> state;
    const char* args;
    int exitCode;
    const char* said;
  } kCases[] = {
      {{"--paper-out"}, "print", 6, "the printer cannot print: paper-end"},
      {{"--cover-open"}, "image PICTURE", 5, "the printer cannot print: cover-open"},
      {{"--offline"}, "barcode 123", 4, "the printer cannot print: offline"},
      {{"--garbage"}, "qr hello", 3, "asking the status: no valid answer"},
  };
  for (const auto& c : kCases) {
    StartPrinter(c.state);
    const Result result = Run(c.args, "text\n");
    const std::string log = Stop();
    EXPECT_EQ(result.exitCode, c.exitCode) << c.args << ": " << result.err;
    EXPECT_EQ(result.err.rfind(std::string("tallyjet: ") + c.said, 0), 0u) << result.err;
    for (const std::string& line : Lines(log)) {
      EXPECT_EQ(line.rfind("DLE EOT", 0), 0u) << c.args << " sent " << line;
    }
  }
  StartPrinter({"--paper-out"});
  EXPECT_EQ(Run("print --force --no-wait", "text\n").exitCode, 0);
  EXPECT_NE(Stop().find("TEXT \"text\""), std::string::npos);
}

TEST_F(CliTest, LogoLargerThanTheFreeMemoryIsNotStored) {
  StartPrinter({"--nv-capacity", "1000"});  // the 256 x 40 picture takes 1280 bytes
  const Result result = Run("logo store PICTURE --key TJ");
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.err.rfind("tallyjet: the logo takes 1280 bytes, the printer has 1000 free", 0),
            0u) << result.err;
  EXPECT_EQ(Stop().find("define NV graphic"), std::string::npos);
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
  // --force: this printer answers no status question, nor confirms the job.
  const Result result = Run("print --force --no-wait", "receipt\n");
  printer.join();
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_NE(result.err.find("closing " + port_), std::string::npos) << result.err;
}

}  // namespace

namespace {

struct Block {
  int top, bottom;  // rows, bottom excluded
  int left;         // the leftmost inked column
};

// The parts of the roll that hold ink, top to bottom, each ending at a white gap of 3 rows or
// more; the dashed line of a cut is not ink.
std::vector<Block> InkedBlocks(const QImage& roll) {
  std::vector<Block> blocks;
  int white = 3;
  for (int y = 0; y < roll.height(); ++y) {
    int left = -1;
    for (int x = 0; x < roll.width() && left < 0; ++x) {
      if (qGray(roll.pixel(x, y)) < 128) left = x;
    }
    if (left < 0) {
      ++white;
      continue;
    }
    if (white >= 3) blocks.push_back({y, y + 1, left});
    blocks.back().bottom = y + 1;
    blocks.back().left = std::min(blocks.back().left, left);
    white = 0;
  }
  return blocks;
}

}  // namespace

TEST_F(CliTest, LinesNoCodePageHoldsPrintAsPicturesInPlace) {
  const std::string text =
      "Total 12.50\n\xCE\x9A\xCE\xB1\xCE\xBB\xCE\xB7\xCE\xBC\xCE\xAD\xCF\x81\xCE\xB1\n"
      "Merci\n\xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D\n\xE8\xB0\xA2\xE8\xB0\xA2\nBye\n";
  StartPrinter();
  const Result result = Run("print", text);
  const std::string log = Stop();
  ASSERT_EQ(result.exitCode, 0) << result.err;
  size_t at = 0;
  for (const char* row : {"TEXT \"Total 12.50\"", "raster band: 576x", "TEXT \"Merci\"",
                          "raster band: 576x", "raster band: 576x", "TEXT \"Bye\""}) {
    at = log.find(row, at);
    ASSERT_NE(at, std::string::npos) << "no " << row << " in order in\n" << log;
    ++at;
  }
  // Six lines of ink: the text lines and the pictures between them. The Hebrew line reads
  // right to left and so starts at the right; the others at the left.
  const std::vector<Block> blocks = InkedBlocks(QImage(QString::fromStdString(Path("png"))));
  ASSERT_EQ(blocks.size(), 6u) << log;
  const int middle = QImage(QString::fromStdString(Path("png"))).width() / 2;
  for (int line : {0, 1, 2, 4, 5}) EXPECT_LT(blocks[line].left, middle / 2) << line;
  EXPECT_GT(blocks[3].left, middle);

  StartPrinter();
  EXPECT_EQ(Run("print --no-pictures", text).exitCode, 0);
  const std::string plain = Stop();
  EXPECT_EQ(plain.find("raster"), std::string::npos) << plain;
  // Without pictures each line goes out in the table that holds most of it: 437 has alpha.
  EXPECT_NE(plain.find("TEXT \"?\xCE\xB1?????\xCE\xB1\" (cp437)"), std::string::npos) << plain;
}

// --preview draws with the virtual printer's own renderer: the picture equals what the virtual
// printer draws of the same job received on its line, on paper of the same width.
TEST_F(CliTest, PreviewEqualsTheVirtualPrintersRendering) {
  const struct {
    const char* args;
    const char* input;
    std::vector<std::string> printer = {};  // the virtual printer's options
  } kCases[] = {
      {"print --bold --cut", "Caf\xC3\xA9 3.20\n\xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D\n"},
      {"image PICTURE --fit --dither ordered", ""},
      {"barcode --type ean13 400638133393", ""},
      {"qr hello --size 4", ""},
      {"cut --feed 1", ""},
      {"feed 3", ""},
      {"image PICTURE --fit --paper 58", "", {"--paper", "58"}},
  };
  for (const auto& c : kCases) {
    StartPrinter(c.printer);
    const Result preview = Run(std::string(c.args) + " --preview PREVIEW", c.input);
    EXPECT_EQ(preview.exitCode, 0) << c.args << ": " << preview.err;
    const Result printed = Run(c.args, c.input);
    EXPECT_EQ(printed.exitCode, 0) << c.args << ": " << printed.err;
    const std::string log = Stop();
    const QImage drawn(QString::fromStdString(Path("preview")), "PNG");
    EXPECT_FALSE(drawn.isNull()) << c.args;
    EXPECT_EQ(drawn, QImage(QString::fromStdString(Path("png")))) << c.args << "\n" << log;
    unlink(Path("preview").c_str());
  }
}
