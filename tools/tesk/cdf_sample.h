// The sample layout (QX3.0) of the sample array: expression units of 11 probe pairs, QC units
// of several types, resequencing units with a coding region, and genotyping units of two allele
// blocks. Shared by `tesk sample` and the layout benchmark so both read the same file.
//
// Geometry: the grid's outer border is the alignment border (a QC unit). Expression and control
// pairs put the perfect match cell at (x, y) and the mismatch cell at (x, y + 1) in the row pairs
// from row 1 down; resequencing, genotyping and the other QC cells take single cells from row
// kSingleRow down. Cell index = y * cols + x.
#ifndef TESK_TOOLS_TESK_CDF_SAMPLE_H_
#define TESK_TOOLS_TESK_CDF_SAMPLE_H_

#include <charconv>
#include <cstdint>
#include <string>
#include <string_view>

#include "sample_array.h"
#include "sample_names.h"

namespace tesk::sample::layout {

inline constexpr int kExpressionUnits = 20000;
inline constexpr int kPairsPerUnit = 11;
inline constexpr int kResequencingUnits = 6;
inline constexpr int kResequencingLength = 240;  // positions per resequencing unit
inline constexpr int kCodingLength = 120;        // the first positions form a coding region
inline constexpr int kGenotypingUnits = 24;
inline constexpr int kSnpFlank = 2;              // positions on each side of a polymorphism
inline constexpr int kControlGenes = 4;          // QC unit with match flags: pairs per gene
inline constexpr int kControlPairs = 10;
inline constexpr int kSingleRow = 600;

// The layout's own noise stream, apart from the intensities'.
inline std::uint32_t Hash(std::uint32_t a, std::uint32_t b) {
  return tesk::sample::Hash(a, b, 0x51ED27u);
}

inline char Base(std::uint32_t a, std::uint32_t b) { return "acgt"[Hash(a, b) & 3]; }

inline char Complement(char base) {
  switch (base) {
    case 'a': return 't';
    case 't': return 'a';
    case 'c': return 'g';
    default: return 'c';
  }
}

inline char Upper(char c) { return static_cast<char>(c - 'a' + 'A'); }

// Appends text and numbers without streams.
class Text {
 public:
  std::string s;
  Text& operator<<(std::string_view v) {
    s.append(v);
    return *this;
  }
  Text& operator<<(char c) {
    s.push_back(c);
    return *this;
  }
  Text& operator<<(int v) {
    char b[16];
    auto r = std::to_chars(b, b + sizeof b, v);
    s.append(b, static_cast<std::size_t>(r.ptr - b));
    return *this;
  }
};

// Hands out pair positions (row pairs from row 1) and single cells (from kSingleRow).
class Cells {
 public:
  void NextPair(int& x, int& y) {
    if (pairX_ > kCols - 2) {
      pairX_ = 1;
      pairY_ += 2;
    }
    x = pairX_++;
    y = pairY_;
  }
  void NextSingle(int& x, int& y) {
    if (singleX_ > kCols - 2) {
      singleX_ = 1;
      ++singleY_;
    }
    x = singleX_++;
    y = singleY_;
  }

 private:
  int pairX_ = 1;
  int pairY_ = 1;
  int singleX_ = 1;
  int singleY_ = kSingleRow;
};

inline constexpr std::string_view kCellHeader =
    "CellHeader=X\tY\tPROBE\tFEAT\tQUAL\tEXPOS\tPOS\tCBASE\tPBASE\tTBASE\tATOM\tINDEX\tCODONIND\t"
    "CODON\tREGIONTYPE\tREGION\n";

struct CellFields {
  int x = 0;
  int y = 0;
  std::string_view probe = "N";
  std::string_view feature = "-";
  int expos = 0;
  int position = 0;
  char probeBase = 'a';
  char targetBase = 't';
  int atom = 0;
  int codonIndex = -1;
  int codon = -1;
  int regionType = 99;
  std::string_view region = "-";
};

inline void CellLine(Text& t, int k, const CellFields& c) {
  t << "Cell" << k << '=' << c.x << '\t' << c.y << '\t' << c.probe << '\t' << c.feature
    << "\tsample\t" << c.expos << '\t' << c.position << '\t' << Upper(c.targetBase) << '\t'
    << Upper(c.probeBase) << '\t' << Upper(c.targetBase) << '\t' << c.atom << '\t'
    << (c.y * kCols + c.x) << '\t' << c.codonIndex << '\t' << c.codon << '\t' << c.regionType
    << '\t' << c.region << '\n';
}

inline void QCHeader(Text& t, int n, int type, int cells, std::string_view columns) {
  t << "[QC" << n << "]\nType=" << type << "\nNumberCells=" << cells << "\nCellHeader=X\tY\t"
    << "PROBE\tPLEN\tATOM\tINDEX" << columns << "\n";
}

inline void QCCell(Text& t, int k, int x, int y, std::string_view probe, int length, int atom) {
  t << "Cell" << k << '=' << x << '\t' << y << '\t' << probe << '\t' << length << '\t' << atom
    << '\t' << (y * kCols + x);
}

inline void UnitHeader(Text& t, int index, std::string_view name, int direction, int atoms,
                       int cellsPerAtom, int cells, int number, int type, int blocks) {
  t << "[Unit" << index << "]\nName=" << name << "\nDirection=" << direction
    << "\nNumAtoms=" << atoms << ' ' << cellsPerAtom << "\nNumCells=" << cells
    << "\nUnitNumber=" << number << "\nUnitType=" << type << "\nNumberBlocks=" << blocks << "\n";
}

inline void BlockHeader(Text& t, int unit, int block, std::string_view name, int atoms,
                        int cells, int start, int stop) {
  t << "\n[Unit" << unit << "_Block" << block << "]\nName=" << name << "\nBlockNumber=" << block
    << "\nNumAtoms=" << atoms << "\nNumCells=" << cells << "\nStartPosition=" << start
    << "\nStopPosition=" << stop << "\n";
}

inline constexpr int kQCUnits = 5;

inline void QCUnits(Text& t, Cells& cells) {
  // 1: the alignment border, every outer cell of the grid.
  const int border = 2 * kCols + 2 * (kRows - 2);
  QCHeader(t, 1, 1, border, "");
  int k = 0;
  auto borderCell = [&](int x, int y) {
    QCCell(t, ++k, x, y, "N", 25, 0);
    t << '\n';
  };
  for (int x = 0; x < kCols; ++x) borderCell(x, 0);
  for (int y = 1; y < kRows - 1; ++y) {
    borderCell(0, y);
    borderCell(kCols - 1, y);
  }
  for (int x = 0; x < kCols; ++x) borderCell(x, kRows - 1);
  t << '\n';
  // 7: spiked controls as perfect match / mismatch pairs.
  QCHeader(t, 2, 7, kControlGenes * kControlPairs * 2, "\tMATCH");
  k = 0;
  for (int g = 0; g < kControlGenes; ++g) {
    for (int p = 0; p < kControlPairs; ++p) {
      int x, y;
      cells.NextPair(x, y);
      QCCell(t, ++k, x, y, "N", 25, g * kControlPairs + p);
      t << "\t1\n";
      QCCell(t, ++k, x, y + 1, "N", 25, g * kControlPairs + p);
      t << "\t0\n";
    }
  }
  t << '\n';
  // 9: background estimation cells with match and background flags.
  QCHeader(t, 3, 9, 48, "\tMATCH\tBKGD");
  for (k = 1; k <= 48; ++k) {
    int x, y;
    cells.NextSingle(x, y);
    QCCell(t, k, x, y, "N", 20, k - 1);
    t << '\t' << (k % 2) << '\t' << ((k % 3) == 0 ? 1 : 0) << '\n';
  }
  t << '\n';
  // 11: probes identified by their sequence.
  QCHeader(t, 4, 11, 32, "");
  for (k = 1; k <= 32; ++k) {
    int x, y;
    cells.NextSingle(x, y);
    char probe[21];
    for (int i = 0; i < 20; ++i) probe[i] = Base(900 + k, i);
    probe[20] = '\0';
    QCCell(t, k, x, y, probe, 20, k - 1);
    t << '\n';
  }
  t << '\n';
  // 3: dim corner references.
  QCHeader(t, 5, 3, 64, "");
  for (k = 1; k <= 64; ++k) {
    int x, y;
    cells.NextSingle(x, y);
    QCCell(t, k, x, y, "N", 25, k - 1);
    t << '\n';
  }
  t << '\n';
}

inline void ExpressionUnit(Text& t, Cells& cells, int index, int number) {
  UnitHeader(t, index, "NONE", 1, kPairsPerUnit, 2, 2 * kPairsPerUnit, number, 3, 1);
  char name[32];
  auto r = std::to_chars(name, name + 16, 100000 + number);
  std::string block = "TD" + std::string(name, r.ptr) + "_at";
  BlockHeader(t, index, 1, block, kPairsPerUnit, 2 * kPairsPerUnit, 0, kPairsPerUnit - 1);
  t << kCellHeader;
  int k = 0;
  for (int p = 0; p < kPairsPerUnit; ++p) {
    int x, y;
    cells.NextPair(x, y);
    CellFields c;
    c.feature = block;
    c.atom = p;
    c.expos = p;
    c.position = 13;
    c.targetBase = Base(number, p);
    c.probeBase = Complement(c.targetBase);  // perfect match
    c.x = x;
    c.y = y;
    CellLine(t, ++k, c);
    c.probeBase = c.targetBase;  // mismatch: the middle base not complemented
    c.y = y + 1;
    CellLine(t, ++k, c);
  }
  t << '\n';
}

inline void ResequencingUnit(Text& t, Cells& cells, int index, int number, int which) {
  const int atoms = kResequencingLength;
  // Four probes per position, then one background cell after every tenth position.
  const int backgrounds = atoms / 10;
  const int total = 4 * atoms + backgrounds;
  std::string name = "reseq_gene_" + std::to_string(which + 1);
  UnitHeader(t, index, name, 1 + which % 2, atoms, 4, total, number, 1, 1);
  BlockHeader(t, index, 1, name, atoms, total, 0, atoms - 1);
  t << kCellHeader;
  int k = 0;
  for (int a = 0; a < atoms; ++a) {
    const char target = Base(7000 + which, a);
    const bool coding = a < kCodingLength;
    char probe[26];
    for (int i = 0; i < 25; ++i) probe[i] = Upper(Base(8000 + which * 1000 + a, i));
    probe[25] = '\0';
    for (int b = 0; b < 4; ++b) {
      int x, y;
      cells.NextSingle(x, y);
      CellFields c;
      c.x = x;
      c.y = y;
      probe[12] = Upper("acgt"[b]);
      c.probe = probe;
      c.feature = name;
      c.expos = a;
      c.position = 13;
      c.probeBase = "acgt"[b];
      c.targetBase = target;
      c.atom = a;
      if (coding) {
        c.codonIndex = a % 3;
        c.codon = a / 3;
        c.regionType = 1;
        c.region = "exon_1";
      }
      CellLine(t, ++k, c);
    }
    if (a % 10 == 9) {
      int x, y;
      cells.NextSingle(x, y);
      CellFields c;
      c.x = x;
      c.y = y;
      c.probe = "!background";
      c.expos = a;
      c.targetBase = target;
      c.atom = a;
      CellLine(t, ++k, c);
    }
  }
  t << '\n';
}

inline void GenotypingUnit(Text& t, Cells& cells, int index, int number, int which) {
  const int perBlock = 2 * kSnpFlank + 1;
  const int atoms = 2 * perBlock;
  std::string name = "snp_" + std::to_string(10000 + which);
  UnitHeader(t, index, name, 1, atoms, 4, 4 * atoms, number, 2, 2);
  t << "MutationType=" << (which % 3 == 0 ? 1 : 0) << "\n";
  const char alleles[2] = {Base(9000 + which, 0), Complement(Base(9000 + which, 0))};
  for (int b = 0; b < 2; ++b) {
    std::string block = name + (b == 0 ? "_A" : "_B");
    BlockHeader(t, index, b + 1, block, perBlock, 4 * perBlock, 0, perBlock - 1);
    t << "Direction=" << (1 + (which + b) % 2) << "\n" << kCellHeader;
    int k = 0;
    for (int a = 0; a < perBlock; ++a) {
      const char target = a == kSnpFlank ? alleles[b] : Base(9500 + which, a);
      for (int base = 0; base < 4; ++base) {
        int x, y;
        cells.NextSingle(x, y);
        CellFields c;
        c.x = x;
        c.y = y;
        c.probe = "N";
        c.feature = block;
        c.expos = a;
        c.position = 13;
        c.probeBase = "acgt"[base];
        c.targetBase = target;
        c.atom = b * perBlock + a;
        CellLine(t, ++k, c);
      }
    }
  }
  t << '\n';
}

// The whole sample layout file.
inline std::string LayoutText() {
  const int units = kExpressionUnits + kResequencingUnits + kGenotypingUnits;
  Text t;
  t.s.reserve(40u << 20);
  t << "[CDF]\nVersion=QX3.0\n\n[Chip]\nName=" << kChipType << "\nRows=" << kRows
    << "\nCols=" << kCols << "\nNumberOfUnits=" << units << "\nMaxUnit=" << units
    << "\nNumQCUnits=" << kQCUnits << "\nChipReference=" << kChipType << " sample layout\n\n";
  Cells cells;
  QCUnits(t, cells);
  int index = 0;
  // Unit numbers follow the units' order in the file.
  for (int u = 0; u < kExpressionUnits; ++u) {
    ++index;
    ExpressionUnit(t, cells, index, index);
  }
  for (int u = 0; u < kResequencingUnits; ++u) {
    ++index;
    ResequencingUnit(t, cells, index, index, u);
  }
  for (int u = 0; u < kGenotypingUnits; ++u) {
    ++index;
    GenotypingUnit(t, cells, index, index, u);
  }
  return std::move(t.s);
}

}  // namespace tesk::sample::layout

#endif  // TESK_TOOLS_TESK_CDF_SAMPLE_H_
