// Field parsing for layout text lines: key=value lines and the fields of a cell line.
#ifndef TESK_CHIP_SRC_CDF_PARSE_H_
#define TESK_CHIP_SRC_CDF_PARSE_H_

#include <string_view>

#include <tesk/internal/scan.h>

#include "tesk/pendrix71.h"

namespace pendrix71 {

// Tokens and "%d" integers that fit an int (false otherwise), from the file layer.
using tesk::internal::NextInt;
using tesk::internal::NextToken;

// The text after the first '=' of a line; false when the line has none.
bool ValueOf(std::string_view line, std::string_view& value);

// A "%d" value standing alone: the value part of a key=value line.
bool IntValueOf(std::string_view line, int& value);

// One layout cell line's value: x, y, probe, two ignored words, expos, position, an ignored
// base, probe base, target base, atom number, cell index, codon index, codon, region type,
// region. `fields` counts the tokens read in order before the first missing or malformed one.
struct LayoutCellLine {
  int x = 0;
  int y = 0;
  std::string_view probe;
  int expos = 0;
  int position = 0;
  char probeBase = ' ';
  char targetBase = ' ';
  int atomNumber = 0;
  int cellIndex = 0;
  int codonIndex = -1;
  int codon = -1;
  int regionType = 99;
  std::string_view region;
  int fields = 0;
};

void ParseLayoutCellLine(std::string_view text, LayoutCellLine& line);

// Tokens that make a cell line usable by the reader (through the cell index).
inline constexpr int kCellLineRequiredFields = 12;
// Tokens StoreCDFData needs (through the target base).
inline constexpr int kStoreFields = 10;

// The layout part a cell line gives a cell: x, y (when parsed), both bases (blank when
// absent), the probe unless it begins with N, and the background flag when the probe begins
// with "!" or both bases are blank (the flag is only ever set here, never cleared).
void ApplyLayoutCell(CellClass& cell, const LayoutCellLine& line);

// a<->t, c<->g; any other letter has the blank as complement.
inline char ComplementBase(char base) {
  switch (base) {
    case 'a': return 't';
    case 't': return 'a';
    case 'c': return 'g';
    case 'g': return 'c';
    default: return ' ';
  }
}

}  // namespace pendrix71

#endif  // TESK_CHIP_SRC_CDF_PARSE_H_
