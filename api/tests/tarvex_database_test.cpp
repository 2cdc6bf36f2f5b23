// Database mode against the stand-in server: known and unknown files, owner and role refusals,
// unreachable and failing servers, and file-use markers by server version.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <tesk/parvel.h>
#include <tesk/pendrix71.h>
#include <tesk/zorum.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "late_bound.h"

namespace {

using namespace tarvex_test;

std::string Me() {
  char name[260] = {};
  DWORD size = sizeof name;
  GetUserName(name, &size);
  return name;
}

void WriteCel(const std::string& path) {
  ParvelClass cel;
  cel.SetName(path.c_str());
  cel.SetHeader("Cols=2\nRows=1\nGridCornerUL=0 0\nGridCornerUR=9 0\nGridCornerLR=9 9\nGridCornerLL=0 9\n"
                "Algorithm=Percentile\nAlgorithmParameters=Percentile:75\n");
  cel.SetAlgorithm("Percentile");
  for (int x = 0; x < 2; ++x) {
    CellEntryClass e;
    e.X = static_cast<std::uint16_t>(x);
    e.MEAN = 10.0f + x;
    cel.AddCellData(&e);
  }
  ASSERT_EQ(cel.Write(), 1);
}

struct Database : ::testing::Test {
  ScratchDir dir;
  std::string server;
  static inline int counter = 0;

  void SetUp() override {
    setenv("TESK_REGISTRY_DIR", (dir.path() / "registry").c_str(), 1);
    unsetenv("TESK_ZORUM_DIR");
    void* zorum = dlopen(ZORUM_LIBRARY, RTLD_NOW);
    ASSERT_NE(zorum, nullptr) << dlerror();
    auto reg = reinterpret_cast<LPFNREGISTERSERVER>(dlsym(zorum, "DllRegisterServer"));
    ASSERT_NE(reg, nullptr);
    ASSERT_EQ(reg(), S_OK);
    server = "tvsrv" + std::to_string(getpid()) + "x" + std::to_string(++counter);
    std::string error;
    ASSERT_EQ(tesk::zorum::CreateServer(server, "", &error), S_OK) << error;
    for (const char* f : {"mine.CEL", "carols.CEL", "zeds.CEL"}) WriteCel(dir.File(f));
  }
  void TearDown() override {
    std::string error;
    tesk::zorum::DropServer(server, &error);
  }

  // The laboratory: the caller and carol share the role Analysts; zed is in no role.
  void Load(const std::string& version, const std::string& own, const std::string& other) {
    const std::string json = R"({"server": {"version": ")" + version + R"(", "database": "LabDB", "serverName": ")" +
                             server + R"(", "dataPath": "/d/", "libraryPath": "/l/"},
      "roles": [{"name": "Analysts", "server": ")" + server + R"(", "database": "LabDB",
                 "members": [["LAB\\)" + Me() + R"(", "GU"], ["LAB\\carol", "GU"]],
                 "own": ")" + own + R"(", "other": ")" + other + R"("}],
      "files": [{"name": "mine.CEL", "owner": ")" + Me() + R"(", "type": "CEL"},
                {"name": "carols.CEL", "owner": "carol", "type": "CEL"},
                {"name": "zeds.CEL", "owner": "zed", "type": "CEL"},
                {"name": "mine.CHP", "owner": ")" + Me() + R"(", "type": "CHP"},
                {"name": "zeds.CHP", "owner": ")" + Me() + R"(", "type": "CHP"}]})";
    std::string error;
    ASSERT_EQ(tesk::zorum::LoadJson(server, json, &error), S_OK) << error;
  }

  Late Open(const std::string& name, const std::string& serverName) {
    Late cel{Create(CLSID_TeskCELFile)};
    EXPECT_EQ(cel.Put("Name", name), S_OK);
    EXPECT_EQ(cel.Put("DataPath", dir.str()), S_OK);
    EXPECT_EQ(cel.Put("LibPath", dir.str()), S_OK);
    EXPECT_EQ(cel.Put("ServerName", serverName), S_OK);
    return cel;
  }

  std::vector<std::string> Marked() {
    std::vector<tesk::zorum::MarkerInfo> markers;
    std::string error;
    EXPECT_EQ(tesk::zorum::ListMarkers(server, &markers, &error), S_OK) << error;
    std::vector<std::string> files;
    for (const auto& m : markers) files.push_back(m.file);
    return files;
  }

  void SetFault(HRESULT hr) {
    HKEY key;
    ASSERT_EQ(RegCreateKeyEx(HKEY_LOCAL_MACHINE, (std::string(tesk::zorum::kServersKey) + "\\" + server).c_str(), 0,
                             nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    if (hr == S_OK) {
      RegDeleteValue(key, "Fault");
    } else {
      DWORD value = static_cast<DWORD>(hr);
      RegSetValueEx(key, "Fault", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    }
    RegCloseKey(key);
  }

  static void ExpectDetail(const Late& cel, HRESULT hr, const std::string& member, const std::string& detail) {
    EXPECT_EQ(hr, E_FAIL);
    EXPECT_EQ(cel.Error().description, "Failure in ITeskCELFile-" + member + ": " + detail);
    EXPECT_EQ(cel.Error().source, "VarolithTarvex.TeskCELFile.1");
  }
};

TEST_F(Database, TheOwnersFileIsReadAndMarkedWhileLoaded) {
  Load("3.5", "YYNNNNNNNNNNNN", "NNNNNNNNNNNNNN");
  {
    Late cel = Open("mine.CEL", server);
    tesk::Variant exists;
    ASSERT_EQ(cel.Call("Exists", {}, &exists), S_OK) << cel.Error().description;
    EXPECT_EQ(AsLong(exists), 1);
    EXPECT_TRUE(Marked().empty());  // Exists gives its marker back at once
    ASSERT_EQ(cel.Call("ReadHeader"), S_OK) << cel.Error().description;
    EXPECT_TRUE(Marked().empty());
    ASSERT_EQ(cel.Call("Read"), S_OK) << cel.Error().description;
    EXPECT_EQ(Marked(), std::vector<std::string>{"mine.CEL"});
    EXPECT_EQ(cel.RealAt("GetIntensity", 1, 0), 11.0f);
    ASSERT_EQ(cel.Call("ConvertToVersion3"), S_OK) << cel.Error().description;
  }
  EXPECT_TRUE(Marked().empty());  // released with its object
}

TEST_F(Database, AServerBeforeVersion35TakesNoMarkers) {
  Load("3.4", "YYNNNNNNNNNNNN", "NNNNNNNNNNNNNN");
  Late cel = Open("mine.CEL", server);
  ASSERT_EQ(cel.Call("Read"), S_OK) << cel.Error().description;
  EXPECT_TRUE(Marked().empty());
}

TEST_F(Database, UnknownFilesAndRefusalsEndTheCallBeforeTheDiskIsTouched) {
  Load("3.5", "YNNNNNNNNNNNNN", "NNNNNNNNNNNNNN");
  Late unknown = Open("nowhere.CEL", server);
  ExpectDetail(unknown, unknown.Call("Read"), "Read", "Unable to find the file in the database.");
  // Another user's file without the right to others' data.
  Late carols = Open("carols.CEL", server);
  ExpectDetail(carols, carols.Call("ReadHeader"), "ReadHeader", "Access denied to the data file.");
  // Reading is allowed, writing (the update role function) is not.
  Late mine = Open("mine.CEL", server);
  ASSERT_EQ(mine.Call("Read"), S_OK) << mine.Error().description;
  ExpectDetail(mine, mine.Call("ConvertToVersion3"), "ConvertToVersion3", "Access denied to the data file.");
  EXPECT_TRUE(Marked().size() == 1);
}

TEST_F(Database, OthersDataNeedsTheOwnerInACommonRole) {
  Load("3.5", "YNNNNNNNNNNNNN", "YNNNNNNNNNNNNN");
  Late carols = Open("carols.CEL", server);
  EXPECT_EQ(carols.Call("Read"), S_OK) << carols.Error().description;
  Late zeds = Open("zeds.CEL", server);
  ExpectDetail(zeds, zeds.Call("Read"), "Read", "Access denied to the data file.");
}

TEST_F(Database, ACallerWithoutTheRoleFunctionIsRefused) {
  Load("3.5", "NNNNNNNNNNNNNN", "NNNNNNNNNNNNNN");
  Late mine = Open("mine.CEL", server);
  tesk::Variant exists;
  ExpectDetail(mine, mine.Call("Exists", {}, &exists), "Exists", "Access denied to the data file.");
}

TEST_F(Database, UnreachableAndFailingServersGiveOnlyTheConnectionText) {
  Load("3.5", "YYNNNNNNNNNNNN", "NNNNNNNNNNNNNN");
  Late unmapped = Open("mine.CEL", "no-such-server");
  ExpectDetail(unmapped, unmapped.Call("Read"), "Read", "Unable to connect with the database.");

  // A server too busy: the connection is dropped, and the next call connects anew.
  Late busy = Open("mine.CEL", server);
  SetFault(RPC_E_SERVER_TOO_BUSY_HR);
  ExpectDetail(busy, busy.Call("Read"), "Read", "Unable to connect with the database.");
  SetFault(S_OK);
  EXPECT_EQ(busy.Call("Read"), S_OK) << busy.Error().description;

  // A failure of another kind: five attempts, then the same text.
  Late failing = Open("mine.CEL", server);
  SetFault(E_FAIL);
  ExpectDetail(failing, failing.Call("ReadHeader"), "ReadHeader", "Unable to connect with the database.");
  SetFault(S_OK);
  EXPECT_EQ(failing.Call("ReadHeader"), S_OK) << failing.Error().description;
}

TEST_F(Database, ImageFilesUseTheSameChecks) {
  Load("3.5", "YNNNNNNNNNNNNN", "NNNNNNNNNNNNNN");
  Late dat{Create(CLSID_TeskDATFile)};
  ASSERT_EQ(dat.Put("Name", "mine.DAT"), S_OK);
  ASSERT_EQ(dat.Put("DataPath", dir.str()), S_OK);
  ASSERT_EQ(dat.Put("ServerName", server), S_OK);
  tesk::Variant exists;
  EXPECT_EQ(dat.Call("Exists", {}, &exists), E_FAIL);
  EXPECT_EQ(dat.Error().description, "Failure in ITeskDATFile-Exists: Unable to find the file in the database.");
}

// A results file and the intensity file it names are both checked and marked.
void WriteResults(const std::string& path, const char* cellFile) {
  ChipClass chip;
  chip.rows = 1;
  chip.cols = 2;
  chip.algorithmName = "ExpressionStat";
  chip.algorithmVersion = "5.0";
  chip.chipType = "Demo";
  chip.cellFile = cellFile;
  ASSERT_EQ(chip.WriteChip(path.c_str()), 0);
}

TEST_F(Database, AResultsFileAndItsIntensityFileAreCheckedAndMarked) {
  Load("3.5", "YYNNNNNNNNNNNN", "NNNNNNNNNNNNNN");
  WriteResults(dir.File("mine.CHP"), "C:\\scans\\mine.CEL");
  WriteResults(dir.File("zeds.CHP"), "C:\\scans\\zeds.CEL");
  {
    Late chp{Create(CLSID_TeskCHPFile)};
    ASSERT_EQ(chp.Put("Name", "mine.CHP"), S_OK);
    ASSERT_EQ(chp.Put("DataPath", dir.str()), S_OK);
    ASSERT_EQ(chp.Put("LibPath", dir.str()), S_OK);
    ASSERT_EQ(chp.Put("ServerName", server), S_OK);
    ASSERT_EQ(chp.Call("ReadHeader"), S_OK) << chp.Error().description;
    EXPECT_TRUE(Marked().empty()) << "a header read gives its marker back";
    EXPECT_EQ(chp.Str("ChipType"), "Demo");
    ASSERT_EQ(chp.Call("Read"), S_OK) << chp.Error().description;
    std::vector<std::string> marked = Marked();
    std::sort(marked.begin(), marked.end());
    EXPECT_EQ(marked, (std::vector<std::string>{"mine.CEL", "mine.CHP"}));

    // The intensity file of zeds.CHP belongs to someone outside the caller's roles.
    ASSERT_EQ(chp.Put("Name", "zeds.CHP"), S_OK);
    EXPECT_EQ(chp.Call("Read"), E_FAIL);
    EXPECT_EQ(chp.Error().description, "Failure in ITeskCHPFile-Read: Access denied to the data file.");
    EXPECT_TRUE(Marked().empty()) << "nothing stays marked after the refusal";
    ASSERT_EQ(chp.Put("Name", "other.CHP"), S_OK);
    EXPECT_EQ(chp.Call("Read"), E_FAIL);
    EXPECT_EQ(chp.Error().description, "Failure in ITeskCHPFile-Read: Unable to find the file in the database.");
  }
  EXPECT_TRUE(Marked().empty());
}

}  // namespace
