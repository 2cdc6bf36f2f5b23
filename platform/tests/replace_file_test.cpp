// The internal replace-file helper the library writers share.
#include <tesk/internal/replace_file.h>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using tesk::internal::ReplaceFile;
using tesk::internal::ReplacementFile;

class ReplaceFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/tesk_replace_XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string File(const char* name) const { return (dir_ / name).string(); }
  static std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  std::vector<std::string> Entries() const {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir_)) names.push_back(e.path().filename());
    return names;
  }

  fs::path dir_;
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

}  // namespace
