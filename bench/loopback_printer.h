// What the network benchmarks send and where to: lines of receipt text, and a printer on
// 127.0.0.1 that reads each connection to its end, as fast as the bytes come or at a printer's
// pace, and counts what it read.
#ifndef TALLYJET_BENCH_LOOPBACK_PRINTER_H
#define TALLYJET_BENCH_LOOPBACK_PRINTER_H

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

// A job: kJobBytes of printable receipt lines, sent in calls of kCallBytes.
constexpr int kJobBytes = 1 << 20;
constexpr int kCallBytes = 4096;

inline const std::string& JobText() {
  static const std::string text = [] {
    std::string lines;
    while (lines.size() < kJobBytes) lines += "2 x Coffee with milk ............ 4.80\n";
    lines.resize(kJobBytes);
    return lines;
  }();
  return text;
}

// A listener on 127.0.0.1 whose thread accepts each connection in turn, reads it to its end at
// bytesPerSecond (0: at once) and closes it.
class LoopbackPrinter {
 public:
  explicit LoopbackPrinter(long bytesPerSecond = 0)
      : rate_(bytesPerSecond), listener_(socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
    address_.sin_family = AF_INET;
    address_.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address_;
    bind(listener_, reinterpret_cast<sockaddr*>(&address_), length);
    listen(listener_, 4);
    getsockname(listener_, reinterpret_cast<sockaddr*>(&address_), &length);
    thread_ = std::thread([this] { Serve(); });
  }
  ~LoopbackPrinter() {
    shutdown(listener_, SHUT_RDWR);  // ends the accept
    thread_.join();
    close(listener_);
  }
  LoopbackPrinter(const LoopbackPrinter&) = delete;
  LoopbackPrinter& operator=(const LoopbackPrinter&) = delete;

  std::string PortName() const {
    return "socket://127.0.0.1:" + std::to_string(ntohs(address_.sin_port));
  }
  const sockaddr_in& Address() const { return address_; }
  long Received() const { return received_; }

 private:
  void Serve() {
    for (;;) {
      const int client = accept(listener_, nullptr, nullptr);
      if (client < 0) return;
      ReadToTheEnd(client);
      close(client);
    }
  }

  void ReadToTheEnd(int client) {
    const auto start = std::chrono::steady_clock::now();
    long paced = 0;
    static char bytes[1 << 16];  // one serving thread per printer; the bytes are dropped
    for (;;) {
      const ssize_t got = read(client, bytes, sizeof bytes);
      if (got <= 0) return;
      received_ += got;
      paced += got;
      if (rate_ > 0) {
        std::this_thread::sleep_until(start + std::chrono::microseconds(paced * 1000000 / rate_));
      }
    }
  }

  const long rate_;
  const int listener_;
  sockaddr_in address_ = {};
  std::atomic<long> received_{0};
  std::thread thread_;
};

#endif  // TALLYJET_BENCH_LOOPBACK_PRINTER_H
