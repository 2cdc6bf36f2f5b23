// Internals shared by the result file reader and writers.
#ifndef TESK_CHIP_SRC_CHP_FORMAT_H_
#define TESK_CHIP_SRC_CHP_FORMAT_H_

#include <cstddef>
#include <cstdint>
#include <cstring>

#include <tesk/internal/little_endian.h>

#include "chp_io.h"
#include "tesk/pendrix71.h"

namespace chp {

inline constexpr int kChipFileVersion = 13;      // the newest version, written by WriteChip
inline constexpr int kChipFileVersion60 = 12;    // written by WriteChip60


// Magic, version and header; the version lands in chip.resultVersion.
int DecodeHeader(ChipClass& chip, ChpInput& in);
// A whole result file held in memory.
int DecodeChip(ChipClass& chip, const unsigned char* data, std::size_t size);
// The bytes of a whole result file of version 13 or 12.
int EncodeChip(ChipClass& chip, int version, ChpOutput& out);

// Version 13 keeps 16 bytes per expression pair: pairValue (f32), pairCode (i32), and the
// two cells' x and y (u16 each). The pair's number is its index.
inline constexpr int kPairBytes13 = 16;

// The fields of one version-13 pair record, loaded before anything is stored: the record's
// bytes could otherwise alias the pair, and every store would have to stay.
struct Pair13 {
  float value;
  std::int32_t code;
  std::uint16_t x0, y0, x1, y1;

  explicit Pair13(const unsigned char* p)
      : value(tesk::internal::LoadLE<float>(p)),
        code(tesk::internal::LoadLE<std::int32_t>(p + 4)),
        x0(tesk::internal::LoadLE<std::uint16_t>(p + 8)),
        y0(tesk::internal::LoadLE<std::uint16_t>(p + 10)),
        x1(tesk::internal::LoadLE<std::uint16_t>(p + 12)),
        y1(tesk::internal::LoadLE<std::uint16_t>(p + 14)) {}

  void StoreInto(GeneExpressionAtomClass& pair, int index) const {
    pair.atomNumber = static_cast<std::uint16_t>(index);
    pair.pairValue = value;
    pair.pairCode = static_cast<std::uint8_t>(code);
    pair.cells[0].x = x0;
    pair.cells[0].y = y0;
    pair.cells[1].x = x1;
    pair.cells[1].y = y1;
  }
};

inline void DecodePair13(const unsigned char* p, int index, GeneExpressionAtomClass& pair) {
  Pair13(p).StoreInto(pair, index);
}

// Reads the version-13 record of an expression unit holding no pairs, making its `pairs`
// pairs in block straight from their records (one pass over their memory); see
// UnitStorage::AttachPairs for `deferred`. The unit gets its pairs even when the record is
// short. Codes as ReadUnitData.
int ReadExpressionRecord13(GeneExpressionUnitClass& u, ChpInput& in,
                           pendrix71::SharedBlock& block, int pairs, long* deferred);

// Frees a holder and the unit it holds for the given type code.
void DeleteUnit(AllUnitTypes* holder, int type);

// The fields that unit cells and QC cells share: position, intensity, deviation (as floats, or
// in the older fixed-point form) and pixel count.
template <class Cell>
void ReadMeasuredCell(ChpInput& in, bool floats, Cell& cell) {
  cell.x = static_cast<std::uint16_t>(in.I32());
  cell.y = static_cast<std::uint16_t>(in.I32());
  if (floats) {
    cell.intensity = in.F32();
    cell.stdev = in.F32();
  } else {
    cell.intensity = in.Fixed();
    cell.stdev = in.Fixed();
  }
  cell.pixels = static_cast<std::uint16_t>(in.I32());
}

// Cell fields of unit records, shared by tiling atoms and expression pairs. Version 13 keeps
// only the position.
void ReadCell(ChpInput& in, int version, bool floats, CellClass& cell);
void WriteCell(ChpOutput& out, int version, bool floats, const CellClass& cell);

}  // namespace chp

#endif  // TESK_CHIP_SRC_CHP_FORMAT_H_
