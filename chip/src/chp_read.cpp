// Reading result files: the file is held in memory in one piece (mapped, or read from the
// stream) and decoded through a bounds-checked cursor, so that a damaged or hostile file can
// only end the read with a code.
#include <fcntl.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include <tesk/internal/file.h>
#include <tesk/internal/guard.h>
#include <tesk/internal/mapped_region.h>

#include "chp_format.h"
#include "tesk/pendrix71.h"
#include "unit_storage.h"

namespace {

// The bytes from the stream's position to its end. The buffer is not zero-filled first: the
// read fills it.
struct Buffer {
  std::unique_ptr<unsigned char[]> data;
  std::size_t size = 0;
};

bool Slurp(std::istream& in, Buffer& buffer) {
  const std::streampos start = in.tellg();
  if (start != std::streampos(-1) && in.seekg(0, std::ios::end)) {
    const std::streampos end = in.tellg();
    in.seekg(start);
    if (end != std::streampos(-1) && end >= start) {
      const auto size = static_cast<std::size_t>(end - start);
      buffer.data.reset(new unsigned char[size > 0 ? size : 1]);
      in.read(reinterpret_cast<char*>(buffer.data.get()), static_cast<std::streamsize>(size));
      buffer.size = static_cast<std::size_t>(in.gcount());
      return true;
    }
  }
  in.clear();
  if (start != std::streampos(-1)) in.seekg(start);
  // Not seekable: read in growing pieces.
  std::vector<unsigned char> bytes;
  char chunk[65536];
  while (in.read(chunk, sizeof chunk) || in.gcount() > 0)
    bytes.insert(bytes.end(), chunk, chunk + in.gcount());
  buffer.data.reset(new unsigned char[bytes.size() > 0 ? bytes.size() : 1]);
  if (!bytes.empty()) std::memcpy(buffer.data.get(), bytes.data(), bytes.size());
  buffer.size = bytes.size();
  return true;
}

// Files before version 7 do not state cells per atom: 4 for the tiling types, 2 for pairs.
int DefaultCellsPerAtom(int type) { return type == TILING_EXPRESSION ? 2 : 4; }

bool IsTilingType(int type) {
  return type == 1 || type == 2 || type == 5 || type == 6 || type == 7;
}

// Keeps the positive entries of a maxUnit-long per-unit table. Files that list the units
// first and pad with zeros, as the writers do, and files that spread them over their unit
// numbers both come out in unit order. When a unit of the first kind holds zero atoms, the
// positive entries are one short: the first numberOfUnits entries are then taken as they are.
bool TakeUnitTable(ChpInput& in, int maxUnit, int numberOfUnits, IntArrayClass& out) {
  const unsigned char* p = in.Bytes(static_cast<std::size_t>(maxUnit) * 4);
  if (p == nullptr) return false;
  int positive = 0;
  for (int i = 0; i < maxUnit; ++i) positive += tesk::internal::LoadLE<std::int32_t>(p + 4 * i) > 0 ? 1 : 0;
  if (out.Resize(numberOfUnits) == 0) throw std::bad_alloc();
  int k = 0;
  if (positive == numberOfUnits) {
    for (int i = 0; i < maxUnit; ++i) {
      const int v = tesk::internal::LoadLE<std::int32_t>(p + 4 * i);
      if (v > 0) out.data[k++] = v;
    }
  } else {
    if (maxUnit < numberOfUnits) return false;
    for (; k < numberOfUnits; ++k) out.data[k] = tesk::internal::LoadLE<std::int32_t>(p + 4 * k);
  }
  return true;
}

// Lower bound of the bytes one unit's record takes, from the header's counts; it bounds what
// the reader allocates before the records are read.
long long MinimumRecordBytes(int type, long long atoms, long long cells) {
  if (type == TILING_EXPRESSION) return 28 + atoms * 16;
  if (IsTilingType(type)) return 12 + atoms * (4 + cells * 4);
  return 0;
}

}  // namespace

int chp::DecodeHeader(ChipClass& chip, ChpInput& in) {
  const unsigned char* magic = in.Bytes(kChipFileMagicLength);
  if (magic == nullptr) return CHIP_INCOMPLETE_FILE;
  if (std::memcmp(magic, kChipFileMagic, kChipFileMagicLength) != 0)
    return CHIP_FORMAT_INCOMPATIBLE;
  const int version = in.I32();
  if (!in.ok()) return CHIP_INCOMPLETE_FILE;
  if (version < 1 || version > kChipFileVersion) return CHIP_VERSION_INCOMPATIBLE;
  chip.resultVersion = version;

  if (version >= 7) {
    in.LengthText(chip.algorithmName);
    if (version >= 10) in.LengthText(chip.algorithmVersion);
    in.LengthText(chip.algorithmParameters);
    if (version >= 10) in.LengthText(chip.chipSummary);
  } else if (version >= 2) {
    in.FixedText(chip.algorithmName, 260);
    in.FixedText(chip.algorithmParameters, 260);
  }
  chip.rows = in.I32();
  chip.cols = in.I32();
  const int units = in.I32();
  const int maxUnit = in.I32();
  chip.numberOfQCUnits = version >= 3 ? in.I32() : 0;
  if (!in.ok()) return CHIP_INCOMPLETE_FILE;
  // Every count must fit in what the file still holds before anything is sized by it.
  if (units < 0 || maxUnit < 0 || chip.numberOfQCUnits < 0 || !in.Fits(units, 4) ||
      (units > 0 && !in.Fits(maxUnit, 8)))
    return CHIP_INCOMPLETE_FILE;
  chip.numberOfUnits = units;
  chip.maxUnit = maxUnit;

  if (chip.unitNumbers.Resize(units) == 0) return CHIP_INSUFFICIENT_MEMORY;
  for (int i = 0; i < units; ++i) chip.unitNumbers.data[i] = in.I32();
  if (units > 0) {
    if (!TakeUnitTable(in, maxUnit, units, chip.unitAtoms) ||
        !TakeUnitTable(in, maxUnit, units, chip.unitTypes))
      return CHIP_INCOMPLETE_FILE;
  } else {
    chip.unitAtoms.Clear();
    chip.unitTypes.Clear();
  }
  if (chip.unitCellsPerAtom.Resize(units) == 0) return CHIP_INSUFFICIENT_MEMORY;
  if (version >= 7) {
    if (!in.Fits(units, 4)) return CHIP_INCOMPLETE_FILE;
    for (int i = 0; i < units; ++i) chip.unitCellsPerAtom.data[i] = in.I32();
  } else {
    for (int i = 0; i < units; ++i)
      chip.unitCellsPerAtom.data[i] = DefaultCellsPerAtom(chip.unitTypes.data[i]);
  }

  if (version >= 3) {
    in.FixedText(chip.chipType, 256);
  } else {
    // Older files name the chip's information file: the chip type is its base name.
    String path;
    in.FixedText(path, 256);
    const std::string p = path.c_str();
    const std::size_t slash = p.find_last_of("\\/");
    if (slash != std::string::npos) {
      std::string base = p.substr(slash + 1);
      base.resize(base.size() >= 4 ? base.size() - 4 : 0);
      chip.chipType = base.c_str();
    }
  }
  in.FixedText(chip.cellFile, 256);
  if (version >= 3) in.LengthText(chip.algorithmIdentifier);
  if (!in.ok()) return CHIP_INCOMPLETE_FILE;

  const std::string stem = std::string(chip.libraryPath.c_str()) + "/" + chip.chipType.c_str();
  chip.infoFile = (stem + ".CIF").c_str();
  chip.layoutFile = (stem + ".CDF").c_str();
  chip.controlFile = (stem + ".CTL").c_str();
  return CHIP_SUCCESS;
}

namespace {

// The units' atoms are bounded by the bytes left before any is allocated: each atom or pair
// has a record of known minimum size.
int CheckUnitCounts(const ChipClass& chip, const ChpInput& in) {
  long long needed = 0;
  for (int i = 0; i < chip.numberOfUnits; ++i) {
    const int type = chip.unitTypes.data[i];
    const int atoms = chip.unitAtoms.data[i];
    const int cells = chip.unitCellsPerAtom.data[i];
    if (atoms < 0 || (IsTilingType(type) && (cells < 0 || cells > 255)))
      return CHIP_INCOMPLETE_FILE;
    needed += MinimumRecordBytes(type, atoms, cells);
    if (!in.Fits(needed, 1)) return CHIP_INCOMPLETE_FILE;
  }
  return CHIP_SUCCESS;
}

// The pairs and cells all units of the header need, to be allocated in one piece. The counts
// were checked against the file size first.
void CountStorage(const ChipClass& chip, std::size_t& pairs, std::size_t& cells) {
  pairs = 0;
  cells = 0;
  for (int i = 0; i < chip.numberOfUnits; ++i) {
    const int type = chip.unitTypes.data[i];
    const auto atoms = static_cast<std::size_t>(chip.unitAtoms.data[i]);
    if (type == TILING_EXPRESSION) pairs += atoms;
    else if (IsTilingType(type)) cells += atoms * static_cast<std::size_t>(chip.unitCellsPerAtom.data[i]);
  }
}

// The references of the units given storage so far, added to the block in one step when the
// read ends or before a unit is destroyed.
struct DeferredReferences {
  pendrix71::SharedBlock& block;
  long count = 0;
  void Flush() {
    if (count > 0) block.Retain(count);
    count = 0;
  }
  ~DeferredReferences() { Flush(); }
};

// Appends the holder of unit i with the unit object its type calls for; its atoms or pairs
// come from the chip's shared block.
// With pairsFromRecord, an expression unit is left without pairs for ReadUnitRecord to make.
int CreateUnit(ChipClass& chip, int i, DeferredReferences& refs, bool pairsFromRecord) {
  pendrix71::SharedBlock& block = refs.block;
  using pendrix71::UnitStorage;
  const int type = chip.unitTypes.data[i];
  const int atoms = chip.unitAtoms.data[i];
  const int cells = chip.unitCellsPerAtom.data[i];
  auto holder = std::make_unique<AllUnitTypes>();
  holder->unit = nullptr;
  int rc = CHIP_SUCCESS;
  switch (type) {
    case TILING_RESEQUENCING:
    case TILING_STANDARD_5:
    case TILING_STANDARD_6:
      holder->standard = new StandardUnitClass(0, cells);
      holder->standard->unitType = type;
      break;
    case TILING_GENOTYPING:
      holder->block = new BlockUnitClass(0, cells);
      break;
    case TILING_EXPRESSION:
      holder->geneExpression = new GeneExpressionUnitClass(0);
      if (!pairsFromRecord)
        rc = UnitStorage::AttachPairs(*holder->geneExpression, block, atoms, &refs.count);
      break;
    case TILING_UNIVERSAL:
      holder->universal = new UniversalUnitClass(0, cells);
      break;
    default:
      break;  // a type this library does not know: a holder without a unit
  }
  if (UnitClass* unit = TilingUnitOf(holder.get(), type))
    rc = UnitStorage::AttachAtoms(*unit, block, atoms, cells, &refs.count);
  // The holder joins the chip even when its unit is short of memory, so the chip frees it.
  if (chip.units.Add(holder.get()) == 0) {
    refs.Flush();  // the unit lets go of its reference
    chp::DeleteUnit(holder.release(), type);
    return CHIP_INSUFFICIENT_MEMORY;
  }
  holder.release();
  return rc;
}

// Version-13 expression pairs are made while their records are decoded (PairsFromRecord).
bool PairsFromRecord(const ChipClass& chip, int i, int version) {
  return version >= chp::kChipFileVersion && chip.unitTypes.data[i] == TILING_EXPRESSION;
}

int ReadUnitRecord(ChipClass& chip, ChpInput& in, int i, int version, DeferredReferences& refs) {
  AllUnitTypes* holder = static_cast<AllUnitTypes*>(chip.units.data[i]);
  const int type = chip.unitTypes.data[i];
  if (type == TILING_EXPRESSION) {
    if (PairsFromRecord(chip, i, version))
      return chp::ReadExpressionRecord13(*holder->geneExpression, in, refs.block,
                                         chip.unitAtoms.data[i], &refs.count);
    return holder->geneExpression->ReadUnitData(in, version);
  }
  if (UnitClass* unit = TilingUnitOf(holder, type)) return unit->ReadUnitData(in, version);
  return CHIP_SUCCESS;
}

// Every unit the header announces is created; each record is read right after its unit is
// made, while the unit's atoms are still in the cache. After a failed record the remaining
// units are still created, empty, so the chip holds every unit of the header.
int ReadUnits(ChipClass& chip, ChpInput& in, int version) {
  if (int rc = CheckUnitCounts(chip, in); rc != CHIP_SUCCESS) return rc;
  std::size_t pairs = 0;
  std::size_t cells = 0;
  CountStorage(chip, pairs, cells);
  pendrix71::SharedBlockRef block(pendrix71::SharedBlock::Create(pairs, cells));
  if (block.get() == nullptr) return CHIP_INSUFFICIENT_MEMORY;
  DeferredReferences refs{*block.get()};  // flushed before `block` lets go
  int failed = CHIP_SUCCESS;
  for (int i = 0; i < chip.numberOfUnits; ++i) {
    const bool fromRecord = failed == CHIP_SUCCESS && PairsFromRecord(chip, i, version);
    if (int rc = CreateUnit(chip, i, refs, fromRecord); rc != CHIP_SUCCESS) return rc;
    if (failed == CHIP_SUCCESS) failed = ReadUnitRecord(chip, in, i, version, refs);
    // No room for a unit's pairs ends the read, as for its other storage in CreateUnit.
    if (fromRecord && failed == CHIP_INSUFFICIENT_MEMORY) return failed;
  }
  return failed;
}

int ReadComposite(ChipComposite& composite, ChpInput& in, int version) {
  const int length = in.I32();
  if (!in.ok()) return CHIP_INCOMPLETE_FILE;
  composite.Clear();
  if (length < 1) return CHIP_SUCCESS;
  // Three texts of L bytes and L two-byte unit numbers at least.
  if (!in.Fits(length, 5)) return CHIP_INCOMPLETE_FILE;
  const std::size_t n = static_cast<std::size_t>(length);
  const unsigned char* sequence = in.Bytes(n);
  const unsigned char* calls = in.Bytes(n);
  const unsigned char* second = in.Bytes(n);
  const unsigned char* unitBytes = in.Bytes(2 * n);
  if (!in.ok()) return CHIP_INCOMPLETE_FILE;
  if (composite.sequence.Resize(length) == 0 || composite.calls.Resize(length) == 0 ||
      composite.secondCalls.Resize(length) == 0 || composite.positionUnits.Resize(length) == 0)
    return CHIP_INSUFFICIENT_MEMORY;
  std::memcpy(composite.sequence.data, sequence, n);
  std::memcpy(composite.calls.data, calls, n);
  const bool allBlank = std::all_of(second, second + n, [](unsigned char c) { return c == ' '; });
  if (allBlank) std::memset(composite.secondCalls.data, 0, n);
  else std::memcpy(composite.secondCalls.data, second, n);
  std::memcpy(composite.positionUnits.data, unitBytes, 2 * n);
  in.LengthText(composite.extraText1);
  in.LengthText(composite.extraText2);
  if (!in.ok()) return CHIP_INCOMPLETE_FILE;
  if (version >= 5) {
    if (!in.Fits(length, 4)) return CHIP_INCOMPLETE_FILE;
    if (composite.percentComposition.Resize(length) == 0) return CHIP_INSUFFICIENT_MEMORY;
    std::memcpy(composite.percentComposition.data, in.Bytes(4 * n), 4 * n);
  }
  return CHIP_SUCCESS;
}

int ReadQCUnits(ChipClass& chip, ChpInput& in, int version) {
  const int cellBytes = version >= 12 ? 24 : 20;
  for (int q = 0; q < chip.numberOfQCUnits; ++q) {
    const int cells = in.I32();
    const int type = in.I32();
    if (!in.ok() || cells < 0 || !in.Fits(cells, cellBytes)) return CHIP_INCOMPLETE_FILE;
    if (cells == 0) return CHIP_INSUFFICIENT_MEMORY;
    auto unit = std::make_unique<QCUnitClass>();
    if (unit->SetSize(cells) != CHIP_SUCCESS) return CHIP_INSUFFICIENT_MEMORY;
    unit->qcType = type;
    for (int i = 0; i < cells; ++i) {
      QCCellClass& cell = unit->qcCells[i];
      chp::ReadMeasuredCell(in, version >= 12, cell);
      if (version >= 12) cell.qcValue = in.I32();
    }
    if (chip.AddQCUnit(unit.get()) != CHIP_SUCCESS) return CHIP_INSUFFICIENT_MEMORY;
    unit.release();
  }
  return in.ok() ? CHIP_SUCCESS : CHIP_INCOMPLETE_FILE;
}

// A fresh chip for a read: everything is emptied except the library directory, which the
// caller sets to name the chip's companion files.
void Reset(ChipClass& chip) {
  String libraryPath = chip.libraryPath;
  chip.InitializeChip();
  chip.libraryPath = libraryPath;
}

}  // namespace

int chp::DecodeChip(ChipClass& chip, const unsigned char* data, std::size_t size) {
  return tesk::internal::Guard(
      [&] {
        Reset(chip);
        ChpInput in(data, size);
        if (int rc = DecodeHeader(chip, in); rc != CHIP_SUCCESS) return rc;
        const int version = chip.resultVersion;
        if (int rc = ReadUnits(chip, in, version); rc != CHIP_SUCCESS) return rc;
        if (version >= 3) {
          if (int rc = ReadComposite(chip.composite, in, version); rc != CHIP_SUCCESS) return rc;
          if (int rc = ReadQCUnits(chip, in, version); rc != CHIP_SUCCESS) return rc;
        }
        return static_cast<int>(CHIP_SUCCESS);
      },
      static_cast<int>(CHIP_INSUFFICIENT_MEMORY), static_cast<int>(CHIP_INCOMPLETE_FILE));
}

int ChipClass::ReadChip(std::ifstream& in) {
  return tesk::internal::Guard(
      [&] {
        Buffer buffer;
        if (!in.is_open() || !Slurp(in, buffer)) return static_cast<int>(CHIP_INCOMPLETE_FILE);
        return chp::DecodeChip(*this, buffer.data.get(), buffer.size);
      },
      static_cast<int>(CHIP_INSUFFICIENT_MEMORY), static_cast<int>(CHIP_INCOMPLETE_FILE));
}

int ChipClass::ReadChip(const char* path) {
  if (path == nullptr) return CHIP_INCOMPLETE_FILE;
  // A regular file is mapped rather than copied; anything else is read whole.
  if (auto map = tesk::internal::MappedRegion::MapFile(path)) {
    return chp::DecodeChip(*this, map.data(), map.size());
  }
  return tesk::internal::Guard(
      [&] {
        tesk::internal::ByteBuffer bytes;
        if (!tesk::internal::ReadWholeFile(path, bytes)) {
          return static_cast<int>(CHIP_INCOMPLETE_FILE);
        }
        return chp::DecodeChip(*this, bytes.data(), bytes.size());
      },
      static_cast<int>(CHIP_INSUFFICIENT_MEMORY), static_cast<int>(CHIP_INCOMPLETE_FILE));
}

int ChipClass::ReadChipHeaderOnly(const char* path) {
  return tesk::internal::Guard(
      [&] {
        if (path == nullptr) return static_cast<int>(CHIP_INCOMPLETE_FILE);
        tesk::internal::File file = tesk::internal::File::Open(path, O_RDONLY);
        if (!file) return static_cast<int>(CHIP_INCOMPLETE_FILE);
        Reset(*this);
        // The header is usually a small part of the file: decode from a growing prefix and
        // read more only when the header runs past it.
        std::vector<unsigned char> bytes;
        std::size_t want = 1 << 16;
        for (;;) {
          bytes.resize(want);
          const std::int64_t got = file.ReadAt(bytes.data(), want, 0);
          if (got < 0) return static_cast<int>(CHIP_INCOMPLETE_FILE);
          bytes.resize(static_cast<std::size_t>(got));
          ChpInput cursor(bytes.data(), bytes.size());
          const int rc = chp::DecodeHeader(*this, cursor);
          if (rc != CHIP_INCOMPLETE_FILE || bytes.size() < want) return rc;
          want *= 4;
        }
      },
      static_cast<int>(CHIP_INSUFFICIENT_MEMORY), static_cast<int>(CHIP_INCOMPLETE_FILE));
}
