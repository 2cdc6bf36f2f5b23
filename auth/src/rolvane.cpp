// CRolvane's role checks over the shared cache and the administration object.
#include <tesk/rolvane.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include <tesk/platform.h>

#include "admin_client.h"
#include "cache_tree.h"
#include "shared_cache.h"

using tesk::rolvane::AccountPart;
using tesk::rolvane::AdminClient;
using tesk::rolvane::CacheNode;
using tesk::rolvane::SameName;
using tesk::rolvane::SharedCache;
using tesk::rolvane::Strings;

namespace {

constexpr char kRunAtServerKey[] = "Software\\Quillomere\\Varolith\\Database\\RunAtServerFlag";
constexpr char kServerNameKey[] = "SOFTWARE\\Quillomere\\Varolith\\Database\\ServerName";

// A shared library cannot refuse to load: start-up runs on load, and a failure leaves every
// operation answering its negative result.
__attribute__((constructor)) void RolvaneLoad() { SharedCache::Instance().Start(); }
__attribute__((destructor)) void RolvaneUnload() { SharedCache::Instance().Stop(); }

std::string PlainUser() {
  char name[260] = {};
  DWORD size = sizeof name;
  return GetUserName(name, &size) ? std::string(name) : std::string();
}

// A caller on the server computer is granted everything, unless the machine says otherwise.
bool RunsAtServer(const std::string& server) {
  HKEY key;
  if (RegOpenKeyEx(HKEY_LOCAL_MACHINE, kRunAtServerKey, 0, KEY_READ, &key) == ERROR_SUCCESS) {
    RegCloseKey(key);
    return false;
  }
  char computer[260] = {};
  DWORD size = sizeof computer;
  return GetComputerName(computer, &size) && SameName(computer, server);
}

struct Where {
  std::string server;
  std::string database;
};

bool ReadConnection(IDispatch* connection, Where* where) {
  using tesk::rolvane::GetTextProperty;
  return SUCCEEDED(GetTextProperty(connection, "ServerName", &where->server)) &&
         SUCCEEDED(GetTextProperty(connection, "DatabaseName", &where->database));
}

void SortUnique(Strings* names) {
  std::sort(names->begin(), names->end());
  names->erase(std::unique(names->begin(), names->end()), names->end());
}

// A role's members as EnumRoleUsers gives them. False when the server fails.
bool RoleMembers(AdminClient& admin, const std::string& role, const Where& where, int expandGroups, Strings* out) {
  out->clear();
  Strings pairs;
  if (FAILED(admin.ListRoleMembers(role, where.server, where.database, &pairs))) return false;
  for (size_t i = 0; i < pairs.size(); i += 2) {
    const std::string& name = pairs[i];
    if (expandGroups == 0) {
      out->push_back(name);
      continue;
    }
    if (i + 1 == pairs.size()) break;  // a name without its type
    const std::string& type = pairs[i + 1];
    if (type == "GU") {
      out->push_back(name);
    } else if (type == "GG" && expandGroups == 1) {
      const size_t slash = name.find('\\');
      const std::string domain = slash == std::string::npos ? std::string() : name.substr(0, slash);
      const std::string group = slash == std::string::npos ? name : name.substr(slash + 1);
      Strings members;
      if (FAILED(admin.ListGroupMembers(domain, group, &members))) return false;
      for (const std::string& m : members) out->push_back(domain + "\\" + m);
    }
  }
  SortUnique(out);
  return true;
}

// Fills a server node with the server's roles of the connection's database: members (groups
// expanded) as values, and the RoleFunction and RoleFunctionOther flag lists.
bool FetchServer(const Where& where, CacheNode* node) {
  AdminClient admin;
  if (FAILED(admin.Connect(where.server))) return false;
  Strings servers, databases, roles;
  if (FAILED(admin.ListRoles(&servers, &databases, &roles))) return false;
  Strings functions;
  bool have_functions = false;
  for (size_t i = 0; i < roles.size(); ++i) {
    if (!SameName(servers[i], where.server) || !SameName(databases[i], where.database) || node->Find(roles[i])) {
      continue;
    }
    CacheNode role;
    role.kind = tesk::rolvane::kRoleNode;
    role.name = roles[i];
    if (!RoleMembers(admin, roles[i], where, 1, &role.values)) return false;
    if (!have_functions) {
      if (FAILED(admin.ListRoleFunctions(&functions))) return false;
      have_functions = true;
    }
    CacheNode own, other;
    own.kind = tesk::rolvane::kRoleFunctionNode;
    own.name = tesk::rolvane::kRoleFunctionName;
    other.kind = tesk::rolvane::kRoleFunctionOtherNode;
    other.name = tesk::rolvane::kRoleFunctionOtherName;
    for (const std::string& f : functions) {
      Strings flags;
      if (FAILED(admin.GetRoleFunctionFlags(roles[i], f, &flags))) return false;
      own.values.push_back(flags.empty() ? std::string() : flags[0]);
      other.values.push_back(flags.size() < 2 ? std::string() : flags[1]);
    }
    role.children.push_back(std::move(own));
    role.children.push_back(std::move(other));
    node->children.push_back(std::move(role));
  }
  return true;
}

// Runs use() on the connection's server node, fetching the server's roles first if needed.
template <class F>
bool WithServer(IDispatch* connection, F&& use) {
  Where where;
  if (!ReadConnection(connection, &where)) return false;
  return SharedCache::Instance().WithServer(
      where.server, [&](CacheNode* node) { return FetchServer(where, node); },
      [&](const CacheNode& server) { use(where, server); });
}

bool HasMember(const CacheNode& role, const std::string& account) {
  return std::any_of(role.values.begin(), role.values.end(),
                     [&](const std::string& m) { return SameName(AccountPart(m), account); });
}

Strings CallerRoles(const CacheNode& server) {
  const std::string me = PlainUser();
  Strings roles;
  for (const CacheNode& role : server.children) {
    if (HasMember(role, me)) roles.push_back(role.name);
  }
  return roles;
}

}  // namespace

int CRolvane::IsCallerInRoleFunc(tag_ROLEFUNC func, IDispatch* connection, int* other) {
  if (!connection) return 0;
  try {
    if (SharedCache::Instance().failed()) return 0;
    if (other) *other = 0;
    std::string server;
    if (SUCCEEDED(tesk::rolvane::GetTextProperty(connection, "ServerName", &server)) && RunsAtServer(server)) {
      if (other) *other = 1;
      return 1;
    }
    int answer = 0, others = 0;
    WithServer(connection, [&](const Where&, const CacheNode& node) {
      for (const std::string& name : CallerRoles(node)) {
        const CacheNode* role = node.Find(name);
        if (!role) continue;
        if (tesk::rolvane::Granted(*role, tesk::rolvane::kRoleFunctionName, func)) answer = 1;
        if (tesk::rolvane::Granted(*role, tesk::rolvane::kRoleFunctionOtherName, func)) others = 1;
      }
    });
    if (other) *other = others;
    return answer;
  } catch (...) {
    return 0;
  }
}

int CRolvane::IsUserRoleMember(const std::string& user, IDispatch* connection) {
  if (!connection) return 0;
  try {
    if (SharedCache::Instance().failed()) return 0;
    std::string server;
    if (SUCCEEDED(tesk::rolvane::GetTextProperty(connection, "ServerName", &server)) && RunsAtServer(server)) {
      return 1;
    }
    const std::string me = PlainUser();
    int answer = 0;
    WithServer(connection, [&](const Where&, const CacheNode& node) {
      for (const CacheNode& role : node.children) {
        if (HasMember(role, user) && HasMember(role, me)) {
          answer = 1;
          return;
        }
      }
    });
    return answer;
  } catch (...) {
    return 0;
  }
}

int CRolvane::GetClientUser(std::string& user, int withDomain) {
  try {
    user.clear();
    char name[520] = {};
    if (withDomain) {
      ULONG size = sizeof name;
      if (!GetUserNameEx(NameSamCompatible, name, &size)) return 0;
    } else {
      DWORD size = sizeof name;
      if (!GetUserName(name, &size)) return 0;
    }
    user = name;
    return 1;
  } catch (...) {
    return 0;
  }
}

int CRolvane::EnumRoles(std::vector<std::string>& servers, std::vector<std::string>& databases,
                        std::vector<std::string>& roles, IDispatch* connection) {
  servers.clear();
  databases.clear();
  roles.clear();
  if (!connection) return 0;
  try {
    if (SharedCache::Instance().failed()) return 0;
    Where where;
    AdminClient admin;
    if (!ReadConnection(connection, &where) || FAILED(admin.Connect(where.server)) ||
        FAILED(admin.ListRoles(&servers, &databases, &roles))) {
      servers.clear();
      databases.clear();
      roles.clear();
      return 0;
    }
    return 1;
  } catch (...) {
    servers.clear();
    databases.clear();
    roles.clear();
    return 0;
  }
}

int CRolvane::EnumUserRoles(const std::string&, IDispatch* connection, std::vector<std::string>& roles) {
  roles.clear();
  if (!connection) return 0;
  try {
    if (SharedCache::Instance().failed()) return 0;
    return WithServer(connection, [&](const Where&, const CacheNode& node) { roles = CallerRoles(node); }) ? 1 : 0;
  } catch (...) {
    roles.clear();
    return 0;
  }
}

int CRolvane::EnumRoleUsers(const std::string& role, IDispatch* connection, std::vector<std::string>& users,
                            int expandGroups) {
  users.clear();
  if (!connection) return 0;
  try {
    if (SharedCache::Instance().failed()) return 0;
    Where where;
    AdminClient admin;
    if (!ReadConnection(connection, &where) || FAILED(admin.Connect(where.server)) ||
        !RoleMembers(admin, role, where, expandGroups, &users)) {
      users.clear();
      return 0;
    }
    return 1;
  } catch (...) {
    users.clear();
    return 0;
  }
}

DOMUSER_TYPE CRolvane::GetDomainUserType(const std::string& name) {
  try {
    if (SharedCache::Instance().failed()) return DOMUSER_OTHER;
    const size_t slash = name.find('\\');
    const std::string domain = slash == std::string::npos ? std::string() : name.substr(0, slash);
    const std::string account = slash == std::string::npos ? name : name.substr(slash + 1);
    // The machine's database server knows the domain's groups.
    std::string server;
    HKEY key;
    if (RegOpenKeyEx(HKEY_LOCAL_MACHINE, kServerNameKey, 0, KEY_READ, &key) == ERROR_SUCCESS) {
      char value[1025] = {};
      DWORD size = sizeof value - 1, type = 0;
      if (RegQueryValueEx(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) == ERROR_SUCCESS &&
          type == REG_SZ) {
        server.assign(value, strnlen(value, size));
      }
      RegCloseKey(key);
    }
    AdminClient admin;
    Strings groups;
    if (FAILED(admin.Connect(server)) || FAILED(admin.ListDomainGroups(domain, &groups))) return DOMUSER_OTHER;
    for (const std::string& group : groups) {
      if (SameName(group, account)) return DOMUSER_GROUP;
      Strings members;
      if (FAILED(admin.ListGroupMembers(domain, group, &members))) return DOMUSER_OTHER;
      for (const std::string& m : members) {
        if (SameName(m, account)) return DOMUSER_MEMBER;
      }
    }
    return DOMUSER_OTHER;
  } catch (...) {
    return DOMUSER_OTHER;
  }
}

void CRolvane::InitSecurityCache(int keep) {
  try {
    SharedCache::Instance().Reset(keep != 0);
  } catch (...) {
  }
}
