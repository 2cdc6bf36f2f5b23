// QC units: the line layout of each QC type family, and building a chip by hand.
#include <gtest/gtest.h>

#include "tesk/pendrix71.h"

namespace {

TEST(QCUnitTest, LineLayoutsByType) {
  CellClass cells[8];
  cells[6].intensity = 66.0f;
  cells[6].stdev = 6.0f;
  cells[6].pixels = 16;

  QCUnitClass plain(1, 3);
  ASSERT_EQ(plain.SetData(0, cells, "4 5 probe 25 2 6", 8), 0);
  EXPECT_EQ(plain.qcCells[0].x, 4);
  EXPECT_EQ(plain.qcCells[0].y, 5);
  EXPECT_EQ(plain.qcCells[0].probeLength, 25);
  EXPECT_EQ(plain.qcCells[0].atom, 2);
  EXPECT_FLOAT_EQ(plain.qcCells[0].intensity, 66.0f);
  EXPECT_FLOAT_EQ(plain.qcCells[0].stdev, 6.0f);
  EXPECT_EQ(plain.qcCells[0].pixels, 16);
  EXPECT_EQ(plain.qcCells[0].match, 0);

  QCUnitClass matched(1, 8);
  ASSERT_EQ(matched.SetData(0, nullptr, "4 5 probe 25 2 6 1"), 0);
  EXPECT_EQ(matched.qcCells[0].match, 1);
  EXPECT_EQ(matched.qcCells[0].background, 0);
  EXPECT_FLOAT_EQ(matched.qcCells[0].intensity, 0.0f);  // no cell array: no intensity

  QCUnitClass flagged(1, 9);
  flagged.qcCells[0].qcValue = 5;
  ASSERT_EQ(flagged.SetData(0, nullptr, "4 5 probe 25 2 6 1 1"), 0);
  EXPECT_EQ(flagged.qcCells[0].match, 1);
  EXPECT_EQ(flagged.qcCells[0].background, 1);
  EXPECT_EQ(flagged.qcCells[0].qcValue, 0);

  QCUnitClass letters(1, 12);
  ASSERT_EQ(letters.SetData(0, nullptr, "4\t5\tcat 25\t2\t6"), 0);
  EXPECT_EQ(letters.qcCells[0].probe, 'c');
  EXPECT_EQ(letters.qcCells[0].atom, 2);
}

TEST(QCUnitTest, MalformedLinesAndIndicesAreRefused) {
  CellClass cells[4];
  QCUnitClass q(2, 7);
  EXPECT_EQ(q.SetData(0, nullptr, "4 5 probe 25 2 6"), CHIP_INVALID_LIBRARY_FORMAT);  // the match flag is missing
  EXPECT_EQ(q.SetData(2, nullptr, "4 5 probe 25 2 6 1"), CHIP_INVALID_LIBRARY_FORMAT);  // beyond the unit
  EXPECT_EQ(q.SetData(-1, nullptr, "4 5 probe 25 2 6 1"), CHIP_INVALID_LIBRARY_FORMAT);
  EXPECT_EQ(q.SetData(0, cells, "4 5 probe 25 2 4 1", 4), CHIP_INVALID_LIBRARY_FORMAT);  // beyond the cell array
  EXPECT_EQ(q.SetData(0, cells, "4 5 probe 25 2 -1 1", 4), CHIP_INVALID_LIBRARY_FORMAT);
  EXPECT_EQ(q.SetData(0, cells, "4 5 probe 25 2 3 1", 4), 0);
}

TEST(QCUnitTest, SizingAndTypeComparison) {
  QCUnitClass q(3, 10);
  EXPECT_EQ(q.numberOfCells, 3);
  EXPECT_TRUE(q == QC_TYPE_10);
  EXPECT_FALSE(q == QC_TYPE_9);
  EXPECT_EQ(q.SetSize(0), 0);
  EXPECT_EQ(q.numberOfCells, 0);
  EXPECT_EQ(q.qcCells, nullptr);
  EXPECT_NE(q.SetSize(-5), 0);
  EXPECT_EQ(q.numberOfCells, 0);
}

TEST(ChipBuildTest, AddUnitsAndQCUnitsByHand) {
  ChipClass chip;
  EXPECT_EQ(chip.AddUnit(static_cast<GeneExpressionUnitClass*>(nullptr), 1), CHIP_NO_VALID_TILES);
  EXPECT_EQ(chip.AddQCUnit(nullptr), CHIP_NO_VALID_TILES);
  auto* e = new GeneExpressionUnitClass(3, 2);
  ASSERT_EQ(chip.AddUnit(e, 17), 0);
  auto* g = new BlockUnitClass(2, 4);
  ASSERT_EQ(chip.AddUnit(g, 18), 0);
  ASSERT_EQ(chip.AddQCUnit(new QCUnitClass(1, 2)), 0);
  EXPECT_EQ(chip.numberOfUnits, 0);  // left to the caller
  EXPECT_EQ(chip.numberOfQCUnits, 0);
  EXPECT_EQ(chip.units.count, 2);
  EXPECT_EQ(chip.unitTypes.data[0], 3);
  EXPECT_EQ(chip.unitCellsPerAtom.data[0], 2);
  EXPECT_EQ(chip.unitAtoms.data[0], 3);
  EXPECT_EQ(chip.unitNumbers.data[0], 17);
  EXPECT_EQ(chip.unitTypes.data[1], 2);
  EXPECT_EQ(chip.unitCellsPerAtom.data[1], 4);
  EXPECT_EQ(chip.GetUnit(0)->geneExpression, e);
  EXPECT_EQ(chip.GetUnit(1)->block, g);
  EXPECT_EQ(chip.GetUnit(-1), nullptr);
  EXPECT_EQ(chip.GetQCUnit(QC_TYPE_2), chip.GetQCUnit(0));
  EXPECT_EQ(chip.GetQCUnit(5), nullptr);
  EXPECT_EQ(chip.GetFirstStandardUnit(), nullptr);
  EXPECT_EQ(chip.GetCompositeAtom(0), nullptr);  // no composite sequence
  chip.InitializeChip();  // frees what it held
  EXPECT_EQ(chip.units.count, 0);
  EXPECT_EQ(chip.qcUnits.count, 0);
}

TEST(AtomTest, InitAndAssignment) {
  AtomClass a(4);
  EXPECT_EQ(a.numberOfCells, 4);
  EXPECT_EQ(a.targetIndex, -1);
  EXPECT_EQ(a.codonIndex, -1);
  EXPECT_EQ(a.codon, -1);
  EXPECT_EQ(a.regionType, 99);
  EXPECT_EQ(a.cells[3].probeBase, ' ');
  EXPECT_EQ(a.cellOrder[3], 0);
  a.cells[2].probe = "acgt";
  a.cells[2].intensity = 4.5f;
  a.region = "r";
  a.atomNumber = 12;
  AtomClass b(2);
  b = a;
  ASSERT_EQ(b.numberOfCells, 4);
  EXPECT_STREQ(b.cells[2].probe.c_str(), "acgt");
  EXPECT_FLOAT_EQ(b.cells[2].intensity, 4.5f);
  EXPECT_STREQ(b.region.c_str(), "r");
  EXPECT_EQ(b.atomNumber, 12);
  a.cells[2].probe = "x";
  EXPECT_STREQ(b.cells[2].probe.c_str(), "acgt");  // a deep copy
  EXPECT_NE(a.Init(256), 0);
  EXPECT_EQ(a.numberOfCells, 0);
  EXPECT_EQ(a.cells, nullptr);
}

}  // namespace
