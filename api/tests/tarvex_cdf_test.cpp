// TeskCDFFile and the probe-set views driven late-bound on layout files the tests write: every
// kind of unit, QC units of several types, probe set name files good, damaged and missing, and
// layouts that go away under views that are still bound.
#include <gtest/gtest.h>
#include <tesk/testing/bytes.h>

#include <cfloat>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "late_bound.h"
#include "layout_text.h"

namespace {

using namespace tarvex_test;

constexpr const char* kSource = "VarolithTarvex.TeskCDFFile.1";

// Units, by index:
//   0 expression "NONE", block gene_a_at, 3 pairs on rows 2 (PM) and 3 (MM)
//   1 genotyping snp_1 (rows 5, 6)
//   2 expression gene_b, 2 pairs on rows 8 and 9
//   3 custom sequence reseq_1: atoms numbered 5, 6, 7 at positions 10, 11, 12, two cells each
//   4 genotyping snp_2 (rows 11, 12)
//   5 universal (type 7): none of the kinds
// QC units: type 3 with three cells, type 9 with two, type 16 with one.
std::string Layout() {
  std::string t =
      "[CDF]\nVersion=QX3.0\n\n[Chip]\nName=TestChip\nRows=24\nCols=30\nNumberOfUnits=6\nMaxUnit=6\n"
      "NumQCUnits=3\nChipReference=test layout\n"
      "\n[QC1]\nType=3\nNumberCells=3\nCellHeader=X\tY\tPROBE\tPLEN\tATOM\tINDEX\n"
      "Cell1=0\t0\tN\t25\t0\t0\nCell2=1\t0\tN\t25\t1\t1\nCell3=2\t0\tN\t25\t2\t2\n"
      "\n[QC2]\nType=9\nNumberCells=2\nCellHeader=X\tY\tPROBE\tPLEN\tATOM\tINDEX\tMATCH\tBKGD\n"
      "Cell1=3\t0\tN\t20\t7\t3\t1\t0\nCell2=4\t0\tN\t20\t8\t4\t0\t1\n"
      "\n[QC3]\nType=16\nNumberCells=1\nCellHeader=X\tY\tPROBE\tPLEN\tATOM\tINDEX\n"
      "Cell1=7\t1\tN\t25\t0\t37\n";
  t += ExpressionUnit(1, "NONE", "gene_a_at", 3, 2);
  t += GenotypingUnit(2, "snp_1", 5);
  t += ExpressionUnit(3, "gene_b", "gene_b", 2, 8);
  t += UnitHeader(4, "reseq_1", "3 2", 6, 1, 1) + BlockHeader(4, 1, "reseq_1", 3, 6) + kCellHeader;
  int k = 0;
  for (int a = 0; a < 3; ++a) {
    t += Cell(++k, 5 + a, 14, 'a', "cgt"[a], 5 + a, 10 + a);
    t += Cell(++k, 5 + a, 15, 'c', "cgt"[a], 5 + a, 10 + a);
  }
  t += GenotypingUnit(5, "snp_2", 17);
  t += UnitHeader(6, "u7", "1 2", 2, 7, 1) + BlockHeader(6, 1, "u7", 1, 2) + kCellHeader +
       Cell(1, 0, 20, 'a', 'g', 0) + Cell(2, 1, 20, 'c', 'g', 0);
  return t;
}

struct CdfFile : ::testing::Test {
  ScratchDir dir;
  Late cdf{Create(CLSID_TeskCDFFile)};

  void SetUp() override {
    ASSERT_NE(cdf.Get(), nullptr);
    WriteLayout(Layout());
    ASSERT_EQ(cdf.Put("ChipType", "TestChip"), S_OK);
    ASSERT_EQ(cdf.Put("LibPath", dir.str()), S_OK);
  }
  void WriteLayout(const std::string& text) { ASSERT_TRUE(tesk::testing::WriteFileBytes(dir.File("TestChip.CDF"), text)); }
  void WriteNames(const std::string& text) { ASSERT_TRUE(tesk::testing::WriteFileBytes(dir.File("TestChip.PSI"), text)); }
  HRESULT PutLong(const Late& o, const std::string& member, LONG v) {
    return o.Invoke(member, DISPATCH_PROPERTYPUT, {Long(v)}, nullptr);
  }
  void Load(LONG filter, LONG qcFilter = ALL_QC_TYPE) {
    ASSERT_EQ(PutLong(cdf, "FilterProbeSet", filter), S_OK);
    ASSERT_EQ(PutLong(cdf, "FilterQCType", qcFilter), S_OK);
    ASSERT_EQ(cdf.Call("LoadProbeSets"), S_OK);
  }
  LONG TypeAt(LONG position) {
    tesk::Variant r;
    EXPECT_EQ(cdf.Call("GetProbeSetType", {Long(position)}, &r), S_OK);
    return AsLong(r);
  }
  Late Fill(const char* method, LONG position, const CLSID& clsid, HRESULT expect = S_OK) {
    Late view{Create(clsid)};
    EXPECT_EQ(cdf.Call(method, {Long(position), Object(view.Get())}), expect) << method << " " << position;
    return view;
  }
  static void ExpectFailure(const Late& o, HRESULT got, HRESULT want, const std::string& description,
                            const std::string& source) {
    EXPECT_EQ(got, want);
    EXPECT_EQ(o.Error().description, description);
    EXPECT_EQ(o.Error().source, source);
  }
};

TEST_F(CdfFile, PathsAndFiltersFollowTheirRules) {
  Late fresh{Create(CLSID_TeskCDFFile)};
  EXPECT_EQ(fresh.Num("FilterProbeSet"), FILTER_ANALYSIS_PROBESET_TYPE);
  EXPECT_EQ(fresh.Num("FilterQCType"), ALL_QC_TYPE);
  EXPECT_EQ(fresh.Put("ChipType", "  Chip  "), S_OK);
  EXPECT_EQ(fresh.Str("ChipType"), "Chip");
  EXPECT_EQ(fresh.Str("FullPathName"), "");  // open until both parts are set
  ExpectFailure(fresh, fresh.Put("LibPath", "   "), E_FAIL,
                "Failure in ITeskCDFFile-put_LibPath: Library path should not be empty", kSource);
  EXPECT_EQ(fresh.Put("LibPath", " /lib "), S_OK);
  EXPECT_EQ(fresh.Str("FullPathName"), "/lib/Chip.CDF");
  ExpectFailure(fresh, fresh.Put("#2", ""), E_FAIL,
                "Failure in ITeskCDFFile-put_LibPath: Library path should not be empty", kSource);
  EXPECT_EQ(fresh.Str("LibPath"), "/lib");
  EXPECT_EQ(fresh.Put("ChipType", ""), S_OK);  // accepted; the path keeps its last value
  EXPECT_EQ(fresh.Str("FullPathName"), "/lib/Chip.CDF");
  EXPECT_EQ(PutLong(fresh, "FilterProbeSet", 42), S_OK);  // stored unchecked
  EXPECT_EQ(fresh.Num("#10"), 42);
  EXPECT_EQ(PutLong(fresh, "FilterQCType", -7), S_OK);
  EXPECT_EQ(fresh.Num("FilterQCType"), -7);

  tesk::Variant exists;
  ASSERT_EQ(cdf.Call("Exists", {}, &exists), S_OK);
  EXPECT_EQ(AsLong(exists), 1);
  EXPECT_EQ(cdf.Str("FullPathName"), dir.File("TestChip.CDF"));
  EXPECT_FALSE(cdf.Str("Date").empty());
  ASSERT_EQ(fresh.Call("Exists", {}, &exists), S_OK);
  EXPECT_EQ(AsLong(exists), 0);
  EXPECT_EQ(fresh.Str("Date"), "");
}

TEST_F(CdfFile, ReadFailuresLeaveNothingLoaded) {
  // Nothing read yet: header values are 0 and loading chooses nothing.
  EXPECT_EQ(cdf.Num("Rows"), 0);
  Load(FILTER_ALL_PROBESET_TYPE);
  EXPECT_EQ(cdf.Num("NumProbeSetsLoaded"), 0);
  tesk::Variant all;
  ASSERT_EQ(cdf.Call("GetProbeSets", {Out(&all)}), S_OK);
  EXPECT_EQ(all.vt, VT_EMPTY);
  ExpectFailure(cdf, cdf.Call("GetProbeSet", {Long(0), Object(Create(CLSID_TeskProbeSet).Get())}), E_FAIL,
                "Failure in ITeskCDFFile-GetProbeSet: Index out of range error", kSource);

  Late missing{Create(CLSID_TeskCDFFile)};
  ASSERT_EQ(missing.Put("ChipType", "Absent"), S_OK);
  ASSERT_EQ(missing.Put("LibPath", dir.str()), S_OK);
  ExpectFailure(missing, missing.Call("Read"), E_FAIL, "Failure in ITeskCDFFile-Read: The CDF file does not exist",
                kSource);

  WriteLayout("[CDF]\nVersion=QX9.9\n");
  EXPECT_EQ(cdf.Call("Read"), E_FAIL);
  EXPECT_EQ(cdf.Error().description.rfind("Failure in ITeskCDFFile-Read: Cannot read the CDF file - ", 0), 0u)
      << cdf.Error().description;
  EXPECT_EQ(cdf.Num("NumProbeSets"), 0);
}

TEST_F(CdfFile, FiltersChooseUnitsAndQCUnitsInLayoutOrder) {
  ASSERT_EQ(cdf.Call("Read"), S_OK);
  EXPECT_EQ(cdf.Num("Rows"), 24);
  EXPECT_EQ(cdf.Num("Cols"), 30);
  EXPECT_EQ(cdf.Num("NumProbeSets"), 6);
  EXPECT_EQ(cdf.Num("NumQCProbeSets"), 3);
  EXPECT_EQ(cdf.Num("NumProbeSetsLoaded"), 0);  // Read loads no probe sets

  Load(FILTER_ALL_PROBESET_TYPE);
  ASSERT_EQ(cdf.Num("NumProbeSetsLoaded"), 8);  // five units of a kind, then three QC units
  const LONG types[] = {PROBESET_TYPE, GENOTYPE_PROBESET_TYPE, PROBESET_TYPE, CUSTOMSEQ_PROBESET_TYPE,
                        GENOTYPE_PROBESET_TYPE, QC_PROBESET_TYPE, QC_PROBESET_TYPE, QC_PROBESET_TYPE};
  for (LONG i = 0; i < 8; ++i) EXPECT_EQ(TypeAt(i), types[i]) << i;
  EXPECT_EQ(TypeAt(-1), UNKNOWN_PROBESET_TYPE);
  EXPECT_EQ(TypeAt(8), UNKNOWN_PROBESET_TYPE);

  struct Case {
    LONG filter, qc, loaded;
  };
  const Case cases[] = {
      {FILTER_ANALYSIS_PROBESET_TYPE, ALL_QC_TYPE, 2}, {FILTER_GENOTYPE_PROBESET_TYPE, ALL_QC_TYPE, 2},
      {FILTER_CUSTOMSEQ_PROBESET_TYPE, ALL_QC_TYPE, 1}, {FILTER_QC_PROBESET_TYPE, ALL_QC_TYPE, 3},
      {FILTER_QC_PROBESET_TYPE, 0, 0},                  {FILTER_QC_PROBESET_TYPE, HYB_NEGATIVE_QC_TYPE, 1},
      {FILTER_QC_PROBESET_TYPE, HYB_NEGATIVE_QC_TYPE | CROSS_HYB_POSITIVE_QC_TYPE, 2},
      {FILTER_ALL_PROBESET_TYPE, GENEEXP_NEGATIVE_QC_TYPE, 6}, {0, ALL_QC_TYPE, 0}, {6, ALL_QC_TYPE, 0},
  };
  for (const Case& c : cases) {
    Load(c.filter, c.qc);
    EXPECT_EQ(cdf.Num("NumProbeSetsLoaded"), c.loaded) << c.filter << " " << c.qc;
  }
  Load(FILTER_QC_PROBESET_TYPE, CROSS_HYB_POSITIVE_QC_TYPE);  // type 16 only
  Late qc = Fill("GetProbeSet", 0, CLSID_TeskProbeSet);
  EXPECT_EQ(qc.Num("QCType"), CROSS_HYB_POSITIVE_QC_TYPE);
}

TEST_F(CdfFile, ExpressionProbeSetsShowTheLayoutAndDefaultResults) {
  ASSERT_EQ(cdf.Call("Read"), S_OK);
  Load(FILTER_ALL_PROBESET_TYPE);
  Late set = Fill("GetProbeSet", 0, CLSID_TeskProbeSet);
  EXPECT_EQ(set.Str("Name"), "gene_a_at");  // a unit named NONE takes its block's name
  EXPECT_EQ(set.Num("ProbeSetType"), PROBESET_TYPE);
  EXPECT_EQ(set.Num("NumPairs"), 3);
  EXPECT_EQ(set.Num("NumQCProbes"), 0);
  EXPECT_EQ(set.Num("QCType"), 0);
  for (const char* f : {"Signal", "DetectionPValue", "SignalLogRatio", "SignalLogRatioLow", "SignalLogRatioHigh",
                        "ChangePValue", "PositiveFraction", "LogAverage", "PosNegRatio", "AverageDifference",
                        "IncreaseRatio", "DecreaseRatio", "IncDecRatio", "DPosDNegDiffRatio", "LogAvgRatioChange",
                        "AvgDiffChange", "FoldChange", "SortScore"})
    EXPECT_EQ(set.Real(f), FLT_MAX) << f;
  for (const char* f : {"Positive", "Negative", "Increase", "Decrease", "PositiveChange", "NegativeChange"})
    EXPECT_EQ(set.Num(f), 2147483647) << f;
  for (const char* f : {"CompDataExists", "NumPairsUsed", "CommonPairs", "NumPairsUsedInAvgDiff", "BaselineIsAbsent"})
    EXPECT_EQ(set.Num(f), 0) << f;
  EXPECT_EQ(set.Num("Detection"), NO_ABS_CALL_TYPE);
  EXPECT_EQ(set.Num("AbsoluteCall"), NO_ABS_CALL_TYPE);
  EXPECT_EQ(set.Num("Change"), NO_COMP_CALL_TYPE);
  EXPECT_EQ(set.Num("DifferenceCall"), NO_COMP_CALL_TYPE);
  EXPECT_EQ(Fill("GetProbeSet", 2, CLSID_TeskProbeSet).Str("Name"), "gene_b");

  // A genotyping position gives an empty view, and a refill clears what the view showed.
  Load(FILTER_GENOTYPE_PROBESET_TYPE);
  ASSERT_EQ(cdf.Call("GetProbeSet", {Long(0), Object(set.Get())}), S_OK);
  EXPECT_EQ(set.Str("Name"), "");
  EXPECT_EQ(set.Num("ProbeSetType"), UNKNOWN_PROBESET_TYPE);
  EXPECT_EQ(set.Num("NumPairs"), 0);

  ExpectFailure(cdf, cdf.Call("GetProbeSet", {Long(-1), Object(set.Get())}), E_FAIL,
                "Failure in ITeskCDFFile-GetProbeSet: Index out of range error", kSource);
  ExpectFailure(cdf, cdf.Call("GetProbeSet", {Long(0), Object(nullptr)}), E_POINTER,
                "Failure in ITeskCDFFile-GetProbeSet: The probe set interface pointer should not be NULL", kSource);
  EXPECT_NE(cdf.Call("GetProbeSet", {Long(0), Object(Create(CLSID_TeskProbePair).Get())}), S_OK);
}

TEST_F(CdfFile, ProbePairsFindTheirCellsInTheLayout) {
  ASSERT_EQ(cdf.Call("Read"), S_OK);
  Load(FILTER_ALL_PROBESET_TYPE);
  Late set = Fill("GetProbeSet", 0, CLSID_TeskProbeSet);
  Late pair{Create(CLSID_TeskProbePair)};
  EXPECT_EQ(pair.Num("ProbeSetNumber"), -1);
  ASSERT_EQ(set.Call("GetProbePair", {Long(2), Object(pair.Get())}), S_OK);
  EXPECT_EQ(pair.Num("ProbeSetNumber"), 0);
  EXPECT_EQ(pair.Num("ProbePairNumber"), 2);
  EXPECT_EQ(pair.Num("PMPosX"), 2);
  EXPECT_EQ(pair.Num("PMPosY"), 2);
  EXPECT_EQ(pair.Num("MMPosX"), 2);
  EXPECT_EQ(pair.Num("MMPosY"), 3);
  // A layout carries no intensities, results or backgrounds.
  EXPECT_EQ(pair.Real("PMIntensity"), 0.0f);
  EXPECT_EQ(pair.Real("MMStdDev"), 0.0f);
  EXPECT_EQ(pair.Num("PMPixels"), 0);
  EXPECT_EQ(pair.Num("MMMasked"), 0);
  EXPECT_EQ(pair.Num("UseProbePair"), USE_PROBEPAIR_USAGE_TYPE);
  EXPECT_EQ(pair.Real("Background"), 0.0f);

  const std::string source = "VarolithTarvex.TeskProbeSet.1";
  ExpectFailure(set, set.Call("GetProbePair", {Long(3), Object(pair.Get())}), E_FAIL,
                "Failure in ITeskProbeSet-GetProbePair: Index out of range error", source);
  EXPECT_EQ(pair.Num("ProbeSetNumber"), -1);  // cleared before the check
  ExpectFailure(set, set.Call("GetProbePair", {Long(0), Object(nullptr)}), E_POINTER,
                "Failure in ITeskProbeSet-GetProbePair: The probe pair interface pointer should not be NULL", source);

  tesk::Variant all;
  ASSERT_EQ(set.Call("GetProbePairs", {Out(&all)}), S_OK);
  std::vector<Late> pairs = Items(all);
  ASSERT_EQ(pairs.size(), 3u);
  for (LONG i = 0; i < 3; ++i) {
    EXPECT_EQ(pairs[i].Num("ProbePairNumber"), i);
    EXPECT_EQ(pairs[i].Num("PMPosX"), i);
    EXPECT_EQ(pairs[i].Num("MMPosY"), 3);
  }
  // A QC probe set has no pairs; an expression set has no QC probes.
  Late qc = Fill("GetProbeSet", 5, CLSID_TeskProbeSet);
  ASSERT_EQ(qc.Call("GetProbePair", {Long(0), Object(pair.Get())}), S_OK);
  EXPECT_EQ(pair.Num("ProbeSetNumber"), -1);
  ASSERT_EQ(qc.Call("GetProbePairs", {Out(&all)}), S_OK);
  EXPECT_EQ(all.vt, VT_EMPTY);
  Late probe{Create(CLSID_TeskProbe)};
  ASSERT_EQ(set.Call("GetQCProbe", {Long(0), Object(probe.Get())}), S_OK);
  EXPECT_EQ(probe.Num("ProbeType"), UNKNOWN_PROBE_TYPE);
  ASSERT_EQ(set.Call("GetQCProbes", {Out(&all)}), S_OK);
  EXPECT_EQ(all.vt, VT_EMPTY);
}

TEST_F(CdfFile, QCProbeSetsShowTheirCellsAndTypes) {
  ASSERT_EQ(cdf.Call("Read"), S_OK);
  Load(FILTER_QC_PROBESET_TYPE);
  Late set = Fill("GetProbeSet", 0, CLSID_TeskProbeSet);
  EXPECT_EQ(set.Str("Name"), "");
  EXPECT_EQ(set.Num("ProbeSetType"), QC_PROBESET_TYPE);
  EXPECT_EQ(set.Num("NumQCProbes"), 3);
  EXPECT_EQ(set.Num("QCType"), HYB_NEGATIVE_QC_TYPE);  // type 3
  EXPECT_EQ(set.Num("NumPairs"), 0);
  EXPECT_EQ(Fill("GetProbeSet", 1, CLSID_TeskProbeSet).Num("QCType"), GENEEXP_NEGATIVE_QC_TYPE);  // type 9

  Late probe{Create(CLSID_TeskProbe)};
  ASSERT_EQ(set.Call("GetQCProbe", {Long(1), Object(probe.Get())}), S_OK);
  EXPECT_EQ(probe.Num("PosX"), 1);
  EXPECT_EQ(probe.Num("PosY"), 0);
  EXPECT_EQ(probe.Num("ProbeType"), QC_PROBE_TYPE);
  EXPECT_EQ(probe.Real("Background"), 0.0f);
  EXPECT_EQ(probe.Real("Intensity"), 0.0f);
  const std::string source = "VarolithTarvex.TeskProbeSet.1";
  ExpectFailure(set, set.Call("GetQCProbe", {Long(3), Object(probe.Get())}), E_FAIL,
                "Failure in ITeskProbeSet-GetQCProbe: Index out of range error", source);
  ExpectFailure(set, set.Call("GetQCProbe", {Long(0), Object(nullptr)}), E_POINTER,
                "Failure in ITeskProbeSet-GetQCProbe: The probe interface pointer should not be NULL", source);
  tesk::Variant all;
  ASSERT_EQ(set.Call("GetQCProbes", {Out(&all)}), S_OK);
  std::vector<Late> probes = Items(all);
  ASSERT_EQ(probes.size(), 3u);
  EXPECT_EQ(probes[2].Num("PosX"), 2);
  EXPECT_EQ(probes[2].Num("ProbeType"), QC_PROBE_TYPE);

  tesk::Variant sets;
  ASSERT_EQ(cdf.Call("GetProbeSets", {Out(&sets)}), S_OK);
  std::vector<Late> views = Items(sets);
  ASSERT_EQ(views.size(), 3u);
  EXPECT_EQ(views[2].Num("QCType"), CROSS_HYB_POSITIVE_QC_TYPE);
  EXPECT_EQ(views[2].Num("NumQCProbes"), 1);
}

TEST_F(CdfFile, ProbeSetArraysHoldOneViewPerLoadedPosition) {
  ASSERT_EQ(cdf.Call("Read"), S_OK);
  Load(FILTER_ALL_PROBESET_TYPE);
  tesk::Variant sets;
  ASSERT_EQ(cdf.Call("GetProbeSets", {Out(&sets)}), S_OK);
  std::vector<Late> views = Items(sets);
  ASSERT_EQ(views.size(), 8u);
  const char* names[] = {"gene_a_at", "", "gene_b", "", "", "", "", ""};
  const LONG kinds[] = {1, 0, 1, 0, 0, 4, 4, 4};
  for (size_t i = 0; i < views.size(); ++i) {
    EXPECT_EQ(views[i].Str("Name"), names[i]) << i;
    EXPECT_EQ(views[i].Num("ProbeSetType"), kinds[i]) << i;
  }
  tesk::Variant genotype, custom, control;
  ASSERT_EQ(cdf.Call("GetGenotypeProbeSets", {Out(&genotype)}), S_OK);
  ASSERT_EQ(cdf.Call("GetCustomSeqProbeSets", {Out(&custom)}), S_OK);
  ASSERT_EQ(cdf.Call("GetControlProbeSets", {Out(&control)}), S_OK);
  std::vector<Late> g = Items(genotype), c = Items(custom), q = Items(control);
  ASSERT_EQ(g.size(), 5u);  // one per analysis position, bound only at genotyping units
  EXPECT_EQ(g[1].Str("SNPID"), "snp_1");
  EXPECT_EQ(g[0].Str("SNPID"), "");
  EXPECT_EQ(g[4].Str("SNPID"), "snp_2");
  ASSERT_EQ(c.size(), 5u);
  EXPECT_EQ(c[3].Num("NumGroups"), 1);
  ASSERT_EQ(q.size(), 3u);
  EXPECT_EQ(q[1].Num("NumQCProbes"), 2);

  Load(FILTER_CUSTOMSEQ_PROBESET_TYPE, 0);
  ASSERT_EQ(cdf.Call("GetGenotypeProbeSets", {Out(&genotype)}), S_OK);
  EXPECT_EQ(Items(genotype).size(), 1u);
  ASSERT_EQ(cdf.Call("GetControlProbeSets", {Out(&control)}), S_OK);
  EXPECT_EQ(control.vt, VT_EMPTY);
}

TEST_F(CdfFile, GenotypeViewsWalkGroupsListsAndProbes) {
  ASSERT_EQ(cdf.Call("Read"), S_OK);
  Load(FILTER_GENOTYPE_PROBESET_TYPE);
  Late set = Fill("GetGenotypeProbeSet", 0, CLSID_TeskGenotypeProbeSet);
  EXPECT_EQ(set.Str("SNPID"), "snp_1");  // no names file
  EXPECT_EQ(set.Num("NumGroups"), 2);
  EXPECT_EQ(set.Num("ProbeSetType"), GENOTYPE_PROBESET_TYPE);
  EXPECT_EQ(set.Num("Call"), GENOTYPE_NO_CALL);
  for (const char* f : {"Confidence", "RAS1", "RAS2", "AA_PValue", "AB_PValue", "BB_PValue", "NoCall_PValue"})
    EXPECT_EQ(set.Real(f), 0.0f) << f;

  const std::string setSource = "VarolithTarvex.TeskGenotypeProbeSet.1";
  Late group{Create(CLSID_TeskGenotypeProbeGroup)};
  ExpectFailure(set, set.Call("GetProbeGroupByIndex", {Long(2), Object(group.Get())}), E_FAIL,
                "Failure in ITeskGenotypeProbeSet-GetProbeGroupByIndex: Index out of range error", setSource);
  ExpectFailure(set, set.Call("GetProbeGroupByIndex", {Long(0), Object(nullptr)}), E_POINTER,
                "Failure in ITeskGenotypeProbeSet-GetProbeGroupByIndex: The interface object should not be NULL.",
                setSource);
  ASSERT_EQ(set.Call("GetProbeGroupByIndex", {Long(1), Object(group.Get())}), S_OK);
  EXPECT_EQ(group.Num("GroupIndex"), 1);
  EXPECT_EQ(group.Num("NumLists"), 2);
  EXPECT_EQ(group.Num("Direction"), ANTISENSE_DIRECTION);
  tesk::Variant groups;
  ASSERT_EQ(set.Call("GetProbeGroups", {Out(&groups)}), S_OK);
  std::vector<Late> gs = Items(groups);
  ASSERT_EQ(gs.size(), 2u);
  EXPECT_EQ(gs[0].Num("Direction"), SENSE_DIRECTION);

  Late list{Create(CLSID_TeskGenotypeProbeList)};
  ASSERT_EQ(group.Call("GetProbeListByIndex", {Long(1), Object(list.Get())}), S_OK);
  EXPECT_EQ(list.Num("ListIndex"), 1);
  EXPECT_EQ(list.Num("NumProbes"), 4);
  Late probe{Create(CLSID_TeskProbe)};
  ASSERT_EQ(list.Call("GetProbeByIndex", {Long(2), Object(probe.Get())}), S_OK);
  // The layout reader keeps an atom's cells last-listed first: probe 2 is the second listed.
  EXPECT_EQ(probe.Num("PosX"), 15);  // block B, atom 1, base c
  EXPECT_EQ(probe.Num("PosY"), 6);
  EXPECT_EQ(probe.Str("PBase"), "c");
  EXPECT_EQ(probe.Str("TBase"), "g");
  EXPECT_EQ(probe.Num("ProbeType"), REGULAR_PROBE_TYPE);
  const std::string listSource = "VarolithTarvex.TeskGenotypeProbeList.1";
  ExpectFailure(list, list.Call("GetProbeByIndex", {Long(4), Object(probe.Get())}), E_FAIL,
                "Failure in ITeskGenotypeProbeList-GetProbeByIndex: Index out of range error", listSource);
  tesk::Variant probes;
  ASSERT_EQ(list.Call("GetProbes", {Out(&probes)}), S_OK);
  std::vector<Late> ps = Items(probes);
  ASSERT_EQ(ps.size(), 4u);
  EXPECT_EQ(ps[3].Str("PBase"), "a");
  tesk::Variant lists;
  ASSERT_EQ(group.Call("GetProbeLists", {Out(&lists)}), S_OK);
  EXPECT_EQ(Items(lists).size(), 2u);

  // A genotype view at a unit of another kind stays empty; its layout getters say so.
  Load(FILTER_ALL_PROBESET_TYPE);
  Late empty = Fill("GetGenotypeProbeSet", 0, CLSID_TeskGenotypeProbeSet);
  EXPECT_EQ(empty.Str("SNPID"), "");
  EXPECT_EQ(empty.Num("Call"), GENOTYPE_NO_CALL);
  tesk::Variant r;
  ExpectFailure(empty, empty.Invoke("NumGroups", DISPATCH_PROPERTYGET, {}, &r), E_POINTER,
                "Failure in CTeskGenotypeProbeSet-get_NumGroups: Unable to access the data, it has not been loaded.",
                setSource);
  Late emptyGroup{Create(CLSID_TeskGenotypeProbeGroup)};
  const std::string groupSource = "VarolithTarvex.TeskGenotypeProbeGroup.1";
  ExpectFailure(emptyGroup, emptyGroup.Invoke("NumLists", DISPATCH_PROPERTYGET, {}, &r), E_POINTER,
                "Failure in CTeskGenotypeProbeGroup-get_NumLists: Unable to access the data, it has not been loaded.",
                groupSource);
  ExpectFailure(emptyGroup, emptyGroup.Invoke("Direction", DISPATCH_PROPERTYGET, {}, &r), E_POINTER,
                "Failure in CTeskGenotypeProbeGroup-get_Direction: Unable to access the data, it has not been loaded.",
                groupSource);
  ExpectFailure(cdf, cdf.Call("GetGenotypeProbeSet", {Long(5), Object(empty.Get())}), E_FAIL,
                "Failure in ITeskCDFFile-GetGenotypeProbeSet: Index out of range error", kSource);  // QC position
  ExpectFailure(cdf, cdf.Call("GetGenotypeProbeSet", {Long(0), Object(nullptr)}), E_POINTER,
                "Failure in ITeskCDFFile-GetGenotypeProbeSet: The probe set interface pointer should not be NULL",
                kSource);
}

TEST_F(CdfFile, NamesFileNamesGenotypingUnitsByUnitIndex) {
  // The bad and empty lines add nothing, so the names shift: the list holds four names.
  WriteNames("#Probe sets\n0\tname_u0\t0\nthis line is bad\n1\trs_u1\t1\n\n2\tname_u2\t0\n3\tname_u3\t1\n");
  ASSERT_EQ(cdf.Call("Read"), S_OK);
  Load(FILTER_GENOTYPE_PROBESET_TYPE);
  EXPECT_EQ(Fill("GetGenotypeProbeSet", 0, CLSID_TeskGenotypeProbeSet).Str("SNPID"), "rs_u1");
  // Unit 4 lies beyond the list: the layout's name.
  EXPECT_EQ(Fill("GetGenotypeProbeSet", 1, CLSID_TeskGenotypeProbeSet).Str("SNPID"), "snp_2");
  // Expression probe sets keep the layout's names.
  Load(FILTER_ANALYSIS_PROBESET_TYPE);
  EXPECT_EQ(Fill("GetProbeSet", 1, CLSID_TeskProbeSet).Str("Name"), "gene_b");

  // A read while the loaded list starts with an expression unit reads no names.
  ASSERT_EQ(cdf.Call("Read"), S_OK);
  Load(FILTER_GENOTYPE_PROBESET_TYPE);
  EXPECT_EQ(Fill("GetGenotypeProbeSet", 0, CLSID_TeskGenotypeProbeSet).Str("SNPID"), "snp_1");
  // Read again with the genotyping list loaded: names again; a missing file gives none.
  ASSERT_EQ(cdf.Call("Read"), S_OK);
  EXPECT_EQ(Fill("GetGenotypeProbeSet", 0, CLSID_TeskGenotypeProbeSet).Str("SNPID"), "rs_u1");
  std::filesystem::remove(dir.File("TestChip.PSI"));
  ASSERT_EQ(cdf.Call("Read"), S_OK);
  EXPECT_EQ(Fill("GetGenotypeProbeSet", 0, CLSID_TeskGenotypeProbeSet).Str("SNPID"), "snp_1");
}

TEST_F(CdfFile, CustomSequenceViewsFindListsByReferenceIndex) {
  ASSERT_EQ(cdf.Call("Read"), S_OK);
  Load(FILTER_CUSTOMSEQ_PROBESET_TYPE);
  Late set = Fill("GetCustomSeqProbeSet", 0, CLSID_TeskCustomSeqProbeSet);
  EXPECT_EQ(set.Num("NumGroups"), 1);
  EXPECT_EQ(set.Num("ProbeSetType"), CUSTOMSEQ_PROBESET_TYPE);
  Late group{Create(CLSID_TeskCustomSeqProbeGroup)};
  ASSERT_EQ(set.Call("GetProbeGroupByIndex", {Long(0), Object(group.Get())}), S_OK);
  EXPECT_EQ(group.Num("GroupIndex"), 0);
  EXPECT_EQ(group.Str("Name"), "reseq_1");
  EXPECT_EQ(group.Num("NumLists"), 3);
  tesk::Variant lists;
  ASSERT_EQ(group.Call("GetProbeLists", {Out(&lists)}), S_OK);
  std::vector<Late> ls = Items(lists);
  ASSERT_EQ(ls.size(), 3u);
  for (LONG i = 0; i < 3; ++i) {
    EXPECT_EQ(ls[i].Num("ListIndex"), i);
    EXPECT_EQ(ls[i].Num("GroupIndex"), 0);
    EXPECT_EQ(ls[i].Num("ReferenceIndex"), 5 + i);
    EXPECT_EQ(ls[i].Num("SequencePosition"), 10 + i);
    EXPECT_EQ(ls[i].Num("NumProbes"), 2);
  }
  Late list{Create(CLSID_TeskCustomSeqProbeList)};
  ASSERT_EQ(set.Call("GetProbeListByReferenceIndex", {Long(6), Object(list.Get())}), S_OK);
  EXPECT_EQ(list.Num("ListIndex"), 1);
  Late probe{Create(CLSID_TeskProbe)};
  ASSERT_EQ(list.Call("GetProbeByIndex", {Long(1), Object(probe.Get())}), S_OK);
  EXPECT_EQ(probe.Num("PosX"), 6);
  EXPECT_EQ(probe.Num("PosY"), 14);  // last-listed first, as the layout reader keeps them
  EXPECT_EQ(probe.Str("PBase"), "a");
  EXPECT_EQ(probe.Str("TBase"), "g");
  const std::string source = "VarolithTarvex.TeskCustomSeqProbeSet.1";
  ExpectFailure(set, set.Call("GetProbeListByReferenceIndex", {Long(99), Object(list.Get())}), E_FAIL,
                "Failure in ITeskCustomSeqProbeSet-GetProbeListByReferenceIndex: Index out of range error", source);
  EXPECT_EQ(list.Num("ListIndex"), -1);
  ExpectFailure(set, set.Call("GetProbeGroupByIndex", {Long(1), Object(group.Get())}), E_FAIL,
                "Failure in ITeskCustomSeqProbeSet-GetProbeGroupByIndex: Index out of range error", source);
  tesk::Variant probes;
  ASSERT_EQ(ls[2].Call("GetProbes", {Out(&probes)}), S_OK);
  EXPECT_EQ(Items(probes).size(), 2u);

  // At an expression position the view stays empty.
  Load(FILTER_ALL_PROBESET_TYPE);
  Late empty = Fill("GetCustomSeqProbeSet", 0, CLSID_TeskCustomSeqProbeSet);
  tesk::Variant r;
  EXPECT_EQ(empty.Invoke("NumGroups", DISPATCH_PROPERTYGET, {}, &r), E_POINTER);
  EXPECT_EQ(empty.Error().description,
            "Failure in ITeskCustomSeqProbeSet-get_NumGroups: Unable to access the data, it has not been loaded.");
}

TEST_F(CdfFile, ControlProbeSetsTakeQCPositionsOnly) {
  ASSERT_EQ(cdf.Call("Read"), S_OK);
  Load(FILTER_ALL_PROBESET_TYPE);
  // Positions count the QC list alone.
  Late set = Fill("GetControlProbeSet", 1, CLSID_TeskControlProbeSet);
  EXPECT_EQ(set.Num("NumQCProbes"), 2);
  EXPECT_EQ(set.Num("QCType"), GENEEXP_NEGATIVE_QC_TYPE);
  EXPECT_EQ(set.Num("ProbeSetType"), QC_PROBESET_TYPE);
  Late probe{Create(CLSID_TeskProbe)};
  ASSERT_EQ(set.Call("GetQCProbe", {Long(1), Object(probe.Get())}), S_OK);
  EXPECT_EQ(probe.Num("PosX"), 4);
  EXPECT_EQ(probe.Num("ProbeType"), QC_PROBE_TYPE);
  const std::string source = "VarolithTarvex.TeskControlProbeSet.1";
  ExpectFailure(set, set.Call("GetQCProbe", {Long(2), Object(probe.Get())}), E_FAIL,
                "Failure in ITeskControlProbeSet-GetQCProbe: Index out of range error", source);
  ExpectFailure(set, set.Call("GetQCProbe", {Long(0), Object(nullptr)}), E_POINTER,
                "Failure in ITeskControlProbeSet-GetQCProbe: The probe interface pointer should not be NULL", source);
  tesk::Variant probes;
  ASSERT_EQ(set.Call("GetQCProbes", {Out(&probes)}), S_OK);
  EXPECT_EQ(Items(probes).size(), 2u);
  ExpectFailure(cdf, cdf.Call("GetControlProbeSet", {Long(3), Object(set.Get())}), E_FAIL,
                "Failure in ITeskCDFFile-GetControlProbeSet: Index out of range error", kSource);
  tesk::Variant r;
  ExpectFailure(set, set.Invoke("NumQCProbes", DISPATCH_PROPERTYGET, {}, &r), E_POINTER,
                "Failure in ITeskControlProbeSet-get_NumQCProbes: Unable to access the data, it has not been loaded.",
                source);  // cleared by the failed fill
}

TEST_F(CdfFile, CompositeGivesTheReferenceBasesOfTheCustomSequenceUnits) {
  Late composite{Create(CLSID_TeskCustomSeqComposite)};
  ExpectFailure(cdf, cdf.Call("GetCustomSeqComposite", {Object(nullptr)}), E_POINTER,
                "Failure in ITeskCDFFile-GetCustomSeqComposite: The input interface pointer should not be NULL",
                kSource);
  // Not read: the composite stays unbound.
  ASSERT_EQ(cdf.Call("GetCustomSeqComposite", {Object(composite.Get())}), S_OK);
  const std::string source = "VarolithTarvex.TeskCustomSeqComposite.1";
  tesk::Variant r;
  ExpectFailure(composite, composite.Invoke("NumBases", DISPATCH_PROPERTYGET, {}, &r), E_POINTER,
                "Failure in ITeskCustomSeqComposite-get_NumBases: Unable to access the data, it has not been loaded.",
                source);

  ASSERT_EQ(cdf.Call("Read"), S_OK);
  ASSERT_EQ(cdf.Call("GetCustomSeqComposite", {Object(composite.Get())}), S_OK);
  EXPECT_EQ(composite.Num("NumBases"), 8);  // atoms 5, 6 and 7
  tesk::Variant bases;
  ASSERT_EQ(composite.Call("GetReferenceBases", {}, &bases), S_OK);
  EXPECT_EQ(AsText(bases), "nnnnncgt");
  tesk::Variant base;
  ASSERT_EQ(composite.Call("GetReferenceBase", {Long(6)}, &base), S_OK);
  EXPECT_EQ(AsText(base), "g");
  ExpectFailure(composite, composite.Call("GetReferenceBase", {Long(8)}, &bases), E_FAIL,
                "Failure in ITeskCustomSeqComposite-GetReferenceBase: Index out of range error", source);
  ExpectFailure(composite, composite.Call("GetBaseCall", {Long(0)}, &bases), E_POINTER,
                "Failure in ITeskCustomSeqComposite-GetBaseCall: Unable to access the data, it has not been loaded.",
                source);
  tesk::Variant scores;
  EXPECT_EQ(composite.Call("GetBaseCallScores", {Out(&scores)}), E_POINTER);
}

// Views read the layout through the file object's own flag: a failed read leaves them unloaded
// (and safe), and the first view that needs the layout again reads it for everyone.
TEST_F(CdfFile, ViewsOfAnUnloadedLayoutFailCleanlyAndReadItAgainOnNeed) {
  ASSERT_EQ(cdf.Call("Read"), S_OK);
  Load(FILTER_ALL_PROBESET_TYPE);
  Late set = Fill("GetProbeSet", 0, CLSID_TeskProbeSet);
  Late qc = Fill("GetProbeSet", 5, CLSID_TeskProbeSet);
  Late genotype = Fill("GetGenotypeProbeSet", 1, CLSID_TeskGenotypeProbeSet);
  Late pair{Create(CLSID_TeskProbePair)};
  ASSERT_EQ(set.Call("GetProbePair", {Long(1), Object(pair.Get())}), S_OK);

  const std::string layout = dir.File("TestChip.CDF");
  std::filesystem::rename(layout, layout + ".away");
  EXPECT_EQ(cdf.Call("Read"), E_FAIL);
  EXPECT_EQ(cdf.Num("Rows"), 0);
  EXPECT_EQ(qc.Num("NumQCProbes"), 0);  // the re-read fails too
  EXPECT_EQ(pair.Num("PMPosX"), 0);     // positions never re-read
  ExpectFailure(set, set.Call("GetProbePair", {Long(1), Object(pair.Get())}), E_FAIL,
                "Failure in ITeskProbeSet-GetProbePair: Cannot read the CDF file - ", "VarolithTarvex.TeskProbeSet.1");
  tesk::Variant r;
  EXPECT_EQ(genotype.Invoke("NumGroups", DISPATCH_PROPERTYGET, {}, &r), E_POINTER);

  std::filesystem::rename(layout + ".away", layout);
  EXPECT_EQ(qc.Num("NumQCProbes"), 3);  // read again through the shared flag
  EXPECT_EQ(cdf.Num("Rows"), 24);
  ASSERT_EQ(set.Call("GetProbePair", {Long(1), Object(pair.Get())}), S_OK);
  EXPECT_EQ(pair.Num("PMPosX"), 1);
  EXPECT_EQ(genotype.Num("NumGroups"), 2);
}

// Every member answers to its name with the identifier of its place in the interface, and every
// object answers error information for its own interface only.
TEST(LayoutInterfaces, MembersHaveTheIdentifiersOfTheirPlaces) {
  const std::tuple<CLSID, IID, std::vector<std::string>> interfaces[] = {
      {CLSID_TeskCDFFile, IID_ITeskCDFFile,
       {"ChipType", "LibPath", "FullPathName", "Date", "Rows", "Cols", "NumProbeSets", "NumQCProbeSets",
        "FilterQCType", "FilterProbeSet", "NumProbeSetsLoaded", "Exists", "Read", "LoadProbeSets", "GetProbeSet",
        "GetProbeSets", "GetCustomSeqProbeSet", "GetCustomSeqProbeSets", "GetGenotypeProbeSet",
        "GetGenotypeProbeSets", "GetControlProbeSet", "GetControlProbeSets", "GetProbeSetType",
        "GetCustomSeqComposite"}},
      {CLSID_TeskProbeSet, IID_ITeskProbeSet,
       {"Name", "CompDataExists", "NumPairs", "NumPairsUsed", "Signal", "Detection", "DetectionPValue",
        "CommonPairs", "SignalLogRatio", "SignalLogRatioLow", "SignalLogRatioHigh", "Change", "ChangePValue",
        "Positive", "Negative", "NumPairsUsedInAvgDiff", "PositiveFraction", "LogAverage", "PosNegRatio",
        "AverageDifference", "AbsoluteCall", "Increase", "Decrease", "IncreaseRatio", "DecreaseRatio",
        "PositiveChange", "NegativeChange", "IncDecRatio", "DPosDNegDiffRatio", "LogAvgRatioChange",
        "AvgDiffChange", "BaselineIsAbsent", "FoldChange", "SortScore", "DifferenceCall", "NumQCProbes", "QCType",
        "ProbeSetType", "GetProbePair", "GetQCProbe", "GetProbePairs", "GetQCProbes"}},
      {CLSID_TeskProbePair, IID_ITeskProbePair,
       {"ProbeSetNumber", "ProbePairNumber", "UseProbePair", "Background", "PMPosX", "PMPosY", "PMIntensity",
        "PMStdDev", "PMPixels", "PMOutlier", "PMMasked", "MMPosX", "MMPosY", "MMIntensity", "MMStdDev", "MMPixels",
        "MMOutlier", "MMMasked"}},
      {CLSID_TeskGenotypeProbeSet, IID_ITeskGenotypeProbeSet,
       {"SNPID", "NumGroups", "ProbeSetType", "Call", "Confidence", "RAS1", "RAS2", "GetProbeGroupByIndex",
        "GetProbeGroups", "AA_PValue", "AB_PValue", "BB_PValue", "NoCall_PValue"}},
      {CLSID_TeskGenotypeProbeGroup, IID_ITeskGenotypeProbeGroup,
       {"GroupIndex", "NumLists", "Direction", "GetProbeListByIndex", "GetProbeLists"}},
      {CLSID_TeskGenotypeProbeList, IID_ITeskGenotypeProbeList,
       {"ListIndex", "NumProbes", "GetProbeByIndex", "GetProbes"}},
      {CLSID_TeskCustomSeqProbeSet, IID_ITeskCustomSeqProbeSet,
       {"NumGroups", "ProbeSetType", "GetProbeGroupByIndex", "GetProbeGroups", "GetProbeListByReferenceIndex"}},
      {CLSID_TeskCustomSeqProbeGroup, IID_ITeskCustomSeqProbeGroup,
       {"GroupIndex", "NumLists", "Name", "GetProbeListByIndex", "GetProbeLists"}},
      {CLSID_TeskCustomSeqProbeList, IID_ITeskCustomSeqProbeList,
       {"ListIndex", "NumProbes", "ReferenceIndex", "SequencePosition", "GroupIndex", "GetProbeByIndex",
        "GetProbes"}},
      {CLSID_TeskControlProbeSet, IID_ITeskControlProbeSet,
       {"NumQCProbes", "QCType", "ProbeSetType", "GetQCProbe", "GetQCProbes"}},
      {CLSID_TeskCustomSeqComposite, IID_ITeskCustomSeqComposite,
       {"NumBases", "GetBaseCall", "GetBaseCalls", "GetReferenceBase", "GetReferenceBases", "GetBaseCallScore",
        "GetBaseCallScores"}},
  };
  for (const auto& [clsid, iid, members] : interfaces) {
    Late object{Create(clsid)};
    ASSERT_NE(object.Get(), nullptr);
    for (size_t i = 0; i < members.size(); ++i)
      EXPECT_EQ(object.Id(members[i]), static_cast<DISPID>(i + 1)) << members[i];
    tesk::ComPtr<ISupportErrorInfo> support;
    ASSERT_EQ(object.Get()->QueryInterface(IID_ISupportErrorInfo, support.PutVoid()), S_OK);
    EXPECT_EQ(support->InterfaceSupportsErrorInfo(iid), S_OK);
    EXPECT_EQ(support->InterfaceSupportsErrorInfo(IID_ITeskCELFile), S_FALSE);
  }
  // A view created by a client, before any fill, is empty.
  Late set{Create(CLSID_TeskProbeSet)};
  EXPECT_EQ(set.Num("ProbeSetType"), UNKNOWN_PROBESET_TYPE);
  EXPECT_EQ(set.Num("NumQCProbes"), 0);
  Late pair{Create(CLSID_TeskProbePair)};
  EXPECT_EQ(pair.Num("ProbePairNumber"), -1);
  EXPECT_EQ(pair.Num("PMPosY"), 0);
}

}  // namespace
