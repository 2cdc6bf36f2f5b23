// ReadCDF with a source chip: the layout of an already read chip is copied instead of reading
// the layout file again.
#include "cdf_copy.h"

#include <new>

namespace pendrix71 {

UnitBlockInfoClass* BlockAt(ArrayClass& blocks, int b, bool genotyping) {
  if (b < blocks.count && blocks.data[b] != nullptr) {
    return static_cast<UnitBlockInfoClass*>(blocks.data[b]);
  }
  UnitBlockInfoClass* block = genotyping ? new (std::nothrow) BlockUnitBlockInfoClass
                                         : new (std::nothrow) UnitBlockInfoClass;
  if (block == nullptr) return nullptr;
  if (b < blocks.count) {
    blocks.data[b] = block;
  } else if (!blocks.Add(block)) {
    delete block;
    return nullptr;
  }
  return block;
}

namespace {

int ClassOf(int type) { return (type == 5 || type == 6) ? TILING_RESEQUENCING : type; }

void CopyCellLayout(CellClass& to, const CellClass& from) {
  to.x = from.x;
  to.y = from.y;
  to.probe = from.probe;
  to.probeBase = from.probeBase;
  to.targetBase = from.targetBase;
  to.background = from.background;
}

int CopyBlocks(ArrayClass& to, const ArrayClass& from, bool genotyping) {
  for (int b = 0; b < from.count; ++b) {
    const auto* src = static_cast<const UnitBlockInfoClass*>(from.data[b]);
    if (src == nullptr) continue;
    UnitBlockInfoClass* dst = BlockAt(to, b, genotyping);
    if (dst == nullptr) return CHIP_INSUFFICIENT_MEMORY;
    dst->firstAtom = src->firstAtom;
    dst->numberOfAtoms = src->numberOfAtoms;
    dst->name = src->name;
    if (genotyping) {
      auto* gdst = dynamic_cast<BlockUnitBlockInfoClass*>(dst);
      const auto* gsrc = dynamic_cast<const BlockUnitBlockInfoClass*>(src);
      if (gdst != nullptr && gsrc != nullptr) gdst->direction = gsrc->direction;
    }
  }
  return CHIP_SUCCESS;
}

int CopyTiling(UnitClass& to, const UnitClass& from) {
  to.name = from.name;
  to.direction = from.direction;
  const int atoms = to.numberOfAtoms < from.numberOfAtoms ? to.numberOfAtoms : from.numberOfAtoms;
  for (int a = 0; a < atoms; ++a) {
    AtomClass& t = to.atoms[a];
    const AtomClass& f = from.atoms[a];
    t.unitNumber = f.unitNumber;
    t.atomNumber = f.atomNumber;
    t.blockNumber = f.blockNumber;
    t.expos = f.expos;
    t.codonIndex = f.codonIndex;
    t.codon = f.codon;
    t.regionType = f.regionType;
    t.region = f.region;
    t.targetIndex = f.targetIndex;
    const int cells = t.numberOfCells < f.numberOfCells ? t.numberOfCells : f.numberOfCells;
    for (int c = 0; c < cells; ++c) CopyCellLayout(t.cells[c], f.cells[c]);
  }
  return CopyBlocks(to.blocks, from.blocks, to.unitType == TILING_GENOTYPING);
}

int CopyExpression(GeneExpressionUnitClass& to, const GeneExpressionUnitClass& from) {
  to.name = from.name;
  to.direction = from.direction;
  const int pairs = to.numberOfAtoms < from.numberOfAtoms ? to.numberOfAtoms : from.numberOfAtoms;
  for (int a = 0; a < pairs; ++a) {
    to.atoms[a].unitNumber = from.atoms[a].unitNumber;
    to.atoms[a].atomNumber = from.atoms[a].atomNumber;
    for (int c = 0; c < 2; ++c) CopyCellLayout(to.atoms[a].cells[c], from.atoms[a].cells[c]);
  }
  return CopyBlocks(to.blocks, from.blocks, false);
}

int Min(int a, int b) { return a < b ? a : b; }

}  // namespace

int CopyLayout(ChipClass& target, const ChipClass& source) {
  if (&target == &source) return CHIP_SUCCESS;
  target.layoutVersion = source.layoutVersion;
  target.layoutQCUnits = source.layoutQCUnits;
  target.layoutReference = source.layoutReference;
  target.layoutNameLine = source.layoutNameLine;
  const int n = Min(Min(target.units.count, target.unitTypes.count),
                    Min(source.units.count, source.unitTypes.count));
  for (int i = 0; i < n; ++i) {
    const int tType = target.unitTypes.data[i];
    const int sType = source.unitTypes.data[i];
    if (ClassOf(tType) != ClassOf(sType)) continue;
    auto* to = static_cast<AllUnitTypes*>(target.units.data[i]);
    const auto* from = static_cast<const AllUnitTypes*>(source.units.data[i]);
    if (to == nullptr || from == nullptr) continue;
    int rc = CHIP_SUCCESS;
    if (tType == TILING_EXPRESSION) {
      if (to->geneExpression == nullptr || from->geneExpression == nullptr) continue;
      rc = CopyExpression(*to->geneExpression, *from->geneExpression);
    } else {
      UnitClass* t = TilingUnitOf(to, tType);
      const UnitClass* f = TilingUnitOf(from, sType);
      if (t == nullptr || f == nullptr) continue;
      rc = CopyTiling(*t, *f);
      if (rc == CHIP_SUCCESS && tType == TILING_GENOTYPING) {
        to->block->mutationType = from->block->mutationType;
      }
    }
    if (rc != CHIP_SUCCESS) return rc;
  }
  const int q = Min(target.qcUnits.count, source.qcUnits.count);
  for (int i = 0; i < q; ++i) {
    auto* to = static_cast<QCUnitClass*>(target.qcUnits.data[i]);
    const auto* from = static_cast<const QCUnitClass*>(source.qcUnits.data[i]);
    if (to == nullptr || from == nullptr) continue;
    const int cells = Min(to->numberOfCells, from->numberOfCells);
    for (int c = 0; c < cells; ++c) {
      QCCellClass& t = to->qcCells[c];
      const QCCellClass& f = from->qcCells[c];
      t.x = f.x;
      t.y = f.y;
      t.atom = f.atom;
      t.probeLength = f.probeLength;
      t.match = f.match;
      t.background = f.background;
      t.probe = f.probe;
    }
  }
  return CHIP_SUCCESS;
}

}  // namespace pendrix71
