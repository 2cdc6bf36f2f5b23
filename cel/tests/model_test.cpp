// The in-memory model: entries, header rules, sub-grids, corners and cell lookup.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <tesk/testing/bytes.h>
#include <tesk/testing/scratch_dir.h>

#include "test_util.h"

using namespace parvel_test;
using tesk::testing::ScratchDir;
using tesk::testing::WriteFileBytes;

TEST(CellEntry, StoreCellDataParsesBlankOrTabSeparatedValues) {
  CellEntryClass e;
  EXPECT_EQ(e.MEAN, 0.0f);
  EXPECT_EQ(e.X, 0);
  e.MASKED = 1;
  e.OUTLIER = 1;
  char line[] = "  12\t 7  \t123.5\t 4.25\t  36\r\n";
  e.StoreCellData(line);
  EXPECT_EQ(e.X, 12);
  EXPECT_EQ(e.Y, 7);
  EXPECT_FLOAT_EQ(e.MEAN, 123.5f);
  EXPECT_FLOAT_EQ(e.STDV, 4.25f);
  EXPECT_EQ(e.NPIXELS, 36);
  EXPECT_EQ(e.MASKED, 1) << "flags are not touched";
  EXPECT_EQ(e.OUTLIER, 1);

  char wide[] = "65537 -1 -2.5e1 +3 70000";  // low 16 bits of the integers
  e.StoreCellData(wide);
  EXPECT_EQ(e.X, 1);
  EXPECT_EQ(e.Y, 65535);
  EXPECT_FLOAT_EQ(e.MEAN, -25.0f);
  EXPECT_FLOAT_EQ(e.STDV, 3.0f);
  EXPECT_EQ(e.NPIXELS, 70000 & 0xFFFF);

  // A value that does not parse stops the line; later fields keep their values.
  CellEntryClass f;
  f.NPIXELS = 9;
  char partial[] = "3 4 x 1 2";
  f.StoreCellData(partial);
  EXPECT_EQ(f.X, 3);
  EXPECT_EQ(f.Y, 4);
  EXPECT_EQ(f.MEAN, 0.0f);
  EXPECT_EQ(f.NPIXELS, 9);
  f.Init();
  EXPECT_EQ(f.NPIXELS, 0);
}

TEST(Header, SetHeaderDerivesParametersAndCellMargin) {
  ParvelClass cel;
  EXPECT_EQ(cel.GetCellMargin(), -1);
  cel.SetHeader("Cols=2\nAlgorithmParameters=A:1;CellMargin:2;B:3");
  EXPECT_STREQ(cel.GetAlgParams(), "A=1 CellMargin=2 B=3");
  EXPECT_EQ(cel.GetCellMargin(), 2);

  cel.SetHeader("AlgorithmParameters=A:1;CellMargin:2");  // nothing behind the value
  EXPECT_STREQ(cel.GetAlgParams(), "A=1 CellMargin=2");
  EXPECT_EQ(cel.GetCellMargin(), 0);

  cel.SetHeader("Cols=2\n");  // no parameters: empty, margin kept
  EXPECT_STREQ(cel.GetAlgParams(), "");
  EXPECT_EQ(cel.GetCellMargin(), 0);
  EXPECT_STREQ(cel.GetHeader(), "Cols=2\n");
  cel.SetHeader(nullptr);
  EXPECT_STREQ(cel.GetHeader(), "");
}

TEST(Header, ChipTypeComesFromTheScannerHeaderCopy) {
  ScratchDir dir;
  // Chip type is derived whenever a header is read; write binary files with various headers.
  const auto chip = [&](const std::string& header, const std::string& before) {
    ParvelClass w;
    w.SetName(dir.File("c.CEL").c_str());
    w.SetHeader(header.c_str());
    EXPECT_EQ(w.Write(), 1);
    ParvelClass r;
    r.SetName(dir.File("c.CEL").c_str());
    EXPECT_EQ(r.ReadHeader(), 1);
    std::string got = r.GetChipType();
    (void)before;
    return got;
  };
  EXPECT_EQ(chip("x\x14 Info \x14 Demo_Array.1sq \x14 more", ""), "Demo_Array");
  EXPECT_EQ(chip("x\x14 Info \x14 NoSuffix \x14 more", ""), "NoSuffix");
  EXPECT_EQ(chip("x\x14 Info \x14 NoSuffix", ""), "");   // no end: stays as it was
  EXPECT_EQ(chip("x\x14 Info \x14", ""), "");
  EXPECT_EQ(chip("no separators", ""), "");
}

TEST(Header, DetermineSize) {
  ParvelClass cel;
  EXPECT_EQ(cel.DetermineSize(), 30u);
  cel.SetHeader("abcd");
  CellEntryClass e;
  cel.AddCellData(&e);
  cel.AddCellData(&e);
  EXPECT_EQ(cel.DetermineSize(), 4u + 26u + 4u + 32u);
}

TEST(Header, CornersFromGridCornerLinesOrOldCornersKey) {
  ParvelClass cel;
  long c[8] = {};
  EXPECT_EQ(cel.GetCorners(c), 0);
  cel.SetHeader(Header(4, 4).c_str());
  ASSERT_EQ(cel.GetCorners(c), 1);
  const long want[8] = {10, 12, 400, 11, 401, 405, 9, 404};
  for (int k = 0; k < 8; ++k) EXPECT_EQ(c[k], want[k]) << k;
  long same[8] = {10, 12, 400, 11, 401, 405, 9, 404};
  EXPECT_EQ(cel.AreCorners(same), 1);
  same[7] = 0;
  EXPECT_EQ(cel.AreCorners(same), 0);

  cel.SetHeader("GridCornerUL=1 2 GridCornerUR=3 4 GridCornerLR=5");  // incomplete
  EXPECT_EQ(cel.GetCorners(c), 0);
  EXPECT_EQ(cel.AreCorners(same), 0);

  cel.SetHeader("COLS/ROWS=4 4 CORNERS=1 2, 3 4, 5 6, 7 8\n");
  EXPECT_EQ(cel.GetCorners(c), 0) << "version 4 looks for GridCorner";
  cel.SetFileVersion(2);
  ASSERT_EQ(cel.GetCorners(c), 1);
  EXPECT_EQ(c[0], 1);
  EXPECT_EQ(c[7], 8);
}

TEST(SubGrids, TableOperations) {
  ParvelClass cel;
  SUBGRID a = Grid(1, 1, 1.0f, 0, 0, 5, 5);
  SUBGRID b = Grid(1, 2, 2.0f, 5, 0, 10, 5);
  EXPECT_EQ(cel.AreSubGrids(nullptr, 0), 1);
  EXPECT_EQ(cel.AddSubGrid(nullptr), 1);
  EXPECT_EQ(cel.GetNSubGrids(), 0);
  EXPECT_EQ(cel.AddSubGrid(&a), 1);
  EXPECT_EQ(cel.AddSubGrid(&b), 1);
  EXPECT_EQ(cel.GetNSubGrids(), 2);

  SUBGRID out{};
  EXPECT_EQ(cel.GetSubGrid(-1, &out), 0);
  EXPECT_EQ(cel.GetSubGrid(2, &out), 0);
  ASSERT_EQ(cel.GetSubGrid(1, &out), 1);
  EXPECT_EQ(out.COL, 2);
  out = SUBGRID{};
  EXPECT_EQ(cel.GetSubGrid(7, 7, &out), 0);
  EXPECT_EQ(out.ROW, 0) << "untouched when not found";
  ASSERT_EQ(cel.GetSubGrid(1, 2, &out), 1);
  EXPECT_FLOAT_EQ(out.ULPX, 2.0f);

  SUBGRID changed = b;
  changed.LRPY = 99.0f;
  EXPECT_EQ(cel.IsSubGrid(&b), 1);
  EXPECT_EQ(cel.IsSubGrid(&changed), 0);
  // A later record with the same key that equals the argument does not count: the search
  // stops at the first record with that key.
  EXPECT_EQ(cel.AddSubGrid(&changed), 1);
  EXPECT_EQ(cel.IsSubGrid(&changed), 0);
  SUBGRID list[3] = {a, b, b};
  EXPECT_EQ(cel.AreSubGrids(list, 3), 1);
  EXPECT_EQ(cel.AreSubGrids(list, 2), 0);

  EXPECT_EQ(cel.UpdateSubGrid(&changed), 1);  // the first (1,2) record
  EXPECT_EQ(cel.IsSubGrid(&changed), 1);
  SUBGRID missing = Grid(9, 9, 0, 0, 0, 0, 0);
  EXPECT_EQ(cel.UpdateSubGrid(&missing), 0);
  EXPECT_EQ(cel.UpdateSubGrid(nullptr), 0);

  cel.RemoveSubGrids();
  EXPECT_EQ(cel.GetNSubGrids(), 0);
  EXPECT_EQ(cel.GetSubGrid(0, &out), 0);
}

TEST(Cells, LookupByPositionInRowMajorTables) {
  ParvelClass cel;
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 4; ++x) {
      CellEntryClass e = Cell(x, y, static_cast<float>(10 * y + x));
      cel.AddCellData(&e);
    }
  }
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 4; ++x) {
      CellEntryClass* e = cel.GetCellEntry(x, y);
      ASSERT_NE(e, nullptr);
      EXPECT_EQ(e->MEAN, static_cast<float>(10 * y + x));
    }
  }
  EXPECT_EQ(cel.GetCellEntry(4, 0), nullptr);
  EXPECT_EQ(cel.GetCellEntry(0, 3), nullptr);
  EXPECT_EQ(cel.GetCellEntry(-1, 0), nullptr);
  EXPECT_EQ(cel.GetCellEntry(0, 70000), nullptr);
  EXPECT_EQ(cel.GetCell(12), nullptr);
  EXPECT_EQ(cel.GetCell(11), cel.GetCellEntry(3, 2));

  // Appending after a lookup keeps answers right (a new row, then an out-of-order entry).
  CellEntryClass e = Cell(0, 3, 30.0f);
  cel.AddCellData(&e);
  ASSERT_NE(cel.GetCellEntry(0, 3), nullptr);
  EXPECT_EQ(cel.GetCellEntry(0, 3)->MEAN, 30.0f);
  e = Cell(2, 1, -1.0f);  // duplicate of an earlier position: the first one wins
  cel.AddCellData(&e);
  e = Cell(9, 9, 99.0f);
  cel.AddCellData(&e);
  EXPECT_EQ(cel.GetCellEntry(2, 1)->MEAN, 12.0f);
  EXPECT_EQ(cel.GetCellEntry(9, 9)->MEAN, 99.0f);
  EXPECT_EQ(cel.GetCellEntry(1, 3), nullptr);
}

TEST(Cells, LookupInAnyOrderFindsTheFirstEntry) {
  ParvelClass cel;
  EXPECT_EQ(cel.GetCellEntry(0, 0), nullptr);
  // Reverse order, with duplicates; then interleaved adds and lookups.
  std::vector<CellEntryClass> added;
  for (int i = 99; i >= 0; --i) {
    CellEntryClass e = Cell(i % 10, i / 10, static_cast<float>(i));
    cel.AddCellData(&e);
  }
  for (int i = 0; i < 100; ++i) {
    CellEntryClass e = Cell(i % 10, i / 10, -1.0f);
    cel.AddCellData(&e);
    ASSERT_NE(cel.GetCellEntry(i % 10, i / 10), nullptr);
    EXPECT_EQ(cel.GetCellEntry(i % 10, i / 10)->MEAN, static_cast<float>(i));
  }
  // A caller may move an entry through its pointer; the old position then answers with the
  // next entry there.
  CellEntryClass* p = cel.GetCellEntry(5, 5);
  p->X = 200;
  EXPECT_EQ(cel.GetCellEntry(5, 5)->MEAN, -1.0f);
}

TEST(Cells, EntryPointersStayValidAsTheTableGrows) {
  ParvelClass cel;
  CellEntryClass e = Cell(0, 0, 1.0f);
  cel.AddCellData(&e);
  CellEntryClass* first = cel.GetCellEntry(0, 0);
  for (int i = 1; i < 200000; ++i) {
    e = Cell(i % 1000, i / 1000, static_cast<float>(i));
    cel.AddCellData(&e);
  }
  EXPECT_EQ(cel.GetCellEntry(0, 0), first);
  EXPECT_EQ(first->MEAN, 1.0f);
  EXPECT_EQ(cel.GetCellEntry(999, 199)->MEAN, 199999.0f);
  EXPECT_EQ(cel.GetNCells(), 200000);
  cel.AddCellData(nullptr);
  EXPECT_EQ(cel.GetNCells(), 200000);
}

TEST(Object, InitialStateAndSimpleSetters) {
  ParvelClass cel;
  EXPECT_EQ(cel.GetFileVersion(), 4);
  EXPECT_EQ(cel.GetOwner(), nullptr);
  EXPECT_EQ(cel.Exists(), 0);
  EXPECT_EQ(cel.Read(), 0);
  EXPECT_EQ(cel.Write(), 0) << "no name";
  EXPECT_EQ(cel.SetFileVersion(9), 1);
  EXPECT_EQ(cel.GetFileVersion(), 9);
  EXPECT_EQ(cel.SetAlgorithm("Percentile"), 1);
  EXPECT_STREQ(cel.GetAlgorithm(), "Percentile");
  EXPECT_EQ(cel.GetNMasked(), 0);
  EXPECT_EQ(cel.GetNOutliers(), 0);

  ScratchDir dir;
  cel.SetName(dir.File("missing.CEL").c_str());
  EXPECT_EQ(cel.Exists(), 0);
  EXPECT_EQ(cel.Read(), 0);
  EXPECT_EQ(cel.ReadHeader(), 0);
  WriteFileBytes(dir.File("there.CEL"), "x");
  cel.SetName(dir.File("there.CEL").c_str());
  EXPECT_NE(cel.Exists(), 0);
  cel.SetName(dir.path().c_str());
  EXPECT_NE(cel.Exists(), 0) << "any entry counts";
  EXPECT_EQ(cel.Read(), 0) << "a directory is no file";
}
