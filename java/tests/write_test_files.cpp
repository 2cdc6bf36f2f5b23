// Writes the files that the Java tests read, with the kit's own libraries, into one directory:
//   run.EXP          experiment (3 protocol steps)
//   scan.DAT         image, 20 x 30 pixels, pixel (x, y) = x * 131 + y * 7
//   one.CEL, two.CEL intensities, 5 x 4 and 3 x 2 cells, mean (x, y) = base + x * 7 + y * 3
//                    with base 100.5 and 900.25; one.CEL masks (1, 0), marks (4, 1) an outlier
//   TestChip.CDF     layout: units gene_a_at (expression, 3 pairs), snp_1 (genotyping),
//                    reseq_1 (custom sequence, 3 positions); QC units of types 3 and 9
//   sample.bpmap, sample.bar   the tiling files of the sample data set
// Usage: write_test_files DIR
#include <tesk/imbrel7.h>
#include <tesk/ostrel7.h>
#include <tesk/parvel.h>
#include <tesk/testing/bytes.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

#include "tiling/tiling_writer.h"
#include "tiling_sample.h"

namespace {

bool WriteExperiment(const std::string& path) {
  CTestInfo info;
  info.SetName(path);
  info.ChipType = "TestChip";
  info.SampleInfo = {"lot-7", "ana", "tissue", "liver sample", "proj-x", "no comment", "kit A", "kit lot 9"};
  info.Protocol = "Hyb 45";
  info.Station = "3";
  info.Module = "2";
  info.HybridizeDate = "03/07/26 02:05 PM";
  info.PixelSize = "3";
  info.Filter = "570";
  info.ScannerID = "scanner-1";
  info.NumberOfScans = "2";
  info.ScannerType = "demo";
  info.ProtocolSteps = {"Wash A 10 min", "Stain", "Wash B"};
  return info.Write() == 1;
}

bool WriteImage(const std::string& path) {
  constexpr int kCols = 20, kRows = 30;
  ImageData d;
  d.SetName(path.c_str());
  if (d.Create(kCols, kRows) != 1) return false;
  for (int y = 0; y < kRows; ++y)
    for (int x = 0; x < kCols; ++x) d.Pixels[y * kCols + x] = static_cast<std::uint16_t>(x * 131 + y * 7);
  d.SetChipType("TestChip");
  d.SetScanDate("12/01/26", "10:15:30");
  d.SetScannerID("scan-9");
  d.MinData = 3;
  d.MaxData = 60000;
  d.PixelSize = 3;
  d.ScanSpeed = 12;
  d.CellMargin = 2;
  const std::int32_t corners[8] = {1, 2, 30, 4, 31, 40, 5, 41};
  for (int i = 0; i < 8; ++i) d.GridCorners[i] = corners[i];
  return d.Write() == 1;
}

bool WriteIntensities(const std::string& path, int cols, int rows, float base, bool flags) {
  ParvelClass cel;
  cel.SetName(path.c_str());
  const std::string header = "Cols=" + std::to_string(cols) + "\nRows=" + std::to_string(rows) +
                             "\nGridCornerUL=10 12\nGridCornerUR=400 11\nGridCornerLR=401 405\n"
                             "GridCornerLL=9 404\nAlgorithm=Percentile\n"
                             "DatHeader=[0..46000]  demo:CLS=4733 \x14  \x14 TestChip.1sq \x14  \x14 \n"
                             "AlgorithmParameters=Percentile:75;CellMargin:2;OutlierHigh:1.500\n";
  cel.SetHeader(header.c_str());
  cel.SetAlgorithm("Percentile");
  for (int y = 0; y < rows; ++y) {
    for (int x = 0; x < cols; ++x) {
      CellEntryClass e;
      e.X = static_cast<std::uint16_t>(x);
      e.Y = static_cast<std::uint16_t>(y);
      e.MEAN = base + static_cast<float>(x * 7 + y * 3);
      e.STDV = static_cast<float>(x) + 0.5f;
      e.NPIXELS = static_cast<std::uint16_t>(16 + x);
      e.MASKED = flags && x == 1 && y == 0;
      e.OUTLIER = flags && x == 4 && y == 1;
      cel.AddCellData(&e);
    }
  }
  return cel.Write() == 1;
}

// ---- Layout ------------------------------------------------------------------------------

constexpr int kLayoutCols = 30;

std::string Cell(int k, int x, int y, char pbase, char tbase, int atom, int expos = 0) {
  return "Cell" + std::to_string(k) + "=" + std::to_string(x) + "\t" + std::to_string(y) + "\tN\tf\tq\t" +
         std::to_string(expos) + "\t13\t" + tbase + "\t" + pbase + "\t" + tbase + "\t" + std::to_string(atom) + "\t" +
         std::to_string(y * kLayoutCols + x) + "\t-1\t-1\t99\t-\n";
}

constexpr const char* kCellHeader =
    "CellHeader=X\tY\tPROBE\tFEAT\tQUAL\tEXPOS\tPOS\tCBASE\tPBASE\tTBASE\tATOM\tINDEX\tCODONIND\tCODON\t"
    "REGIONTYPE\tREGION\n";

std::string UnitHeader(int i, const std::string& name, const std::string& atoms, int cells, int type, int blocks) {
  return "\n[Unit" + std::to_string(i) + "]\nName=" + name + "\nDirection=1\nNumAtoms=" + atoms +
         "\nNumCells=" + std::to_string(cells) + "\nUnitNumber=" + std::to_string(i) +
         "\nUnitType=" + std::to_string(type) + "\nNumberBlocks=" + std::to_string(blocks) + "\n";
}

std::string BlockHeader(int unit, int block, const std::string& name, int atoms, int cells) {
  return "\n[Unit" + std::to_string(unit) + "_Block" + std::to_string(block) + "]\nName=" + name +
         "\nBlockNumber=" + std::to_string(block) + "\nNumAtoms=" + std::to_string(atoms) +
         "\nNumCells=" + std::to_string(cells) + "\nStartPosition=0\nStopPosition=" + std::to_string(atoms - 1) + "\n";
}

std::string Layout() {
  std::string t =
      "[CDF]\nVersion=QX3.0\n\n[Chip]\nName=TestChip\nRows=24\nCols=30\nNumberOfUnits=3\nMaxUnit=3\n"
      "NumQCUnits=2\nChipReference=test layout\n"
      "\n[QC1]\nType=3\nNumberCells=3\nCellHeader=X\tY\tPROBE\tPLEN\tATOM\tINDEX\n"
      "Cell1=0\t0\tN\t25\t0\t0\nCell2=1\t0\tN\t25\t1\t1\nCell3=2\t0\tN\t25\t2\t2\n"
      "\n[QC2]\nType=9\nNumberCells=2\nCellHeader=X\tY\tPROBE\tPLEN\tATOM\tINDEX\tMATCH\tBKGD\n"
      "Cell1=3\t0\tN\t20\t7\t3\t1\t0\nCell2=4\t0\tN\t20\t8\t4\t0\t1\n";
  // Expression: perfect match cells on row 2, mismatch cells on row 3.
  t += UnitHeader(1, "NONE", "3 2", 6, 3, 1) + BlockHeader(1, 1, "gene_a_at", 3, 6) + kCellHeader;
  int k = 0;
  for (int p = 0; p < 3; ++p) {
    t += Cell(++k, p, 2, 't', 'a', p);
    t += Cell(++k, p, 3, 'a', 'a', p);
  }
  // Genotyping: blocks _A (sense) and _B (antisense), two atoms of four cells each.
  t += UnitHeader(2, "snp_1", "4 4", 16, 2, 2) + "MutationType=1\n";
  for (int b = 0; b < 2; ++b) {
    t += BlockHeader(2, b + 1, b == 0 ? "snp_1_A" : "snp_1_B", 2, 8) + "Direction=" + std::to_string(b + 1) + "\n" +
         kCellHeader;
    k = 0;
    for (int a = 0; a < 2; ++a)
      for (int c = 0; c < 4; ++c) t += Cell(++k, 10 + c + 4 * a, 5 + b, "acgt"[c], 'g', b * 2 + a, a);
  }
  // Custom sequence: atoms 5, 6, 7 at positions 10, 11, 12, two cells each.
  t += UnitHeader(3, "reseq_1", "3 2", 6, 1, 1) + BlockHeader(3, 1, "reseq_1", 3, 6) + kCellHeader;
  k = 0;
  for (int a = 0; a < 3; ++a) {
    t += Cell(++k, 5 + a, 14, 'a', "cgt"[a], 5 + a, 10 + a);
    t += Cell(++k, 5 + a, 15, 'c', "cgt"[a], 5 + a, 10 + a);
  }
  return t;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: write_test_files DIR\n");
    return 2;
  }
  const std::filesystem::path dir = argv[1];
  std::filesystem::create_directories(dir);
  auto at = [&](const char* name) { return (dir / name).string(); };
  using namespace tesk::sample::tiling;
  const bool ok = WriteExperiment(at("run.EXP")) && WriteImage(at("scan.DAT")) &&
                  WriteIntensities(at("one.CEL"), 5, 4, 100.5f, true) &&
                  WriteIntensities(at("two.CEL"), 3, 2, 900.25f, false) &&
                  tesk::testing::WriteFileBytes(at("TestChip.CDF"), Layout()) &&
                  tesk::tiling::WriteProbeMap(at(kProbeMap), ProbeMapOfSample()) &&
                  tesk::tiling::WriteTilingResult(at(kResult), ResultOfSample());
  if (!ok) std::fprintf(stderr, "write_test_files: writing into %s failed\n", argv[1]);
  return ok ? 0 : 1;
}
