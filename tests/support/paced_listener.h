// A network printer on 127.0.0.1 that takes one connection with a printer's receive window
// (4 KB) and reads it at a printer's pace, counting what arrived. Told so, it closes the
// connection at accept or after an idle time, or stops reading after some bytes.
#ifndef TALLYJET_TESTS_PACED_LISTENER_H
#define TALLYJET_TESTS_PACED_LISTENER_H

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <climits>
#include <string>
#include <thread>

#include "loopback_sockets.h"

class PacedListener {
 public:
  struct Pace {
    int bytesPerSecond = 3000;
    int closeAfterMs = -1;       // closes the connection this long after accept; -1 never
    size_t stopAfter = SIZE_MAX;  // stops reading once this many bytes came
  };

  explicit PacedListener(const Pace& pace) : pace_(pace) {
    const int window = 4096;
    EXPECT_EQ(setsockopt(socket_.fd, SOL_SOCKET, SO_RCVBUF, &window, sizeof window), 0);
    EXPECT_EQ(listen(socket_.fd, 1), 0);
    thread_ = std::thread([this] { Serve(); });
  }
  ~PacedListener() {
    stopping_ = true;
    thread_.join();
  }
  PacedListener(const PacedListener&) = delete;
  PacedListener& operator=(const PacedListener&) = delete;

  std::string Name() const { return socket_.Name(); }
  size_t Received() const { return received_; }
  // True once the client ended its connection and every byte was read.
  bool WaitForEnd(int timeoutMs) const {
    for (int waited = 0; !ended_ && waited < timeoutMs; waited += 10) usleep(10000);
    return ended_;
  }

 private:
  static constexpr int kTickMs = 20;

  void Serve() {
    pollfd waiting = {socket_.fd, POLLIN, 0};
    while (!stopping_ && poll(&waiting, 1, kTickMs) <= 0) {
    }
    if (stopping_) return;
    const int client = accept(socket_.fd, nullptr, nullptr);
    int openMs = 0;
    char bytes[4096];
    while (!stopping_ && !ended_) {
      if (pace_.closeAfterMs >= 0 && openMs >= pace_.closeAfterMs) break;
      usleep(kTickMs * 1000);
      openMs += kTickMs;
      if (received_ >= pace_.stopAfter) continue;
      const size_t share = std::max(1, pace_.bytesPerSecond * kTickMs / 1000);
      const ssize_t got = recv(client, bytes, std::min(share, sizeof bytes), MSG_DONTWAIT);
      if (got > 0) received_ += static_cast<size_t>(got);
      ended_ = got == 0 || (got < 0 && errno != EAGAIN && errno != EWOULDBLOCK);
    }
    close(client);
  }

  const Pace pace_;
  OwnSocket socket_;
  std::atomic<size_t> received_{0};
  std::atomic<bool> ended_{false};
  std::atomic<bool> stopping_{false};
  std::thread thread_;
};

#endif  // TALLYJET_TESTS_PACED_LISTENER_H
