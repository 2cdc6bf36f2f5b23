// The binary encoding: exact bytes, round trips, and hostile files.
#include <gtest/gtest.h>

#include <string>

#include <tesk/testing/bytes.h>
#include <tesk/testing/scratch_dir.h>

#include "test_util.h"

using namespace parvel_test;
using tesk::testing::ByteBuilder;
using tesk::testing::ReadFileBytes;
using tesk::testing::ScratchDir;
using tesk::testing::WriteFileBytes;

namespace {

// A complete binary file with the given fields; cells get MEAN = index.
std::string BinaryFile(int rows, int cols, int n, const std::string& header,
                       const std::vector<std::pair<int, int>>& masked = {},
                       const std::vector<std::pair<int, int>>& outliers = {},
                       const std::vector<SUBGRID>& grids = {}) {
  ByteBuilder s;
  s.I32(64);
  s.I32(4);
  s.I32(rows);
  s.I32(cols);
  s.I32(n);
  s.Text(header);
  s.Text("Alg");
  s.Text("P=1");
  s.I32(3);
  s.I32(static_cast<int>(outliers.size()));
  s.I32(static_cast<int>(masked.size()));
  s.I32(static_cast<int>(grids.size()));
  for (int i = 0; i < n; ++i) {
    s.F32(static_cast<float>(i));
    s.F32(0.5f);
    s.I16(9);
  }
  for (auto [x, y] : masked) {
    s.I16(static_cast<std::int16_t>(x));
    s.I16(static_cast<std::int16_t>(y));
  }
  for (auto [x, y] : outliers) {
    s.I16(static_cast<std::int16_t>(x));
    s.I16(static_cast<std::int16_t>(y));
  }
  for (const SUBGRID& g : grids) s.Raw(&g, sizeof g);
  return s.str();
}

}  // namespace

TEST(Binary, ReaderAssignsPositionsAndFlags) {
  ScratchDir dir;
  WriteFileBytes(dir.File("a.CEL"), BinaryFile(2, 3, 6, "Cols=3\nRows=2\n", {{2, 1}}, {{0, 1}, {1, 0}},
                                     {Grid(1, 1, 0, 0, 0, 3, 2)}));
  ParvelClass cel;
  cel.SetName(dir.File("a.CEL").c_str());
  ASSERT_EQ(cel.Read(), 1);
  EXPECT_EQ(cel.GetFileVersion(), 4);
  EXPECT_EQ(cel.GetRows(), 2);
  EXPECT_EQ(cel.GetCols(), 3);
  EXPECT_STREQ(cel.GetAlgorithm(), "Alg");
  EXPECT_STREQ(cel.GetAlgParams(), "P=1");
  EXPECT_EQ(cel.GetCellMargin(), 3);
  EXPECT_EQ(cel.GetNMasked(), 1);
  EXPECT_EQ(cel.GetNOutliers(), 2);
  EXPECT_EQ(cel.GetNSubGrids(), 1);
  ASSERT_EQ(cel.GetNCells(), 6);
  const int xy[6][2] = {{0, 0}, {1, 0}, {2, 0}, {0, 1}, {1, 1}, {2, 1}};
  for (int i = 0; i < 6; ++i) {
    const CellEntryClass* e = cel.GetCell(i);
    EXPECT_EQ(e->X, xy[i][0]);
    EXPECT_EQ(e->Y, xy[i][1]);
    EXPECT_EQ(e->MEAN, static_cast<float>(i));
    EXPECT_EQ(e->NPIXELS, 9);
    EXPECT_EQ(cel.GetCellEntry(xy[i][0], xy[i][1]), e);
  }
  EXPECT_EQ(cel.GetCell(5)->MASKED, 1);
  EXPECT_EQ(cel.GetCell(3)->OUTLIER, 1);
  EXPECT_EQ(cel.GetCell(1)->OUTLIER, 1);
  EXPECT_EQ(cel.GetCell(0)->MASKED + cel.GetCell(0)->OUTLIER, 0);

  // ReadHeader stops before the cells.
  ParvelClass head;
  head.SetName(dir.File("a.CEL").c_str());
  ASSERT_EQ(head.ReadHeader(), 1);
  EXPECT_EQ(head.GetNCells(), 0);
  EXPECT_EQ(head.GetNMasked(), 1);
  EXPECT_EQ(head.GetCellEntry(0, 0), nullptr);
}

TEST(Binary, WriterProducesTheExactLayout) {
  ScratchDir dir;
  ParvelClass cel;
  cel.SetName(dir.File("w.CEL").c_str());
  cel.SetHeader("Cols=2\nRows=2\nAlgorithmParameters=A:1;CellMargin:4 ");
  cel.SetAlgorithm("Alg");
  cel.SetFileVersion(3);  // the binary writer ignores the version
  const std::pair<int, int> pos[4] = {{0, 0}, {1, 0}, {0, 1}, {1, 1}};
  for (int i = 0; i < 4; ++i) {
    CellEntryClass e = Cell(pos[i].first, pos[i].second, static_cast<float>(i), 0.5f, 9);
    e.MASKED = i == 1 || i == 3;
    e.OUTLIER = i == 2;
    cel.AddCellData(&e);
  }
  ASSERT_EQ(cel.Write(), 1);
  EXPECT_EQ(cel.GetNMasked(), 2);
  EXPECT_EQ(cel.GetNOutliers(), 1);
  EXPECT_EQ(cel.GetRows(), 2);
  EXPECT_EQ(cel.GetCols(), 2);
  std::string want = BinaryFile(2, 2, 4, "Cols=2\nRows=2\nAlgorithmParameters=A:1;CellMargin:4 ",
                                {{1, 0}, {1, 1}}, {{0, 1}});
  // BinaryFile writes "P=1" and margin 3; patch in this object's values.
  std::string params = cel.GetAlgParams();
  std::string got = ReadFileBytes(dir.File("w.CEL"));
  ByteBuilder expect;
  expect.I32(64);
  expect.I32(4);
  expect.I32(2);
  expect.I32(2);
  expect.I32(4);
  expect.Text("Cols=2\nRows=2\nAlgorithmParameters=A:1;CellMargin:4 ");
  expect.Text("Alg");
  expect.Text(params);
  expect.I32(4);
  expect.I32(1);  // outliers, then masked
  expect.I32(2);
  expect.I32(0);
  expect.Raw(want.substr(want.size() - (4 * 10 + 3 * 4)));
  EXPECT_EQ(got, expect.str());
  EXPECT_EQ(cel.GetFileVersion(), 3);
  EXPECT_EQ(dir.List().size(), 1u) << "no temporary file left behind";
}

TEST(Binary, RoundTripKeepsEverything) {
  ScratchDir dir;
  ParvelClass cel;
  Fill(cel, 37, 23);
  cel.SetName(dir.File("r.CEL").c_str());
  ASSERT_EQ(cel.WriteVersionFile(4), 1);
  ParvelClass back;
  back.SetName(dir.File("r.CEL").c_str());
  ASSERT_EQ(back.Read(), 1);
  EXPECT_STREQ(back.GetHeader(), cel.GetHeader());
  EXPECT_STREQ(back.GetChipType(), "Demo_Array");
  EXPECT_STREQ(back.GetAlgorithm(), "Percentile");
  EXPECT_STREQ(back.GetAlgParams(), cel.GetAlgParams());
  EXPECT_EQ(back.GetCellMargin(), 2);
  EXPECT_EQ(back.GetNMasked(), cel.GetNMasked());
  EXPECT_EQ(back.GetNOutliers(), cel.GetNOutliers());
  EXPECT_GT(back.GetNMasked(), 0);
  ASSERT_EQ(back.GetNCells(), 37 * 23);
  for (int i = 0; i < back.GetNCells(); ++i) {
    const CellEntryClass& a = *cel.GetCell(i);
    const CellEntryClass& b = *back.GetCell(i);
    ASSERT_EQ(std::memcmp(&a, &b, sizeof a), 0) << i;
  }
  SUBGRID g[2];
  ASSERT_EQ(cel.GetSubGrid(0, &g[0]), 1);
  ASSERT_EQ(cel.GetSubGrid(1, &g[1]), 1);
  EXPECT_EQ(back.AreSubGrids(g, 2), 1);
  EXPECT_EQ(back.DetermineSize(), cel.DetermineSize());
}

TEST(Binary, LargeTableAcrossChunks) {
  // More cells than one storage chunk, read through the file path and from memory.
  ScratchDir dir;
  const int cols = 300, rows = 500;
  WriteFileBytes(dir.File("big.CEL"), BinaryFile(rows, cols, rows * cols, "Cols=300\nRows=500\n",
                                       {{299, 499}}, {{0, 250}}));
  ParvelClass cel;
  cel.SetName(dir.File("big.CEL").c_str());
  ASSERT_EQ(cel.Read(), 1);
  ASSERT_EQ(cel.GetNCells(), rows * cols);
  for (int i = 0; i < rows * cols; i += 997) {
    const CellEntryClass* e = cel.GetCell(i);
    ASSERT_EQ(e->X, i % cols);
    ASSERT_EQ(e->Y, i / cols);
    ASSERT_EQ(e->MEAN, static_cast<float>(i));
    ASSERT_EQ(e->STDV, 0.5f);
    ASSERT_EQ(e->NPIXELS, 9);
  }
  EXPECT_EQ(cel.GetCellEntry(299, 499)->MASKED, 1);
  EXPECT_EQ(cel.GetCellEntry(0, 250)->OUTLIER, 1);
  std::string bytes = ReadFileBytes(dir.File("big.CEL"));
  ParvelClass mem;
  ASSERT_EQ(mem.ReadMemory(bytes.data(), bytes.size()), 1);
  EXPECT_EQ(std::memcmp(mem.GetCell(149999), cel.GetCell(149999), 16), 0);
}

TEST(Binary, HostileFilesAreRejected) {
  ScratchDir dir;
  const std::string good =
      BinaryFile(2, 3, 6, "Cols=3\nRows=2\n", {{2, 1}}, {{0, 1}}, {Grid(1, 1, 0, 0, 0, 3, 2)});
  const auto read = [&](const std::string& bytes) {
    WriteFileBytes(dir.File("h.CEL"), bytes);
    ParvelClass cel;
    cel.SetName(dir.File("h.CEL").c_str());
    const int file_result = cel.Read();
    ParvelClass mem;
    EXPECT_EQ(mem.ReadMemory(bytes.data(), bytes.size()), file_result);
    return file_result;
  };
  ASSERT_EQ(read(good), 1);
  // Every truncation fails, through both paths.
  for (std::size_t n = 4; n < good.size(); ++n) {
    ASSERT_EQ(read(good.substr(0, n)), 0) << n;
  }
  // Lengths and counts that the file cannot hold, or that are negative.
  const std::size_t text_at = 20;
  std::string bad = good;
  std::int32_t v = -1;
  std::memcpy(&bad[text_at], &v, 4);
  EXPECT_EQ(read(bad), 0) << "negative text length";
  v = 0x7FFFFFFF;
  std::memcpy(&bad[text_at], &v, 4);
  EXPECT_EQ(read(bad), 0) << "text longer than the file";
  bad = good;
  std::memcpy(&bad[16], &v, 4);
  EXPECT_EQ(read(bad), 0) << "more cells than the file holds";
  bad = good;
  v = -6;
  std::memcpy(&bad[16], &v, 4);
  EXPECT_EQ(read(bad), 0) << "negative cell count";
  EXPECT_EQ(read(BinaryFile(2, 0, 6, "")), 0) << "cells without a grid width";
  EXPECT_EQ(read(BinaryFile(-2, 3, 6, "")), 0) << "negative rows";
  // Masked and outlier coordinates outside the grid, or past the table.
  EXPECT_EQ(read(BinaryFile(2, 3, 6, "", {{3, 0}})), 0);
  EXPECT_EQ(read(BinaryFile(2, 3, 6, "", {{0, 2}})), 0);
  EXPECT_EQ(read(BinaryFile(2, 3, 6, "", {}, {{-1, 0}})), 0);
  EXPECT_EQ(read(BinaryFile(2, 3, 4, "", {{2, 1}})), 0) << "index 5 of a 4-cell table";
  // Sub-grid rectangles index nothing: past the grid they are kept as stored.
  EXPECT_EQ(read(BinaryFile(2, 3, 6, "", {}, {}, {Grid(1, 1, 0, 0, 0, 4, 2)})), 1);
  EXPECT_EQ(read(BinaryFile(2, 3, 6, "", {}, {}, {Grid(1, 1, 0, -1, 0, 2, 2)})), 1);
  EXPECT_EQ(read(BinaryFile(2, 3, 6, "", {}, {}, {Grid(1, 1, 0, 0, 0, 2, 2)}).substr(0, 100)), 0)
      << "a sub-grid record cut short";
  // A consistent file with extra bytes at the end is fine.
  EXPECT_EQ(read(good + "tail"), 1);
}

TEST(Binary, MagicDecidesTheEncoding) {
  ScratchDir dir;
  std::string bytes = BinaryFile(1, 1, 1, "");
  bytes[0] = 65;  // no longer binary: the text reader rejects it
  ParvelClass cel;
  EXPECT_EQ(cel.ReadMemory(bytes.data(), bytes.size()), 0);
  EXPECT_EQ(cel.ReadMemory("", 0), 0);
  EXPECT_EQ(cel.ReadMemory("\x40\0\0", 3), 0);
}
