// Sockets a test makes itself on 127.0.0.1, to play printers that refuse, never accept or read.
#ifndef TALLYJET_TESTS_LOOPBACK_SOCKETS_H
#define TALLYJET_TESTS_LOOPBACK_SOCKETS_H

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>
#include <vector>

// A TCP socket bound to a free port of 127.0.0.1 (or to the given loopback address and port)
// and not yet listening, so that a connection to it is refused.
struct OwnSocket {
  explicit OwnSocket(const char* host = "127.0.0.1", int port = 0)
      : fd(socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    EXPECT_EQ(inet_pton(AF_INET, host, &address.sin_addr), 1) << host;
    socklen_t length = sizeof address;
    EXPECT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), length), 0);
    EXPECT_EQ(getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length), 0);
  }
  ~OwnSocket() { close(fd); }
  OwnSocket(const OwnSocket&) = delete;
  OwnSocket& operator=(const OwnSocket&) = delete;

  int Port() const { return ntohs(address.sin_port); }
  std::string Name() const { return "socket://127.0.0.1:" + std::to_string(Port()); }

  int fd;
  sockaddr_in address = {};
};

// A listener whose backlog is full: the system drops new connection attempts, so a connect
// waits until its caller gives up.
struct FullListener : OwnSocket {
  explicit FullListener(const char* host = "127.0.0.1", int port = 0) : OwnSocket(host, port) {
    EXPECT_EQ(listen(fd, 0), 0);
    // Connections that are never accepted fill the backlog; the first whose handshake does not
    // finish shows that it is full.
    while (!full && waiting.size() < 16) {
      const int client = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
      waiting.push_back(client);
      connect(client, reinterpret_cast<const sockaddr*>(&address), sizeof address);
      pollfd connected = {client, POLLOUT, 0};
      full = poll(&connected, 1, 100) == 0;
    }
  }
  ~FullListener() {
    for (const int client : waiting) close(client);
  }

  std::vector<int> waiting;
  bool full = false;
};

#endif  // TALLYJET_TESTS_LOOPBACK_SOCKETS_H
