// TeskCHPFile driven late-bound on result files written with Pendrix71's writers (versions 13
// and 12) and byte by byte (version 7), with the layout and intensity files they name.
#include <gtest/gtest.h>
#include <tesk/parvel.h>
#include <tesk/pendrix71.h>
#include <tesk/testing/bytes.h>

#include <bit>
#include <cfloat>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "late_bound.h"
#include "layout_text.h"
#include "result_units.h"

namespace {

using namespace tarvex_test;

constexpr const char* kSource = "VarolithTarvex.TeskCHPFile.1";
constexpr int kRows = 24;

// The layout: two expression units of two pairs (rows 2/3 and 8/9) and a QC unit of type 9
// with two cells at (3, 0) and (4, 0).
std::string ExpressionLayout() {
  return "[CDF]\nVersion=QX3.0\n\n[Chip]\nName=ExprChip\nRows=24\nCols=30\nNumberOfUnits=2\nMaxUnit=2\n"
         "NumQCUnits=1\nChipReference=test layout\n"
         "\n[QC1]\nType=9\nNumberCells=2\nCellHeader=X\tY\tPROBE\tPLEN\tATOM\tINDEX\tMATCH\tBKGD\n"
         "Cell1=3\t0\tN\t20\t7\t3\t1\t0\nCell2=4\t0\tN\t20\t8\t4\t0\t1\n" +
         ExpressionUnit(1, "NONE", "gene_a_at", 2, 2) + ExpressionUnit(2, "gene_b", "gene_b", 2, 8);
}

std::string GenotypingLayout() {
  return "[CDF]\nVersion=QX3.0\n\n[Chip]\nName=GenoChip\nRows=24\nCols=30\nNumberOfUnits=2\nMaxUnit=2\n"
         "NumQCUnits=0\nChipReference=test layout\n" +
         GenotypingUnit(1, "snp_1", 5) + GenotypingUnit(2, "snp_2", 11);
}

float Mean(int x, int y) { return 100.0f + static_cast<float>(x + 30 * y); }

// The intensity file: 30 x 24 cells, (1, 3) masked.
void WriteCells(const std::string& path) {
  ParvelClass cel;
  cel.SetName(path.c_str());
  cel.SetHeader("Cols=30\nRows=24\nAlgorithm=Percentile\nAlgorithmParameters=Percentile:75\n");
  cel.SetAlgorithm("Percentile");
  for (int y = 0; y < kRows; ++y) {
    for (int x = 0; x < kCols; ++x) {
      CellEntryClass e;
      e.X = static_cast<std::uint16_t>(x);
      e.Y = static_cast<std::uint16_t>(y);
      e.MEAN = Mean(x, y);
      e.STDV = 0.5f;
      e.NPIXELS = 16;
      e.MASKED = x == 1 && y == 3;
      cel.AddCellData(&e);
    }
  }
  ASSERT_EQ(cel.Write(), 1);
}

void Header(ChipClass& chip, const char* name, const char* version, const char* chipType) {
  chip.rows = kRows;
  chip.cols = kCols;
  chip.algorithmName = name;
  chip.algorithmVersion = version;
  chip.algorithmParameters = "Alpha=0.05 SF=2 NF=0.25";
  chip.chipSummary = "Background=41.2 Noise=1.9";
  chip.chipType = chipType;
  chip.cellFile = "C:\\scans\\run 7\\cells.CEL";
}

// Expression results over ExpressionLayout: unit i has signal 1.5 + i; unit 0 carries
// comparison data when `comparison` is set.
void Expression(ChipClass& chip, bool comparison) {
  for (int n = 0; n < 2; ++n) {
    auto* e = tesk::testing::NewExpressionUnit(n, 1, comparison && n == 0, 2, [](int unit, int p, int c) {
      return tesk::testing::CellPosition{static_cast<std::uint16_t>(p), static_cast<std::uint16_t>(2 + 6 * unit + c)};
    });
    ASSERT_EQ(chip.AddUnit(e, n), 0);
  }
  auto* q = new QCUnitClass(2, 9);
  for (int k = 0; k < 2; ++k) {
    q->qcCells[k].x = static_cast<std::uint16_t>(3 + k);
    q->qcCells[k].y = 0;
    q->qcCells[k].qcValue = std::bit_cast<int>(4.5f + static_cast<float>(k));
  }
  ASSERT_EQ(chip.AddQCUnit(q), 0);
  chip.numberOfUnits = chip.maxUnit = 2;
  chip.numberOfQCUnits = 1;
}

// Genotyping results over GenotypingLayout: unit 0 called AB, unit 1 without a result.
void Genotyping(ChipClass& chip) {
  for (int n = 0; n < 2; ++n) {
    auto* g = tesk::testing::NewGenotypingUnit(n == 0);
    ASSERT_EQ(chip.AddUnit(g, n), 0);
  }
  chip.numberOfUnits = chip.maxUnit = 2;
}

struct ChpFile : ::testing::Test {
  ScratchDir dir;
  Late chp{Create(CLSID_TeskCHPFile)};

  void SetUp() override {
    ASSERT_NE(chp.Get(), nullptr);
    ASSERT_TRUE(tesk::testing::WriteFileBytes(dir.File("ExprChip.CDF"), ExpressionLayout()));
    ASSERT_TRUE(tesk::testing::WriteFileBytes(dir.File("GenoChip.CDF"), GenotypingLayout()));
    WriteCells(dir.File("cells.CEL"));
    ASSERT_EQ(chp.Put("DataPath", dir.str()), S_OK);
    ASSERT_EQ(chp.Put("LibPath", dir.str()), S_OK);
  }

  // Writes `chip` as `name` (version 13 or 12) and reads it.
  void ReadChip(ChipClass& chip, const std::string& name, int version = 13) {
    const std::string path = dir.File(name);
    ASSERT_EQ(version == 13 ? chip.WriteChip(path.c_str()) : chip.WriteChip60(path.c_str()), 0);
    ASSERT_EQ(chp.Put("Name", name), S_OK);
    ASSERT_EQ(chp.Call("Read"), S_OK) << chp.Error().description;
  }
  void ReadExpression(const char* version, bool comparison, int fileVersion = 13) {
    ChipClass chip;
    Header(chip, "ExpressionStat", version, "ExprChip");
    Expression(chip, comparison);
    ReadChip(chip, "expr.CHP", fileVersion);
  }
  void ReadGenotyping() {
    ChipClass chip;
    Header(chip, "Genotyping", "1.0", "GenoChip");
    Genotyping(chip);
    ReadChip(chip, "geno.CHP");
  }

  HRESULT PutLong(const std::string& member, LONG v) { return chp.Invoke(member, DISPATCH_PROPERTYPUT, {Long(v)}, nullptr); }
  void Load(LONG filter, LONG qcFilter = ALL_QC_TYPE) {
    ASSERT_EQ(PutLong("FilterProbeSet", filter), S_OK);
    ASSERT_EQ(PutLong("FilterQCType", qcFilter), S_OK);
    ASSERT_EQ(chp.Call("LoadProbeSets"), S_OK);
  }
  VARIANT At(const std::string& member, LONG index) {
    VARIANT r;
    VariantInit(&r);
    EXPECT_EQ(chp.Call(member, {Long(index)}, &r), S_OK) << member;
    return r;
  }
  LONG NumOf(const std::string& member, LONG index) { return AsLong(At(member, index)); }
  float RealOf(const std::string& member, LONG index) { return AsFloat(At(member, index)); }
  void ExpectFailure(HRESULT hr, HRESULT expected, const std::string& description) {
    EXPECT_EQ(hr, expected);
    EXPECT_EQ(chp.Error().description, description);
    EXPECT_EQ(chp.Error().source, kSource);
  }
};

TEST_F(ChpFile, HeaderPropertiesAnswerOnlyAfterARead) {
  EXPECT_EQ(chp.Str("ChipType"), "");
  EXPECT_EQ(chp.Num("NumProbeSets"), 0);
  VARIANT name, value;
  VariantInit(&name);
  VariantInit(&value);
  ASSERT_EQ(chp.Call("GetAlgParam", {Long(0), Out(&name), Out(&value)}), S_OK);
  EXPECT_EQ(AsText(name), "");
  EXPECT_EQ(AsText(value), "");
  VariantClear(&name);
  VariantClear(&value);

  ReadExpression("5.0", true);
  EXPECT_EQ(chp.Str("ChipType"), "ExprChip");
  EXPECT_EQ(chp.Str("CellFile"), "C:\\scans\\run 7\\cells.CEL");
  EXPECT_EQ(chp.Str("Algorithm"), "ExpressionStat");
  EXPECT_EQ(chp.Str("AlgVersion"), "5.0");
  EXPECT_EQ(chp.Num("AlgType"), STATISTICAL_ALGORITHM_TYPE);
  EXPECT_EQ(chp.Num("Rows"), kRows);
  EXPECT_EQ(chp.Num("Cols"), kCols);
  EXPECT_EQ(chp.Num("NumProbeSets"), 2);
  EXPECT_EQ(chp.Num("NumQCProbeSets"), 1);
  EXPECT_EQ(chp.Str("AlgParams"), "Alpha=0.05 SF=2 NF=0.25");
  EXPECT_EQ(chp.Num("NumAlgParams"), 3);
  EXPECT_EQ(chp.Str("ChipSummary"), "Background=41.2 Noise=1.9");
  EXPECT_EQ(chp.Num("NumChipSummary"), 2);
  EXPECT_FALSE(chp.Str("Date").empty());

  ASSERT_EQ(chp.Call("GetChipSummary", {Long(1), Out(&name), Out(&value)}), S_OK);
  EXPECT_EQ(AsText(name), "Noise");
  EXPECT_EQ(AsText(value), "1.9");
  VariantClear(&name);
  VariantClear(&value);
  ExpectFailure(chp.Call("GetAlgParam", {Long(3), Out(&name), Out(&value)}), E_FAIL,
                "Failure in CTeskCHPFile-GetAlgParam: Index out of range error");
  ExpectFailure(chp.Call("GetChipSummary", {Long(-1), Out(&name), Out(&value)}), E_FAIL,
                "Failure in CTeskCHPFile-GetChipSummary: Index out of range error");

  VARIANT names, values;
  VariantInit(&names);
  VariantInit(&values);
  ASSERT_EQ(chp.Call("GetAlgParams", {Out(&names), Out(&values)}), S_OK);
  ASSERT_EQ(names.vt, VT_ARRAY | VT_BSTR);
  LONG upper = -1, i = 2;
  SafeArrayGetUBound(values.parray, 1, &upper);
  EXPECT_EQ(upper, 2);
  BSTR third = nullptr;
  SafeArrayGetElement(values.parray, &i, &third);
  EXPECT_EQ(tesk::FromBstr(third), "0.25");
  SysFreeString(third);
  VariantClear(&names);
  VariantClear(&values);
  ASSERT_EQ(chp.Call("GetChipSummaries", {Out(&names), Out(&values)}), S_OK);
  SafeArrayGetUBound(names.parray, 1, &upper);
  EXPECT_EQ(upper, 1);
  VariantClear(&names);
  VariantClear(&values);
}

TEST_F(ChpFile, AlgorithmTypeFollowsTheNamePrefix) {
  struct Case {
    const char* name;
    const char* version;
    LONG type;
  } cases[] = {{"ExpressionXYZ", "", EMPIRICAL_ALGORITHM_TYPE},    {"ExpressionXYZ", "5", STATISTICAL_ALGORITHM_TYPE},
               {"CustomSeqCall", "", CUSTOMSEQ_ALGORITHM_TYPE},    {"GenotypingX", "", GENOTYPING_ALGORITHM_TYPE},
               {"WholeGenomeY", "", GENOTYPING_ALGORITHM_TYPE},    {"DynamicModel", "", GENOTYPING_ALGORITHM_TYPE},
               {"Other", "", GENOTYPING_ALGORITHM_TYPE}};  // an unknown name keeps the last type
  for (const Case& c : cases) {
    ChipClass chip;
    Header(chip, c.name, c.version, "ExprChip");
    Expression(chip, false);
    ReadChip(chip, "alg.CHP");
    EXPECT_EQ(chp.Num("AlgType"), c.type) << c.name << " " << c.version;
  }
}

TEST_F(ChpFile, ReadFailuresSayWhat) {
  Late fresh{Create(CLSID_TeskCHPFile)};
  EXPECT_EQ(fresh.Call("Read"), E_FAIL);
  EXPECT_EQ(fresh.Error().description, "Failure in ITeskCHPFile-Read: The chip file name should not be empty");
  ASSERT_EQ(fresh.Put("Name", "x.CHP"), S_OK);
  ASSERT_EQ(fresh.Put("DataPath", dir.str()), S_OK);
  EXPECT_EQ(fresh.Call("ReadHeader"), E_FAIL);
  EXPECT_EQ(fresh.Error().description, "Failure in ITeskCHPFile-ReadHeader: Library path should not be empty");

  ASSERT_EQ(chp.Put("Name", "missing.CHP"), S_OK);
  ExpectFailure(chp.Call("Read"), E_FAIL, "Failure in ITeskCHPFile-Read: The chip file does not exist");
  ExpectFailure(chp.Put("Name", "a.CEL"), E_FAIL, "Failure in ITeskCHPFile-put_Name: Chip file extension (.CHP) is expected");

  ASSERT_TRUE(tesk::testing::WriteFileBytes(dir.File("junk.CHP"), "Not a result file at all, really."));
  ASSERT_EQ(chp.Put("Name", "junk.CHP"), S_OK);
  EXPECT_EQ(chp.Call("Read"), E_FAIL);
  EXPECT_EQ(chp.Error().description.rfind("Failure in ITeskCHPFile-Read: Cannot read the chip file - ", 0), 0u)
      << chp.Error().description;
  EXPECT_EQ(chp.Call("ReadHeader"), E_FAIL);
  EXPECT_EQ(chp.Error().description.rfind("Failure in ITeskCHPFile-ReadHeader: Cannot read the chip file header - ", 0), 0u);
  EXPECT_EQ(chp.Num("NumProbeSets"), 0);
}

// A header-only read answers the header and no results, even after a full read: the reader
// holds the header alone then.
TEST_F(ChpFile, ReadHeaderKeepsTheHeaderAndLoadsNoProbeSets) {
  ReadExpression("5.0", false);
  ChipClass chip;
  Header(chip, "ExpressionStat", "", "ExprChip");
  Expression(chip, false);
  ASSERT_EQ(chip.WriteChip60(dir.File("h.CHP").c_str()), 0);
  ASSERT_EQ(chp.Put("Name", "h.CHP"), S_OK);
  ASSERT_EQ(chp.Call("ReadHeader"), S_OK);
  EXPECT_EQ(NumOf("GetProbeSetType", 0), UNKNOWN_PROBESET_TYPE);
  EXPECT_EQ(chp.Num("AlgType"), EMPIRICAL_ALGORITHM_TYPE);
  EXPECT_EQ(chp.Num("NumProbeSets"), 2);
  EXPECT_EQ(chp.Num("NumAlgParams"), 3);
  Load(FILTER_ANALYSIS_PROBESET_TYPE);
  EXPECT_EQ(chp.Num("NumProbeSetsLoaded"), 0);
}

// Names taken from the file are file names: a directory part, in either form, is dropped.
TEST_F(ChpFile, CompanionFilesAreLookedUpByTheirFileNamesOnly) {
  ChipClass chip;
  Header(chip, "ExpressionStat", "5.0", "..\\..\\ExprChip");
  chip.cellFile = "../elsewhere/cells.CEL";
  Expression(chip, false);
  ReadChip(chip, "paths.CHP");
  Load(FILTER_QC_PROBESET_TYPE);
  EXPECT_EQ(chp.Num("NumProbeSetsLoaded"), 1) << "the layout was found in the library directory";
  Late control{Create(CLSID_TeskControlProbeSet)};
  EXPECT_EQ(chp.Call("GetControlProbeSet", {Long(0), Object(control.Get())}), S_OK) << chp.Error().description;
}

TEST_F(ChpFile, StatisticalAccessorsReadTheRecordsOfTheirKind) {
  ReadExpression("5.0", true);
  EXPECT_EQ(NumOf("GetExprCompDataExists", 0), 1);
  EXPECT_EQ(NumOf("GetExprNumPairs", 1), 2);
  EXPECT_EQ(NumOf("GetExprNumPairsUsed", 1), 1);
  EXPECT_EQ(RealOf("GetExprSignal", 1), 2.5f);
  EXPECT_EQ(RealOf("GetExprDetectionPValue", 0), 0.125f);
  EXPECT_EQ(NumOf("GetExprDetection", 0), 1);
  EXPECT_EQ(NumOf("GetExprCommonPairs", 0), 11);
  EXPECT_EQ(RealOf("GetExprSignalLogRatio", 0), 6.5f);
  EXPECT_EQ(RealOf("GetExprSignalLogRatioLow", 0), 7.5f);
  EXPECT_EQ(RealOf("GetExprSignalLogRatioHigh", 0), 10.5f);
  EXPECT_EQ(NumOf("GetExprChange", 0), 2);
  EXPECT_FLOAT_EQ(RealOf("GetExprChangePValue", 0), 13.5f);
  // Unit 1 carries no comparison; indices outside the file answer defaults.
  EXPECT_EQ(NumOf("GetExprChange", 1), NO_COMP_CALL_TYPE);
  EXPECT_EQ(RealOf("GetExprSignal", 99), 0.0f);
  EXPECT_EQ(NumOf("GetExprDetection", -1), NO_ABS_CALL_TYPE);
  // Genotyping accessors on an expression file answer their defaults.
  EXPECT_EQ(NumOf("GetGenoCall", 0), GENOTYPE_NO_CALL);
  EXPECT_EQ(RealOf("GetGenoConfidence", 0), 0.0f);
}

TEST_F(ChpFile, EmpiricalFilesAnswerOnlyPairCountsDirectly) {
  ReadExpression("", true, 12);
  EXPECT_EQ(chp.Num("AlgType"), EMPIRICAL_ALGORITHM_TYPE);
  EXPECT_EQ(NumOf("GetExprCompDataExists", 0), 1);
  EXPECT_EQ(NumOf("GetExprNumPairs", 0), 2);
  EXPECT_EQ(NumOf("GetExprNumPairsUsed", 0), 2);
  EXPECT_EQ(RealOf("GetExprSignal", 0), 0.0f);
  EXPECT_EQ(NumOf("GetExprDetection", 0), NO_ABS_CALL_TYPE);
  EXPECT_EQ(NumOf("GetExprChange", 0), NO_COMP_CALL_TYPE);
}

TEST_F(ChpFile, GenotypingAccessorsMapTheCallAndShareTheRASFields) {
  ReadGenotyping();
  EXPECT_EQ(chp.Num("AlgType"), GENOTYPING_ALGORITHM_TYPE);
  EXPECT_EQ(NumOf("GetGenoCall", 0), GENOTYPE_AB_CALL);
  EXPECT_EQ(RealOf("GetGenoConfidence", 0), 0.9f);
  EXPECT_EQ(RealOf("GetGenoRAS1", 0), 0.25f);
  EXPECT_EQ(RealOf("GetGenoAAPValue", 0), 0.25f);
  EXPECT_EQ(RealOf("GetGenoRAS2", 0), 0.125f);
  EXPECT_EQ(RealOf("GetGenoABPValue", 0), 0.125f);
  EXPECT_EQ(RealOf("GetGenoBBPValue", 0), 0.0625f);
  EXPECT_EQ(RealOf("GetGenoNoCallPValue", 0), 0.5f);
  EXPECT_EQ(NumOf("GetGenoCall", 1), GENOTYPE_NO_CALL) << "no result stored";
  EXPECT_EQ(RealOf("GetExprSignal", 0), 0.0f);
  EXPECT_EQ(NumOf("GetExprCompDataExists", 0), 0);
  EXPECT_EQ(NumOf("GetExprNumPairs", 0), 0);
}

TEST_F(ChpFile, FiltersTakeAllOrNoneOfTheResultsAndQCUnitsFromTheLayout) {
  Load(FILTER_ANALYSIS_PROBESET_TYPE);
  EXPECT_EQ(chp.Num("NumProbeSetsLoaded"), 0) << "nothing before a read";

  ReadGenotyping();
  Load(FILTER_ANALYSIS_PROBESET_TYPE);
  EXPECT_EQ(chp.Num("NumProbeSetsLoaded"), 0);
  Load(FILTER_GENOTYPE_PROBESET_TYPE);
  EXPECT_EQ(chp.Num("NumProbeSetsLoaded"), 2);
  EXPECT_EQ(NumOf("GetProbeSetType", 1), GENOTYPE_PROBESET_TYPE);

  ReadExpression("5.0", false);
  Load(FILTER_ALL_PROBESET_TYPE);
  EXPECT_EQ(chp.Num("NumProbeSetsLoaded"), 3);
  EXPECT_EQ(NumOf("GetProbeSetType", 0), PROBESET_TYPE);
  EXPECT_EQ(NumOf("GetProbeSetType", 2), QC_PROBESET_TYPE);
  EXPECT_EQ(NumOf("GetProbeSetType", 3), UNKNOWN_PROBESET_TYPE);
  Load(FILTER_QC_PROBESET_TYPE, CHECKERBOARD_NEGATIVE_QC_TYPE);
  EXPECT_EQ(chp.Num("NumProbeSetsLoaded"), 0) << "the QC unit is of type 9";
  Load(FILTER_QC_PROBESET_TYPE, 1 << 8);
  EXPECT_EQ(chp.Num("NumProbeSetsLoaded"), 1);
  Load(FILTER_CUSTOMSEQ_PROBESET_TYPE);
  EXPECT_EQ(chp.Num("NumProbeSetsLoaded"), 0);
}

struct ChpViews : ChpFile {
  Late set{Create(CLSID_TeskProbeSet)};
  Late pair{Create(CLSID_TeskProbePair)};
  Late probe{Create(CLSID_TeskProbe)};

  void SetAt(LONG index) { ASSERT_EQ(chp.Call("GetProbeSet", {Long(index), Object(set.Get())}), S_OK) << chp.Error().description; }
  void PairAt(LONG index) { ASSERT_EQ(set.Call("GetProbePair", {Long(index), Object(pair.Get())}), S_OK) << set.Error().description; }
};

TEST_F(ChpViews, ArraysPositionsAndNullArguments) {
  VARIANT all;
  VariantInit(&all);
  ASSERT_EQ(chp.Call("GetProbeSets", {Out(&all)}), S_OK);
  EXPECT_EQ(all.vt, VT_EMPTY) << "nothing loaded";
  // Null outputs can only come through the interface itself.
  tesk::ComPtr<ITeskCHPFile> direct;
  ASSERT_EQ(chp.Get()->QueryInterface(IID_ITeskCHPFile, direct.PutVoid()), S_OK);
  EXPECT_EQ(direct->GetChipSummaries(nullptr, nullptr), E_POINTER);
  EXPECT_EQ(TakeError().description,
            "Failure in ITeskCHPFile-GetChipSummaries: The input safearray pointer should not be NULL");

  // A data path that ends in a separator gets no second one before the intensity file's name.
  ASSERT_EQ(chp.Put("DataPath", dir.str() + "/"), S_OK);
  ReadExpression("5.0", false);
  Load(FILTER_ALL_PROBESET_TYPE);
  ASSERT_EQ(chp.Call("GetProbeSets", {Out(&all)}), S_OK);
  std::vector<Late> sets = Items(all);
  ASSERT_EQ(sets.size(), 3u);
  EXPECT_EQ(sets[1].Real("Signal"), 2.5f);
  EXPECT_EQ(sets[2].Num("ProbeSetType"), QC_PROBESET_TYPE);
  VariantClear(&all);
  ExpectFailure(chp.Call("GetProbeSet", {Long(-1), Object(set.Get())}), E_FAIL,
                "Failure in ITeskCHPFile-GetProbeSet: Index out of range error");
  ExpectFailure(chp.Call("GetProbeSet", {Long(0), Object(nullptr)}), E_POINTER,
                "Failure in ITeskCHPFile-GetProbeSet: The probe set interface pointer should not be NULL");
  ExpectFailure(chp.Call("GetControlProbeSet", {Long(0), Object(nullptr)}), E_POINTER,
                "Failure in ITeskCHPFile-GetControlProbeSet: The probe set interface pointer should not be NULL");
  Late control{Create(CLSID_TeskControlProbeSet)};
  ASSERT_EQ(chp.Call("GetControlProbeSet", {Long(0), Object(control.Get())}), S_OK) << chp.Error().description;
  ASSERT_EQ(control.Call("GetQCProbe", {Long(0), Object(probe.Get())}), S_OK);
  EXPECT_EQ(probe.Real("Intensity"), Mean(3, 0)) << "the intensity file was found";
}

TEST_F(ChpViews, StatisticalViewsShowTheirRecordAndDefaultsForTheEmpiricalFields) {
  ReadExpression("5.0", true);
  Load(FILTER_ALL_PROBESET_TYPE);
  SetAt(0);
  EXPECT_EQ(set.Num("ProbeSetType"), STAT_PROBESET_TYPE);
  EXPECT_EQ(set.Str("Name"), "gene_a_at") << "the layout was read to choose the QC units";
  EXPECT_EQ(set.Num("CompDataExists"), 1);
  EXPECT_EQ(set.Num("NumPairs"), 2);
  EXPECT_EQ(set.Num("NumPairsUsed"), 2);
  EXPECT_EQ(set.Real("Signal"), 1.5f);
  EXPECT_EQ(set.Num("Detection"), 1);
  EXPECT_EQ(set.Real("DetectionPValue"), 0.125f);
  EXPECT_EQ(set.Num("CommonPairs"), 11);
  EXPECT_EQ(set.Real("SignalLogRatio"), 6.5f);
  EXPECT_EQ(set.Real("SignalLogRatioLow"), 7.5f);
  EXPECT_EQ(set.Real("SignalLogRatioHigh"), 10.5f);
  EXPECT_EQ(set.Num("Change"), 2);
  EXPECT_FLOAT_EQ(set.Real("ChangePValue"), 13.5f);
  EXPECT_EQ(set.Real("AverageDifference"), FLT_MAX);
  EXPECT_EQ(set.Num("Positive"), 2147483647);
  EXPECT_EQ(set.Num("AbsoluteCall"), NO_ABS_CALL_TYPE);
  EXPECT_EQ(set.Num("DifferenceCall"), NO_COMP_CALL_TYPE);
  EXPECT_EQ(set.Num("NumQCProbes"), 0);

  SetAt(1);
  EXPECT_EQ(set.Str("Name"), "gene_b");
  EXPECT_EQ(set.Real("Signal"), 2.5f);
  EXPECT_EQ(set.Real("SignalLogRatio"), FLT_MAX) << "unit 1 carries no comparison";
  EXPECT_EQ(set.Num("Change"), NO_COMP_CALL_TYPE);
}

TEST_F(ChpViews, EmpiricalViewsOfVersion12ShowTheirRecord) {
  ReadExpression("", true, 12);
  Load(FILTER_ANALYSIS_PROBESET_TYPE);
  SetAt(0);
  EXPECT_EQ(set.Num("ProbeSetType"), EMP_PROBESET_TYPE);
  EXPECT_EQ(set.Str("Name"), "") << "the layout is not read yet";
  EXPECT_EQ(set.Real("AverageDifference"), 1.5f);
  EXPECT_EQ(set.Real("LogAverage"), 2.25f);
  EXPECT_EQ(set.Real("PosNegRatio"), 0.125f);
  EXPECT_EQ(set.Num("Positive"), 3);
  EXPECT_EQ(set.Num("Negative"), 4);
  EXPECT_FLOAT_EQ(set.Real("PositiveFraction"), 0.75f);
  EXPECT_EQ(set.Num("NumPairsUsedInAvgDiff"), 1);
  EXPECT_EQ(set.Num("AbsoluteCall"), 1);
  EXPECT_EQ(set.Num("Increase"), 11);
  EXPECT_EQ(set.Num("Decrease"), 12);
  EXPECT_EQ(set.Num("PositiveChange"), -14);
  EXPECT_EQ(set.Num("NegativeChange"), 15);
  EXPECT_EQ(set.Real("IncreaseRatio"), 2.5f);
  EXPECT_EQ(set.Real("DecreaseRatio"), 3.5f);
  EXPECT_EQ(set.Real("IncDecRatio"), 6.5f);
  EXPECT_EQ(set.Real("DPosDNegDiffRatio"), 7.5f);
  EXPECT_EQ(set.Real("LogAvgRatioChange"), 8.5f);
  EXPECT_EQ(set.Real("AvgDiffChange"), 10.5f);
  EXPECT_EQ(set.Real("FoldChange"), 11.5f);
  EXPECT_EQ(set.Real("SortScore"), 12.5f);
  EXPECT_EQ(set.Num("DifferenceCall"), 2);
  EXPECT_EQ(set.Num("BaselineIsAbsent"), 1);
  EXPECT_EQ(set.Real("Signal"), FLT_MAX);
  EXPECT_EQ(set.Num("CommonPairs"), 0);
  VARIANT name;
  VariantInit(&name);
  ASSERT_EQ(chp.Call("GetProbeSetName", {Long(1)}, &name), S_OK);
  EXPECT_EQ(AsText(name), "") << "still no layout";
  VariantClear(&name);
  ExpectFailure(chp.Call("GetProbeSetName", {Long(2)}, &name), E_FAIL,
                "Failure in ITeskCHPFile-GetProbeSetName: Index out of range error");
}

// Version 7, written byte by byte: an empirical comparison analysis with fixed-point values.
TEST_F(ChpViews, Version7FilesShowThroughTheSameViews) {
  tesk::testing::ByteBuilder bytes;
  auto i32 = [&](std::int32_t v) { bytes.I32(v); };
  bytes.Raw("Varolith Sequence File");
  i32(7);
  bytes.Text("ExpressionOld");
  bytes.Text("SF=4");
  i32(kRows), i32(kCols), i32(1), i32(1), i32(0);  // rows, cols, units, maxUnit, QC units
  i32(0), i32(2), i32(3), i32(2);                  // unit number, atoms, type, cells per atom
  bytes.Raw("ExprChip").Fill(256 - 8);
  bytes.Raw("D:\\old\\cells.CEL").Fill(256 - 16);
  bytes.Text("id");
  i32(2), i32(2), i32(1), i32(6), i32(3), i32(250), i32(0);  // atoms, used, avg, stat1-4
  i32(1500), i32(-2000), i32(125), i32(1);                   // value1-3 (fixed), call
  for (int p = 0; p < 2; ++p) {
    i32(7250 + 1000 * p), i32(1);                            // pair value (fixed), pair code
    for (int c = 0; c < 2; ++c) i32(p), i32(2 + c), i32(100000), i32(2000), i32(16);
  }
  i32(1);                                                    // comparison present
  i32(21), i32(22), i32(-24), i32(25), i32(29);              // c0, c1, c4, c5, c9
  bytes.U8(2).U8(0);                                         // b0, b1
  for (int v : {2000, 3000, 6000, 7000, 8000, 10000, 11000, 12000, 13000}) i32(v);
  i32(0);  // no composite
  ASSERT_TRUE(tesk::testing::WriteFileBytes(dir.File("v7.CHP"), bytes.str()));
  ASSERT_EQ(chp.Put("Name", "v7.CHP"), S_OK);
  ASSERT_EQ(chp.Call("Read"), S_OK) << chp.Error().description;
  EXPECT_EQ(chp.Num("AlgType"), EMPIRICAL_ALGORITHM_TYPE);
  Load(FILTER_ANALYSIS_PROBESET_TYPE);
  ASSERT_EQ(chp.Num("NumProbeSetsLoaded"), 1);
  SetAt(0);
  EXPECT_EQ(set.Num("ProbeSetType"), EMP_PROBESET_TYPE);
  EXPECT_EQ(set.Real("LogAverage"), -2.0f);
  EXPECT_EQ(set.Num("PositiveChange"), -24);
  EXPECT_EQ(set.Real("SortScore"), 12.0f);
  PairAt(1);
  EXPECT_EQ(pair.Real("Background"), 8.25f);
  EXPECT_EQ(pair.Real("PMIntensity"), Mean(1, 2) * 4) << "scaled by SF alone";
}

TEST_F(ChpViews, PairsReadTheLayoutAndIntensitiesOnFirstNeedAndScaleBySFAndNF) {
  ReadExpression("5.0", false);
  Load(FILTER_ANALYSIS_PROBESET_TYPE);
  SetAt(0);
  PairAt(1);
  EXPECT_EQ(pair.Num("ProbeSetNumber"), 0);
  EXPECT_EQ(pair.Num("ProbePairNumber"), 1);
  EXPECT_EQ(pair.Num("PMPosX"), 1);
  EXPECT_EQ(pair.Num("PMPosY"), 2);
  EXPECT_EQ(pair.Num("MMPosY"), 3);
  // SF = 2 and NF = 0.25: the raw intensity times 0.5; deviations and pixels are not scaled.
  EXPECT_EQ(pair.Real("PMIntensity"), Mean(1, 2) * 0.5f);
  EXPECT_EQ(pair.Real("MMIntensity"), Mean(1, 3) * 0.5f);
  EXPECT_EQ(pair.Real("PMStdDev"), 0.5f);
  EXPECT_EQ(pair.Num("MMPixels"), 16);
  EXPECT_EQ(pair.Num("MMMasked"), 1);
  EXPECT_EQ(pair.Num("UseProbePair"), MASKED_PROBEPAIR_USAGE_TYPE);
  EXPECT_EQ(pair.Real("Background"), 11.25f);

  VARIANT all;
  VariantInit(&all);
  ASSERT_EQ(set.Call("GetProbePairs", {Out(&all)}), S_OK);
  std::vector<Late> pairs = Items(all);
  ASSERT_EQ(pairs.size(), 2u);
  EXPECT_EQ(pairs[0].Real("Background"), 10.25f);
  EXPECT_EQ(pairs[0].Num("UseProbePair"), USE_PROBEPAIR_USAGE_TYPE);
  VariantClear(&all);
}

TEST_F(ChpViews, QCProbesCarryTheStoredBackgrounds) {
  ReadExpression("5.0", false);
  Load(FILTER_QC_PROBESET_TYPE);
  ASSERT_EQ(chp.Num("NumProbeSetsLoaded"), 1);
  SetAt(0);
  EXPECT_EQ(set.Num("ProbeSetType"), QC_PROBESET_TYPE);
  EXPECT_EQ(set.Num("QCType"), 256);
  EXPECT_EQ(set.Real("Signal"), FLT_MAX) << "QC views show no results";
  ASSERT_EQ(set.Call("GetQCProbe", {Long(1), Object(probe.Get())}), S_OK);
  EXPECT_EQ(probe.Num("PosX"), 4);
  EXPECT_EQ(probe.Real("Background"), 5.5f);
  EXPECT_EQ(probe.Real("Intensity"), Mean(4, 0));
  EXPECT_EQ(probe.Num("ProbeType"), QC_PROBE_TYPE);

  Late control{Create(CLSID_TeskControlProbeSet)};
  ASSERT_EQ(chp.Call("GetControlProbeSet", {Long(0), Object(control.Get())}), S_OK);
  EXPECT_EQ(control.Num("NumQCProbes"), 2);
  ASSERT_EQ(control.Call("GetQCProbe", {Long(0), Object(probe.Get())}), S_OK);
  EXPECT_EQ(probe.Real("Background"), 4.5f);
  ExpectFailure(chp.Call("GetControlProbeSet", {Long(1), Object(control.Get())}), E_FAIL,
                "Failure in ITeskCHPFile-GetControlProbeSet: Index out of range error");
  VARIANT all;
  VariantInit(&all);
  ASSERT_EQ(chp.Call("GetControlProbeSets", {Out(&all)}), S_OK);
  EXPECT_EQ(Items(all).size(), 1u);
  VariantClear(&all);
}

TEST_F(ChpViews, MissingCompanionFilesAreReportedWithTheirTexts) {
  ReadExpression("5.0", false);
  Load(FILTER_ANALYSIS_PROBESET_TYPE);
  SetAt(0);
  std::filesystem::remove(dir.File("ExprChip.CDF"));
  EXPECT_EQ(set.Call("GetProbePair", {Long(0), Object(pair.Get())}), E_FAIL);
  EXPECT_EQ(set.Error().description, "Failure in ITeskProbeSet-GetProbePair: Cannot read the CDF file - ");
  EXPECT_EQ(set.Real("Signal"), 1.5f) << "results need no layout";

  ASSERT_TRUE(tesk::testing::WriteFileBytes(dir.File("ExprChip.CDF"), ExpressionLayout()));
  std::filesystem::remove(dir.File("cells.CEL"));
  Load(FILTER_QC_PROBESET_TYPE);
  Late control{Create(CLSID_TeskControlProbeSet)};
  ExpectFailure(chp.Call("GetControlProbeSet", {Long(0), Object(control.Get())}), E_POINTER,
                "Failure in ITeskCHPFile-GetControlProbeSet: Unable to access the data, it has not been loaded.");
  PairAt(0);
  EXPECT_EQ(pair.Num("PMPosX"), 0);
  EXPECT_EQ(pair.Real("PMIntensity"), 0.0f) << "no intensities";
  EXPECT_EQ(pair.Real("Background"), 10.25f);

  // A new read names the files again and views read them on next use; a pair reads neither
  // layout nor intensities of its own accord until its set has read the layout.
  WriteCells(dir.File("cells.CEL"));
  ASSERT_EQ(chp.Call("Read"), S_OK);
  EXPECT_EQ(pair.Real("PMIntensity"), 0.0f);
  PairAt(0);
  EXPECT_EQ(pair.Real("PMIntensity"), Mean(0, 2) * 0.5f);
}

TEST_F(ChpViews, GenotypeViewsShowTheCallsOfGenotypingResultsOnly) {
  ReadGenotyping();
  Load(FILTER_GENOTYPE_PROBESET_TYPE);
  Late geno{Create(CLSID_TeskGenotypeProbeSet)};
  ASSERT_EQ(chp.Call("GetGenotypeProbeSet", {Long(0), Object(geno.Get())}), S_OK);
  EXPECT_EQ(geno.Num("Call"), GENOTYPE_AB_CALL);
  EXPECT_EQ(geno.Real("Confidence"), 0.9f);
  EXPECT_EQ(geno.Real("AA_PValue"), 0.25f);
  EXPECT_EQ(geno.Real("RAS2"), 0.125f);
  EXPECT_EQ(geno.Real("BB_PValue"), 0.0625f);
  EXPECT_EQ(geno.Real("NoCall_PValue"), 0.5f);
  EXPECT_EQ(geno.Num("NumGroups"), 2) << "the layout is read on need";
  ASSERT_EQ(chp.Call("GetGenotypeProbeSet", {Long(0), Object(geno.Get())}), S_OK);
  EXPECT_EQ(geno.Str("SNPID"), "snp_1") << "named from the layout now that it is read";
  // A probe of a list shows its intensity.
  Late group{Create(CLSID_TeskGenotypeProbeGroup)};
  Late list{Create(CLSID_TeskGenotypeProbeList)};
  ASSERT_EQ(geno.Call("GetProbeGroupByIndex", {Long(0), Object(group.Get())}), S_OK);
  ASSERT_EQ(group.Call("GetProbeListByIndex", {Long(0), Object(list.Get())}), S_OK);
  ASSERT_EQ(list.Call("GetProbeByIndex", {Long(1), Object(probe.Get())}), S_OK);
  EXPECT_EQ(probe.Real("Intensity"), Mean(probe.Num("PosX"), probe.Num("PosY")));

  VARIANT all;
  VariantInit(&all);
  ASSERT_EQ(chp.Call("GetGenotypeProbeSets", {Out(&all)}), S_OK);
  std::vector<Late> sets = Items(all);
  ASSERT_EQ(sets.size(), 2u);
  EXPECT_EQ(sets[1].Num("Call"), GENOTYPE_NO_CALL);
  VariantClear(&all);
  ExpectFailure(chp.Call("GetGenotypeProbeSet", {Long(2), Object(geno.Get())}), E_FAIL,
                "Failure in ITeskCHPFile-GetGenotypeProbeSet: Index out of range error");
  // Probe set views are for expression results; custom-sequence views are not handed out here.
  SetAt(0);
  EXPECT_EQ(set.Num("ProbeSetType"), UNKNOWN_PROBESET_TYPE);
  VARIANT untouched;
  VariantInit(&untouched);
  untouched.vt = VT_I4;
  untouched.lVal = 77;
  EXPECT_EQ(chp.Call("GetCustomSeqProbeSets", {Out(&untouched)}), S_OK);
  EXPECT_EQ(untouched.vt, VT_I4);
  EXPECT_EQ(untouched.lVal, 77);

  ReadExpression("5.0", false);
  Load(FILTER_ALL_PROBESET_TYPE);
  ASSERT_EQ(chp.Call("GetGenotypeProbeSet", {Long(0), Object(geno.Get())}), S_OK);
  EXPECT_EQ(geno.Num("Call"), GENOTYPE_NO_CALL);
  EXPECT_EQ(geno.Str("SNPID"), "");
}

TEST_F(ChpViews, TheCompositeShowsBaseCallsOfResequencingResults) {
  ChipClass chip;
  Header(chip, "CustomSeqCall", "", "ExprChip");
  auto* r = new StandardUnitClass(3, 4);
  r->wildTypeSequence = "acg";
  r->calledSequence = "atg";
  ASSERT_EQ(chip.AddUnit(r, 0), 0);
  chip.numberOfUnits = chip.maxUnit = 1;
  ASSERT_EQ(chip.composite.SetSequence("acg"), 0);
  const unsigned char calls[] = {'a', 't', 171};  // the last a C/T mixture
  std::memcpy(chip.composite.calls.data, calls, 3);
  for (int p = 0; p < 3; ++p)
    for (int k = 0; k < 4; ++k) chip.composite.SetPercentComposition(p, k, static_cast<signed char>(k == p ? 90 : 3));
  ReadChip(chip, "reseq.CHP");
  EXPECT_EQ(chp.Num("AlgType"), CUSTOMSEQ_ALGORITHM_TYPE);
  Late composite{Create(CLSID_TeskCustomSeqComposite)};
  ASSERT_EQ(chp.Call("GetCustomSeqComposite", {Object(composite.Get())}), S_OK);
  VARIANT v;
  VariantInit(&v);
  ASSERT_EQ(composite.Call("GetBaseCalls", {}, &v), S_OK);
  EXPECT_EQ(AsText(v), "atY");
  VariantClear(&v);
  ASSERT_EQ(composite.Call("GetBaseCallScore", {Long(1)}, &v), S_OK);
  EXPECT_EQ(AsFloat(v), 90.0f);
  EXPECT_EQ(composite.Call("GetBaseCall", {Long(3)}, &v), E_FAIL);
  EXPECT_EQ(composite.Error().description, "Failure in ITeskCustomSeqComposite-GetBaseCall: Index out of range error");
  ASSERT_EQ(composite.Call("GetBaseCallScores", {Out(&v)}), S_OK);
  ASSERT_EQ(v.vt, VT_ARRAY | VT_R4);
  LONG upper = -1;
  SafeArrayGetUBound(v.parray, 1, &upper);
  EXPECT_EQ(upper, 2);
  VariantClear(&v);
  ExpectFailure(chp.Call("GetCustomSeqComposite", {Object(nullptr)}), E_POINTER,
                "Failure in ITeskCHPFile-GetCustomSeqComposite: The input interface pointer should not be NULL");

  // Expression results bind no composite: it has nothing to show.
  ReadExpression("5.0", false);
  ASSERT_EQ(chp.Call("GetCustomSeqComposite", {Object(composite.Get())}), S_OK);
  EXPECT_EQ(composite.Call("GetBaseCalls", {}, &v), E_POINTER);
  EXPECT_EQ(composite.Error().description,
            "Failure in ITeskCustomSeqComposite-GetBaseCalls: Unable to access the data, it has not been loaded.");
}

}  // namespace
