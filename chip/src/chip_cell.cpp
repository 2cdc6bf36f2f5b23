// Cells, atoms and expression pairs.
#include <cstring>
#include <new>

#include "cdf_parse.h"
#include "tesk/pendrix71.h"

// ---- CellClass

void CellClass::Init() {
  intensity = 0.0f;
  stdev = 0.0f;
  x = 0;
  y = 0;
  pixels = 0;
  background = 0;
  masked = 0;
  outlier = 0;
  probeBase = ' ';
  targetBase = ' ';
}

int CellClass::StoreCDFData(const char* text, int /*unitNumber*/, int /*blockNumber*/) {
  if (text == nullptr) return 0;
  pendrix71::LayoutCellLine line;
  pendrix71::ParseLayoutCellLine(text, line);
  pendrix71::ApplyLayoutCell(*this, line);
  return line.fields >= pendrix71::kStoreFields ? 1 : 0;
}

// ---- AtomClass

AtomClass::AtomClass() : cells(nullptr), cellOrder(nullptr), numberOfCells(0) { Init(0); }

AtomClass::AtomClass(int n) : cells(nullptr), cellOrder(nullptr), numberOfCells(0) { Init(n); }

AtomClass::AtomClass(const AtomClass& other)
    : cells(nullptr), cellOrder(nullptr), numberOfCells(0) {
  Init(0);
  *this = other;
}

AtomClass::~AtomClass() {
  if (!sharedCells_) {
    delete[] cells;
    delete[] cellOrder;
  }
}

int AtomClass::Init(int n) {
  if (!sharedCells_) {
    delete[] cells;
    delete[] cellOrder;
  }
  sharedCells_ = false;  // cells in a unit's storage stay there, freed with it
  cells = nullptr;
  cellOrder = nullptr;
  numberOfCells = 0;
  background = 0.0f;
  region.Clean();
  regionType = 99;
  unitNumber = 0;
  expos = 0;
  codon = -1;
  blockNumber = 0;
  atomNumber = 0;
  targetIndex = -1;
  codonIndex = -1;
  if (n < 0 || n > 255) return CHIP_INSUFFICIENT_MEMORY;
  if (n == 0) return CHIP_SUCCESS;
  cells = new (std::nothrow) CellClass[n];
  cellOrder = new (std::nothrow) unsigned char[n]();
  if (cells == nullptr || cellOrder == nullptr) {
    delete[] cells;
    delete[] cellOrder;
    cells = nullptr;
    cellOrder = nullptr;
    return CHIP_INSUFFICIENT_MEMORY;
  }
  numberOfCells = static_cast<std::uint8_t>(n);
  return CHIP_SUCCESS;
}

AtomClass& AtomClass::operator=(const AtomClass& other) {
  if (this == &other) return *this;
  if (numberOfCells != other.numberOfCells || (other.numberOfCells > 0 && cells == nullptr)) {
    // No exception may leave the library: when memory runs out the atom keeps no cells.
    auto* newCells = new (std::nothrow) CellClass[other.numberOfCells];
    auto* newOrder = new (std::nothrow) unsigned char[other.numberOfCells]();
    if (!sharedCells_) {
      delete[] cells;
      delete[] cellOrder;
    }
    sharedCells_ = false;
    cells = newCells;
    cellOrder = newOrder;
    numberOfCells = other.numberOfCells;
    if (cells == nullptr || cellOrder == nullptr) {
      delete[] cells;
      delete[] cellOrder;
      cells = nullptr;
      cellOrder = nullptr;
      numberOfCells = 0;
    }
  }
  for (int i = 0; i < numberOfCells; ++i) {
    cells[i] = other.cells[i];
    cellOrder[i] = other.cellOrder[i];
  }
  background = other.background;
  region = other.region;
  regionType = other.regionType;
  unitNumber = other.unitNumber;
  expos = other.expos;
  codon = other.codon;
  blockNumber = other.blockNumber;
  atomNumber = other.atomNumber;
  targetIndex = other.targetIndex;
  codonIndex = other.codonIndex;
  return *this;
}

