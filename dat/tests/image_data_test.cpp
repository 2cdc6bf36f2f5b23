// Behaviour shared by both builds: every case runs against each library, both loaded into this
// one process.
#include <tesk/imbrel6.h>
#include <tesk/imbrel7.h>

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <cstring>
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

struct Build7 {
  using Image = imbrel7::ImageData;
  static constexpr int kBuild = 7;
  static auto FileSize(int cols, int rows) { return imbrel7::GetImageFileSize(cols, rows); }
};
struct Build6 {
  using Image = imbrel6::ImageData;
  static constexpr int kBuild = 6;
  static auto FileSize(int cols, int rows) { return imbrel6::GetImageFileSize(cols, rows); }
};
using Builds = ::testing::Types<Build7, Build6>;

template <class B>
class ImageFile : public ::testing::Test {};
TYPED_TEST_SUITE(ImageFile, Builds);

template <class B>
class SubGrids : public ::testing::Test {};
TYPED_TEST_SUITE(SubGrids, Builds);

SUBGRID MakeSubGrid(int row, int col) {
  SUBGRID s;
  s.ROW = row;
  s.COL = col;
  s.ULPX = 10.5f * col;
  s.ULPY = 20.25f * row;
  s.URPX = s.ULPX + 100.0f;
  s.URPY = s.ULPY + 0.5f;
  s.LLPX = s.ULPX - 0.5f;
  s.LLPY = s.ULPY + 100.0f;
  s.LRPX = s.URPX - 0.5f;
  s.LRPY = s.LLPY + 0.5f;
  s.LEFTC = col * 10;
  s.TOPC = row * 10;
  s.RIGHTC = col * 10 + 9;
  s.BOTTOMC = row * 10 + 9;
  return s;
}

bool Same(const SUBGRID& a, const SUBGRID& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

std::uint16_t PixelValue(int x, int y) { return static_cast<std::uint16_t>(x * 31 + y * 7); }

// Sets every header and trailer field to a distinct value.
template <class B>
void FillFields(typename B::Image& d) {
  d.MinData = 3;
  d.MaxData = 60001;
  for (int i = 0; i < 8; ++i) {
    d.StoredStat1[i] = static_cast<std::uint8_t>(i + 1);
    d.StoredStat2[i] = static_cast<std::uint8_t>(0xF0 + i);
  }
  d.PixelSize = 3;
  d.ScanSpeed = 12;
  d.TMP = 25;
  d.ScanValue4 = 1500;
  d.SetScanDate("12/01/26", "10:15:30");
  d.SetScannerID("  SCN-01 ");
  d.SetScannerType(" TS3000\t");
  d.SetChipType("Demo_Array");
  for (int i : {0, 2, 3, 4, 5}) d.SetChipInfo(i, ("field" + std::to_string(i)).c_str());
  d.ChipDigit = 4;
  for (int i = 0; i < 5; ++i) d.StoredValues[i] = -1000 * (i + 1);
  const int corners[8] = {12, 14, 4080, 15, 4079, 4082, 11, 4081};
  for (int i = 0; i < 8; ++i) d.GridCorners[i] = corners[i];
  d.GridCorners[1] = -7;  // the header keeps signed 16-bit corners
  d.CellMargin = 5;
  d.SetExperimentName("experiment 42");
  for (int i = 0; i < 9; ++i) d.TrailerValues[i] = 100 + i;
  if constexpr (B::kBuild == 7) {
    d.ChipCount = 12;
    d.ChipNumber1 = 1.5;
    d.ChipNumber2 = 2.25;
    d.ChipNumber3 = 0.7;
  } else {
    for (int i = 6; i < 10; ++i) d.SetChipInfo(i, ("text" + std::to_string(i)).c_str());
    d.SetBarcode("BC-1234567");
  }
  for (int r = 0; r < 2; ++r)
    for (int c = 0; c < 2; ++c) {
      SUBGRID s = MakeSubGrid(r, c);
      ASSERT_EQ(d.AddSubGrid(&s), 1);
    }
}

template <class B>
void ExpectFields(const typename B::Image& d) {
  EXPECT_EQ(d.MinData, 3);
  EXPECT_EQ(d.MaxData, 60001);
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ(d.StoredStat1[i], i + 1);
    EXPECT_EQ(d.StoredStat2[i], 0xF0 + i);
  }
  EXPECT_EQ(d.PixelSize, 3);
  EXPECT_EQ(d.ScanSpeed, 12);
  EXPECT_EQ(d.TMP, 25);
  EXPECT_EQ(d.ScanValue4, 1500);
  EXPECT_EQ(d.ScanDate, "12/01/26 10:15:30 ");
  EXPECT_EQ(d.ScannerID, "SCN-01");
  EXPECT_EQ(d.ScannerType, "TS3000");
  EXPECT_EQ(d.ChipField[1], "Demo_Array");
  for (int i : {0, 2, 3, 4, 5}) EXPECT_EQ(d.ChipField[i], "field" + std::to_string(i));
  EXPECT_EQ(d.ChipDigit, 4);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(d.StoredValues[i], -1000 * (i + 1));
  const int corners[8] = {12, -7, 4080, 15, 4079, 4082, 11, 4081};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(d.GridCorners[i], corners[i]);
  EXPECT_EQ(d.CellMargin, 5);
  EXPECT_EQ(d.ExperimentName, "experiment 42");
  EXPECT_EQ(d.TrailerVersion, B::kBuild);
  for (int i = 0; i < 9; ++i) EXPECT_EQ(d.TrailerValues[i], 100 + i);
  if constexpr (B::kBuild == 7) {
    EXPECT_EQ(d.ChipCount, 12);
    EXPECT_DOUBLE_EQ(d.ChipNumber1, 1.5);
    EXPECT_DOUBLE_EQ(d.ChipNumber2, 2.25);
    EXPECT_DOUBLE_EQ(d.ChipNumber3, 0.7);
    EXPECT_EQ(d.ChipField[6], "12");
    EXPECT_EQ(d.ChipField[7], "1.500000");
    EXPECT_EQ(d.ChipField[9], "0.7000");
  } else {
    for (int i = 6; i < 10; ++i) EXPECT_EQ(d.ChipField[i], "text" + std::to_string(i));
    EXPECT_EQ(d.Barcode, "BC-1234567");
  }
  EXPECT_EQ(d.NumSubGrids, 4);
  EXPECT_EQ(d.NumSubGridsOnDisk, 4);
}

// Creates a cols x rows image with PixelValue pixels and every field set, and writes it.
template <class B>
void MakeImage(const std::string& path, int cols, int rows) {
  typename B::Image d;
  d.SetName(path.c_str());
  ASSERT_EQ(d.Create(cols, rows), 1);
  for (int y = 0; y < rows; ++y)
    for (int x = 0; x < cols; ++x) d.Pixels[y * cols + x] = PixelValue(x, y);
  FillFields<B>(d);
  ASSERT_EQ(d.Write(), 1);
}

TYPED_TEST(ImageFile, WriteAndReadRoundTripEveryField) {
  using B = TypeParam;
  using ImageData = typename B::Image;
  ScratchDir dir;
  std::string path = dir.File("a.DAT");
  MakeImage<B>(path, 300, 200);
  EXPECT_EQ(SizeOf(path), 512 + 2 * 300 * 200 + 104 + 4 * 56);

  ImageData d;
  d.SetName(path.c_str());
  ASSERT_EQ(d.Read(), 1);
  EXPECT_EQ(d.Cols, 300);
  EXPECT_EQ(d.Rows, 200);
  EXPECT_EQ(d.FirstLine, 0);
  EXPECT_EQ(d.NumLines, 200);
  EXPECT_EQ(d.OpenPath, path);
  ExpectFields<B>(d);
  ASSERT_NE(d.Pixels, nullptr);
  for (int y = 0; y < 200; ++y)
    for (int x = 0; x < 300; ++x) ASSERT_EQ(d.Pixels[y * 300 + x], PixelValue(x, y));
  SUBGRID s;
  for (int r = 0; r < 2; ++r)
    for (int c = 0; c < 2; ++c) {
      ASSERT_EQ(d.GetSubGrid(r, c, &s), 1);
      EXPECT_TRUE(Same(s, MakeSubGrid(r, c)));
    }
  ASSERT_EQ(d.GetSubGrid(3, &s), 1);
  EXPECT_TRUE(Same(s, MakeSubGrid(1, 1)));

  // Writing what was read gives the same bytes.
  std::vector<std::uint8_t> before = ReadBytes(path);
  ASSERT_EQ(d.Write(), 1);
  EXPECT_EQ(ReadBytes(path), before);
}

TYPED_TEST(ImageFile, HeaderBytesAtTheirFixedPositions) {
  using B = TypeParam;
  ScratchDir dir;
  std::string path = dir.File("h.DAT");
  MakeImage<B>(path, 300, 200);
  std::vector<std::uint8_t> b = ReadBytes(path);
  std::string scan(reinterpret_cast<const char*>(&b[33]), 67);
  std::string expected = B::kBuild == 7 ? "CLS=300  RWS=200  " : "CLS=300  RWS=200  ";
  expected += "XIN=3  YIN=3  VE=12 TMP=25 1.5 12/01/26 10:15:30 ";
  EXPECT_EQ(scan, expected);
  EXPECT_EQ(b[55], '3');
  EXPECT_EQ(b[71], 'T');
  EXPECT_EQ(b[82], '1');
  std::string chip(reinterpret_cast<const char*>(&b[100]));
  EXPECT_EQ(chip.substr(0, 18), "SCN-01  TS3000   \x14");
  EXPECT_NE(chip.find(" \x14 Demo_Array.1sq \x14 "), std::string::npos);
  EXPECT_EQ(chip.back(), '4');  // the chip digit
  EXPECT_EQ(Get16(b, 356), 5);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&b[358])), "experiment 42");
  EXPECT_EQ(Get16(b, 512 + 2 * 300 * 200), B::kBuild);  // trailer version
  EXPECT_EQ(Get16(b, 512 + 2 * 300 * 200 + 102), 4);
}

TYPED_TEST(ImageFile, ScanInfoLayoutOfBothBuilds) {
  using B = TypeParam;
  using ImageData = typename B::Image;
  ImageData d;
  d.SetSize(65535, 4096);
  d.PixelSize = 3;
  d.ScanSpeed = 7;
  d.ScanValue4 = 570;
  d.SetScanDate("01/02/26 03:04:05 ", nullptr);
  std::string text = d.GetScanInfo();
  if (B::kBuild == 7)
    EXPECT_EQ(text, "CLS=65535RWS=4096 XIN=3  YIN=3  VE=7         570 01/02/26 03:04:05 ");
  else
    EXPECT_EQ(text.substr(0, 18), "CLS=65535 RWS=4096");
  EXPECT_EQ(text.size(), 67u);
  EXPECT_EQ(text.substr(38, 7), "       ");  // no TMP value
}

TYPED_TEST(ImageFile, HeaderEdgeValues) {
  using B = TypeParam;
  using ImageData = typename B::Image;
  ScratchDir dir;
  std::string path = dir.File("e.DAT");
  {
    ImageData d;
    d.SetName(path.c_str());
    ASSERT_EQ(d.Create(16, 8), 1);
    d.ScanValue4 = 2300;  // "2.3" is not exact in binary
    d.CellMargin = 0;
    d.SetExperimentName(std::string(153, 'e').c_str());
    d.SetChipInfo(10, "ignored");
    d.SetChipInfo(-1, "ignored");
    d.SetChipInfo(7, "overwritten in Imbrel7");
    ASSERT_EQ(d.Write(), 1);
  }
  ImageData d;
  d.SetName(path.c_str());
  ASSERT_EQ(d.Read(), 1);
  EXPECT_EQ(d.ScanValue4, 2300);
  EXPECT_EQ(d.CellMargin, 1);  // a stored margin below 2 reads as 1
  EXPECT_EQ(d.ExperimentName, std::string(153, 'e'));
  EXPECT_EQ(d.ChipField[7], B::kBuild == 7 ? "0.000000" : "overwritten in Imbrel7");
  EXPECT_EQ(d.ChipDigit, 0);

  d.SetExperimentName(std::string(154, 'e').c_str());
  ASSERT_EQ(d.Write(), 1);
  std::vector<std::uint8_t> b = ReadBytes(path);
  for (int i = 358; i < 512; ++i) ASSERT_EQ(b[i], 0) << i;
}

TYPED_TEST(ImageFile, LongTextsAreCutToTheirFields) {
  using B = TypeParam;
  using ImageData = typename B::Image;
  ScratchDir dir;
  std::string path = dir.File("long.DAT");
  ImageData d;
  d.SetName(path.c_str());
  ASSERT_EQ(d.Create(10, 10), 1);
  d.SetScanDate(std::string(60, 'D').c_str(), nullptr);
  d.SetScannerID("X");
  d.SetChipType(std::string(300, 'C').c_str());
  d.StoredValues[0] = 0x01020304;
  ASSERT_EQ(d.Write(), 1);
  EXPECT_EQ(d.ScanInfoText.size(), 67u);
  EXPECT_EQ(d.ChipInfoText.size(), 219u);
  std::vector<std::uint8_t> b = ReadBytes(path);
  EXPECT_EQ(b[100], 'X');    // the scan information stopped at its 67th character
  EXPECT_EQ(b[319], 0);      // the chip information keeps its terminating zero
  EXPECT_EQ(b[320], 0x04);   // the stored values are untouched
  ImageData r;
  r.SetName(path.c_str());
  ASSERT_EQ(r.Read(), 1);
  EXPECT_EQ(r.ScanDate, std::string(18, 'D'));
  EXPECT_EQ(r.StoredValues[0], 0x01020304);
  EXPECT_EQ(r.ScannerID, "X");
}

TYPED_TEST(ImageFile, ChipInformationDecoding) {
  using B = TypeParam;
  using ImageData = typename B::Image;
  ImageData d;
  d.SetScannerType("T");
  d.SetChipType("Demo_Array");
  std::string built = d.GetChipInfo();
  EXPECT_EQ(built.substr(0, 8), "  T   \x14 ");
  // An empty scanner ID survives a round trip through a file.
  ScratchDir dir;
  std::string path = dir.File("c.DAT");
  d.SetName(path.c_str());
  ASSERT_EQ(d.Create(4, 4), 1);
  ASSERT_EQ(d.Write(), 1);
  ImageData r;
  r.SetName(path.c_str());
  ASSERT_EQ(r.Read(), 1);
  EXPECT_EQ(r.ScannerID, "");
  EXPECT_EQ(r.ScannerType, "T");
  EXPECT_EQ(r.ChipField[1], "Demo_Array");

  // The chip digit goes after the last separator: a single digit as one character, a larger
  // value (from a damaged file) in full.
  d.ChipDigit = 7;
  std::string info = d.GetChipInfo();
  EXPECT_TRUE(info.ends_with("\x14 7")) << info;
  d.ChipDigit = 2147483647;
  info = d.GetChipInfo();
  EXPECT_TRUE(info.ends_with("\x14 2147483647")) << info;
}

TYPED_TEST(ImageFile, TrailerCases) {
  using B = TypeParam;
  using ImageData = typename B::Image;
  ScratchDir dir;
  std::string path = dir.File("t.DAT");
  ImageData d;
  d.SetName(path.c_str());

  WriteBytes(path, RawImage(20, 10));  // ends right behind the pixels
  ASSERT_EQ(d.Read(), 1);
  EXPECT_EQ(d.TrailerVersion, 0);
  EXPECT_EQ(d.NumSubGrids, 0);
  EXPECT_EQ(d.Pixels[3 * 20 + 4], 7);

  WriteBytes(path, RawImage(20, 10, std::vector<std::uint8_t>(50, 7)));  // 50 bytes of trailer
  EXPECT_EQ(d.Read(), 0);

  // A trailer announcing more records than the file holds fails; nothing is sized from it.
  std::vector<std::uint8_t> tail = RawTrailer(7, 65535);
  tail.resize(104 + 2 * 56);
  WriteBytes(path, RawImage(20, 10, tail));
  EXPECT_EQ(d.Read(), 0);

  // Version 4 and older: the rest of the trailer is ignored.
  WriteBytes(path, RawImage(20, 10, RawTrailer(4, 9)));
  ASSERT_EQ(d.Read(), 1);
  EXPECT_EQ(d.TrailerVersion, 4);
  EXPECT_EQ(d.NumSubGrids, 0);

  // A version 5 trailer with its two records.
  tail = RawTrailer(5, 2);
  for (int i = 0; i < 2; ++i) {
    SUBGRID s = MakeSubGrid(i, 0);
    const auto* p = reinterpret_cast<const std::uint8_t*>(&s);
    tail.insert(tail.end(), p, p + sizeof s);
  }
  WriteBytes(path, RawImage(20, 10, tail));
  ASSERT_EQ(d.Read(), 1);
  EXPECT_EQ(d.TrailerVersion, 5);
  EXPECT_EQ(d.NumSubGrids, 2);
  SUBGRID s;
  ASSERT_EQ(d.GetSubGrid(1, 0, &s), 1);
  EXPECT_TRUE(Same(s, MakeSubGrid(1, 0)));
}

TYPED_TEST(ImageFile, ShortAndInvalidFilesAreRefused) {
  using B = TypeParam;
  using ImageData = typename B::Image;
  ScratchDir dir;
  std::string path = dir.File("s.DAT");
  ImageData d;
  d.SetName(path.c_str());

  std::vector<std::uint8_t> image = RawImage(100, 100);
  image.resize(512 + 100);  // header announces 20000 pixel bytes
  WriteBytes(path, image);
  EXPECT_EQ(d.Read(), 0);
  EXPECT_EQ(d.Pixels, nullptr);

  image.resize(300);  // not even a whole header
  WriteBytes(path, image);
  EXPECT_EQ(d.Read(), 0);

  image = RawImage(4, 4);
  image[0] = 0xFB;
  WriteBytes(path, image);
  EXPECT_EQ(d.Read(), 0);

  image = RawImage(4, 4);
  image[3] = image[4] = 0;  // no rows
  WriteBytes(path, image);
  EXPECT_EQ(d.Read(), 0);

  d.SetName(dir.File("missing.DAT").c_str());
  EXPECT_EQ(d.Read(), 0);
  EXPECT_EQ(d.Exists(), 0);
}

TYPED_TEST(SubGrids, Operations) {
  using B = TypeParam;
  using ImageData = typename B::Image;
  ImageData d;
  SUBGRID s = MakeSubGrid(1, 2);
  EXPECT_EQ(d.AddSubGrid(nullptr), 0);
  EXPECT_EQ(d.UpdateSubGrid(nullptr), 0);
  EXPECT_EQ(d.GetSubGrid(0, nullptr), 0);
  EXPECT_EQ(d.GetSubGrid(1, 2, nullptr), 0);
  EXPECT_EQ(d.UpdateSubGrid(&s), 0);  // none with that key
  ASSERT_EQ(d.AddSubGrid(&s), 1);
  SUBGRID other = MakeSubGrid(0, 0);
  ASSERT_EQ(d.AddSubGrid(&other), 1);
  EXPECT_EQ(d.NumSubGrids, 2);

  SUBGRID changed = s;
  changed.RIGHTC = 99;
  EXPECT_EQ(d.UpdateSubGrid(&changed), 1);
  SUBGRID out;
  ASSERT_EQ(d.GetSubGrid(0, &out), 1);
  EXPECT_EQ(out.RIGHTC, 99);
  EXPECT_EQ(d.GetSubGrid(2, &out), 0);
  EXPECT_EQ(d.GetSubGrid(-1, &out), 0);

  // A missing key leaves the record cleared with ROW = COL = -1.
  EXPECT_EQ(d.GetSubGrid(5, 5, &out), 0);
  EXPECT_EQ(out.ROW, -1);
  EXPECT_EQ(out.COL, -1);
  EXPECT_EQ(out.ULPX, 0.0f);
  EXPECT_EQ(out.BOTTOMC, 0);

  d.RemoveSubGrids();
  EXPECT_EQ(d.NumSubGrids, 0);
  EXPECT_EQ(d.GetSubGrid(0, &out), 0);
}

TYPED_TEST(SubGrids, RewriteWithFewerCutsTheFile) {
  using B = TypeParam;
  using ImageData = typename B::Image;
  ScratchDir dir;
  std::string path = dir.File("g.DAT");
  MakeImage<B>(path, 30, 20);
  ImageData d;
  d.SetName(path.c_str());
  ASSERT_EQ(d.Read(), 1);
  ASSERT_EQ(d.NumSubGridsOnDisk, 4);
  d.RemoveSubGrids();
  SUBGRID s = MakeSubGrid(7, 7);
  ASSERT_EQ(d.AddSubGrid(&s), 1);
  ASSERT_EQ(d.Write(), 1);
  EXPECT_EQ(SizeOf(path), 512 + 2 * 30 * 20 + 104 + 56);
  EXPECT_EQ(d.NumSubGridsOnDisk, 1);
  ASSERT_NE(d.Pixels, nullptr);
  EXPECT_EQ(d.Pixels[5 * 30 + 6], PixelValue(6, 5));

  ImageData r;
  r.SetName(path.c_str());
  ASSERT_EQ(r.Read(), 1);
  EXPECT_EQ(r.NumSubGrids, 1);
  SUBGRID out;
  ASSERT_EQ(r.GetSubGrid(0, &out), 1);
  EXPECT_TRUE(Same(out, s));

  // More records than before grow the file again.
  for (int i = 0; i < 3; ++i) {
    SUBGRID g = MakeSubGrid(i, 9);
    ASSERT_EQ(r.AddSubGrid(&g), 1);
  }
  ASSERT_EQ(r.Write(), 1);
  EXPECT_EQ(SizeOf(path), 512 + 2 * 30 * 20 + 104 + 4 * 56);
}

TYPED_TEST(ImageFile, WriteToANewNameGoesThroughATemporaryFile) {
  using B = TypeParam;
  using ImageData = typename B::Image;
  ScratchDir dir;
  std::string source = dir.File("src.DAT");
  std::string target = dir.File("dst.DAT");
  MakeImage<B>(source, 128, 64);
  MakeImage<B>(target, 8, 8);  // a good file that must survive a failed write
  std::vector<std::uint8_t> good = ReadBytes(target);

  ImageData d;
  d.SetName(source.c_str());
  ASSERT_EQ(d.Read(), 1);
  d.SetName(target.c_str());

  // Let the write fail part way through: files may not grow past 8 KiB for a moment.
  std::signal(SIGXFSZ, SIG_IGN);
  rlimit old;
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
  rlimit small = old;
  small.rlim_cur = 8192;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  int failed = d.Write();
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &old), 0);
  EXPECT_EQ(failed, 0);
  EXPECT_EQ(ReadBytes(target), good);
  EXPECT_EQ(dir.List().size(), 2u);  // no temporary file left behind

  ASSERT_EQ(d.Write(), 1);
  EXPECT_EQ(ReadBytes(target), ReadBytes(source));
  EXPECT_EQ(d.OpenPath, target);
  EXPECT_EQ(dir.List().size(), 2u);
  ASSERT_NE(d.Pixels, nullptr);  // the new file is mapped
  EXPECT_EQ(d.Pixels[10 * 128 + 3], PixelValue(3, 10));

  // Without pixel data there is nothing to write.
  ImageData empty;
  empty.SetName(dir.File("none.DAT").c_str());
  empty.SetSize(4, 4);
  EXPECT_EQ(empty.Write(), 0);
  EXPECT_EQ(empty.Exists(), 0);
}

TYPED_TEST(ImageFile, WriteFromCallerPixels) {
  using B = TypeParam;
  using ImageData = typename B::Image;
  ScratchDir dir;
  std::string path = dir.File("p.DAT");
  std::vector<std::uint16_t> pixels(5 * 3);
  for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<std::uint16_t>(i * 11);
  ImageData d;
  d.SetName(path.c_str());
  d.SetSize(5, 3);
  d.Pixels = pixels.data();
  ASSERT_EQ(d.Write(), 1);
  d.Pixels = nullptr;
  ImageData r;
  r.SetName(path.c_str());
  ASSERT_EQ(r.Read(), 1);
  EXPECT_EQ(r.Pixels[14], 154);
}

TYPED_TEST(ImageFile, RenameAndDelete) {
  using B = TypeParam;
  using ImageData = typename B::Image;
  ScratchDir dir;
  std::string a = dir.File("a.DAT");
  std::string b = dir.File("b.DAT");
  MakeImage<B>(a, 40, 30);
  ImageData d;
  d.SetName(a.c_str());
  ASSERT_EQ(d.Read(), 1);
  EXPECT_EQ(d.Rename(nullptr), 0);
  EXPECT_EQ(d.Rename(""), 0);
  ASSERT_EQ(d.Rename(b.c_str()), 1);
  EXPECT_EQ(d.FileName, b);
  EXPECT_EQ(d.OpenPath, b);
  EXPECT_EQ(SizeOf(a), -1);
  ASSERT_NE(d.Pixels, nullptr);  // mapped again
  EXPECT_EQ(d.Pixels[29 * 40 + 39], PixelValue(39, 29));

  ImageData missing;
  missing.SetName(dir.File("nothing.DAT").c_str());
  EXPECT_EQ(missing.Rename(a.c_str()), 0);

  EXPECT_NE(d.Exists(), 0);
  EXPECT_NE(d.Delete(), 0);
  EXPECT_EQ(d.Pixels, nullptr);
  EXPECT_EQ(d.Exists(), 0);
  EXPECT_EQ(d.Delete(), 0);
  ImageData unnamed;
  EXPECT_EQ(unnamed.Exists(), 0);
}

TYPED_TEST(ImageFile, CreateChecksItsDimensions) {
  using B = TypeParam;
  using ImageData = typename B::Image;
  ScratchDir dir;
  ImageData d;
  d.SetName(dir.File("x.DAT").c_str());
  EXPECT_EQ(d.Create(0, 10), 0);
  EXPECT_EQ(d.Create(10, -1), 0);
  EXPECT_EQ(d.Create(65536, 1), 0);
  ImageData unnamed;
  EXPECT_EQ(unnamed.Create(2, 2), 0);
  ASSERT_EQ(d.Create(3, 2), 1);
  std::vector<std::uint8_t> b = ReadBytes(dir.File("x.DAT"));
  ASSERT_EQ(b.size(), 512u + 12u);
  EXPECT_EQ(b[0], 0xFC);
  EXPECT_EQ(Get16(b, 1), 3);
  EXPECT_EQ(Get16(b, 3), 2);
  EXPECT_EQ(b[5], 6);
  d.Pixels[5] = 0xBEEF;  // the mapping is writable and shared with the file
  ASSERT_EQ(d.Write(), 1);
  EXPECT_EQ(Get16(ReadBytes(dir.File("x.DAT")), 512 + 10), 0xBEEF);
}

TYPED_TEST(ImageFile, SetSizeOfAMappedImageCutsTheFile) {
  using B = TypeParam;
  using ImageData = typename B::Image;
  ScratchDir dir;
  std::string path = dir.File("z.DAT");
  MakeImage<B>(path, 50, 40);
  ImageData d;
  d.SetName(path.c_str());
  ASSERT_EQ(d.Read(), 1);
  d.SetSize(50, 40);  // unchanged: nothing happens
  EXPECT_EQ(SizeOf(path), 512 + 2 * 50 * 40 + 104 + 4 * 56);
  d.SetSize(50, 20);
  EXPECT_EQ(SizeOf(path), 512 + 2 * 50 * 20);
  EXPECT_EQ(d.NumLines, 20);
  ASSERT_NE(d.Pixels, nullptr);
  EXPECT_EQ(d.Pixels[19 * 50 + 49], PixelValue(49, 19));
  d.SetSize(60, 30);  // growing: the dropped trailer does not turn into pixels
  EXPECT_EQ(SizeOf(path), 512 + 2 * 60 * 30);
  ASSERT_NE(d.Pixels, nullptr);
  EXPECT_EQ(d.Pixels[60 * 30 - 1], 0);
  ASSERT_EQ(d.Write(), 1);  // header, trailer and sub-grids back behind the new pixels
  ImageData r;
  r.SetName(path.c_str());
  ASSERT_EQ(r.Read(), 1);
  EXPECT_EQ(r.Cols, 60);
  EXPECT_EQ(r.Rows, 30);
  EXPECT_EQ(r.NumSubGrids, 4);
}

TYPED_TEST(ImageFile, GetImageFileSize) {
  using B = TypeParam;
  EXPECT_EQ(B::FileSize(1000, 1000), 512 + 2 * 1000 * 1000);
  EXPECT_EQ(B::FileSize(0, 7), 512);
  EXPECT_EQ(B::FileSize(-1, 7), -1);
  if constexpr (B::kBuild == 7) {
    EXPECT_EQ(B::FileSize(65535, 65535), 512 + 2LL * 65535 * 65535);
  } else {
    EXPECT_EQ(B::FileSize(65535, 65535), -1);  // beyond 32-bit offsets
  }
}

}  // namespace
