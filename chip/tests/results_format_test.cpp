// Field layout of every result file version: files are built byte by byte here and read back.
#include <gtest/gtest.h>
#include <unistd.h>

#include <bit>
#include <cstring>
#include <fstream>
#include <string>

#include "results_bytes.h"
#include "tesk/pendrix71.h"

namespace {

using results_test::Bytes;
using results_test::Expression;
using results_test::ReadBytes;
using results_test::Tiling;

void Cell(Bytes& b, int version, bool floats, int x, int y, int intensityMilli, int stdevMilli,
          int pixels, int masked, int outlier) {
  if (version >= 13) {
    b.U16(static_cast<std::uint16_t>(x)).U16(static_cast<std::uint16_t>(y));
    return;
  }
  b.I32(x).I32(y);
  if (floats) b.F32(intensityMilli / 1000.0f).F32(stdevMilli / 1000.0f);
  else b.Fixed(intensityMilli).Fixed(stdevMilli);
  b.I32(pixels);
  if (version >= 8) b.Byte(static_cast<std::uint8_t>(masked)).Byte(static_cast<std::uint8_t>(outlier));
}

// One file of the given version: an expression unit (number 10, two pairs), a resequencing
// unit (20, two atoms), a genotyping unit (30, one atom), then the composite and a QC unit.
std::string BuildFile(int version) {
  Bytes b;
  b.Magic().I32(version);
  if (version >= 7) {
    b.Text("ExprAlg");
    if (version >= 10) b.Text("5.0");
    b.Text("Alpha=0.05;Tau=0.015");
    if (version >= 10) b.Text("Background=41.2");
  } else if (version >= 2) {
    b.FixedText("ExprAlg", 260).FixedText("Alpha=0.05;Tau=0.015", 260);
  }
  b.I32(8).I32(9).I32(3).I32(5);
  if (version >= 3) b.I32(1);
  b.I32(10).I32(20).I32(30);
  b.I32(2).I32(2).I32(1).I32(0).I32(0);  // atoms, padded to maxUnit
  b.I32(3).I32(1).I32(2).I32(0).I32(0);  // types
  if (version >= 7) b.I32(2).I32(4).I32(4);
  if (version >= 3) b.FixedText("Demo8x9", 256);
  else b.FixedText("C:\\lib\\Demo8x9.CIF", 256);
  b.FixedText("C:\\data\\s1.CEL", 256);
  if (version >= 3) b.Text("id-7");

  // Expression unit.
  const bool f = version >= 12;
  b.I32(2).I32(2);
  if (version >= 7 && version <= 12) b.I32(1);
  b.I32(3);
  if (version != 13) b.I32(4).I32(5).I32(6);
  if (f) b.F32(1.5f); else b.Fixed(1500);
  if (version != 13) { if (f) b.F32(2.25f); else b.Fixed(2250); }
  if (f) b.F32(-0.5f); else b.Fixed(-500);
  b.I32(2);
  for (int k = 0; k < 2; ++k) {
    if (f) b.F32(10.5f + k); else b.Fixed(10500 + 1000 * k);
    b.I32(0x0102);
    Cell(b, version, version == 12, 2 * k, 1, 100250, 7500, 16, 1, 0);
    Cell(b, version, version == 12, 2 * k + 1, 1, 50125, 3250, 15, 0, 1);
  }
  if (version >= 7) {
    b.I32(1);
    if (version >= 13) {
      b.I32(11).I32(19).Byte(3).Fixed(6000).Fixed(7000).Fixed(10000).Fixed(12000).F32(13.5f);
    } else {
      b.I32(11).I32(12).I32(14).I32(15).I32(19).Byte(3).Byte(4);
      for (int v : {2000, 3000, 6000, 7000, 8000, 10000, 11000, 12000}) b.Fixed(v);
      if (version == 12) b.F32(13.5f); else b.Fixed(13500);
    }
  }

  // Resequencing unit: bases at positions 1 and 3.
  b.Text(" a g").Text(" a c").I32(2);
  for (int k = 0; k < 2; ++k) {
    b.Fixed(1250 + k);
    for (int c = 0; c < 4; ++c) Cell(b, version, false, c, 3 + k, 200000 + 1000 * c, 500, 9, 0, 0);
  }

  // Genotyping unit.
  b.I32(1).I32(7).Text("blk").Byte(6).Fixed(900).Fixed(800).Fixed(700);
  if (version >= 10) {
    b.Byte(1).I32(0).Text("A").Text("G").Text("AG").I32(2).I32(1).Byte(8);
    if (version >= 13) b.I32(3);
    for (float v : {0.5f, 0.25f, 0.125f, 0.0625f, 1.0f}) b.F32(v);
  }
  b.Text("t").Text("t").I32(1).Fixed(0);
  for (int c = 0; c < 4; ++c) Cell(b, version, false, 4 + c, 7, 1000, 100, 4, 0, 0);

  if (version >= 3) {
    b.I32(3).Raw("acg").Raw("atg").Raw("   ").I16(20).I16(20).I16(30).Text("ref").I32(0);
    if (version >= 5) b.I32(0x01020304).I32(-1).I32(0);
    b.I32(2).I32(7);
    for (int c = 0; c < 2; ++c) {
      b.I32(c).I32(5);
      if (version >= 12) b.F32(55.5f).F32(2.5f); else b.Fixed(55500).Fixed(2500);
      b.I32(9);
      if (version >= 12) b.I32(0x11223344);
    }
  }
  return b.str();
}

class EveryVersion : public ::testing::TestWithParam<int> {};

TEST_P(EveryVersion, HeaderFields) {
  const int v = GetParam();
  ChipClass chip;
  chip.libraryPath = "/lib";
  ASSERT_EQ(ReadBytes(chip, BuildFile(v)), 0);
  EXPECT_EQ(chip.resultVersion, v);
  EXPECT_STREQ(chip.algorithmName.c_str(), v >= 2 ? "ExprAlg" : "");
  EXPECT_STREQ(chip.algorithmParameters.c_str(), v >= 2 ? "Alpha=0.05;Tau=0.015" : "");
  EXPECT_STREQ(chip.algorithmVersion.c_str(), v >= 10 ? "5.0" : "");
  EXPECT_STREQ(chip.chipSummary.c_str(), v >= 10 ? "Background=41.2" : "");
  EXPECT_EQ(chip.rows, 8);
  EXPECT_EQ(chip.cols, 9);
  EXPECT_EQ(chip.numberOfUnits, 3);
  EXPECT_EQ(chip.maxUnit, 5);
  EXPECT_EQ(chip.numberOfQCUnits, v >= 3 ? 1 : 0);
  ASSERT_EQ(chip.unitAtoms.count, 3);  // the zero padding is dropped
  ASSERT_EQ(chip.unitTypes.count, 3);
  EXPECT_EQ(chip.unitNumbers.data[1], 20);
  EXPECT_EQ(chip.unitAtoms.data[0], 2);
  EXPECT_EQ(chip.unitAtoms.data[2], 1);
  EXPECT_EQ(chip.unitTypes.data[0], 3);
  EXPECT_EQ(chip.unitTypes.data[2], 2);
  EXPECT_EQ(chip.unitCellsPerAtom.data[0], 2);  // stated, or the type's default
  EXPECT_EQ(chip.unitCellsPerAtom.data[1], 4);
  EXPECT_STREQ(chip.chipType.c_str(), "Demo8x9");
  EXPECT_STREQ(chip.cellFile.c_str(), "C:\\data\\s1.CEL");
  EXPECT_STREQ(chip.algorithmIdentifier.c_str(), v >= 3 ? "id-7" : "");
  EXPECT_STREQ(chip.layoutFile.c_str(), "/lib/Demo8x9.CDF");
  EXPECT_STREQ(chip.infoFile.c_str(), "/lib/Demo8x9.CIF");
  EXPECT_STREQ(chip.controlFile.c_str(), "/lib/Demo8x9.CTL");
}

TEST_P(EveryVersion, ExpressionRecord) {
  const int v = GetParam();
  ChipClass chip;
  ASSERT_EQ(ReadBytes(chip, BuildFile(v)), 0);
  const GeneExpressionUnitClass* e = Expression(chip, 0);
  ASSERT_NE(e, nullptr);
  ASSERT_EQ(e->numberOfAtoms, 2);
  EXPECT_EQ(e->pairsUsed, 2);
  EXPECT_EQ(e->pairsInAverage, (v >= 7 && v <= 12) ? 1 : 2);
  EXPECT_EQ(e->stat1, 3);
  EXPECT_EQ(e->stat2, v != 13 ? 4 : 0);
  EXPECT_EQ(e->stat4, v != 13 ? 6 : 0);
  EXPECT_FLOAT_EQ(e->value1, 1.5f);
  EXPECT_FLOAT_EQ(e->value2, v != 13 ? 2.25f : 0.0f);
  EXPECT_FLOAT_EQ(e->value3, -0.5f);
  EXPECT_EQ(e->callCode, 2);
  const GeneExpressionAtomClass& p1 = e->atoms[1];
  EXPECT_EQ(p1.atomNumber, 1);
  EXPECT_FLOAT_EQ(p1.pairValue, 11.5f);
  EXPECT_EQ(p1.pairCode, 2);  // the low byte of the i32
  EXPECT_EQ(p1.cells[0].x, 2);
  EXPECT_EQ(p1.cells[1].x, 3);
  EXPECT_EQ(p1.cells[1].y, 1);
  if (v < 13) {
    EXPECT_FLOAT_EQ(p1.cells[0].intensity, 100.25f);
    EXPECT_FLOAT_EQ(p1.cells[1].stdev, 3.25f);
    EXPECT_EQ(p1.cells[0].pixels, 16);
  } else {
    EXPECT_EQ(p1.cells[0].intensity, 0.0f);
  }
  EXPECT_EQ(p1.cells[0].masked, v >= 8 && v < 13 ? 1 : 0);
  EXPECT_EQ(p1.cells[1].outlier, v >= 8 && v < 13 ? 1 : 0);
  EXPECT_EQ(e->comparisonPresent, v >= 7 ? 1 : 0);
  if (v >= 7) {
    EXPECT_EQ(e->comparison.c0, 11);
    EXPECT_EQ(e->comparison.c9, 19);
    EXPECT_EQ(e->comparison.b0, 3);
    EXPECT_FLOAT_EQ(e->comparison.c7, 7.0f);
    EXPECT_FLOAT_EQ(e->comparison.c12, 12.0f);
    EXPECT_FLOAT_EQ(e->comparison.c13, 13.5f);
    EXPECT_EQ(e->comparison.c5, v < 13 ? 15 : 0);
    EXPECT_EQ(e->comparison.b1, v < 13 ? 4 : 0);
    EXPECT_FLOAT_EQ(e->comparison.c11, v < 13 ? 11.0f : 0.0f);
  }
}

TEST_P(EveryVersion, TilingAndGenotypingRecords) {
  const int v = GetParam();
  ChipClass chip;
  ASSERT_EQ(ReadBytes(chip, BuildFile(v)), 0);
  UnitClass* r = Tiling(chip, 1);
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->unitType, 1);
  EXPECT_STREQ(r->wildTypeSequence.c_str(), " a g");
  EXPECT_STREQ(r->calledSequence.c_str(), " a c");
  ASSERT_EQ(r->numberOfAtoms, 2);
  // Atom k takes the position of the k-th base of the wild-type sequence.
  EXPECT_EQ(r->atoms[0].atomNumber, 1);
  EXPECT_EQ(r->atoms[1].atomNumber, 3);
  EXPECT_NEAR(r->atoms[1].background, 1.251f, 1e-6);
  EXPECT_EQ(r->atoms[1].cells[2].x, 2);
  EXPECT_EQ(r->atoms[1].cells[2].y, 4);
  if (v < 13) {
    EXPECT_FLOAT_EQ(r->atoms[0].cells[3].intensity, 203.0f);
    EXPECT_EQ(r->atoms[0].cells[3].pixels, 9);
    // The brightest cell comes first in the cell order.
    EXPECT_EQ(r->atoms[0].cellOrder[0], 3);
    EXPECT_EQ(r->atoms[0].cellOrder[3], 0);
  }

  AllUnitTypes* holder = chip.GetUnit(2);
  ASSERT_NE(holder, nullptr);
  BlockUnitClass* g = holder->block;
  ASSERT_EQ(g->blocks.count, 1);
  auto* block = static_cast<BlockUnitBlockInfoClass*>(g->blocks.data[0]);
  EXPECT_EQ(block->code, 7);
  EXPECT_STREQ(block->name.c_str(), "blk");
  EXPECT_EQ(block->call, 6);
  EXPECT_FLOAT_EQ(block->GetConfidence(BLOCK_CONFIDENCE_2), 0.7f);
  EXPECT_EQ(g->resultPresent, v >= 10 ? 1 : 0);
  if (v >= 10) {
    EXPECT_EQ(g->genotypeIndex, 0);
    EXPECT_STREQ(g->alleleB.c_str(), "G");
    EXPECT_STREQ(g->genotypeName.c_str(), "AG");
    EXPECT_EQ(g->blocksCalled, 1);
    EXPECT_EQ(g->genotypeCall, 8);
    EXPECT_EQ(g->callMethod, v >= 13 ? 3 : 0);
    EXPECT_EQ(g->resultValues[4], std::bit_cast<std::uint32_t>(1.0f));
  }
  EXPECT_STREQ(g->wildTypeSequence.c_str(), "t");
  EXPECT_EQ(g->atoms[0].cells[3].x, 7);
}

TEST_P(EveryVersion, CompositeAndQC) {
  const int v = GetParam();
  ChipClass chip;
  ASSERT_EQ(ReadBytes(chip, BuildFile(v)), 0);
  if (v < 3) {
    EXPECT_EQ(chip.composite.sequence.count, 0);
    EXPECT_EQ(chip.qcUnits.count, 0);
    return;
  }
  const ChipComposite& c = chip.composite;
  ASSERT_EQ(c.sequence.count, 3);
  EXPECT_EQ(std::string(c.sequence.data, 3), "acg");
  EXPECT_EQ(std::string(c.calls.data, 3), "atg");
  EXPECT_EQ(std::string(c.secondCalls.data, 3), std::string(3, '\0'));  // blanks become zeros
  EXPECT_EQ(c.positionUnits.data[2], 30);
  EXPECT_STREQ(c.extraText1.c_str(), "ref");
  EXPECT_EQ(c.extraText2.text, nullptr);
  if (v >= 5) {
    ASSERT_EQ(c.percentComposition.count, 3);
    EXPECT_EQ(c.GetPercentComposition(0, 3), 1);
    EXPECT_EQ(c.GetPercentComposition(0, 0), 4);
    EXPECT_EQ(c.GetPercentComposition(1, 2), -1);
  } else {
    EXPECT_EQ(c.percentComposition.count, 0);
  }
  ASSERT_EQ(chip.qcUnits.count, 1);
  QCUnitClass* q = chip.GetQCUnit(0);
  EXPECT_EQ(q->qcType, 7);
  ASSERT_EQ(q->numberOfCells, 2);
  EXPECT_EQ(q->qcCells[1].x, 1);
  EXPECT_EQ(q->qcCells[1].y, 5);
  EXPECT_FLOAT_EQ(q->qcCells[1].intensity, 55.5f);
  EXPECT_FLOAT_EQ(q->qcCells[1].stdev, 2.5f);
  EXPECT_EQ(q->qcCells[1].pixels, 9);
  EXPECT_EQ(q->qcCells[1].qcValue, v >= 12 ? 0x11223344 : 0);
}

// Every prefix of a good file is short somewhere: the read fails with 8 and never crashes.
TEST_P(EveryVersion, EveryTruncationIsIncomplete) {
  const std::string file = BuildFile(GetParam());
  results_test::Scratch scratch;
  const std::string path = scratch.File("cut.CHP");
  results_test::WriteFile(path, file);
  // Shortened in place from the end: no new file per length.
  for (std::size_t n = file.size() - 1; n + 1 > 0; --n) {
    ASSERT_EQ(::truncate(path.c_str(), static_cast<off_t>(n)), 0);
    ChipClass chip;
    std::ifstream in(path, std::ios::binary);
    ASSERT_EQ(chip.ReadChip(in), CHIP_INCOMPLETE_FILE) << "length " << n;
  }
}

INSTANTIATE_TEST_SUITE_P(Versions, EveryVersion, ::testing::Range(1, 14));

TEST(ResultHeader, MagicAndVersionAreChecked) {
  ChipClass chip;
  std::string file = BuildFile(13);
  file[0] = 'v';
  EXPECT_EQ(ReadBytes(chip, file), 10);
  EXPECT_EQ(ReadBytes(chip, Bytes().Magic().I32(14).str() + std::string(100, '\0')), 11);
  EXPECT_EQ(ReadBytes(chip, Bytes().Magic().I32(0).str() + std::string(100, '\0')), 11);
  EXPECT_EQ(ReadBytes(chip, Bytes().Magic().str()), 8);
  EXPECT_EQ(ReadBytes(chip, ""), 8);
}

TEST(ResultHeader, UnitsSpreadOverUnitNumbersAreTakenInOrder) {
  // Tables indexed by unit number, with gaps, rather than packed at the front.
  Bytes b;
  b.Magic().I32(13).Text("").Text("").Text("").Text("").I32(1).I32(1).I32(2).I32(4).I32(0);
  b.I32(2).I32(4);
  b.I32(0).I32(3).I32(0).I32(1);  // atoms
  b.I32(0).I32(3).I32(0).I32(3);  // types
  b.I32(2).I32(2).FixedText("", 256).FixedText("", 256).Text("");
  for (int atoms : {3, 1}) {
    b.I32(atoms).I32(0).I32(0).F32(0).F32(0).I32(0);
    for (int k = 0; k < atoms; ++k) b.F32(0).I32(1).U16(0).U16(0).U16(0).U16(0);
    b.I32(0);
  }
  b.I32(0);
  ChipClass chip;
  ASSERT_EQ(ReadBytes(chip, b.str()), 0);
  EXPECT_EQ(chip.unitAtoms.data[0], 3);
  EXPECT_EQ(chip.unitAtoms.data[1], 1);
  EXPECT_EQ(Expression(chip, 1)->numberOfAtoms, 1);
}

TEST(ResultHeader, HeaderOnlyReadsNoUnits) {
  results_test::Scratch scratch;
  const std::string path = scratch.File("h.CHP");
  results_test::WriteFile(path, BuildFile(13));
  ChipClass chip;
  chip.libraryPath = "/lib";
  ASSERT_EQ(chip.ReadChipHeaderOnly(path.c_str()), 0);
  EXPECT_EQ(chip.numberOfUnits, 3);
  EXPECT_EQ(chip.units.count, 0);
  EXPECT_STREQ(chip.chipType.c_str(), "Demo8x9");
  EXPECT_STREQ(chip.layoutFile.c_str(), "/lib/Demo8x9.CDF");
  EXPECT_EQ(chip.ReadChipHeaderOnly(scratch.File("absent.CHP").c_str()), CHIP_INCOMPLETE_FILE);
  EXPECT_EQ(chip.ReadChipHeaderOnly(nullptr), CHIP_INCOMPLETE_FILE);
}

TEST(ResultHeader, HeaderOnlyReadsHeadersLongerThanItsFirstPiece) {
  // 40,000 units: the header's tables alone take 480,000 bytes.
  const int n = 40000;
  Bytes b;
  b.Magic().I32(13).Text("A").Text("").Text("").Text("").I32(1).I32(1).I32(n).I32(n).I32(0);
  for (int i = 0; i < n; ++i) b.I32(i + 1);
  for (int i = 0; i < n; ++i) b.I32(1);
  for (int i = 0; i < n; ++i) b.I32(9);  // a type without a unit class
  for (int i = 0; i < n; ++i) b.I32(4);
  b.FixedText("Big", 256).FixedText("", 256).Text("");
  results_test::Scratch scratch;
  const std::string path = scratch.File("big.CHP");
  results_test::WriteFile(path, b.str());
  ChipClass chip;
  ASSERT_EQ(chip.ReadChipHeaderOnly(path.c_str()), 0);
  EXPECT_EQ(chip.numberOfUnits, n);
  EXPECT_EQ(chip.unitNumbers.data[n - 1], n);
  EXPECT_STREQ(chip.chipType.c_str(), "Big");
}

TEST(HostileResultFiles, CountsBeyondTheFileFailWithoutAllocating) {
  auto header = [](int units, int maxUnit, int qc) {
    Bytes b;
    b.Magic().I32(13).Text("").Text("").Text("").Text("").I32(1).I32(1).I32(units).I32(maxUnit).I32(qc);
    return b;
  };
  ChipClass chip;
  EXPECT_EQ(ReadBytes(chip, header(0x7fffffff, 1, 0).str() + std::string(64, '\0')), 8);
  EXPECT_EQ(ReadBytes(chip, header(1, 0x7fffffff, 0).str() + std::string(64, '\0')), 8);
  EXPECT_EQ(ReadBytes(chip, header(-1, 1, 0).str() + std::string(64, '\0')), 8);

  // One expression unit claiming 100 million pairs.
  Bytes big = header(1, 1, 0);
  big.I32(1).I32(100000000).I32(3).I32(2).FixedText("", 256).FixedText("", 256).Text("");
  EXPECT_EQ(ReadBytes(chip, big.str() + std::string(64, '\0')), 8);

  // Cells per atom beyond what an atom can hold.
  Bytes cells = header(1, 1, 0);
  cells.I32(1).I32(1).I32(1).I32(300).FixedText("", 256).FixedText("", 256).Text("");
  EXPECT_EQ(ReadBytes(chip, cells.str() + std::string(4096, '\0')), 8);

  // A text length far beyond the file.
  Bytes text;
  text.Magic().I32(13).I32(0x7ffffff0);
  EXPECT_EQ(ReadBytes(chip, text.str() + std::string(64, 'x')), 8);

  // A composite and a QC unit claiming more than the file holds; a QC unit without cells.
  Bytes tail = header(0, 0, 1);
  tail.FixedText("", 256).FixedText("", 256).Text("");
  EXPECT_EQ(ReadBytes(chip, Bytes(tail).I32(0x40000000).str() + std::string(64, 'a')), 8);
  EXPECT_EQ(ReadBytes(chip, Bytes(tail).I32(0).I32(0x10000000).I32(1).str()), 8);
  EXPECT_EQ(ReadBytes(chip, Bytes(tail).I32(0).I32(0).I32(1).str()), 14);
}

TEST(HostileResultFiles, RecordAtomCountMustMatchTheHeader) {
  Bytes b;
  b.Magic().I32(13).Text("").Text("").Text("").Text("").I32(1).I32(1).I32(1).I32(1).I32(0);
  b.I32(5).I32(1).I32(1).I32(4).FixedText("", 256).FixedText("", 256).Text("");
  b.Text("a").Text("a").I32(2).Fixed(0);  // two atoms where the header said one
  for (int i = 0; i < 8; ++i) b.U16(0).U16(0);
  b.I32(0).I32(0);
  ChipClass chip;
  EXPECT_EQ(ReadBytes(chip, b.str()), 8);
}

TEST(HostileResultFiles, ReadingAgainReplacesThePreviousChip) {
  ChipClass chip;
  ASSERT_EQ(ReadBytes(chip, BuildFile(13)), 0);
  ASSERT_EQ(ReadBytes(chip, BuildFile(4)), 0);
  EXPECT_EQ(chip.units.count, 3);
  EXPECT_EQ(chip.qcUnits.count, 1);
  EXPECT_EQ(chip.resultVersion, 4);
}

}  // namespace
