// QC units and their cells.
#include <cctype>
#include <new>

#include "cdf_parse.h"
#include "qc_parse.h"
#include "tesk/pendrix71.h"

QCCellClass::QCCellClass()
    : x(0),
      y(0),
      intensity(0.0f),
      stdev(0.0f),
      pixels(0),
      atom(0),
      probeLength(0),
      match(0),
      background(0),
      probe(' '),
      qcValue(0) {}

QCUnitClass::QCUnitClass() : qcCells(nullptr), numberOfCells(0), qcType(0) {}

QCUnitClass::QCUnitClass(int n, int type) : qcCells(nullptr), numberOfCells(0), qcType(type) {
  QCUnitClass::SetSize(n);
}

QCUnitClass::~QCUnitClass() { delete[] qcCells; }

int QCUnitClass::SetSize(int n) {
  delete[] qcCells;
  qcCells = nullptr;
  numberOfCells = 0;
  if (n <= 0) return n == 0 ? CHIP_SUCCESS : CHIP_INSUFFICIENT_MEMORY;
  qcCells = new (std::nothrow) QCCellClass[n];
  if (qcCells == nullptr) return CHIP_INSUFFICIENT_MEMORY;
  numberOfCells = n;
  return CHIP_SUCCESS;
}

int QCUnitClass::SetData(int i, CellClass* cells, const char* text, int cellLimit) {
  if (i < 0 || i >= numberOfCells || text == nullptr) return CHIP_INVALID_LIBRARY_FORMAT;
  pendrix71::QCLine line;
  if (!pendrix71::ParseQCLine(qcType, text, line)) return CHIP_INVALID_LIBRARY_FORMAT;
  if (cells != nullptr && (line.cellIndex < 0 || (cellLimit >= 0 && line.cellIndex >= cellLimit))) {
    return CHIP_INVALID_LIBRARY_FORMAT;
  }
  QCCellClass& cell = qcCells[i];
  pendrix71::ApplyQCLine(qcType, line, cell);
  if (cells != nullptr) {
    cell.intensity = cells[line.cellIndex].intensity;
    cell.stdev = cells[line.cellIndex].stdev;
    cell.pixels = cells[line.cellIndex].pixels;
  }
  return CHIP_SUCCESS;
}

namespace pendrix71 {

bool ParseQCLine(int qcType, std::string_view s, QCLine& line) {
  std::string_view probe;
  if (!NextInt(s, line.x) || !NextInt(s, line.y) || !NextToken(s, probe)) return false;
  if (!NextInt(s, line.probeLength) || !NextInt(s, line.atom) || !NextInt(s, line.cellIndex)) {
    return false;
  }
  line.probe = probe[0];
  if (qcType >= 7 && qcType <= 10) {
    if (!NextInt(s, line.match)) return false;
    if (qcType >= 9 && !NextInt(s, line.background)) return false;
  }
  return true;
}

void ApplyQCLine(int qcType, const QCLine& line, QCCellClass& cell) {
  cell.x = static_cast<std::uint16_t>(line.x);
  cell.y = static_cast<std::uint16_t>(line.y);
  cell.probeLength = static_cast<std::uint8_t>(line.probeLength);
  cell.atom = static_cast<std::uint16_t>(line.atom);
  switch (qcType) {
    case 7:
    case 8:
      cell.match = static_cast<std::uint8_t>(line.match);
      break;
    case 9:
    case 10:
      cell.match = static_cast<std::uint8_t>(line.match);
      cell.background = static_cast<std::uint8_t>(line.background);
      cell.qcValue = 0;
      break;
    case 11:
    case 12:
      cell.probe = line.probe;
      break;
    default:
      break;
  }
}

}  // namespace pendrix71
