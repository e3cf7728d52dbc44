// A network printer that takes raw ESC/POS on a TCP port, named socket://HOST[:PORT] (port 9100
// when left out). A host name may resolve to IPv4 and IPv6 addresses, which are tried in turn.
// A connection the printer resets or closes, or a write that fails, breaks the link: every later
// write and Close answer -1 (reads -30 after a reset) until the next Open.
#ifndef TALLYJET_COMM_NET_H
#define TALLYJET_COMM_NET_H

#include "comm_base.h"
#include "host_port.h"

class TALLYJET_API CommNet : public CommBase {
 public:
  CommNet();
  // Closes a connection still held, as Close does.
  ~CommNet() override;

  using CommBase::Open;
  // Connects to socket://HOST[:PORT]: 1 connected; -3 a null or malformed name; -4 no address
  // took the connection within the connect time-out, which holds the name lookup as well
  // (refused, unreachable, timed out, or a host name that does not resolve in time). A
  // connection still held is closed first.
  int Open(const char* path) override;
  // Ends the connection the way a printer expects at the end of a job: no more data (the
  // printer still gets every byte sent), then waits while the printer takes what is still
  // queued, for as long as it keeps acknowledging bytes and until it has taken none for the
  // write time-out; once it has every byte, up to 2 s more for it to close its side. Whatever
  // it sends meanwhile is read and dropped; then the socket is closed. 1 the printer
  // acknowledged every byte; -1 it reset the connection, stopped taking bytes, or the link was
  // broken (the connection is then reset, so the printer gets no more of the job); -4 nothing
  // open; -13 close failed (the socket is gone all the same).
  int Close() override;
  // Sends all length bytes, waiting for room while the printer takes bytes: 1 sent; -1 the
  // printer closed or reset the connection, took no byte for the write time-out, or the link
  // is broken (and from then on it is); -3 a negative length; -4 not open. Never raises
  // SIGPIPE.
  int Write(const char* data, int length) override;
  // The bytes that arrive first within the read time-out: their count, 0 when none came; -30
  // when the printer closed or reset the connection; -3 a negative length; -4 not open.
  int Read(char* buffer, int length) override;
  // The read time-out (300 ms until set).
  void SetTimeout(int milliseconds) override;

  // The longest wait of Open for a connection, all addresses together (5000 ms until set).
  void SetConnectTimeout(int milliseconds);
  // The longest time a Write, or Close, waits while the printer takes no byte (10000 ms until
  // set).
  void SetWriteTimeout(int milliseconds);

  // Drops input the printer sent that nobody read, without waiting.
  TALLYJET_INTERNAL void DiscardInput();

 private:
  int readTimeout_;
  int connectTimeout_;
  int writeTimeout_;
};

// Whether OpenPort takes the network path for this port name: it starts with socket://.
bool IsNetworkName(const char* name);

// The host and port of socket://HOST, socket://HOST:PORT or socket://[IPV6]:PORT; false when
// the name is not one of these or its port is 0 or above 65535.
bool ParseNetworkName(const char* name, HostPort* address);

#endif  // TALLYJET_COMM_NET_H
