// The layout (CDF) reader: builds a chip's units from a layout file, or fills in the layout of
// units read from a result file, optionally merging the cell intensities of a cell file.
//
// Every count the file announces is checked against what the rest of the file can hold before
// anything is allocated, and every cell position is checked against the grid: a malformed or
// truncated layout fails with 13 and never makes the reader allocate beyond the file's size.
#include <sys/stat.h>

#include <cstdio>
#include <new>
#include <string_view>

#include <tesk/internal/file.h>
#include <tesk/internal/guard.h>
#include <tesk/internal/lines.h>
#include <tesk/parvel.h>

#include "cdf_copy.h"
#include "cdf_parse.h"
#include "qc_parse.h"
#include "tesk/pendrix71.h"

namespace {

using pendrix71::IntValueOf;
using pendrix71::LayoutCellLine;
using pendrix71::NextInt;
using pendrix71::ValueOf;
using pendrix71::BlockAt;

// A cell line that belongs to no atom: its probe is marked '!', or it names neither base.
bool IsBackground(const LayoutCellLine& line) {
  return line.probe[0] == '!' || (line.probeBase == ' ' && line.targetBase == ' ');
}

void DescribeBlock(UnitBlockInfoClass& block, std::string_view name, int firstAtom, int atoms) {
  block.name.Assign(name.data(), static_cast<int>(name.size()));
  block.firstAtom = static_cast<std::uint16_t>(firstAtom);
  block.numberOfAtoms = static_cast<std::uint16_t>(atoms);
}

constexpr int kMalformed = CHIP_INVALID_LIBRARY_FORMAT;
// Smallest number of bytes a unit section, a cell line and a QC cell line can take; they turn
// announced counts into bounds against the rest of the file.
constexpr std::size_t kMinUnitBytes = 32;
constexpr std::size_t kMinCellBytes = 16;
constexpr std::size_t kMinQCCellBytes = 8;
constexpr std::size_t kMaxNameBytes = 1024;

int DefaultCellsPerAtom(int type) {
  switch (type) {
    case TILING_RESEQUENCING:
    case TILING_GENOTYPING:
    case TILING_STANDARD_5:
    case TILING_STANDARD_6:
    case TILING_UNIVERSAL:
      return 4;
    case TILING_EXPRESSION:
      return 2;
    default:
      return 0;
  }
}

// The object class a type code is held in: units of equal class are interchangeable.
int ClassOf(int type) {
  switch (type) {
    case TILING_STANDARD_5:
    case TILING_STANDARD_6:
      return TILING_RESEQUENCING;
    default:
      return type;
  }
}

// State of one read.
struct Reader {
  ChipClass& chip;
  tesk::internal::LineSplitter lines;
  ParvelClass* cel = nullptr;  // intensities, when merging a cell file
  int celCells = 0;
  bool createUnits = false;
  long long gridCells = 0;

  // The next line's value part; false (malformed) when there is no line or no '='.
  bool NextValue(std::string_view& value) {
    std::string_view line;
    return lines.NextNonEmpty(line) && ValueOf(line, value);
  }
  bool NextIntValue(int& value) {
    std::string_view line;
    return lines.NextNonEmpty(line) && IntValueOf(line, value);
  }
  bool Skip() {
    std::string_view line;
    return lines.NextNonEmpty(line);
  }

  bool InGrid(int x, int y) const { return x >= 0 && y >= 0 && x < chip.cols && y < chip.rows; }
  bool InGrid(int index) const { return index >= 0 && index < gridCells; }

  const CellEntryClass* Entry(int index) const {
    return (cel != nullptr && index < celCells) ? cel->GetCell(index) : nullptr;
  }

  // The chip cell a layout line makes of the cell at line.cellIndex: the cell file's values
  // (when merging) under the layout fields.
  void MakeChipCell(CellClass& cell, const LayoutCellLine& line) const {
    const CellEntryClass* e = Entry(line.cellIndex);
    cell.intensity = e != nullptr ? e->MEAN : 0.0f;
    cell.stdev = e != nullptr ? e->STDV : 0.0f;
    cell.pixels = e != nullptr ? e->NPIXELS : 0;
    cell.masked = e != nullptr ? e->MASKED : 0;
    cell.outlier = e != nullptr ? e->OUTLIER : 0;
    cell.background = 0;
    if (line.probe[0] == 'N') cell.probe.Clean();
    pendrix71::ApplyLayoutCell(cell, line);
  }

  float IntensityOf(int index) const {
    const CellEntryClass* e = Entry(index);
    return e != nullptr ? e->MEAN : 0.0f;
  }

  int ReadHeader(int& declaredUnits, int& declaredMaxUnit);
  int ReadQCUnits();
  int ReadUnits(int declaredUnits);
  int ReadCellLine(LayoutCellLine& line);
  int ReadTilingBlocks(UnitClass& unit, int type, int unitNumber, int blockCount);
  int ReadExpressionBlocks(GeneExpressionUnitClass& unit, int unitNumber, int blockCount);
};

bool StartsWith(std::string_view s, std::string_view prefix) {
  return s.substr(0, prefix.size()) == prefix;
}

int Reader::ReadHeader(int& declaredUnits, int& declaredMaxUnit) {
  std::string_view line;
  if (!lines.NextNonEmpty(line) || !StartsWith(line, "[CDF]")) return CHIP_LIBRARY_READ_FAILED;
  std::string_view value;
  if (!NextValue(value)) return CHIP_LIBRARY_VERSION_INCOMPATIBLE;
  if (StartsWith(value, "QX1.0")) {
    chip.layoutVersion = 1;
  } else if (StartsWith(value, "QX2.0")) {
    chip.layoutVersion = 2;
  } else if (StartsWith(value, "QX3.0")) {
    chip.layoutVersion = 3;
  } else {
    return CHIP_LIBRARY_VERSION_INCOMPATIBLE;
  }
  if (!lines.NextNonEmpty(line) || !StartsWith(line, "[Chip]")) return kMalformed;
  if (!lines.NextNonEmpty(line)) return kMalformed;
  chip.layoutNameLine.Assign(line.data(), static_cast<int>(line.size()));
  int rows = 0;
  int cols = 0;
  if (!NextIntValue(rows) || !NextIntValue(cols) || !NextIntValue(declaredUnits) ||
      !NextIntValue(declaredMaxUnit)) {
    return kMalformed;
  }
  // Cell coordinates are 16-bit.
  if (rows < 0 || cols < 0 || rows > 65536 || cols > 65536) return kMalformed;
  if (declaredUnits < 0 || declaredMaxUnit < 0) return kMalformed;
  if (static_cast<std::size_t>(declaredUnits) > lines.Remaining() / kMinUnitBytes) {
    return kMalformed;
  }
  chip.rows = rows;
  chip.cols = cols;
  gridCells = static_cast<long long>(rows) * cols;
  if (chip.layoutVersion >= 2) {
    int qcUnits = 0;
    if (!NextIntValue(qcUnits) || qcUnits < 0) return kMalformed;
    chip.layoutQCUnits = qcUnits;
    if (chip.numberOfQCUnits == 0) chip.numberOfQCUnits = qcUnits;
    if (!NextValue(value)) return kMalformed;
    chip.layoutReference.Assign(value.data(), static_cast<int>(value.size()));
  }
  return CHIP_SUCCESS;
}

int Reader::ReadQCUnits() {
  // Whether the QC units are built here is decided once, before the first section: the units
  // this read appends must not turn the later sections into fills.
  const bool create = chip.qcUnits.count == 0;
  for (int q = 0; q < chip.layoutQCUnits; ++q) {
    std::string_view line;
    if (!lines.NextNonEmpty(line) || !StartsWith(line, "[QC")) return kMalformed;
    int type = 0;
    int count = 0;
    if (!NextIntValue(type) || !NextIntValue(count)) return kMalformed;
    if (count < 0 || static_cast<std::size_t>(count) > lines.Remaining() / kMinQCCellBytes) {
      return kMalformed;
    }
    QCUnitClass* unit = nullptr;
    if (create) {
      unit = new (std::nothrow) QCUnitClass(count, type);
      if (unit == nullptr || unit->numberOfCells != count) {
        delete unit;
        return CHIP_INSUFFICIENT_MEMORY;
      }
      if (chip.AddQCUnit(unit) != CHIP_SUCCESS) {
        delete unit;
        return CHIP_INSUFFICIENT_MEMORY;
      }
    } else {
      unit = chip.GetQCUnit(q);
    }
    if (!Skip()) return kMalformed;  // column header
    for (int k = 0; k < count; ++k) {
      std::string_view value;
      if (!NextValue(value)) return kMalformed;
      if (unit == nullptr || k >= unit->numberOfCells) continue;
      pendrix71::QCLine qc;
      if (!pendrix71::ParseQCLine(unit->qcType, value, qc)) return kMalformed;
      if (!InGrid(qc.x, qc.y) || !InGrid(qc.cellIndex)) return kMalformed;
      QCCellClass& cell = unit->qcCells[k];
      pendrix71::ApplyQCLine(unit->qcType, qc, cell);
      if (create && cel != nullptr) {
        if (const CellEntryClass* e = Entry(qc.cellIndex)) {
          cell.intensity = e->MEAN;
          cell.stdev = e->STDV;
          cell.pixels = e->NPIXELS;
        }
      }
    }
  }
  return CHIP_SUCCESS;
}

int Reader::ReadCellLine(LayoutCellLine& line) {
  std::string_view value;
  if (!NextValue(value)) return kMalformed;
  pendrix71::ParseLayoutCellLine(value, line);
  if (line.fields < pendrix71::kCellLineRequiredFields) return kMalformed;
  if (!InGrid(line.x, line.y) || !InGrid(line.cellIndex)) return kMalformed;
  return CHIP_SUCCESS;
}

// The fields of a block section after its two name lines.
struct BlockHeader {
  int number = 0;
  int atoms = 0;
  int cells = 0;
  int start = 0;
  int stop = 0;
  int direction = 0;
};

int ReadBlockHeader(Reader& r, bool withDirection, std::string_view& name, BlockHeader& b) {
  if (!r.Skip() || !r.NextValue(name)) return kMalformed;
  if (!r.NextIntValue(b.number) || !r.NextIntValue(b.atoms) || !r.NextIntValue(b.cells) ||
      !r.NextIntValue(b.start) || !r.NextIntValue(b.stop)) {
    return kMalformed;
  }
  if (withDirection && !r.NextIntValue(b.direction)) return kMalformed;
  if (b.cells < 0 || b.atoms < 0) return kMalformed;
  if (!r.Skip()) return kMalformed;  // column header
  return CHIP_SUCCESS;
}

int Reader::ReadTilingBlocks(UnitClass& unit, int type, int unitNumber, int blockCount) {
  const bool genotyping = type == TILING_GENOTYPING;
  for (int a = 0; a < unit.numberOfAtoms; ++a) {
    AtomClass& atom = unit.atoms[a];
    atom.unitNumber = -1;
    for (int c = 0; c < atom.numberOfCells; ++c) atom.cells[c].background = 0;
  }
  int atomsBegun = 0;
  bool havePrevious = false;
  int previous = 0;
  AtomClass* atom = nullptr;
  int slotCount = 0;  // cells placed in the current atom
  for (int b = 0; b < blockCount; ++b) {
    std::string_view name;
    BlockHeader header;
    const bool withDirection = genotyping && chip.layoutVersion >= 3;
    if (int rc = ReadBlockHeader(*this, withDirection, name, header); rc != CHIP_SUCCESS) {
      return rc;
    }
    UnitBlockInfoClass* block = BlockAt(unit.blocks, b, genotyping);
    if (block == nullptr) return CHIP_INSUFFICIENT_MEMORY;
    if (genotyping) {
      auto* gb = static_cast<BlockUnitBlockInfoClass*>(block);
      gb->direction = withDirection ? header.direction : unit.direction;
    }
    DescribeBlock(*block, name, atomsBegun, header.atoms);
    for (int c = 0; c < header.cells; ++c) {
      LayoutCellLine line;
      if (int rc = ReadCellLine(line); rc != CHIP_SUCCESS) return rc;
      if (IsBackground(line)) {
        if (createUnits && atom != nullptr) atom->background = IntensityOf(line.cellIndex);
        continue;
      }
      if (!havePrevious || line.atomNumber != previous) {
        if (atomsBegun >= unit.numberOfAtoms) return kMalformed;
        atom = &unit.atoms[atomsBegun++];
        slotCount = 0;
        havePrevious = true;
        previous = line.atomNumber;
        if (chip.layoutVersion >= 2) {
          atom->unitNumber = unitNumber;
          atom->atomNumber = static_cast<std::uint16_t>(line.atomNumber);
          atom->blockNumber = static_cast<short>(header.number);
          atom->expos = line.expos;
          atom->codonIndex = static_cast<signed char>(line.codonIndex);
          atom->codon = static_cast<short>(line.codon);
          atom->regionType = line.regionType;
          if (line.regionType != 99) {
            atom->region.Assign(line.region.data(), static_cast<int>(line.region.size()));
          }
        }
      }
      const int slot = atom->numberOfCells - 1 - slotCount;
      if (slot < 0) return kMalformed;  // more cells than the atom holds
      ++slotCount;
      CellClass& cell = atom->cells[slot];
      if (createUnits) {
        MakeChipCell(cell, line);
      } else {
        cell.x = static_cast<std::uint16_t>(line.x);
        cell.y = static_cast<std::uint16_t>(line.y);
        cell.probeBase = line.probeBase;
        cell.targetBase = line.targetBase;
        if (line.probe[0] == 'N') {
          cell.probe.Clean();
        } else {
          cell.probe.Assign(line.probe.data(), static_cast<int>(line.probe.size()));
        }
      }
    }
  }
  for (int a = 0; a < unit.numberOfAtoms; ++a) {
    AtomClass& at = unit.atoms[a];
    if (at.numberOfCells > 0) {
      at.targetIndex = static_cast<signed char>(at.ComputeTargetIndex(at.cells[0].targetBase));
    }
  }
  return CHIP_SUCCESS;
}

int Reader::ReadExpressionBlocks(GeneExpressionUnitClass& unit, int unitNumber, int blockCount) {
  int pairsBegun = 0;
  bool havePrevious = false;
  int previous = 0;
  GeneExpressionAtomClass* pair = nullptr;
  for (int b = 0; b < blockCount; ++b) {
    std::string_view name;
    BlockHeader header;
    if (int rc = ReadBlockHeader(*this, false, name, header); rc != CHIP_SUCCESS) return rc;
    UnitBlockInfoClass* block = BlockAt(unit.blocks, b, false);
    if (block == nullptr) return CHIP_INSUFFICIENT_MEMORY;
    DescribeBlock(*block, name, pairsBegun, header.atoms);
    for (int c = 0; c < header.cells; ++c) {
      LayoutCellLine line;
      if (int rc = ReadCellLine(line); rc != CHIP_SUCCESS) return rc;
      if (IsBackground(line)) {
        if (createUnits && pair != nullptr) pair->pairValue = IntensityOf(line.cellIndex);
        continue;
      }
      if (!havePrevious || line.atomNumber != previous) {
        if (pairsBegun >= unit.numberOfAtoms) return kMalformed;
        pair = &unit.atoms[pairsBegun++];
        havePrevious = true;
        previous = line.atomNumber;
        if (chip.layoutVersion >= 2) {
          pair->unitNumber = unitNumber;
          pair->atomNumber = static_cast<std::uint16_t>(line.atomNumber);
        }
      }
      // The perfect match cell's probe base complements the target base.
      const int slot = pendrix71::ComplementBase(line.probeBase) == line.targetBase ? 0 : 1;
      CellClass& cell = pair->cells[slot];
      if (createUnits) {
        MakeChipCell(cell, line);
      } else {
        cell.x = static_cast<std::uint16_t>(line.x);
        cell.y = static_cast<std::uint16_t>(line.y);
        cell.probeBase = line.probeBase;
        cell.targetBase = line.targetBase;
      }
    }
  }
  return CHIP_SUCCESS;
}

// A new unit object of the type's class; null when out of memory (or the atoms could not be
// allocated).
bool CreateUnit(AllUnitTypes& holder, int type, int atoms, int cellsPerAtom) {
  holder.unit = nullptr;
  switch (type) {
    case TILING_EXPRESSION: {
      auto* u = new (std::nothrow) GeneExpressionUnitClass(atoms, cellsPerAtom);
      if (u != nullptr && u->numberOfAtoms != atoms) {
        delete u;
        u = nullptr;
      }
      holder.geneExpression = u;
      return u != nullptr;
    }
    case TILING_GENOTYPING:
      holder.block = new (std::nothrow) BlockUnitClass(atoms, cellsPerAtom);
      break;
    case TILING_UNIVERSAL:
      holder.universal = new (std::nothrow) UniversalUnitClass(atoms, cellsPerAtom);
      break;
    default:
      holder.standard = new (std::nothrow) StandardUnitClass(atoms, cellsPerAtom);
      break;
  }
  UnitClass* u = TilingUnitOf(&holder, type);
  if (u != nullptr && u->numberOfAtoms != atoms) {
    delete u;
    holder.unit = nullptr;
    return false;
  }
  return u != nullptr;
}

struct UnitHeader {
  std::string_view name;
  int direction = 0;
  int atoms = 0;
  int cellsPerAtom = 0;
  int cells = 0;
  int number = 0;
  int type = 0;
  int blocks = 0;
  int mutationType = 0;
};

int ReadUnitHeader(Reader& r, UnitHeader& h) {
  if (!r.NextValue(h.name)) return kMalformed;
  if (h.name.size() > kMaxNameBytes) h.name = h.name.substr(0, kMaxNameBytes);
  std::string_view atomsValue;
  if (!r.NextIntValue(h.direction) || !r.NextValue(atomsValue)) return kMalformed;
  if (!NextInt(atomsValue, h.atoms)) return kMalformed;
  const bool haveCellsPerAtom = NextInt(atomsValue, h.cellsPerAtom);
  if (!r.NextIntValue(h.cells) || !r.NextIntValue(h.number) || !r.NextIntValue(h.type) ||
      !r.NextIntValue(h.blocks)) {
    return kMalformed;
  }
  if (h.type == TILING_GENOTYPING && r.chip.layoutVersion >= 2 &&
      !r.NextIntValue(h.mutationType)) {
    return kMalformed;
  }
  if (!haveCellsPerAtom) h.cellsPerAtom = DefaultCellsPerAtom(h.type);
  if (h.blocks < 0) return kMalformed;
  return CHIP_SUCCESS;
}

void DeleteHolder(AllUnitTypes* holder, int type) {
  if (type == TILING_EXPRESSION) {
    delete holder->geneExpression;
  } else {
    delete TilingUnitOf(holder, type);
  }
  delete holder;
}

// Appends a built unit to the five per-unit arrays; on failure none of them keeps it.
bool AppendUnit(ChipClass& chip, AllUnitTypes* holder, int type, const UnitHeader& h) {
  const int n = chip.units.count;
  if (chip.units.Add(holder) && chip.unitTypes.Add(type) && chip.unitNumbers.Add(h.number) &&
      chip.unitAtoms.Add(h.atoms) && chip.unitCellsPerAtom.Add(h.cellsPerAtom)) {
    return true;
  }
  chip.units.Resize(n);
  chip.unitTypes.Resize(n);
  chip.unitNumbers.Resize(n);
  chip.unitAtoms.Resize(n);
  chip.unitCellsPerAtom.Resize(n);
  return false;
}

int Reader::ReadUnits(int declaredUnits) {
  int next = 0;  // index of the next unit to build or fill
  std::string_view line;
  for (;;) {
    // Find the next unit section; block sections carry a '_' in their header.
    bool found = false;
    while (lines.NextNonEmpty(line)) {
      if (StartsWith(line, "[Unit") && line.find('_') == std::string_view::npos) {
        found = true;
        break;
      }
    }
    if (!found) break;
    UnitHeader h;
    if (int rc = ReadUnitHeader(*this, h); rc != CHIP_SUCCESS) return rc;
    int type = h.type;
    if (chip.validUnitTypes != 0 &&
        (type < 0 || type > 30 || (chip.validUnitTypes & (1 << type)) == 0)) {
      type = 0;
    }
    const bool known = DefaultCellsPerAtom(type) != 0;
    AllUnitTypes* holder = nullptr;
    if (createUnits) {
      if (!known) continue;  // not loaded: its lines are passed over by the search
      if (next >= declaredUnits) return kMalformed;  // more units than announced
      const long long perAtom = h.cellsPerAtom > 0 ? h.cellsPerAtom : 1;
      if (h.atoms < 0 || h.cellsPerAtom < 0 || h.cellsPerAtom > 255 ||
          h.atoms * perAtom > static_cast<long long>(lines.Remaining() / kMinCellBytes)) {
        return kMalformed;
      }
      holder = new (std::nothrow) AllUnitTypes;
      if (holder == nullptr) return CHIP_INSUFFICIENT_MEMORY;
      if (!CreateUnit(*holder, type, h.atoms, h.cellsPerAtom)) {
        delete holder;
        return CHIP_INSUFFICIENT_MEMORY;
      }
      // Stored before its blocks are read: a read that stops part-way keeps what it built.
      if (!AppendUnit(chip, holder, type, h)) {
        DeleteHolder(holder, type);
        return CHIP_INSUFFICIENT_MEMORY;
      }
      chip.numberOfUnits = ++next;
    } else {
      // Fill mode: only the chip's next unit, when it is this unit and of the same class.
      if (!known || next >= chip.units.count || next >= chip.unitNumbers.count ||
          next >= chip.unitTypes.count || chip.unitNumbers.data[next] != h.number ||
          ClassOf(chip.unitTypes.data[next]) != ClassOf(type)) {
        continue;
      }
      holder = static_cast<AllUnitTypes*>(chip.units.data[next]);
      ++next;
      if (holder == nullptr) continue;
      if (type == TILING_EXPRESSION ? holder->geneExpression == nullptr
                                    : TilingUnitOf(holder, type) == nullptr) {
        continue;
      }
    }
    int rc = CHIP_SUCCESS;
    if (type == TILING_EXPRESSION) {
      GeneExpressionUnitClass& unit = *holder->geneExpression;
      unit.direction = h.direction;
      unit.unitType = type;
      unit.name.Assign(h.name.data(), static_cast<int>(h.name.size()));
      rc = ReadExpressionBlocks(unit, h.number, h.blocks);
    } else {
      UnitClass& unit = *TilingUnitOf(holder, type);
      unit.direction = h.direction;
      unit.unitType = type;
      unit.name.Assign(h.name.data(), static_cast<int>(h.name.size()));
      if (type == TILING_GENOTYPING) holder->block->mutationType = h.mutationType;
      rc = ReadTilingBlocks(unit, type, h.number, h.blocks);
    }
    if (rc != CHIP_SUCCESS) return rc;
  }
  return CHIP_SUCCESS;
}

int ReadLayout(ChipClass& chip, bool withIntensities) {
  if (chip.layoutFile.IsEmpty()) return CHIP_CANT_OPEN_LIBRARY;
  std::string data;
  if (!tesk::internal::ReadWholeFile(chip.layoutFile.text, data)) return CHIP_CANT_OPEN_LIBRARY;
  Reader r{chip, tesk::internal::LineSplitter(data)};
  r.createUnits = chip.units.count == 0;
  const bool createQC = chip.qcUnits.count == 0;
  int declaredUnits = 0;
  int declaredMaxUnit = 0;
  if (int rc = r.ReadHeader(declaredUnits, declaredMaxUnit); rc != CHIP_SUCCESS) return rc;

  std::unique_ptr<ParvelClass> cel;
  if (withIntensities) {
    cel = std::make_unique<ParvelClass>(nullptr);
    cel->SetName(chip.cellFile.c_str());
    if (chip.cellFile.IsEmpty() || cel->Read() == 0) return CHIP_CANT_OPEN_CELL;
    r.cel = cel.get();
    r.celCells = cel->GetNCells();
  }

  if (r.createUnits) {
    // Units are appended as they are built; skipped and missing ones are not counted.
    chip.numberOfUnits = 0;
    chip.maxUnit = declaredMaxUnit;
    chip.unitTypes.Clear();
    chip.unitNumbers.Clear();
    chip.unitAtoms.Clear();
    chip.unitCellsPerAtom.Clear();
  }

  int rc = CHIP_SUCCESS;
  if (chip.layoutVersion >= 2) rc = r.ReadQCUnits();
  if (rc == CHIP_SUCCESS) rc = r.ReadUnits(declaredUnits);
  // The writers walk numberOfQCUnits QC units: never let it claim more than were built.
  if (createQC && chip.numberOfQCUnits > chip.qcUnits.count) {
    chip.numberOfQCUnits = chip.qcUnits.count;
  }
  return rc;
}

}  // namespace

int ChipClass::ReadCDF(ChipClass* source) {
  return tesk::internal::Guard(
      [&] {
        return source != nullptr ? pendrix71::CopyLayout(*this, *source)
                                 : ReadLayout(*this, false);
      },
      static_cast<int>(CHIP_INCOMPLETE_FILE));
}

int ChipClass::ReadCell() {
  return tesk::internal::Guard(
      [&] {
        int rc = ReadLayout(*this, true);
        if (rc != CHIP_SUCCESS) return rc;
        const int n = units.count < unitTypes.count ? units.count : unitTypes.count;
        for (int i = 0; i < n; ++i) {
          UnitClass* unit =
              TilingUnitOf(static_cast<AllUnitTypes*>(units.data[i]), unitTypes.data[i]);
          if (unit != nullptr) unit->ProcessUnitData();
        }
        return static_cast<int>(CHIP_SUCCESS);
      },
      static_cast<int>(CHIP_INCOMPLETE_FILE));
}
