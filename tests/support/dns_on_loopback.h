// A DNS server on a free UDP port of 127.0.0.1, for the resolver's tests: it answers A and AAAA
// questions about the names it was given, with their addresses in the order given, and any other
// name with "no such name"; told so, it never answers AAAA questions, as some routers do. Made
// without names, it never answers at all.
#ifndef TALLYJET_TESTS_DNS_ON_LOOPBACK_H
#define TALLYJET_TESTS_DNS_ON_LOOPBACK_H

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cctype>
#include <cstdint>
#include <map>
#include <string>
#include <thread>
#include <vector>

class DnsOnLoopback {
 public:
  // Name (lower case, without the final dot) and its numeric IPv4 and IPv6 addresses.
  using Names = std::map<std::string, std::vector<std::string>>;

  // A server that answers no question (they wait unread).
  DnsOnLoopback() : fd_(socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0)) {
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    EXPECT_EQ(bind(fd_, reinterpret_cast<sockaddr*>(&address), length), 0);
    EXPECT_EQ(getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length), 0);
    port_ = ntohs(address.sin_port);
  }
  explicit DnsOnLoopback(Names names, bool answersAaaa = true) : DnsOnLoopback() {
    names_ = std::move(names);
    answersAaaa_ = answersAaaa;
    thread_ = std::thread([this] { Serve(); });
  }
  ~DnsOnLoopback() {
    stopping_ = true;
    if (thread_.joinable()) thread_.join();
    close(fd_);
  }
  DnsOnLoopback(const DnsOnLoopback&) = delete;
  DnsOnLoopback& operator=(const DnsOnLoopback&) = delete;

  // As the resolver's server list names it.
  std::string Server() const { return "127.0.0.1:" + std::to_string(port_); }

 private:
  static constexpr uint16_t kTypeA = 1;
  static constexpr uint16_t kTypeAaaa = 28;
  static constexpr uint16_t kNoSuchName = 3;
  static constexpr size_t kHeaderBytes = 12;

  static uint16_t Get16(const std::string& bytes, size_t at) {
    return static_cast<uint16_t>(static_cast<uint8_t>(bytes[at]) << 8 |
                                 static_cast<uint8_t>(bytes[at + 1]));
  }
  static void Put16(std::string* bytes, uint16_t value) {
    bytes->push_back(static_cast<char>(value >> 8));
    bytes->push_back(static_cast<char>(value & 0xFF));
  }

  void Serve() {
    while (!stopping_) {
      pollfd entry = {fd_, POLLIN, 0};
      if (poll(&entry, 1, 50) <= 0) continue;
      char buffer[512];
      sockaddr_in client = {};
      socklen_t length = sizeof client;
      const ssize_t got =
          recvfrom(fd_, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&client), &length);
      if (got <= 0) continue;
      const std::string answer = Answer(std::string(buffer, static_cast<size_t>(got)));
      if (answer.empty()) continue;
      sendto(fd_, answer.data(), answer.size(), 0, reinterpret_cast<sockaddr*>(&client), length);
    }
  }

  // The answer to one question, or nothing for a message that is not one.
  std::string Answer(const std::string& query) const {
    if (query.size() < kHeaderBytes || Get16(query, 4) != 1) return "";
    std::string name;
    size_t at = kHeaderBytes;
    while (at < query.size() && query[at] != 0) {
      const size_t label = static_cast<uint8_t>(query[at]);
      if (at + 1 + label > query.size()) return "";
      if (!name.empty()) name += '.';
      for (size_t i = 0; i < label; ++i) {
        name += static_cast<char>(tolower(static_cast<unsigned char>(query[at + 1 + i])));
      }
      at += 1 + label;
    }
    if (at + 5 > query.size()) return "";
    const size_t questionEnd = at + 5;  // the final 0, type and class
    const uint16_t type = Get16(query, at + 1);
    if (type == kTypeAaaa && !answersAaaa_) return "";
    const auto known = names_.find(name);
    std::vector<std::string> records;
    if (known != names_.end()) {
      for (const std::string& address : known->second) {
        char bytes[16];
        if (type == kTypeA && inet_pton(AF_INET, address.c_str(), bytes) == 1) {
          records.emplace_back(bytes, 4);
        } else if (type == kTypeAaaa && inet_pton(AF_INET6, address.c_str(), bytes) == 1) {
          records.emplace_back(bytes, 16);
        }
      }
    }
    std::string answer = query.substr(0, 2);  // the question's identifier
    Put16(&answer, static_cast<uint16_t>(0x8180 | (known == names_.end() ? kNoSuchName : 0)));
    Put16(&answer, 1);
    Put16(&answer, static_cast<uint16_t>(records.size()));
    Put16(&answer, 0);
    Put16(&answer, 0);
    answer += query.substr(kHeaderBytes, questionEnd - kHeaderBytes);
    for (const std::string& record : records) {
      Put16(&answer, 0xC000 | kHeaderBytes);  // the name, pointing at the question's
      Put16(&answer, type);
      Put16(&answer, 1);  // class IN
      Put16(&answer, 0);
      Put16(&answer, 60);  // time to live
      Put16(&answer, static_cast<uint16_t>(record.size()));
      answer += record;
    }
    return answer;
  }

  int fd_;
  int port_ = 0;
  Names names_;
  bool answersAaaa_ = true;
  std::atomic<bool> stopping_{false};
  std::thread thread_;
};

#endif  // TALLYJET_TESTS_DNS_ON_LOOPBACK_H
