// The database forms of the current build against the stand-in server: an experiment loaded
// from a file's text reads back field for field, a read followed by WriteEx reproduces the
// file, records written by one object read back in another, and unknown experiments say so.
#include <tesk/ostrel7.h>
#include <tesk/testing/scratch_dir.h>
#include <tesk/zorum.h>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

constexpr const char* kExperiment =
    "Quillomere Varolith Experiment Information\r\nVersion\t1\r\n\r\n"
    "[Sample Info]\r\nChip Type\tDemo_Array\r\nChip Lot\tL-7\r\nOperator\tc'arol\r\nSample Type\tTissue\r\n"
    "Description\t100% liver\r\nProject\tP\u00e9\r\nComments\tnone\r\nSolution Type\tT\r\nSolution Lot\t9\r\n\r\n"
    "[Fluidics]\r\nProtocol\tWash\r\nstep one\r\nstep\ttwo\r\nStation\t2\r\nModule\t3\r\nHybridize Date\tMar 07 2026 02:05PM\r\n\r\n"
    "[Scanner]\r\nPixel Size\t3\r\nFilter\t570\r\nScan Temperature\t25\r\nScan Date\tMar 08 2026 10:00AM\r\n"
    "Scanner ID\tS-1\r\nNumber of Scans\t1\r\nScanner Type\tX\r\n";

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void ExpectSameFields(const ostrel7::CTestInfo& a, const ostrel7::CTestInfo& b) {
  EXPECT_EQ(a.ChipType, b.ChipType);
  EXPECT_EQ(a.SampleInfo, b.SampleInfo);
  EXPECT_EQ(a.ProtocolSteps, b.ProtocolSteps);
  for (auto f : {&ostrel7::CTestInfo::Protocol, &ostrel7::CTestInfo::Station, &ostrel7::CTestInfo::Module,
                 &ostrel7::CTestInfo::HybridizeDate, &ostrel7::CTestInfo::PixelSize, &ostrel7::CTestInfo::Filter,
                 &ostrel7::CTestInfo::ScanTemperature, &ostrel7::CTestInfo::ScanDate, &ostrel7::CTestInfo::ScannerID,
                 &ostrel7::CTestInfo::NumberOfScans, &ostrel7::CTestInfo::ScannerType})
    EXPECT_EQ(a.*f, b.*f);
}

class OstrelDatabase : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("TESK_REGISTRY_DIR", dir_.File("registry").c_str(), 1);
    unsetenv("TESK_ZORUM_DIR");
    ASSERT_EQ(DllRegisterServer(), S_OK);
    std::string error;
    ASSERT_EQ(tesk::zorum::CreateServer("lab", "", &error), S_OK) << error;
    nlohmann::json doc = {{"experiments", {{{"name", "E1"}, {"sample", "S1"}, {"exp", kExperiment}}}}};
    ASSERT_EQ(tesk::zorum::LoadJson("lab", doc.dump(), &error), S_OK) << error;
    COSERVERINFO info{0, const_cast<LPWSTR>(u"lab"), nullptr, 0};
    MULTI_QI qi{&IID_IConnection, nullptr, S_OK};
    ASSERT_EQ(CoCreateInstanceEx(CLSID_Connection, nullptr, CLSCTX_SERVER, &info, 1, &qi), S_OK);
    *connection_.PutVoid() = qi.pItf;
    tesk::Bstr name("lab");
    connection_->put_ServerName(name.Get());
    ASSERT_EQ(connection_->Open(0), S_OK);
    std::ofstream(dir_.File("E1.EXP"), std::ios::binary) << kExperiment;
    file_.SetName(dir_.File("E1.EXP"));
    ASSERT_EQ(file_.Read(), 1);
  }
  tesk::testing::ScratchDir dir_;
  tesk::ComPtr<IConnection> connection_;
  ostrel7::CTestInfo file_;  // the same experiment read from its file
};

TEST_F(OstrelDatabase, LoadedExperimentReadsBackFieldForField) {
  ostrel7::CTestInfo db;
  db.SetName(dir_.File("E1.EXP"));
  ASSERT_EQ(db.Exists(connection_.Get()), 1);
  ASSERT_EQ(db.Read(connection_.Get()), 1);
  ExpectSameFields(db, file_);
  EXPECT_EQ(db.Records.SampleName, "S1");
  EXPECT_EQ(db.Records.SampleLot, "L-7");
}

TEST_F(OstrelDatabase, ReadThenWriteExReproducesTheFile) {
  ostrel7::CTestInfo db;
  db.SetName(dir_.File("E1.EXP"));
  ASSERT_EQ(db.Read(connection_.Get()), 1);
  db.SetName(dir_.File("copy.EXP"));
  ASSERT_EQ(db.WriteEx(), 1);
  EXPECT_EQ(ReadFile(dir_.File("copy.EXP")), kExperiment);
}

TEST_F(OstrelDatabase, WrittenRecordsReadBackInAnotherObject) {
  ostrel7::CTestInfo w = file_;
  w.SetName(dir_.File("E2.EXP"));
  w.Station = "St. 'B'";
  w.SampleInfo[5] = "50% done";
  w.Records.SampleAttributes = {{"Freezer", "F3"}};  // an attribute the file does not carry stays
  ASSERT_EQ(w.WriteExperiment(connection_.Get()), 1);
  ASSERT_EQ(w.WriteSample(connection_.Get()), 1);
  ostrel7::CTestInfo r;
  r.SetName(dir_.File("E2.EXP"));
  ASSERT_EQ(r.Read(connection_.Get()), 1);
  ExpectSameFields(r, w);
  EXPECT_EQ(r.Records.SampleName, "E2");  // without a sample name, the sample is the experiment's
  ASSERT_EQ(r.Records.SampleAttributes.size(), 5u);
  EXPECT_EQ(r.Records.SampleAttributes[4], (std::pair<std::string, std::string>{"Freezer", "F3"}));
}

TEST_F(OstrelDatabase, UnknownExperimentsAndMissingConnectionsAnswerZero) {
  ostrel7::CTestInfo t = file_;
  t.SetName(dir_.File("Nope.EXP"));
  EXPECT_EQ(t.Exists(connection_.Get()), 0);
  EXPECT_EQ(t.Read(connection_.Get()), 0);
  EXPECT_TRUE(t.ChipType.empty() && t.Protocol.empty() && t.Records.SampleName.empty());  // emptied
  EXPECT_EQ(t.LastMessageId(), tesk::ostrel::IDS_CANNOT_FIND);
  EXPECT_EQ(t.Exists(nullptr), 0);
  EXPECT_EQ(t.Read(nullptr), 0);
  EXPECT_EQ(t.WriteExperiment(nullptr), 0);
  EXPECT_EQ(t.WriteSample(nullptr), 0);
  // A closed connection is refused by the server.
  connection_->Close();
  t.SetName(dir_.File("E1.EXP"));
  EXPECT_EQ(t.Read(connection_.Get()), 0);
  EXPECT_EQ(t.WriteExperiment(connection_.Get()), 0);
}

}  // namespace
