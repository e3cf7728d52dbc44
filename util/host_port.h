// Splitting a network address written as HOST, HOST:PORT, [IPV6] or [IPV6]:PORT.
#ifndef TALLYJET_HOST_PORT_H
#define TALLYJET_HOST_PORT_H

#include <string>

struct HostPort {
  std::string host;  // without the brackets of an IPv6 address
  int port = -1;     // 0 to 65535; -1 while none was given
};

namespace host_port {

// A port number of one to five digits, 0 to 65535; -1 otherwise.
inline int ParsePort(const std::string& digits) {
  if (digits.empty() || digits.size() > 5) return -1;
  int port = 0;
  for (const char c : digits) {
    if (c < '0' || c > '9') return -1;
    port = port * 10 + (c - '0');
  }
  return port <= 65535 ? port : -1;
}

// A host name or address holds none of the characters that end or delimit one in a URI.
inline bool IsPlainHost(const std::string& host) {
  return !host.empty() && host.find_first_of("/?#@[] \t\r\n") == std::string::npos;
}

}  // namespace host_port

// Splits text into host and port; a port that text leaves out keeps the value *address holds.
// False for an empty host, an unclosed [, an IPv6 address without brackets, a port that is not
// a number from 0 to 65535, anything after the port, or no port where *address holds none.
inline bool ParseHostPort(const std::string& text, HostPort* address) {
  std::string host;
  std::string rest;
  if (!text.empty() && text[0] == '[') {
    const size_t close = text.find(']');
    if (close == std::string::npos) return false;
    host = text.substr(1, close - 1);
    rest = text.substr(close + 1);
    if (host.find(':') == std::string::npos) return false;  // brackets hold IPv6 alone
  } else {
    const size_t colon = text.find(':');
    host = text.substr(0, colon);
    if (colon != std::string::npos) rest = text.substr(colon);
  }
  if (!host_port::IsPlainHost(host) || (!rest.empty() && rest[0] != ':')) return false;
  const int port = rest.empty() ? address->port : host_port::ParsePort(rest.substr(1));
  if (port < 0) return false;
  address->host = host;
  address->port = port;
  return true;
}

#endif  // TALLYJET_HOST_PORT_H
