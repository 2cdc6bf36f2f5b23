// The commands of rolvane_probe, run in a process that has just loaded the role library:
//   func N        "func N ANSWER OTHER"       IsCallerInRoleFunc
//   member USER   "member USER ANSWER"        IsUserRoleMember
//   userroles     "userroles RC a,b"          EnumUserRoles
//   init K        InitSecurityCache(K)
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <tesk/rolvane.h>

#include "rolvane_testing.h"

extern "C" __attribute__((visibility("default"))) int RolvaneProbeMain(int argc, char** argv) {
  if (argc < 3) return 2;
  rolvane_testing::FakeConnection connection(argv[1], argv[2]);
  for (int i = 3; i < argc; ++i) {
    const std::string cmd = argv[i];
    if (cmd == "func" && i + 1 < argc) {
      const int f = std::atoi(argv[++i]);
      int other = -1;
      const int answer = CRolvane::IsCallerInRoleFunc(static_cast<tag_ROLEFUNC>(f), &connection, &other);
      std::printf("func %d %d %d\n", f, answer, other);
    } else if (cmd == "member" && i + 1 < argc) {
      const char* user = argv[++i];
      std::printf("member %s %d\n", user, CRolvane::IsUserRoleMember(user, &connection));
    } else if (cmd == "userroles") {
      std::vector<std::string> roles;
      const int rc = CRolvane::EnumUserRoles("", &connection, roles);
      std::string joined;
      for (const std::string& r : roles) joined += (joined.empty() ? "" : ",") + r;
      std::printf("userroles %d %s\n", rc, joined.c_str());
    } else if (cmd == "init" && i + 1 < argc) {
      CRolvane::InitSecurityCache(std::atoi(argv[++i]));
    } else {
      std::fprintf(stderr, "unknown command %s\n", cmd.c_str());
      return 2;
    }
    std::fflush(stdout);
  }
  return 0;
}
