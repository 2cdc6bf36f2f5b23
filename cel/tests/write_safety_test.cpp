// Writers never leave a truncated file in place of a good one, and report write errors.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <string>

#include <tesk/testing/fault_env.h>

#include <tesk/testing/bytes.h>
#include <tesk/testing/scratch_dir.h>

#include "test_util.h"

using namespace parvel_test;
using tesk::testing::ReadFileBytes;
using tesk::testing::ScratchDir;
using tesk::testing::WriteFileBytes;

namespace {

// Runs `write` in a child process whose files may not grow past `limit` bytes; returns the
// writer's result.
template <class F>
int WithFileSizeLimit(rlim_t limit, F write) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    std::signal(SIGXFSZ, SIG_IGN);  // a write past the limit then fails with EFBIG
    struct rlimit rl{limit, limit};
    ::setrlimit(RLIMIT_FSIZE, &rl);
    ::_exit(write());
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

TEST(WriteSafety, FailedWritesKeepTheOldFile) {
  ScratchDir dir;
  const std::string path = dir.File("keep.CEL");
  WriteFileBytes(path, "the old content");
  for (int version : {4, 3, 2}) {
    const int result = WithFileSizeLimit(4096, [&] {
      ParvelClass cel;
      Fill(cel, 100, 100);  // far more than 4096 bytes in every encoding
      cel.SetName(path.c_str());
      return cel.WriteVersionFile(version);
    });
    EXPECT_EQ(result, 0) << "version " << version;
    EXPECT_EQ(ReadFileBytes(path), "the old content") << "version " << version;
    EXPECT_EQ(dir.List().size(), 1u) << "no temporary file left, version " << version;
  }
  // The same writes succeed without the limit.
  ParvelClass cel;
  Fill(cel, 100, 100);
  cel.SetName(path.c_str());
  EXPECT_EQ(cel.Write(), 1);
  EXPECT_GT(ReadFileBytes(path).size(), 100000u);
  EXPECT_EQ(dir.List().size(), 1u);
}

TEST(WriteSafety, UnopenableTargetsFailWithoutCreatingFiles) {
  ScratchDir dir;
  ParvelClass cel;
  Fill(cel, 3, 3);
  cel.SetName(dir.File("no/such/dir.CEL").c_str());
  EXPECT_EQ(cel.Write(), 0);
  EXPECT_EQ(cel.WriteVersionFile(3), 0);
  EXPECT_EQ(cel.WriteVersionFile(2), 0);
  EXPECT_STREQ(cel.GetHeader(), Header(3, 3).c_str()) << "a failed open changes nothing";
  EXPECT_TRUE(dir.List().empty());
}

TEST(WriteSafety, AFullDiskOrShortReadsUnderEveryEncoding) {
  ScratchDir dir;
  const std::string path = dir.File("full.CEL");
  WriteFileBytes(path, "the old content");
  ParvelClass cel;
  Fill(cel, 60, 50);
  cel.SetName(path.c_str());
  tesk::testing::FaultEnv env;
  {
    tesk::testing::ScopedEnv scoped(env);
    env.FillDiskAfter(1000);
    for (int version : {4, 3, 2}) {
      EXPECT_EQ(cel.WriteVersionFile(version), 0) << "version " << version;
      EXPECT_EQ(ReadFileBytes(path), "the old content") << "version " << version;
    }
  }
  EXPECT_EQ(dir.List().size(), 1u);
  // Reads that come back a few bytes at a time give the same object.
  for (int version : {4, 3}) {
    ASSERT_EQ(cel.WriteVersionFile(version), 1);
    tesk::testing::ScopedEnv scoped(env);
    env.ShortReads(13);
    ParvelClass back;
    back.SetName(path.c_str());
    ASSERT_EQ(back.Read(), 1) << "version " << version;
    EXPECT_EQ(back.GetNCells(), 3000);
    EXPECT_EQ(back.GetCellEntry(59, 49)->MEAN, cel.GetCellEntry(59, 49)->MEAN);
    env.FailReadsAfter(5000);
    ParvelClass cut;
    cut.SetName(path.c_str());
    EXPECT_EQ(cut.Read(), 0) << "a read error is a failed read, version " << version;
    env.FailReadsAfter(UINT64_MAX);
    env.ShortReads(0);
  }
}
