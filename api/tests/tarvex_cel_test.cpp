// TeskCELFile and TeskProbe driven late-bound on intensity files written with Parvel.
#include <gtest/gtest.h>
#include <tesk/parvel.h>

#include <cstdint>
#include <string>

#include "late_bound.h"

namespace {

using namespace tarvex_test;

constexpr int kCols = 5, kRows = 4;

float Mean(int x, int y) { return 100.5f + static_cast<float>(x * 7 + y * 3); }

// A 5 x 4 file: (1,0) and (2,3) masked, (4,1) an outlier, (3,2) with 40000 pixels.
void WriteSample(const std::string& path) {
  ParvelClass cel;
  cel.SetName(path.c_str());
  cel.SetHeader(
      "Cols=5\nRows=4\nGridCornerUL=10 12\nGridCornerUR=400 11\nGridCornerLR=401 405\n"
      "GridCornerLL=9 404\nAlgorithm=Percentile\n"
      "DatHeader=[0..46000]  demo:CLS=4733 \x14  \x14 Demo_Array.1sq \x14  \x14 \n"
      "AlgorithmParameters=Percentile:75;CellMargin:2;OutlierHigh:1.500;OutlierLow:1.004\n");
  cel.SetAlgorithm("Percentile");
  for (int y = 0; y < kRows; ++y) {
    for (int x = 0; x < kCols; ++x) {
      CellEntryClass e;
      e.X = static_cast<std::uint16_t>(x);
      e.Y = static_cast<std::uint16_t>(y);
      e.MEAN = Mean(x, y);
      e.STDV = static_cast<float>(x) + 0.5f;
      e.NPIXELS = (x == 3 && y == 2) ? 40000 : static_cast<std::uint16_t>(16 + x);
      e.MASKED = (x == 1 && y == 0) || (x == 2 && y == 3);
      e.OUTLIER = x == 4 && y == 1;
      cel.AddCellData(&e);
    }
  }
  ASSERT_EQ(cel.Write(), 1);
}

constexpr const char* kSource = "VarolithTarvex.TeskCELFile.1";

struct CelFile : ::testing::Test {
  ScratchDir dir;
  Late cel{Create(CLSID_TeskCELFile)};
  void SetUp() override {
    ASSERT_NE(cel.Get(), nullptr);
    WriteSample(dir.File("sample.CEL"));
    ASSERT_EQ(cel.Put("Name", "sample.CEL"), S_OK);
    ASSERT_EQ(cel.Put("DataPath", dir.str()), S_OK);
    ASSERT_EQ(cel.Put("LibPath", dir.str()), S_OK);
  }
  void ExpectFailure(HRESULT hr, const std::string& description) { ExpectFailureOf(cel, hr, description); }
  static void ExpectFailureOf(const Late& object, HRESULT hr, const std::string& description) {
    EXPECT_EQ(hr, E_FAIL);
    EXPECT_EQ(object.Error().description, description);
    EXPECT_EQ(object.Error().source, kSource);
  }
};

TEST_F(CelFile, NameRulesTrimCheckTheExtensionAndKeepTheEarlierValueOnFailure) {
  EXPECT_EQ(cel.Put("Name", "  other.cel  "), S_OK);
  EXPECT_EQ(cel.Str("Name"), "other.cel");
  EXPECT_EQ(cel.Str("FullPathName"), dir.str() + "/other.cel");
  ExpectFailure(cel.Put("Name", "noextension"),
                "Failure in ITeskCELFile-put_Name: The file name contains invalid extension");
  ExpectFailure(cel.Put("Name", "a.DAT"),
                "Failure in ITeskCELFile-put_Name: Cell intensity file extension (.CEL) is expected");
  ExpectFailure(cel.Put("#1", "   "),
                "Failure in ITeskCELFile-put_Name: The cell intensity file name should not be empty");
  ExpectFailure(cel.Put("DataPath", " \t "), "Failure in ITeskCELFile-put_DataPath: Data path should not be empty");
  ExpectFailure(cel.Put("LibPath", ""), "Failure in ITeskCELFile-put_LibPath: Library path should not be empty");
  EXPECT_EQ(cel.Str("Name"), "other.cel");
  EXPECT_EQ(cel.Str("#2"), dir.str());
  EXPECT_EQ(cel.Str("FullPathName"), dir.str() + "/other.cel");

  // Either order completes the full path; a data path alone leaves it open at the end.
  Late fresh{Create(CLSID_TeskCELFile)};
  ASSERT_EQ(fresh.Put("DataPath", "/d"), S_OK);
  EXPECT_EQ(fresh.Str("FullPathName"), "/d/");
  ASSERT_EQ(fresh.Put("Name", "x.CEL"), S_OK);
  EXPECT_EQ(fresh.Str("#4"), "/d/x.CEL");

  // ServerName and NTUserName are stored exactly as given.
  EXPECT_EQ(cel.Put("NTUserName", " someone "), S_OK);
  EXPECT_EQ(cel.Str("#26"), " someone ");
  EXPECT_EQ(cel.Str("ServerName"), "");
}

TEST_F(CelFile, BeforeAReadGettersAnswerEmptyAndProbesAreReset) {
  EXPECT_EQ(cel.Num("Rows"), 0);
  EXPECT_EQ(cel.Str("ChipType"), "");
  EXPECT_EQ(cel.Str("DatHeader"), "");
  EXPECT_EQ(cel.Str("Date"), "");
  EXPECT_EQ(cel.RealAt("GetIntensity", 1, 1), 0.0f);
  EXPECT_EQ(cel.NumAt("IsMasked", 1, 0), 0);

  Late probe{Create(CLSID_TeskProbe)};
  EXPECT_EQ(cel.Call("GetProbeByIndex", {Long(3), Object(probe.Get())}), S_OK);
  EXPECT_EQ(probe.Num("PosX"), 32767);
  EXPECT_EQ(probe.Num("PosY"), 32767);
  EXPECT_EQ(probe.Num("ProbeType"), UNKNOWN_PROBE_TYPE);

  tesk::Variant name, value;
  EXPECT_EQ(cel.Call("GetAlgParam", {Long(7), Out(&name), Out(&value)}), S_OK);
  EXPECT_EQ(AsText(name), "");

  ExpectFailure(cel.Call("ConvertToVersion3"),
                "Failure in ITeskCELFile-ConvertToVersion3: The intensity file must first be read before converting "
                "to the older format.");
}

TEST_F(CelFile, ReadFailuresNameWhatIsMissing) {
  tesk::Variant exists;
  ASSERT_EQ(cel.Call("Exists", {}, &exists), S_OK);
  EXPECT_EQ(AsLong(exists), 1);
  ASSERT_EQ(cel.Put("Name", "missing.CEL"), S_OK);
  ASSERT_EQ(cel.Call("#27", {}, &exists), S_OK);
  EXPECT_EQ(AsLong(exists), 0);
  ExpectFailure(cel.Call("Read"), "Failure in ITeskCELFile-Read: The cell intensity file does not exist");
  ExpectFailure(cel.Call("ReadHeader"), "Failure in ITeskCELFile-ReadHeader: The cell intensity file does not exist");

  Late noLib{Create(CLSID_TeskCELFile)};
  ASSERT_EQ(noLib.Put("Name", "sample.CEL"), S_OK);
  ExpectFailureOf(noLib, noLib.Call("Read"), "Failure in ITeskCELFile-Read: Data path should not be empty");
  ASSERT_EQ(noLib.Put("DataPath", dir.str()), S_OK);
  ExpectFailureOf(noLib, noLib.Call("Read"), "Failure in ITeskCELFile-Read: Library path should not be empty");

  // A file that is not an intensity file.
  { FILE* f = fopen(dir.File("junk.CEL").c_str(), "wb"); fputs("not cells", f); fclose(f); }
  ASSERT_EQ(cel.Put("Name", "junk.CEL"), S_OK);
  ExpectFailure(cel.Call("Read"), "Failure in ITeskCELFile-Read: Cannot read the cell intensity file");
  ExpectFailure(cel.Call("#29"), "Failure in ITeskCELFile-ReadHeader: Cannot read cell intensity file header");
}

TEST_F(CelFile, ReadAnswersHeaderCellsAndParametersByNameAndByIdentifier) {
  ASSERT_EQ(cel.Call("Read"), S_OK);
  EXPECT_EQ(cel.Num("Rows"), kRows);
  EXPECT_EQ(cel.Num("#13"), kCols);
  EXPECT_EQ(cel.Num("NumProbes"), kRows * kCols);
  EXPECT_EQ(cel.Num("NumMasked"), 2);
  EXPECT_EQ(cel.Num("NumOutliers"), 1);
  EXPECT_EQ(cel.Num("FileVersion"), 4);
  EXPECT_EQ(cel.Str("Algorithm"), "Percentile");
  EXPECT_EQ(cel.Str("ChipType"), "Demo_Array");
  EXPECT_NE(cel.Str("Date"), "");
  EXPECT_EQ(cel.Num("UpperLeftX"), 10);
  EXPECT_EQ(cel.Num("#18"), 12);
  EXPECT_EQ(cel.Num("UpperRightX"), 400);
  EXPECT_EQ(cel.Num("UpperRightY"), 11);
  EXPECT_EQ(cel.Num("LowerLeftX"), 9);
  EXPECT_EQ(cel.Num("LowerLeftY"), 404);
  EXPECT_EQ(cel.Num("LowerRightX"), 401);
  EXPECT_EQ(cel.Num("#24"), 405);
  EXPECT_EQ(cel.Num("CellMargin"), 2);
  // The image header text between "DatHeader=" and "Algorithm".
  EXPECT_EQ(cel.Str("DatHeader").rfind("[0..46000]  demo:CLS=4733", 0), 0u) << cel.Str("DatHeader");
  EXPECT_EQ(cel.Str("DatHeader").find("Algorithm"), std::string::npos);

  // Cells by position.
  EXPECT_EQ(cel.RealAt("GetIntensity", 3, 2), Mean(3, 2));
  EXPECT_EQ(cel.RealAt("#37", 4, 0), 4.5f);
  EXPECT_EQ(cel.NumAt("GetPixels", 3, 2), static_cast<std::int16_t>(40000));  // 16 bits, sign-extended
  EXPECT_EQ(cel.NumAt("IsOutlier", 4, 1), 1);
  EXPECT_EQ(cel.NumAt("#40", 2, 3), 1);
  EXPECT_EQ(cel.NumAt("IsMasked", 0, 0), 0);

  // Parameters: the split of the parameter text.
  const LONG n = cel.Num("NumAlgParams");
  ASSERT_GT(n, 0) << cel.Str("AlgParams");
  tesk::Variant name, value;
  ASSERT_EQ(cel.Call("GetAlgParam", {Long(0), Out(&name), Out(&value)}), S_OK);
  EXPECT_EQ(cel.Str("AlgParams").rfind(AsText(name) + "=" + AsText(value), 0), 0u);
  ExpectFailure(cel.Call("GetAlgParam", {Long(n), Out(&name), Out(&value)}),
                "Failure in CTeskCELFile-GetAlgParam: Index out of range error");
  tesk::Variant names, values;
  ASSERT_EQ(cel.Call("GetAlgParams", {Out(&names), Out(&values)}), S_OK);
  ASSERT_EQ(names.vt, VT_ARRAY | VT_BSTR);
  LONG upper = -1;
  SafeArrayGetUBound(values.parray, 1, &upper);
  EXPECT_EQ(upper, n - 1);
}

TEST_F(CelFile, ProbesAreFilledByIndexPositionOrAllAtOnce) {
  ASSERT_EQ(cel.Call("Read"), S_OK);
  Late probe{Create(CLSID_TeskProbe)};
  ASSERT_EQ(cel.Call("GetProbeByIndex", {Long(2 * kCols + 3), Object(probe.Get())}), S_OK);
  EXPECT_EQ(probe.Num("PosX"), 3);
  EXPECT_EQ(probe.Num("#2"), 2);
  EXPECT_EQ(probe.Real("Intensity"), Mean(3, 2));
  EXPECT_EQ(probe.Num("Pixels"), static_cast<std::int16_t>(40000));
  EXPECT_EQ(probe.Real("StdDev"), 3.5f);
  EXPECT_EQ(probe.Num("ProbeType"), REGULAR_PROBE_TYPE);
  EXPECT_EQ(probe.Real("Background"), 0.0f);
  EXPECT_EQ(probe.Str("PBase"), "");
  EXPECT_EQ(probe.Str("#11"), "");
  ASSERT_EQ(cel.Call("#33", {Long(4), Long(1), Object(probe.Get())}), S_OK);
  EXPECT_EQ(probe.Num("Outlier"), 1);
  ASSERT_EQ(cel.Call("GetProbeByPosition", {Long(1), Long(0), Object(probe.Get())}), S_OK);
  EXPECT_EQ(probe.Num("#7"), 1);

  ExpectFailure(cel.Call("GetProbeByIndex", {Long(kCols * kRows), Object(probe.Get())}),
                "Failure in ITeskCELFile-GetProbeByIndex: Index out of range error");
  ExpectFailure(cel.Call("GetProbeByPosition", {Long(kCols), Long(0), Object(probe.Get())}),
                "Failure in ITeskCELFile-GetProbeByPosition: Position X out of range error");
  ExpectFailure(cel.Call("GetProbeByPosition", {Long(kCols), Long(kRows), Object(probe.Get())}),
                "Failure in ITeskCELFile-GetProbeByPosition: Position X out of range error");
  ExpectFailure(cel.Call("GetProbeByPosition", {Long(0), Long(kRows), Object(probe.Get())}),
                "Failure in ITeskCELFile-GetProbeByPosition: Position Y out of range error");
  EXPECT_EQ(cel.Call("GetProbeByIndex", {Long(0), Object(nullptr)}), E_POINTER);
  EXPECT_EQ(cel.Error().description,
            "Failure in ITeskCELFile-GetProbeByIndex: The probe interface pointer should not be NULL");
  // An object of another class is not a probe of this library.
  Late other{Create(CLSID_TeskCELFile)};
  EXPECT_NE(cel.Call("GetProbeByIndex", {Long(0), Object(other.Get())}), S_OK);

  tesk::Variant all;
  ASSERT_EQ(cel.Call("GetProbes", {Out(&all)}), S_OK);
  ASSERT_EQ(all.vt, VT_ARRAY | VT_DISPATCH);
  LONG lower = -1, upper = -1;
  SafeArrayGetLBound(all.parray, 1, &lower);
  SafeArrayGetUBound(all.parray, 1, &upper);
  EXPECT_EQ(lower, 0);
  ASSERT_EQ(upper, kCols * kRows - 1);
  for (LONG i = 0; i <= upper; ++i) {
    IDispatch* item = nullptr;
    ASSERT_EQ(SafeArrayGetElement(all.parray, &i, &item), S_OK);
    Late p{tesk::ComPtr<IDispatch>(item)};
    item->Release();
    EXPECT_EQ(p.Num("PosX"), i % kCols);
    EXPECT_EQ(p.Num("PosY"), i / kCols);
    EXPECT_EQ(p.Real("Intensity"), Mean(i % kCols, i / kCols));
  }
}

TEST_F(CelFile, ProbesOutliveTheirFileObjectWithoutTouchingFreedMemory) {
  Late probe{Create(CLSID_TeskProbe)};
  {
    Late owner{Create(CLSID_TeskCELFile)};
    ASSERT_EQ(owner.Put("Name", "sample.CEL"), S_OK);
    ASSERT_EQ(owner.Put("DataPath", dir.str()), S_OK);
    ASSERT_EQ(owner.Put("LibPath", dir.str()), S_OK);
    ASSERT_EQ(owner.Call("Read"), S_OK);
    ASSERT_EQ(owner.Call("GetProbeByIndex", {Long(7), Object(probe.Get())}), S_OK);
  }
  EXPECT_EQ(probe.Num("PosX"), 2);
  probe.Real("Intensity");  // the reader is closed: any value, but no crash
}

TEST_F(CelFile, ExistsAfterAReadKeepsTheCellsReadable) {
  ASSERT_EQ(cel.Call("Read"), S_OK);
  tesk::Variant exists;
  ASSERT_EQ(cel.Call("Exists", {}, &exists), S_OK);
  EXPECT_EQ(AsLong(exists), 1);
  EXPECT_EQ(cel.RealAt("GetIntensity", 3, 2), Mean(3, 2));
  Late probe{Create(CLSID_TeskProbe)};
  ASSERT_EQ(cel.Call("GetProbeByIndex", {Long(1), Object(probe.Get())}), S_OK);
  EXPECT_EQ(probe.Real("Intensity"), Mean(1, 0));
}

TEST_F(CelFile, ReadHeaderLoadsOnlyTheHeaderAndConvertNeedsTheData) {
  ASSERT_EQ(cel.Call("ReadHeader"), S_OK);
  EXPECT_EQ(cel.Num("Rows"), kRows);
  EXPECT_EQ(cel.Str("Date"), "");
  EXPECT_GT(cel.Num("NumAlgParams"), 0);
  EXPECT_EQ(cel.RealAt("GetIntensity", 3, 2), 0.0f);
  ExpectFailure(cel.Call("ConvertToVersion3"),
                "Failure in ITeskCELFile-ConvertToVersion3: The intensity file must first be read before converting "
                "to the older format.");
}

TEST_F(CelFile, ConvertToVersion3RewritesTheFileAsText) {
  ASSERT_EQ(cel.Call("Read"), S_OK);
  ASSERT_EQ(cel.Call("#35"), S_OK);
  Late again{Create(CLSID_TeskCELFile)};
  ASSERT_EQ(again.Put("Name", "sample.CEL"), S_OK);
  ASSERT_EQ(again.Put("DataPath", dir.str()), S_OK);
  ASSERT_EQ(again.Put("LibPath", dir.str()), S_OK);
  ASSERT_EQ(again.Call("Read"), S_OK);
  EXPECT_EQ(again.Num("FileVersion"), 3);
  EXPECT_FLOAT_EQ(again.RealAt("GetIntensity", 3, 2), Mean(3, 2));
  EXPECT_EQ(again.NumAt("IsMasked", 2, 3), 1);

  // A directory in the file's place cannot be written.
  std::filesystem::remove(dir.File("sample.CEL"));
  std::filesystem::create_directory(dir.File("sample.CEL"));
  ExpectFailureOf(again, again.Call("ConvertToVersion3"), "Failure in ITeskCELFile-ConvertToVersion3: Cannot write sample.CEL");
}

TEST_F(CelFile, DatabaseModeWithoutAReachableServerRefusesBeforeTheDiskIsTouched) {
  ASSERT_EQ(cel.Put("ServerName", "no-such-server"), S_OK);
  tesk::Variant exists;
  ExpectFailure(cel.Call("Exists", {}, &exists), "Failure in ITeskCELFile-Exists: Unable to connect with the database.");
  ExpectFailure(cel.Call("Read"), "Failure in ITeskCELFile-Read: Unable to connect with the database.");
  ExpectFailure(cel.Call("ReadHeader"), "Failure in ITeskCELFile-ReadHeader: Unable to connect with the database.");
  EXPECT_EQ(cel.Num("Rows"), 0);
}

}  // namespace
