// Token and integer parsing for layout lines.
#include "cdf_parse.h"

#include <cctype>

namespace pendrix71 {

bool ValueOf(std::string_view line, std::string_view& value) {
  const std::size_t eq = line.find('=');
  if (eq == std::string_view::npos) return false;
  value = line.substr(eq + 1);
  return true;
}

bool IntValueOf(std::string_view line, int& value) {
  std::string_view v;
  return ValueOf(line, v) && NextInt(v, value);
}

namespace {

char LowerFirst(std::string_view token) {
  return static_cast<char>(std::tolower(static_cast<unsigned char>(token[0])));
}

}  // namespace

void ParseLayoutCellLine(std::string_view s, LayoutCellLine& line) {
  std::string_view t;
  line.fields = 0;
  if (!NextInt(s, line.x)) return;
  line.fields = 1;
  if (!NextInt(s, line.y)) return;
  line.fields = 2;
  if (!NextToken(s, line.probe)) return;
  line.fields = 3;
  if (!NextToken(s, t)) return;  // two words the reader does not use
  line.fields = 4;
  if (!NextToken(s, t)) return;
  line.fields = 5;
  if (!NextInt(s, line.expos)) return;
  line.fields = 6;
  if (!NextInt(s, line.position)) return;
  line.fields = 7;
  if (!NextToken(s, t)) return;  // a base the reader does not use
  line.fields = 8;
  if (!NextToken(s, t)) return;
  line.probeBase = LowerFirst(t);
  line.fields = 9;
  if (!NextToken(s, t)) return;
  line.targetBase = LowerFirst(t);
  line.fields = 10;
  if (!NextInt(s, line.atomNumber)) return;
  line.fields = 11;
  if (!NextInt(s, line.cellIndex)) return;
  line.fields = 12;
  if (!NextInt(s, line.codonIndex)) return;
  line.fields = 13;
  if (!NextInt(s, line.codon)) return;
  line.fields = 14;
  if (!NextInt(s, line.regionType)) return;
  line.fields = 15;
  if (!NextToken(s, line.region)) return;
  line.fields = 16;
}

void ApplyLayoutCell(CellClass& cell, const LayoutCellLine& line) {
  if (line.fields >= 1) cell.x = static_cast<std::uint16_t>(line.x);
  if (line.fields >= 2) cell.y = static_cast<std::uint16_t>(line.y);
  cell.probeBase = line.fields >= 9 ? line.probeBase : ' ';
  cell.targetBase = line.fields >= 10 ? line.targetBase : ' ';
  if (line.fields >= 3 && line.probe[0] != 'N') {
    cell.probe.Assign(line.probe.data(), static_cast<int>(line.probe.size()));
  }
  const bool bang = line.fields >= 3 && line.probe[0] == '!';
  if (bang || (cell.probeBase == ' ' && cell.targetBase == ' ')) cell.background = 1;
}

}  // namespace pendrix71
