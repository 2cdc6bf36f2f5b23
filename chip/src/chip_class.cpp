// ChipClass: construction, ownership of units and QC units, and lookups.
#include <initializer_list>
#include <new>

#include "tesk/pendrix71.h"

namespace {

void DeleteUnit(AllUnitTypes* holder, int type) {
  if (holder == nullptr) return;
  if (type == TILING_EXPRESSION) {
    delete holder->geneExpression;
  } else {
    delete TilingUnitOf(holder, type);  // virtual destructor: the right class is destroyed
  }
  delete holder;
}

}  // namespace

ChipClass::ChipClass() : layoutVersion(0) { InitializeChip(); }

ChipClass::~ChipClass() { InitializeChip(); }

void ChipClass::InitializeChip() {
  for (int i = 0; i < units.count; ++i) {
    const int type = i < unitTypes.count ? unitTypes.data[i] : 0;
    DeleteUnit(static_cast<AllUnitTypes*>(units.data[i]), type);
  }
  for (int i = 0; i < qcUnits.count; ++i) delete static_cast<QCUnitClass*>(qcUnits.data[i]);
  cols = 0;
  rows = 0;
  numberOfUnits = 0;
  maxUnit = 0;
  numberOfQCUnits = 0;
  layoutQCUnits = 0;
  validUnitTypes = 0;
  resultVersion = 0;
  unitAtoms.Clear();
  unitCellsPerAtom.Clear();
  unitTypes.Clear();
  unitNumbers.Clear();
  for (String* s : {&layoutFile, &infoFile, &cellFile, &libraryPath, &chipType, &algorithmName,
                    &algorithmVersion, &algorithmParameters, &chipSummary, &algorithmIdentifier,
                    &layoutReference, &layoutNameLine, &controlFile}) {
    s->Clean();
  }
  units.Clear();
  qcUnits.Clear();
  composite.Clear();
}

AllUnitTypes* ChipClass::GetUnit(int i) {
  if (i < 0 || i >= units.count) return nullptr;
  return static_cast<AllUnitTypes*>(units.data[i]);
}

QCUnitClass* ChipClass::GetQCUnit(int i) {
  if (i < 0 || i >= qcUnits.count) return nullptr;
  return static_cast<QCUnitClass*>(qcUnits.data[i]);
}

QCUnitClass* ChipClass::GetQCUnit(QCUnitTypes type) {
  for (int i = 0; i < qcUnits.count; ++i) {
    auto* q = static_cast<QCUnitClass*>(qcUnits.data[i]);
    if (q != nullptr && *q == type) return q;
  }
  return nullptr;
}

StandardUnitClass* ChipClass::GetFirstStandardUnit() {
  const int n = units.count < unitTypes.count ? units.count : unitTypes.count;
  for (int i = 0; i < n; ++i) {
    if (unitTypes.data[i] != TILING_RESEQUENCING) continue;
    auto* holder = static_cast<AllUnitTypes*>(units.data[i]);
    if (holder != nullptr && holder->standard != nullptr) return holder->standard;
  }
  return nullptr;
}

AtomClass* ChipClass::GetCompositeAtom(int n) {
  if (composite.sequence.count <= 0 || composite.sequence.data == nullptr) return nullptr;
  if (n < 0 || n >= composite.positionUnits.count) return nullptr;
  const int u = composite.positionUnits.data[n];
  int limit = u;
  if (limit > units.count) limit = units.count;
  if (limit > unitNumbers.count) limit = unitNumbers.count;
  if (limit > unitTypes.count) limit = unitTypes.count;
  UnitClass* found = nullptr;
  for (int i = 0; i < limit; ++i) {
    if (unitNumbers.data[i] != u) continue;
    UnitClass* unit = TilingUnitOf(static_cast<AllUnitTypes*>(units.data[i]), unitTypes.data[i]);
    if (unit != nullptr) found = unit;
  }
  return found != nullptr ? (*found)[n] : nullptr;
}

void ChipClass::SetValidUnit(TilingTypes type) {
  const int t = static_cast<int>(type);
  if (t >= 0 && t < 31) validUnitTypes |= 1 << t;
}

namespace {

// Appends one unit's entries to the five per-unit arrays; on failure none stays appended.
int AppendUnit(ChipClass& chip, AllUnitTypes* holder, int type, int cellsPerAtom, int atoms,
               int unitNumber) {
  const int before[5] = {chip.units.count, chip.unitTypes.count, chip.unitCellsPerAtom.count,
                         chip.unitAtoms.count, chip.unitNumbers.count};
  if (chip.units.Add(holder) && chip.unitTypes.Add(type) &&
      chip.unitCellsPerAtom.Add(cellsPerAtom) && chip.unitAtoms.Add(atoms) &&
      chip.unitNumbers.Add(unitNumber)) {
    return CHIP_SUCCESS;
  }
  chip.units.Resize(before[0]);
  chip.unitTypes.Resize(before[1]);
  chip.unitCellsPerAtom.Resize(before[2]);
  chip.unitAtoms.Resize(before[3]);
  chip.unitNumbers.Resize(before[4]);
  return CHIP_INSUFFICIENT_MEMORY;
}

}  // namespace

int ChipClass::AddUnit(GeneExpressionUnitClass* u, int unitNumber) {
  if (u == nullptr) return CHIP_NO_VALID_TILES;
  auto* holder = new (std::nothrow) AllUnitTypes;
  if (holder == nullptr) return CHIP_INSUFFICIENT_MEMORY;
  holder->geneExpression = u;
  const int rc = AppendUnit(*this, holder, TILING_EXPRESSION, 2, u->numberOfAtoms, unitNumber);
  if (rc != CHIP_SUCCESS) delete holder;
  return rc;
}

int ChipClass::AddUnit(UnitClass* u, int unitNumber) {
  if (u == nullptr) return CHIP_NO_VALID_TILES;
  auto* holder = new (std::nothrow) AllUnitTypes;
  if (holder == nullptr) return CHIP_INSUFFICIENT_MEMORY;
  const int type = u->unitType;
  switch (type) {
    case TILING_GENOTYPING:
      holder->block = static_cast<BlockUnitClass*>(u);
      break;
    case TILING_UNIVERSAL:
      holder->universal = static_cast<UniversalUnitClass*>(u);
      break;
    default:
      holder->standard = static_cast<StandardUnitClass*>(u);
      break;
  }
  const int cellsPerAtom = (u->numberOfAtoms > 0 && u->atoms != nullptr)
                               ? u->atoms[0].numberOfCells : 4;
  const int rc = AppendUnit(*this, holder, type, cellsPerAtom, u->numberOfAtoms, unitNumber);
  if (rc != CHIP_SUCCESS) delete holder;
  return rc;
}

int ChipClass::AddQCUnit(QCUnitClass* q) {
  if (q == nullptr) return CHIP_NO_VALID_TILES;
  return qcUnits.Add(q) ? CHIP_SUCCESS : CHIP_INSUFFICIENT_MEMORY;
}
