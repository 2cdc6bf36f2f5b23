// Values that are only stored are kept as the file has them, through every encoding; counts
// announced by a header answer for the table before it is filled.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include <tesk/testing/bytes.h>
#include <tesk/testing/scratch_dir.h>

#include "test_util.h"

using namespace parvel_test;
using tesk::testing::ReadFileBytes;
using tesk::testing::ScratchDir;

namespace {

// Sub-grid rectangles that reach past a 3 x 2 grid, below zero and to the ends of the int range.
const SUBGRID kOutside[3] = {
    Grid(1, 1, 0.5f, 3, 0, 5, 2),
    Grid(1, 2, -7.5f, -4, -1, 9, 6),
    Grid(2, 1, 1000.5f, INT32_MIN, INT32_MAX, INT32_MAX, INT32_MIN),
};

// A 3 x 2 grid whose header a version 3 reader accepts, with the sub-grids above.
void FillOutside(ParvelClass& cel) {
  cel.SetHeader(Header(3, 2).c_str());
  cel.SetAlgorithm("Percentile");
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 3; ++x) {
      CellEntryClass e = Cell(x, y, 10.5f + static_cast<float>(x + 3 * y), 0.5f, 9);
      e.MASKED = x == 2 && y == 1;
      cel.AddCellData(&e);
    }
  }
  for (SUBGRID g : kOutside) cel.AddSubGrid(&g);
}

void ExpectSameSubGrids(ParvelClass& cel) {
  ASSERT_EQ(cel.GetNSubGrids(), 3);
  for (int k = 0; k < 3; ++k) {
    SUBGRID g;
    ASSERT_EQ(cel.GetSubGrid(k, &g), 1);
    EXPECT_EQ(std::memcmp(&g, &kOutside[k], sizeof g), 0) << "sub-grid " << k;
  }
}

}  // namespace

TEST(StoredValues, SubGridsPastTheGridSurviveEveryEncoding) {
  ScratchDir dir;
  ParvelClass cel;
  FillOutside(cel);

  // Binary: written, read back byte for byte, written again to the same bytes.
  cel.SetName(dir.File("b.CEL").c_str());
  ASSERT_EQ(cel.Write(), 1);
  ParvelClass binary;
  binary.SetName(dir.File("b.CEL").c_str());
  ASSERT_EQ(binary.Read(), 1);
  ExpectSameSubGrids(binary);
  EXPECT_EQ(binary.GetCellEntry(2, 1)->MASKED, 1);
  binary.SetName(dir.File("b2.CEL").c_str());
  ASSERT_EQ(binary.Write(), 1);
  EXPECT_EQ(ReadFileBytes(dir.File("b2.CEL")), ReadFileBytes(dir.File("b.CEL")));
  ParvelClass header_only;
  header_only.SetName(dir.File("b.CEL").c_str());
  EXPECT_EQ(header_only.ReadHeader(), 1);

  // Version 3 text, from the object read from the binary file.
  binary.SetName(dir.File("t3.CEL").c_str());
  ASSERT_EQ(binary.WriteVersionFile(3), 1);
  EXPECT_NE(ReadFileBytes(dir.File("t3.CEL")).find("\t-2147483648\t2147483647\t2147483647\t-2147483648\r\n"),
            std::string::npos);
  ParvelClass text3;
  text3.SetName(dir.File("t3.CEL").c_str());
  ASSERT_EQ(text3.Read(), 1);
  ExpectSameSubGrids(text3);
  text3.SetName(dir.File("t3b.CEL").c_str());
  ASSERT_EQ(text3.Write(), 1);
  ParvelClass again;
  again.SetName(dir.File("t3b.CEL").c_str());
  ASSERT_EQ(again.Read(), 1);
  ExpectSameSubGrids(again);

  // Version 2 carries no sub-grids: an object holding such records writes and reads back.
  ParvelClass old;
  old.SetHeader("COLS/ROWS=3 2\nfree text\n");
  for (int i = 0; i < 6; ++i) {
    CellEntryClass e = Cell(i % 3, i / 3, 1.5f, 0.5f, 4);
    old.AddCellData(&e);
  }
  for (SUBGRID g : kOutside) old.AddSubGrid(&g);
  old.SetName(dir.File("t2.CEL").c_str());
  ASSERT_EQ(old.WriteVersionFile(2), 1);
  ParvelClass text2;
  text2.SetName(dir.File("t2.CEL").c_str());
  ASSERT_EQ(text2.Read(), 1);
  EXPECT_EQ(text2.GetNCells(), 6);
  EXPECT_EQ(text2.GetNSubGrids(), 0);
}

TEST(StoredValues, MaskedAndOutlierCoordinatesStillIndexTheTable) {
  // A masked cell one column past the grid still fails the read.
  ParvelClass cel;
  FillOutside(cel);
  ScratchDir dir;
  cel.SetName(dir.File("t3.CEL").c_str());
  ASSERT_EQ(cel.WriteVersionFile(3), 1);
  std::string text = ReadFileBytes(dir.File("t3.CEL"));
  const std::string mask = "[MASKS]\r\nNumberCells=1\r\nCellHeader=X\tY\r\n";
  const std::size_t at = text.find(std::string(mask).append("2\t1\r\n"));
  ASSERT_NE(at, std::string::npos);
  ParvelClass good;
  EXPECT_EQ(good.ReadMemory(text.data(), text.size(), 0), 1);
  text[at + mask.size()] = '3';
  ParvelClass bad;
  EXPECT_EQ(bad.ReadMemory(text.data(), text.size(), 0), 0);
}

TEST(StoredValues, SizeAfterABinaryHeaderReadCountsTheAnnouncedCells) {
  ScratchDir dir;
  ParvelClass cel;
  Fill(cel, 7, 5);
  cel.SetName(dir.File("s.CEL").c_str());
  ASSERT_EQ(cel.Write(), 1);
  const unsigned long full = cel.DetermineSize();
  EXPECT_EQ(full, 4 + (std::strlen(cel.GetHeader()) + 22) + 4 + 16 * 35);

  ParvelClass head;
  head.SetName(dir.File("s.CEL").c_str());
  ASSERT_EQ(head.ReadHeader(), 1);
  EXPECT_EQ(head.DetermineSize(), full);
  EXPECT_EQ(head.GetNCells(), 0);
  EXPECT_EQ(head.GetCellEntry(0, 0), nullptr) << "no slot is handed out before Read";
  ASSERT_EQ(head.Read(), 1);
  EXPECT_EQ(head.DetermineSize(), full);
  EXPECT_NE(head.GetCellEntry(6, 4), nullptr);

  // A later failed read starts from an empty table again.
  const std::string junk = "junk\n";
  EXPECT_EQ(head.ReadMemory(junk.data(), junk.size(), 1), 0);
  EXPECT_EQ(head.DetermineSize(), 4 + (std::strlen(head.GetHeader()) + 22) + 4u);
}
