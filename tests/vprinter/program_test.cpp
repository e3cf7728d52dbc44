// The program's command line and state file, and one short run of the program itself.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <fstream>
#include <string>
#include <vector>

#include "../support/child_program.h"
#include "../support/loopback_sockets.h"
#include "program_options.h"
#include "settings_keys.h"
#include "state_file.h"

namespace vprinter {
namespace {

bool Parse(const std::vector<std::string>& args, ProgramOptions* options) {
  std::string error;
  return ParseArguments(args, options, &error);
}

// A setting as a number read from the state or the rates it sets.
using Field = int (*)(const PrinterState&, const Options&);

struct SettingCase {
  const char* setting;  // its key, then its value unless it is a flag
  Field field;
  int expected;
};

const SettingCase kSettingCases[] = {
    {"offline", [](auto& s, auto&) { return int{s.offline}; }, 1},
    {"paper-near-end", [](auto& s, auto&) { return int{s.paperNearEnd}; }, 1},
    {"paper-out", [](auto& s, auto&) { return int{s.paperEnd}; }, 1},
    {"cover-open", [](auto& s, auto&) { return int{s.coverOpen}; }, 1},
    {"error", [](auto& s, auto&) { return int{s.error}; }, 1},
    {"drawer-high", [](auto& s, auto&) { return int{s.drawerPin3High}; }, 1},
    {"extra-status 0x60", [](auto& s, auto&) { return s.extraStatus; }, 0x60},
    {"model-id 32", [](auto& s, auto&) { return s.modelId; }, 32},
    {"type-id 7", [](auto& s, auto&) { return s.typeId; }, 7},
    {"version-id 2.01", [](auto& s, auto&) { return int{s.versionId == "2.01"}; }, 1},
    {"multi-byte big5", [](auto& s, auto&) { return int{s.multiByteSet == "BIG5"}; }, 1},
    {"nv-capacity 8000", [](auto& s, auto&) { return s.nvCapacity; }, 8000},
    {"drain-rate 500", [](auto&, auto& o) { return o.drainBytesPerSecond; }, 500},
    {"read-rate 900", [](auto&, auto& o) { return o.readBytesPerSecond; }, 900},
    {"speed 250", [](auto&, auto& o) { return o.paperSpeed; }, 250},
    {"paper-length 80", [](auto&, auto& o) { return o.paperLength; }, 80},
    {"silent", [](auto& s, auto&) { return int{s.answers == PrinterState::Answers::Silent}; }, 1},
    {"late 250", [](auto& s, auto&) { return s.answerDelayMs; }, 250},
    {"garbage", [](auto& s, auto&) { return int{s.answers == PrinterState::Answers::Garbage}; }, 1},
};

// Every setting as an option lands in its own field. The state file applies its lines through
// the same table.
TEST(ProgramOptionsTest, EachSettingReachesItsField) {
  EXPECT_EQ(SettingKeys().size(), std::size(kSettingCases)) << "a setting without a row";
  for (const SettingCase& c : kSettingCases) {
    ProgramOptions o;
    ASSERT_TRUE(Parse(Words(std::string("--") + c.setting), &o)) << c.setting;
    EXPECT_EQ(c.field(o.state, o.printer), c.expected) << c.setting;
  }
}

TEST(ProgramOptionsTest, ListenTakesAPortAloneOrANumericHostAndAPort) {
  struct Row {
    const char* value;
    const char* host;
    int port;
  };
  for (const Row& row : {Row{"0", "127.0.0.1", 0}, Row{"9100", "127.0.0.1", 9100},
                         Row{"0.0.0.0:65535", "0.0.0.0", 65535},
                         Row{"[::1]:9100", "::1", 9100}}) {
    ProgramOptions o;
    ASSERT_TRUE(Parse({"--listen", row.value}, &o)) << row.value;
    EXPECT_EQ(o.printer.listenHost, row.host);
    EXPECT_EQ(o.printer.listenPort, row.port);
  }
}

TEST(ProgramOptionsTest, BadArgumentsAreRefused) {
  const std::vector<std::vector<std::string>> refused = {
      {"--bogus"}, {"--late"}, {"--late", "-1"},         {"--late", "12ms"}, {"--model-id", ""},
      {"--link"},  {"stray"},  {"--extra-status", "0x"}, {"--paper", "57"},  {"--paper"},
      {"--listen", "65536"}, {"--listen", "printer.local:9100"}, {"--listen", "[::1"},
      {"--listen", "127.0.0.1:"}, {"--multi-byte", "utf8"},
  };
  for (const auto& args : refused) {
    ProgramOptions o;
    EXPECT_FALSE(Parse(args, &o)) << args[0];
  }
}

// The file's lines apply over the base, each error named by its line; a change to the file is
// seen, and a line removed from it reverts to the base.
TEST(StateFileTest, LinesApplyOverTheBaseUntilRemoved) {
  const std::string path = ::testing::TempDir() + "vprinter-state-" + std::to_string(getpid());
  unlink(path.c_str());
  PrinterState base;
  base.coverOpen = true;
  base.offline = true;
  base.answers = PrinterState::Answers::Silent;
  StateFile file(path, base, Options());
  PrinterState state;
  Options options;
  std::vector<std::string> errors;
  EXPECT_TRUE(file.Changed(&state, &options, &errors));  // first look: the base alone
  EXPECT_TRUE(state.coverOpen);
  EXPECT_FALSE(file.Changed(&state, &options, &errors));
  std::ofstream(path) << "# a comment\n\n offline = 0\npaper-out=yes\nsilent=0\nlate=40 # ms\n"
                         "nonsense\ncolour=1\nerror=maybe\ndrain-rate=5\ncover-open=0\n";
  EXPECT_TRUE(file.Changed(&state, &options, &errors));
  EXPECT_FALSE(state.offline);
  EXPECT_TRUE(state.paperEnd);
  EXPECT_EQ(state.answers, PrinterState::Answers::Normal);
  EXPECT_EQ(state.answerDelayMs, 40);
  EXPECT_EQ(options.drainBytesPerSecond, 5);
  EXPECT_FALSE(state.coverOpen);
  EXPECT_FALSE(state.error);
  ASSERT_EQ(errors.size(), 3u);
  EXPECT_EQ(errors[0].rfind("line 7:", 0), 0u);
  std::ofstream(path) << "model-id=6\n";
  EXPECT_TRUE(file.Changed(&state, &options, &errors));
  EXPECT_TRUE(state.coverOpen);
  EXPECT_EQ(state.modelId, 6);
  unlink(path.c_str());
}

bool Readable(int fd, int timeoutMs) {
  pollfd ready = {fd, POLLIN, 0};
  return poll(&ready, 1, timeoutMs) == 1;
}

// The program started with a link, a log, a raw capture, a state file and a rendering of each
// cut piece on 58 mm paper.
TEST(ProgramTest, ServesOnItsLinkAndStopsCleanlyOnSigterm) {
  // Named by process, as other build trees may run this test at the same time.
  const std::string name = ::testing::TempDir() + std::to_string(getpid()) + "-vprinter-program";
  const std::string link = name + "-link", log = name + ".log", raw = name + ".bin",
                    state = name + ".state", png = name + ".png";
  std::ofstream(state) << "drawer-high=1\n";
  ChildProgram program({VPRINTER_PROGRAM, "--link", link, "--log", log, "--raw", raw,
                        "--state-file", state, "--offline", "--quiet", "--png", png,
                        "--png-per-cut", "--paper", "58"});
  ASSERT_EQ(program.FirstLine(), link) << program.Errors();
  const int fd = open(link.c_str(), O_RDWR | O_NOCTTY);
  ASSERT_GE(fd, 0);
  const std::string sent("\x1B@A\n\x1DV\x00\x10\x04\x01", 10);
  ASSERT_EQ(write(fd, sent.data(), sent.size()), 10);
  char answer = 0;
  ASSERT_TRUE(Readable(fd, 2000));
  ASSERT_EQ(read(fd, &answer, 1), 1);
  EXPECT_EQ(answer, 0x1E);  // off-line from the command line, drawer pin from the state file
  close(fd);
  EXPECT_EQ(program.Stop(), 0);
  EXPECT_NE(unlink(link.c_str()), 0);  // gone, not left dangling
  EXPECT_EQ(Slurp(log),
            "ESC @  initialise\nTEXT \"A\" (cp850)\nLF  line feed\nGS V 0  full cut (cut through "
            "printed lines: the cutter is 120 dots above the print head; feed the paper first "
            "(GS V 66 n))\n"
            "DLE EOT 1  printer status -> 1E\n");
  EXPECT_EQ(Slurp(raw), sent);
  // One piece up to the cut, 464 dots wide in its PNG header; the blank paper after it makes no
  // file.
  const std::string piece = name + "-1.png", after = name + "-2.png";
  EXPECT_EQ(Slurp(piece).substr(16, 4), std::string("\0\0\x01\xD0", 4));
  EXPECT_NE(access(after.c_str(), F_OK), 0);
  for (const std::string& path : {log, raw, state, piece}) unlink(path.c_str());
}

// The program on a free port: a client that leaves in the middle of a command does not end it,
// and a second client waits until the first has gone. Quiet, it prints only its address.
TEST(ProgramTest, ServesNetworkClientsOneAtATime) {
  ChildProgram program({VPRINTER_PROGRAM, "--listen", "0", "--quiet", "--offline"});
  const std::string name = program.FirstLine();
  ASSERT_EQ(name.rfind("socket://127.0.0.1:", 0), 0u) << name << program.Errors();
  const int port = atoi(name.c_str() + name.rfind(':') + 1);
  OwnSocket first, second;  // clients on ports of their own
  for (OwnSocket* client : {&first, &second}) {
    sockaddr_in printer = client->address;
    printer.sin_port = htons(static_cast<uint16_t>(port));
    ASSERT_EQ(connect(client->fd, reinterpret_cast<sockaddr*>(&printer), sizeof printer), 0);
  }
  ASSERT_EQ(write(first.fd, "\x1D\x76\x30\x00", 4), 4);  // a raster band cut short
  ASSERT_EQ(write(second.fd, "\x10\x04\x01", 3), 3);     // DLE EOT 1
  EXPECT_FALSE(Readable(second.fd, 200));  // the first client still holds the printer
  shutdown(first.fd, SHUT_RDWR);
  ASSERT_TRUE(Readable(second.fd, 2000));
  char answer = 0;
  EXPECT_EQ(read(second.fd, &answer, 1), 1);
  EXPECT_EQ(answer, 0x1A);  // off-line
  EXPECT_EQ(program.Stop(), 0);
  EXPECT_EQ(program.Output(), name + "\n");
}

}  // namespace
}  // namespace vprinter
