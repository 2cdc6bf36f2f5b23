// TeskDATFile driven late-bound on image files written with Imbrel7, including concurrent
// readers of one object's row window.
#include <gtest/gtest.h>
#include <tesk/imbrel7.h>

#include <atomic>
#include <cstdint>
#include <thread>
#include <vector>

#include "late_bound.h"

namespace {

using namespace tarvex_test;

constexpr int kCols = 20, kRows = 600;

std::uint16_t Pixel(int x, int y) { return static_cast<std::uint16_t>((x * 131 + y * 7) % 65536); }

void WriteSample(const std::string& path) {
  ImageData d;
  d.SetName(path.c_str());
  ASSERT_EQ(d.Create(kCols, kRows), 1);
  for (int y = 0; y < kRows; ++y)
    for (int x = 0; x < kCols; ++x) d.Pixels[y * kCols + x] = Pixel(x, y);
  d.SetChipType("Demo_Array");
  d.SetScanDate("12/01/26", "10:15:30");
  d.SetScannerID("scan-9");
  d.MinData = 3;
  d.MaxData = 60000;
  d.PixelSize = 3;
  d.ScanSpeed = 12;
  d.CellMargin = 2;
  const std::int32_t corners[8] = {1, 2, 30, 4, 31, 40, 5, 41};  // UL, UR, LR, LL
  for (int i = 0; i < 8; ++i) d.GridCorners[i] = corners[i];
  ASSERT_EQ(d.Write(), 1);
}

constexpr const char* kSource = "VarolithTarvex.TeskDATFile.1";

struct DatFile : ::testing::Test {
  ScratchDir dir;
  Late dat{Create(CLSID_TeskDATFile)};
  void SetUp() override {
    ASSERT_NE(dat.Get(), nullptr);
    WriteSample(dir.File("scan.DAT"));
    ASSERT_EQ(dat.Put("Name", "scan.DAT"), S_OK);
    ASSERT_EQ(dat.Put("DataPath", dir.str()), S_OK);
  }
  void ExpectFailure(HRESULT hr, const std::string& description) {
    EXPECT_EQ(hr, E_FAIL);
    EXPECT_EQ(dat.Error().description, description);
    EXPECT_EQ(dat.Error().source, kSource);
  }
};

TEST_F(DatFile, BeforeAReadValuesAreEmptyAndIntensitiesAre65535) {
  EXPECT_EQ(dat.Num("NumRows"), 0);
  EXPECT_EQ(dat.Str("ChipType"), "");
  EXPECT_EQ(dat.NumAt("GetIntensity", 1, 1), 65535);
  tesk::Variant line;
  EXPECT_EQ(dat.Call("GetLineIntensities", {Long(0), Out(&line)}), S_OK);
  EXPECT_EQ(line.parray, nullptr);
}

TEST_F(DatFile, ReadHeaderNeedsTheLibraryPathAndReadDoesNot) {
  ExpectFailure(dat.Call("ReadHeader"), "Failure in ITeskDATFile-ReadHeader: Library path should not be empty");
  ASSERT_EQ(dat.Call("Read"), S_OK);
  ASSERT_EQ(dat.Put("LibPath", dir.str()), S_OK);
  ASSERT_EQ(dat.Call("#28"), S_OK);
}

TEST_F(DatFile, HeaderValuesByNameAndByIdentifier) {
  ASSERT_EQ(dat.Put("LibPath", dir.str()), S_OK);
  ASSERT_EQ(dat.Call("ReadHeader"), S_OK);
  EXPECT_EQ(dat.Str("ChipType"), "Demo_Array");
  EXPECT_EQ(dat.Num("NumPixelsPerRow"), kCols);
  EXPECT_EQ(dat.Num("#8"), kRows);
  EXPECT_EQ(dat.Num("MinData"), 3);
  EXPECT_EQ(dat.Num("MaxData"), 60000);
  EXPECT_EQ(dat.Num("PixelSize"), 3);
  EXPECT_EQ(dat.Num("CellMargin"), 2);
  EXPECT_EQ(dat.Num("ScanSpeed"), 12);
  EXPECT_EQ(dat.Str("ScanDate"), "Dec 01 2026 10:15AM");
  EXPECT_EQ(dat.Str("#15"), "scan-9");
  EXPECT_EQ(dat.Num("UpperLeftX"), 1);
  EXPECT_EQ(dat.Num("UpperLeftY"), 2);
  EXPECT_EQ(dat.Num("UpperRightX"), 30);
  EXPECT_EQ(dat.Num("UpperRightY"), 4);
  // Lower left is the header's fourth corner, lower right its third.
  EXPECT_EQ(dat.Num("LowerLeftX"), 5);
  EXPECT_EQ(dat.Num("#21"), 41);
  EXPECT_EQ(dat.Num("LowerRightX"), 31);
  EXPECT_EQ(dat.Num("LowerRightY"), 40);
  EXPECT_EQ(dat.Str("Date"), "");  // only Read sets the date
  EXPECT_EQ(dat.NumAt("GetIntensity", 1, 1), 65535);
}

TEST_F(DatFile, PixelsComeThroughForwardWindowsAndEarlierRowsRemap) {
  ASSERT_EQ(dat.Call("Read"), S_OK);
  EXPECT_NE(dat.Str("Date"), "");
  EXPECT_EQ(dat.NumAt("GetIntensity", 3, 260), Pixel(3, 260));
  EXPECT_EQ(dat.NumAt("#29", 19, 509), Pixel(19, 509));
  EXPECT_EQ(dat.NumAt("GetIntensity", 0, 10), Pixel(0, 10));
  EXPECT_EQ(dat.NumAt("GetIntensity", 5, kRows - 1), Pixel(5, kRows - 1));

  tesk::Variant line;
  ASSERT_EQ(dat.Call("GetLineIntensities", {Long(kRows - 1), Out(&line)}), S_OK);
  ASSERT_EQ(line.vt, VT_ARRAY | VT_I4);
  LONG upper = -1;
  SafeArrayGetUBound(line.parray, 1, &upper);
  ASSERT_EQ(upper, kCols - 1);
  for (LONG x = 0; x < kCols; ++x) {
    LONG v = -1;
    SafeArrayGetElement(line.parray, &x, &v);
    EXPECT_EQ(v, Pixel(x, kRows - 1));
  }

  tesk::Variant v;
  ExpectFailure(dat.Call("GetIntensity", {Long(kCols), Long(0)}, &v),
                "Failure in ITeskDATFile-GetIntensity: Position X out of range error");
  ExpectFailure(dat.Call("GetIntensity", {Long(0), Long(kRows)}, &v),
                "Failure in ITeskDATFile-GetIntensity: Position Y out of range error");
  ExpectFailure(dat.Call("GetLineIntensities", {Long(kRows), Out(&line)}),
                "Failure in ITeskDATFile-GetLineIntensities: Index out of range error");
  tesk::ComPtr<ITeskDATFile> direct;
  ASSERT_EQ(dat.Get()->QueryInterface(IID_ITeskDATFile, direct.PutVoid()), S_OK);
  EXPECT_EQ(direct->GetLineIntensities(0, nullptr), E_POINTER);
  EXPECT_EQ(TakeError().description,
            "Failure in ITeskDATFile-GetLineIntensities: The input safearray pointer should not be NULL");
}

// Callers on several threads ask for rows in different windows of one object: each must read
// its own row, never a window another caller has just replaced.
TEST_F(DatFile, ConcurrentReadersOfOneObjectSeeTheirOwnRows) {
  ASSERT_EQ(dat.Call("Read"), S_OK);
  tesk::ComPtr<ITeskDATFile> direct;
  ASSERT_EQ(dat.Get()->QueryInterface(IID_ITeskDATFile, direct.PutVoid()), S_OK);
  std::atomic<int> wrong{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < 400; ++i) {
        const LONG y = (t * 151 + i * 257) % kRows;
        const LONG x = (i + t) % kCols;
        LONG v = -1;
        if (direct->GetIntensity(x, y, &v) != S_OK || v != Pixel(x, y)) ++wrong;
        SAFEARRAY* line = nullptr;
        if (direct->GetLineIntensities(y, &line) != S_OK || line == nullptr) {
          ++wrong;
          continue;
        }
        LONG* data = nullptr;
        SafeArrayAccessData(line, reinterpret_cast<void**>(&data));
        for (int c = 0; c < kCols; ++c)
          if (data[c] != Pixel(c, y)) ++wrong;
        SafeArrayUnaccessData(line);
        SafeArrayDestroy(line);
      }
    });
  }
  for (auto& th : threads) th.join();
  EXPECT_EQ(wrong.load(), 0);
}

TEST_F(DatFile, ExistsAfterAReadKeepsThePixelsReadable) {
  ASSERT_EQ(dat.Call("Read"), S_OK);
  EXPECT_EQ(dat.NumAt("GetIntensity", 2, 300), Pixel(2, 300));
  tesk::Variant exists;
  ASSERT_EQ(dat.Call("Exists", {}, &exists), S_OK);
  EXPECT_EQ(dat.NumAt("GetIntensity", 2, 301), Pixel(2, 301));
  EXPECT_EQ(dat.NumAt("GetIntensity", 4, 5), Pixel(4, 5));
}

TEST_F(DatFile, ExistsAndReadFailures) {
  tesk::Variant exists;
  ASSERT_EQ(dat.Call("Exists", {}, &exists), S_OK);
  EXPECT_EQ(AsLong(exists), 1);
  ASSERT_EQ(dat.Put("Name", "none.dat"), S_OK);
  ASSERT_EQ(dat.Call("#26", {}, &exists), S_OK);
  EXPECT_EQ(AsLong(exists), 0);
  ExpectFailure(dat.Call("Read"), "Failure in ITeskDATFile-Read: The image file does not exist");
  { FILE* f = fopen(dir.File("short.DAT").c_str(), "wb"); fputs("tiny", f); fclose(f); }
  ASSERT_EQ(dat.Put("Name", "short.DAT"), S_OK);
  ExpectFailure(dat.Call("Read"), "Failure in ITeskDATFile-Read: Cannot read the image file");
  ASSERT_EQ(dat.Put("LibPath", dir.str()), S_OK);
  ExpectFailure(dat.Call("ReadHeader"), "Failure in ITeskDATFile-ReadHeader: Cannot read image file header");
  ExpectFailure(dat.Put("Name", "x.EXP"), "Failure in ITeskDATFile-put_Name: Image file extension (.DAT) is expected");
  ExpectFailure(dat.Put("Name", " "), "Failure in ITeskDATFile-put_Name: The image file name should not be empty");
}

}  // namespace
