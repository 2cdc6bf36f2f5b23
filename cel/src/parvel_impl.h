// The state behind ParvelClass and the internal entry points shared by its source files.
#ifndef TESK_CEL_SRC_PARVEL_IMPL_H_
#define TESK_CEL_SRC_PARVEL_IMPL_H_

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "cell_index.h"
#include "cell_store.h"
#include "tesk/parvel.h"

struct ParvelClass::Impl {
  std::string chip_type;
  std::uint32_t n_outliers = 0;
  std::uint32_t n_masked = 0;
  HWND owner = nullptr;
  std::string name;
  std::string header;
  std::string algorithm;
  std::string params;
  parvel::CellStore cells;
  std::vector<SUBGRID> subgrids;
  std::int32_t rows = 0;
  std::int32_t cols = 0;
  std::int32_t version = 4;
  std::int32_t cell_margin = -1;
  parvel::CellIndex index;
  // Cells a binary header announced while the table is still unfilled (ReadHeader): the
  // table stands for that many slots, though no entry is handed out before Read.
  std::size_t announced_cells = 0;

  // Empties both tables before a read.
  void ClearTables() {
    cells.clear();
    index.Reset();
    subgrids.clear();
    announced_cells = 0;
  }
  // Recomputes both counts from the flags and stores them.
  void CountFlags();
};

namespace parvel {

using Bytes = std::span<const unsigned char>;

// Texts of the header (header_rules.cpp).
void DeriveChipType(ParvelClass::Impl& d);
void ApplyHeader(ParvelClass::Impl& d, std::string_view header);
void TakeGridSizeFromHeader(ParvelClass::Impl& d);
int ScanCorners(const ParvelClass::Impl& d, long* out);
// The version 3 "AlgorithmParameters=" line; false when the value is malformed.
bool ParseParameterLine(ParvelClass::Impl& d, std::string_view line);

// Readers over the bytes of a whole file; 1 / 0.
int ReadBinary(ParvelClass::Impl& d, Bytes bytes, bool header_only);
int ReadText(ParvelClass::Impl& d, Bytes bytes, bool header_only);
int ReadBytes(ParvelClass::Impl& d, Bytes bytes, bool header_only);
// Reads the named file (binary files straight into the cell table).
int ReadFile(ParvelClass::Impl& d, bool header_only);

// Writers to the named file; 1 / 0, the old file untouched on failure.
int WriteBinary(ParvelClass::Impl& d);
int WriteText3(ParvelClass::Impl& d);
int WriteText2(ParvelClass::Impl& d);

}  // namespace parvel

#endif  // TESK_CEL_SRC_PARVEL_IMPL_H_
