// Layout copying between chips, and the block lookup the layout reader shares with it.
#ifndef TESK_CHIP_SRC_CDF_COPY_H_
#define TESK_CHIP_SRC_CDF_COPY_H_

#include "tesk/pendrix71.h"

namespace pendrix71 {

// Copies the layout part of source (names, directions, atom and cell layout fields, block
// descriptions, QC cell layout) into target's existing units and QC units, index by index.
// Units whose classes differ are left alone. Returns 0, or 14 when out of memory.
int CopyLayout(ChipClass& target, const ChipClass& source);

// The block description at index b of blocks: reused when one is there, else created (a
// BlockUnitBlockInfoClass for genotyping units) and put there. Null when out of memory.
UnitBlockInfoClass* BlockAt(ArrayClass& blocks, int b, bool genotyping);

}  // namespace pendrix71

#endif  // TESK_CHIP_SRC_CDF_COPY_H_
