// The role check of a database file.
#include "role_check.h"

#include <strings.h>

#include <tesk/platform/system.h>
#include <tesk/rolvane.h>

namespace selvane {

bool MayOpenFile(IDispatch* connection, const std::string& owner, HWND parent) {
  const tag_ROLEFUNC func = ROLEFUNC_BROWSE;
  int other = 0;
  if (!CRolvane::IsCallerInRoleFunc(func, connection, &other)) {
    CRolvane::ShowAuthError(func, parent);
    return false;
  }
  if (owner.empty()) return true;
  std::string me;
  CRolvane::GetClientUser(me, 0);
  if (!other && strcasecmp(owner.c_str(), me.c_str()) != 0) {
    CRolvane::ShowOtherUsersDataAccessError(func, parent);
    return false;
  }
  if (CRolvane::IsUserRoleMember(owner, connection)) return true;
  const std::string text = "Cannot access data owned by " + owner + " - User is not a role member.";
  MessageBox(parent, text.c_str(), kDialogCaption, MB_OK | MB_ICONERROR | MB_SETFOREGROUND | MB_TOPMOST);
  return false;
}

}  // namespace selvane
