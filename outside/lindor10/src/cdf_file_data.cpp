// CCDFFileData over Pendrix71's chip model: one ChipClass per loaded layout, asked on demand.
#include <algorithm>
#include <cstring>
#include <new>
#include <string>

#include "tesk/internal/file.h"
#include "tesk/lindor10.h"
#include "tesk/pendrix71.h"

namespace {

VarolithUnitType KindOf(int layoutType) {
  switch (layoutType) {
    case TILING_EXPRESSION:
      return ExpressionUnitType;
    case TILING_GENOTYPING:
      return GenotypingUnitType;
    case TILING_RESEQUENCING:
    case TILING_STANDARD_5:
    case TILING_STANDARD_6:
      return CustomSeqUnitType;
    default:
      return UnknownUnitType;
  }
}

// The layout reader keeps a blank where a cell has no base.
char Base(char b) { return b == ' ' ? 0 : b; }

// One unit of the chip: exactly one of the two pointers is set.
struct Unit {
  int type = 0;
  GeneExpressionUnitClass* expression = nullptr;
  UnitClass* tiling = nullptr;

  int Atoms() const {
    const int n = expression ? expression->numberOfAtoms : tiling->numberOfAtoms;
    return n > 0 ? n : 0;
  }
  const ArrayClass& Blocks() const { return expression ? expression->blocks : tiling->blocks; }
  int BlockCount() const { return std::max(Blocks().count, 0); }
  const UnitBlockInfoClass* Block(int b) const {
    if (b < 0 || b >= BlockCount() || Blocks().data == nullptr) return nullptr;
    return static_cast<const UnitBlockInfoClass*>(Blocks().data[b]);
  }
  const char* Name() const { return expression ? expression->name.text : tiling->name.text; }
  int Direction() const { return expression ? expression->direction : tiling->direction; }
};

// The atom (or pair) at index `a` of the unit as far as the unit really holds it.
bool AtomInUnit(const Unit& u, int a) {
  if (a < 0 || a >= u.Atoms()) return false;
  return u.expression ? u.expression->atoms != nullptr : u.tiling->atoms != nullptr;
}

}  // namespace

struct CCDFFileData::Impl {
  std::string path;
  std::unique_ptr<ChipClass> chip;  // null when nothing is loaded
  std::string error;

  int NumUnits() const {
    if (!chip) return 0;
    const int n = std::min({chip->numberOfUnits, chip->units.count, chip->unitTypes.count});
    return n > 0 ? n : 0;
  }

  int NumQCUnits() const { return chip ? std::max(chip->qcUnits.count, 0) : 0; }

  bool GetUnit(int i, Unit& u) const {
    if (i < 0 || i >= NumUnits()) return false;
    const AllUnitTypes* holder = chip->GetUnit(i);
    if (holder == nullptr) return false;
    u.type = chip->unitTypes.data[i];
    if (u.type == TILING_EXPRESSION) {
      u.expression = holder->geneExpression;
    } else {
      u.tiling = TilingUnitOf(holder, u.type);
    }
    return u.expression != nullptr || u.tiling != nullptr;
  }

  const QCUnitClass* GetQC(int i) const {
    if (i < 0 || i >= NumQCUnits()) return nullptr;
    return chip->GetQCUnit(i);
  }

  // The block's atom for list `list`, checked against the unit; -1 when there is none.
  static int AtomOfList(const Unit& u, const UnitBlockInfoClass& b, int list) {
    if (list < 0 || list >= b.numberOfAtoms) return -1;
    const int a = b.firstAtom + list;
    return AtomInUnit(u, a) ? a : -1;
  }

  static int CellsPerList(const Unit& u, const UnitBlockInfoClass& b) {
    if (u.expression) return 2;
    const int a = AtomOfList(u, b, 0);
    return a < 0 ? 0 : u.tiling->atoms[a].numberOfCells;
  }
};

CCDFFileData::CCDFFileData() : impl_(std::make_unique<Impl>()) {}
CCDFFileData::~CCDFFileData() = default;

void CCDFFileData::SetFileName(const char* path) {
  try {
    impl_->path = path == nullptr ? "" : path;
  } catch (const std::bad_alloc&) {
    impl_->path.clear();
  }
}

const char* CCDFFileData::GetFileName() const { return impl_->path.c_str(); }

int CCDFFileData::Exists() const {
  return tesk::internal::Exists(impl_->path) ? 1 : 0;
}

int CCDFFileData::Read(int) {
  Impl& d = *impl_;
  try {
    d.error.clear();
    auto chip = std::make_unique<ChipClass>();
    chip->layoutFile = d.path.c_str();
    const int code = chip->ReadCDF();
    if (code != CHIP_SUCCESS) {
      d.error = CheckError(code);
      return 0;
    }
    d.chip = std::move(chip);
    return 1;
  } catch (const std::bad_alloc&) {
    d.error = CheckError(CHIP_INSUFFICIENT_MEMORY);
    return 0;
  }
}

void CCDFFileData::Close() { impl_->chip.reset(); }
int CCDFFileData::IsLoaded() const { return impl_->chip ? 1 : 0; }
const char* CCDFFileData::GetError() const { return impl_->error.c_str(); }
int CCDFFileData::IsXDACompatibleFile() const { return 0; }

int CCDFFileData::GetRows() const { return impl_->chip ? impl_->chip->rows : 0; }
int CCDFFileData::GetCols() const { return impl_->chip ? impl_->chip->cols : 0; }
int CCDFFileData::GetNumUnits() const { return impl_->NumUnits(); }
int CCDFFileData::GetNumQCUnits() const { return impl_->NumQCUnits(); }
int CCDFFileData::GetVersion() const { return impl_->chip ? impl_->chip->layoutVersion : 0; }

const char* CCDFFileData::GetChipName() const {
  const char* line = impl_->chip ? impl_->chip->layoutNameLine.text : nullptr;
  if (line == nullptr) return "";
  const char* value = std::strchr(line, '=');
  return value ? value + 1 : line;
}

VarolithUnitType CCDFFileData::GetUnitType(int unit) const {
  Unit u;
  return impl_->GetUnit(unit, u) ? KindOf(u.type) : UnknownUnitType;
}

int CCDFFileData::GetUnitInformation(int unit, CCDFUnitInformation& info) const {
  info = CCDFUnitInformation();
  Unit u;
  if (!impl_->GetUnit(unit, u)) return 0;
  info.file_ = this;
  info.unit_ = unit;
  info.atoms_ = u.Atoms();
  info.blocks_ = u.BlockCount();
  const IntArrayClass& per = impl_->chip->unitCellsPerAtom;
  info.cells_per_atom_ = u.expression ? 2 : (unit < per.count ? per.data[unit] : 0);
  const IntArrayClass& numbers = impl_->chip->unitNumbers;
  info.number_ = unit < numbers.count ? numbers.data[unit] : 0;
  info.direction_ = u.Direction();
  info.type_ = KindOf(u.type);
  return 1;
}

int CCDFFileData::GetBlock(int unit, int block, CCDFUnitBlockInformation& info) const {
  Unit u;
  if (!impl_->GetUnit(unit, u)) return 0;
  const UnitBlockInfoClass* b = u.Block(block);
  if (b == nullptr) return 0;
  info.file_ = this;
  info.unit_ = unit;
  info.block_ = block;
  info.lists_ = b->numberOfAtoms;
  info.cells_per_list_ = Impl::CellsPerList(u, *b);
  info.direction_ = u.type == TILING_GENOTYPING
                        ? static_cast<const BlockUnitBlockInfoClass*>(b)->direction
                        : u.Direction();
  info.name_ = b->name.text;
  return 1;
}

int CCDFFileData::GetBlockCell(int unit, int block, int cell,
                               CCDFUnitBlockCellInformation& info) const {
  Unit u;
  if (cell < 0 || !impl_->GetUnit(unit, u)) return 0;
  const UnitBlockInfoClass* b = u.Block(block);
  if (b == nullptr) return 0;
  const int per = Impl::CellsPerList(u, *b);
  if (per <= 0) return 0;
  const int list = cell / per, slot = cell % per;
  const int a = Impl::AtomOfList(u, *b, list);
  if (a < 0) return 0;
  const CellClass* c;
  if (u.expression) {
    const GeneExpressionAtomClass& pair = u.expression->atoms[a];
    c = &pair.cells[slot];
    info.atom_number_ = pair.atomNumber;
  } else {
    const AtomClass& atom = u.tiling->atoms[a];
    if (slot >= atom.numberOfCells || atom.cells == nullptr) return 0;
    c = &atom.cells[slot];
    info.atom_number_ = atom.atomNumber;
  }
  info.x_ = c->x;
  info.y_ = c->y;
  info.probe_base_ = Base(c->probeBase);
  info.target_base_ = Base(c->targetBase);
  info.list_ = list;
  return 1;
}

int CCDFFileData::GetListValue(int unit, int block, int list, ListValue what) const {
  const int none = what == kCellsInList || what == kReferenceBase ? 0 : -1;
  Unit u;
  if (!impl_->GetUnit(unit, u)) return none;
  const UnitBlockInfoClass* b = u.Block(block);
  if (b == nullptr) return none;
  const int a = Impl::AtomOfList(u, *b, list);
  if (a < 0) return none;
  if (u.expression) {
    const GeneExpressionAtomClass& pair = u.expression->atoms[a];
    switch (what) {
      case kReferenceIndex:
        return pair.atomNumber;
      case kCellsInList:
        return 2;
      case kReferenceBase:
        return Base(pair.cells[0].targetBase);
      case kSequencePosition:
        return none;  // a pair carries no position of its own
    }
    return none;
  }
  const AtomClass& atom = u.tiling->atoms[a];
  const int cells = atom.cells ? atom.numberOfCells : 0;
  switch (what) {
    case kReferenceIndex:
      return atom.atomNumber;
    case kSequencePosition:
      return atom.expos;
    case kCellsInList:
      return cells;
    case kReferenceBase:
      for (int k = 0; k < cells; ++k) {
        if (const char b = Base(atom.cells[k].targetBase)) return b;
      }
      return 0;
  }
  return none;
}

int CCDFFileData::FindList(int unit, int reference, int& block, int& list) const {
  Unit u;
  if (!impl_->GetUnit(unit, u)) return 0;
  for (int bi = 0; bi < u.BlockCount(); ++bi) {
    const UnitBlockInfoClass* b = u.Block(bi);
    if (b == nullptr) continue;
    for (int l = 0; l < b->numberOfAtoms; ++l) {
      const int a = Impl::AtomOfList(u, *b, l);
      if (a < 0) break;
      const int number = u.expression ? u.expression->atoms[a].atomNumber
                                      : u.tiling->atoms[a].atomNumber;
      if (number == reference) {
        block = bi;
        list = l;
        return 1;
      }
    }
  }
  return 0;
}

int CCDFFileData::GetQCUnitInformation(int qc, CCDFQCUnitInformation& info) const {
  info = CCDFQCUnitInformation();
  const QCUnitClass* q = impl_->GetQC(qc);
  if (q == nullptr) return 0;
  info.file_ = this;
  info.qc_ = qc;
  info.cells_ = q->qcCells ? std::max(q->numberOfCells, 0) : 0;
  info.type_ = static_cast<unsigned short>(q->qcType);
  return 1;
}

int CCDFFileData::GetQCCell(int qc, int cell, CCDFQCCellInformation& info) const {
  const QCUnitClass* q = impl_->GetQC(qc);
  if (q == nullptr || q->qcCells == nullptr || cell < 0 || cell >= q->numberOfCells) return 0;
  const QCCellClass& c = q->qcCells[cell];
  info.x_ = c.x;
  info.y_ = c.y;
  info.probe_length_ = c.probeLength;
  info.atom_ = c.atom;
  info.match_ = c.match ? 1 : 0;
  info.background_ = c.background ? 1 : 0;
  return 1;
}

const char* CCDFFileData::GetName(int unit) const {
  Unit u;
  if (!impl_->GetUnit(unit, u)) return nullptr;
  const char* name = u.Name();
  if (name != nullptr && std::strcmp(name, "NONE") == 0) {
    const UnitBlockInfoClass* first = u.Block(0);
    if (first != nullptr) name = first->name.text;
  }
  return name ? name : "";
}

extern "C" CCDFFileData* Lindor10CreateCDFFileData() {
  try {
    return new CCDFFileData();
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}
