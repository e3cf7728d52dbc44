// Host names on the network path, resolved by a resolver this program controls: its own
// getaddrinfo and freeaddrinfo, which the library's calls reach in place of the C library's, so
// no query ever leaves the machine. printer.test has an IPv6 and an IPv4 loopback address;
// slow.test first an address that never answers, then the printer's; every other name is
// unknown.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netdb.h>

#include <cstdlib>
#include <cstring>

#include "comm_net.h"
#include "loopback_sockets.h"
#include "printer_on_pty.h"
#include "stopwatch.h"

namespace {

// The port of the address that slow.test lists first; the test sets it.
int neverAnswersPort = 0;

// One address of the list, with the socket address it points to.
struct Entry {
  addrinfo info;
  sockaddr_storage address;
};

addrinfo* NewEntry(const char* numeric, int port, addrinfo* next) {
  Entry* entry = new Entry();
  auto* v4 = reinterpret_cast<sockaddr_in*>(&entry->address);
  auto* v6 = reinterpret_cast<sockaddr_in6*>(&entry->address);
  if (inet_pton(AF_INET6, numeric, &v6->sin6_addr) == 1) {
    v6->sin6_family = AF_INET6;
    v6->sin6_port = htons(static_cast<uint16_t>(port));
    entry->info.ai_addrlen = sizeof *v6;
  } else {
    inet_pton(AF_INET, numeric, &v4->sin_addr);
    v4->sin_family = AF_INET;
    v4->sin_port = htons(static_cast<uint16_t>(port));
    entry->info.ai_addrlen = sizeof *v4;
  }
  entry->info.ai_family = entry->address.ss_family;
  entry->info.ai_socktype = SOCK_STREAM;
  entry->info.ai_protocol = IPPROTO_TCP;
  entry->info.ai_addr = reinterpret_cast<sockaddr*>(&entry->address);
  entry->info.ai_next = next;
  return &entry->info;
}

}  // namespace

extern "C" int getaddrinfo(const char* node, const char* service, const addrinfo*,
                           addrinfo** found) {
  const int port = atoi(service);
  if (node != nullptr && strcmp(node, "printer.test") == 0) {
    *found = NewEntry("::1", port, NewEntry("127.0.0.1", port, nullptr));
    return 0;
  }
  if (node != nullptr && strcmp(node, "slow.test") == 0) {
    *found = NewEntry("127.0.0.1", neverAnswersPort, NewEntry("127.0.0.1", port, nullptr));
    return 0;
  }
  return EAI_NONAME;
}

extern "C" void freeaddrinfo(addrinfo* list) {
  while (list != nullptr) {
    addrinfo* next = list->ai_next;
    delete reinterpret_cast<Entry*>(list);
    list = next;
  }
}

namespace {

// The printer listens on 127.0.0.1 alone, so the IPv6 address, tried first, refuses.
class ResolvedNameTest : public PrinterOnPty {
 protected:
  ResolvedNameTest() : PrinterOnPty(OnLoopback()) {}
  std::string Port() const {
    const std::string name = printer.PortName();
    return name.substr(name.rfind(':'));
  }
};

TEST_F(ResolvedNameTest, EachAddressIsTriedInTurn) {
  ASSERT_EQ(OpenPort(("socket://printer.test" + Port()).c_str(), 0, 'N', 8, 1), TALLYJET_SUCCESS);
  EXPECT_EQ(SendData("named\n", 6), TALLYJET_SUCCESS);
  EXPECT_EQ(ClosePort(), TALLYJET_SUCCESS);
  EXPECT_TRUE(printer.WaitForReceived(6, 2000));
  EXPECT_EQ(printer.Received(), "named\n");
}

// The first address has half the connect bound, not all of it and not none of it.
TEST_F(ResolvedNameTest, AddressThatNeverAnswersLeavesTimeForTheNext) {
  FullListener neverAnswers;
  ASSERT_TRUE(neverAnswers.full());
  neverAnswersPort = neverAnswers.Port();
  CommNet net;
  net.SetConnectTimeout(600);
  const Stopwatch watch;
  EXPECT_EQ(net.Open(("socket://slow.test" + Port()).c_str()), TALLYJET_SUCCESS);
  EXPECT_GE(watch.Ms(), 250);
  EXPECT_LT(watch.Ms(), 3000);
}

TEST_F(ResolvedNameTest, NameThatDoesNotResolveIsNotOpened) {
  EXPECT_EQ(OpenPort(("socket://nowhere.test" + Port()).c_str(), 0, 'N', 8, 1),
            TALLYJET_ERR_PORT_NOT_OPEN);
}

}  // namespace
