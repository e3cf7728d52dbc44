// The printer application's parts that decide on their own, without a server: the dither of
// grey pages, who may change settings (and who is behind a loopback connection), which
// documents are refused at submission, the test page receipt and the words the web pages'
// footer puts in for PAPPL's.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

#include "admin_access.h"
#include "format_gate.h"
#include "grey_dither.h"
#include "peer_user.h"
#include "test_page.h"
#include "web_footer.h"

namespace printer_app {
namespace {

// The one-bit rows a dither gives for grey rows of the same width, as strings of '#' and '.'.
std::vector<std::string> Dithered(const std::vector<std::vector<unsigned char>>& grey) {
  const int width = static_cast<int>(grey.front().size());
  std::vector<std::string> rows;
  auto keep = [&rows, width](const unsigned char* row) {
    std::string dots;
    for (int x = 0; x < width; ++x) dots += (row[x / 8] & (0x80 >> (x % 8))) ? '#' : '.';
    rows.push_back(dots);
    return 1;
  };
  GreyDither dither(width);
  for (const std::vector<unsigned char>& row : grey) {
    const size_t before = rows.size();
    EXPECT_EQ(dither.Push(row.data(), keep), 1);
    EXPECT_EQ(rows.size(), before + (before == 0 && &row == &grey.front() ? 0 : 1));
  }
  EXPECT_EQ(dither.Finish(keep), 1);
  return rows;
}

TEST(GreyDitherTest, BlackAndWhiteStayEdgesAreThresholdedGreyAreasKeepTheirShade) {
  // Black and white alone come out as they are.
  EXPECT_EQ(Dithered({{0, 255, 0, 255, 255, 0, 0, 255, 0}, {255, 0, 255, 0, 0, 255, 255, 0, 255}}),
            (std::vector<std::string>{"#.#..##.#", ".#.##..#."}));
  // A grey dot beside black or white takes half grey as its threshold, whatever the cell.
  EXPECT_EQ(Dithered({{0, 100, 200, 255}, {0, 127, 128, 255}}),
            (std::vector<std::string>{"##..", "##.."}));
  // A grey area away from black and white is dithered to its shade: 60 % of the dots black for
  // a 40 % light grey, none all black or all white row.
  const int size = 64;
  const std::vector<std::string> area =
      Dithered(std::vector<std::vector<unsigned char>>(size, std::vector<unsigned char>(size, 102)));
  int black = 0;
  for (const std::string& row : area) {
    const int inRow = static_cast<int>(std::count(row.begin(), row.end(), '#'));
    EXPECT_GT(inRow, 0);
    EXPECT_LT(inRow, size);
    black += inRow;
  }
  EXPECT_NEAR(black * 100.0 / (size * size), 60.0, 2.0);
}

// A connection of this test to itself: the server's end, accepted, whose client is this user.
int AcceptedLoopbackConnection(int family, int* client, int* listener) {
  sockaddr_storage address{};
  socklen_t length = family == AF_INET ? sizeof(sockaddr_in) : sizeof(sockaddr_in6);
  address.ss_family = static_cast<sa_family_t>(family);
  if (family == AF_INET) {
    reinterpret_cast<sockaddr_in*>(&address)->sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  } else {
    reinterpret_cast<sockaddr_in6*>(&address)->sin6_addr = in6addr_loopback;
  }
  *listener = socket(family, SOCK_STREAM | SOCK_CLOEXEC, 0);
  *client = socket(family, SOCK_STREAM | SOCK_CLOEXEC, 0);
  auto* any = reinterpret_cast<sockaddr*>(&address);
  if (bind(*listener, any, length) != 0 || listen(*listener, 1) != 0 ||
      getsockname(*listener, any, &length) != 0 || connect(*client, any, length) != 0) {
    return -1;
  }
  return accept4(*listener, nullptr, nullptr, SOCK_CLOEXEC);
}

// The user behind a loopback connection is read from the kernel's socket tables, over IPv4 and
// IPv6; a local socket pair is no loopback TCP connection.
TEST(PeerUserTest, LoopbackClientIsFoundAndOnlyAdministratorsCount) {
  for (int family : {AF_INET, AF_INET6}) {
    int client = -1, listener = -1;
    const int server = AcceptedLoopbackConnection(family, &client, &listener);
    ASSERT_GE(server, 0) << family << ": " << strerror(errno);
    uid_t uid = 12345;
    EXPECT_TRUE(LoopbackPeerUser(server, &uid)) << family;
    EXPECT_EQ(uid, getuid()) << family;
    for (int fd : {server, client, listener}) close(fd);
  }
  int pair[2];
  ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair), 0);
  uid_t uid = 0;
  EXPECT_FALSE(LoopbackPeerUser(pair[0], &uid));
  close(pair[0]);
  close(pair[1]);

  EXPECT_TRUE(IsAdministrator(0, "no-such-group"));
  EXPECT_TRUE(IsAdministrator(geteuid(), "no-such-group"));
  if (geteuid() != 65534) {
    EXPECT_FALSE(IsAdministrator(65534, "no-such-group"));
  }
}

TEST(AdminAccessTest, NothingBeforeAPasswordThenOnlyWithIt) {
  struct Case {
    bool passwordSet;
    const char* page;
    bool localAdministrator;
    bool matches;
    Access expected;
  };
  const Case cases[] = {
      {false, "/receipt/printing", true, false, Access::kForbidden},
      {false, "/security", false, false, Access::kForbidden},
      {false, "/security", true, false, Access::kAllowed},
      {true, "/security", true, false, Access::kAskForPassword},
      {true, "/receipt/printing", false, false, Access::kAskForPassword},
      {true, "/receipt/printing", false, true, Access::kAllowed},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DecideAccess(c.passwordSet, c.page, c.localAdministrator, c.matches), c.expected)
        << c.page << " set " << c.passwordSet << " local administrator " << c.localAdministrator;
  }
  const struct {
    const char* header;
    const char* password;
  } headers[] = {{"Basic YWRtaW46U2hvcDEyMzR4", "Shop1234x"},   // admin:Shop1234x
                 {"Basic   YTpiOmM=", "b:c"},                     // a:b:c
                 {"Basic bm9jb2xvbg==", ""},                      // nocolon
                 {"Bearer YWRtaW46U2hvcDEyMzR4", ""},
                 {nullptr, ""}};
  for (const auto& h : headers) {
    EXPECT_EQ(BasicPassword(h.header), h.password) << (h.header ? h.header : "null");
  }
}

TEST(FormatGateTest, RefusesUnlistedFormatsOfDocumentsOnly) {
  ipp_t* printer = ippNew();
  const char* listed[] = {"application/octet-stream", "image/png", "text/plain"};
  ipp_attribute_t* supported = ippAddStrings(printer, IPP_TAG_PRINTER, IPP_TAG_MIMETYPE,
                                             "document-format-supported", 3, nullptr, listed);
  const struct {
    ipp_op_t operation;
    const char* format;  // nullptr: none given
    bool refused;
  } cases[] = {{IPP_OP_PRINT_JOB, "text/html", true},
               {IPP_OP_SEND_DOCUMENT, "application/pdf", true},
               {IPP_OP_VALIDATE_JOB, "image/urf", true},
               {IPP_OP_PRINT_JOB, "image/png", false},
               {IPP_OP_PRINT_JOB, "application/octet-stream", false},
               {IPP_OP_PRINT_JOB, nullptr, false},
               {IPP_OP_CREATE_JOB, "text/html", false},
               {IPP_OP_GET_PRINTER_ATTRIBUTES, "text/html", false}};
  for (const auto& c : cases) {
    ipp_t* request = ippNewRequest(c.operation);
    if (c.format != nullptr) {
      ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_MIMETYPE, "document-format", nullptr,
                   c.format);
    }
    EXPECT_EQ(RefusesFormat(request, supported), c.refused)
        << ippOpString(c.operation) << " " << (c.format ? c.format : "none");
    ippDelete(request);
  }
  ippDelete(printer);

}

TEST(TestPageTest, NamesThePrinterAndRulesTheWholeWidth) {
  for (const int headDots : {576, 384}) {
    const std::string page = TestPageBytes("till\xC3\xA9", "TallyJet 80 mm", "socket://127.0.0.1:9100",
                                           "Stopped: Out of paper.", headDots, 0);
    EXPECT_EQ(page.compare(0, 2, "\x1b@"), 0);
    EXPECT_NE(page.find("Printer: till??\n"), std::string::npos);  // what no code table shows
    EXPECT_NE(page.find("Connected by: socket://127.0.0.1:9100\n"), std::string::npos);
    EXPECT_NE(page.find("State: Stopped: Out of paper.\n"), std::string::npos);
    const int columns = headDots / 12;
    std::string ruler;
    for (int column = 1; column <= columns; ++column) ruler += static_cast<char>('0' + column % 10);
    EXPECT_NE(page.find("\n" + ruler + "\n"), std::string::npos) << headDots;
    EXPECT_EQ(page.substr(page.size() - 4), std::string("\x1dV\x42\x40"));
  }
}

// The footer's script finds PAPPL's own English phrases for the state on the page and swaps in
// the shop's words; those that stop printing also turn the icon to the stopped one.
TEST(WebFooterTest, PairsPapplsEnglishStatePhrasesWithTheShopsWords) {
  pappl_system_t* system =
      papplSystemCreate(PAPPL_SOPTIONS_NONE, "footer-test", 0, nullptr, testing::TempDir().c_str(),
                        "-", PAPPL_LOGLEVEL_FATAL, nullptr, false);
  ASSERT_NE(system, nullptr);
  const std::string footer = WebFooter(papplSystemFindLoc(system, "en"));
  papplSystemDelete(system);
  for (const char* pair :
       {"[\"Idle\",\"Ready\",0]", "[\"Out of paper.\",\"Out of paper \u2014 load a new roll\",1]",
        "[\"Offline.\",\"Not answering \u2014 check the cable and power\",1]",
        "[\"Replace paper soon.\",\"Paper running low \u2014 have a new roll ready\",0]"}) {
    EXPECT_NE(footer.find(pair), std::string::npos) << pair << "\n" << footer;
  }
}

}  // namespace
}  // namespace printer_app
