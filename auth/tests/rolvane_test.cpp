// The role checks of one process against a scripted administration object: what the cache
// answers, what it asks the server, and what the library answers when there is nothing to ask.
#include <tesk/rolvane.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cctype>
#include <string>
#include <thread>
#include <vector>

#include "rolvane_testing.h"

namespace {

using namespace rolvane_testing;
using Strings = std::vector<std::string>;

TEST_F(RolvaneTest, GrantsFromTheCallersRolesOnTheConnectionsDatabase) {
  Script(server_, ReadersScript(server_, Me()));
  FakeConnection c(server_, "labdb");  // database compared without regard to case
  int other = -1;
  EXPECT_EQ(CRolvane::IsCallerInRoleFunc(ROLEFUNC_BROWSE, &c, &other), 1);
  EXPECT_EQ(other, 0);
  // Other-users flag without the own flag: refused, with other set.
  EXPECT_EQ(CRolvane::IsCallerInRoleFunc(ROLEFUNC_UPDATE, &c, &other), 0);
  EXPECT_EQ(other, 1);
  // Roles of another database or server grant nothing.
  EXPECT_EQ(CRolvane::IsCallerInRoleFunc(ROLEFUNC_ARCHIVE, &c, &other), 0);
  EXPECT_EQ(other, 0);
  // Outside the role functions: refused.
  EXPECT_EQ(CRolvane::IsCallerInRoleFunc(static_cast<tag_ROLEFUNC>(14), &c, &other), 0);
  EXPECT_EQ(CRolvane::IsCallerInRoleFunc(static_cast<tag_ROLEFUNC>(-1), &c, &other), 0);
  EXPECT_EQ(other, 0);

  // One fetch: the roles once, members and flags per role of this database, nothing after.
  EXPECT_EQ(Calls(server_, "ListRoles"), 1);
  EXPECT_EQ(Calls(server_, "ListRoleMembers"), 2);
  EXPECT_EQ(Calls(server_, "GetRoleFunctionFlags"), 28);
  const int calls = Calls(server_);
  Strings roles;
  EXPECT_EQ(CRolvane::EnumUserRoles("ignored", &c, roles), 1);
  EXPECT_EQ(roles, (Strings{"Readers", "Auditors"}));  // role order; members after the backslash
  EXPECT_EQ(Calls(server_), calls);
}

TEST_F(RolvaneTest, RoleMembershipComparesAccountNamesAfterTheBackslash) {
  Script(server_, ReadersScript(server_, Me()));
  FakeConnection c(server_, "LabDB");
  EXPECT_EQ(CRolvane::IsUserRoleMember("alice", &c), 1);
  EXPECT_EQ(CRolvane::IsUserRoleMember("ALICE", &c), 1);
  EXPECT_EQ(CRolvane::IsUserRoleMember("carol", &c), 1);  // shares Auditors under another domain
  EXPECT_EQ(CRolvane::IsUserRoleMember("dave", &c), 0);
  EXPECT_EQ(CRolvane::IsUserRoleMember("LAB\\alice", &c), 0);  // the named user is an account name
}

TEST_F(RolvaneTest, EnumeratesRolesAndExpandsGroupMembersSorted) {
  Script(server_, FunctionLines(1) + "role\t" + server_ + "\tLabDB\tMixed\n" + "role\tx\ty\tz\n" +
                      "member\tMixed\tLAB\\zed\tGU\n" + "member\tMixed\tLAB\\analysts\tGG\n" +
                      "member\tMixed\tLAB\\odd\tXX\n" + "member\tMixed\tLAB\\bob\tGU\n" +
                      "member\tMixed\tLAB\\lonely\n" +  // a name without its type
                      "group\tLAB\tanalysts\talice\tbob\tzed\n");
  FakeConnection c(server_, "LabDB");
  Strings users;
  EXPECT_EQ(CRolvane::EnumRoleUsers("Mixed", &c, users, 1), 1);
  EXPECT_EQ(users, (Strings{"LAB\\alice", "LAB\\bob", "LAB\\zed"}));
  EXPECT_EQ(CRolvane::EnumRoleUsers("Mixed", &c, users, 0), 1);
  EXPECT_EQ(users, (Strings{"LAB\\analysts", "LAB\\bob", "LAB\\lonely", "LAB\\odd", "LAB\\zed"}));
  EXPECT_EQ(CRolvane::EnumRoleUsers("Mixed", &c, users, 2), 1);  // groups neither taken nor expanded
  EXPECT_EQ(users, (Strings{"LAB\\bob", "LAB\\zed"}));
  EXPECT_EQ(CRolvane::EnumRoleUsers("Nobody", &c, users, 1), 1);
  EXPECT_TRUE(users.empty());

  Strings servers, databases, roles;
  EXPECT_EQ(CRolvane::EnumRoles(servers, databases, roles, &c), 1);
  EXPECT_EQ(servers, (Strings{server_, "x"}));
  EXPECT_EQ(databases, (Strings{"LabDB", "y"}));
  EXPECT_EQ(roles, (Strings{"Mixed", "z"}));
}

TEST_F(RolvaneTest, DomainUserTypeAsksTheMachinesServer) {
  HKEY key;
  ASSERT_EQ(RegCreateKeyEx(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quillomere\\Varolith\\Database\\ServerName", 0, nullptr, 0,
                           KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueEx(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(server_.c_str()),
                          static_cast<DWORD>(server_.size() + 1)),
            ERROR_SUCCESS);
  RegCloseKey(key);
  Script(server_, "group\tLAB\tanalysts\talice\tbob\ngroup\tLAB\tadmins\troot\ngroup\tOTHER\tcrew\tdave\n");
  EXPECT_EQ(CRolvane::GetDomainUserType("LAB\\analysts"), DOMUSER_GROUP);
  EXPECT_EQ(CRolvane::GetDomainUserType("LAB\\Admins"), DOMUSER_GROUP);
  EXPECT_EQ(CRolvane::GetDomainUserType("LAB\\bob"), DOMUSER_MEMBER);
  EXPECT_EQ(CRolvane::GetDomainUserType("LAB\\dave"), DOMUSER_OTHER);  // member in another domain
  EXPECT_EQ(CRolvane::GetDomainUserType("nobody"), DOMUSER_OTHER);
  Script(server_, "fail\tListGroupMembers\t80004005\ngroup\tLAB\tanalysts\talice\n");
  EXPECT_EQ(CRolvane::GetDomainUserType("LAB\\alice"), DOMUSER_OTHER);
  RegDeleteKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quillomere\\Varolith\\Database\\ServerName");
}

TEST_F(RolvaneTest, NullConnectionAnswersEveryNegativeResultWithoutEffect) {
  int other = 7;
  EXPECT_EQ(CRolvane::IsCallerInRoleFunc(ROLEFUNC_BROWSE, nullptr, &other), 0);
  EXPECT_EQ(other, 7);
  EXPECT_EQ(CRolvane::IsUserRoleMember("alice", nullptr), 0);
  Strings a{"x"}, b{"y"}, r{"z"};
  EXPECT_EQ(CRolvane::EnumRoles(a, b, r, nullptr), 0);
  EXPECT_TRUE(a.empty() && b.empty() && r.empty());
  r = {"z"};
  EXPECT_EQ(CRolvane::EnumUserRoles("me", nullptr, r), 0);
  EXPECT_TRUE(r.empty());
  r = {"z"};
  EXPECT_EQ(CRolvane::EnumRoleUsers("Readers", nullptr, r, 1), 0);
  EXPECT_TRUE(r.empty());
}

// A failing server answers empty results and refusals, and is not cached as a server without
// roles: once it answers again, so do the role checks.
TEST_F(RolvaneTest, FailingServerRefusesAndIsAskedAgainLater) {
  Script(server_, "fail\t*\t800706BE\n" + ReadersScript(server_, Me()));
  FakeConnection c(server_, "LabDB");
  int other = -1;
  EXPECT_EQ(CRolvane::IsCallerInRoleFunc(ROLEFUNC_BROWSE, &c, &other), 0);
  EXPECT_EQ(other, 0);
  EXPECT_EQ(CRolvane::IsUserRoleMember("alice", &c), 0);
  Strings a{"x"}, b, r;
  EXPECT_EQ(CRolvane::EnumRoles(a, b, r, &c), 0);
  EXPECT_TRUE(a.empty() && b.empty() && r.empty());
  EXPECT_EQ(CRolvane::EnumRoleUsers("Readers", &c, r, 1), 0);
  EXPECT_EQ(CRolvane::EnumUserRoles("", &c, r), 0);

  // Failing half-way (flags) is no better than failing at once.
  Script(server_, "fail\tGetRoleFunctionFlags\t80004005\n" + ReadersScript(server_, Me()));
  EXPECT_EQ(CRolvane::IsCallerInRoleFunc(ROLEFUNC_BROWSE, &c, &other), 0);

  Script(server_, ReadersScript(server_, Me()));
  EXPECT_EQ(CRolvane::IsCallerInRoleFunc(ROLEFUNC_BROWSE, &c, &other), 1);

  // An unreachable server (logged), and a connection that cannot tell its server, refuse as well.
  static std::string events;
  TeskSetEventLogHook([](const char* source, WORD, DWORD, const char* text) {
    events += std::string(source) + ": " + text + "\n";
    return 1;
  });
  FakeConnection nowhere("srv_not_scripted", "LabDB");
  EXPECT_EQ(CRolvane::IsCallerInRoleFunc(ROLEFUNC_BROWSE, &nowhere, &other), 0);
  TeskSetEventLogHook(nullptr);
  EXPECT_EQ(events, "ROLVANE: Unable to get KestAdmin pointer\n");
  FakeConnection broken(server_, "LabDB");
  broken.set_fail(true);
  EXPECT_EQ(CRolvane::IsCallerInRoleFunc(ROLEFUNC_BROWSE, &broken, &other), 0);
  EXPECT_EQ(CRolvane::IsUserRoleMember("alice", &broken), 0);
}

TEST_F(RolvaneTest, CallerOnTheServerComputerIsGrantedUnlessTheMachineSaysOtherwise) {
  char host[260];
  DWORD n = sizeof host;
  ASSERT_TRUE(GetComputerName(host, &n));
  const std::string server = host;
  Script(server, ReadersScript(server, Me()));
  FakeConnection c(Upper(server), "LabDB");
  int other = 0;
  EXPECT_EQ(CRolvane::IsCallerInRoleFunc(ROLEFUNC_CREATE_PUBLISH_DB, &c, &other), 1);
  EXPECT_EQ(other, 1);
  EXPECT_EQ(CRolvane::IsUserRoleMember("dave", &c), 1);
  EXPECT_EQ(Calls(server), 0);

  HKEY key;
  ASSERT_EQ(RegCreateKeyEx(HKEY_LOCAL_MACHINE, "Software\\Quillomere\\Varolith\\Database\\RunAtServerFlag", 0,
                           nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegCloseKey(key);
  FakeConnection exact(server, "LabDB");
  EXPECT_EQ(CRolvane::IsCallerInRoleFunc(ROLEFUNC_CREATE_PUBLISH_DB, &exact, &other), 0);
  EXPECT_EQ(other, 0);
  EXPECT_EQ(CRolvane::IsCallerInRoleFunc(ROLEFUNC_BROWSE, &exact, &other), 1);
  EXPECT_EQ(CRolvane::IsUserRoleMember("dave", &exact), 0);
  EXPECT_GT(Calls(server), 0);
  RegDeleteKey(HKEY_LOCAL_MACHINE, "Software\\Quillomere\\Varolith\\Database\\RunAtServerFlag");
}

const char* g_caption;
std::string g_text;
UINT g_type;
int CaptureBox(HWND, LPCSTR text, LPCSTR caption, UINT type) {
  g_text = text;
  g_caption = caption;
  g_type = type;
  return IDOK;
}

TEST(RolvaneMessages, BothTextsForEveryRoleFunctionAndNoneOutside) {
  TeskSetMessageBoxHook(CaptureBox);
  const std::string name = Upper(Me());
  const char* own[] = {" cannot browse this process database.", " cannot update this process database.",
                       " cannot update this published database.", " cannot archive or un-archive files.",
                       " cannot delete process data.", " cannot delete publish data.", " cannot import process data.",
                       " cannot export process data.", " cannot take ownership.", " cannot maintain roles.",
                       " cannot delete tasks.", " cannot maintain templates.", " cannot maintain usersets.",
                       " cannot create publish databases."};
  const char* other[] = {" cannot browse other user's data.", " cannot update other user's data.",
                         " cannot update other user's published data.",
                         " cannot archive or un-archive other user's files.",
                         " cannot delete other user's process data.", " cannot delete other user's publish data.",
                         " cannot import other user's process data.", " cannot export other user's process data.",
                         " cannot take ownership of other user's data.", " cannot maintain other user's roles.",
                         " cannot delete other user's tasks.", " cannot maintain other user's templates.",
                         " cannot maintain other user's usersets.",
                         " cannot create other user's publish databases."};
  for (int f = 0; f < 14; ++f) {
    CRolvane::ShowAuthError(static_cast<tag_ROLEFUNC>(f), nullptr);
    EXPECT_EQ(g_text, name + own[f]) << f;
    EXPECT_STREQ(g_caption, "Zorum Server Authorization Failure");
    EXPECT_EQ(g_type & 0xF0u, static_cast<UINT>(MB_ICONERROR));
    CRolvane::ShowOtherUsersDataAccessError(static_cast<tag_ROLEFUNC>(f), nullptr);
    EXPECT_EQ(g_text, name + other[f]) << f;
  }
  for (int f : {14, -1}) {
    CRolvane::ShowAuthError(static_cast<tag_ROLEFUNC>(f), nullptr);
    EXPECT_EQ(g_text, name);
    CRolvane::ShowOtherUsersDataAccessError(static_cast<tag_ROLEFUNC>(f), nullptr);
    EXPECT_EQ(g_text, name);
  }
  TeskSetMessageBoxHook(nullptr);
}

TEST(RolvaneUser, ClientUserWithAndWithoutDomain) {
  std::string plain, full;
  ASSERT_EQ(CRolvane::GetClientUser(plain, 0), 1);
  ASSERT_EQ(CRolvane::GetClientUser(full, 1), 1);
  EXPECT_FALSE(plain.empty());
  ASSERT_NE(full.find('\\'), std::string::npos);
  EXPECT_EQ(full.substr(full.find('\\') + 1), plain);
}

}  // namespace
