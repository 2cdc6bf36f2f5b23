// Result units written by the results tests of this library and of the object library.
#ifndef TESK_OUTSIDE_PENDRIX81_TESTS_RESULT_UNITS_H_
#define TESK_OUTSIDE_PENDRIX81_TESTS_RESULT_UNITS_H_

#include <tesk/pendrix71.h>

#include <bit>
#include <cstdint>

namespace tesk::testing {

// Where cell c of pair p of unit n lies.
struct CellPosition {
  std::uint16_t x;
  std::uint16_t y;
};
using CellPlacer = CellPosition (*)(int n, int p, int c);

// Unit n of two pairs: 2 - n pairs used, signal 1.5 + n, pair values 10.25 + p + 10n, the given
// call code. With `comparison`, the unit carries comparison data whose first call code is
// `change`. The caller hands the unit to ChipClass::AddUnit.
inline GeneExpressionUnitClass* NewExpressionUnit(int n, int callCode, bool comparison, std::uint8_t change,
                                                 CellPlacer place) {
  auto* e = new GeneExpressionUnitClass(2);
  e->pairsUsed = 2 - n;
  e->pairsInAverage = 1;
  e->stat1 = 3;
  e->stat2 = 4;
  e->stat3 = 750;
  e->value1 = 1.5f + static_cast<float>(n);
  e->value2 = 2.25f;
  e->value3 = 0.125f;
  e->callCode = callCode;
  for (int p = 0; p < 2; ++p) {
    e->atoms[p].pairValue = 10.25f + static_cast<float>(p + 10 * n);
    for (int c = 0; c < 2; ++c) {
      const CellPosition at = place(n, p, c);
      e->atoms[p].cells[c].x = at.x;
      e->atoms[p].cells[c].y = at.y;
    }
  }
  if (comparison) {
    CComparisonData& c = e->comparison;
    e->comparisonPresent = 1;
    c.c0 = 11, c.c1 = 12, c.c4 = -14, c.c5 = 15, c.c9 = 19;
    c.c2 = 2.5f, c.c3 = 3.5f, c.c6 = 6.5f, c.c7 = 7.5f, c.c8 = 8.5f, c.c10 = 10.5f;
    c.c11 = 11.5f, c.c12 = 12.5f, c.c13 = 13.5f;
    c.b0 = change, c.b1 = 1;
  }
  return e;
}

// A genotyping unit over sequence "ac" with one block "blk" of two atoms. A `called` unit holds
// an AB call with confidence 0.9, RAS 0.25 and 0.125, BB 0.0625 and no-call 0.5 p-values.
inline BlockUnitClass* NewGenotypingUnit(bool called) {
  auto* g = new BlockUnitClass(2, 4);
  g->wildTypeSequence = "ac";
  g->calledSequence = "ac";
  auto* block = new BlockUnitBlockInfoClass;
  block->name = "blk";
  block->numberOfAtoms = 2;
  g->blocks.Add(block);
  if (called) {
    g->resultPresent = 1;
    g->genotypeCall = 8;
    const float v[5] = {0.9f, 0.25f, 0.125f, 0.0625f, 0.5f};
    for (int k = 0; k < 5; ++k) g->resultValues[k] = std::bit_cast<std::uint32_t>(v[k]);
  }
  return g;
}

}  // namespace tesk::testing

#endif  // TESK_OUTSIDE_PENDRIX81_TESTS_RESULT_UNITS_H_
