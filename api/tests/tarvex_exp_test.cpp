// TeskEXPFile driven late-bound on experiment files written with Ostrel7.
#include <gtest/gtest.h>
#include <tesk/ostrel7.h>

#include "late_bound.h"

namespace {

using namespace tarvex_test;

void WriteSample(const std::string& path, const std::string& scans = "2") {
  CTestInfo info;
  info.SetName(path);
  info.ChipType = "Demo_Array";
  info.SampleInfo = {"lot-7", "ana", "tissue", "liver sample", "proj-x", "no comment", "kit A", "kit lot 9"};
  info.Protocol = "Hyb 45";
  info.Station = "3";
  info.Module = "2";
  info.HybridizeDate = "03/07/26 02:05 PM";
  info.PixelSize = "3";
  info.Filter = "570";
  info.ScanTemperature = "22";
  info.ScanDate = "";
  info.ScannerID = "scanner-1";
  info.NumberOfScans = scans;
  info.ScannerType = "demo";
  info.ProtocolSteps = {"Wash A 10 min", "Stain", "Wash B"};
  ASSERT_EQ(info.Write(), 1);
}

constexpr const char* kSource = "VarolithTarvex.TeskEXPFile.1";

struct ExpFile : ::testing::Test {
  ScratchDir dir;
  Late exp{Create(CLSID_TeskEXPFile)};
  void SetUp() override {
    ASSERT_NE(exp.Get(), nullptr);
    WriteSample(dir.File("run.EXP"));
    ASSERT_EQ(exp.Put("Name", "run.EXP"), S_OK);
    ASSERT_EQ(exp.Put("DataPath", dir.str()), S_OK);
    ASSERT_EQ(exp.Put("LibPath", dir.str()), S_OK);
  }
  void ExpectFailure(HRESULT hr, const std::string& description) {
    EXPECT_EQ(hr, E_FAIL);
    EXPECT_EQ(exp.Error().description, description);
    EXPECT_EQ(exp.Error().source, kSource);
  }
};

TEST_F(ExpFile, EveryValueIsEmptyBeforeARead) {
  for (const char* member : {"ChipType", "ChipLot", "Operator", "SampleType", "SampleDesc", "Project", "Comments",
                             "Reagents", "ReagentLot", "Protocol", "Station", "Module", "HybridizeDate",
                             "ScanPixelSize", "ScanFilter", "ScanDate", "ScannerID", "ScannerType", "Date"})
    EXPECT_EQ(exp.Str(member), "") << member;
  EXPECT_EQ(exp.Num("NumberOfScans"), 0);
  EXPECT_EQ(exp.Num("NumProtocolSteps"), 0);
  tesk::Variant step;
  EXPECT_EQ(exp.Call("GetProtocolStep", {Long(5)}, &step), S_OK);
  EXPECT_EQ(AsText(step), "");
  tesk::Variant steps;
  ASSERT_EQ(exp.Call("GetProtocolSteps", {Out(&steps)}), S_OK);
  LONG upper = 0;
  SafeArrayGetUBound(steps.parray, 1, &upper);
  EXPECT_EQ(upper, -1);
}

TEST_F(ExpFile, ReadAnswersEveryFieldByNameAndByIdentifier) {
  // ServerName plays no part for experiment files.
  ASSERT_EQ(exp.Put("ServerName", "no-such-server"), S_OK);
  tesk::Variant exists;
  ASSERT_EQ(exp.Call("Exists", {}, &exists), S_OK);
  EXPECT_EQ(AsLong(exists), 1);
  ASSERT_EQ(exp.Call("Read"), S_OK);
  EXPECT_EQ(exp.Str("ChipType"), "Demo_Array");
  EXPECT_EQ(exp.Str("#7"), "lot-7");
  EXPECT_EQ(exp.Str("Operator"), "ana");
  EXPECT_EQ(exp.Str("SampleType"), "tissue");
  EXPECT_EQ(exp.Str("SampleDesc"), "liver sample");
  EXPECT_EQ(exp.Str("Project"), "proj-x");
  EXPECT_EQ(exp.Str("Comments"), "no comment");
  EXPECT_EQ(exp.Str("Reagents"), "kit A");
  EXPECT_EQ(exp.Str("#14"), "kit lot 9");
  EXPECT_EQ(exp.Str("Protocol"), "Hyb 45");
  EXPECT_EQ(exp.Str("Station"), "3");
  EXPECT_EQ(exp.Str("Module"), "2");
  EXPECT_EQ(exp.Str("HybridizeDate"), "Mar 07 2026 02:05PM");
  EXPECT_EQ(exp.Str("ScanDate"), "");
  EXPECT_EQ(exp.Str("ScanPixelSize"), "3");
  EXPECT_EQ(exp.Str("ScanFilter"), "570");
  EXPECT_EQ(exp.Str("#22"), "scanner-1");
  EXPECT_EQ(exp.Num("NumberOfScans"), 2);
  EXPECT_EQ(exp.Str("ScannerType"), "demo");
  EXPECT_EQ(exp.Num("#25"), 3);
  EXPECT_NE(exp.Str("Date"), "");

  tesk::Variant step;
  ASSERT_EQ(exp.Call("#30", {Long(1)}, &step), S_OK);
  EXPECT_EQ(AsText(step), "Stain");
  ExpectFailure(exp.Call("GetProtocolStep", {Long(3)}, &step),
                "Failure in ITeskEXPFile-GetProtocolStep: Index out of range error");
  ExpectFailure(exp.Call("GetProtocolStep", {Long(-1)}, &step),
                "Failure in ITeskEXPFile-GetProtocolStep: Index out of range error");
  tesk::Variant steps;
  ASSERT_EQ(exp.Call("GetProtocolSteps", {Out(&steps)}), S_OK);
  ASSERT_EQ(steps.vt, VT_ARRAY | VT_BSTR);
  LONG i = 2;
  BSTR last = nullptr;
  ASSERT_EQ(SafeArrayGetElement(steps.parray, &i, &last), S_OK);
  EXPECT_EQ(tesk::FromBstr(last), "Wash B");
  SysFreeString(last);
}

TEST_F(ExpFile, ANonNumericScanCountAnswersZero) {
  WriteSample(dir.File("odd.EXP"), "several");
  ASSERT_EQ(exp.Put("Name", "odd.EXP"), S_OK);
  ASSERT_EQ(exp.Call("Read"), S_OK);
  EXPECT_EQ(exp.Num("NumberOfScans"), 0);
}

TEST_F(ExpFile, FailuresNameTheirCause) {
  ExpectFailure(exp.Put("Name", "run.CEL"),
                "Failure in ITeskEXPFile-put_Name: Experiment file extension (.EXP) is expected");
  ExpectFailure(exp.Put("Name", ""), "Failure in ITeskEXPFile-put_Name: The experiment name should not be empty");
  ASSERT_EQ(exp.Put("Name", "gone.exp"), S_OK);
  tesk::Variant exists;
  ASSERT_EQ(exp.Call("Exists", {}, &exists), S_OK);
  EXPECT_EQ(AsLong(exists), 0);
  ExpectFailure(exp.Call("Read"), "Failure in ITeskEXPFile-Read: The experiment file does not exist");

  { FILE* f = fopen(dir.File("bad.EXP").c_str(), "wb"); fputs("garbage\n", f); fclose(f); }
  ASSERT_EQ(exp.Put("Name", "bad.EXP"), S_OK);
  ExpectFailure(exp.Call("Read"), "Failure in ITeskEXPFile-Read: Cannot read the experiment file");

  Late fresh{Create(CLSID_TeskEXPFile)};
  ASSERT_EQ(fresh.Put("Name", "run.EXP"), S_OK);
  ASSERT_EQ(fresh.Put("DataPath", dir.str()), S_OK);
  EXPECT_EQ(fresh.Call("Read"), E_FAIL);
  EXPECT_EQ(fresh.Error().description, "Failure in ITeskEXPFile-Read: Library path should not be empty");
  // The vtable reaches the same code as Invoke.
  tesk::ComPtr<ITeskEXPFile> direct;
  ASSERT_EQ(fresh.Get()->QueryInterface(IID_ITeskEXPFile, direct.PutVoid()), S_OK);
  EXPECT_EQ(direct->GetProtocolSteps(nullptr), E_POINTER);
  SeenError e = TakeError();
  EXPECT_EQ(e.description, "Failure in ITeskEXPFile-GetProtocolSteps: The input safearray pointer should not be NULL");
  EXPECT_EQ(e.iid, IID_ITeskEXPFile);
}

}  // namespace
