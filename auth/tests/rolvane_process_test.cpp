// The role cache shared between processes of one user: a second process is answered without
// asking the server; a damaged region or a holder that died is rebuilt; a region that does not
// fit or cannot be mapped; and, as another Unix user would attack it, a cache that nobody else
// can open, and regions made by someone else or open to others that are never trusted.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "cache_names.h"
#include "region_codec.h"
#include "rolvane_testing.h"
#include "tesk/testing/scratch_dir.h"

namespace {

using rolvane_testing::Calls;
using rolvane_testing::Has;
using rolvane_testing::Probe;
using rolvane_testing::FlagLines;
using rolvane_testing::FunctionLines;
using rolvane_testing::Script;
using tesk::rolvane::kRegionSize;

constexpr char kServer[] = "labsrv";

std::string Me() {
  char name[260];
  DWORD n = sizeof name;
  return GetUserName(name, &n) ? name : "";
}

// Browse granted to the caller's role, nothing else.
std::string GrantScript(const std::string& members_extra = "") {
  std::string own(14, 'N');
  own[0] = 'Y';
  return FunctionLines() + "role\t" + kServer + "\tLabDB\tReaders\n" + "member\tReaders\tLAB\\" + Me() + "\tGU\n" +
         members_extra + FlagLines("Readers", own, std::string(14, 'N'));
}

class SharedCacheTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("TESK_REGISTRY_DIR", dir_.str().c_str(), 1);
    ASSERT_TRUE(rolvane_testing::RegisterFakeAdmin(FAKE_ADMIN_MODULE));
    region_name_ = tesk::rolvane::RegionName();
    mutex_name_ = tesk::rolvane::MutexName();
  }
  void TearDown() override {
    if (view_) UnmapViewOfFile(view_);
    if (map_) CloseHandle(map_);
    if (mutex_) CloseHandle(mutex_);
  }

  // Holds the user's region and mutex open as a long-running client would, so they outlive
  // each probe.
  uint8_t* HoldRegion() {
    SECURITY_ATTRIBUTES sa{sizeof sa, TESK_OWNER_ONLY_SECURITY, FALSE};
    mutex_ = CreateMutex(&sa, FALSE, mutex_name_.c_str());
    if (!mutex_) return nullptr;
    map_ = CreateFileMapping(INVALID_HANDLE_VALUE, &sa, PAGE_READWRITE, 0, kRegionSize, region_name_.c_str());
    if (!map_) return nullptr;
    view_ = static_cast<uint8_t*>(MapViewOfFile(map_, FILE_MAP_ALL_ACCESS, 0, 0, kRegionSize));
    return view_;
  }

  tesk::testing::ScratchDir dir_;
  std::string region_name_, mutex_name_;
  HANDLE map_ = nullptr;
  HANDLE mutex_ = nullptr;
  uint8_t* view_ = nullptr;
};

TEST_F(SharedCacheTest, SecondProcessIsAnsweredFromTheSharedCache) {
  ASSERT_NE(HoldRegion(), nullptr);
  Script(kServer, GrantScript("member\tReaders\tLAB\\alice\tGU\n"));
  EXPECT_TRUE(Has(Probe(kServer, "func 0 func 1"), "func 0 1 0"));
  const int calls = Calls(kServer);
  EXPECT_GT(calls, 0);
  const std::string out = Probe(kServer, "func 0 func 1 member alice userroles");
  EXPECT_TRUE(Has(out, "func 0 1 0")) << out;
  EXPECT_TRUE(Has(out, "func 1 0 0")) << out;
  EXPECT_TRUE(Has(out, "member alice 1")) << out;
  EXPECT_TRUE(Has(out, "userroles 1 Readers")) << out;
  EXPECT_EQ(Calls(kServer), calls);
  // A process that drops its tree fetches again, and shares what it fetched.
  Probe(kServer, "init 1 func 0");
  EXPECT_EQ(Calls(kServer), 2 * calls);
  Probe(kServer, "func 0");
  EXPECT_EQ(Calls(kServer), 2 * calls);
}

TEST_F(SharedCacheTest, RegionFilledWithGarbageIsRebuiltFromTheServer) {
  uint8_t* region = HoldRegion();
  ASSERT_NE(region, nullptr);
  Script(kServer, GrantScript());
  Probe(kServer, "func 0");
  const int calls = Calls(kServer);
  // Garbage after a new generation: every later reader must look, and must not believe it.
  for (size_t i = 4; i < 100000; ++i) region[i] = static_cast<uint8_t>(i * 7919 >> 3);
  ++*reinterpret_cast<uint32_t*>(region);
  std::string out = Probe(kServer, "func 0");
  EXPECT_TRUE(Has(out, "func 0 1 0")) << out;
  EXPECT_EQ(Calls(kServer), 2 * calls);
  // A tree that claims more bytes than the region has, with a matching generation bump.
  const uint32_t huge = 0xFFFFFF00u;
  std::memcpy(region + 4 + 8, &huge, 4);
  ++*reinterpret_cast<uint32_t*>(region);
  out = Probe(kServer, "func 0");
  EXPECT_TRUE(Has(out, "func 0 1 0")) << out;
  EXPECT_EQ(Calls(kServer), 3 * calls);
  Probe(kServer, "func 0");
  EXPECT_EQ(Calls(kServer), 3 * calls);  // the rebuilt tree is shared again
}

TEST_F(SharedCacheTest, WriterKilledHoldingTheMutexMidWriteLeavesCorrectAnswers) {
  uint8_t* region = HoldRegion();
  ASSERT_NE(region, nullptr);
  Script(kServer, GrantScript());
  Probe(kServer, "func 0");
  const int calls = Calls(kServer);
  const std::string mutex = mutex_name_;
  pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    SECURITY_ATTRIBUTES sa{sizeof sa, TESK_OWNER_ONLY_SECURITY, FALSE};
    HANDLE m = CreateMutex(&sa, FALSE, mutex.c_str());
    if (!m || WaitForSingleObject(m, 5000) != WAIT_OBJECT_0) _exit(1);
    // A writer that bumped the generation and had written half a tree when it was killed.
    ++*reinterpret_cast<uint32_t*>(region);
    std::memset(region + 4 + tesk::rolvane::kTreeHeaderSize + 10, 0x5A, 64);
    raise(SIGKILL);
  }
  int status;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFSIGNALED(status));
  const std::string out = Probe(kServer, "func 0 userroles");
  EXPECT_TRUE(Has(out, "func 0 1 0")) << out;
  EXPECT_TRUE(Has(out, "userroles 1 Readers")) << out;
  EXPECT_EQ(Calls(kServer), 2 * calls);
  Probe(kServer, "func 0");
  EXPECT_EQ(Calls(kServer), 2 * calls);
}

TEST_F(SharedCacheTest, TreeThatDoesNotFitStaysInTheProcessLoggedOnce) {
  ASSERT_NE(HoldRegion(), nullptr);
  std::string many;
  for (int i = 0; i < 120000; ++i) many += "member\tReaders\tLABORATORY\\user_with_a_long_name_" + std::to_string(i) + "\tGU\n";
  Script(kServer, GrantScript(many));
  std::string out = Probe(kServer, "func 0 init 1 func 0");
  EXPECT_TRUE(Has(out, "func 0 1 0")) << out.substr(0, 500);
  size_t logged = 0;
  for (size_t at = 0; (at = out.find("does not fit", at)) != std::string::npos; ++at) ++logged;
  EXPECT_EQ(logged, 1u) << out.substr(0, 500);
  const int calls = Calls(kServer, "ListRoles");
  EXPECT_EQ(calls, 2);
  out = Probe(kServer, "func 0");  // nothing was shared: this process fetches for itself
  EXPECT_TRUE(Has(out, "func 0 1 0"));
  EXPECT_EQ(Calls(kServer, "ListRoles"), 3);
}

TEST_F(SharedCacheTest, FailedStartUpIsLoggedAndEveryAnswerIsNegative) {
  // The user's region exists but is too small to map as the cache.
  SECURITY_ATTRIBUTES sa{sizeof sa, TESK_OWNER_ONLY_SECURITY, FALSE};
  map_ = CreateFileMapping(INVALID_HANDLE_VALUE, &sa, PAGE_READWRITE, 0, 4096, region_name_.c_str());
  ASSERT_NE(map_, nullptr);
  Script(kServer, GrantScript("member\tReaders\tLAB\\alice\tGU\n"));
  const std::string out = Probe(kServer, "func 0 member alice userroles");
  EXPECT_TRUE(Has(out, "event: ROLVANE: MapViewOfFile err= 5")) << out;
  EXPECT_TRUE(Has(out, "func 0 0 -1")) << out;
  EXPECT_TRUE(Has(out, "member alice 0")) << out;
  EXPECT_TRUE(Has(out, "userroles 0 ")) << out;
  EXPECT_EQ(Calls(kServer), 0);
}

// A region of this user's name that others may open (mode 0666), with flags granting
// everything written into it: never used, answers come from the server.
TEST_F(SharedCacheTest, RegionOpenToOtherUsersIsNeverTrusted) {
  map_ = CreateFileMapping(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kRegionSize, region_name_.c_str());
  ASSERT_NE(map_, nullptr);
  view_ = static_cast<uint8_t*>(MapViewOfFile(map_, FILE_MAP_ALL_ACCESS, 0, 0, kRegionSize));
  ASSERT_NE(view_, nullptr);
  Script(kServer, GrantScript());
  // The forged tree: every role function granted to this user on labsrv.
  tesk::rolvane::CacheNode root, server, role, own, other;
  server = {tesk::rolvane::kServerNode, kServer, {}, {}};
  role = {tesk::rolvane::kRoleNode, "Forged", {}, {"LAB\\" + Me()}};
  own = {tesk::rolvane::kRoleFunctionNode, "RoleFunction", {}, std::vector<std::string>(14, "Y")};
  other = {tesk::rolvane::kRoleFunctionOtherNode, "RoleFunctionOther", {}, std::vector<std::string>(14, "Y")};
  role.children = {own, other};
  server.children = {role};
  root.children = {server};
  ASSERT_TRUE(tesk::rolvane::StoreTree(root, {view_ + 4, kRegionSize - 4}));
  const std::string out = Probe(kServer, "func 0 func 5");
  EXPECT_TRUE(Has(out, "event: ROLVANE: CreateFileMapping err= 5")) << out;
  EXPECT_TRUE(Has(out, "func 0 1 0")) << out;
  EXPECT_TRUE(Has(out, "func 5 0 0")) << out;
  EXPECT_GT(Calls(kServer), 0);
}

// ---- another Unix user -------------------------------------------------------------

constexpr char kOtherUser[] = "tesk-other";

// The second user's passwd entry, made if missing (as root); null when it cannot be had.
const passwd* OtherUser() {
  if (geteuid() != 0) return nullptr;
  if (!getpwnam(kOtherUser)) {
    const std::string cmd = std::string("useradd --system --no-create-home --shell /usr/sbin/nologin ") + kOtherUser +
                            " >/dev/null 2>&1";
    if (std::system(cmd.c_str()) != 0) return nullptr;
  }
  return getpwnam(kOtherUser);
}

// A copy of the probe, and of the one library of ours it links, in a directory the other user
// may enter: the build tree may sit where only root can (a checkout under a private temporary
// directory). Made once per program and removed at its exit.
class ReachableProbe {
 public:
  static const ReachableProbe& Get() {
    static const ReachableProbe probe;
    return probe;
  }
  ~ReachableProbe() {
    if (!dir_.empty()) std::filesystem::remove_all(dir_);
  }
  bool ok() const { return !dir_.empty(); }
  std::string program() const { return dir_ + "/rolvane_probe"; }
  const std::string& dir() const { return dir_; }

 private:
  ReachableProbe() {
    char pattern[] = "/tmp/tesk-rolvane-probe-XXXXXX";
    if (!mkdtemp(pattern)) return;
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path dir(pattern);
    fs::copy_file(ROLVANE_PROBE, dir / "rolvane_probe", ec);
    if (!ec) fs::copy_file(PLATFORM_LIBRARY, dir / PLATFORM_SONAME, ec);
    const auto open = fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                      fs::perms::others_read | fs::perms::others_exec;
    if (!ec) fs::permissions(dir, open, ec);
    if (!ec) fs::permissions(dir / "rolvane_probe", open, ec);
    if (!ec) fs::permissions(dir / PLATFORM_SONAME, open, ec);
    if (ec) {
      fs::remove_all(dir, ec);
      return;
    }
    dir_ = dir.string();
  }
  std::string dir_;
};

// Starts rolvane_probe with `args` as the other user; its standard input and output are pipes
// (in: to write to the child, out: to read from it). Answers the child's pid.
pid_t StartAsOtherUser(const passwd* pw, const std::vector<std::string>& args, int* in, int* out) {
  int to[2], from[2];
  if (pipe(to) != 0 || pipe(from) != 0) return -1;
  pid_t pid = fork();
  if (pid == 0) {
    dup2(to[0], 0);
    dup2(from[1], 1);
    close(to[1]);
    close(from[0]);
    if (setgroups(0, nullptr) != 0 || setgid(pw->pw_gid) != 0 || setuid(pw->pw_uid) != 0) _exit(90);
    const ReachableProbe& probe = ReachableProbe::Get();
    const std::string program = probe.program();
    std::string libs = "LD_LIBRARY_PATH=" + probe.dir();
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    char* env[] = {libs.data(), nullptr};
    execve(program.c_str(), argv.data(), env);
    _exit(91);
  }
  close(to[0]);
  close(from[1]);
  *in = to[1];
  *out = from[0];
  return pid;
}

int Wait(pid_t pid) {
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 99;
}

#define SKIP_UNLESS_ROOT(pw)                                                                          \
  if (!(pw)) GTEST_SKIP() << "needs root, to create the user " << kOtherUser << " and run a process as it"; \
  if (!ReachableProbe::Get().ok()) GTEST_SKIP() << "cannot copy the probe where " << kOtherUser << " may run it"

TEST_F(SharedCacheTest, AnotherUserCannotOpenReadOrWriteTheCache) {
  const passwd* pw = OtherUser();
  SKIP_UNLESS_ROOT(pw);
  uint8_t* region = HoldRegion();
  ASSERT_NE(region, nullptr);
  Script(kServer, GrantScript());
  Probe(kServer, "func 0");
  int in, from;
  const pid_t pid = StartAsOtherUser(pw, {"--attack", region_name_, mutex_name_}, &in, &from);
  ASSERT_GT(pid, 0);
  close(in);
  close(from);
  const int rc = Wait(pid);
  EXPECT_EQ(rc, 0);
  const std::string out = Probe(kServer, "func 0");
  EXPECT_TRUE(Has(out, "func 0 1 0")) << out;
}

// The other user takes this user's cache names first and writes flags granting everything
// into them: the region is never used, and answers come from the server.
TEST_F(SharedCacheTest, RegionMadeByAnotherUserIsNeverTrusted) {
  const passwd* pw = OtherUser();
  SKIP_UNLESS_ROOT(pw);
  std::string refuse(14, 'N');
  Script(kServer, FunctionLines() + "role\t" + kServer + "\tLabDB\tReaders\n" + "member\tReaders\tLAB\\" + Me() +
                      "\tGU\n" + FlagLines("Readers", refuse, refuse));
  int in, from;
  const pid_t pid = StartAsOtherUser(pw, {"--forge", region_name_, mutex_name_, kServer, Me()}, &in, &from);
  ASSERT_GT(pid, 0);
  char ready[6] = {};
  ASSERT_EQ(read(from, ready, 6), 6);
  ASSERT_EQ(std::string(ready, 6), "ready\n");
  const std::string out = Probe(kServer, "func 0 func 13");
  EXPECT_TRUE(Has(out, "event: ROLVANE: CreateFileMapping err= 5")) << out;
  EXPECT_TRUE(Has(out, "func 0 0 0")) << out;
  EXPECT_TRUE(Has(out, "func 13 0 0")) << out;
  EXPECT_GT(Calls(kServer), 0);
  close(in);  // the other user lets go
  EXPECT_EQ(Wait(pid), 0);
  close(from);
}

}  // namespace
