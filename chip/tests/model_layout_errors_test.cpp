// Layout files that must be refused, and what a refused read leaves in the chip.
#include <gtest/gtest.h>

#include <string>

#include "model_test_util.h"
#include "tesk/pendrix71.h"

namespace {

using model_test::ScratchDir;
using model_test::SmallLayout;
using model_test::WriteText;

// Reads text as a layout file into a fresh chip and returns the code.
class Refusal : public ::testing::Test {
 protected:
  int Read(const std::string& text) {
    const std::string path = dir_.File("t.CDF");
    WriteText(path, text);
    chip_.InitializeChip();
    chip_.layoutFile = path.c_str();
    return chip_.ReadCDF();
  }

  // SmallLayout with the first occurrence of `from` replaced by `to`.
  static std::string Edited(const std::string& from, const std::string& to) {
    std::string s = SmallLayout();
    const std::size_t at = s.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) s.replace(at, from.size(), to);
    return s;
  }

  ScratchDir dir_;
  ChipClass chip_;
};

TEST_F(Refusal, OpeningAndHeaderCodes) {
  chip_.layoutFile = dir_.File("absent.CDF").c_str();
  EXPECT_EQ(chip_.ReadCDF(), CHIP_CANT_OPEN_LIBRARY);
  EXPECT_EQ(Read(Edited("[CDF]", "[CDX]")), 17);
  EXPECT_EQ(Read(Edited("QX3.0", "QX4.0")), 12);
  EXPECT_EQ(Read(Edited("[Chip]", "[Chop]")), 13);
  EXPECT_EQ(Read(Edited("Rows=8", "Rows=eight")), 13);
  EXPECT_EQ(Read(Edited("Rows=8", "Rows=70000")), 13);
  EXPECT_EQ(Read(""), 17);
}

TEST_F(Refusal, CellsOutsideTheGridAreRefused) {
  // Cell index 9 of the first expression cell line becomes 64 (= rows x cols).
  EXPECT_EQ(Read(Edited("\tt\tt\tt\t0\t8\t", "\tt\tt\tt\t0\t64\t")), 13);
  EXPECT_EQ(Read(Edited("Cell1=0\t1\t", "Cell1=8\t1\t")), 13);
  EXPECT_EQ(Read(Edited("Cell1=0\t1\t", "Cell1=-1\t1\t")), 13);
  // QC cells too.
  EXPECT_EQ(Read(Edited("Cell1=1\t0\tN\t25\t0\t1\t1", "Cell1=1\t0\tN\t25\t0\t99\t1")), 13);
}

TEST_F(Refusal, CountsBeyondTheFileAreRefusedBeforeAllocating) {
  EXPECT_EQ(Read(Edited("NumberOfUnits=4", "NumberOfUnits=2000000000")), 13);
  EXPECT_EQ(Read(Edited("NumberCells=2", "NumberCells=1000000000")), 13);
  EXPECT_EQ(Read(Edited("NumAtoms=2 2", "NumAtoms=100000000 200")), 13);
  EXPECT_EQ(Read(Edited("NumAtoms=2 2", "NumAtoms=2 300")), 13);  // a byte of cells per atom
  EXPECT_EQ(Read(Edited("NumAtoms=2 2", "NumAtoms=-2 2")), 13);
  EXPECT_EQ(Read(Edited("NumQCUnits=2", "NumQCUnits=2000000000")), 13);
}

TEST_F(Refusal, MoreAtomsOrCellsThanAnnounced) {
  // The expression unit announces one pair but its cells begin two.
  EXPECT_EQ(Read(Edited("NumAtoms=2 2", "NumAtoms=1 2")), 13);
  // Five cells in an atom of four.
  std::string s = Edited("NumAtoms=2\nNumCells=9", "NumAtoms=2 3\nNumCells=9");
  EXPECT_EQ(Read(s), 13);
  // More unit sections than announced.
  EXPECT_EQ(Read(Edited("NumberOfUnits=4", "NumberOfUnits=1")), 13);
}

TEST_F(Refusal, TruncatedFileKeepsTheUnitsBuiltSoFar) {
  std::string s = SmallLayout();
  s.resize(s.find("Cell3=", s.find("[Unit2_Block1]")) + 9);
  EXPECT_EQ(Read(s), 13);
  // The expression unit was complete; the resequencing unit had begun.
  ASSERT_EQ(chip_.units.count, 2);
  EXPECT_EQ(chip_.numberOfUnits, 2);
  EXPECT_EQ(chip_.unitTypes.count, 2);
  EXPECT_EQ(chip_.unitNumbers.data[1], 20);
  EXPECT_EQ(chip_.GetUnit(0)->geneExpression->atoms[1].cells[0].x, 3);
  EXPECT_EQ(chip_.qcUnits.count, 2);
}

TEST_F(Refusal, TruncatedQCSectionsNeverClaimMissingUnits) {
  std::string s = SmallLayout();
  s.resize(s.find("[QC2]"));
  EXPECT_EQ(Read(s), 13);
  EXPECT_EQ(chip_.qcUnits.count, 1);
  EXPECT_EQ(chip_.numberOfQCUnits, 1);
  EXPECT_EQ(chip_.GetQCUnit(1), nullptr);
}

TEST_F(Refusal, MalformedLines) {
  EXPECT_EQ(Read(Edited("UnitType=3", "UnitType")), 13);
  EXPECT_EQ(Read(Edited("NumberBlocks=1\n\n[Unit1_Block1]", "NumberBlocks=-1\n\n[Unit1_Block1]")),
            13);
  // A cell line that stops before its cell index.
  EXPECT_EQ(Read(Edited("\tt\tt\tt\t0\t8\t-1\t-1\t99\t-\n", "\tt\tt\tt\t0\n")), 13);
}

}  // namespace
