// Units keep their atoms' cells, and result file readers their pairs, in storage shared by
// many atoms or units. These tests check that atoms and units still behave as if each owned its
// own: copies are independent, replacing or destroying one unit leaves the others intact, and a
// chip can be read again. Run under the sanitizers they also catch double frees and leaks.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "results_bytes.h"
#include "tesk/pendrix71.h"

namespace {

using results_test::Scratch;

TEST(UnitStorage, AtomsOfAUnitHaveSeparateCells) {
  UnitClass unit(3, 4);
  ASSERT_EQ(unit.numberOfAtoms, 3);
  for (int a = 0; a < 3; ++a) {
    ASSERT_EQ(unit.atoms[a].numberOfCells, 4);
    for (int c = 0; c < 4; ++c) {
      EXPECT_EQ(unit.atoms[a].cellOrder[c], 0);
      EXPECT_EQ(unit.atoms[a].cells[c].probeBase, ' ');
      EXPECT_EQ(unit.atoms[a].cells[c].probe.text, nullptr);
      unit.atoms[a].cells[c].intensity = static_cast<float>(10 * a + c);
      unit.atoms[a].cellOrder[c] = static_cast<unsigned char>(10 * a + c);
    }
  }
  for (int a = 0; a < 3; ++a) {
    for (int c = 0; c < 4; ++c) {
      EXPECT_EQ(unit.atoms[a].cells[c].intensity, static_cast<float>(10 * a + c));
      EXPECT_EQ(unit.atoms[a].cellOrder[c], 10 * a + c);
    }
  }
}

TEST(UnitStorage, AtomCopiedOutOfAUnitOutlivesIt) {
  auto unit = std::make_unique<StandardUnitClass>(2, 4);
  unit->atoms[1].cells[2].probe = "ACGTACGT";
  unit->atoms[1].cells[2].intensity = 7.5f;
  unit->atoms[1].cellOrder[0] = 2;
  AtomClass copy(unit->atoms[1]);
  AtomClass assigned;
  assigned = unit->atoms[1];
  unit.reset();
  for (const AtomClass* a : {&copy, &assigned}) {
    ASSERT_EQ(a->numberOfCells, 4);
    EXPECT_STREQ(a->cells[2].probe.c_str(), "ACGTACGT");
    EXPECT_EQ(a->cells[2].intensity, 7.5f);
    EXPECT_EQ(a->cellOrder[0], 2);
  }
}

TEST(UnitStorage, AtomsOfAUnitCanBeResizedAndReassigned) {
  UnitClass unit(3, 4);
  CellClass* const sameSizeCells = unit.atoms[0].cells;
  AtomClass four(4);
  four.cells[3].probe = "TTT";
  four.cells[3].x = 9;
  unit.atoms[0] = four;  // same size: copied into the unit's cells
  EXPECT_EQ(unit.atoms[0].cells, sameSizeCells);
  EXPECT_STREQ(unit.atoms[0].cells[3].probe.c_str(), "TTT");
  EXPECT_EQ(unit.atoms[0].cells[3].x, 9);

  AtomClass two(2);
  two.cells[1].y = 5;
  unit.atoms[1] = two;  // another size: the atom gets cells of its own
  ASSERT_EQ(unit.atoms[1].numberOfCells, 2);
  EXPECT_EQ(unit.atoms[1].cells[1].y, 5);

  ASSERT_EQ(unit.atoms[2].Init(6), 0);
  ASSERT_EQ(unit.atoms[2].numberOfCells, 6);
  unit.atoms[2].cells[5].probe = "G";
  EXPECT_EQ(unit.atoms[2].Init(300), CHIP_INSUFFICIENT_MEMORY);
  EXPECT_EQ(unit.atoms[2].numberOfCells, 0);

  // Replacing every atom, then the unit's end, frees each kind of cells once.
  ASSERT_EQ(unit.SetAtoms(2, 3), 0);
  EXPECT_EQ(unit.atoms[1].numberOfCells, 3);
  EXPECT_EQ(unit.SetAtoms(1, 256), CHIP_INSUFFICIENT_MEMORY);
  EXPECT_EQ(unit.numberOfAtoms, 0);
  EXPECT_EQ(unit.atoms, nullptr);
}

// A chip of two expression units (three pairs each) and a resequencing unit (two atoms),
// written as a version-13 result file.
std::string WriteSmallChip(const Scratch& scratch) {
  ChipClass chip;
  chip.rows = 8;
  chip.cols = 8;
  for (int u = 0; u < 2; ++u) {
    auto* e = new GeneExpressionUnitClass(3);
    for (int k = 0; k < 3; ++k) {
      e->atoms[k].pairValue = static_cast<float>(u * 10 + k);
      e->atoms[k].pairCode = static_cast<std::uint8_t>(k);
      e->atoms[k].cells[0].x = static_cast<std::uint16_t>(k);
      e->atoms[k].cells[0].y = static_cast<std::uint16_t>(u);
      e->atoms[k].cells[1].x = static_cast<std::uint16_t>(k);
      e->atoms[k].cells[1].y = static_cast<std::uint16_t>(u + 4);
    }
    EXPECT_EQ(chip.AddUnit(e, 10 + u), 0);
  }
  auto* r = new StandardUnitClass(2, 4);
  r->wildTypeSequence = "a c";
  r->calledSequence = "a c";
  for (int a = 0; a < 2; ++a)
    for (int c = 0; c < 4; ++c) {
      r->atoms[a].cells[c].x = static_cast<std::uint16_t>(c);
      r->atoms[a].cells[c].y = static_cast<std::uint16_t>(6 + a);
    }
  EXPECT_EQ(chip.AddUnit(r, 20), 0);
  chip.numberOfUnits = 3;
  chip.maxUnit = 20;
  const std::string path = scratch.File("small.CHP");
  EXPECT_EQ(chip.WriteChip(path.c_str()), 0);
  return path;
}

void ExpectPairs(const GeneExpressionUnitClass* e, int u) {
  ASSERT_NE(e, nullptr);
  ASSERT_EQ(e->numberOfAtoms, 3);
  for (int k = 0; k < 3; ++k) {
    const GeneExpressionAtomClass& p = e->atoms[k];
    EXPECT_EQ(p.pairValue, static_cast<float>(u * 10 + k));
    EXPECT_EQ(p.pairCode, k);
    EXPECT_EQ(p.atomNumber, k);
    EXPECT_EQ(p.unitNumber, 0);
    EXPECT_EQ(p.cells[0].x, k);
    EXPECT_EQ(p.cells[1].y, u + 4);
    // Fields the file does not carry keep their initial values.
    EXPECT_EQ(p.cells[0].intensity, 0.0f);
    EXPECT_EQ(p.cells[1].pixels, 0);
    EXPECT_EQ(p.cells[1].probeBase, ' ');
    EXPECT_EQ(p.cells[0].probe.text, nullptr);
  }
}

TEST(ReadUnitStorage, PairsAndCellsComeBackFromTheFile) {
  Scratch scratch;
  const std::string path = WriteSmallChip(scratch);
  ChipClass chip;
  ASSERT_EQ(chip.ReadChip(path.c_str()), 0);
  ASSERT_EQ(chip.units.count, 3);
  ExpectPairs(results_test::Expression(chip, 0), 0);
  ExpectPairs(results_test::Expression(chip, 1), 1);
  UnitClass* r = results_test::Tiling(chip, 2);
  ASSERT_NE(r, nullptr);
  ASSERT_EQ(r->numberOfAtoms, 2);
  EXPECT_EQ(r->atoms[0].atomNumber, 0);
  EXPECT_EQ(r->atoms[1].atomNumber, 2);
  EXPECT_EQ(r->atoms[1].cells[3].y, 7);
}

TEST(ReadUnitStorage, UnitsOfAReadChipAreReleasedOneByOne) {
  Scratch scratch;
  const std::string path = WriteSmallChip(scratch);
  ChipClass chip;
  ASSERT_EQ(chip.ReadChip(path.c_str()), 0);
  // The first unit goes; the second still reads its pairs.
  AllUnitTypes* first = chip.GetUnit(0);
  delete first->geneExpression;
  first->geneExpression = nullptr;
  ExpectPairs(results_test::Expression(chip, 1), 1);

  // New pairs for the second unit; the resequencing unit's cells stay.
  GeneExpressionUnitClass* second = chip.GetUnit(1)->geneExpression;
  ASSERT_EQ(second->SetAtoms(5), 0);
  EXPECT_EQ(second->atoms[4].pairCode, 1);
  UnitClass* r = results_test::Tiling(chip, 2);
  EXPECT_EQ(r->atoms[1].cells[3].y, 7);

  // An array a caller puts in place of the pairs is the unit's to delete.
  ASSERT_EQ(second->SetAtoms(0), 0);
  second->atoms = new GeneExpressionAtomClass[2];
  second->numberOfAtoms = 2;
}

TEST(ReadUnitStorage, ReadingTwiceIntoOneChipKeepsCopiesIntact) {
  Scratch scratch;
  const std::string path = WriteSmallChip(scratch);
  ChipClass chip;
  ASSERT_EQ(chip.ReadChip(path.c_str()), 0);
  AtomClass atom(results_test::Tiling(chip, 2)->atoms[1]);
  results_test::Tiling(chip, 2)->atoms[0].cells[0].probe = "ACG";  // freed with the chip
  ASSERT_EQ(chip.ReadChip(path.c_str()), 0);
  ExpectPairs(results_test::Expression(chip, 0), 0);
  EXPECT_EQ(results_test::Tiling(chip, 2)->atoms[0].cells[0].probe.text, nullptr);
  ASSERT_EQ(atom.numberOfCells, 4);
  EXPECT_EQ(atom.cells[3].y, 7);
  chip.InitializeChip();
  EXPECT_EQ(atom.cells[2].x, 2);
}

TEST(ReadUnitStorage, FailedRecordsStillLeaveEveryUnitItsPairs) {
  Scratch scratch;
  const std::string bytes = results_test::ReadFile(WriteSmallChip(scratch));
  // The header of the small chip takes 762 bytes (22 magic, 4 version, four empty texts, five
  // counts, three unit numbers, two 20-entry tables, three cells-per-atom entries, two
  // 256-byte names, an empty text); each expression record 24 bytes of results, three 16-byte
  // pairs and a 4-byte comparison flag.
  constexpr std::size_t kFirstRecord = 762;
  constexpr std::size_t kSecondRecord = kFirstRecord + 24 + 48 + 4;
  std::int32_t count = 0;
  std::memcpy(&count, bytes.data() + kFirstRecord, 4);
  ASSERT_EQ(count, 3);
  std::memcpy(&count, bytes.data() + kSecondRecord, 4);
  ASSERT_EQ(count, 3);

  for (const std::size_t record : {kFirstRecord, kSecondRecord}) {
    // A record whose pair count disagrees with the header fails the read.
    std::string damaged = bytes;
    damaged[record] = 4;
    ChipClass chip;
    EXPECT_EQ(results_test::ReadBytes(chip, damaged), CHIP_INCOMPLETE_FILE);
    ASSERT_EQ(chip.units.count, 3);
    for (int u = 0; u < 2; ++u) {
      const GeneExpressionUnitClass* e = results_test::Expression(chip, u);
      ASSERT_NE(e, nullptr);
      ASSERT_EQ(e->numberOfAtoms, 3);
      // Pairs of the failed record and after it are new pairs (pair code 1); those before it
      // were read.
      const bool read = record == kSecondRecord && u == 0;
      EXPECT_EQ(e->atoms[2].pairCode, read ? 2 : 1) << record << " " << u;
    }
    EXPECT_EQ(results_test::Tiling(chip, 2)->numberOfAtoms, 2);
  }
}

}  // namespace
