// Layout reading: where the cells of a layout land in units, atoms and pairs, and what the
// chip-level fields hold afterwards.
#include <gtest/gtest.h>

#include <string>

#include "model_test_util.h"
#include "tesk/pendrix71.h"

namespace {

using model_test::ScratchDir;
using model_test::SmallLayout;
using model_test::WriteText;

class LayoutTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = dir_.File("small.CDF");
    WriteText(path_, SmallLayout());
    chip_.layoutFile = path_.c_str();
  }

  UnitClass* Tiling(int i) {
    return TilingUnitOf(chip_.GetUnit(i), chip_.unitTypes.data[i]);
  }

  ScratchDir dir_;
  std::string path_;
  ChipClass chip_;
};

TEST_F(LayoutTest, ChipSectionAndUnitTables) {
  ASSERT_EQ(chip_.ReadCDF(), 0);
  EXPECT_EQ(chip_.layoutVersion, 3);
  EXPECT_EQ(chip_.rows, 8);
  EXPECT_EQ(chip_.cols, 8);
  EXPECT_STREQ(chip_.layoutNameLine.c_str(), "Name=TestChip");
  EXPECT_STREQ(chip_.layoutReference.c_str(), "ref=text with equals");
  EXPECT_EQ(chip_.layoutQCUnits, 2);
  EXPECT_EQ(chip_.numberOfQCUnits, 2);
  EXPECT_EQ(chip_.maxUnit, 40);
  // The unit of type 9 is not loaded and not counted.
  ASSERT_EQ(chip_.numberOfUnits, 3);
  ASSERT_EQ(chip_.units.count, 3);
  const int numbers[] = {10, 20, 30};
  const int types[] = {3, 1, 2};
  const int cellsPerAtom[] = {2, 4, 4};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(chip_.unitNumbers.data[i], numbers[i]);
    EXPECT_EQ(chip_.unitTypes.data[i], types[i]);
    EXPECT_EQ(chip_.unitAtoms.data[i], 2);
    EXPECT_EQ(chip_.unitCellsPerAtom.data[i], cellsPerAtom[i]) << i;
  }
  EXPECT_EQ(chip_.GetUnit(3), nullptr);
  EXPECT_EQ(chip_.GetFirstStandardUnit(), chip_.GetUnit(1)->standard);
}

TEST_F(LayoutTest, ExpressionCellsGoToPairSlotsByBaseComplement) {
  ASSERT_EQ(chip_.ReadCDF(), 0);
  GeneExpressionUnitClass* unit = chip_.GetUnit(0)->geneExpression;
  ASSERT_NE(unit, nullptr);
  EXPECT_EQ(unit->unitType, 3);
  EXPECT_EQ(unit->direction, 1);
  EXPECT_STREQ(unit->name.c_str(), "NONE");
  ASSERT_EQ(unit->numberOfAtoms, 2);
  const GeneExpressionAtomClass& p0 = unit->atoms[0];
  // The mismatch cell is listed first but its probe base does not complement the target.
  EXPECT_EQ(p0.cells[0].x, 1);
  EXPECT_EQ(p0.cells[0].y, 1);
  EXPECT_EQ(p0.cells[0].probeBase, 'a');
  EXPECT_EQ(p0.cells[0].targetBase, 't');
  EXPECT_STREQ(p0.cells[0].probe.c_str(), "AAAAAAAAAAAAAAAAAAAAAAAAA");
  EXPECT_EQ(p0.cells[1].x, 0);
  EXPECT_EQ(p0.cells[1].probeBase, 't');
  EXPECT_EQ(p0.unitNumber, 10);
  EXPECT_EQ(p0.atomNumber, 0);
  const GeneExpressionAtomClass& p1 = unit->atoms[1];
  EXPECT_EQ(p1.cells[0].x, 3);
  EXPECT_EQ(p1.cells[1].x, 4);
  EXPECT_EQ(p1.atomNumber, 1);
  ASSERT_EQ(unit->blocks.count, 1);
  auto* block = static_cast<UnitBlockInfoClass*>(unit->blocks.data[0]);
  EXPECT_STREQ(block->name.c_str(), "gene_a");
  EXPECT_EQ(block->firstAtom, 0);
  EXPECT_EQ(block->numberOfAtoms, 2);
}

TEST_F(LayoutTest, TilingCellsFillAtomSlotsFromTheEnd) {
  ASSERT_EQ(chip_.ReadCDF(), 0);
  UnitClass* unit = Tiling(1);
  ASSERT_NE(unit, nullptr);
  EXPECT_EQ(unit->unitType, 1);
  EXPECT_EQ(unit->direction, 2);
  EXPECT_STREQ(unit->name.c_str(), "reseq_one");
  ASSERT_EQ(unit->numberOfAtoms, 2);
  const AtomClass& a0 = unit->atoms[0];
  ASSERT_EQ(a0.numberOfCells, 4);
  // The k-th cell of an atom goes to slot 3 - k.
  const char* probes[] = {"p0t", "p0g", "p0c", "p0a"};
  for (int slot = 0; slot < 4; ++slot) {
    EXPECT_STREQ(a0.cells[slot].probe.c_str(), probes[slot]) << slot;
    EXPECT_EQ(a0.cells[slot].x, 3 - slot);
    EXPECT_EQ(a0.cells[slot].y, 2);
    EXPECT_EQ(a0.cells[slot].targetBase, 'g');
    EXPECT_EQ(a0.cells[slot].background, 0);
  }
  EXPECT_EQ(a0.unitNumber, 20);
  EXPECT_EQ(a0.atomNumber, 0);
  EXPECT_EQ(a0.blockNumber, 4);
  EXPECT_EQ(a0.expos, 3);
  EXPECT_EQ(a0.codonIndex, 0);
  EXPECT_EQ(a0.codon, 5);
  EXPECT_EQ(a0.regionType, 2);
  EXPECT_STREQ(a0.region.c_str(), "exon1");
  // Target index: the first cell whose probe base complements the target base g (slot 2, c).
  EXPECT_EQ(a0.targetIndex, 2);
  const AtomClass& a1 = unit->atoms[1];
  EXPECT_EQ(a1.atomNumber, 7);
  EXPECT_EQ(a1.regionType, 99);
  EXPECT_TRUE(a1.region.IsEmpty());
  EXPECT_EQ(a1.cells[0].probeBase, 't');
  EXPECT_EQ(a1.cells[3].probeBase, 'a');
  EXPECT_EQ(a1.targetIndex, 0);  // complement of a is t: slot 0
}

TEST_F(LayoutTest, GenotypingBlocksCarryTheirOwnDirection) {
  ASSERT_EQ(chip_.ReadCDF(), 0);
  BlockUnitClass* unit = chip_.GetUnit(2)->block;
  ASSERT_NE(unit, nullptr);
  EXPECT_EQ(unit->unitType, 2);
  EXPECT_EQ(unit->mutationType, 2);
  ASSERT_EQ(unit->blocks.count, 2);
  for (int b = 0; b < 2; ++b) {
    auto* block = static_cast<BlockUnitBlockInfoClass*>(unit->blocks.data[b]);
    EXPECT_EQ(block->direction, b + 1);
    EXPECT_EQ(block->firstAtom, b);
    EXPECT_EQ(block->numberOfAtoms, 1);
    EXPECT_EQ(block->call, 3);
    EXPECT_STREQ(block->name.c_str(), b == 0 ? "allele_A" : "allele_B");
  }
  EXPECT_EQ(unit->atoms[1].blockNumber, 2);
  EXPECT_EQ(unit->atoms[1].cells[3].x, 0);  // first cell of block 2 is index 40
  EXPECT_EQ(unit->atoms[1].cells[3].y, 5);
}

TEST_F(LayoutTest, ValidUnitTypesFilterWhatIsLoaded) {
  chip_.SetValidUnit(TILING_EXPRESSION);
  EXPECT_EQ(chip_.validUnitTypes, 1 << 3);
  ASSERT_EQ(chip_.ReadCDF(), 0);
  EXPECT_EQ(chip_.numberOfUnits, 1);
  ASSERT_EQ(chip_.units.count, 1);
  EXPECT_EQ(chip_.unitTypes.data[0], 3);
  EXPECT_EQ(chip_.unitNumbers.data[0], 10);
  EXPECT_EQ(chip_.GetFirstStandardUnit(), nullptr);
}

TEST_F(LayoutTest, CarriageReturnLineEndsReadTheSame) {
  std::string text = SmallLayout();
  std::string crlf;
  for (char c : text) {
    if (c == '\n') crlf += '\r';
    crlf += c;
  }
  WriteText(path_, crlf);
  ASSERT_EQ(chip_.ReadCDF(), 0);
  EXPECT_EQ(chip_.numberOfUnits, 3);
  EXPECT_STREQ(chip_.layoutNameLine.c_str(), "Name=TestChip");
  EXPECT_STREQ(Tiling(1)->name.c_str(), "reseq_one");
  EXPECT_STREQ(Tiling(1)->atoms[0].region.c_str(), "exon1");
}

TEST_F(LayoutTest, FillModeSetsLayoutOfExistingUnitsOnly) {
  // A chip as a result file leaves it: units with results but no layout.
  auto* expression = new GeneExpressionUnitClass(2, 2);
  expression->atoms[0].cells[0].intensity = 55.0f;
  expression->atoms[0].pairValue = 7.0f;
  ASSERT_EQ(chip_.AddUnit(expression, 10), 0);
  auto* reseq = new StandardUnitClass(2, 4);
  reseq->atoms[0].background = 3.5f;
  ASSERT_EQ(chip_.AddUnit(reseq, 20), 0);
  chip_.numberOfUnits = 2;
  auto* qc = new QCUnitClass(2, 7);
  qc->qcCells[0].intensity = 9.0f;
  ASSERT_EQ(chip_.AddQCUnit(qc), 0);
  chip_.numberOfQCUnits = 1;

  ASSERT_EQ(chip_.ReadCDF(), 0);
  // The layout's other units are not the chip's: they are passed over, and the chip keeps
  // its count.
  EXPECT_EQ(chip_.numberOfUnits, 2);
  EXPECT_EQ(chip_.units.count, 2);
  EXPECT_EQ(chip_.qcUnits.count, 1);
  EXPECT_STREQ(expression->name.c_str(), "NONE");
  EXPECT_EQ(expression->atoms[0].cells[0].x, 1);
  EXPECT_EQ(expression->atoms[0].cells[0].probeBase, 'a');
  EXPECT_FLOAT_EQ(expression->atoms[0].cells[0].intensity, 55.0f);
  EXPECT_FLOAT_EQ(expression->atoms[0].pairValue, 7.0f);
  EXPECT_STREQ(reseq->atoms[0].cells[3].probe.c_str(), "p0a");
  EXPECT_EQ(reseq->atoms[0].cells[0].x, 3);
  EXPECT_FLOAT_EQ(reseq->atoms[0].background, 3.5f);
  EXPECT_EQ(qc->qcCells[0].x, 1);
  EXPECT_EQ(qc->qcCells[0].match, 1);
  EXPECT_FLOAT_EQ(qc->qcCells[0].intensity, 9.0f);
}

TEST_F(LayoutTest, CopyFromAnotherChipMatchesReadingTheFile) {
  ASSERT_EQ(chip_.ReadCDF(), 0);
  ChipClass target;
  auto* expression = new GeneExpressionUnitClass(2, 2);
  ASSERT_EQ(target.AddUnit(expression, 10), 0);
  auto* reseq = new StandardUnitClass(2, 4);
  ASSERT_EQ(target.AddUnit(reseq, 20), 0);
  auto* geno = new BlockUnitClass(2, 4);
  ASSERT_EQ(target.AddUnit(geno, 30), 0);
  target.numberOfUnits = 3;
  ASSERT_EQ(target.ReadCDF(&chip_), 0);
  EXPECT_EQ(expression->atoms[0].cells[1].x, 0);
  EXPECT_STREQ(reseq->name.c_str(), "reseq_one");
  EXPECT_STREQ(reseq->atoms[0].region.c_str(), "exon1");
  EXPECT_EQ(reseq->atoms[1].atomNumber, 7);
  EXPECT_STREQ(reseq->atoms[0].cells[0].probe.c_str(), "p0t");
  ASSERT_EQ(geno->blocks.count, 2);
  EXPECT_EQ(static_cast<BlockUnitBlockInfoClass*>(geno->blocks.data[1])->direction, 2);
  EXPECT_EQ(geno->mutationType, 2);
  EXPECT_EQ(target.layoutVersion, 3);
}

TEST(LayoutHeaderTest, OneNumberAtomsLineTakesTheTypeDefault) {
  ScratchDir dir;
  const std::string path = dir.File("one.CDF");
  std::string s =
      "[CDF]\nVersion=QX1.0\n[Chip]\nName=x\nRows=2\nCols=2\nNumberOfUnits=2\nMaxUnit=2\n";
  s += "[Unit1]\nName=e\nDirection=1\nNumAtoms=1\nNumCells=2\nUnitNumber=1\nUnitType=3\n"
       "NumberBlocks=1\n[Unit1_Block1]\nName=e\nBlockNumber=1\nNumAtoms=1\nNumCells=2\n"
       "StartPosition=0\nStopPosition=0\n";
  s += model_test::kCellHeader;
  s += model_test::CellLine(1, 0, 0, "x", 0, 'a', 't', 0, 0);
  s += model_test::CellLine(2, 1, 0, "x", 0, 't', 't', 0, 1);
  s += "[Unit2]\nName=r\nDirection=1\nNumAtoms=1\nNumCells=4\nUnitNumber=2\nUnitType=1\n"
       "NumberBlocks=1\n[Unit2_Block1]\nName=r\nBlockNumber=1\nNumAtoms=1\nNumCells=4\n"
       "StartPosition=0\nStopPosition=0\n";
  s += model_test::kCellHeader;
  for (int k = 0; k < 4; ++k) s += model_test::CellLine(k + 1, k % 2, k / 2, "x", 0, 'a', 't', 0, k);
  WriteText(path, s);
  ChipClass chip;
  chip.layoutFile = path.c_str();
  ASSERT_EQ(chip.ReadCDF(), 0);
  EXPECT_EQ(chip.layoutVersion, 1);
  EXPECT_EQ(chip.numberOfQCUnits, 0);
  ASSERT_EQ(chip.numberOfUnits, 2);
  EXPECT_EQ(chip.unitCellsPerAtom.data[0], 2);
  EXPECT_EQ(chip.unitCellsPerAtom.data[1], 4);
  EXPECT_EQ(chip.GetUnit(1)->standard->atoms[0].numberOfCells, 4);
}

TEST(LayoutHeaderTest, StoreCDFDataParsesTheLayoutPartOfACellLine) {
  CellClass cell;
  EXPECT_EQ(cell.StoreCDFData("5 6 ACGTN N control 0 13 A C G", 1, 1), 1);
  EXPECT_EQ(cell.x, 5);
  EXPECT_EQ(cell.y, 6);
  EXPECT_EQ(cell.probeBase, 'c');
  EXPECT_EQ(cell.targetBase, 'g');
  EXPECT_STREQ(cell.probe.c_str(), "ACGTN");
  EXPECT_EQ(cell.background, 0);

  CellClass bang;
  bang.StoreCDFData("1 2 !xyz N control 0 13 A C G", 1, 1);
  EXPECT_EQ(bang.background, 1);

  // A probe beginning with N is not stored; a line without bases marks the cell background.
  CellClass n;
  EXPECT_EQ(n.StoreCDFData("1 2 NNNN", 1, 1), 0);
  EXPECT_TRUE(n.probe.IsEmpty());
  EXPECT_EQ(n.probeBase, ' ');
  EXPECT_EQ(n.background, 1);
}

}  // namespace
