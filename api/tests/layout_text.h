// Layout files in their text form, written by the tests of the objects that read layouts.
#ifndef TESK_API_TESTS_LAYOUT_TEXT_H_
#define TESK_API_TESTS_LAYOUT_TEXT_H_

#include <string>

namespace tarvex_test {

constexpr int kCols = 30;  // columns of the layouts these helpers describe

// A cell line of a unit block: x, y, probe, feature, qualifier, expos, position, cbase, pbase,
// tbase, atom, index, codon index, codon, region type, region.
inline std::string Cell(int k, int x, int y, char pbase, char tbase, int atom, int expos = 0) {
  return "Cell" + std::to_string(k) + "=" + std::to_string(x) + "\t" + std::to_string(y) + "\tN\tf\tq\t" +
         std::to_string(expos) + "\t13\t" + tbase + "\t" + pbase + "\t" + tbase + "\t" + std::to_string(atom) + "\t" +
         std::to_string(y * kCols + x) + "\t-1\t-1\t99\t-\n";
}

inline const char* kCellHeader =
    "CellHeader=X\tY\tPROBE\tFEAT\tQUAL\tEXPOS\tPOS\tCBASE\tPBASE\tTBASE\tATOM\tINDEX\tCODONIND\tCODON\t"
    "REGIONTYPE\tREGION\n";

inline std::string UnitHeader(int i, const std::string& name, const std::string& atoms, int cells, int type, int blocks) {
  return "\n[Unit" + std::to_string(i) + "]\nName=" + name + "\nDirection=1\nNumAtoms=" + atoms +
         "\nNumCells=" + std::to_string(cells) + "\nUnitNumber=" + std::to_string(i) +
         "\nUnitType=" + std::to_string(type) + "\nNumberBlocks=" + std::to_string(blocks) + "\n";
}

inline std::string BlockHeader(int unit, int block, const std::string& name, int atoms, int cells) {
  return "\n[Unit" + std::to_string(unit) + "_Block" + std::to_string(block) + "]\nName=" + name +
         "\nBlockNumber=" + std::to_string(block) + "\nNumAtoms=" + std::to_string(atoms) +
         "\nNumCells=" + std::to_string(cells) + "\nStartPosition=0\nStopPosition=" + std::to_string(atoms - 1) + "\n";
}

inline std::string ExpressionUnit(int i, const std::string& name, const std::string& block, int pairs, int row) {
  std::string t = UnitHeader(i, name, std::to_string(pairs) + " 2", 2 * pairs, 3, 1) +
                  BlockHeader(i, 1, block, pairs, 2 * pairs) + kCellHeader;
  int k = 0;
  for (int p = 0; p < pairs; ++p) {
    t += Cell(++k, p, row, 't', 'a', p);      // perfect match: probe base complements the target
    t += Cell(++k, p, row + 1, 'a', 'a', p);  // mismatch
  }
  return t;
}

// Genotyping: blocks _A (sense) and _B (antisense), two atoms of four cells each.
inline std::string GenotypingUnit(int i, const std::string& name, int row) {
  std::string t = UnitHeader(i, name, "4 4", 16, 2, 2) + "MutationType=1\n";
  for (int b = 0; b < 2; ++b) {
    t += BlockHeader(i, b + 1, name + (b == 0 ? "_A" : "_B"), 2, 8) + "Direction=" + std::to_string(b + 1) +
         "\n" + kCellHeader;
    int k = 0;
    for (int a = 0; a < 2; ++a)
      for (int c = 0; c < 4; ++c) t += Cell(++k, 10 + c + 4 * a, row + b, "acgt"[c], 'g', b * 2 + a, a);
  }
  return t;
}

}  // namespace tarvex_test

#endif  // TESK_API_TESTS_LAYOUT_TEXT_H_
