#include "admin_access.h"

#include <cstring>
#include <vector>

#include "format_gate.h"
#include "job_name.h"
#include "peer_user.h"

namespace printer_app {
namespace {

constexpr size_t kHashSize = 100;  // PAPPL's password hashes are shorter

// Whether the client is an administrator of this machine on a loopback connection: root, the
// server's own user or a member of the group.
bool FromLocalAdministrator(pappl_client_t* client) {
  http_t* http = papplClientGetHTTP(client);
  uid_t uid = 0;
  return httpAddrLocalhost(httpGetAddress(http)) != 0 &&
         LoopbackPeerUser(httpGetFd(http), &uid) && IsAdministrator(uid, kAdminGroup);
}

// PAPPL keeps NONCE~SHA256HEX(NONCE:PASSWORD). Its own papplSystemHashPassword takes the whole
// stored hash as the nonce when given it as the salt, so the hash is made here.
bool PasswordMatches(const char* stored, const std::string& password) {
  const char* tilde = strchr(stored, '~');
  if (password.empty() || tilde == nullptr) return false;
  const std::string salted = std::string(stored, tilde) + ":" + password;
  unsigned char digest[32];
  char hex[2 * sizeof digest + 1];
  if (cupsHashData("sha2-256", salted.data(), salted.size(), digest, sizeof digest) < 0 ||
      cupsHashString(digest, sizeof digest, hex, sizeof hex) == nullptr) {
    return false;
  }
  return strcmp(hex, tilde + 1) == 0;
}

// Requests on jobs and subscriptions: PAPPL asks for the administrator when the client is not
// the job's owner, which for a client that does not log in (CUPS, ipptool) is every job. They
// stay open to clients as printing is, but for changes to another user's job below.
bool IsJobRequest(ipp_op_t operation) {
  switch (operation) {
    case IPP_OP_GET_JOB_ATTRIBUTES:
    case IPP_OP_GET_JOBS:
    case IPP_OP_CANCEL_JOB:
    case IPP_OP_CANCEL_MY_JOBS:
    case IPP_OP_SEND_DOCUMENT:
    case IPP_OP_CLOSE_JOB:
    case IPP_OP_CREATE_JOB_SUBSCRIPTIONS:
    case IPP_OP_CREATE_PRINTER_SUBSCRIPTIONS:
    case IPP_OP_GET_SUBSCRIPTION_ATTRIBUTES:
    case IPP_OP_GET_SUBSCRIPTIONS:
    case IPP_OP_RENEW_SUBSCRIPTION:
    case IPP_OP_CANCEL_SUBSCRIPTION:
    case IPP_OP_GET_NOTIFICATIONS:
      return true;
    default:
      return false;
  }
}

// Whether the request changes a job that the user it names did not send: a client that does
// not log in is known by the name it sends, as its jobs are.
bool ChangesAnothersJob(pappl_client_t* client, ipp_t* request) {
  switch (ippGetOperation(request)) {
    case IPP_OP_CANCEL_JOB:
    case IPP_OP_SEND_DOCUMENT:
    case IPP_OP_CLOSE_JOB:
      break;
    default:
      return false;
  }
  pappl_job_t* job = papplClientGetJob(client);
  if (job == nullptr) return false;
  const char* requester =
      ippGetString(ippFindAttribute(request, "requesting-user-name", IPP_TAG_NAME), 0, nullptr);
  const char* owner = papplJobGetUsername(job);
  return owner == nullptr || strcmp(owner, requester != nullptr ? requester : "guest") != 0;
}

}  // namespace

Access DecideAccess(bool passwordSet, const std::string& page, bool fromLocalAdministrator,
                    bool passwordMatches) {
  if (passwordSet) return passwordMatches ? Access::kAllowed : Access::kAskForPassword;
  return page == kSecurityPage && fromLocalAdministrator ? Access::kAllowed : Access::kForbidden;
}

std::string BasicPassword(const char* authorization) {
  constexpr char kBasic[] = "Basic ";
  if (authorization == nullptr || strncmp(authorization, kBasic, sizeof kBasic - 1) != 0) {
    return "";
  }
  const char* encoded = authorization + sizeof kBasic - 1;
  while (*encoded == ' ') ++encoded;
  std::vector<char> decoded(strlen(encoded) + 1);
  int length = static_cast<int>(decoded.size());
  if (httpDecode64_2(decoded.data(), &length, encoded) == nullptr) return "";
  const std::string pair(decoded.data(), static_cast<size_t>(length));
  const size_t colon = pair.find(':');
  return colon == std::string::npos ? "" : pair.substr(colon + 1);
}

void RequireAdministrator(pappl_system_t* system) {
  papplSystemSetAdminGroup(system, kAdminGroup);
  papplSystemSetAuthCallback(system, "Basic", AuthorizeAdministrator, nullptr);
}

http_status_t AuthorizeAdministrator(pappl_client_t* client, const char* group, gid_t, void*) {
  if (group == nullptr || strcmp(group, kAdminGroup) != 0) {
    ShortenJobName(papplClientGetRequest(client));
    GateDocumentFormat(client);
    return HTTP_STATUS_CONTINUE;
  }
  ipp_t* request = papplClientGetRequest(client);
  if (request != nullptr && IsJobRequest(ippGetOperation(request)) &&
      !ChangesAnothersJob(client, request)) {
    return HTTP_STATUS_CONTINUE;
  }
  pappl_system_t* system = papplClientGetSystem(client);
  char hash[kHashSize] = "";
  papplSystemGetPassword(system, hash, sizeof hash);
  const std::string password =
      BasicPassword(httpGetField(papplClientGetHTTP(client), HTTP_FIELD_AUTHORIZATION));
  const char* page = papplClientGetURI(client);
  const bool passwordSet = hash[0] != '\0';
  // Who is on the other end matters only while no password is set: the kernel's socket table
  // is read then alone.
  switch (DecideAccess(passwordSet, page != nullptr ? page : "",
                       !passwordSet && FromLocalAdministrator(client),
                       passwordSet && PasswordMatches(hash, password))) {
    case Access::kAllowed:
      return HTTP_STATUS_CONTINUE;
    case Access::kAskForPassword:
      return HTTP_STATUS_UNAUTHORIZED;
    case Access::kForbidden:
      break;
  }
  papplLogClient(client, PAPPL_LOGLEVEL_WARN,
                 "Settings refused: no administrator password is set yet (Security page).");
  return HTTP_STATUS_FORBIDDEN;
}

}  // namespace printer_app
