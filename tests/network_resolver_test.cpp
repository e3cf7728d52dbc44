// Host names resolved through a DNS server on 127.0.0.1 that the test runs (the resolver is told
// to ask it alone): printer.test is ::1 then 127.0.0.1; slow.test an address that never answers
// then the printer's; other names are unknown. No query leaves the machine.
#include <gtest/gtest.h>

#include <string>

#include "comm_net.h"
#include "dns_on_loopback.h"
#include "loopback_sockets.h"
#include "name_lookup.h"
#include "printer_on_pty.h"
#include "stopwatch.h"

namespace {

// The printer listens on 127.0.0.1 alone, so the IPv6 address refuses.
class ResolvedNameTest : public PrinterOnPty {
 protected:
  ResolvedNameTest() : PrinterOnPty(OnLoopback()) {}
  void TearDown() override {
    PrinterOnPty::TearDown();
    SetNameServersForTests("");
  }
  int PortNumber() const { return std::stoi(Port().substr(1)); }
  std::string Port() const {
    const std::string name = printer.PortName();
    return name.substr(name.rfind(':'));
  }
};

// A name that does not resolve opens nothing; one that does is tried address by address, from
// the first (only the printer's address, 127.0.0.1, takes the connection).
TEST_F(ResolvedNameTest, EachAddressIsTriedInTurn) {
  const DnsOnLoopback dns({{"printer.test", {"::1", "127.0.0.1"}},
                           {"first.test", {"127.0.0.1", "127.0.0.3"}}});
  SetNameServersForTests(dns.Server());
  EXPECT_EQ(OpenPort(("socket://nowhere.test" + Port()).c_str(), 0, 'N', 8, 1),
            TALLYJET_ERR_PORT_NOT_OPEN);
  for (const std::string name : {"printer.test", "first.test"}) {
    printer.Clear();
    ASSERT_EQ(OpenPort(("socket://" + name + Port()).c_str(), 0, 'N', 8, 1), TALLYJET_SUCCESS);
    EXPECT_EQ(SendData("named\n", 6), TALLYJET_SUCCESS);
    EXPECT_EQ(ClosePort(), TALLYJET_SUCCESS);
    EXPECT_TRUE(printer.WaitForReceived(6, 2000)) << name;
    EXPECT_EQ(printer.Received(), "named\n") << name;
  }
}

// The first address has half the connect bound, not all of it and not none of it. It is
// 127.0.0.2, on the printer's port, where a listener with a full backlog drops the connection.
TEST_F(ResolvedNameTest, AddressThatNeverAnswersLeavesTimeForTheNext) {
  FullListener neverAnswers("127.0.0.2", PortNumber());
  ASSERT_TRUE(neverAnswers.full);
  const DnsOnLoopback dns({{"slow.test", {"127.0.0.2", "127.0.0.1"}}});
  SetNameServersForTests(dns.Server());
  CommNet net;
  net.SetConnectTimeout(600);
  const Stopwatch watch;
  EXPECT_EQ(net.Open(("socket://slow.test" + Port()).c_str()), TALLYJET_SUCCESS);
  EXPECT_GE(watch.Ms(), 250);
  EXPECT_LT(watch.Ms(), 3000);
}

// A server that answers A at once and never AAAA: the printer is reached within the resolution
// delay, not at the end of the connect bound.
TEST_F(ResolvedNameTest, FamilyThatNeverAnswersDoesNotHoldTheOther) {
  const DnsOnLoopback dns({{"printer.test", {"::1", "127.0.0.1"}}}, false);
  SetNameServersForTests(dns.Server());
  const Stopwatch watch;
  ASSERT_EQ(OpenPort(("socket://printer.test" + Port()).c_str(), 0, 'N', 8, 1), TALLYJET_SUCCESS);
  EXPECT_LT(watch.Ms(), 1000);
  EXPECT_EQ(SendData("named\n", 6), TALLYJET_SUCCESS);
  EXPECT_EQ(ClosePort(), TALLYJET_SUCCESS);
}

// DNS servers that never answer: the lookup ends with the connect bound, which it is part of,
// however many servers there are to ask.
TEST_F(ResolvedNameTest, SilentNameServersEndAtTheConnectBound) {
  const DnsOnLoopback first;
  const DnsOnLoopback second;
  for (const std::string& servers : {first.Server(), first.Server() + "," + second.Server()}) {
    SCOPED_TRACE(servers);
    SetNameServersForTests(servers);
    CommNet net;
    net.SetConnectTimeout(1500);
    const Stopwatch watch;
    EXPECT_EQ(net.Open(("socket://printer.test" + Port()).c_str()), TALLYJET_ERR_PORT_NOT_OPEN);
    EXPECT_LT(watch.Ms(), 4000);
  }
}

}  // namespace
