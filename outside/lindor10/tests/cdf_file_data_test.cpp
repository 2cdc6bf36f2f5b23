// CCDFFileData over layout files the tests write: every kind of unit, QC units, damaged files.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "tesk/lindor10.h"
#include "tesk/testing/bytes.h"
#include "tesk/testing/scratch_dir.h"

namespace {

using tesk::testing::ScratchDir;

constexpr int kCols = 20;

// Cell line of a unit block: x, y, probe, feature, qualifier, expos, position, cbase, pbase,
// tbase, atom, index, codon index, codon, region type, region.
std::string Cell(int k, int x, int y, char pbase, char tbase, int atom, int expos = 0,
                 const std::string& probe = "N") {
  return "Cell" + std::to_string(k) + "=" + std::to_string(x) + "\t" + std::to_string(y) + "\t" +
         probe + "\tf\tq\t" + std::to_string(expos) + "\t13\t" + tbase + "\t" + pbase + "\t" +
         tbase + "\t" + std::to_string(atom) + "\t" + std::to_string(y * kCols + x) +
         "\t-1\t-1\t99\t-\n";
}

const char* kCellHeader =
    "CellHeader=X\tY\tPROBE\tFEAT\tQUAL\tEXPOS\tPOS\tCBASE\tPBASE\tTBASE\tATOM\tINDEX\t"
    "CODONIND\tCODON\tREGIONTYPE\tREGION\n";

std::string UnitHeader(int i, const std::string& name, int direction, const std::string& atoms,
                       int cells, int type, int blocks) {
  return "\n[Unit" + std::to_string(i) + "]\nName=" + name + "\nDirection=" +
         std::to_string(direction) + "\nNumAtoms=" + atoms + "\nNumCells=" +
         std::to_string(cells) + "\nUnitNumber=" + std::to_string(100 + i) + "\nUnitType=" +
         std::to_string(type) + "\nNumberBlocks=" + std::to_string(blocks) + "\n";
}

std::string BlockHeader(int unit, int block, const std::string& name, int atoms, int cells) {
  return "\n[Unit" + std::to_string(unit) + "_Block" + std::to_string(block) + "]\nName=" + name +
         "\nBlockNumber=" + std::to_string(block) + "\nNumAtoms=" + std::to_string(atoms) +
         "\nNumCells=" + std::to_string(cells) + "\nStartPosition=0\nStopPosition=" +
         std::to_string(atoms - 1) + "\n";
}

// Units, in index order:
//   0 expression "NONE" with block gene_a_at: pairs 0..2 on row 2 (PM) and 3 (MM); pair 1
//     lists its mismatch cell first.
//   1 genotyping snp_1, blocks snp_1_A (sense) and snp_1_B (antisense), two atoms of four
//     cells each, atoms numbered 0, 1 and 2, 3.
//   2 custom sequence (type 1) reseq_1: atoms numbered 5, 6, 7 at positions 10, 11, 12, two
//     cells each, and one background cell.
//   3 custom sequence kept as code 6; 4 universal (type 7).
// An unknown type 4 unit between them is left out by the reader. QC units: type 3 with three
// cells, type 9 with match and background flags.
std::string Layout() {
  std::string t =
      "[CDF]\nVersion=QX3.0\n\n[Chip]\nName=TestChip\nRows=20\nCols=20\nNumberOfUnits=6\n"
      "MaxUnit=6\nNumQCUnits=2\nChipReference=test layout\n"
      "\n[QC1]\nType=3\nNumberCells=3\nCellHeader=X\tY\tPROBE\tPLEN\tATOM\tINDEX\n"
      "Cell1=0\t0\tN\t25\t0\t0\nCell2=1\t0\tN\t25\t1\t1\nCell3=2\t0\tN\t25\t2\t2\n"
      "\n[QC2]\nType=9\nNumberCells=2\nCellHeader=X\tY\tPROBE\tPLEN\tATOM\tINDEX\tMATCH\tBKGD\n"
      "Cell1=3\t0\tN\t20\t7\t3\t1\t0\nCell2=4\t0\tN\t20\t8\t4\t0\t1\n";
  // 0: expression.
  t += UnitHeader(1, "NONE", 1, "3 2", 6, 3, 1) + BlockHeader(1, 1, "gene_a_at", 3, 6) +
       kCellHeader;
  t += Cell(1, 1, 2, 't', 'a', 0) + Cell(2, 1, 3, 'a', 'a', 0);
  t += Cell(3, 2, 3, 'c', 'c', 1) + Cell(4, 2, 2, 'g', 'c', 1);  // mismatch listed first
  t += Cell(5, 3, 2, 'a', 't', 2) + Cell(6, 3, 3, 't', 't', 2);
  // 1: genotyping with a mutation type and block directions.
  t += UnitHeader(2, "snp_1", 1, "4 4", 16, 2, 2) + "MutationType=1\n";
  for (int b = 0; b < 2; ++b) {
    t += BlockHeader(2, b + 1, b == 0 ? "snp_1_A" : "snp_1_B", 2, 8) +
         "Direction=" + std::to_string(b + 1) + "\n" + kCellHeader;
    int k = 0;
    for (int a = 0; a < 2; ++a) {
      for (int c = 0; c < 4; ++c) {
        t += Cell(++k, 10 + c, 5 + b * 2 + a, "acgt"[c], 'g', b * 2 + a, a);
      }
    }
  }
  // A unit of a type the reader does not know.
  t += UnitHeader(3, "odd", 1, "1 2", 2, 4, 1) + BlockHeader(3, 1, "odd", 1, 2) + kCellHeader +
       Cell(1, 0, 9, 'a', 't', 0) + Cell(2, 1, 9, 't', 't', 0);
  // 2: custom sequence.
  t += UnitHeader(4, "reseq_1", 2, "3 2", 7, 1, 1) + BlockHeader(4, 1, "reseq_1", 3, 7) +
       kCellHeader;
  int k = 0;
  for (int a = 0; a < 3; ++a) {
    t += Cell(++k, 5 + a, 12, 'a', "cgt"[a], 5 + a, 10 + a);
    t += Cell(++k, 5 + a, 13, 'c', "cgt"[a], 5 + a, 10 + a);
    if (a == 1) t += Cell(++k, 5 + a, 14, ' ', ' ', 5 + a, 10 + a, "!bg");
  }
  // 3 and 4: custom sequence with code 6, and universal.
  for (int type : {6, 7}) {
    const int i = type == 6 ? 5 : 6;
    t += UnitHeader(i, "u" + std::to_string(type), 1, "1 2", 2, type, 1) +
         BlockHeader(i, 1, "u" + std::to_string(type), 1, 2) + kCellHeader +
         Cell(1, i, 15, 'a', 'g', 0) + Cell(2, i, 16, 'c', 'g', 0);
  }
  return t;
}

class LayoutTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = dir_.File("Test.CDF");
    tesk::testing::WriteFileBytes(path_, Layout());
    cdf_.SetFileName(path_.c_str());
    ASSERT_EQ(cdf_.Exists(), 1);
    ASSERT_EQ(cdf_.Read(0), 1) << cdf_.GetError();
  }
  ScratchDir dir_;
  std::string path_;
  CCDFFileData cdf_;
};

TEST_F(LayoutTest, HeaderAndUnitTypesMapToTheObjectModelsKinds) {
  EXPECT_EQ(cdf_.IsLoaded(), 1);
  EXPECT_EQ(cdf_.IsXDACompatibleFile(), 0);
  EXPECT_STREQ(cdf_.GetError(), "");
  EXPECT_EQ(cdf_.GetRows(), 20);
  EXPECT_EQ(cdf_.GetCols(), 20);
  EXPECT_EQ(cdf_.GetVersion(), 3);
  EXPECT_STREQ(cdf_.GetChipName(), "TestChip");
  EXPECT_EQ(cdf_.GetNumUnits(), 5) << "the unknown type is left out";
  EXPECT_EQ(cdf_.GetNumQCUnits(), 2);
  EXPECT_EQ(cdf_.GetUnitType(0), ExpressionUnitType);
  EXPECT_EQ(cdf_.GetUnitType(1), GenotypingUnitType);
  EXPECT_EQ(cdf_.GetUnitType(2), CustomSeqUnitType);
  EXPECT_EQ(cdf_.GetUnitType(3), CustomSeqUnitType);
  EXPECT_EQ(cdf_.GetUnitType(4), UnknownUnitType) << "universal units belong to no view";
  EXPECT_EQ(cdf_.GetUnitType(5), UnknownUnitType);
  EXPECT_EQ(cdf_.GetUnitType(-1), UnknownUnitType);

  const CCDFProbeSetNames& names = cdf_.GetProbeSetNames();
  EXPECT_STREQ(names.GetProbeSetName(0), "gene_a_at") << "a unit named NONE takes its block's";
  std::string name;
  EXPECT_EQ(names.GetProbeSetName(1, name), 1);
  EXPECT_EQ(name, "snp_1");
  EXPECT_STREQ(names.GetProbeSetName(2), "reseq_1");
  EXPECT_EQ(names.GetProbeSetName(5, name), 0);
  EXPECT_EQ(name, "");
  EXPECT_STREQ(names.GetProbeSetName(-3), "");
}

TEST_F(LayoutTest, ExpressionPairsPutThePerfectMatchAtEvenCells) {
  CCDFUnitInformation unit;
  ASSERT_EQ(cdf_.GetUnitInformation(0, unit), 1);
  EXPECT_EQ(unit.GetNumAtoms(), 3);
  EXPECT_EQ(unit.GetNumBlocks(), 1);
  EXPECT_EQ(unit.GetNumCellsPerAtom(), 2);
  EXPECT_EQ(unit.GetUnitNumber(), 101);
  EXPECT_EQ(unit.GetUnitType(), ExpressionUnitType);
  CCDFUnitBlockInformation block;
  ASSERT_EQ(unit.GetBlockInformation(0, block), 1);
  EXPECT_EQ(block.GetNumLists(), 3);
  EXPECT_EQ(block.GetNumCellsPerList(), 2);
  EXPECT_EQ(block.GetNumCells(), 6);
  EXPECT_STREQ(block.GetName(), "gene_a_at");
  EXPECT_EQ(unit.GetBlockInformation(1, block), 0);
  EXPECT_EQ(block.GetNumLists(), 0);

  ASSERT_EQ(unit.GetBlockInformation(0, block), 1);
  CCDFUnitBlockCellInformation cell;
  for (int p = 0; p < 3; ++p) {
    ASSERT_EQ(block.GetCell(2 * p, cell), 1);
    EXPECT_EQ(cell.GetX(), 1 + p);
    EXPECT_EQ(cell.GetY(), 2) << "perfect match of pair " << p;
    EXPECT_EQ(cell.GetListIndex(), p);
    ASSERT_EQ(block.GetCell(2 * p + 1, cell), 1);
    EXPECT_EQ(cell.GetY(), 3) << "mismatch of pair " << p;
  }
  ASSERT_EQ(block.GetCell(3, cell), 1);
  EXPECT_EQ(cell.GetProbeBase(), 'c');
  EXPECT_EQ(cell.GetTargetBase(), 'c');
  ASSERT_EQ(block.GetCell(0, cell), 1);
  EXPECT_EQ(cell.GetBases(), 't' | 'a' << 8) << "low byte probe base, high byte target base";
  EXPECT_EQ(block.GetCell(6, cell), 0);
  EXPECT_EQ(cell.GetX(), 0);
  EXPECT_EQ(block.GetCell(-1, cell), 0);
}

TEST_F(LayoutTest, GenotypeGroupsAreBlocksListsAreAtomsProbesAreCells) {
  CCDFUnitInformation unit;
  ASSERT_EQ(cdf_.GetUnitInformation(1, unit), 1);
  EXPECT_EQ(unit.GetNumAtoms(), 4);
  EXPECT_EQ(unit.GetNumBlocks(), 2);
  CCDFUnitBlockInformation block;
  for (int b = 0; b < 2; ++b) {
    ASSERT_EQ(unit.GetBlockInformation(b, block), 1);
    EXPECT_EQ(block.GetNumLists(), 2);
    EXPECT_EQ(block.GetNumCellsPerList(), 4);
    EXPECT_EQ(block.GetDirection(), b + 1) << "the block's own direction";
    EXPECT_STREQ(block.GetName(), b == 0 ? "snp_1_A" : "snp_1_B");
    for (int list = 0; list < 2; ++list) {
      EXPECT_EQ(block.GetNumCellsInList(list), 4);
      EXPECT_EQ(block.GetReferenceIndex(list), b * 2 + list);
      for (int probe = 0; probe < 4; ++probe) {
        CCDFUnitBlockCellInformation cell;
        ASSERT_EQ(block.GetCell(list * 4 + probe, cell), 1);
        // The reader fills an atom's cells from the last slot back.
        EXPECT_EQ(cell.GetX(), 10 + 3 - probe);
        EXPECT_EQ(cell.GetY(), 5 + b * 2 + list);
        EXPECT_EQ(cell.GetProbeBase(), "acgt"[3 - probe]);
        EXPECT_EQ(cell.GetAtomNumber(), b * 2 + list);
      }
    }
    EXPECT_EQ(block.GetNumCellsInList(2), 0);
    EXPECT_EQ(block.GetReferenceIndex(-1), -1);
  }
}

TEST_F(LayoutTest, CustomSequenceListsCarryAtomNumberAndPosition) {
  CCDFUnitInformation unit;
  ASSERT_EQ(cdf_.GetUnitInformation(2, unit), 1);
  EXPECT_EQ(unit.GetDirection(), 2);
  CCDFUnitBlockInformation block;
  ASSERT_EQ(unit.GetBlockInformation(0, block), 1);
  EXPECT_EQ(block.GetDirection(), 2) << "the unit's direction";
  EXPECT_EQ(block.GetNumLists(), 3);
  for (int list = 0; list < 3; ++list) {
    EXPECT_EQ(block.GetReferenceIndex(list), 5 + list);
    EXPECT_EQ(block.GetSequencePosition(list), 10 + list);
    EXPECT_EQ(block.GetNumCellsInList(list), 2) << "the background cell is no probe";
    EXPECT_EQ(block.GetReferenceBase(list), "cgt"[list]);
  }
  EXPECT_EQ(block.GetReferenceBase(3), 0);
  int b = 9, l = 9;
  ASSERT_EQ(unit.FindListByReferenceIndex(7, b, l), 1);
  EXPECT_EQ(b, 0);
  EXPECT_EQ(l, 2);
  EXPECT_EQ(unit.FindListByReferenceIndex(8, b, l), 0);
  EXPECT_EQ(b, -1);
  EXPECT_EQ(l, -1);

  CCDFUnitInformation geno;
  ASSERT_EQ(cdf_.GetUnitInformation(1, geno), 1);
  ASSERT_EQ(geno.FindListByReferenceIndex(3, b, l), 1) << "searches every block";
  EXPECT_EQ(b, 1);
  EXPECT_EQ(l, 1);
}

TEST_F(LayoutTest, QCUnitsGiveTheirCellsAndType) {
  CCDFQCUnitInformation qc;
  ASSERT_EQ(cdf_.GetQCUnitInformation(0, qc), 1);
  EXPECT_EQ(qc.GetNumCells(), 3);
  EXPECT_EQ(qc.GetQCType(), 3);
  CCDFQCCellInformation cell;
  ASSERT_EQ(qc.GetCell(2, cell), 1);
  EXPECT_EQ(cell.GetX(), 2);
  EXPECT_EQ(cell.GetY(), 0);
  EXPECT_EQ(cell.GetProbeLength(), 25);
  EXPECT_EQ(qc.GetCell(3, cell), 0);
  EXPECT_EQ(cell.GetX(), 0);

  ASSERT_EQ(cdf_.GetQCUnitInformation(1, qc), 1);
  EXPECT_EQ(qc.GetQCType(), 9);
  ASSERT_EQ(qc.GetCell(0, cell), 1);
  EXPECT_EQ(cell.IsPerfectMatch(), 1);
  EXPECT_EQ(cell.IsBackground(), 0);
  ASSERT_EQ(qc.GetCell(1, cell), 1);
  EXPECT_EQ(cell.GetX(), 4);
  EXPECT_EQ(cell.IsBackground(), 1);

  EXPECT_EQ(cdf_.GetQCUnitInformation(2, qc), 0);
  EXPECT_EQ(qc.GetNumCells(), 0);
  EXPECT_EQ(qc.GetCell(0, cell), 0) << "an unfilled companion answers nothing";
}

TEST_F(LayoutTest, FailedReadsKeepTheLayoutAndCloseReleasesIt) {
  const std::string good = Layout();
  struct Bad {
    const char* what;
    std::string text;
  } bad[] = {
      {"missing", ""},
      {"not a layout", "hello\n"},
      {"unknown version", "[CDF]\nVersion=QX9.0\n"},
      {"cut in the chip section", good.substr(0, 40)},
      {"cut in a QC unit", good.substr(0, good.find("[QC2]") + 20)},
      {"cut in a cell line", good.substr(0, good.find("Cell4=") + 5)},
      {"a cell index beyond the grid", [&] {
         std::string t = good;
         t.replace(t.find("\t41\t-1"), 3, "\t99999");
         return t;
       }()},
  };
  for (const Bad& b : bad) {
    const std::string path = dir_.File(std::string("bad_") + b.what + ".CDF");
    if (b.text.empty()) {
      EXPECT_EQ(CCDFFileData().Exists(), 0);
    } else {
      tesk::testing::WriteFileBytes(path, b.text);
    }
    cdf_.SetFileName(path.c_str());
    EXPECT_EQ(cdf_.Read(0), 0) << b.what;
    EXPECT_STRNE(cdf_.GetError(), "") << b.what;
    EXPECT_EQ(cdf_.GetNumUnits(), 5) << "the earlier layout stays: " << b.what;
  }
  cdf_.Close();
  EXPECT_EQ(cdf_.IsLoaded(), 0);
  EXPECT_EQ(cdf_.GetNumUnits(), 0);
  EXPECT_EQ(cdf_.GetUnitType(0), UnknownUnitType);
  CCDFUnitInformation unit;
  EXPECT_EQ(cdf_.GetUnitInformation(0, unit), 0);
  EXPECT_STREQ(cdf_.GetProbeSetNames().GetProbeSetName(0), "");
}

TEST(CDFFileData, RunTimeBindingCreatesAWorkingReader) {
  ScratchDir dir;
  tesk::testing::WriteFileBytes(dir.File("Test.CDF"), Layout());
  void* lib = ::dlopen(LINDOR10_LIBRARY, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(lib, nullptr) << ::dlerror();
  using Create = CCDFFileData* (*)();
  auto create = reinterpret_cast<Create>(::dlsym(lib, "Lindor10CreateCDFFileData"));
  ASSERT_NE(create, nullptr);
  std::unique_ptr<CCDFFileData> cdf(create());
  ASSERT_NE(cdf, nullptr);
  cdf->SetFileName(dir.File("Test.CDF").c_str());
  ASSERT_EQ(cdf->Read(0), 1);
  CCDFUnitInformation unit;
  CCDFUnitBlockInformation block;
  CCDFUnitBlockCellInformation cell;
  ASSERT_EQ(cdf->GetUnitInformation(0, unit), 1);
  ASSERT_EQ(unit.GetBlockInformation(0, block), 1);
  ASSERT_EQ(block.GetCell(1, cell), 1);
  EXPECT_EQ(cell.GetY(), 3);
  cdf.reset();
  ::dlclose(lib);
}

}  // namespace
