// Result file records of expression units: the unit's results, its probe pairs and its
// comparison results. The fields present depend on the file version.
#include <cstring>

#include "chp_format.h"
#include "tesk/pendrix71.h"

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

constexpr int kPairBytes13 = 16;

template <class T>
T Load(const unsigned char* p) {
  T v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

void DecodePair13(const unsigned char* p, int index, GeneExpressionAtomClass& pair) {
  pair.atomNumber = static_cast<std::uint16_t>(index);
  pair.pairValue = Load<float>(p);
  pair.pairCode = static_cast<std::uint8_t>(Load<std::int32_t>(p + 4));
  pair.cells[0].x = Load<std::uint16_t>(p + 8);
  pair.cells[0].y = Load<std::uint16_t>(p + 10);
  pair.cells[1].x = Load<std::uint16_t>(p + 12);
  pair.cells[1].y = Load<std::uint16_t>(p + 14);
}

// Floats or fixed values, by version.
float ReadValue(ChpInput& in, int version) { return version >= 12 ? in.F32() : in.Fixed(); }

}  // namespace

int GeneExpressionUnitClass::ReadUnitData(ChpInput& in, int version) {
  const int count = in.I32();
  if (!in.ok() || count != numberOfAtoms) return CHIP_INCOMPLETE_FILE;
  pairsUsed = in.I32();
  pairsInAverage = (version >= 7 && version <= 12) ? in.I32() : pairsUsed;
  stat1 = in.I32();
  if (version != 13) {
    stat2 = in.I32();
    stat3 = in.I32();
    stat4 = in.I32();
  }
  value1 = ReadValue(in, version);
  if (version != 13) value2 = ReadValue(in, version);
  value3 = ReadValue(in, version);
  callCode = in.I32();
  if (!in.ok()) return CHIP_INCOMPLETE_FILE;
  if (version >= 13) {
    // The common case, decoded in one pass: 16 bytes per pair (pairValue, pairCode, and the
    // two cells' positions).
    if (!in.Fits(numberOfAtoms, kPairBytes13)) return CHIP_INCOMPLETE_FILE;
    const unsigned char* p = in.Bytes(static_cast<std::size_t>(numberOfAtoms) * kPairBytes13);
    for (int k = 0; k < numberOfAtoms; ++k, p += kPairBytes13) DecodePair13(p, k, atoms[k]);
  } else {
    for (int k = 0; k < numberOfAtoms; ++k)
      if (int rc = ReadAtomData(in, version, k); rc != CHIP_SUCCESS) return rc;
  }
  if (version >= 7) {
    comparisonPresent = in.I32();
    if (comparisonPresent != 0) ReadComparison(comparison, in, version);
  }
  return in.ok() ? CHIP_SUCCESS : CHIP_INCOMPLETE_FILE;
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
