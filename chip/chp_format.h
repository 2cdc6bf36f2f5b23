// Internals shared by the result file reader and writers.
#ifndef TESK_CHIP_CHP_FORMAT_H_
#define TESK_CHIP_CHP_FORMAT_H_

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "tesk/pendrix71.h"

namespace chp {

inline constexpr int kChipFileVersion = 13;      // the newest version, written by WriteChip
inline constexpr int kChipFileVersion60 = 12;    // written by WriteChip60

inline std::int32_t LoadI32(const unsigned char* p) {
  std::int32_t v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

// Magic, version and header; the version lands in chip.resultVersion.
int DecodeHeader(ChipClass& chip, ChpInput& in);
// A whole result file held in memory.
int DecodeChip(ChipClass& chip, const unsigned char* data, std::size_t size);
// The bytes of a whole result file of version 13 or 12.
int EncodeChip(ChipClass& chip, int version, ChpOutput& out);

// Frees a holder and the unit it holds for the given type code.
void DeleteUnit(AllUnitTypes* holder, int type);

// Cell fields of unit records, shared by tiling atoms and expression pairs. Version 13 keeps
// only the position.
void ReadCell(ChpInput& in, int version, bool floats, CellClass& cell);
void WriteCell(ChpOutput& out, int version, bool floats, const CellClass& cell);

}  // namespace chp

#endif  // TESK_CHIP_CHP_FORMAT_H_
