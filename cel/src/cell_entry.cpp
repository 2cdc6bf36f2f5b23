#include <cstring>

#include "cell_parse.h"
#include "scan.h"
#include "tesk/parvel.h"

namespace parvel {

void StoreCell(CellEntryClass& e, const char* begin, const char* end) {
  int x = 0, y = 0, npixels = 0;
  float mean = 0.0f, stdv = 0.0f;
  const int got = ScanCellLine(begin, end, x, y, mean, stdv, npixels);
  // Values up to the first one that does not parse are stored; the rest keep their value.
  if (got > 0) e.X = static_cast<std::uint16_t>(x);
  if (got > 1) e.Y = static_cast<std::uint16_t>(y);
  if (got > 2) e.MEAN = mean;
  if (got > 3) e.STDV = stdv;
  if (got > 4) e.NPIXELS = static_cast<std::uint16_t>(npixels);
}

}  // namespace parvel

void CellEntryClass::StoreCellData(char* line) {
  if (line == nullptr) return;
  parvel::StoreCell(*this, line, line + std::strlen(line));
}
