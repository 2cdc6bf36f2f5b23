// Dropping a process's cache tree, in a program of its own: the cache it shares is this
// program's alone, so that no other test's process drops what this one counts on.
#include <tesk/rolvane.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "rolvane_testing.h"

namespace {

using namespace rolvane_testing;
using Strings = std::vector<std::string>;

TEST_F(RolvaneTest, CachedServerIsFetchedAgainOnlyAfterInitSecurityCache) {
  Script(server_, ReadersScript(server_, Me()));
  FakeConnection c(server_, "LabDB");
  int other;
  EXPECT_EQ(CRolvane::IsCallerInRoleFunc(ROLEFUNC_BROWSE, &c, &other), 1);
  std::string revoked = ReadersScript(server_, "someone_else");
  Script(server_, revoked);
  EXPECT_EQ(CRolvane::IsCallerInRoleFunc(ROLEFUNC_BROWSE, &c, &other), 1);  // nothing refreshes it
  EXPECT_EQ(Calls(server_), 0);
  CRolvane::InitSecurityCache(1);
  EXPECT_EQ(CRolvane::IsCallerInRoleFunc(ROLEFUNC_BROWSE, &c, &other), 0);
  EXPECT_EQ(Calls(server_, "ListRoles"), 1);
  Script(server_, ReadersScript(server_, Me()));
  CRolvane::InitSecurityCache(0);  // no tree at all until the next question
  EXPECT_EQ(CRolvane::IsCallerInRoleFunc(ROLEFUNC_BROWSE, &c, &other), 1);
}

}  // namespace
