// The chooser's rules without windows: filter texts, separators, selection order, type codes,
// the filter settings in the registry, and the shutdown monitor's timing.
#include <gtest/gtest.h>
#include <tesk/testing/scratch_dir.h>

#include <atomic>
#include <chrono>
#include <thread>

#include <tesk/platform.h>

#include "chooser_rules.h"
#include "filter_settings.h"
#include "server_module.h"

namespace {

using namespace selvane;
using namespace std::chrono_literals;

TEST(FileModeFilter, FollowsTheMaskInFixedOrder) {
  EXPECT_EQ(FileModeFilter(5), "CHP Files (*.CHP)|*.CHP|DAT Files (*.DAT)|*.DAT||");
  EXPECT_EQ(FileModeFilter(2), "CEL Files (*.CEL)|*.CEL||");
  EXPECT_EQ(FileModeFilter(7), "CHP Files (*.CHP)|*.CHP|CEL Files (*.CEL)|*.CEL|DAT Files (*.DAT)|*.DAT||");
  EXPECT_EQ(FileModeFilter(0), FileModeFilter(7));
  // Bits beyond the three types are ignored; a mask with none of them leaves only the end.
  EXPECT_EQ(FileModeFilter(8), "|");
  const auto pairs = ParseFilter(FileModeFilter(5));
  ASSERT_EQ(pairs.size(), 2u);
  EXPECT_EQ(pairs[0], (std::pair<std::string, std::string>{"CHP Files (*.CHP)", "*.CHP"}));
  EXPECT_EQ(pairs[1], (std::pair<std::string, std::string>{"DAT Files (*.DAT)", "*.DAT"}));
  EXPECT_TRUE(ParseFilter("|").empty());
  EXPECT_TRUE(ParseFilter("no pattern").empty());
}

TEST(Paths, TrailingSeparatorAddedOnceAndEmptyStaysEmpty) {
  EXPECT_EQ(WithTrailingSeparator("/data"), "/data/");
  EXPECT_EQ(WithTrailingSeparator("/data/"), "/data/");
  EXPECT_EQ(WithTrailingSeparator("C:\\data\\"), "C:\\data\\");
  EXPECT_EQ(WithTrailingSeparator(""), "");
}

TEST(Selection, NamesComeInReverseOrderAndTheDirectoryBecomesTheDataPath) {
  const FileSelection s = SplitSelection({"/d/x/a.CEL", "/d/x/b.CEL", "/d/x/c.CEL"});
  EXPECT_EQ(s.dataPath, "/d/x/");
  EXPECT_EQ(s.names, (std::vector<std::string>{"c.CEL", "b.CEL", "a.CEL"}));
  EXPECT_TRUE(SplitSelection({}).names.empty());
  EXPECT_EQ(SplitSelection({"plain.DAT"}).dataPath, "");
}

TEST(TypeCodes, ThreeRowsMapBothWays) {
  EXPECT_EQ(DatabaseTypeCode(1), "DAT");
  EXPECT_EQ(DatabaseTypeCode(2), "CEL");
  EXPECT_EQ(DatabaseTypeCode(4), "CHP");
  EXPECT_FALSE(DatabaseTypeCode(0));
  EXPECT_FALSE(DatabaseTypeCode(3));
  EXPECT_EQ(FileTypeFromCode("CHP"), 4);
  EXPECT_FALSE(FileTypeFromCode("cel"));
  EXPECT_FALSE(FileTypeFromCode(""));
}

TEST(FilterSettingsStore, RoundTripsDefaultsAndCutsLongText) {
  tesk::testing::ScratchDir dir;
  setenv("TESK_REGISTRY_DIR", dir.str().c_str(), 1);
  FilterSettings none = ReadFilterSettings();
  EXPECT_EQ(none.assay, kAllAssays);
  EXPECT_EQ(none.project, "");

  FilterSettings s;
  s.experimentName = "E1";
  s.assay = 3;
  s.assayName = "Expression";
  s.arrayType = "Demo_Array";
  s.project = "P2";
  s.sampleName = "S1";
  s.sampleType = "Tissue";
  s.user = "bob";
  s.lowerDate = "01 31 2026";
  s.upperDate = "";
  ASSERT_TRUE(WriteFilterSettings(s));
  FilterSettings r = ReadFilterSettings();
  EXPECT_EQ(r.experimentName, "E1");
  EXPECT_EQ(r.assay, 3u);
  EXPECT_EQ(r.assayName, "Expression");
  EXPECT_EQ(r.arrayType, "Demo_Array");
  EXPECT_EQ(r.project, "P2");
  EXPECT_EQ(r.sampleName, "S1");
  EXPECT_EQ(r.sampleType, "Tissue");
  EXPECT_EQ(r.user, "bob");
  EXPECT_EQ(r.lowerDate, "01 31 2026");
  EXPECT_EQ(r.upperDate, "");

  s.project = std::string(400, 'p');
  ASSERT_TRUE(WriteFilterSettings(s));
  EXPECT_EQ(ReadFilterSettings().project, std::string(259, 'p'));

  // A value of the wrong kind is ignored.
  HKEY k;
  ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, kFilterKey, 0, KEY_ALL_ACCESS, &k), ERROR_SUCCESS);
  const char text[] = "7";
  RegSetValueEx(k, "Assay", 0, REG_SZ, reinterpret_cast<const BYTE*>(text), sizeof text);
  RegCloseKey(k);
  EXPECT_EQ(ReadFilterSettings().assay, kAllAssays);
}

TEST(ShutdownMonitor, EndsOneQuietPeriodAfterTheLastRelease) {
  ServerModule m(200ms);
  std::atomic<int> quits{0};
  std::atomic<std::chrono::steady_clock::time_point> at{};
  m.StartMonitor([&] {
    at = std::chrono::steady_clock::now();
    ++quits;
  });
  m.Lock();
  m.Lock();
  m.Unlock();
  std::this_thread::sleep_for(400ms);
  EXPECT_EQ(quits, 0) << "an object is still alive";
  const auto released = std::chrono::steady_clock::now();
  m.Unlock();
  std::this_thread::sleep_for(600ms);
  EXPECT_EQ(quits, 1);
  EXPECT_GE(at.load() - released, 190ms);
  m.StopMonitor();
}

TEST(ShutdownMonitor, AClientThatComesAndGoesWithinThePeriodStartsItAgain) {
  ServerModule m(300ms);
  std::atomic<int> quits{0};
  std::atomic<std::chrono::steady_clock::time_point> at{};
  m.StartMonitor([&] {
    at = std::chrono::steady_clock::now();
    ++quits;
  });
  m.Lock();
  m.Unlock();
  std::this_thread::sleep_for(200ms);
  m.Lock();
  m.Unlock();  // a second signal within the period
  const auto last = std::chrono::steady_clock::now();
  std::this_thread::sleep_for(700ms);
  EXPECT_EQ(quits, 1);
  EXPECT_GE(at.load() - last, 290ms);

  // A client that holds an object when the period ends keeps the program.
  ServerModule k(150ms);
  std::atomic<int> kquits{0};
  k.StartMonitor([&] { ++kquits; });
  k.Lock();
  k.Unlock();
  k.Lock();
  std::this_thread::sleep_for(400ms);
  EXPECT_EQ(kquits, 0);
  k.Unlock();
  std::this_thread::sleep_for(400ms);
  EXPECT_EQ(kquits, 1);
}

}  // namespace
