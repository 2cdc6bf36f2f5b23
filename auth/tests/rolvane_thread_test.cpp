// Threads of one process, in a program of its own (its cache is shared with no other test).
#include <tesk/rolvane.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "rolvane_testing.h"

namespace {

using namespace rolvane_testing;
using Strings = std::vector<std::string>;

// Threads of one process asking at once, while another keeps dropping the tree, all get right
// answers (the process's tree has a lock of its own).
TEST_F(RolvaneTest, ThreadsOfOneProcessAskAtOnce) {
  const std::string a = server_ + "_a", b = server_ + "_b";
  Script(a, ReadersScript(a, Me()));
  Script(b, ReadersScript(b, "someone_else"));
  std::atomic<int> wrong{0};
  std::atomic<bool> stop{false};
  std::thread dropper([&] {
    while (!stop) CRolvane::InitSecurityCache(1);
  });
  std::vector<std::thread> askers;
  for (int t = 0; t < 4; ++t) {
    askers.emplace_back([&, t] {
      FakeConnection ca(a, "LabDB"), cb(b, "LabDB");
      for (int i = 0; i < 150; ++i) {
        int other = -1;
        if (CRolvane::IsCallerInRoleFunc(ROLEFUNC_BROWSE, (t + i) % 2 ? &ca : &cb, &other) != (t + i) % 2) ++wrong;
        if (CRolvane::IsUserRoleMember("alice", &ca) != 1) ++wrong;
        Strings roles;
        CRolvane::EnumUserRoles("", &cb, roles);
        if (!roles.empty()) ++wrong;
      }
    });
  }
  for (std::thread& t : askers) t.join();
  stop = true;
  dropper.join();
  EXPECT_EQ(wrong, 0);
}

}  // namespace
