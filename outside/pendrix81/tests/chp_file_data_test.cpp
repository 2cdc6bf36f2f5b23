// CCHPFileData over result files written with Pendrix71's writers (versions 13 and 12) and byte
// by byte (version 7).
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "tesk/pendrix71.h"
#include "tesk/pendrix81.h"
#include "tesk/testing/bytes.h"
#include "tesk/testing/scratch_dir.h"
#include "result_units.h"

namespace {

using tesk::testing::ScratchDir;

void Header(ChipClass& chip, const char* version) {
  chip.rows = 8;
  chip.cols = 9;
  chip.algorithmName = "ExpressionTest";
  chip.algorithmVersion = version;
  chip.algorithmParameters = "Alpha=0.05;Tau=0.015 SF=2.5 NF=0.5 broken";
  chip.chipSummary = "Background=41.2;Noise=1.9";
  chip.chipType = "Demo8x9";
  chip.cellFile = "C:\\data\\s1.CEL";
  chip.algorithmIdentifier = "id-7";
}

// Two expression units (numbers 10, 11): the first with comparison data, the second without;
// and one QC unit of type 9.
void Expression(ChipClass& chip) {
  for (int n = 0; n < 2; ++n) {
    auto* e = tesk::testing::NewExpressionUnit(n, 2, n == 0, 3, [](int unit, int p, int c) {
      return tesk::testing::CellPosition{static_cast<std::uint16_t>(2 * p + c), static_cast<std::uint16_t>(1 + unit)};
    });
    ASSERT_EQ(chip.AddUnit(e, 10 + n), 0);
  }
  auto* q = new QCUnitClass(2, 9);
  for (int k = 0; k < 2; ++k) {
    q->qcCells[k].x = static_cast<std::uint16_t>(5 + k);
    q->qcCells[k].y = 7;
    q->qcCells[k].intensity = 55.5f + static_cast<float>(k);
    q->qcCells[k].pixels = 9;
    q->qcCells[k].qcValue = std::bit_cast<int>(4.5f + static_cast<float>(k));
  }
  ASSERT_EQ(chip.AddQCUnit(q), 0);
  chip.numberOfUnits = chip.maxUnit = 2;
  chip.numberOfQCUnits = 1;
}

std::string Write(const ScratchDir& dir, ChipClass& chip, int version) {
  const std::string path = dir.File(version == 13 ? "r13.CHP" : "r12.CHP");
  EXPECT_EQ(version == 13 ? chip.WriteChip(path.c_str()) : chip.WriteChip60(path.c_str()), 0);
  return path;
}

TEST(CHPFileData, HeaderItemsAndAssay) {
  ScratchDir dir;
  ChipClass chip;
  Header(chip, "5.0");
  Expression(chip);
  CCHPFileData chp;
  chp.SetFileName(Write(dir, chip, 13).c_str());
  EXPECT_EQ(chp.Exists(), 1);
  ASSERT_EQ(chp.ReadHeader(0), 1) << chp.GetError();
  const CCHPFileHeader& h = chp.GetHeader();
  EXPECT_EQ(h.GetVersion(), 13);
  EXPECT_EQ(h.GetRows(), 8);
  EXPECT_EQ(h.GetCols(), 9);
  EXPECT_EQ(h.GetNumProbeSets(), 2);
  EXPECT_EQ(h.GetNumQCProbeSets(), 1);
  EXPECT_EQ(h.GetAssayType(), ExpressionAssayType);
  EXPECT_STREQ(h.GetChipType(), "Demo8x9");
  EXPECT_STREQ(h.GetAlgorithmName(), "ExpressionTest");
  EXPECT_STREQ(h.GetAlgorithmVersion(), "5.0");
  EXPECT_STREQ(h.GetCellFile(), "C:\\data\\s1.CEL");
  EXPECT_STREQ(h.GetAlgorithmIdentifier(), "id-7");
  EXPECT_STREQ(h.GetAlgorithmParameters(), "Alpha=0.05;Tau=0.015 SF=2.5 NF=0.5 broken");
  ASSERT_EQ(h.GetNumAlgorithmParameters(), 4) << "the item without = is dropped";
  const char* names[] = {"Alpha", "Tau", "SF", "NF"};
  const char* values[] = {"0.05", "0.015", "2.5", "0.5"};
  for (int i = 0; i < 4; ++i) {
    EXPECT_STREQ(h.GetAlgorithmParameterName(i), names[i]);
    EXPECT_STREQ(h.GetAlgorithmParameterValue(i), values[i]);
  }
  EXPECT_STREQ(h.GetAlgorithmParameterName(4), "");
  EXPECT_STREQ(h.GetAlgorithmParameterValue(-1), "");
  EXPECT_STREQ(h.GetAlgorithmParameter("SF"), "2.5");
  EXPECT_STREQ(h.GetAlgorithmParameter("sf"), "");
  EXPECT_STREQ(h.GetAlgorithmParameter(nullptr), "");
  EXPECT_STREQ(h.GetSummaryParameters(), "Background=41.2;Noise=1.9");
  EXPECT_EQ(h.GetNumSummaryParameters(), 2);
  EXPECT_STREQ(h.GetSummaryParameterName(1), "Noise");
  EXPECT_STREQ(h.GetSummaryParameter("Background"), "41.2");

  CAbsStatProbeSetResult stat;
  EXPECT_EQ(chp.GetExpressionResults().GetAbsStatProbeSetResult(0, stat), 0)
      << "a header read loads no results";
  float bg = 1;
  EXPECT_EQ(chp.GetBackgroundForNonXDA(0, 0, bg), 0);
  EXPECT_EQ(bg, 0.0f);
}

TEST(CHPFileData, StatisticalRecordsOfVersion13) {
  ScratchDir dir;
  ChipClass chip;
  Header(chip, "5.0");
  Expression(chip);
  CCHPFileData chp;
  chp.SetFileName(Write(dir, chip, 13).c_str());
  ASSERT_EQ(chp.Read(0), 1) << chp.GetError();
  const CExpressionResults& r = chp.GetExpressionResults();
  EXPECT_EQ(r.GetAnalysisKind(), ComparisonStatisticalKind);

  CCompStatProbeSetResult c;
  ASSERT_EQ(r.GetCompStatProbeSetResult(0, c), 1);
  EXPECT_EQ(c.Signal, 1.5f);
  EXPECT_EQ(c.DetectionPValue, 0.125f);
  EXPECT_EQ(c.NumPairs, 2);
  EXPECT_EQ(c.NumPairsUsed, 2);
  EXPECT_EQ(c.Detection, 2);
  EXPECT_EQ(c.CommonPairs, 11);
  EXPECT_EQ(c.Change, 3);
  EXPECT_EQ(c.SignalLogRatio, 6.5f);
  EXPECT_EQ(c.SignalLogRatioLow, 7.5f);
  EXPECT_EQ(c.SignalLogRatioHigh, 10.5f);
  EXPECT_EQ(c.ChangePValue, 13.5f);

  ASSERT_EQ(r.GetCompStatProbeSetResult(1, c), 0) << "no comparison data";
  EXPECT_EQ(c.Signal, 2.5f) << "the absolute part is filled";
  EXPECT_EQ(c.NumPairsUsed, 1);
  EXPECT_EQ(c.CommonPairs, 0);
  CAbsStatProbeSetResult a;
  ASSERT_EQ(r.GetAbsStatProbeSetResult(1, a), 1);
  EXPECT_EQ(a.Signal, 2.5f);
  for (int bad : {-1, 2, 1000}) {
    EXPECT_EQ(r.GetAbsStatProbeSetResult(bad, a), 0) << bad;
    EXPECT_EQ(a.Signal, 0.0f);
  }
  CGenotypingProbeSetResult g;
  EXPECT_EQ(chp.GetGenotypingResults().GetResult(0, g), 0) << "not a genotyping unit";
  CResequencingResult s;
  EXPECT_EQ(chp.GetResequencingResults().GetResult(s), 0);
  EXPECT_EQ(s.NumBases, 0);
}

TEST(CHPFileData, BackgroundsAreStoredPairAndQCValues) {
  ScratchDir dir;
  ChipClass chip;
  Header(chip, "5.0");
  Expression(chip);
  CCHPFileData chp;
  chp.SetFileName(Write(dir, chip, 12).c_str());
  ASSERT_EQ(chp.Read(0), 1) << chp.GetError();
  EXPECT_EQ(chp.IsXDACompatibleFile(), 0);
  float bg = 0;
  ASSERT_EQ(chp.GetBackgroundForNonXDA(1, 1, bg), 1);
  EXPECT_EQ(bg, 21.25f);
  EXPECT_EQ(chp.GetBackgroundForNonXDA(1, 2, bg), 0);
  EXPECT_EQ(chp.GetBackgroundForNonXDA(-1, 0, bg), 0);
  ASSERT_EQ(chp.GetBackgroundForXDA(3, 1, bg), 1) << "mismatch cell of unit 0, pair 1";
  EXPECT_EQ(bg, 11.25f);
  ASSERT_EQ(chp.GetBackgroundForXDA(6, 7, bg), 1) << "a QC cell";
  EXPECT_EQ(bg, 5.5f);
  EXPECT_EQ(chp.GetBackgroundForXDA(8, 8, bg), 0);
  EXPECT_EQ(bg, 0.0f);

  QCCellInfo cell;
  ASSERT_EQ(chp.GetQCCellInfo(9, 1, cell), 1);
  EXPECT_EQ(cell.x, 6);
  EXPECT_EQ(cell.y, 7);
  EXPECT_EQ(cell.intensity, 56.5f);
  EXPECT_EQ(cell.pixels, 9);
  EXPECT_EQ(cell.background, 5.5f);
  EXPECT_EQ(chp.GetQCCellInfo(9, 2, cell), 0);
  EXPECT_EQ(chp.GetQCCellInfo(3, 0, cell), 0) << "no QC unit of that type";
  EXPECT_EQ(cell.x, 0);
}

TEST(CHPFileData, EmpiricalRecordsWithoutAlgorithmVersion) {
  ScratchDir dir;
  ChipClass chip;
  Header(chip, "");
  Expression(chip);
  CCHPFileData chp;
  chp.SetFileName(Write(dir, chip, 12).c_str());
  ASSERT_EQ(chp.Read(0), 1) << chp.GetError();
  const CExpressionResults& r = chp.GetExpressionResults();
  EXPECT_EQ(r.GetAnalysisKind(), ComparisonEmpiricalKind);
  CCompEmpProbeSetResult e;
  ASSERT_EQ(r.GetCompEmpProbeSetResult(0, e), 1);
  EXPECT_EQ(e.AverageDifference, 1.5f);
  EXPECT_EQ(e.LogAverage, 2.25f);
  EXPECT_EQ(e.PosNegRatio, 0.125f);
  EXPECT_EQ(e.Positive, 3);
  EXPECT_EQ(e.Negative, 4);
  EXPECT_FLOAT_EQ(e.PositiveFraction, 0.75f);
  EXPECT_EQ(e.NumPairs, 2);
  EXPECT_EQ(e.NumPairsUsed, 2);
  EXPECT_EQ(e.NumPairsUsedInAvgDiff, 1);
  EXPECT_EQ(e.AbsoluteCall, 2);
  EXPECT_EQ(e.Increase, 11);
  EXPECT_EQ(e.Decrease, 12);
  EXPECT_EQ(e.IncreaseRatio, 2.5f);
  EXPECT_EQ(e.DecreaseRatio, 3.5f);
  EXPECT_EQ(e.PositiveChange, -14) << "signed";
  EXPECT_EQ(e.NegativeChange, 15);
  EXPECT_EQ(e.IncDecRatio, 6.5f);
  EXPECT_EQ(e.DPosDNegDiffRatio, 7.5f);
  EXPECT_EQ(e.LogAvgRatioChange, 8.5f);
  EXPECT_EQ(e.AvgDiffChange, 10.5f);
  EXPECT_EQ(e.FoldChange, 11.5f);
  EXPECT_EQ(e.SortScore, 12.5f);
  EXPECT_EQ(e.DifferenceCall, 3);
  EXPECT_EQ(e.BaselineIsAbsent, 1);
  CAbsEmpProbeSetResult a;
  ASSERT_EQ(r.GetAbsEmpProbeSetResult(1, a), 1);
  EXPECT_EQ(a.AverageDifference, 2.5f);
  EXPECT_EQ(r.GetCompEmpProbeSetResult(1, e), 0);
}

// A version-7 file byte by byte: one expression unit with comparison data, fixed-point values.
TEST(CHPFileData, OldVersionsReadThroughTheSameMapping) {
  tesk::testing::ByteBuilder bytes;
  auto i32 = [&](std::int32_t v) { bytes.I32(v); };
  auto byte = [&](std::uint8_t v) { bytes.U8(v); };
  auto text = [&](const std::string& s) { bytes.Text(s); };
  auto fixedText = [&](const std::string& s, std::size_t w) { bytes.Raw(s).Fill(w - s.size()); };
  bytes.Raw("Varolith Sequence File");
  i32(7);
  text("ExpressionOld");
  text("Alpha=0.04");
  i32(4), i32(4), i32(1), i32(1), i32(0);  // rows, cols, units, maxUnit, QC units
  i32(5), i32(1), i32(3), i32(2);         // unit number, atoms, type, cells per atom
  fixedText("Old4x4", 256);
  fixedText("old.CEL", 256);
  text("id");
  i32(1), i32(1), i32(1), i32(6), i32(3), i32(250), i32(0);  // atoms, used, avg, stat1-4
  i32(1500), i32(-2000), i32(125), i32(1);                   // value1-3 (fixed), call
  i32(7250), i32(1);                                         // pair value (fixed), pair code
  for (int c = 0; c < 2; ++c) i32(c), i32(0), i32(100000), i32(2000), i32(16);
  i32(1);                                                 // comparison present
  i32(21), i32(22), i32(-24), i32(25), i32(29);           // c0, c1, c4, c5, c9
  byte(2), byte(0);                                       // b0, b1
  for (int v : {2000, 3000, 6000, 7000, 8000, 10000, 11000, 12000, 13000}) i32(v);
  i32(0);  // no composite
  const std::string& b = bytes.str();

  ScratchDir dir;
  tesk::testing::WriteFileBytes(dir.File("v7.CHP"), b);
  CCHPFileData chp;
  chp.SetFileName(dir.File("v7.CHP").c_str());
  ASSERT_EQ(chp.Read(0), 1) << chp.GetError();
  EXPECT_EQ(chp.GetHeader().GetVersion(), 7);
  EXPECT_EQ(chp.GetExpressionResults().GetAnalysisKind(), ComparisonEmpiricalKind);
  CCompEmpProbeSetResult e;
  ASSERT_EQ(chp.GetExpressionResults().GetCompEmpProbeSetResult(0, e), 1);
  EXPECT_EQ(e.AverageDifference, 1.5f);
  EXPECT_EQ(e.LogAverage, -2.0f);
  EXPECT_FLOAT_EQ(e.PositiveFraction, 0.25f);
  EXPECT_EQ(e.Positive, 6);
  EXPECT_EQ(e.Increase, 21);
  EXPECT_EQ(e.PositiveChange, -24);
  EXPECT_EQ(e.SortScore, 12.0f);
  EXPECT_EQ(e.DifferenceCall, 2);
  float bg = 0;
  ASSERT_EQ(chp.GetBackgroundForNonXDA(0, 0, bg), 1);
  EXPECT_EQ(bg, 7.25f);

  // Every shorter prefix fails cleanly and keeps what was loaded.
  for (std::size_t cut = 0; cut < b.size(); cut += 7) {
    tesk::testing::WriteFileBytes(dir.File("cut.CHP"), b.substr(0, cut));
    chp.SetFileName(dir.File("cut.CHP").c_str());
    EXPECT_EQ(chp.Read(0), 0) << cut;
    EXPECT_STRNE(chp.GetError(), "");
  }
  EXPECT_EQ(chp.GetHeader().GetVersion(), 7);
  EXPECT_STREQ(chp.GetHeader().GetAlgorithmParameter("Alpha"), "0.04");
}

TEST(CHPFileData, GenotypingAndResequencingResults) {
  ScratchDir dir;
  ChipClass chip;
  Header(chip, "1.0");
  for (int n = 0; n < 2; ++n) {
    auto* g = tesk::testing::NewGenotypingUnit(n == 0);
    if (n == 0) {
      g->genotypeIndex = 0;
      g->alleleA = "A";
      g->alleleB = "G";
      g->genotypeName = "AG";
    }
    ASSERT_EQ(chip.AddUnit(g, 30 + n), 0);
  }
  chip.numberOfUnits = chip.maxUnit = 2;
  CCHPFileData chp;
  chp.SetFileName(Write(dir, chip, 13).c_str());
  ASSERT_EQ(chp.Read(0), 1) << chp.GetError();
  EXPECT_EQ(chp.GetHeader().GetAssayType(), GenotypingAssayType);
  CGenotypingProbeSetResult g;
  ASSERT_EQ(chp.GetGenotypingResults().GetResult(0, g), 1);
  EXPECT_EQ(g.Call, 8);
  EXPECT_EQ(g.Confidence, 0.9f);
  EXPECT_EQ(g.RAS1, 0.25f);
  EXPECT_EQ(g.RAS2, 0.125f);
  EXPECT_EQ(g.BBPValue, 0.0625f);
  EXPECT_EQ(g.NoCallPValue, 0.5f);
  EXPECT_EQ(chp.GetGenotypingResults().GetResult(1, g), 0) << "no result in the file";
  EXPECT_EQ(g.Call, 0);
  CAbsStatProbeSetResult s;
  EXPECT_EQ(chp.GetExpressionResults().GetAbsStatProbeSetResult(0, s), 0);

  ChipClass reseq;
  Header(reseq, "1.0");
  auto* r = new StandardUnitClass(3, 4);
  r->wildTypeSequence = "acg";
  r->calledSequence = "atg";
  ASSERT_EQ(reseq.AddUnit(r, 40), 0);
  reseq.numberOfUnits = reseq.maxUnit = 1;
  ASSERT_EQ(reseq.composite.SetSequence("acg"), 0);
  std::memcpy(reseq.composite.calls.data, "atg", 3);
  for (int p = 0; p < 3; ++p) {
    reseq.composite.positionUnits.data[p] = 40;
    for (int k = 0; k < 4; ++k) {
      reseq.composite.SetPercentComposition(p, k, static_cast<signed char>(k == p ? 90 : 3));
    }
  }
  chp.SetFileName(Write(dir, reseq, 13).c_str());
  ASSERT_EQ(chp.Read(0), 1) << chp.GetError();
  EXPECT_EQ(chp.GetHeader().GetAssayType(), ResequencingAssayType);
  CResequencingResult q;
  ASSERT_EQ(chp.GetResequencingResults().GetResult(q), 1);
  ASSERT_EQ(q.NumBases, 3);
  EXPECT_EQ(std::string(q.ReferenceBases, 3), "acg");
  EXPECT_EQ(std::string(q.CalledBases, 3), "atg");
  EXPECT_EQ(q.PositionUnits[2], 40);
  EXPECT_EQ(q.Scores[1], 90.0f);
  EXPECT_EQ(chp.GetGenotypingResults().GetResult(0, g), 0);
}

TEST(CHPFileData, MissingDamagedAndClosedFilesAnswerNothing) {
  ScratchDir dir;
  CCHPFileData chp;
  EXPECT_EQ(chp.Exists(), 0);
  EXPECT_EQ(chp.Read(0), 0);
  chp.SetFileName(dir.File("none.CHP").c_str());
  EXPECT_EQ(chp.Read(0), 0);
  EXPECT_EQ(chp.ReadHeader(0), 0);
  EXPECT_STRNE(chp.GetError(), "");
  EXPECT_EQ(chp.GetHeader().GetAssayType(), UnknownAssayType);
  EXPECT_STREQ(chp.GetHeader().GetChipType(), "");
  tesk::testing::WriteFileBytes(dir.File("junk.CHP"), "Not a result file at all, really.");
  chp.SetFileName(dir.File("junk.CHP").c_str());
  EXPECT_EQ(chp.Read(0), 0);

  ChipClass chip;
  Header(chip, "5.0");
  Expression(chip);
  const std::string path = Write(dir, chip, 13);
  chp.SetFileName(path.c_str());
  ASSERT_EQ(chp.Read(0), 1);
  EXPECT_STREQ(chp.GetError(), "");
  const std::string whole = tesk::testing::ReadFileBytes(path);
  tesk::testing::WriteFileBytes(dir.File("short.CHP"), whole.substr(0, whole.size() - 3));
  chp.SetFileName(dir.File("short.CHP").c_str());
  EXPECT_EQ(chp.Read(0), 0);
  EXPECT_EQ(chp.GetHeader().GetNumProbeSets(), 2) << "the earlier file stays";

  chp.Close();
  EXPECT_EQ(chp.GetHeader().GetNumProbeSets(), 0);
  EXPECT_EQ(chp.GetHeader().GetNumAlgorithmParameters(), 0);
  CAbsStatProbeSetResult s;
  EXPECT_EQ(chp.GetExpressionResults().GetAbsStatProbeSetResult(0, s), 0);
  QCCellInfo cell;
  EXPECT_EQ(chp.GetQCCellInfo(9, 0, cell), 0);
}

TEST(CHPFileData, RunTimeBindingCreatesAWorkingReader) {
  ScratchDir dir;
  ChipClass chip;
  Header(chip, "5.0");
  Expression(chip);
  const std::string path = Write(dir, chip, 13);
  void* lib = ::dlopen(PENDRIX81_LIBRARY, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(lib, nullptr) << ::dlerror();
  using Create = CCHPFileData* (*)();
  auto create = reinterpret_cast<Create>(::dlsym(lib, "Pendrix81CreateCHPFileData"));
  ASSERT_NE(create, nullptr);
  std::unique_ptr<CCHPFileData> chp(create());
  ASSERT_NE(chp, nullptr);
  chp->SetFileName(path.c_str());
  ASSERT_EQ(chp->Read(0), 1);
  EXPECT_STREQ(chp->GetHeader().GetAlgorithmParameter("NF"), "0.5");
  CAbsStatProbeSetResult s;
  ASSERT_EQ(chp->GetExpressionResults().GetAbsStatProbeSetResult(1, s), 1);
  EXPECT_EQ(s.Signal, 2.5f);
  chp.reset();
  ::dlclose(lib);
}

}  // namespace
