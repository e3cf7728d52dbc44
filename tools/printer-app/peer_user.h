// Who is at the other end of a loopback TCP connection: the kernel lists every TCP socket of the
// machine with its owner, so the client's end of the connection names the local user who opened
// it. Used where only a local administrator may act before any password exists.
#ifndef TALLYJET_PRINTER_APP_PEER_USER_H
#define TALLYJET_PRINTER_APP_PEER_USER_H

#include <sys/types.h>

namespace printer_app {

// The user who owns the client's end of the loopback TCP connection fd (the server's end);
// false when the connection is no loopback TCP one or its client end is not found.
bool LoopbackPeerUser(int fd, uid_t* uid);

// Whether the user may administer the server: root, the server's own user, or a member of the
// administrators' group (groupName).
bool IsAdministrator(uid_t uid, const char* groupName);

}  // namespace printer_app

#endif  // TALLYJET_PRINTER_APP_PEER_USER_H
