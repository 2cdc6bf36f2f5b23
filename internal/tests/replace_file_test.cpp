// The replace-file helper the library writers share.
#include <tesk/internal/replace_file.h>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <vector>

#include <tesk/testing/bytes.h>
#include <tesk/testing/fault_env.h>
#include <tesk/testing/scratch_dir.h>

namespace {

namespace fs = std::filesystem;
using tesk::internal::BufferedReplacement;
using tesk::internal::ReplaceFile;
using tesk::internal::ReplacementFile;

class ReplaceFileTest : public ::testing::Test {
 protected:
  std::string File(const char* name) const { return dir_.File(name); }
  static std::string Read(const std::string& path) { return tesk::testing::ReadFileBytes(path); }
  std::vector<std::string> Entries() const { return dir_.List(); }

  tesk::testing::ScratchDir dir_;
};

TEST_F(ReplaceFileTest, ReplacesKeepingModeAndLinkLeavingNothingBehind) {
  const std::string real = File("real.txt"), link = File("link.txt");
  ASSERT_EQ(ReplaceFile(real, "old"), 0);
  ASSERT_EQ(::chmod(real.c_str(), 0640), 0);
  fs::create_symlink(real, link);

  ASSERT_EQ(ReplaceFile(link, std::string("new\0contents", 12)), 0);
  EXPECT_TRUE(fs::is_symlink(link)) << "the link stays a link";
  EXPECT_EQ(Read(real), std::string("new\0contents", 12));
  struct stat st;
  ASSERT_EQ(::stat(real.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  EXPECT_EQ(Entries().size(), 2u) << "no temporary file left";
}

TEST_F(ReplaceFileTest, FailuresLeaveTheOldFile) {
  EXPECT_EQ(ReplaceFile(File("missing/x.txt"), "x"), ENOENT);
  EXPECT_EQ(ReplaceFile("", "x"), ENOENT);

  const std::string target = File("t.txt");
  ASSERT_EQ(ReplaceFile(target, "good"), 0);
  {
    ReplacementFile file;
    ASSERT_EQ(file.Create(target), 0);
    ASSERT_EQ(tesk::internal::WriteAll(file.fd(), "half", 4), 0);
    EXPECT_EQ(Entries().size(), 2u);
  }  // never committed
  EXPECT_EQ(Read(target), "good");
  EXPECT_EQ(Entries().size(), 1u);

  ReplacementFile twice;
  ASSERT_EQ(twice.Create(target), 0);
  EXPECT_EQ(twice.Commit(), 0);
  EXPECT_EQ(twice.Commit(), EBADF);
  EXPECT_EQ(Read(target), "");
}

TEST_F(ReplaceFileTest, CommitKeepOpenLeavesTheDescriptorUsable) {
  const std::string target = File("k.txt");
  ReplacementFile file;
  ASSERT_EQ(file.Create(target), 0);
  ASSERT_EQ(tesk::internal::WriteAll(file.fd(), "abc", 3), 0);
  ASSERT_EQ(file.CommitKeepOpen(), 0);
  EXPECT_EQ(file.CommitKeepOpen(), EBADF);
  EXPECT_EQ(Read(target), "abc");
  const int fd = file.Release();
  ASSERT_GE(fd, 0);
  EXPECT_EQ(::pwrite(fd, "d", 1, 3), 1);
  ::close(fd);
  EXPECT_EQ(Read(target), "abcd");
  EXPECT_EQ(Entries().size(), 1u);
}

TEST_F(ReplaceFileTest, AFullDiskOrAFailedRenameKeepsTheOldFile) {
  const std::string target = File("full.txt");
  ASSERT_EQ(ReplaceFile(target, "good"), 0);
  tesk::testing::FaultEnv env;
  {
    tesk::testing::ScopedEnv scoped(env);
    env.FillDiskAfter(3);
    EXPECT_EQ(ReplaceFile(target, "longer contents"), ENOSPC);
    EXPECT_TRUE(tesk::internal::IsDiskFull(ENOSPC));
    env.FillDiskAfter(UINT64_MAX);
    env.FailRenames(true);
    EXPECT_NE(ReplaceFile(target, "other"), 0);
  }
  EXPECT_EQ(Read(target), "good");
  EXPECT_EQ(Entries().size(), 1u);
}

TEST_F(ReplaceFileTest, BufferedReplacementPatchesAndFailsWhole) {
  const std::string target = File("b.bin");
  BufferedReplacement out;
  ASSERT_TRUE(out.Open(target));
  out.Put("0000");
  const std::string big(BufferedReplacement::kBuffer + 10, 'x');  // forces a flush
  out.Put(big);
  out.PatchAt(0, "1234", 4);      // already on disk
  out.PatchAt(big.size(), "yy", 2);  // still buffered
  out.PatchAt(big.size() + 4, "zz", 2);  // past the end: fails the whole write
  EXPECT_TRUE(out.Failed());
  EXPECT_FALSE(out.Commit());
  EXPECT_TRUE(Entries().empty());

  BufferedReplacement good;
  ASSERT_TRUE(good.Open(target));
  good.Put("0000");
  good.Put(big);
  good.PatchAt(0, "1234", 4);
  char* room = good.Reserve(3);
  room[0] = 'a', room[1] = 'b', room[2] = 'c';
  good.Advance(3);
  ASSERT_TRUE(good.Commit());
  const std::string bytes = Read(target);
  ASSERT_EQ(bytes.size(), 4 + big.size() + 3);
  EXPECT_EQ(bytes.substr(0, 6), "1234xx");
  EXPECT_EQ(bytes.substr(bytes.size() - 4), "xabc");

  tesk::testing::FaultEnv env;
  tesk::testing::ScopedEnv scoped(env);
  env.FillDiskAfter(100);
  BufferedReplacement full;
  ASSERT_TRUE(full.Open(target));
  full.Put(big);
  EXPECT_FALSE(full.Commit());
  EXPECT_EQ(Read(target), bytes);
  EXPECT_EQ(Entries().size(), 1u);
}

}  // namespace
