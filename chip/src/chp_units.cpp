// Result file records of the tiling units (resequencing, genotyping, universal): sequences,
// then one record per atom.
#include <cstring>

#include "chp_format.h"
#include "tesk/pendrix71.h"

void chp::ReadCell(ChpInput& in, int version, bool floats, CellClass& cell) {
  if (version >= 13) {
    cell.x = in.U16();
    cell.y = in.U16();
    return;
  }
  ReadMeasuredCell(in, floats, cell);
  if (version >= 8) {
    cell.masked = in.Byte();
    cell.outlier = in.Byte();
  }
}

void chp::WriteCell(ChpOutput& out, int version, bool floats, const CellClass& cell) {
  if (version >= 13) {
    out.U16(cell.x);
    out.U16(cell.y);
    return;
  }
  out.I32(cell.x);
  out.I32(cell.y);
  if (floats) {
    out.F32(cell.intensity);
    out.F32(cell.stdev);
  } else {
    out.Fixed(cell.intensity);
    out.Fixed(cell.stdev);
  }
  out.I32(cell.pixels);
  out.Byte(cell.masked);
  out.Byte(cell.outlier);
}

void chp::DeleteUnit(AllUnitTypes* holder, int type) {
  if (holder == nullptr) return;
  if (type == TILING_EXPRESSION) delete holder->geneExpression;
  else if (type == TILING_GENOTYPING) delete holder->block;
  else if (type == TILING_UNIVERSAL) delete holder->universal;
  else if (type == 1 || type == 5 || type == 6) delete holder->standard;
  delete holder;
}

int UnitClass::ReadUnitData(ChpInput& in, int version) {
  in.LengthText(wildTypeSequence);
  in.LengthText(calledSequence);
  const int count = in.I32();
  if (!in.ok() || count != numberOfAtoms) return CHIP_INCOMPLETE_FILE;
  for (int k = 0; k < count; ++k)
    if (int rc = ReadAtomData(in, version, k); rc != CHIP_SUCCESS) return rc;

  // Atom k interrogates the position of the k-th non-blank base of the wild-type sequence.
  const char* wt = wildTypeSequence.c_str();
  int k = 0;
  for (int pos = 0; wt[pos] != '\0' && k < numberOfAtoms; ++pos)
    if (wt[pos] != ' ') atoms[k++].atomNumber = static_cast<std::uint16_t>(pos);
  SortAtomData();
  ComputeAtomData();
  return CHIP_SUCCESS;
}

int UnitClass::ReadAtomData(ChpInput& in, int version, int atom) {
  if (atom < 0 || atom >= numberOfAtoms) return CHIP_INCOMPLETE_FILE;
  AtomClass& a = atoms[atom];
  a.background = in.Fixed();
  for (int c = 0; c < a.numberOfCells; ++c) chp::ReadCell(in, version, false, a.cells[c]);
  return in.ok() ? CHIP_SUCCESS : CHIP_INCOMPLETE_FILE;
}

namespace {

int WriteTiling(UnitClass& unit, ChpOutput& out, bool v13) {
  out.LengthText(unit.wildTypeSequence.text);
  out.LengthText(unit.calledSequence.text);
  out.I32(unit.numberOfAtoms);
  int rc = CHIP_SUCCESS;
  for (int k = 0; k < unit.numberOfAtoms; ++k) {
    const int r = v13 ? unit.WriteAtomData(out, k) : unit.WriteAtomData60(out, k);
    if (r != CHIP_SUCCESS) rc = r;
  }
  return rc;
}

}  // namespace

int UnitClass::WriteUnitData(ChpOutput& out) { return WriteTiling(*this, out, true); }

int UnitClass::WriteUnitData60(ChpOutput& out) { return WriteTiling(*this, out, false); }

int UnitClass::WriteAtomData(ChpOutput& out, int atom) {
  if (atom < 0 || atom >= numberOfAtoms) return CHIP_NO_VALID_TILES;
  const AtomClass& a = atoms[atom];
  out.Fixed(a.background);
  for (int c = 0; c < a.numberOfCells; ++c) chp::WriteCell(out, 13, false, a.cells[c]);
  return CHIP_SUCCESS;
}

int UnitClass::WriteAtomData60(ChpOutput& out, int atom) {
  if (atom < 0 || atom >= numberOfAtoms) return CHIP_NO_VALID_TILES;
  const AtomClass& a = atoms[atom];
  out.Fixed(a.background);
  for (int c = 0; c < a.numberOfCells; ++c) chp::WriteCell(out, 12, false, a.cells[c]);
  return CHIP_SUCCESS;
}
