// The printer's network side: a TCP port that takes one client at a time, as a network receipt
// printer does. The next client waits in the listen backlog until the current one has gone.
#ifndef VPRINTER_TCP_LISTENER_H
#define VPRINTER_TCP_LISTENER_H

#include <sys/types.h>

#include <string>

namespace vprinter {

class TcpListener {
 public:
  TcpListener() = default;
  ~TcpListener() { Close(); }
  TcpListener(const TcpListener&) = delete;
  TcpListener& operator=(const TcpListener&) = delete;

  // Listens on host (a numeric address) and port; port 0 takes a free one. With smallWindow
  // connections take a printer's few KB at a time instead of the system's megabytes. False on
  // failure, with errno set and nothing left open.
  bool Listen(const std::string& host, int port, bool smallWindow = false);
  // Ends the current connection and stops listening.
  void Close();
  // The bound address as HOST:PORT, an IPv6 address in brackets.
  const std::string& Address() const { return address_; }

  // The current client's descriptor; when there is none, waits up to waitMs for one to accept.
  // -1 when no client came.
  int Accept(int waitMs);
  // The current client's descriptor, -1 when none is connected.
  int Client() const { return client_; }
  // Ends the current connection: an orderly close, or with reset an abortive one (RST).
  void Drop(bool reset);
  // Sends to the current client without raising SIGPIPE: a client that has gone gives -1 with
  // errno EPIPE or ECONNRESET.
  ssize_t Send(const char* bytes, size_t length) const;

 private:
  int listener_ = -1;
  int client_ = -1;
  std::string address_;
};

}  // namespace vprinter

#endif  // VPRINTER_TCP_LISTENER_H
