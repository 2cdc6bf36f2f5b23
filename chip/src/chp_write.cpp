// Writing result files of version 13 (WriteChip) and 12 (WriteChip60). The whole file is built
// in memory first, so a chip that cannot be written leaves the stream untouched, and the path
// forms replace their target only with a complete file.
#include <fstream>
#include <string>

#include <tesk/internal/guard.h>
#include <tesk/internal/replace_file.h>

#include "chp_format.h"
#include "tesk/pendrix71.h"

namespace {

bool IsTiling(int type) { return type == 1 || type == 2 || type == 5 || type == 6 || type == 7; }

// The header tables must describe the units the records will carry, or the file could not be
// read back.
bool Consistent(ChipClass& chip) {
  const int n = chip.numberOfUnits;
  if (n < 0 || chip.units.count < n || chip.unitTypes.count < n || chip.unitAtoms.count < n ||
      chip.unitNumbers.count < n || chip.unitCellsPerAtom.count < n)
    return false;
  for (int i = 0; i < n; ++i) {
    const int type = chip.unitTypes.data[i];
    const auto* holder = static_cast<const AllUnitTypes*>(chip.units.data[i]);
    if (type == TILING_EXPRESSION) {
      if (holder == nullptr || holder->geneExpression == nullptr ||
          holder->geneExpression->numberOfAtoms != chip.unitAtoms.data[i])
        return false;
    } else if (IsTiling(type)) {
      const UnitClass* unit = TilingUnitOf(holder, type);
      if (unit == nullptr || unit->numberOfAtoms != chip.unitAtoms.data[i]) return false;
      for (int a = 0; a < unit->numberOfAtoms; ++a)
        if (unit->atoms[a].numberOfCells != chip.unitCellsPerAtom.data[i]) return false;
    }
  }
  if (chip.numberOfQCUnits < 0 || chip.qcUnits.count < chip.numberOfQCUnits) return false;
  // A QC record without cells does not read back.
  for (int q = 0; q < chip.numberOfQCUnits; ++q) {
    const QCUnitClass* unit = chip.GetQCUnit(q);
    if (unit == nullptr || unit->qcCells == nullptr || unit->numberOfCells <= 0) return false;
  }
  return true;
}

void EncodeHeader(ChipClass& chip, int version, ChpOutput& out) {
  out.Raw(kChipFileMagic, kChipFileMagicLength);
  out.I32(version);
  out.LengthText(chip.algorithmName.text);
  out.LengthText(chip.algorithmVersion.text);
  out.LengthText(chip.algorithmParameters.text);
  out.LengthText(chip.chipSummary.text);
  const int n = chip.numberOfUnits;
  // The per-unit tables are maxUnit entries long and must hold every unit.
  const int tableLength = chip.maxUnit > n ? chip.maxUnit : n;
  out.I32(chip.rows);
  out.I32(chip.cols);
  out.I32(n);
  out.I32(tableLength);
  out.I32(chip.numberOfQCUnits);
  for (int i = 0; i < n; ++i) out.I32(chip.unitNumbers.data[i]);
  // A file without units carries no atom and type tables (the reader reads none), whatever
  // maxUnit says.
  for (const IntArrayClass* table : {&chip.unitAtoms, &chip.unitTypes}) {
    if (n == 0) break;
    for (int i = 0; i < n; ++i) out.I32(table->data[i]);
    for (int i = n; i < tableLength; ++i) out.I32(0);
  }
  for (int i = 0; i < n; ++i) out.I32(chip.unitCellsPerAtom.data[i]);
  out.FixedText(chip.chipType.text, 256);
  out.FixedText(chip.cellFile.text, 256);
  out.LengthText(chip.algorithmIdentifier.text);
}

void EncodeComposite(const ChipComposite& c, ChpOutput& out) {
  const int n = c.sequence.count;
  out.I32(n);
  if (n < 1) return;
  // Tables shorter than the sequence are written padded: blanks, zeros.
  auto bytes = [&](const CharArrayClass& a, char pad) {
    for (int i = 0; i < n; ++i) out.Byte(static_cast<unsigned char>(i < a.count ? a.data[i] : pad));
  };
  bytes(c.sequence, ' ');
  bytes(c.calls, ' ');
  bytes(c.secondCalls, '\0');
  for (int i = 0; i < n; ++i) out.I16(i < c.positionUnits.count ? c.positionUnits.data[i] : 0);
  out.LengthText(c.extraText1.text);
  out.LengthText(c.extraText2.text);
  for (int i = 0; i < n; ++i)
    out.I32(i < c.percentComposition.count ? c.percentComposition.data[i] : 0);
}

void EncodeQCUnits(ChipClass& chip, ChpOutput& out) {
  for (int q = 0; q < chip.numberOfQCUnits; ++q) {
    const QCUnitClass* unit = chip.GetQCUnit(q);
    const int cells = unit->numberOfCells;
    out.I32(cells);
    out.I32(unit->qcType);
    for (int i = 0; i < cells; ++i) {
      const QCCellClass& cell = unit->qcCells[i];
      out.I32(cell.x);
      out.I32(cell.y);
      out.F32(cell.intensity);
      out.F32(cell.stdev);
      out.I32(cell.pixels);
      out.I32(cell.qcValue);
    }
  }
}

}  // namespace

int chp::EncodeChip(ChipClass& chip, int version, ChpOutput& out) {
  if (!Consistent(chip)) return CHIP_NO_VALID_TILES;
  const bool v13 = version >= chp::kChipFileVersion;
  EncodeHeader(chip, version, out);
  int rc = CHIP_SUCCESS;
  for (int i = 0; i < chip.numberOfUnits; ++i) {
    const int type = chip.unitTypes.data[i];
    auto* holder = static_cast<AllUnitTypes*>(chip.units.data[i]);
    if (type == TILING_EXPRESSION) {
      rc = v13 ? holder->geneExpression->WriteUnitData(out)
               : holder->geneExpression->WriteUnitData60(out);
    } else if (UnitClass* unit = TilingUnitOf(holder, type)) {
      rc = v13 ? unit->WriteUnitData(out) : unit->WriteUnitData60(out);
    }
  }
  EncodeComposite(chip.composite, out);
  EncodeQCUnits(chip, out);
  return rc;
}

namespace {

int WriteStream(ChipClass& chip, int version, std::ofstream& stream) {
  return tesk::internal::Guard(
      [&] {
        ChpOutput out;
        const int rc = chp::EncodeChip(chip, version, out);
        if (rc == CHIP_NO_VALID_TILES && out.bytes.empty()) return rc;
        if (!stream.is_open() ||
            !stream.write(out.bytes.data(), static_cast<std::streamsize>(out.bytes.size())) ||
            !stream.flush())
          return static_cast<int>(CHIP_INCOMPLETE_FILE);
        return rc;
      },
      static_cast<int>(CHIP_INSUFFICIENT_MEMORY), static_cast<int>(CHIP_INCOMPLETE_FILE));
}

// Replaces the file only when every byte reached it: a failed write leaves the old file.
int WritePath(ChipClass& chip, int version, const char* path) {
  if (path == nullptr || *path == '\0') return CHIP_INCOMPLETE_FILE;
  return tesk::internal::Guard(
      [&] {
        ChpOutput out;
        const int rc = chp::EncodeChip(chip, version, out);
        if (rc == CHIP_NO_VALID_TILES && out.bytes.empty()) return rc;
        if (tesk::internal::ReplaceFile(path, out.bytes) != 0) {
          return static_cast<int>(CHIP_INCOMPLETE_FILE);
        }
        return rc;
      },
      static_cast<int>(CHIP_INSUFFICIENT_MEMORY), static_cast<int>(CHIP_INCOMPLETE_FILE));
}

}  // namespace

int ChipClass::WriteChip(std::ofstream& out) {
  return WriteStream(*this, chp::kChipFileVersion, out);
}

int ChipClass::WriteChip60(std::ofstream& out) {
  return WriteStream(*this, chp::kChipFileVersion60, out);
}

int ChipClass::WriteChip(const char* path) {
  return WritePath(*this, chp::kChipFileVersion, path);
}

int ChipClass::WriteChip60(const char* path) {
  return WritePath(*this, chp::kChipFileVersion60, path);
}
