// The administration object (IKestAdmin, served from Nuvask's table): roles, role functions,
// flags and domain groups of the server it was created for.
#include <memory>

#include "objects.h"
#include "store.h"

namespace tesk::zorum {
namespace {

class CKestAdmin final : public ComClass<CKestAdmin, DispatchImpl<IKestAdmin>, SupportErrorInfoFor<IKestAdmin>> {
 public:
  static ComModule& Module() { return LibraryModule(); }
  explicit CKestAdmin(std::string server) : server_(std::move(server)) {}

  HRESULT ListRoles(VARIANT* servers, VARIANT* databases, VARIANT* roles) noexcept override {
    return Guarded("IKestAdmin-ListRoles", IID_IKestAdmin, [&] {
      std::vector<std::string> s, d, r;
      for (RoleKey& k : tesk::zorum::ListRoles(Db())) {
        s.push_back(std::move(k.server));
        d.push_back(std::move(k.database));
        r.push_back(std::move(k.name));
      }
      PutList(servers, s);
      PutList(databases, d);
      PutList(roles, r);
      return S_OK;
    });
  }
  HRESULT ListRoleMembers(BSTR role, BSTR server, BSTR database, VARIANT* pairs) noexcept override {
    return Guarded("IKestAdmin-ListRoleMembers", IID_IKestAdmin, [&] {
      std::vector<std::string> flat;
      for (auto& [member, kind] : RoleMembers(Db(), RoleKey{FromBstr(role), FromBstr(server), FromBstr(database)})) {
        flat.push_back(std::move(member));
        flat.push_back(std::move(kind));
      }
      PutList(pairs, flat);
      return S_OK;
    });
  }
  HRESULT ListRoleFunctions(VARIANT* functions) noexcept override {
    return Guarded("IKestAdmin-ListRoleFunctions", IID_IKestAdmin, [&] {
      PutList(functions, RoleFunctions(Db()));
      return S_OK;
    });
  }
  HRESULT GetRoleFunctionFlags(BSTR role, BSTR function, VARIANT* flags) noexcept override {
    return Guarded("IKestAdmin-GetRoleFunctionFlags", IID_IKestAdmin, [&] {
      auto [own, other] = RoleFlags(Db(), FromBstr(role), FromBstr(function));
      PutList(flags, {own, other});
      return S_OK;
    });
  }
  HRESULT ListDomainGroups(BSTR domain, VARIANT* groups) noexcept override {
    return Guarded("IKestAdmin-ListDomainGroups", IID_IKestAdmin, [&] {
      PutList(groups, DomainGroups(Db(), FromBstr(domain)));
      return S_OK;
    });
  }
  HRESULT ListGroupMembers(BSTR domain, BSTR group, VARIANT* members) noexcept override {
    return Guarded("IKestAdmin-ListGroupMembers", IID_IKestAdmin, [&] {
      PutList(members, GroupMembers(Db(), FromBstr(domain), FromBstr(group)));
      return S_OK;
    });
  }

 private:
  // Guard, and a lost connection is reopened at the next call.
  template <class F>
  HRESULT Guarded(const char* member, REFIID iid, F&& body) noexcept {
    return Guard(member, iid, [&] { return DropOnLoss(db_, body); });
  }
  Database& Db() {
    CheckFault(server_);
    if (!db_) db_ = OpenServer(RequireServer(server_));
    return *db_;
  }

  std::string server_;
  std::unique_ptr<Database> db_;
};

}  // namespace

HRESULT GetAdminFactory(REFIID riid, void** ppv) noexcept { return ServerFactory<CKestAdmin>::Get(riid, ppv); }

}  // namespace tesk::zorum
