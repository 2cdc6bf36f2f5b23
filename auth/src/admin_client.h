// Calls on the database server's objects, bound late through IDispatch: the connection's
// ServerName and DatabaseName, and the administration object's listing members. Every array
// comes back as a VARIANT holding a one-dimensional array of BSTR.
#ifndef TESK_AUTH_SRC_ADMIN_CLIENT_H_
#define TESK_AUTH_SRC_ADMIN_CLIENT_H_

#include <string>
#include <vector>

#include <tesk/platform.h>

namespace tesk::rolvane {

using Strings = std::vector<std::string>;

// A text property of an automation object (the connection's "ServerName", "DatabaseName").
HRESULT GetTextProperty(IDispatch* object, const char* name, std::string* value);

class AdminClient {
 public:
  // Creates the administration object on `server` (empty: this computer's server). A failure is
  // logged as "Unable to get KestAdmin pointer".
  HRESULT Connect(const std::string& server);

  HRESULT ListRoles(Strings* servers, Strings* databases, Strings* roles);
  // Flat pairs: member name, then "GU" (user) or "GG" (group).
  HRESULT ListRoleMembers(const std::string& role, const std::string& server,
                          const std::string& database, Strings* pairs);
  HRESULT ListRoleFunctions(Strings* functions);
  // Element 0: the flag for the member's own data; element 1: for other users' data.
  HRESULT GetRoleFunctionFlags(const std::string& role, const std::string& function, Strings* flags);
  HRESULT ListDomainGroups(const std::string& domain, Strings* groups);
  HRESULT ListGroupMembers(const std::string& domain, const std::string& group, Strings* members);

 private:
  // Calls method `name` with the texts `in` followed by `outs` out arrays.
  HRESULT Call(const char* name, const std::vector<std::string>& in, std::vector<Strings*> outs);

  ComPtr<IDispatch> admin_;
};

// The texts of a VARIANT holding a one-dimensional array of BSTR (or of VARIANTs holding
// BSTRs); false for anything else. An empty VARIANT is an empty list.
bool TextsOf(const VARIANT& v, Strings* out);

}  // namespace tesk::rolvane

#endif  // TESK_AUTH_SRC_ADMIN_CLIENT_H_
