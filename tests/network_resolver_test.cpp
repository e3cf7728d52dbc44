// Host names resolved by this program's getaddrinfo, which asks the C library's for numeric
// addresses only: printer.test is ::1 then 127.0.0.1; slow.test an address that never answers
// then the printer's; other names are unknown. No query leaves the machine.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <netdb.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "comm_net.h"
#include "loopback_sockets.h"
#include "printer_on_pty.h"
#include "stopwatch.h"

namespace {

// The port of the address that slow.test lists first; the test sets it.
int neverAnswersPort = 0;

// The C library's own answer for a numeric address, put in front of next. Its freeaddrinfo
// frees a list entry by entry, so lists chained here are freed whole.
addrinfo* Numeric(const char* address, int port, addrinfo* next) {
  static const auto resolve = reinterpret_cast<decltype(&getaddrinfo)>(
      dlsym(RTLD_NEXT, "getaddrinfo"));
  addrinfo hints = {};
  hints.ai_flags = AI_NUMERICHOST | AI_NUMERICSERV;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (resolve(address, std::to_string(port).c_str(), &hints, &found) != 0) {
    ADD_FAILURE() << address;
    return next;
  }
  found->ai_next = next;
  return found;
}

}  // namespace

extern "C" int getaddrinfo(const char* node, const char* service, const addrinfo*,
                           addrinfo** found) {
  const int port = atoi(service);
  if (node != nullptr && strcmp(node, "printer.test") == 0) {
    *found = Numeric("::1", port, Numeric("127.0.0.1", port, nullptr));
    return 0;
  }
  if (node != nullptr && strcmp(node, "slow.test") == 0) {
    *found = Numeric("127.0.0.1", neverAnswersPort, Numeric("127.0.0.1", port, nullptr));
    return 0;
  }
  return EAI_NONAME;
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

// A name that does not resolve opens nothing; one that does is tried address by address.
TEST_F(ResolvedNameTest, EachAddressIsTriedInTurn) {
  EXPECT_EQ(OpenPort(("socket://nowhere.test" + Port()).c_str(), 0, 'N', 8, 1),
            TALLYJET_ERR_PORT_NOT_OPEN);
  ASSERT_EQ(OpenPort(("socket://printer.test" + Port()).c_str(), 0, 'N', 8, 1), TALLYJET_SUCCESS);
  EXPECT_EQ(SendData("named\n", 6), TALLYJET_SUCCESS);
  EXPECT_EQ(ClosePort(), TALLYJET_SUCCESS);
  EXPECT_TRUE(printer.WaitForReceived(6, 2000));
  EXPECT_EQ(printer.Received(), "named\n");
}

// The first address has half the connect bound, not all of it and not none of it.
TEST_F(ResolvedNameTest, AddressThatNeverAnswersLeavesTimeForTheNext) {
  FullListener neverAnswers;
  ASSERT_TRUE(neverAnswers.full);
  neverAnswersPort = neverAnswers.Port();
  CommNet net;
  net.SetConnectTimeout(600);
  const Stopwatch watch;
  EXPECT_EQ(net.Open(("socket://slow.test" + Port()).c_str()), TALLYJET_SUCCESS);
  EXPECT_GE(watch.Ms(), 250);
  EXPECT_LT(watch.Ms(), 3000);
}

}  // namespace
