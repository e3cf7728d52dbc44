// An application's own link for tests and benchmarks: a descriptor the application opened (the
// virtual printer's pty, or a TCP connection to it on the loopback), reached through the
// tallyjet_transport functions, as a printer application reaches its device.
#ifndef TALLYJET_TESTS_DESCRIPTOR_LINK_H
#define TALLYJET_TESTS_DESCRIPTOR_LINK_H

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "tallyjet.h"

namespace descriptor_link {

inline int Write(void* context, const char* data, int length) {
  const int fd = *static_cast<int*>(context);
  ssize_t sent = send(fd, data, static_cast<size_t>(length), MSG_NOSIGNAL);
  if (sent < 0 && errno == ENOTSOCK) sent = write(fd, data, static_cast<size_t>(length));
  return sent < 0 ? -1 : static_cast<int>(sent);
}

inline int Read(void* context, char* buffer, int length, int timeoutMs) {
  const int fd = *static_cast<int*>(context);
  pollfd ready = {fd, POLLIN, 0};
  const int polled = poll(&ready, 1, timeoutMs);
  if (polled == 0) return 0;
  if (polled < 0 || (ready.revents & POLLIN) == 0) return -1;
  const ssize_t got = read(fd, buffer, static_cast<size_t>(length));
  return got <= 0 ? -1 : static_cast<int>(got);
}

inline void Close(void* context) {
  int* fd = static_cast<int*>(context);
  close(*fd);
  *fd = -1;
}

constexpr tallyjet_transport kFunctions = {Write, Read, Close};

// A descriptor for the virtual printer's port name: its pty, or a connection to
// socket://127.0.0.1:PORT. -1 when it cannot be had.
inline int Connect(const std::string& portName) {
  const std::string scheme = "socket://127.0.0.1:";
  if (portName.compare(0, scheme.size(), scheme) != 0) {
    return open(portName.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
  }
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address = {};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(static_cast<uint16_t>(std::stoi(portName.substr(scheme.size()))));
  if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    close(fd);
    return -1;
  }
  return fd;
}

}  // namespace descriptor_link

#endif  // TALLYJET_TESTS_DESCRIPTOR_LINK_H
