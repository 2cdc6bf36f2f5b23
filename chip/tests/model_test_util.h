// Helpers of the chip model tests: small layout files.
#ifndef TESK_CHIP_TESTS_MODEL_TEST_UTIL_H_
#define TESK_CHIP_TESTS_MODEL_TEST_UTIL_H_

#include <string>

#include <tesk/testing/bytes.h>
#include <tesk/testing/scratch_dir.h>

namespace model_test {

using tesk::testing::ScratchDir;

inline void WriteText(const std::string& path, const std::string& text) {
  tesk::testing::WriteFileBytes(path, text);
}

// One cell line of a unit block: x y probe feat qual expos pos cbase pbase tbase atom index
// codonIndex codon regionType region.
inline std::string CellLine(int k, int x, int y, const std::string& probe, int expos,
                            char probeBase, char targetBase, int atom, int index,
                            int codonIndex = -1, int codon = -1, int regionType = 99,
                            const std::string& region = "-") {
  return "Cell" + std::to_string(k) + "=" + std::to_string(x) + "\t" + std::to_string(y) + "\t" +
         probe + "\tN\tcontrol\t" + std::to_string(expos) + "\t" + std::to_string(atom) + "\t" +
         std::string(1, targetBase) + "\t" + std::string(1, probeBase) + "\t" +
         std::string(1, targetBase) + "\t" + std::to_string(atom) + "\t" + std::to_string(index) +
         "\t" + std::to_string(codonIndex) + "\t" + std::to_string(codon) + "\t" +
         std::to_string(regionType) + "\t" + region + "\n";
}

inline const char kCellHeader[] =
    "CellHeader=X\tY\tPROBE\tFEAT\tQUAL\tEXPOS\tPOS\tCBASE\tPBASE\tTBASE\tATOM\tINDEX\tCODONIND\t"
    "CODON\tREGIONTYPE\tREGION\n";

// The 8 x 8 layout most tests read: two QC units, an expression unit (number 10), a
// resequencing unit (20), a genotyping unit (30) and a unit of an unknown type (40).
// Cell index = y * 8 + x throughout.
inline std::string SmallLayout() {
  std::string s =
      "[CDF]\nVersion=QX3.0\n\n[Chip]\nName=TestChip\nRows=8\nCols=8\nNumberOfUnits=4\n"
      "MaxUnit=40\nNumQCUnits=2\nChipReference=ref=text with equals\n\n";
  s += "[QC1]\nType=7\nNumberCells=2\nCellHeader=X\tY\tPROBE\tPLEN\tATOM\tINDEX\tMATCH\n";
  s += "Cell1=1\t0\tN\t25\t0\t1\t1\n";
  s += "Cell2=2\t0\tN\t25\t0\t2\t0\n\n";
  s += "[QC2]\nType=11\nNumberCells=1\nCellHeader=X\tY\tPROBE\tPLEN\tATOM\tINDEX\n";
  s += "Cell1=3\t0\tgattaca\t7\t5\t3\n\n";
  // Expression unit: two pairs; the mismatch cell of pair 0 comes first in the file.
  s += "[Unit1]\nName=NONE\nDirection=1\nNumAtoms=2 2\nNumCells=5\nUnitNumber=10\nUnitType=3\n"
       "NumberBlocks=1\n\n";
  s += "[Unit1_Block1]\nName=gene_a\nBlockNumber=1\nNumAtoms=2\nNumCells=5\nStartPosition=0\n"
       "StopPosition=1\n";
  s += kCellHeader;
  s += CellLine(1, 0, 1, "AAAAAAAAAAAAATAAAAAAAAAAA", 0, 't', 't', 0, 8);   // mismatch
  s += CellLine(2, 1, 1, "AAAAAAAAAAAAAAAAAAAAAAAAA", 0, 'a', 't', 0, 9);   // perfect match
  s += CellLine(3, 2, 1, "!background", 0, 'a', 't', 0, 10);                // pair 0 background
  s += CellLine(4, 3, 1, "CCCCCCCCCCCCCCCCCCCCCCCCC", 1, 'c', 'g', 1, 11);  // perfect match
  s += CellLine(5, 4, 1, "CCCCCCCCCCCCGCCCCCCCCCCCC", 1, 'g', 'g', 1, 12);  // mismatch
  s += "\n";
  // Resequencing unit: two atoms of four cells (the atoms line holds one number) and one
  // background cell; atom 1 comes from cells listed with atom number 7.
  s += "[Unit2]\nName=reseq_one\nDirection=2\nNumAtoms=2\nNumCells=9\nUnitNumber=20\n"
       "UnitType=1\nNumberBlocks=1\n\n";
  s += "[Unit2_Block1]\nName=reseq_block\nBlockNumber=4\nNumAtoms=2\nNumCells=9\n"
       "StartPosition=0\nStopPosition=7\n";
  s += kCellHeader;
  s += CellLine(1, 0, 2, "p0a", 3, 'a', 'g', 0, 16, 0, 5, 2, "exon1");
  s += CellLine(2, 1, 2, "p0c", 3, 'c', 'g', 0, 17, 0, 5, 2, "exon1");
  s += CellLine(3, 2, 2, "p0g", 3, 'g', 'g', 0, 18, 0, 5, 2, "exon1");
  s += CellLine(4, 3, 2, "p0t", 3, 't', 'g', 0, 19, 0, 5, 2, "exon1");
  s += CellLine(5, 4, 2, "!bg", 3, 'a', 'g', 0, 20);
  s += CellLine(6, 0, 3, "p1a", 4, 'a', 'a', 7, 24);
  s += CellLine(7, 1, 3, "p1c", 4, 'c', 'a', 7, 25);
  s += CellLine(8, 2, 3, "p1g", 4, 'g', 'a', 7, 26);
  s += CellLine(9, 3, 3, "p1t", 4, 't', 'a', 7, 27);
  s += "\n";
  // Genotyping unit: two blocks of one atom each, with their own directions.
  s += "[Unit3]\nName=snp_one\nDirection=1\nNumAtoms=2 4\nNumCells=8\nUnitNumber=30\n"
       "UnitType=2\nNumberBlocks=2\nMutationType=2\n\n";
  for (int b = 0; b < 2; ++b) {
    s += "[Unit3_Block" + std::to_string(b + 1) + "]\nName=allele_" + std::string(1, "AB"[b]) +
         "\nBlockNumber=" + std::to_string(b + 1) + "\nNumAtoms=1\nNumCells=4\n"
         "StartPosition=0\nStopPosition=0\nDirection=" + std::to_string(b + 1) + "\n";
    s += kCellHeader;
    const char bases[] = "acgt";
    for (int k = 0; k < 4; ++k) {
      const int index = 32 + b * 8 + k;
      s += CellLine(k + 1, index % 8, index / 8, "g", 0, bases[k], "ct"[b], b, index);
    }
  }
  s += "\n";
  // A unit of a type the library does not load.
  s += "[Unit4]\nName=other\nDirection=1\nNumAtoms=1 1\nNumCells=1\nUnitNumber=40\n"
       "UnitType=9\nNumberBlocks=1\n\n";
  s += "[Unit4_Block1]\nName=other_block\nBlockNumber=1\nNumAtoms=1\nNumCells=1\n"
       "StartPosition=0\nStopPosition=0\n";
  s += kCellHeader;
  s += CellLine(1, 0, 6, "zzz", 0, 'a', 't', 0, 48);
  return s;
}

}  // namespace model_test

#endif  // TESK_CHIP_TESTS_MODEL_TEST_UTIL_H_
