// Summary lines shared by `tesk info` on layout and result files, which carry the same units.
#ifndef TESK_TOOLS_TESK_UNIT_SUMMARY_H_
#define TESK_TOOLS_TESK_UNIT_SUMMARY_H_

#include <cstdio>

#include <tesk/pendrix71.h>

namespace tesk::tool {

inline const char* UnitTypeName(int type) {
  switch (type) {
    case TILING_RESEQUENCING: return "resequencing";
    case TILING_GENOTYPING: return "genotyping";
    case TILING_EXPRESSION: return "expression";
    case TILING_STANDARD_5: return "resequencing (5)";
    case TILING_STANDARD_6: return "resequencing (6)";
    case TILING_UNIVERSAL: return "universal";
    default: return "other";
  }
}

// The QC unit count, then each QC unit's type and size.
inline void PrintQCUnits(ChipClass& chip) {
  std::printf("  QC units     %d\n", chip.qcUnits.count);
  for (int i = 0; i < chip.qcUnits.count; ++i) {
    const QCUnitClass* q = chip.GetQCUnit(i);
    std::printf("    type %-3d %7d cells\n", q->qcType, q->numberOfCells);
  }
}

}  // namespace tesk::tool

#endif  // TESK_TOOLS_TESK_UNIT_SUMMARY_H_
