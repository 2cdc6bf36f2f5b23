// Both builds in one process: each library's class lives in its own inline namespace, and files
// written by one build read with the other.
#include <tesk/imbrel6.h>
#include <tesk/imbrel7.h>

#include <gtest/gtest.h>

#include <string>

#include <tesk/testing/scratch_dir.h>

#include "test_util.h"

namespace {

using tesk::testing::ScratchDir;

template <class Image>
void MakeImage(Image& d, const std::string& path) {
  d.SetName(path.c_str());
  ASSERT_EQ(d.Create(20, 10), 1);
  for (int i = 0; i < 200; ++i) d.Pixels[i] = static_cast<std::uint16_t>(i * 3);
  d.PixelSize = 3;
  d.ScanSpeed = 4;
  d.SetChipType("Shared");
  d.SetScannerID("S1");
  d.GridCorners[4] = 19;
  ASSERT_EQ(d.Write(), 1);
}

template <class Image>
void ExpectImage(Image& d) {
  EXPECT_EQ(d.Cols, 20);
  EXPECT_EQ(d.Rows, 10);
  EXPECT_EQ(d.PixelSize, 3);
  EXPECT_EQ(d.ScanSpeed, 4);
  EXPECT_EQ(d.ChipField[1], "Shared");
  EXPECT_EQ(d.ScannerID, "S1");
  EXPECT_EQ(d.GridCorners[4], 19);
  EXPECT_EQ(d.Pixels[199], 597);
}

TEST(BothBuilds, DistinctClassesInOneProcess) {
  static_assert(!std::is_same_v<imbrel6::ImageData, imbrel7::ImageData>);
  imbrel7::ImageData seven;
  imbrel6::ImageData six;
  EXPECT_EQ(seven.TrailerVersion, 7);
  EXPECT_EQ(six.TrailerVersion, 6);
  EXPECT_EQ(imbrel7::GetImageFileSize(1000, 1000), 2000512);
  EXPECT_EQ(imbrel6::GetImageFileSize(1000, 1000), 2000512);
}

TEST(BothBuilds, SixWritesSevenReads) {
  ScratchDir dir;
  std::string path = dir.File("six.DAT");
  {
    imbrel6::ImageData six;
    six.SetBarcode("BAR");
    MakeImage(six, path);
  }
  imbrel7::ImageData seven;
  seven.SetName(path.c_str());
  ASSERT_EQ(seven.Read(), 1);
  ExpectImage(seven);
  EXPECT_EQ(seven.TrailerVersion, 6);
  EXPECT_EQ(seven.ChipNumber3, 3.0);  // chip field 9 is empty: the pixel size stands in
}

TEST(BothBuilds, SevenWritesSixReads) {
  ScratchDir dir;
  std::string path = dir.File("seven.DAT");
  {
    imbrel7::ImageData seven;
    MakeImage(seven, path);
  }
  imbrel6::ImageData six;
  six.SetName(path.c_str());
  ASSERT_EQ(six.Read(), 1);
  ExpectImage(six);
  EXPECT_EQ(six.TrailerVersion, 7);
  EXPECT_EQ(six.Barcode, "");  // version 7 keeps zeros where the barcode was
}

}  // namespace
