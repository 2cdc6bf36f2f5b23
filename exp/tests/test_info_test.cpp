// Names and paths, housekeeping, string tables and labels of both builds.
#include <cstring>

#include "ostrel_test_util.h"

namespace {

template <typename B>
class TestInfoTest : public ::testing::Test {
 protected:
  ScratchDir dir_;
  typename B::Info info_;
};
TYPED_TEST_SUITE(TestInfoTest, Builds);

TYPED_TEST(TestInfoTest, ConstructorState) {
  typename TypeParam::Info t;
  EXPECT_EQ(t.Version, 1);
  EXPECT_EQ(t.SampleInfo, std::vector<std::string>(8));
  EXPECT_TRUE(t.Name.empty() && t.FullPath.empty() && t.Directory.empty());
  EXPECT_TRUE(t.ChipType.empty() && t.ProtocolSteps.empty() && t.ScannerType.empty());
  EXPECT_EQ(t.Exists(), 0);
}

TYPED_TEST(TestInfoTest, SetNameSplitsAtLastSeparator) {
  struct Case {
    const char* path;
    const char* dir;
    const char* name;
  } cases[] = {
      {"/data/exp/Liver1.EXP", "/data/exp", "Liver1"},
      {"/data/exp/Liver1.exp", "/data/exp", "Liver1"},
      {"/data/exp/Liver1.Exp", "/data/exp", "Liver1"},
      {"C:\\Data\\Liver1.EXP", "C:\\Data", "Liver1"},
      {"mixed\\dir/sub\\Liver1.EXP", "mixed\\dir/sub", "Liver1"},
      {"/data/Liver1.CEL", "/data", "Liver1.CEL"},
      {"/data/Liver1.EXP.bak", "/data", "Liver1.EXP.bak"},
      {"/data/Liver.1.EXP", "/data", "Liver.1"},
      {"Liver1.EXP", "", "Liver1"},
      {"/data/", "/data", ""},
      {"/data/.EXP", "/data", ""},
      {"EXP", "", "EXP"},
  };
  for (const Case& c : cases) {
    this->info_.SetName(c.path);
    EXPECT_EQ(this->info_.FullPath, c.path);
    EXPECT_EQ(this->info_.Directory, c.dir) << c.path;
    EXPECT_EQ(this->info_.Name, c.name) << c.path;
  }
}

TYPED_TEST(TestInfoTest, ExistsAndDelete) {
  const std::string path = this->dir_.File("e.EXP");
  this->info_.SetName(path);
  EXPECT_EQ(this->info_.Exists(), 0);
  EXPECT_EQ(this->info_.Delete(), 0);
  ASSERT_EQ(this->info_.Write(), 1);
  EXPECT_EQ(this->info_.Exists(), 1);
  EXPECT_EQ(this->info_.Delete(), 1);
  EXPECT_EQ(this->info_.Exists(), 0);
  EXPECT_FALSE(std::filesystem::exists(path));
}

TYPED_TEST(TestInfoTest, DeleteContentsKeepsPathAndEightEntries) {
  auto& t = this->info_;
  t.SetName("/x/y.EXP");
  t.ChipType = t.Protocol = t.ScanDate = t.ScannerType = "v";
  t.SampleInfo = {"a", "b"};
  t.ProtocolSteps = {"s"};
  t.DeleteContents();
  EXPECT_EQ(t.SampleInfo, std::vector<std::string>(8));
  EXPECT_TRUE(t.ChipType.empty() && t.Protocol.empty() && t.ScanDate.empty() &&
              t.ScannerType.empty() && t.ProtocolSteps.empty());
  EXPECT_EQ(t.FullPath, "/x/y.EXP");
  EXPECT_EQ(t.Name, "y");
}

TYPED_TEST(TestInfoTest, SampleInfoLabels) {
  TypeParam::Init();
  std::vector<std::string> labels = {"stale"};
  TypeParam::Labels(labels, 0);
  const std::vector<std::string> expected = {"Probe Array Lot", "Operator Name", "Sample Type",
                                             "Sample Description", "Project", "Comments",
                                             "Reagents", "Reagent Lot"};
  EXPECT_EQ(labels, expected);
  TypeParam::Labels(labels, 1);
  ASSERT_EQ(labels.size(), 8u);
  for (size_t i = 0; i < 8; ++i) EXPECT_EQ(labels[i], expected[i] + ":");
}

TYPED_TEST(TestInfoTest, StringTableOfEachBuild) {
  EXPECT_EQ(TypeParam::Load(5001), "Cannot create %s");
  EXPECT_EQ(TypeParam::Load(5002), "Cannot find %s");
  EXPECT_EQ(TypeParam::Load(5003), "Cannot read %s");
  EXPECT_EQ(TypeParam::Load(5004), "Cannot write %s");
  EXPECT_EQ(TypeParam::Load(5005), "Cannot write %s; the disk is full");
  EXPECT_EQ(TypeParam::Load(5006), "Cannot create %s; access is denied");
  EXPECT_EQ(TypeParam::Load(5007), "experiment ");
  EXPECT_EQ(TypeParam::Load(5016), "Sample User");
  EXPECT_EQ(TypeParam::Load(5017), "Experiment User");
  EXPECT_EQ(TypeParam::Load(5018), "Description");
  EXPECT_EQ(TypeParam::Load(5000), "");
  EXPECT_EQ(TypeParam::Load(5022), "");
  const bool newer = TypeParam::kBuild == 7;
  EXPECT_EQ(TypeParam::Load(5019), newer ? "Probe Array Type" : "");
  EXPECT_EQ(TypeParam::Load(5020), newer ? "Barcode" : "");
  EXPECT_EQ(TypeParam::Load(5021), newer ? "Expiration Date" : "");
}

TYPED_TEST(TestInfoTest, LastMessageNamesThePath) {
  this->info_.SetName(this->dir_.File("gone.EXP"));
  EXPECT_EQ(this->info_.Read(), 0);
  EXPECT_EQ(this->info_.LastMessage(), "Cannot find " + this->dir_.File("gone.EXP"));
}

// Both libraries live in this process: each build's class is its own type with its own code.
TEST(BothBuilds, AreDistinctAndReadEachOthersFiles) {
  static_assert(!std::is_same_v<ostrel7::CTestInfo, ostrel6::CTestInfo>);
  ScratchDir dir;
  ostrel7::CTestInfo seven;
  seven.SetName(dir.File("both.EXP"));
  seven.ChipType = "TeskDemo1164";
  seven.ProtocolSteps = {"step"};
  ASSERT_EQ(seven.Write(), 1);
  ostrel6::CTestInfo six;
  six.SetName(dir.File("both.EXP"));
  ASSERT_EQ(six.Read(), 1);
  EXPECT_EQ(six.ChipType, "TeskDemo1164");
  EXPECT_EQ(six.ProtocolSteps, seven.ProtocolSteps);
  EXPECT_EQ(ostrel7::OstrelLoadString(5020), "Barcode");
  EXPECT_EQ(ostrel6::OstrelLoadString(5020), "");
}

}  // namespace
