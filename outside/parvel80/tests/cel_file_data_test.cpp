// CCELFileData over files written with ParvelClass.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "tesk/parvel.h"
#include "tesk/parvel80.h"
#include "tesk/testing/bytes.h"
#include "tesk/testing/scratch_dir.h"

namespace {

using tesk::testing::ScratchDir;

constexpr int kCols = 5, kRows = 4;

std::string Header() {
  return "Cols=5\nRows=4\nGridCornerUL=10 12\nGridCornerUR=400 11\nGridCornerLR=401 405\n"
         "GridCornerLL=9 404\nAlgorithm=Percentile\n"
         "DatHeader=[0..46000]  demo:CLS=4733 \x14  \x14 Demo_Array.1sq \x14  \x14 \n"
         "AlgorithmParameters=Percentile:75;CellMargin:2;OutlierHigh:1.500;OutlierLow:1.004\n";
}

float Mean(int x, int y) { return 100.5f + static_cast<float>(x * 7 + y * 3); }

// A 5 x 4 file: (1,0) and (2,3) masked, (4,1) an outlier, (3,2) with 40000 pixels.
void WriteSample(const std::string& path, int version = 4) {
  ParvelClass cel;
  cel.SetName(path.c_str());
  cel.SetHeader(Header().c_str());
  cel.SetAlgorithm("Percentile");
  for (int y = 0; y < kRows; ++y) {
    for (int x = 0; x < kCols; ++x) {
      CellEntryClass e;
      e.X = static_cast<std::uint16_t>(x);
      e.Y = static_cast<std::uint16_t>(y);
      e.MEAN = Mean(x, y);
      e.STDV = static_cast<float>(x) + 0.5f;
      e.NPIXELS = (x == 3 && y == 2) ? 40000 : static_cast<std::uint16_t>(16 + x);
      e.MASKED = (x == 1 && y == 0) || (x == 2 && y == 3);
      e.OUTLIER = x == 4 && y == 1;
      cel.AddCellData(&e);
    }
  }
  ASSERT_EQ(cel.WriteVersionFile(version), 1);
}

TEST(CELFileData, ReadGivesHeaderValuesAndCornersInUpperLowerLeftRightOrder) {
  ScratchDir dir;
  WriteSample(dir.File("a.CEL"));
  CCELFileData cel;
  cel.SetFileName(dir.File("a.CEL").c_str());
  EXPECT_EQ(cel.Exists(), 1);
  ASSERT_NE(cel.Read(0), 0);
  EXPECT_EQ(cel.GetVersion(), 4);
  EXPECT_EQ(cel.GetRows(), kRows);
  EXPECT_EQ(cel.GetCols(), kCols);
  EXPECT_EQ(cel.GetNumCells(), kRows * kCols);
  EXPECT_EQ(cel.GetNumMasked(), 2);
  EXPECT_EQ(cel.GetNumOutliers(), 1);
  EXPECT_EQ(cel.GetCellMargin(), 2);
  EXPECT_STREQ(cel.GetChipType(), "Demo_Array");
  EXPECT_STREQ(cel.GetAlgorithm(), "Percentile");
  EXPECT_STREQ(cel.GetParams(), "Percentile=75 CellMargin=2 OutlierHigh=1.500 OutlierLow=1.004");
  EXPECT_EQ(cel.GetHeader(), Header());
  long c[8];
  ASSERT_EQ(cel.GetCorners(c), 1);
  const long want[8] = {10, 12, 400, 11, 9, 404, 401, 405};
  for (int k = 0; k < 8; ++k) EXPECT_EQ(c[k], want[k]) << k;
  EXPECT_EQ(cel.GetCorners(nullptr), 0);
}

TEST(CELFileData, CellsByIndexAndPositionAgreeAndOutsideTheGridAnswerZero) {
  ScratchDir dir;
  WriteSample(dir.File("a.CEL"));
  CCELFileData cel;
  cel.SetFileName(dir.File("a.CEL").c_str());
  ASSERT_NE(cel.Read(0), 0);
  for (int i = 0; i < kRows * kCols; ++i) {
    const int x = cel.GetX(i), y = cel.GetY(i);
    ASSERT_EQ(x, i % kCols);
    ASSERT_EQ(y, i / kCols);
    EXPECT_EQ(cel.GetIntensity(i), Mean(x, y));
    EXPECT_EQ(cel.GetIntensity(x, y), Mean(x, y));
    EXPECT_EQ(cel.GetStdv(x, y), cel.GetStdv(i));
    EXPECT_EQ(cel.GetPixels(x, y), cel.GetPixels(i));
    EXPECT_EQ(cel.IsMasked(x, y), cel.IsMasked(i));
    EXPECT_EQ(cel.IsOutlier(x, y), cel.IsOutlier(i));
  }
  EXPECT_EQ(cel.GetStdv(2, 1), 2.5f);
  EXPECT_EQ(cel.IsMasked(1, 0), 1);
  EXPECT_EQ(cel.IsMasked(2, 3), 1);
  EXPECT_EQ(cel.IsMasked(0, 0), 0);
  EXPECT_EQ(cel.IsOutlier(4, 1), 1);
  EXPECT_EQ(cel.GetPixels(3, 2), static_cast<short>(40000)) << "the stored 16 bits";
  EXPECT_EQ(cel.GetPixels(0, 0), 16);

  for (auto [x, y] : {std::pair{kCols, 0}, {0, kRows}, {-1, 0}, {0, -1}, {70000, 1}}) {
    EXPECT_EQ(cel.GetIntensity(x, y), 0.0f) << x << "," << y;
    EXPECT_EQ(cel.GetPixels(x, y), 0);
    EXPECT_EQ(cel.IsMasked(x, y), 0);
  }
  for (int i : {-1, kRows * kCols, 1 << 30}) {
    EXPECT_EQ(cel.GetX(i), 0);
    EXPECT_EQ(cel.GetIntensity(i), 0.0f);
    EXPECT_EQ(cel.IsOutlier(i), 0);
  }
}

TEST(CELFileData, TextVersionsReadAndCellsListedOutOfOrderAreFoundByPosition) {
  ScratchDir dir;
  WriteSample(dir.File("v3.CEL"), 3);
  CCELFileData cel;
  cel.SetFileName(dir.File("v3.CEL").c_str());
  ASSERT_NE(cel.Read(0), 0);
  EXPECT_EQ(cel.GetVersion(), 3);
  EXPECT_EQ(cel.GetNumMasked(), 2);
  EXPECT_EQ(cel.GetIntensity(4, 3), Mean(4, 3));

  // A version-3 table whose lines run column by column: the index follows the file, the
  // position lookup the coordinates.
  std::string text = "[CEL]\nVersion=3\n\n[HEADER]\nCols=2\nRows=2\nAlgorithmParameters=A:1;"
                     "CellMargin:2\n\n[INTENSITY]\nNumberCells=4\nCellHeader=X\tY\tMEAN\tSTDV\t"
                     "NPIXELS\n  0\t  0\t1.0\t0.0\t  1\n  0\t  1\t2.0\t0.0\t  1\n"
                     "  1\t  0\t3.0\t0.0\t  1\n  1\t  1\t4.0\t0.0\t  1\n\n[MASKS]\nNumberCells=0"
                     "\nCellHeader=X\tY\n\n[OUTLIERS]\nNumberCells=0\nCellHeader=X\tY\n\n"
                     "[MODIFIED]\nNumberCells=0\nCellHeader=X\tY\tORIGMEAN\n";
  tesk::testing::WriteFileBytes(dir.File("cols.CEL"), text);
  cel.SetFileName(dir.File("cols.CEL").c_str());
  ASSERT_NE(cel.Read(0), 0);
  EXPECT_EQ(cel.GetX(1), 0);
  EXPECT_EQ(cel.GetY(1), 1);
  EXPECT_EQ(cel.GetIntensity(1, 0), 3.0f);
  EXPECT_EQ(cel.GetIntensity(0, 1), 2.0f);
  EXPECT_EQ(cel.GetIntensity(2, 0), 0.0f);
}

TEST(CELFileData, HeaderOnlyAndCloseKeepTheHeaderButNoCells) {
  ScratchDir dir;
  WriteSample(dir.File("a.CEL"));
  CCELFileData cel;
  cel.SetFileName(dir.File("a.CEL").c_str());
  ASSERT_NE(cel.ReadHeader(0), 0);
  EXPECT_EQ(cel.GetNumCells(), kRows * kCols) << "from the grid size";
  EXPECT_STREQ(cel.GetChipType(), "Demo_Array");
  EXPECT_EQ(cel.GetIntensity(0, 0), 0.0f);
  EXPECT_EQ(cel.WriteVersion3(), 0) << "nothing to write without cells";

  ASSERT_NE(cel.Read(0), 0);
  EXPECT_EQ(cel.GetIntensity(1, 1), Mean(1, 1));
  cel.Close();
  EXPECT_EQ(cel.GetIntensity(1, 1), 0.0f);
  EXPECT_EQ(cel.GetX(6), 0);
  EXPECT_EQ(cel.GetRows(), kRows);
  EXPECT_EQ(cel.GetNumMasked(), 2);
  EXPECT_STREQ(cel.GetAlgorithm(), "Percentile");
  long c[8];
  EXPECT_EQ(cel.GetCorners(c), 1);
  EXPECT_EQ(c[6], 401);
  EXPECT_EQ(cel.WriteVersion3(), 0);
  cel.Close();  // twice is harmless
}

TEST(CELFileData, FailedReadsKeepTheEarlierFileAndDamagedFilesNeverCrash) {
  ScratchDir dir;
  WriteSample(dir.File("a.CEL"));
  CCELFileData cel;
  EXPECT_EQ(cel.Exists(), 0) << "no name yet";
  EXPECT_EQ(cel.Read(0), 0);
  EXPECT_EQ(cel.GetRows(), 0);
  EXPECT_STREQ(cel.GetParams(), "");
  long c[8];
  EXPECT_EQ(cel.GetCorners(c), 0);
  EXPECT_EQ(c[0], 0);

  cel.SetFileName(dir.File("a.CEL").c_str());
  ASSERT_NE(cel.Read(0), 0);

  cel.SetFileName(dir.File("missing.CEL").c_str());
  EXPECT_EQ(cel.Exists(), 0);
  EXPECT_EQ(cel.Read(0), 0);
  EXPECT_EQ(cel.ReadHeader(0), 0);
  EXPECT_EQ(cel.GetCols(), kCols);
  EXPECT_EQ(cel.GetIntensity(2, 2), Mean(2, 2));

  const std::string whole = tesk::testing::ReadFileBytes(dir.File("a.CEL"));
  for (std::size_t cut : {std::size_t{3}, std::size_t{20}, whole.size() / 2, whole.size() - 1}) {
    tesk::testing::WriteFileBytes(dir.File("cut.CEL"), whole.substr(0, cut));
    cel.SetFileName(dir.File("cut.CEL").c_str());
    EXPECT_EQ(cel.Read(0), 0) << cut;
  }
  tesk::testing::WriteFileBytes(dir.File("junk.CEL"), "not a cell file\n");
  cel.SetFileName(dir.File("junk.CEL").c_str());
  EXPECT_EQ(cel.ReadHeader(0), 0);
  EXPECT_EQ(cel.GetRows(), kRows) << "still the first file";
}

TEST(CELFileData, WriteVersion3RewritesTheLoadedFileInPlace) {
  ScratchDir dir;
  const std::string path = dir.File("a.CEL");
  WriteSample(path);
  CCELFileData cel;
  cel.SetFileName(path.c_str());
  ASSERT_NE(cel.Read(0), 0);
  cel.SetFileName(dir.File("other.CEL").c_str());  // the write goes where the cells came from
  ASSERT_NE(cel.WriteVersion3(), 0);
  EXPECT_EQ(cel.GetVersion(), 3);
  EXPECT_EQ(dir.List(), std::vector<std::string>{"a.CEL"});
  EXPECT_EQ(tesk::testing::ReadFileBytes(path).rfind("[CEL]", 0), 0u);

  CCELFileData again;
  again.SetFileName(path.c_str());
  ASSERT_NE(again.Read(0), 0);
  EXPECT_EQ(again.GetVersion(), 3);
  EXPECT_EQ(again.GetNumCells(), kRows * kCols);
  EXPECT_EQ(again.GetNumMasked(), 2);
  EXPECT_EQ(again.IsOutlier(4, 1), 1);
  EXPECT_EQ(again.GetIntensity(3, 3), Mean(3, 3));
  EXPECT_STREQ(again.GetChipType(), "Demo_Array");
}

TEST(CELFileData, RunTimeBindingCreatesAWorkingReader) {
  ScratchDir dir;
  WriteSample(dir.File("a.CEL"));
  void* lib = ::dlopen(PARVEL80_LIBRARY, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(lib, nullptr) << ::dlerror();
  using Create = CCELFileData* (*)();
  auto create = reinterpret_cast<Create>(::dlsym(lib, "Parvel80CreateCELFileData"));
  ASSERT_NE(create, nullptr);
  std::unique_ptr<CCELFileData> cel(create());
  ASSERT_NE(cel, nullptr);
  cel->SetFileName(dir.File("a.CEL").c_str());
  EXPECT_STREQ(cel->GetFileName(), dir.File("a.CEL").c_str());
  ASSERT_NE(cel->Read(0), 0);
  EXPECT_EQ(cel->GetIntensity(0, 0), Mean(0, 0));
  cel.reset();
  ::dlclose(lib);
}

}  // namespace
