// Writes the files that the Java tests read, with the kit's own libraries, into one directory:
//   run.EXP          experiment (3 protocol steps)
//   scan.DAT         image, 20 x 30 pixels, pixel (x, y) = x * 131 + y * 7
//   one.CEL, two.CEL intensities, 5 x 4 and 3 x 2 cells, mean (x, y) = base + x * 7 + y * 3
//                    with base 100.5 and 900.25; one.CEL masks (1, 0), marks (4, 1) an outlier
//   TestChip.CDF     layout: units gene_a_at (expression, 3 pairs), snp_1 (genotyping),
//                    reseq_1 (custom sequence, 3 positions); QC units of types 3 and 9
//   sample.bpmap, sample.bar   the tiling files of the sample data set
//   cells.CEL                  intensities of the two results below, 30 x 24 cells, base 100
//   GenoChip.CDF, geno.CHP     genotyping results over units snp_1 and snp_2: snp_1 called AB
//                              (confidence 0.9, RAS1 0.25, RAS2 0.125), snp_2 without a result
//   ReseqChip.CDF, reseq.CHP   resequencing results over unit reseq_1: reference "acg", calls
//                              "atY" (the last a C/T mixture), scores 90 at each position
// Usage: write_test_files DIR
#include <tesk/imbrel7.h>
#include <tesk/ostrel7.h>
#include <tesk/parvel.h>
#include <tesk/pendrix71.h>
#include <tesk/testing/bytes.h>

#include <bit>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "layout_text.h"
#include "tiling/tiling_writer.h"
#include "tiling_sample.h"

namespace {

using namespace tarvex_test;

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

// Custom sequence unit `unit`: atoms 5, 6, 7 at positions 10, 11, 12, two cells each.
std::string ResequencingUnit(int unit) {
  std::string t = UnitHeader(unit, "reseq_1", "3 2", 6, 1, 1) + BlockHeader(unit, 1, "reseq_1", 3, 6) + kCellHeader;
  int k = 0;
  for (int a = 0; a < 3; ++a) {
    t += Cell(++k, 5 + a, 14, 'a', "cgt"[a], 5 + a, 10 + a);
    t += Cell(++k, 5 + a, 15, 'c', "cgt"[a], 5 + a, 10 + a);
  }
  return t;
}

std::string LayoutHeader(const char* name, int units, int qc_units) {
  return std::string("[CDF]\nVersion=QX3.0\n\n[Chip]\nName=") + name + "\nRows=24\nCols=30\nNumberOfUnits=" +
         std::to_string(units) + "\nMaxUnit=" + std::to_string(units) + "\nNumQCUnits=" + std::to_string(qc_units) +
         "\nChipReference=test layout\n";
}

std::string Layout() {
  return LayoutHeader("TestChip", 3, 2) +
         "\n[QC1]\nType=3\nNumberCells=3\nCellHeader=X\tY\tPROBE\tPLEN\tATOM\tINDEX\n"
         "Cell1=0\t0\tN\t25\t0\t0\nCell2=1\t0\tN\t25\t1\t1\nCell3=2\t0\tN\t25\t2\t2\n"
         "\n[QC2]\nType=9\nNumberCells=2\nCellHeader=X\tY\tPROBE\tPLEN\tATOM\tINDEX\tMATCH\tBKGD\n"
         "Cell1=3\t0\tN\t20\t7\t3\t1\t0\nCell2=4\t0\tN\t20\t8\t4\t0\t1\n" +
         ExpressionUnit(1, "NONE", "gene_a_at", 3, 2) + GenotypingUnit(2, "snp_1", 5) + ResequencingUnit(3);
}

// ---- Results -----------------------------------------------------------------------------

void Header(ChipClass& chip, const char* algorithm, const char* chip_type) {
  chip.rows = 24;
  chip.cols = kCols;
  chip.algorithmName = algorithm;
  chip.algorithmVersion = "1.0";
  chip.algorithmParameters = "Alpha=0.05 SF=2";
  chip.chipSummary = "Background=41.2 Noise=1.9";
  chip.chipType = chip_type;
  chip.cellFile = "cells.CEL";
}

bool WriteGenotyping(const std::string& path) {
  ChipClass chip;
  Header(chip, "Genotyping", "GenoChip");
  for (int n = 0; n < 2; ++n) {
    auto* g = new BlockUnitClass(2, 4);
    g->wildTypeSequence = "ac";
    g->calledSequence = "ac";
    auto* block = new BlockUnitBlockInfoClass;
    block->name = "blk";
    block->numberOfAtoms = 2;
    g->blocks.Add(block);
    if (n == 0) {
      g->resultPresent = 1;
      g->genotypeCall = 8;  // AB
      const float v[5] = {0.9f, 0.25f, 0.125f, 0.0625f, 0.5f};
      for (int k = 0; k < 5; ++k) g->resultValues[k] = std::bit_cast<std::uint32_t>(v[k]);
    }
    if (chip.AddUnit(g, n) != 0) return false;
  }
  chip.numberOfUnits = chip.maxUnit = 2;
  return chip.WriteChip(path.c_str()) == 0;
}

bool WriteResequencing(const std::string& path) {
  ChipClass chip;
  Header(chip, "CustomSeqCall", "ReseqChip");
  auto* r = new StandardUnitClass(3, 4);
  r->wildTypeSequence = "acg";
  r->calledSequence = "atg";
  if (chip.AddUnit(r, 0) != 0) return false;
  chip.numberOfUnits = chip.maxUnit = 1;
  if (chip.composite.SetSequence("acg") != 0) return false;
  const unsigned char calls[] = {'a', 't', 171};  // the last a C/T mixture
  std::memcpy(chip.composite.calls.data, calls, 3);
  for (int p = 0; p < 3; ++p)
    for (int k = 0; k < 4; ++k) chip.composite.SetPercentComposition(p, k, static_cast<signed char>(k == p ? 90 : 3));
  return chip.WriteChip(path.c_str()) == 0;
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
                  tesk::tiling::WriteTilingResult(at(kResult), ResultOfSample()) &&
                  tesk::testing::WriteFileBytes(at("GenoChip.CDF"), LayoutHeader("GenoChip", 2, 0) +
                                                                        GenotypingUnit(1, "snp_1", 5) +
                                                                        GenotypingUnit(2, "snp_2", 11)) &&
                  WriteIntensities(at("cells.CEL"), kCols, 24, 100.0f, false) && WriteGenotyping(at("geno.CHP")) &&
                  tesk::testing::WriteFileBytes(at("ReseqChip.CDF"), LayoutHeader("ReseqChip", 1, 0) +
                                                                         ResequencingUnit(1)) &&
                  WriteResequencing(at("reseq.CHP"));
  if (!ok) std::fprintf(stderr, "write_test_files: writing into %s failed\n", argv[1]);
  return ok ? 0 : 1;
}
