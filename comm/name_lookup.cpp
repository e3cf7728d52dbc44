#include "name_lookup.h"

#include <ares.h>
#include <netdb.h>
#include <poll.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "fd_io.h"

namespace {

// A DNS server that has not answered within this time is asked again, or the next one is; each
// round doubles the time. The deadline ends the whole lookup in any case.
constexpr int kQueryTryMs = 1000;
constexpr int kQueryTries = 3;
// Once one address family has answered with addresses, the other is waited for this long at
// most (the resolution delay of Happy Eyeballs): some routers never answer AAAA questions.
constexpr int kResolutionDelayMs = 50;

std::string& NameServersForTests() {
  static std::string servers;
  return servers;
}

// The port as the decimal text that getaddrinfo and c-ares take for a service. (snprintf rather
// than std::to_string, whose digit table the library would otherwise export.)
std::string PortText(int port) {
  char text[8];
  snprintf(text, sizeof text, "%d", port);
  return text;
}

void Add(const sockaddr* address, socklen_t length, std::vector<SocketAddress>* found) {
  if (address == nullptr || length > sizeof(sockaddr_storage)) return;
  SocketAddress entry = {};
  memcpy(&entry.address, address, length);
  entry.length = length;
  found->push_back(entry);
}

// A numeric IPv4 or IPv6 address (with its scope, such as fe80::1%eth0); empty for a name.
std::vector<SocketAddress> Numeric(const HostPort& address) {
  addrinfo hints = {};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_NUMERICHOST | AI_NUMERICSERV;
  addrinfo* list = nullptr;
  std::vector<SocketAddress> found;
  if (getaddrinfo(address.host.c_str(), PortText(address.port).c_str(), &hints, &list) != 0) {
    return found;
  }
  for (const addrinfo* each = list; each != nullptr; each = each->ai_next) {
    Add(each->ai_addr, each->ai_addrlen, &found);
  }
  freeaddrinfo(list);
  return found;
}

// The lookup of one address family.
struct Lookup {
  bool done = false;
  int64_t doneAt = 0;  // monotonic milliseconds
  std::vector<SocketAddress> found;
};

// c-ares calls this once per lookup: with its answer, or with a failure (ARES_EDESTRUCTION when
// the channel is destroyed while the lookup still waits).
void Collect(void* context, int status, int, ares_addrinfo* result) {
  Lookup* lookup = static_cast<Lookup*>(context);
  lookup->done = true;
  lookup->doneAt = fdio::MonotonicMs();
  if (result == nullptr) return;
  if (status == ARES_SUCCESS) {
    for (const ares_addrinfo_node* node = result->nodes; node != nullptr; node = node->ai_next) {
      Add(node->ai_addr, node->ai_addrlen, &lookup->found);
    }
  }
  ares_freeaddrinfo(result);
}

// Sleeps until a socket of the channel is ready, c-ares's next time-out comes or the deadline
// passes, then lets c-ares read, send again or give up on a server.
void Step(ares_channel channel, int64_t deadline) {
  ares_socket_t sockets[ARES_GETSOCK_MAXNUM];
  const int wanted = ares_getsock(channel, sockets, ARES_GETSOCK_MAXNUM);
  pollfd entries[ARES_GETSOCK_MAXNUM];
  nfds_t count = 0;
  for (int i = 0; i < ARES_GETSOCK_MAXNUM; ++i) {
    const short events = (ARES_GETSOCK_READABLE(wanted, i) ? POLLIN : 0) |
                         (ARES_GETSOCK_WRITABLE(wanted, i) ? POLLOUT : 0);
    if (events != 0) entries[count++] = pollfd{sockets[i], events, 0};
  }
  const int64_t remainingMs = std::max<int64_t>(0, deadline - fdio::MonotonicMs());
  timeval limit = {static_cast<time_t>(remainingMs / 1000),
                   static_cast<suseconds_t>(remainingMs % 1000 * 1000)};
  timeval nextTimeout;
  const timeval* wait = ares_timeout(channel, &limit, &nextTimeout);  // the earlier of the two
  const int waitMs = static_cast<int>(wait->tv_sec * 1000 + (wait->tv_usec + 999) / 1000);
  if (poll(entries, count, waitMs) <= 0) {
    ares_process_fd(channel, ARES_SOCKET_BAD, ARES_SOCKET_BAD);  // time-outs only
    return;
  }
  for (nfds_t i = 0; i < count; ++i) {
    const short ready = entries[i].revents;
    ares_process_fd(channel,
                    (ready & (POLLIN | POLLERR | POLLHUP)) ? entries[i].fd : ARES_SOCKET_BAD,
                    (ready & POLLOUT) ? entries[i].fd : ARES_SOCKET_BAD);
  }
}

// When to stop waiting for the families: at the deadline, once both have answered, or a
// resolution delay after the first that brought addresses.
int64_t StopWaitingAt(const Lookup (&families)[2], int64_t deadline) {
  if (families[0].done && families[1].done) return 0;
  for (const Lookup& family : families) {
    if (family.done && !family.found.empty()) {
      deadline = std::min(deadline, family.doneAt + kResolutionDelayMs);
    }
  }
  return deadline;
}

}  // namespace

// c-ares needs ares_library_init on Windows only; on Linux a channel works without it. IPv6 and
// IPv4 are asked at once, and IPv6 addresses come first.
std::vector<SocketAddress> LookUpHost(const HostPort& address, int64_t deadline) {
  std::vector<SocketAddress> numeric = Numeric(address);
  if (!numeric.empty()) return numeric;
  ares_options options = {};
  options.timeout = kQueryTryMs;
  options.tries = kQueryTries;
  ares_channel channel;
  if (ares_init_options(&channel, &options, ARES_OPT_TIMEOUTMS | ARES_OPT_TRIES) != ARES_SUCCESS) {
    return {};
  }
  const std::string& servers = NameServersForTests();
  if (!servers.empty() && ares_set_servers_ports_csv(channel, servers.c_str()) != ARES_SUCCESS) {
    ares_destroy(channel);  // never ask the system's servers in place of a test's
    return {};
  }
  Lookup families[2];
  const int kinds[2] = {AF_INET6, AF_INET};
  for (int i = 0; i < 2; ++i) {
    ares_addrinfo_hints hints = {};
    hints.ai_family = kinds[i];
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = ARES_AI_NUMERICSERV;
    ares_getaddrinfo(channel, address.host.c_str(), PortText(address.port).c_str(), &hints,
                     Collect, &families[i]);
  }
  for (int64_t stop = StopWaitingAt(families, deadline); fdio::MonotonicMs() < stop;
       stop = StopWaitingAt(families, deadline)) {
    Step(channel, stop);
  }
  ares_destroy(channel);  // ends a lookup still waiting
  std::vector<SocketAddress> found = families[0].found;
  found.insert(found.end(), families[1].found.begin(), families[1].found.end());
  return found;
}

void SetNameServersForTests(const std::string& servers) { NameServersForTests() = servers; }
