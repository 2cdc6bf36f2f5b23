// Resequencing computations on atoms and units: cell ranking and its tie order, ratios,
// target cells, atom order, wild-type sequence and padding.
#include <gtest/gtest.h>

#include <cstdlib>
#include <limits>
#include <memory>
#include <string>

#include "tesk/pendrix71.h"

namespace {

void Intensities(AtomClass& atom, std::initializer_list<float> values) {
  int c = 0;
  for (float v : values) atom.cells[c++].intensity = v;
}

std::string Order(const AtomClass& atom) {
  std::string s;
  for (int k = 0; k < atom.numberOfCells; ++k) s += static_cast<char>('0' + atom.cellOrder[k]);
  return s;
}

void ProbeBases(AtomClass& atom, const char* bases) {
  for (int c = 0; c < atom.numberOfCells; ++c) atom.cells[c].probeBase = bases[c];
}

TEST(AtomRanking, BrightestCellFirst) {
  AtomClass atom(4);
  Intensities(atom, {10, 40, 20, 30});
  atom.SortByIndex();
  EXPECT_EQ(Order(atom), "1320");
  EXPECT_FLOAT_EQ(atom.DetermineMaxRatio(), 40.0f / 30.0f);
  EXPECT_FLOAT_EQ(atom.DetermineSecondRatio(), 30.0f / 20.0f);
  EXPECT_FLOAT_EQ(atom.DetermineThirdRatio(), 20.0f / 10.0f);
  // The target ratio compares with the brightest other cell.
  EXPECT_FLOAT_EQ(atom.DetermineTargetRatio(1), 40.0f / 30.0f);
  EXPECT_FLOAT_EQ(atom.DetermineTargetRatio(2), 20.0f / 40.0f);
  EXPECT_FLOAT_EQ(atom.DetermineWeightedRatio(3), 30.0f / 100.0f);
}

TEST(AtomRanking, EqualIntensitiesFollowTheHeapOrder) {
  // The heap procedure leaves equal keys as 1, 2, 3, 0 (ascending), so the ranking from the
  // brightest is 0, 3, 2, 1; a stable or std::sort ranking would differ.
  AtomClass atom(4);
  Intensities(atom, {5, 5, 5, 5});
  atom.SortByIndex();
  EXPECT_EQ(Order(atom), "0321");
  Intensities(atom, {7, 3, 7, 3});
  atom.SortByIndex();
  int index[4];
  const float keys[4] = {7, 3, 7, 3};
  HeapSortIndex(4, keys, index);
  EXPECT_EQ(atom.cellOrder[0], index[3]);
  EXPECT_EQ(atom.cellOrder[3], index[0]);
}

TEST(AtomRanking, BackgroundAboveEveryCellClampsToOne) {
  AtomClass atom(4);
  Intensities(atom, {10, 40, 20, 30});
  atom.background = 100.0f;
  atom.SortByIndex();
  EXPECT_FLOAT_EQ(atom.DetermineMaxRatio(), 1.0f);
  EXPECT_FLOAT_EQ(atom.DetermineSecondRatio(), 1.0f);
  EXPECT_FLOAT_EQ(atom.DetermineThirdRatio(), 1.0f);
  EXPECT_FLOAT_EQ(atom.DetermineTargetRatio(0), 1.0f);
  EXPECT_FLOAT_EQ(atom.DetermineWeightedRatio(0), 0.25f);
  // A non-number clamps to one as well.
  atom.cells[1].intensity = std::numeric_limits<float>::quiet_NaN();
  atom.background = 0.0f;
  EXPECT_FLOAT_EQ(atom.DetermineWeightedRatio(1), 1.0f / 61.0f);
}

TEST(AtomRanking, TargetRatioWhenEveryEntryIsTheTarget) {
  AtomClass atom(2);
  Intensities(atom, {50, 9});
  atom.cellOrder[0] = 1;
  atom.cellOrder[1] = 1;
  EXPECT_FLOAT_EQ(atom.DetermineTargetRatio(1), 9.0f / 50.0f);  // falls back to cell 0
}

TEST(AtomRanking, SmallAtomsAndBadCellsDoNotReadPastTheCells) {
  AtomClass atom(2);
  Intensities(atom, {50, 10});
  atom.SortByIndex();
  EXPECT_FLOAT_EQ(atom.DetermineMaxRatio(), 5.0f);
  EXPECT_FLOAT_EQ(atom.DetermineSecondRatio(), 1.0f);
  EXPECT_FLOAT_EQ(atom.DetermineThirdRatio(), 1.0f);
  EXPECT_FLOAT_EQ(atom.DetermineTargetRatio(7), 1.0f);
  EXPECT_FLOAT_EQ(atom.DetermineWeightedRatio(-1), 1.0f);
}

TEST(AtomTarget, CellWhoseProbeComplementsTheBase) {
  AtomClass atom(4);
  ProbeBases(atom, "acgt");
  EXPECT_EQ(atom.ComputeTargetIndex('t'), 0);
  EXPECT_EQ(atom.ComputeTargetIndex('g'), 1);
  EXPECT_EQ(atom.ComputeTargetIndex('c'), 2);
  EXPECT_EQ(atom.ComputeTargetIndex('a'), 3);
  EXPECT_EQ(atom.ComputeTargetIndex('n'), 0);
  ProbeBases(atom, "gg  ");
  EXPECT_EQ(atom.ComputeTargetIndex('a'), 0);  // none matches
  EXPECT_EQ(atom.ComputeTargetIndex(' '), 2);  // a blank probe base has a blank complement
}

// A unit of atoms with the given numbers; atom k's cells probe a, c, g, t and cell 0 targets
// the base targets[k].
StandardUnitClass* MakeUnit(std::initializer_list<int> numbers, const char* targets) {
  auto* unit = new StandardUnitClass(static_cast<int>(numbers.size()), 4);
  int k = 0;
  for (int n : numbers) {
    AtomClass& atom = unit->atoms[k];
    atom.atomNumber = static_cast<std::uint16_t>(n);
    ProbeBases(atom, "acgt");
    for (int c = 0; c < 4; ++c) atom.cells[c].targetBase = ' ';
    atom.cells[1].targetBase = targets[k];
    Intensities(atom, {1.0f + k, 2.0f, 3.0f, 4.0f + k});
    ++k;
  }
  return unit;
}

TEST(UnitComputations, SortLookupAndMaxAtom) {
  std::unique_ptr<StandardUnitClass> unit(MakeUnit({5, 0, 3}, "acg"));
  EXPECT_EQ(unit->DetermineMaxAtom(), 5);
  unit->SortAtomData();
  EXPECT_EQ(unit->atoms[0].atomNumber, 0);
  EXPECT_EQ(unit->atoms[2].atomNumber, 5);
  EXPECT_EQ((*unit)[3], &unit->atoms[1]);
  EXPECT_EQ((*unit)[4], nullptr);
  StandardUnitClass empty;
  EXPECT_EQ(empty.DetermineMaxAtom(), -1);
  EXPECT_EQ(empty[0], nullptr);
  GeneExpressionUnitClass pairs(3);
  pairs.atoms[1].atomNumber = 9;
  EXPECT_EQ(pairs.DetermineMaxAtom(), 9);
  GeneExpressionUnitClass none;
  EXPECT_EQ(none.DetermineMaxAtom(), -1);
}

TEST(UnitComputations, WildTypeFromTheFirstNonBlankTarget) {
  std::unique_ptr<StandardUnitClass> unit(MakeUnit({0, 1, 2}, "A g"));
  unit->atoms[1].cells[3].targetBase = 'T';  // the first non-blank target base counts
  unit->ComputeWTSeq();
  EXPECT_STREQ(unit->wildTypeSequence.c_str(), "atg");
  unit->atoms[1].cells[3].targetBase = ' ';
  unit->ComputeWTSeq();
  EXPECT_STREQ(unit->wildTypeSequence.c_str(), "a g");
}

TEST(UnitComputations, ProcessUnitDataSortsComputesAndRanks) {
  std::unique_ptr<StandardUnitClass> unit(MakeUnit({2, 0, 1}, "tgc"));
  unit->ProcessUnitData();
  // Sorted: numbers 0, 1, 2 were targets g, c, t.
  EXPECT_STREQ(unit->wildTypeSequence.c_str(), "gct");
  EXPECT_EQ(unit->atoms[0].targetIndex, 1);  // probe c complements g
  EXPECT_EQ(unit->atoms[1].targetIndex, 2);
  EXPECT_EQ(unit->atoms[2].targetIndex, 0);
  EXPECT_EQ(unit->atoms[0].cellOrder[0], 3);
}

TEST(UnitComputations, AtomDataByNumberWhenTheCalledSequenceCoversThem) {
  // Atoms numbered 0, 2: with a called sequence of at least max + 2 characters the wild-type
  // character is taken at the atom's number, not at its index.
  std::unique_ptr<StandardUnitClass> unit(MakeUnit({0, 2}, "aa"));
  unit->wildTypeSequence = "tag";
  unit->calledSequence = "tagc";
  unit->ComputeAtomData();
  EXPECT_EQ(unit->atoms[0].targetIndex, 0);  // 't' -> probe a
  EXPECT_EQ(unit->atoms[1].targetIndex, 1);  // 'g' (position 2) -> probe c
  unit->calledSequence = "ta";
  unit->ComputeAtomData();
  EXPECT_EQ(unit->atoms[1].targetIndex, 3);  // 'a' (index 1) -> probe t
}

TEST(UnitComputations, PadUnitPlacesBasesByAtomNumber) {
  std::unique_ptr<StandardUnitClass> unit(MakeUnit({0, 1, 3}, "acg"));
  unit->wildTypeSequence = "acg";
  unit->calledSequence = "amg";
  EXPECT_EQ(unit->PadUnit(), 0);
  EXPECT_STREQ(unit->wildTypeSequence.c_str(), "ac g");
  EXPECT_STREQ(unit->calledSequence.c_str(), "am g");
  // Dense numbering: nothing changes.
  std::unique_ptr<StandardUnitClass> dense(MakeUnit({0, 1}, "ac"));
  dense->wildTypeSequence = "ac";
  EXPECT_EQ(dense->PadUnit(), 0);
  EXPECT_STREQ(dense->wildTypeSequence.c_str(), "ac");
  // Sequences shorter than the atoms leave blanks.
  unit->atoms[2].atomNumber = 5;
  unit->calledSequence = "a";
  EXPECT_EQ(unit->PadUnit(), 0);
  EXPECT_STREQ(unit->calledSequence.c_str(), "a     ");
}

TEST(CompareCallbacks, Orders) {
  AtomClass a(1), b(1);
  a.atomNumber = 3;
  b.atomNumber = 7;
  EXPECT_LT(CompareAtomNumber(&a, &b), 0);
  EXPECT_GT(CompareAtomNumber(&b, &a), 0);
  int key = 7;
  EXPECT_EQ(CompareAtomNode(&key, &b), 0);
  a.unitNumber = 2;
  b.unitNumber = 1;
  EXPECT_GT(CompareUnitAtom(&a, &b), 0);
  b.unitNumber = 2;
  EXPECT_LT(CompareUnitAtom(&a, &b), 0);
  a.blockNumber = 4;
  b.blockNumber = 1;
  EXPECT_GT(CompareUnitBlock(&a, &b), 0);

  CellClass cells[3];
  cells[0].intensity = 5;
  cells[1].intensity = 9;
  cells[2].intensity = 1;
  EXPECT_EQ(CompareIntensity(&cells[0], &cells[1]), 1);  // dimmer sorts later
  EXPECT_EQ(CompareIntensity(&cells[1], &cells[0]), -1);
  EXPECT_EQ(CompareIntensity(&cells[0], &cells[0]), 0);
  std::qsort(cells, 3, sizeof(CellClass), CompareIntensity);
  EXPECT_EQ(cells[0].intensity, 9);
  EXPECT_EQ(cells[2].intensity, 1);
}

TEST(UnitBlocks, BlockByAtomPosition) {
  StandardUnitClass unit(6, 4);
  for (int first : {0, 2, 5}) {
    auto* block = new UnitBlockInfoClass;
    block->firstAtom = static_cast<std::uint16_t>(first);
    block->numberOfAtoms = first == 0 ? 2 : (first == 2 ? 2 : 1);
    unit.blocks.Add(block);
  }
  EXPECT_EQ(unit.GetBlockInfoByBase(0), unit.blocks.data[0]);
  EXPECT_EQ(unit.GetBlockInfoByBase(3), unit.blocks.data[1]);
  EXPECT_EQ(unit.GetBlockInfoByBase(4), nullptr);  // between blocks
  EXPECT_EQ(unit.GetBlockInfoByBase(5), unit.blocks.data[2]);
  EXPECT_EQ(unit.GetBlockInfoByBase(-1), nullptr);
}

}  // namespace
