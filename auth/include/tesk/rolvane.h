// Rolvane: role authorization against the database server.
//
// May the calling user perform a role function on data of the database server, and on data
// that other users own? Roles, their members and their flags come from the server's
// administration object, created on the server that the connection names; they are cached in a
// tree that every process of the calling user shares. All operations are static, safe to call
// from several threads at once, and never throw. A null connection makes every operation that
// takes one answer its negative result without any other effect; so does a library whose
// start-up failed (logged to the event log under the source "ROLVANE").
#ifndef TESK_AUTH_INCLUDE_TESK_ROLVANE_H_
#define TESK_AUTH_INCLUDE_TESK_ROLVANE_H_

#include <string>
#include <vector>

#include <tesk/platform/com.h>
#include <tesk/platform/types.h>
#include <tesk/rolvane_export.h>

// Role functions: an index into each role's flag lists. Any int may be passed (one outside 0 to
// 13 is refused, and its message is empty), hence the fixed underlying type.
enum tag_ROLEFUNC : int {
  ROLEFUNC_BROWSE = 0,
  ROLEFUNC_UPDATE = 1,
  ROLEFUNC_UPDATE_PUBLISHED = 2,
  ROLEFUNC_ARCHIVE = 3,
  ROLEFUNC_DELETE_PROCESS = 4,
  ROLEFUNC_DELETE_PUBLISH = 5,
  ROLEFUNC_IMPORT = 6,
  ROLEFUNC_EXPORT = 7,
  ROLEFUNC_TAKE_OWNERSHIP = 8,
  ROLEFUNC_MAINTAIN_ROLES = 9,
  ROLEFUNC_DELETE_TASKS = 10,
  ROLEFUNC_MAINTAIN_TEMPLATES = 11,
  ROLEFUNC_MAINTAIN_USERSETS = 12,
  ROLEFUNC_CREATE_PUBLISH_DB = 13,
};
typedef enum tag_ROLEFUNC ROLEFUNC;

// What GetDomainUserType finds a name to be.
enum DOMUSER_TYPE {
  DOMUSER_MEMBER = 0,  // a member of one of the domain's groups
  DOMUSER_GROUP = 1,   // one of the domain's groups
  DOMUSER_OTHER = 2,   // neither (or the server could not tell)
};

class TESK_ROLVANE_API CRolvane {
 public:
  // 1 when the calling user may perform `func` on own data; *other is set to 1 when also on
  // other users' data, else 0. A caller on the server computer (no RunAtServerFlag key) is
  // granted everything.
  static int IsCallerInRoleFunc(tag_ROLEFUNC func, IDispatch* connection, int* other);
  // 1 when the calling user and `user` are members of one common role of the connection's
  // server (account names compared after the domain's backslash, without regard to case).
  static int IsUserRoleMember(const std::string& user, IDispatch* connection);
  // The calling user: "DOMAIN\name" when withDomain is non-zero, else the plain logon name.
  // 1 on success.
  static int GetClientUser(std::string& user, int withDomain);
  // Every role the administration server knows, as three parallel lists. 1 on success; 0 with
  // empty lists when the server fails.
  static int EnumRoles(std::vector<std::string>& servers, std::vector<std::string>& databases,
                       std::vector<std::string>& roles, IDispatch* connection);
  // The roles of the calling user on the connection's server, in role order (`user` is not
  // consulted). 1 on success.
  static int EnumUserRoles(const std::string& user, IDispatch* connection, std::vector<std::string>& roles);
  // The members of `role`: every name with expandGroups 0; with 1, users and the members of
  // groups ("DOMAIN\member"); with any other value, users only. Sorted, without duplicates.
  // 1 on success.
  static int EnumRoleUsers(const std::string& role, IDispatch* connection, std::vector<std::string>& users,
                           int expandGroups);
  // "DOMAIN\name": a group of the domain, a member of one, or neither. Asked of the
  // administration object of the machine's database server.
  static DOMUSER_TYPE GetDomainUserType(const std::string& name);
  // Drops this process's cache tree; keep non-zero starts a new empty one. The next question
  // about a server fetches its roles again.
  static void InitSecurityCache(int keep);
  // Message boxes "Zorum Server Authorization Failure": the upper-cased logon name followed by
  // the role function's message for own data, or for other users' data.
  static void ShowAuthError(tag_ROLEFUNC func, HWND parent);
  static void ShowOtherUsersDataAccessError(tag_ROLEFUNC func, HWND parent);
};

#endif  // TESK_AUTH_INCLUDE_TESK_ROLVANE_H_
