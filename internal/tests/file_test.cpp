// Reading and mapping files through the Env, with short reads and failures injected.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include <tesk/internal/file.h>
#include <tesk/internal/little_endian.h>
#include <tesk/internal/mapped_region.h>
#include <tesk/testing/bytes.h>
#include <tesk/testing/fault_env.h>
#include <tesk/testing/scratch_dir.h>

namespace {

using tesk::internal::ByteBuffer;
using tesk::internal::File;
using tesk::internal::MappedRegion;
using tesk::testing::FaultEnv;
using tesk::testing::ScopedEnv;
using tesk::testing::ScratchDir;

std::string Pattern(std::size_t n) {
  std::string s(n, '\0');
  for (std::size_t i = 0; i < n; ++i) s[i] = static_cast<char>(i * 7 + i / 251);
  return s;
}

TEST(File, WholePositionedAndRestReadsSurviveShortReads) {
  ScratchDir dir;
  const std::string path = dir.File("a.bin");
  const std::string bytes = Pattern(100000);
  ASSERT_TRUE(tesk::testing::WriteFileBytes(path, bytes));

  FaultEnv env;
  for (std::size_t limit : {std::size_t{0}, std::size_t{7}, std::size_t{4093}}) {
    env.ShortReads(limit);
    ScopedEnv scoped(env);
    std::string whole;
    ASSERT_TRUE(tesk::internal::ReadWholeFile(path, whole)) << limit;
    EXPECT_EQ(whole, bytes);

    File f = File::Open(path, O_RDONLY);
    ASSERT_TRUE(f);
    EXPECT_EQ(f.Size(), 100000);
    EXPECT_TRUE(f.IsRegular());
    char part[10];
    ASSERT_EQ(f.ReadAt(part, 10, 99995), 5) << "stops at the end of the file";
    EXPECT_EQ(std::string(part, 5), bytes.substr(99995));
    ByteBuffer head;
    head.Resize(100);
    ASSERT_EQ(f.Read(head.data(), 100), 100);
    ASSERT_TRUE(f.ReadRest(head, 100000));
    ASSERT_EQ(head.size(), bytes.size());
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(head.data()), head.size()), bytes);
  }
}

TEST(File, FailuresAreReportedNotHidden) {
  ScratchDir dir;
  std::string out;
  EXPECT_FALSE(tesk::internal::ReadWholeFile(dir.File("missing"), out));
  EXPECT_FALSE(tesk::internal::ReadWholeFile(dir.str(), out)) << "a directory";
  EXPECT_FALSE(tesk::internal::ReadWholeFile("", out));
  EXPECT_FALSE(File::Open("", O_RDONLY));
  EXPECT_FALSE(tesk::internal::Exists(""));
  EXPECT_FALSE(tesk::internal::Exists(dir.File("missing")));
  EXPECT_TRUE(tesk::internal::Exists(dir.str()));
  ASSERT_EQ(::symlink("nowhere", dir.File("dangling").c_str()), 0);
  EXPECT_TRUE(tesk::internal::Exists(dir.File("dangling"))) << "links are not followed";

  const std::string path = dir.File("b.bin");
  ASSERT_TRUE(tesk::testing::WriteFileBytes(path, Pattern(5000)));
  FaultEnv env;
  env.FailReadsAfter(4096);
  ScopedEnv scoped(env);
  EXPECT_FALSE(tesk::internal::ReadWholeFile(path, out));
  File f = File::Open(path, O_RDONLY);
  char b[8];
  EXPECT_EQ(f.ReadAt(b, 8, 4095), -1);
  EXPECT_EQ(f.ReadAt(b, 8, 4000), 8);
}

TEST(File, WritesAtOffsetsAndTruncationMeetAFullDisk) {
  ScratchDir dir;
  const std::string path = dir.File("w.bin");
  File f = File::Open(path, O_RDWR | O_CREAT);
  ASSERT_TRUE(f);
  ASSERT_TRUE(f.WriteAt("abcdef", 6, 0));
  ASSERT_TRUE(f.WriteAt("XY", 2, 2));
  EXPECT_EQ(tesk::testing::ReadFileBytes(path), "abXYef");
  ASSERT_TRUE(f.Truncate(3));
  EXPECT_EQ(f.Size(), 3);

  FaultEnv env;
  env.FillDiskAfter(4);
  ScopedEnv scoped(env);
  EXPECT_FALSE(f.WriteAt("123456", 6, 0));
  EXPECT_FALSE(f.Truncate(1 << 20)) << "growing takes room";
  EXPECT_EQ(tesk::internal::WriteAll(f.fd(), "z", 1), ENOSPC);
}

TEST(MappedRegion, WindowsWholeFilesAndFailures) {
  ScratchDir dir;
  const std::int64_t page = MappedRegion::Granularity();
  ASSERT_GT(page, 0);
  const std::string path = dir.File("m.bin");
  const std::string bytes = Pattern(static_cast<std::size_t>(3 * page));
  ASSERT_TRUE(tesk::testing::WriteFileBytes(path, bytes));

  MappedRegion whole = MappedRegion::MapFile(path);
  ASSERT_TRUE(whole);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(whole.data()), whole.size()), bytes);
  EXPECT_FALSE(whole.writable());

  File f = File::Open(path, O_RDWR);
  MappedRegion window =
      MappedRegion::Map(f.fd(), page, page, MappedRegion::Access::kSharedWritable);
  ASSERT_TRUE(window);
  window.data()[0] = 'Q';
  MappedRegion moved = std::move(window);
  EXPECT_FALSE(window);
  moved.Reset();
  EXPECT_EQ(tesk::testing::ReadFileBytes(path)[static_cast<std::size_t>(page)], 'Q');

  EXPECT_FALSE(MappedRegion::Map(f.fd(), 1, page, MappedRegion::Access::kShared))
      << "offsets are multiples of the page size";
  EXPECT_FALSE(MappedRegion::Map(f.fd(), 0, 0, MappedRegion::Access::kShared));
  EXPECT_FALSE(MappedRegion::Map(-1, 0, page, MappedRegion::Access::kShared));
  EXPECT_FALSE(MappedRegion::MapFile(dir.File("missing")));
  ASSERT_TRUE(tesk::testing::WriteFileBytes(dir.File("empty"), ""));
  EXPECT_FALSE(MappedRegion::MapFile(dir.File("empty")));
  EXPECT_FALSE(MappedRegion::MapFile(dir.str()));
  FaultEnv env;
  env.FailMaps(true);
  ScopedEnv scoped(env);
  EXPECT_FALSE(MappedRegion::MapFile(path));
}

TEST(LittleEndian, LoadsAndStoresAreByteExact) {
  unsigned char b[8] = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x88};
  EXPECT_EQ(tesk::internal::LoadLE<std::uint16_t>(b), 0x0201);
  EXPECT_EQ(tesk::internal::LoadLE<std::uint32_t>(b + 1), 0x05040302u);
  EXPECT_EQ(tesk::internal::LoadLE<std::int64_t>(b), static_cast<std::int64_t>(0x8807060504030201ull));
  tesk::internal::StoreLE<std::int32_t>(b, -2);
  EXPECT_EQ(b[0], 0xFE);
  EXPECT_EQ(b[3], 0xFF);
  tesk::internal::StoreLE(b + 4, 1.5f);
  EXPECT_EQ(tesk::internal::LoadLE<float>(b + 4), 1.5f);
  EXPECT_EQ(b[7], 0x3F);
  EXPECT_EQ(tesk::testing::ByteBuilder().I16(-1).U32(7).Text("ab").str(),
            std::string("\xFF\xFF\x07\0\0\0\x02\0\0\0ab", 12));
}

}  // namespace
