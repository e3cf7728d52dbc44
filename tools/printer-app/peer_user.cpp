#include "peer_user.h"

#include <arpa/inet.h>
#include <grp.h>
#include <netinet/in.h>
#include <pwd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace printer_app {
namespace {

// An address and port as the kernel's socket tables compare them: IPv4 (also when mapped into
// IPv6) in four bytes, IPv6 in sixteen.
struct Endpoint {
  std::vector<unsigned char> address;
  unsigned port = 0;
  bool operator==(const Endpoint& other) const {
    return port == other.port && address == other.address;
  }
};

bool EndpointOf(const sockaddr_storage& socket, Endpoint* endpoint) {
  if (socket.ss_family == AF_INET) {
    const auto* in = reinterpret_cast<const sockaddr_in*>(&socket);
    const auto* bytes = reinterpret_cast<const unsigned char*>(&in->sin_addr);
    endpoint->address.assign(bytes, bytes + 4);
    endpoint->port = ntohs(in->sin_port);
    return true;
  }
  if (socket.ss_family == AF_INET6) {
    const auto* in6 = reinterpret_cast<const sockaddr_in6*>(&socket);
    const auto* bytes = reinterpret_cast<const unsigned char*>(&in6->sin6_addr);
    const bool mapped = IN6_IS_ADDR_V4MAPPED(&in6->sin6_addr);
    endpoint->address.assign(mapped ? bytes + 12 : bytes, bytes + 16);
    endpoint->port = ntohs(in6->sin6_port);
    return true;
  }
  return false;
}

// "0100007F:1F40" of /proc/net/tcp, or its 32-digit IPv6 twin: each group of eight hex digits is
// one 32-bit word of the address as the kernel holds it, so its bytes in memory are the
// address's bytes in order.
bool ParseEndpoint(const std::string& text, Endpoint* endpoint) {
  const size_t colon = text.find(':');
  if (colon == std::string::npos || (colon != 8 && colon != 32)) return false;
  endpoint->address.clear();
  for (size_t at = 0; at < colon; at += 8) {
    const std::string digits = text.substr(at, 8);
    char* end = nullptr;
    const uint32_t word = static_cast<uint32_t>(strtoul(digits.c_str(), &end, 16));
    if (*end != '\0') return false;
    const auto* bytes = reinterpret_cast<const unsigned char*>(&word);
    endpoint->address.insert(endpoint->address.end(), bytes, bytes + 4);
  }
  const auto& a = endpoint->address;
  const bool mapped =
      a.size() == 16 &&
      std::all_of(a.begin(), a.begin() + 10, [](unsigned char b) { return b == 0; }) &&
      a[10] == 0xFF && a[11] == 0xFF;
  if (mapped) endpoint->address.erase(endpoint->address.begin(), endpoint->address.begin() + 12);
  char* end = nullptr;
  endpoint->port = static_cast<unsigned>(strtoul(text.c_str() + colon + 1, &end, 16));
  return *end == '\0';
}

// The owner of the socket from local to remote in one of the kernel's TCP tables.
bool OwnerInTable(const char* table, const Endpoint& local, const Endpoint& remote, uid_t* uid) {
  std::ifstream lines(table);
  std::string line;
  std::getline(lines, line);  // the heading
  while (std::getline(lines, line)) {
    std::istringstream fields(line);
    std::string slot, localText, remoteText, state, queues, timer, retransmits;
    long owner = -1;
    fields >> slot >> localText >> remoteText >> state >> queues >> timer >> retransmits >> owner;
    Endpoint from, to;
    if (fields && ParseEndpoint(localText, &from) && ParseEndpoint(remoteText, &to) &&
        from == local && to == remote) {
      *uid = static_cast<uid_t>(owner);
      return true;
    }
  }
  return false;
}

// Clients are authorised on several threads at once: the re-entrant lookups, with room for a
// large group's member list (a group that does not fit counts as no membership).
constexpr size_t kLookupBufferSize = 64 * 1024;

bool InGroup(uid_t uid, const char* groupName) {
  std::vector<char> userBuffer(kLookupBufferSize), groupBuffer(kLookupBufferSize);
  passwd user{};
  group admins{};
  passwd* foundUser = nullptr;
  group* foundGroup = nullptr;
  if (getpwuid_r(uid, &user, userBuffer.data(), userBuffer.size(), &foundUser) != 0 ||
      foundUser == nullptr ||
      getgrnam_r(groupName, &admins, groupBuffer.data(), groupBuffer.size(), &foundGroup) != 0 ||
      foundGroup == nullptr) {
    return false;
  }
  if (user.pw_gid == admins.gr_gid) return true;
  for (char** member = admins.gr_mem; *member != nullptr; ++member) {
    if (strcmp(*member, user.pw_name) == 0) return true;
  }
  return false;
}

}  // namespace

bool LoopbackPeerUser(int fd, uid_t* uid) {
  sockaddr_storage ours{}, theirs{};
  socklen_t oursLength = sizeof ours, theirsLength = sizeof theirs;
  Endpoint server, client;
  if (getsockname(fd, reinterpret_cast<sockaddr*>(&ours), &oursLength) != 0 ||
      getpeername(fd, reinterpret_cast<sockaddr*>(&theirs), &theirsLength) != 0 ||
      !EndpointOf(ours, &server) || !EndpointOf(theirs, &client)) {
    return false;
  }
  // The client's end, seen from its side: from its address to ours.
  const char* table = client.address.size() == 4 ? "/proc/net/tcp" : "/proc/net/tcp6";
  return OwnerInTable(table, client, server, uid);
}

bool IsAdministrator(uid_t uid, const char* groupName) {
  return uid == 0 || uid == geteuid() || InGroup(uid, groupName);
}

}  // namespace printer_app
