// The library frame: registration and creation by ProgID, the error source the registry gives,
// DllCanUnloadNow, ISupportErrorInfo, and names in the dispatch tables.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "late_bound.h"

namespace {

using namespace tarvex_test;

std::string ClassesValue(const std::string& key, const char* name = nullptr) {
  HKEY k;
  if (RegOpenKeyEx(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return "<no key>";
  char buf[1024];
  DWORD size = sizeof buf, type = 0;
  LONG st = RegQueryValueEx(k, name, nullptr, &type, reinterpret_cast<BYTE*>(buf), &size);
  RegCloseKey(k);
  if (st != ERROR_SUCCESS) return "<no value>";
  return std::string(buf, size > 0 && buf[size - 1] == 0 ? size - 1 : size);
}

struct Registered : ::testing::Test {
  void SetUp() override { ASSERT_EQ(DllRegisterServer(), S_OK); }
  void TearDown() override { EXPECT_EQ(DllUnregisterServer(), S_OK); }
};

TEST_F(Registered, ClassesAndTypeLibraryAreWrittenAsTheScriptSays) {
  const std::string clsid = "CLSID\\" + tesk::GuidToString(CLSID_TeskCELFile);
  EXPECT_EQ(ClassesValue(clsid), "TeskCELFile Class");
  EXPECT_EQ(ClassesValue(clsid + "\\ProgID"), "VarolithTarvex.TeskCELFile.1");
  EXPECT_EQ(ClassesValue(clsid + "\\VersionIndependentProgID"), "VarolithTarvex.TeskCELFile");
  EXPECT_EQ(ClassesValue(clsid + "\\InprocServer32", "ThreadingModel"), "Both");
  EXPECT_NE(ClassesValue(clsid + "\\InprocServer32").find("libtarvex.so"), std::string::npos);
  EXPECT_EQ(ClassesValue(clsid + "\\TypeLib"), tesk::GuidToString(LIBID_TARVEXLib));
  EXPECT_EQ(ClassesValue("VarolithTarvex.TeskCELFile\\CurVer"), "VarolithTarvex.TeskCELFile.1");
  EXPECT_EQ(ClassesValue("VarolithTarvex.TeskProbe.1\\CLSID"), tesk::GuidToString(CLSID_TeskProbe));
  EXPECT_EQ(ClassesValue("TypeLib\\" + tesk::GuidToString(LIBID_TARVEXLib) + "\\1.0"), "Tarvex 1.0 Type Library");
  EXPECT_EQ(ClassesValue("Interface\\" + tesk::GuidToString(IID_ITeskDATFile)), "ITeskDATFile");
}

TEST_F(Registered, ClientsCreateByProgIdAndErrorsNameTheRegisteredSource) {
  CLSID clsid{};
  ASSERT_EQ(CLSIDFromProgID(u"VarolithTarvex.TeskCELFile", &clsid), S_OK);
  EXPECT_EQ(clsid, CLSID_TeskCELFile);
  tesk::ComPtr<ITeskCELFile> cel;
  ASSERT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_ITeskCELFile, cel.PutVoid()), S_OK);
  tesk::Bstr bad("x.txt");
  EXPECT_EQ(cel->put_Name(bad.Get()), E_FAIL);
  SeenError e = TakeError();
  EXPECT_EQ(e.description, "Failure in ITeskCELFile-put_Name: Cell intensity file extension (.CEL) is expected");
  EXPECT_EQ(e.source, "VarolithTarvex.TeskCELFile.1");
  EXPECT_EQ(e.iid, IID_ITeskCELFile);
}

TEST(Unregistered, UnregisteringLeavesTheClsidRootAndErrorsKeepTheBuiltInSource) {
  ASSERT_EQ(DllRegisterServer(), S_OK);
  ASSERT_EQ(DllUnregisterServer(), S_OK);
  EXPECT_EQ(ClassesValue("CLSID\\" + tesk::GuidToString(CLSID_TeskCELFile)), "<no key>");
  EXPECT_EQ(ClassesValue("VarolithTarvex.TeskCELFile"), "<no key>");
  HKEY root;
  ASSERT_EQ(RegOpenKeyEx(HKEY_CLASSES_ROOT, "CLSID", 0, KEY_READ, &root), ERROR_SUCCESS);
  RegCloseKey(root);
  Late dat{Create(CLSID_TeskDATFile)};
  EXPECT_EQ(dat.Put("Name", "a.CEL"), E_FAIL);
  EXPECT_EQ(dat.Error().source, "VarolithTarvex.TeskDATFile.1");
}

TEST(Module, CanUnloadOnlyWithoutObjectsAndServerLocks) {
  EXPECT_EQ(DllCanUnloadNow(), S_OK);
  tesk::ComPtr<IClassFactory> factory;
  ASSERT_EQ(DllGetClassObject(CLSID_TeskProbe, IID_IClassFactory, factory.PutVoid()), S_OK);
  EXPECT_EQ(DllCanUnloadNow(), S_OK);  // a factory alone does not keep the library
  {
    tesk::ComPtr<IDispatch> probe;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IDispatch, probe.PutVoid()), S_OK);
    EXPECT_EQ(DllCanUnloadNow(), S_FALSE);
  }
  EXPECT_EQ(DllCanUnloadNow(), S_OK);
  factory->LockServer(TRUE);
  EXPECT_EQ(DllCanUnloadNow(), S_FALSE);
  factory->LockServer(FALSE);
  EXPECT_EQ(DllCanUnloadNow(), S_OK);

  void* none = nullptr;
  constexpr CLSID kUnknown{0x0BADC0DE, 0x0000, 0x4000, {0x80, 0, 0, 0, 0, 0, 0, 0x01}};
  EXPECT_EQ(DllGetClassObject(kUnknown, IID_IClassFactory, &none), CLASS_E_CLASSNOTAVAILABLE);
}

TEST(Module, EveryObjectAnswersErrorInfoForItsOwnInterfaceOnly) {
  const std::pair<CLSID, IID> classes[] = {{CLSID_TeskEXPFile, IID_ITeskEXPFile},
                                           {CLSID_TeskDATFile, IID_ITeskDATFile},
                                           {CLSID_TeskCELFile, IID_ITeskCELFile},
                                           {CLSID_TeskCHPFile, IID_ITeskCHPFile},
                                           {CLSID_TeskProbe, IID_ITeskProbe}};
  for (const auto& [clsid, iid] : classes) {
    tesk::ComPtr<IDispatch> object = Create(clsid);
    ASSERT_TRUE(object);
    tesk::ComPtr<ISupportErrorInfo> support;
    ASSERT_EQ(object->QueryInterface(IID_ISupportErrorInfo, support.PutVoid()), S_OK);
    EXPECT_EQ(support->InterfaceSupportsErrorInfo(iid), S_OK);
    EXPECT_EQ(support->InterfaceSupportsErrorInfo(IID_IDispatch), S_FALSE);
    void* same = nullptr;
    ASSERT_EQ(object->QueryInterface(iid, &same), S_OK);
    static_cast<IUnknown*>(same)->Release();
  }
}

TEST(Dispatch, NamesCompareWithoutCaseAndUnknownMembersAreRefused) {
  Late cel{Create(CLSID_TeskCELFile)};
  EXPECT_EQ(cel.Id("readheader"), 29);
  EXPECT_EQ(cel.Id("DATHEADER"), 41);
  EXPECT_EQ(cel.Id("NoSuchMember"), DISPID_UNKNOWN);
  EXPECT_EQ(cel.Call("#99"), DISP_E_MEMBERNOTFOUND);
  Late probe{Create(CLSID_TeskProbe)};
  EXPECT_EQ(probe.Id("tbase"), 11);
  EXPECT_EQ(probe.Put("PosX", "3"), DISP_E_MEMBERNOTFOUND);  // probes are read-only
}

// Every member answers to its name with the identifier of its place in the interface.
TEST(Dispatch, EveryMemberHasTheIdentifierOfItsPlace) {
  const std::pair<CLSID, std::vector<std::string>> interfaces[] = {
      {CLSID_TeskEXPFile,
       {"Name", "DataPath", "LibPath", "FullPathName", "ChipType", "Date", "ChipLot", "Operator",
        "SampleType", "SampleDesc", "Project", "Comments", "Reagents", "ReagentLot", "Protocol", "Station",
        "Module", "HybridizeDate", "ScanPixelSize", "ScanFilter", "ScanDate", "ScannerID", "NumberOfScans",
        "ScannerType", "NumProtocolSteps", "ServerName", "NTUserName", "Exists", "Read", "GetProtocolStep",
        "GetProtocolSteps"}},
      {CLSID_TeskDATFile,
       {"Name", "DataPath", "LibPath", "FullPathName", "ChipType", "Date", "NumPixelsPerRow", "NumRows",
        "MinData", "MaxData", "PixelSize", "CellMargin", "ScanSpeed", "ScanDate", "ScannerID", "UpperLeftX",
        "UpperLeftY", "UpperRightX", "UpperRightY", "LowerLeftX", "LowerLeftY", "LowerRightX",
        "LowerRightY", "ServerName", "NTUserName", "Exists", "Read", "ReadHeader", "GetIntensity",
        "GetLineIntensities"}},
      {CLSID_TeskCELFile,
       {"Name", "DataPath", "LibPath", "FullPathName", "ChipType", "Date", "FileVersion", "Algorithm",
        "AlgParams", "NumAlgParams", "CellMargin", "Rows", "Cols", "NumMasked", "NumOutliers", "NumProbes",
        "UpperLeftX", "UpperLeftY", "UpperRightX", "UpperRightY", "LowerLeftX", "LowerLeftY", "LowerRightX",
        "LowerRightY", "ServerName", "NTUserName", "Exists", "Read", "ReadHeader", "GetAlgParam",
        "GetAlgParams", "GetProbeByIndex", "GetProbeByPosition", "GetProbes", "ConvertToVersion3",
        "GetIntensity", "GetStdv", "GetPixels", "IsOutlier", "IsMasked", "DatHeader"}},
      {CLSID_TeskProbe,
       {"PosX", "PosY", "Intensity", "Pixels", "StdDev", "Outlier", "Masked", "Background", "ProbeType",
        "PBase", "TBase"}},
  };
  for (const auto& [clsid, members] : interfaces) {
    Late object{Create(clsid)};
    for (size_t i = 0; i < members.size(); ++i) EXPECT_EQ(object.Id(members[i]), static_cast<DISPID>(i + 1)) << members[i];
  }
}

}  // namespace
