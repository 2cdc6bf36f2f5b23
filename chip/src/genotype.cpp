// Genotyping units: the block part and the result part of their result file record, and the
// lookup of a unit's block by atom position.
//
// Record layout by file version (the tiling record of UnitClass follows in every version):
//   all versions : block count (i32); per block: code (i32), name (length-prefixed text),
//                  call (byte), confidences 0..2 (fixed each)
//   10 and later : result flag (byte); when 1: genotypeIndex (i32), alleleA, alleleB,
//                  genotypeName (length-prefixed texts), blocksUsed, blocksCalled (i32),
//                  genotypeCall (byte), [13: callMethod (i32)], resultValues (5 x 4 raw bytes)
#include <memory>

#include "chp_format.h"
#include "tesk/pendrix71.h"

namespace {

// Smallest block record: code, empty name, call, three confidences.
constexpr int kMinimumBlockBytes = 4 + 4 + 1 + 12;

BlockUnitBlockInfoClass* BlockAt(ArrayClass& blocks, int i) {
  if (i < blocks.count)
    return dynamic_cast<BlockUnitBlockInfoClass*>(static_cast<UnitBlockInfoClass*>(blocks.data[i]));
  auto block = std::make_unique<BlockUnitBlockInfoClass>();
  if (blocks.Add(block.get()) == 0) return nullptr;
  return block.release();
}

}  // namespace

int BlockUnitClass::ReadUnitData(ChpInput& in, int version) {
  const int count = in.I32();
  if (!in.ok() || !in.Fits(count, kMinimumBlockBytes)) return CHIP_INCOMPLETE_FILE;
  for (int i = 0; i < count; ++i) {
    const bool existing = i < blocks.count;
    BlockUnitBlockInfoClass scratch;
    BlockUnitBlockInfoClass* block = BlockAt(blocks, i);
    if (block == nullptr && !existing) return CHIP_INSUFFICIENT_MEMORY;
    // A slot holding a block of another class keeps it; the record is read and dropped.
    if (block == nullptr) block = &scratch;
    block->code = in.I32();
    in.LengthText(block->name);
    block->call = in.Byte();
    for (int t = 0; t < 3; ++t) block->confidence[t] = in.Fixed();
  }
  if (!in.ok()) return CHIP_INCOMPLETE_FILE;
  resultPresent = 0;
  if (version >= 10) {
    resultPresent = in.Byte();
    if (resultPresent == 1) {
      genotypeIndex = in.I32();
      in.LengthText(alleleA);
      in.LengthText(alleleB);
      in.LengthText(genotypeName);
      blocksUsed = in.I32();
      blocksCalled = in.I32();
      genotypeCall = in.Byte();
      if (version >= 13) callMethod = in.I32();
      for (std::uint32_t& v : resultValues) v = in.U32();
    }
    if (!in.ok()) return CHIP_INCOMPLETE_FILE;
  }
  return UnitClass::ReadUnitData(in, version);
}

namespace {

int WriteGenotype(BlockUnitClass& unit, ChpOutput& out, bool v13) {
  out.I32(unit.blocks.count);
  for (int i = 0; i < unit.blocks.count; ++i) {
    const auto* block = dynamic_cast<const BlockUnitBlockInfoClass*>(
        static_cast<const UnitBlockInfoClass*>(unit.blocks.data[i]));
    const BlockUnitBlockInfoClass empty;
    const BlockUnitBlockInfoClass& b = block != nullptr ? *block : empty;
    out.I32(b.code);
    out.LengthText(b.name.text);
    out.Byte(static_cast<unsigned char>(b.call));
    for (int t = 0; t < 3; ++t) out.Fixed(b.confidence[t]);
  }
  out.Byte(unit.resultPresent);
  if (unit.resultPresent == 1) {
    out.I32(unit.genotypeIndex);
    out.LengthText(unit.alleleA.text);
    out.LengthText(unit.alleleB.text);
    out.LengthText(unit.genotypeName.text);
    out.I32(unit.blocksUsed);
    out.I32(unit.blocksCalled);
    out.Byte(unit.genotypeCall);
    if (v13) out.I32(unit.callMethod);
    for (std::uint32_t v : unit.resultValues) out.U32(v);
  }
  return v13 ? unit.UnitClass::WriteUnitData(out) : unit.UnitClass::WriteUnitData60(out);
}

}  // namespace

int BlockUnitClass::WriteUnitData(ChpOutput& out) { return WriteGenotype(*this, out, true); }

int BlockUnitClass::WriteUnitData60(ChpOutput& out) { return WriteGenotype(*this, out, false); }

UnitBlockInfoClass* UnitClass::GetBlockInfoByBase(int position) {
  for (int i = 0; i < blocks.count; ++i) {
    auto* block = static_cast<UnitBlockInfoClass*>(blocks.data[i]);
    if (block != nullptr && position >= block->firstAtom &&
        position < static_cast<int>(block->firstAtom) + block->numberOfAtoms)
      return block;
  }
  return nullptr;
}
