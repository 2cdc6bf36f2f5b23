// Windowed access of Imbrel7: Open, MapData, ReadHeader and WriteHeader.
#include <tesk/imbrel7.h>

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include <tesk/testing/scratch_dir.h>

#include "test_util.h"

namespace {

using dat_test::RawImage;
using dat_test::RawTrailer;
using dat_test::ReadBytes;
using dat_test::SizeOf;
using tesk::testing::ScratchDir;
using dat_test::WriteBytes;

std::uint16_t PixelValue(int x, int y) { return static_cast<std::uint16_t>(x * 3 + y * 1000); }

void MakeImage(const std::string& path, int cols, int rows) {
  ImageData d;
  d.SetName(path.c_str());
  ASSERT_EQ(d.Create(cols, rows), 1);
  for (int y = 0; y < rows; ++y)
    for (int x = 0; x < cols; ++x) d.Pixels[y * cols + x] = PixelValue(x, y);
  d.PixelSize = 2;
  d.SetChipType("Window");
  SUBGRID s{};
  s.ROW = 1;
  ASSERT_EQ(d.AddSubGrid(&s), 1);
  ASSERT_EQ(d.Write(), 1);
}

TEST(MapData, WindowsAtUnalignedOffsets) {
  ScratchDir dir;
  std::string path = dir.File("w.DAT");
  const int cols = 1001, rows = 777;  // odd width: most windows start inside a page
  MakeImage(path, cols, rows);
  ImageData d;
  d.SetName(path.c_str());
  ASSERT_EQ(d.ReadHeader(), 1);
  EXPECT_EQ(d.Pixels, nullptr);
  ASSERT_EQ(d.Open(IMAGE_READ, IMAGE_SHARE_READ), 1);
  EXPECT_EQ(d.Pixels, nullptr);
  for (int first : {0, 1, 3, 250, 251, 500, 776, rows - 10}) {
    ASSERT_EQ(d.MapData(first, 250), 1) << first;
    EXPECT_EQ(d.FirstLine, first);
    EXPECT_EQ(d.NumLines, std::min(250, rows - first));
    for (int y = 0; y < d.NumLines; ++y)
      for (int x : {0, 1, cols / 2, cols - 1})
        ASSERT_EQ(d.Pixels[y * cols + x], PixelValue(x, first + y)) << first << " " << y;
  }
  ASSERT_EQ(d.MapData(rows - 10, 250), 1);
  EXPECT_EQ(d.NumLines, 10);
}

TEST(MapData, RefusesWhatItCannotMap) {
  ScratchDir dir;
  std::string path = dir.File("r.DAT");
  MakeImage(path, 64, 64);
  ImageData d;
  d.SetName(path.c_str());
  ASSERT_EQ(d.ReadHeader(), 1);
  EXPECT_EQ(d.MapData(0, 10), 0);  // not open
  ASSERT_EQ(d.Open(IMAGE_READ, IMAGE_SHARE_READ), 1);
  EXPECT_EQ(d.MapData(64, 10), 0);
  EXPECT_EQ(d.MapData(-1, 10), 0);
  EXPECT_EQ(d.MapData(0, 0), 0);
  EXPECT_EQ(d.Pixels, nullptr);
  EXPECT_EQ(d.NumLines, 0);
  EXPECT_EQ(d.MapData(10, 5), 1);  // a failure leaves the file usable

  // A file shorter than its header announces is never mapped past its end.
  std::vector<std::uint8_t> raw = RawImage(64, 64);
  raw.resize(512 + 2 * 64 * 10);
  WriteBytes(path, raw);
  ImageData s;
  s.SetName(path.c_str());
  ASSERT_EQ(s.ReadHeader(), 1);  // reads no pixels
  ASSERT_EQ(s.Open(IMAGE_READ, IMAGE_SHARE_READ), 1);
  EXPECT_EQ(s.MapData(0, 5), 0);
  EXPECT_EQ(s.MapData(60, 4), 0);
  ImageData missing;
  missing.SetName(dir.File("none.DAT").c_str());
  EXPECT_EQ(missing.Open(IMAGE_READ, IMAGE_SHARE_READ), 0);
  ImageData unnamed;
  EXPECT_EQ(unnamed.Open(IMAGE_READ, IMAGE_SHARE_READ), 0);
}

TEST(MapData, WritableWindowsBuildANewImage) {
  ScratchDir dir;
  std::string path = dir.File("n.DAT");
  ImageData d;
  d.SetName(path.c_str());
  d.SetSize(300, 600);
  ASSERT_EQ(d.Open(IMAGE_WRITE, 0), 1);  // created
  for (int first = 0; first < 600; first += 250) {
    ASSERT_EQ(d.MapData(first, 250), 1);
    for (int y = 0; y < d.NumLines; ++y)
      for (int x = 0; x < 300; ++x) d.Pixels[y * 300 + x] = PixelValue(x, first + y);
  }
  EXPECT_EQ(SizeOf(path), 512 + 2 * 300 * 600);
  d.ScanSpeed = 9;
  ASSERT_EQ(d.WriteHeader(), 1);
  d.Close();

  ImageData r;
  r.SetName(path.c_str());
  ASSERT_EQ(r.Read(), 1);
  EXPECT_EQ(r.ScanSpeed, 9);
  EXPECT_EQ(r.TrailerVersion, 7);
  EXPECT_EQ(r.Pixels[599 * 300 + 299], PixelValue(299, 599));
  EXPECT_EQ(r.Pixels[250 * 300 + 1], PixelValue(1, 250));
}

TEST(MapData, WriteOfAnOpenedFileRewritesInPlace) {
  ScratchDir dir;
  std::string path = dir.File("p.DAT");
  MakeImage(path, 100, 100);
  ImageData d;
  d.SetName(path.c_str());
  ASSERT_EQ(d.ReadHeader(), 1);
  ASSERT_EQ(d.Open(IMAGE_READ | IMAGE_WRITE, IMAGE_SHARE_READ), 1);
  ASSERT_EQ(d.MapData(40, 20), 1);
  d.Pixels[0] = 4242;  // line 40, through a writable window
  d.RemoveSubGrids();
  d.ScanSpeed = 33;
  ASSERT_EQ(d.Write(), 1);
  EXPECT_EQ(SizeOf(path), 512 + 2 * 100 * 100 + 104);
  EXPECT_EQ(d.FirstLine, 0);  // the whole file is mapped afterwards
  EXPECT_EQ(d.NumLines, 100);
  EXPECT_EQ(d.Pixels[40 * 100], 4242);

  ImageData r;
  r.SetName(path.c_str());
  ASSERT_EQ(r.ReadHeader(), 1);
  EXPECT_EQ(r.ScanSpeed, 33);
  EXPECT_EQ(r.NumSubGrids, 0);
}

TEST(ReadHeader, ReadsHeaderTrailerAndSubGridsOnly) {
  ScratchDir dir;
  std::string path = dir.File("h.DAT");
  MakeImage(path, 40, 20);
  ImageData d;
  d.SetName(path.c_str());
  ASSERT_EQ(d.ReadHeader(), 1);
  EXPECT_EQ(d.Cols, 40);
  EXPECT_EQ(d.PixelSize, 2);
  EXPECT_EQ(d.ChipField[1], "Window");
  EXPECT_EQ(d.ChipField[9], "0.0000");
  EXPECT_EQ(d.NumSubGrids, 1);
  EXPECT_EQ(d.TrailerVersion, 7);
  EXPECT_EQ(d.Pixels, nullptr);

  WriteBytes(path, RawImage(40, 20, std::vector<std::uint8_t>(103, 1)));
  EXPECT_EQ(d.ReadHeader(), 0);
  WriteBytes(path, RawImage(40, 20, RawTrailer(7, 3)));  // records missing
  EXPECT_EQ(d.ReadHeader(), 0);
  d.SetName(dir.File("none.DAT").c_str());
  EXPECT_EQ(d.ReadHeader(), 0);
}

TEST(WriteHeader, KeepsThePixels) {
  ScratchDir dir;
  std::string path = dir.File("k.DAT");
  MakeImage(path, 40, 20);
  ImageData d;
  d.SetName(path.c_str());
  ASSERT_EQ(d.ReadHeader(), 1);
  d.MaxData = 777;
  SUBGRID s{};
  s.ROW = 5;
  ASSERT_EQ(d.AddSubGrid(&s), 1);
  ASSERT_EQ(d.WriteHeader(), 1);
  ImageData r;
  r.SetName(path.c_str());
  ASSERT_EQ(r.Read(), 1);
  EXPECT_EQ(r.MaxData, 777);
  EXPECT_EQ(r.NumSubGrids, 2);
  EXPECT_EQ(r.Pixels[19 * 40 + 39], PixelValue(39, 19));
}

TEST(Open, WriteOnlyReplacesAndReadWriteKeeps) {
  ScratchDir dir;
  std::string path = dir.File("o.DAT");
  MakeImage(path, 10, 10);
  std::int64_t size = SizeOf(path);
  ImageData d;
  d.SetName(path.c_str());
  ASSERT_EQ(d.Open(IMAGE_READ | IMAGE_WRITE, 0), 1);
  d.Close();
  EXPECT_EQ(SizeOf(path), size);
  ASSERT_EQ(d.Open(IMAGE_WRITE, 0), 1);
  d.Close();
  EXPECT_EQ(SizeOf(path), 0);
  d.SetName(dir.File("fresh.DAT").c_str());
  ASSERT_EQ(d.Open(IMAGE_READ | IMAGE_WRITE, 0), 1);
  EXPECT_NE(d.Exists(), 0);
}

}  // namespace
