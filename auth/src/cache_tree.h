// The security cache: a tree of named nodes (root, servers, roles, and each role's flag lists)
// that every process of one user shares through the role cache region.
#ifndef TESK_AUTH_SRC_CACHE_TREE_H_
#define TESK_AUTH_SRC_CACHE_TREE_H_

#include <string>
#include <string_view>
#include <vector>

namespace tesk::rolvane {

enum NodeKind : int {
  kRootNode = 0,
  kServerNode = 1,
  kRoleNode = 2,
  kRoleFunctionNode = 3,       // "RoleFunction": one flag per role function, own data
  kRoleFunctionOtherNode = 4,  // "RoleFunctionOther": the same for other users' data
};

inline constexpr const char kRoleFunctionName[] = "RoleFunction";
inline constexpr const char kRoleFunctionOtherName[] = "RoleFunctionOther";

struct CacheNode {
  int kind = kRootNode;
  std::string name;
  std::vector<CacheNode> children;
  std::vector<std::string> values;

  // The first child of that name (compared without regard to case), or null.
  const CacheNode* Find(std::string_view child) const;
  CacheNode* Find(std::string_view child);
};

// ASCII case-insensitive equality, as names of servers, roles and users compare.
bool SameName(std::string_view a, std::string_view b);

// The part of a member name after its first backslash (the whole name without one).
std::string_view AccountPart(std::string_view member);

// The flag of role function `index` in a role's RoleFunction or RoleFunctionOther list is
// granted: the value is exactly "Y".
bool Granted(const CacheNode& role, const char* list, int index);

}  // namespace tesk::rolvane

#endif  // TESK_AUTH_SRC_CACHE_TREE_H_
