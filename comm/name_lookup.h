// Finding the addresses of a printer's host within a deadline, on the calling thread: a numeric
// address at once, a name through c-ares (the hosts file, then the DNS servers of
// /etc/resolv.conf), whose every wait is bounded. The library starts no thread for it.
#ifndef TALLYJET_NAME_LOOKUP_H
#define TALLYJET_NAME_LOOKUP_H

#include <sys/socket.h>

#include <cstdint>
#include <string>
#include <vector>

#include "host_port.h"

struct SocketAddress {
  sockaddr_storage address;
  socklen_t length;
};

// The addresses of address.host with address.port set, in the order to try them; empty when
// the name does not resolve before the deadline (monotonic milliseconds, see fd_io.h).
std::vector<SocketAddress> LookUpHost(const HostPort& address, int64_t deadline);

// Lets tests name the DNS servers that later lookups ask instead of the system's, as c-ares
// writes them ("127.0.0.1:5353", several separated by commas); an empty list gives the
// system's back. Not part of the library's interface.
void SetNameServersForTests(const std::string& servers);

#endif  // TALLYJET_NAME_LOOKUP_H
