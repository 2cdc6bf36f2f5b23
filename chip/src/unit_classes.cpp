// Construction and ownership of the unit classes and their block descriptions. Their result
// record readers and writers and the resequencing computations live in other files.
#include <new>

#include "tesk/pendrix71.h"
#include "unit_storage.h"

// ---- Blocks

UnitBlockInfoClass::UnitBlockInfoClass() : firstAtom(0), numberOfAtoms(0) {}

UnitBlockInfoClass::~UnitBlockInfoClass() = default;

BlockUnitBlockInfoClass::BlockUnitBlockInfoClass()
    : code(0), confidence{0.0f, 0.0f, 0.0f}, call(3), direction(0) {}

BlockUnitBlockInfoClass::~BlockUnitBlockInfoClass() = default;

float BlockUnitBlockInfoClass::GetConfidence(BlockConfidenceType type) const {
  const int t = static_cast<int>(type);
  return (t >= 0 && t < 3) ? confidence[t] : 0.0f;
}

void BlockUnitBlockInfoClass::SetConfidence(BlockConfidenceType type, float value) {
  const int t = static_cast<int>(type);
  if (t >= 0 && t < 3) confidence[t] = value;
}

namespace {

void DeleteBlocks(ArrayClass& blocks) {
  for (int i = 0; i < blocks.count; ++i) delete static_cast<UnitBlockInfoClass*>(blocks.data[i]);
  blocks.Clear();
}

}  // namespace

// ---- UnitClass

UnitClass::UnitClass(int atomCount, int cellsPerAtom)
    : numberOfAtoms(0), unitType(0), direction(0), atoms(nullptr) {
  SetAtoms(atomCount, cellsPerAtom);
}

UnitClass::~UnitClass() {
  pendrix71::UnitStorage::DropAtoms(*this);
  ClearBlocks();
}

int UnitClass::SetAtoms(int atomCount, int cellsPerAtom) {
  pendrix71::UnitStorage::DropAtoms(*this);
  if (atomCount <= 0) return atomCount == 0 ? CHIP_SUCCESS : CHIP_INSUFFICIENT_MEMORY;
  if (cellsPerAtom < 0 || cellsPerAtom > 255) return CHIP_INSUFFICIENT_MEMORY;
  // All cells of the unit in one allocation rather than two per atom.
  pendrix71::SharedBlockRef block(pendrix71::SharedBlock::Create(
      0, static_cast<std::size_t>(atomCount) * static_cast<std::size_t>(cellsPerAtom)));
  if (block.get() == nullptr) return CHIP_INSUFFICIENT_MEMORY;
  return pendrix71::UnitStorage::AttachAtoms(*this, *block.get(), atomCount, cellsPerAtom);
}

void UnitClass::ClearBlocks() { DeleteBlocks(blocks); }

StandardUnitClass::StandardUnitClass(int atomCount, int cellsPerAtom)
    : UnitClass(atomCount, cellsPerAtom) {
  unitType = TILING_RESEQUENCING;
}

StandardUnitClass::~StandardUnitClass() = default;

BlockUnitClass::BlockUnitClass(int atomCount, int cellsPerAtom)
    : UnitClass(atomCount, cellsPerAtom),
      mutationType(0),
      resultPresent(0),
      genotypeIndex(-1),
      blocksUsed(0),
      blocksCalled(0),
      genotypeCall(0),
      callMethod(0),
      resultValues{0, 0, 0, 0, 0} {
  unitType = TILING_GENOTYPING;
}

BlockUnitClass::~BlockUnitClass() = default;

UniversalUnitClass::UniversalUnitClass(int atomCount, int cellsPerAtom)
    : UnitClass(atomCount, cellsPerAtom) {
  unitType = TILING_UNIVERSAL;
}

UniversalUnitClass::~UniversalUnitClass() = default;

// ---- GeneExpressionUnitClass

GeneExpressionUnitClass::GeneExpressionUnitClass(int atomCount, int /*cellsPerAtom*/)
    : unitType(TILING_EXPRESSION),
      direction(0),
      resultCode(1),
      numberOfAtoms(0),
      pairsUsed(0),
      pairsInAverage(0),
      stat1(0),
      stat2(0),
      stat3(0),
      stat4(0),
      value1(0.0f),
      value2(0.0f),
      value3(0.0f),
      callCode(0),
      atoms(nullptr),
      comparison{},
      comparisonPresent(0) {
  SetAtoms(atomCount);
}

GeneExpressionUnitClass::~GeneExpressionUnitClass() {
  pendrix71::UnitStorage::DropPairs(*this);
  ClearBlocks();
}

int GeneExpressionUnitClass::SetAtoms(int atomCount) {
  pendrix71::UnitStorage::DropPairs(*this);
  if (atomCount <= 0) return atomCount == 0 ? CHIP_SUCCESS : CHIP_INSUFFICIENT_MEMORY;
  atoms = new (std::nothrow) GeneExpressionAtomClass[atomCount];
  if (atoms == nullptr) return CHIP_INSUFFICIENT_MEMORY;
  numberOfAtoms = atomCount;
  return CHIP_SUCCESS;
}

void GeneExpressionUnitClass::ClearBlocks() { DeleteBlocks(blocks); }

// ---- Holders

UnitClass* TilingUnitOf(const AllUnitTypes* holder, int type) {
  if (holder == nullptr) return nullptr;
  switch (type) {
    case TILING_RESEQUENCING:
    case TILING_STANDARD_5:
    case TILING_STANDARD_6:
      return holder->standard;
    case TILING_GENOTYPING:
      return holder->block;
    case TILING_UNIVERSAL:
      return holder->universal;
    default:
      return nullptr;
  }
}
