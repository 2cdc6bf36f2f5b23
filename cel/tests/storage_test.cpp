// Cell storage as the binary reader and writer use it: a table read from a file, grown
// afterwards, large tables with flags in any order, and flag counts filled in by the writer.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

#include <tesk/testing/bytes.h>
#include <tesk/testing/scratch_dir.h>

#include "test_util.h"

using namespace parvel_test;
using tesk::testing::ByteBuilder;
using tesk::testing::ScratchDir;
using tesk::testing::WriteFileBytes;

namespace {

// A binary file of cols x rows cells: MEAN = index, STDV = index % 7, NPIXELS = index % 40.
std::string Grid(int cols, int rows, const std::vector<std::pair<int, int>>& masked,
                 const std::vector<std::pair<int, int>>& outliers) {
  ByteBuilder s;
  for (int v : {64, 4, rows, cols, rows * cols}) s.I32(v);
  s.Text(Header(cols, rows));
  s.Text("Percentile");
  s.Text("Percentile:75");
  for (int v : {2, static_cast<int>(outliers.size()), static_cast<int>(masked.size()), 0}) {
    s.I32(v);
  }
  for (int i = 0; i < rows * cols; ++i) {
    s.F32(static_cast<float>(i));
    s.F32(static_cast<float>(i % 7));
    s.I16(static_cast<std::int16_t>(i % 40));
  }
  for (const auto* list : {&masked, &outliers}) {
    for (auto [x, y] : *list) {
      s.I16(static_cast<std::int16_t>(x));
      s.I16(static_cast<std::int16_t>(y));
    }
  }
  return s.str();
}

void ExpectCells(ParvelClass& cel, int cols, int rows, const std::set<int>& masked,
                 const std::set<int>& outliers) {
  ASSERT_EQ(cel.GetNCells(), cols * rows);
  for (int i = 0; i < cols * rows; ++i) {
    const CellEntryClass* e = cel.GetCell(i);
    ASSERT_EQ(e->X, i % cols) << i;
    ASSERT_EQ(e->Y, i / cols) << i;
    ASSERT_EQ(e->MEAN, static_cast<float>(i)) << i;
    ASSERT_EQ(e->STDV, static_cast<float>(i % 7)) << i;
    ASSERT_EQ(e->NPIXELS, i % 40) << i;
    ASSERT_EQ(e->MASKED, masked.count(i)) << i;
    ASSERT_EQ(e->OUTLIER, outliers.count(i)) << i;
  }
}

}  // namespace

TEST(Storage, ReadTableGrowsWithoutMovingEntries) {
  ScratchDir dir;
  const int cols = 5, rows = 4;
  WriteFileBytes(dir.File("a.CEL"), Grid(cols, rows, {{4, 3}}, {{0, 0}}));
  ParvelClass cel;
  cel.SetName(dir.File("a.CEL").c_str());
  ASSERT_EQ(cel.Read(), 1);
  std::vector<const CellEntryClass*> read;
  for (int i = 0; i < cols * rows; ++i) read.push_back(cel.GetCell(i));

  // Enough appended entries for several storage chunks behind the block read from the file.
  const int added = 150000;
  std::vector<const CellEntryClass*> appended;
  for (int k = 0; k < added; ++k) {
    CellEntryClass e = Cell(k % 300, 100 + k / 300, static_cast<float>(-k), 1.0f, 7);
    cel.AddCellData(&e);
    if (k % 9973 == 0) appended.push_back(cel.GetCell(cols * rows + k));
  }
  ASSERT_EQ(cel.GetNCells(), cols * rows + added);
  for (int i = 0; i < cols * rows; ++i) ASSERT_EQ(cel.GetCell(i), read[static_cast<std::size_t>(i)]);
  for (std::size_t j = 0; j < appended.size(); ++j) {
    const int k = static_cast<int>(j) * 9973;
    ASSERT_EQ(cel.GetCell(cols * rows + k), appended[j]);
    EXPECT_EQ(appended[j]->MEAN, static_cast<float>(-k));
  }
  EXPECT_EQ(cel.GetCellEntry(4, 3), read[19]);
  EXPECT_EQ(cel.GetCellEntry(4, 3)->MASKED, 1);
  EXPECT_EQ(cel.GetCellEntry(299, 100 + (added - 1) / 300)->MEAN,
            static_cast<float>(-(added - 1)));

  // The grown table goes out whole and in order (the block read, then the chunks); the
  // reader places cells by their index in the file.
  cel.SetName(dir.File("b.CEL").c_str());
  ASSERT_EQ(cel.Write(), 1);
  EXPECT_EQ(cel.GetNOutliers(), 1);
  EXPECT_EQ(cel.GetNMasked(), 1);
  ParvelClass back;
  back.SetName(dir.File("b.CEL").c_str());
  ASSERT_EQ(back.Read(), 1);
  ASSERT_EQ(back.GetNCells(), cel.GetNCells());
  for (int i = 0; i < back.GetNCells(); ++i) {
    ASSERT_EQ(back.GetCell(i)->MEAN, cel.GetCell(i)->MEAN) << i;
    ASSERT_EQ(back.GetCell(i)->NPIXELS, cel.GetCell(i)->NPIXELS) << i;
  }
  EXPECT_EQ(back.GetCellEntry(4, 3)->MASKED, 1);
  EXPECT_EQ(back.GetCellEntry(0, 0)->OUTLIER, 1);

  // Reading again replaces the grown table with the file's.
  cel.SetName(dir.File("a.CEL").c_str());
  ASSERT_EQ(cel.Read(), 1);
  ExpectCells(cel, cols, rows, {19}, {0});
}

TEST(Storage, LargeTableTakesFlagsInAnyOrder) {
  // Larger than the cache-sized pieces the file is read in, and than the size from which the
  // table is filled with streaming stores. Flags unsorted, repeated, and both on one cell.
  ScratchDir dir;
  const int cols = 600, rows = 500;
  const std::vector<std::pair<int, int>> masked = {{599, 499}, {3, 2}, {0, 0}, {3, 2}, {17, 250}};
  const std::vector<std::pair<int, int>> outliers = {{17, 250}, {598, 499}, {1, 0}};
  const std::string bytes = Grid(cols, rows, masked, outliers);
  WriteFileBytes(dir.File("big.CEL"), bytes);
  const std::set<int> m = {cols * rows - 1, 2 * cols + 3, 0, 250 * cols + 17};
  const std::set<int> o = {250 * cols + 17, cols * rows - 2, 1};

  ParvelClass file;
  file.SetName(dir.File("big.CEL").c_str());
  ASSERT_EQ(file.Read(), 1);
  ExpectCells(file, cols, rows, m, o);
  EXPECT_EQ(file.GetNMasked(), 5);
  EXPECT_EQ(file.GetNOutliers(), 3);
  ParvelClass mem;
  ASSERT_EQ(mem.ReadMemory(bytes.data(), bytes.size()), 1);
  ExpectCells(mem, cols, rows, m, o);

  // A coordinate off the grid anywhere in the lists rejects the file, and leaves no table.
  std::string bad = Grid(cols, rows, masked, {{1, 0}, {600, 0}});
  WriteFileBytes(dir.File("bad.CEL"), bad);
  file.SetName(dir.File("bad.CEL").c_str());
  EXPECT_EQ(file.Read(), 0);
  EXPECT_EQ(file.GetNCells(), 0);
  EXPECT_EQ(mem.ReadMemory(bad.data(), bad.size()), 0);
}

TEST(Storage, WriterFillsInFlagCounts) {
  // The counts precede the cells but are known only after them: small files patch them in the
  // write buffer, large ones in the file already written.
  ScratchDir dir;
  for (auto [cols, rows] : {std::pair{7, 5}, std::pair{600, 500}}) {
    ParvelClass cel;
    Fill(cel, cols, rows);
    cel.SetName(dir.File("w.CEL").c_str());
    ASSERT_EQ(cel.Write(), 1);
    int masked = 0, outliers = 0;
    for (int i = 0; i < cel.GetNCells(); ++i) {
      masked += cel.GetCell(i)->MASKED;
      outliers += cel.GetCell(i)->OUTLIER;
    }
    ParvelClass back;
    back.SetName(dir.File("w.CEL").c_str());
    ASSERT_EQ(back.ReadHeader(), 1);
    EXPECT_EQ(back.GetNMasked(), masked);
    EXPECT_EQ(back.GetNOutliers(), outliers);
    ASSERT_EQ(back.Read(), 1);
    ASSERT_EQ(back.GetNCells(), cel.GetNCells());
    for (int i = 0; i < back.GetNCells(); ++i) {
      ASSERT_EQ(std::memcmp(back.GetCell(i), cel.GetCell(i), sizeof(CellEntryClass)), 0) << i;
    }
    EXPECT_EQ(dir.List().size(), 1u);  // no temporary file left beside it
  }
}
