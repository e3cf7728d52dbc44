// Who may change settings through the web pages when no PAM service is configured: nobody until
// an administrator password is set, and it can first be set only by an administrator of the
// machine itself (root, the server's user or a member of tallyjet-admin, on the Security page
// over loopback); from then on every settings page asks for it (HTTP Basic, any
// user name). The programs' own sub-commands reach the server through its local socket, which
// PAPPL always lets through.
#ifndef TALLYJET_PRINTER_APP_ADMIN_ACCESS_H
#define TALLYJET_PRINTER_APP_ADMIN_ACCESS_H

#include <pappl/pappl.h>

#include <string>

namespace printer_app {

// The web page where the password is set.
constexpr char kSecurityPage[] = "/security";
// The name PAPPL passes for administrative requests; printing asks for the printer's print
// group, which stays unset, and is open to every client as before.
constexpr char kAdminGroup[] = "tallyjet-admin";

enum class Access { kAllowed, kForbidden, kAskForPassword };

// The decision for a request: whether a password hash is set, the page asked for, whether the
// client is a local administrator on a loopback address, and whether the password it sent
// matches the hash.
Access DecideAccess(bool passwordSet, const std::string& page, bool fromLocalAdministrator,
                    bool passwordMatches);

// The password of an HTTP Basic Authorization header value ("Basic dXNlcjpwYXNz"); empty when
// the value is of another kind or holds no user:password.
std::string BasicPassword(const char* authorization);

// Makes administrative requests ask AuthorizeAdministrator.
void RequireAdministrator(pappl_system_t* system);

// PAPPL's authorisation callback: administrative pages and operations as DecideAccess says;
// printing is open to all, its document format checked by GateDocumentFormat and a job name
// that is a path shortened to its last part.
http_status_t AuthorizeAdministrator(pappl_client_t* client, const char* group, gid_t groupId,
                                     void* context);

}  // namespace printer_app

#endif  // TALLYJET_PRINTER_APP_ADMIN_ACCESS_H
