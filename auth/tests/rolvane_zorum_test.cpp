// The role library against the database server stand-in itself: roles, members, groups and
// flags loaded into a server, asked through a real connection, and a second process answered
// from the shared cache while the server fails every call.
#include <tesk/rolvane.h>

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

#include <tesk/zorum.h>

#include "cache_names.h"
#include "rolvane_testing.h"
#include "tesk/testing/scratch_dir.h"

namespace {

using rolvane_testing::Has;
using rolvane_testing::Probe;
using Strings = std::vector<std::string>;

std::string Me() {
  std::string me;
  CRolvane::GetClientUser(me, 0);
  return me;
}

class RolvaneZorumTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("TESK_REGISTRY_DIR", (dir_.path() / "registry").c_str(), 1);
    unsetenv("TESK_ZORUM_DIR");
    ASSERT_EQ(DllRegisterServer(), S_OK);
    static int counter = 0;
    server_ = "lab-" + std::to_string(getpid()) + "-" + std::to_string(++counter);
    std::string error;
    ASSERT_EQ(tesk::zorum::CreateServer(server_, "", &error), S_OK) << error;
    const std::string json = R"({"server": {"database": "LabDB"},
      "groups": {"LAB\\analysts": ["alice", "bob"]},
      "roles": [{"name": "Readers", "server": ")" + server_ + R"(", "database": "LabDB",
                 "members": [["LAB\\)" + Me() + R"(", "GU"], ["LAB\\analysts", "GG"]],
                 "own": "YNNNNNNNNNNNNN", "other": "NYNNNNNNNNNNNN"},
                {"name": "Elsewhere", "server": ")" + server_ + R"(", "database": "OtherDB",
                 "members": [["LAB\\)" + Me() + R"(", "GU"]],
                 "own": "YYYYYYYYYYYYYY", "other": "YYYYYYYYYYYYYY"}]})";
    ASSERT_EQ(tesk::zorum::LoadJson(server_, json, &error), S_OK) << error;
  }
  void TearDown() override {
    std::string error;
    tesk::zorum::DropServer(server_, &error);
  }

  // An open connection, as the object model makes it.
  tesk::ComPtr<IConnection> Connect() {
    const std::u16string wide = tesk::ToWide(server_);
    COSERVERINFO info{0, const_cast<LPWSTR>(wide.c_str()), nullptr, 0};
    MULTI_QI qi{&IID_IConnection, nullptr, S_OK};
    tesk::ComPtr<IConnection> c;
    if (FAILED(CoCreateInstanceEx(CLSID_Connection, nullptr, CLSCTX_SERVER, &info, 1, &qi))) return c;
    *c.PutVoid() = qi.pItf;
    tesk::Bstr client("LIMS Admin User"), name(server_);
    c->put_ClientName(client.Get());
    c->put_ServerName(name.Get());
    EXPECT_EQ(c->Open(0), S_OK);
    return c;
  }
  bool SetFault(DWORD hr) {
    HKEY k;
    const std::string key = std::string(tesk::zorum::kServersKey) + "\\" + server_;
    if (RegOpenKeyEx(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_ALL_ACCESS, &k) != ERROR_SUCCESS) return false;
    const LONG st = RegSetValueEx(k, "Fault", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&hr), sizeof hr);
    RegCloseKey(k);
    return st == ERROR_SUCCESS;
  }

  tesk::testing::ScratchDir dir_;
  std::string server_;
};

TEST_F(RolvaneZorumTest, RoleChecksThroughARealConnection) {
  tesk::ComPtr<IConnection> c = Connect();
  ASSERT_TRUE(c);
  int other = -1;
  EXPECT_EQ(CRolvane::IsCallerInRoleFunc(ROLEFUNC_BROWSE, c.Get(), &other), 1);
  EXPECT_EQ(other, 0);
  EXPECT_EQ(CRolvane::IsCallerInRoleFunc(ROLEFUNC_UPDATE, c.Get(), &other), 0);  // other only
  EXPECT_EQ(other, 1);
  EXPECT_EQ(CRolvane::IsCallerInRoleFunc(ROLEFUNC_EXPORT, c.Get(), &other), 0);  // OtherDB's role
  EXPECT_EQ(CRolvane::IsUserRoleMember("bob", c.Get()), 1);  // through the group
  EXPECT_EQ(CRolvane::IsUserRoleMember("carol", c.Get()), 0);
  Strings users, roles, servers, databases;
  EXPECT_EQ(CRolvane::EnumRoleUsers("Readers", c.Get(), users, 1), 1);
  Strings expected{"LAB\\" + Me(), "LAB\\alice", "LAB\\bob"};
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(users, expected);
  EXPECT_EQ(CRolvane::EnumUserRoles("", c.Get(), roles), 1);
  EXPECT_EQ(roles, Strings{"Readers"});
  EXPECT_EQ(CRolvane::EnumRoles(servers, databases, roles, c.Get()), 1);
  EXPECT_EQ(roles.size(), 2u);

  // The machine's server knows the domain's groups.
  HKEY key;
  ASSERT_EQ(RegCreateKeyEx(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quillomere\\Varolith\\Database\\ServerName", 0, nullptr, 0,
                           KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegSetValueEx(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(server_.c_str()),
                static_cast<DWORD>(server_.size() + 1));
  RegCloseKey(key);
  EXPECT_EQ(CRolvane::GetDomainUserType("LAB\\analysts"), DOMUSER_GROUP);
  EXPECT_EQ(CRolvane::GetDomainUserType("LAB\\alice"), DOMUSER_MEMBER);
  EXPECT_EQ(CRolvane::GetDomainUserType("LAB\\zoe"), DOMUSER_OTHER);

  // A server that fails answers empty results and refusals.
  ASSERT_TRUE(SetFault(0x800706BE));
  CRolvane::InitSecurityCache(1);
  EXPECT_EQ(CRolvane::IsCallerInRoleFunc(ROLEFUNC_BROWSE, c.Get(), &other), 0);
  EXPECT_EQ(CRolvane::EnumRoles(servers, databases, roles, c.Get()), 0);
  EXPECT_TRUE(roles.empty());
  EXPECT_EQ(CRolvane::GetDomainUserType("LAB\\analysts"), DOMUSER_OTHER);
}

// The proof that a second process asks nothing: after the first process filled the cache the
// server fails every call, yet the second still gets right answers; one that drops its tree
// and asks again is refused.
TEST_F(RolvaneZorumTest, SecondProcessIsAnsweredFromTheCacheWhileTheServerFails) {
  SECURITY_ATTRIBUTES sa{sizeof sa, TESK_OWNER_ONLY_SECURITY, FALSE};
  HANDLE mutex = CreateMutex(&sa, FALSE, tesk::rolvane::MutexName().c_str());
  HANDLE region = CreateFileMapping(INVALID_HANDLE_VALUE, &sa, PAGE_READWRITE, 0, tesk::rolvane::kRegionSize,
                                    tesk::rolvane::RegionName().c_str());
  ASSERT_TRUE(mutex && region);
  std::string out = Probe(server_, "func 0 func 1");
  EXPECT_TRUE(Has(out, "func 0 1 0")) << out;
  EXPECT_TRUE(Has(out, "func 1 0 1")) << out;
  ASSERT_TRUE(SetFault(0x80004005));
  out = Probe(server_, "func 0 func 1 member bob userroles");
  EXPECT_TRUE(Has(out, "func 0 1 0")) << out;
  EXPECT_TRUE(Has(out, "func 1 0 1")) << out;
  EXPECT_TRUE(Has(out, "member bob 1")) << out;
  EXPECT_TRUE(Has(out, "userroles 1 Readers")) << out;
  out = Probe(server_, "init 1 func 0");
  EXPECT_TRUE(Has(out, "func 0 0 0")) << out;
  CloseHandle(region);
  CloseHandle(mutex);
}

}  // namespace
