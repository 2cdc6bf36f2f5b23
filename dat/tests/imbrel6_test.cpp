// What only the older build does: the barcode, and the Close that removes an unwritten image.
#include <tesk/imbrel6.h>

#include <gtest/gtest.h>

#include <string>

#include <tesk/testing/scratch_dir.h>

#include "test_util.h"

namespace {

using dat_test::Get16;
using dat_test::RawImage;
using dat_test::RawTrailer;
using dat_test::ReadBytes;
using dat_test::SizeOf;
using tesk::testing::ScratchDir;
using dat_test::WriteBytes;

TEST(Imbrel6, CloseRemovesACreatedImageNeverWritten) {
  ScratchDir dir;
  std::string path = dir.File("c.DAT");
  {
    ImageData d;
    d.SetName(path.c_str());
    ASSERT_EQ(d.Create(8, 8), 1);
    EXPECT_NE(d.Exists(), 0);
    d.MinData = 1;
    d.Close();
    EXPECT_EQ(d.Exists(), 0);
    EXPECT_EQ(d.Cols, 0);
    EXPECT_EQ(d.Rows, 0);
    EXPECT_EQ(d.MinData, 0);
  }
  {
    ImageData d;  // the destructor closes too
    d.SetName(path.c_str());
    ASSERT_EQ(d.Create(8, 8), 1);
  }
  EXPECT_EQ(SizeOf(path), -1);
  {
    ImageData d;  // written: kept
    d.SetName(path.c_str());
    ASSERT_EQ(d.Create(8, 8), 1);
    ASSERT_EQ(d.Write(), 1);
  }
  EXPECT_EQ(SizeOf(path), 512 + 128 + 104);
  {
    ImageData d;  // read: kept
    d.SetName(path.c_str());
    ASSERT_EQ(d.Read(), 1);
  }
  EXPECT_EQ(SizeOf(path), 512 + 128 + 104);
}

TEST(Imbrel6, BarcodeInTheTrailer) {
  ScratchDir dir;
  std::string path = dir.File("b.DAT");
  {
    ImageData d;
    d.SetName(path.c_str());
    ASSERT_EQ(d.Create(4, 4), 1);
    d.SetBarcode(std::string(80, 'B').c_str());
    EXPECT_EQ(d.Barcode.size(), 63u);
    ASSERT_EQ(d.Write(), 1);
  }
  std::vector<std::uint8_t> b = ReadBytes(path);
  std::size_t trailer = 512 + 32;
  EXPECT_EQ(Get16(b, trailer), 6);
  EXPECT_EQ(b[trailer + 38], 'B');
  EXPECT_EQ(b[trailer + 38 + 63], 0);
  ImageData d;
  d.SetName(path.c_str());
  ASSERT_EQ(d.Read(), 1);
  EXPECT_EQ(d.Barcode, std::string(63, 'B'));

  // Version 4 trailers carry no barcode.
  std::vector<std::uint8_t> t = RawTrailer(4, 0);
  t[38] = 'X';
  WriteBytes(path, RawImage(4, 4, t));
  ASSERT_EQ(d.Read(), 1);
  EXPECT_EQ(d.Barcode, "");
}

TEST(Imbrel6, CutOnRewriteLeavesTheImageWritable) {
  ScratchDir dir;
  std::string path = dir.File("w.DAT");
  ImageData d;
  d.SetName(path.c_str());
  ASSERT_EQ(d.Create(4, 4), 1);
  SUBGRID s{};
  ASSERT_EQ(d.AddSubGrid(&s), 1);
  ASSERT_EQ(d.AddSubGrid(&s), 1);
  ASSERT_EQ(d.Write(), 1);
  d.RemoveSubGrids();
  ASSERT_EQ(d.Write(), 1);
  EXPECT_EQ(SizeOf(path), 512 + 32 + 104);
  d.Pixels[3] = 77;  // mapped read-write again
  ASSERT_EQ(d.Write(), 1);
  EXPECT_EQ(Get16(ReadBytes(path), 512 + 6), 77);
}

}  // namespace
