// Result file records of expression units: the unit's results, its probe pairs and its
// comparison results. The fields present depend on the file version.
#include <cstring>

#include "chp_format.h"
#include "tesk/pendrix71.h"
#include "unit_storage.h"

namespace {

void ReadComparison(CComparisonData& c, ChpInput& in, int version) {
  if (version >= 13) {
    c.c0 = in.I32();
    c.c9 = in.I32();
    c.b0 = in.Byte();
    c.c6 = in.Fixed();
    c.c7 = in.Fixed();
    c.c10 = in.Fixed();
    c.c12 = in.Fixed();
    c.c13 = in.F32();
    return;
  }
  c.c0 = in.I32();
  c.c1 = in.I32();
  c.c4 = in.I32();
  c.c5 = in.I32();
  c.c9 = in.I32();
  c.b0 = in.Byte();
  c.b1 = in.Byte();
  c.c2 = in.Fixed();
  c.c3 = in.Fixed();
  c.c6 = in.Fixed();
  c.c7 = in.Fixed();
  c.c8 = in.Fixed();
  c.c10 = in.Fixed();
  c.c11 = in.Fixed();
  c.c12 = in.Fixed();
  c.c13 = version >= 12 ? in.F32() : in.Fixed();
}

void WriteComparison(const CComparisonData& c, ChpOutput& out, int version) {
  if (version >= 13) {
    out.I32(c.c0);
    out.I32(c.c9);
    out.Byte(c.b0);
    out.Fixed(c.c6);
    out.Fixed(c.c7);
    out.Fixed(c.c10);
    out.Fixed(c.c12);
    out.F32(c.c13);
    return;
  }
  out.I32(c.c0);
  out.I32(c.c1);
  out.I32(c.c4);
  out.I32(c.c5);
  out.I32(c.c9);
  out.Byte(c.b0);
  out.Byte(c.b1);
  out.Fixed(c.c2);
  out.Fixed(c.c3);
  out.Fixed(c.c6);
  out.Fixed(c.c7);
  out.Fixed(c.c8);
  out.Fixed(c.c10);
  out.Fixed(c.c11);
  out.Fixed(c.c12);
  out.F32(c.c13);
}

// Floats or fixed values, by version.
float ReadValue(ChpInput& in, int version) { return version >= 12 ? in.F32() : in.Fixed(); }

// The unit's results before its pairs; the pair count must be `pairs`.
int ReadHead(GeneExpressionUnitClass& u, ChpInput& in, int version, int pairs) {
  const int count = in.I32();
  if (!in.ok() || count != pairs) return CHIP_INCOMPLETE_FILE;
  u.pairsUsed = in.I32();
  u.pairsInAverage = (version >= 7 && version <= 12) ? in.I32() : u.pairsUsed;
  u.stat1 = in.I32();
  if (version != 13) {
    u.stat2 = in.I32();
    u.stat3 = in.I32();
    u.stat4 = in.I32();
  }
  u.value1 = ReadValue(in, version);
  if (version != 13) u.value2 = ReadValue(in, version);
  u.value3 = ReadValue(in, version);
  u.callCode = in.I32();
  return in.ok() ? CHIP_SUCCESS : CHIP_INCOMPLETE_FILE;
}

// The comparison results after the pairs.
int ReadTail(GeneExpressionUnitClass& u, ChpInput& in, int version) {
  if (version >= 7) {
    u.comparisonPresent = in.I32();
    if (u.comparisonPresent != 0) ReadComparison(u.comparison, in, version);
  }
  return in.ok() ? CHIP_SUCCESS : CHIP_INCOMPLETE_FILE;
}

}  // namespace

int GeneExpressionUnitClass::ReadUnitData(ChpInput& in, int version) {
  if (int rc = ReadHead(*this, in, version, numberOfAtoms); rc != CHIP_SUCCESS) return rc;
  if (version >= 13) {
    // The common case, decoded in one pass.
    if (!in.Fits(numberOfAtoms, chp::kPairBytes13)) return CHIP_INCOMPLETE_FILE;
    const unsigned char* p =
        in.Bytes(static_cast<std::size_t>(numberOfAtoms) * chp::kPairBytes13);
    for (int k = 0; k < numberOfAtoms; ++k, p += chp::kPairBytes13)
      chp::DecodePair13(p, k, atoms[k]);
  } else {
    for (int k = 0; k < numberOfAtoms; ++k)
      if (int rc = ReadAtomData(in, version, k); rc != CHIP_SUCCESS) return rc;
  }
  return ReadTail(*this, in, version);
}

int chp::ReadExpressionRecord13(GeneExpressionUnitClass& u, ChpInput& in,
                                pendrix71::SharedBlock& block, int pairs, long* deferred) {
  int rc = ReadHead(u, in, 13, pairs);
  const unsigned char* records = nullptr;
  if (rc == CHIP_SUCCESS) {
    if (in.Fits(pairs, kPairBytes13))
      records = in.Bytes(static_cast<std::size_t>(pairs) * kPairBytes13);
    else
      rc = CHIP_INCOMPLETE_FILE;
  }
  // The unit gets its pairs even when the record is short: made from the records when they
  // are all there, else as new pairs.
  if (int made = pendrix71::UnitStorage::AttachPairs(u, block, pairs, deferred, records);
      made != CHIP_SUCCESS)
    return made;
  if (rc != CHIP_SUCCESS) return rc;
  return ReadTail(u, in, 13);
}

int GeneExpressionUnitClass::ReadAtomData(ChpInput& in, int version, int atom) {
  if (atom < 0 || atom >= numberOfAtoms) return CHIP_INCOMPLETE_FILE;
  GeneExpressionAtomClass& pair = atoms[atom];
  pair.atomNumber = static_cast<std::uint16_t>(atom);
  pair.pairValue = ReadValue(in, version);
  pair.pairCode = static_cast<std::uint8_t>(in.I32());
  chp::ReadCell(in, version, version == 12, pair.cells[0]);
  chp::ReadCell(in, version, version == 12, pair.cells[1]);
  return in.ok() ? CHIP_SUCCESS : CHIP_INCOMPLETE_FILE;
}

int GeneExpressionUnitClass::WriteUnitData(ChpOutput& out) {
  out.I32(numberOfAtoms);
  out.I32(pairsUsed);
  out.I32(stat1);
  out.F32(value1);
  out.F32(value3);
  out.I32(callCode);
  int rc = CHIP_SUCCESS;
  for (int k = 0; k < numberOfAtoms; ++k)
    if (int r = WriteAtomData(out, k); r != CHIP_SUCCESS) rc = r;
  out.I32(comparisonPresent);
  if (comparisonPresent != 0) WriteComparison(comparison, out, 13);
  return rc;
}

int GeneExpressionUnitClass::WriteUnitData60(ChpOutput& out) {
  out.I32(numberOfAtoms);
  out.I32(pairsUsed);
  out.I32(pairsInAverage);
  out.I32(stat1);
  out.I32(stat2);
  out.I32(stat3);
  out.I32(stat4);
  out.F32(value1);
  out.F32(value2);
  out.F32(value3);
  out.I32(callCode);
  int rc = CHIP_SUCCESS;
  for (int k = 0; k < numberOfAtoms; ++k)
    if (int r = WriteAtomData60(out, k); r != CHIP_SUCCESS) rc = r;
  out.I32(comparisonPresent);
  if (comparisonPresent != 0) WriteComparison(comparison, out, 12);
  return rc;
}

int GeneExpressionUnitClass::WriteAtomData(ChpOutput& out, int atom) {
  if (atom < 0 || atom >= numberOfAtoms) return CHIP_NO_VALID_TILES;
  const GeneExpressionAtomClass& pair = atoms[atom];
  out.F32(pair.pairValue);
  out.I32(pair.pairCode);
  chp::WriteCell(out, 13, true, pair.cells[0]);
  chp::WriteCell(out, 13, true, pair.cells[1]);
  return CHIP_SUCCESS;
}

int GeneExpressionUnitClass::WriteAtomData60(ChpOutput& out, int atom) {
  if (atom < 0 || atom >= numberOfAtoms) return CHIP_NO_VALID_TILES;
  const GeneExpressionAtomClass& pair = atoms[atom];
  out.F32(pair.pairValue);
  out.I32(pair.pairCode);
  chp::WriteCell(out, 12, true, pair.cells[0]);
  chp::WriteCell(out, 12, true, pair.cells[1]);
  return CHIP_SUCCESS;
}
