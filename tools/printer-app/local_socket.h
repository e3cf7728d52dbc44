// The server's local socket, where the command line talks to it. PAPPL has it made writable by
// every local user, and PAPPL lets a client of the socket change anything without a password:
// once the server listens, the socket is narrowed to its owner and the tallyjet-admin group.
#ifndef TALLYJET_PRINTER_APP_LOCAL_SOCKET_H
#define TALLYJET_PRINTER_APP_LOCAL_SOCKET_H

#include <pappl/pappl.h>

#include <string>

namespace printer_app {

// Where PAPPL puts the socket of a server with this base name run by this user: the user's
// temporary directory for a user, SNAP_COMMON or /run for root.
std::string LocalSocketPath(const char* baseName);

// Owner and group tallyjet-admin (when it exists and may be given) only; logged. False when the
// socket could not be narrowed.
bool RestrictLocalSocket(pappl_system_t* system, const std::string& path);

}  // namespace printer_app

#endif  // TALLYJET_PRINTER_APP_LOCAL_SOCKET_H
