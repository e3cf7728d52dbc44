#include "local_socket.h"

#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "admin_access.h"

namespace printer_app {
namespace {

// Where Debian's PAPPL puts the socket of a server run by root.
constexpr char kSystemSocketDirectory[] = "/run";

}  // namespace

std::string LocalSocketPath(const char* baseName) {
  const uid_t uid = getuid();
  if (uid != 0) {
    return std::string(papplGetTempDir()) + "/" + baseName + std::to_string(uid) + ".sock";
  }
  const char* snap = getenv("SNAP_COMMON");
  return std::string(snap != nullptr ? snap : kSystemSocketDirectory) + "/" + baseName + ".sock";
}

bool RestrictLocalSocket(pappl_system_t* system, const std::string& path) {
  const struct group* admins = getgrnam(kAdminGroup);
  const bool grouped = admins != nullptr && chown(path.c_str(), static_cast<uid_t>(-1),
                                                  admins->gr_gid) == 0;
  if (chmod(path.c_str(), grouped ? 0770 : 0700) != 0) {
    papplLog(system, PAPPL_LOGLEVEL_ERROR, "Cannot restrict the local socket '%s': %s",
             path.c_str(), strerror(errno));
    return false;
  }
  papplLog(system, PAPPL_LOGLEVEL_INFO, "Local socket '%s' open to its owner%s%s only.",
           path.c_str(), grouped ? " and group " : "", grouped ? kAdminGroup : "");
  return true;
}

}  // namespace printer_app
