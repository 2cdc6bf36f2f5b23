// Parsing of QC cell lines, shared by QCUnitClass::SetData and the layout reader (which takes
// intensities straight from the cell intensity file instead of a chip-sized cell array).
#ifndef TESK_CHIP_SRC_QC_PARSE_H_
#define TESK_CHIP_SRC_QC_PARSE_H_

#include <string_view>

#include "tesk/pendrix71.h"

namespace pendrix71 {

struct QCLine {
  int x = 0;
  int y = 0;
  char probe = ' ';
  int probeLength = 0;
  int atom = 0;
  int cellIndex = 0;
  int match = 0;
  int background = 0;
};

// Parses a QC line value laid out for qcType; false for a line missing a field.
bool ParseQCLine(int qcType, std::string_view text, QCLine& line);

// Stores the layout fields of line into cell, as qcType defines them.
void ApplyQCLine(int qcType, const QCLine& line, QCCellClass& cell);

}  // namespace pendrix71

#endif  // TESK_CHIP_SRC_QC_PARSE_H_
