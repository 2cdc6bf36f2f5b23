// Probe set name files: which lines give names, and files that are missing, long or odd.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tiling/probe_set_names.h"
#include "tiling_test_util.h"

namespace {

using tesk::tiling::ReadProbeSetNames;
using tiling_test::Scratch;

std::vector<std::string> NamesOf(const Scratch& dir, const std::string& text,
                                 std::size_t* skipped = nullptr) {
  std::vector<std::string> names{"left over"};
  const std::size_t s = ReadProbeSetNames(dir.Write("t.PSI", text), names);
  if (skipped != nullptr) *skipped = s;
  return names;
}

TEST(ProbeSetNames, SkipsTheFirstLineAndTakesTheWordBetweenTwoIntegers) {
  Scratch dir;
  std::size_t skipped = 0;
  EXPECT_EQ(NamesOf(dir, "#Probe Sets=3\n0 SNP_A-1 2\n1\tSNP_A-2\t4\r\n2 AFFX-5Q_1 1", &skipped),
            (std::vector<std::string>{"SNP_A-1", "SNP_A-2", "AFFX-5Q_1"}));
  EXPECT_EQ(skipped, 0u);
  EXPECT_EQ(NamesOf(dir, "0 first-line-is-a-header 1\n"), std::vector<std::string>{});
  EXPECT_EQ(NamesOf(dir, ""), std::vector<std::string>{});
}

TEST(ProbeSetNames, LinesOfAnotherShapeAndOverlongNamesAreSkippedAndReadingGoesOn) {
  Scratch dir;
  const std::string n127(127, 'n');
  const std::string n128(128, 'm');
  std::size_t skipped = 0;
  const auto names = NamesOf(dir,
                             "header\n"
                             "\n"                   // empty: nothing, not counted
                             "name-without-number\n"
                             "12\n"                 // no name
                             "12abc 3\n"            // no space before the name
                             "  \r\n"               // white space only
                             "-3 negative 1\n"
                             "0 " + n128 + " 1\n"
                             "1 " + n127 + " 1\n"
                             "2 last",
                             &skipped);
  EXPECT_EQ(names, (std::vector<std::string>{"negative", n127, "last"}));
  EXPECT_EQ(skipped, 5u);
}

TEST(ProbeSetNames, MissingFileGivesAnEmptyListAndPathsJoinLibraryAndChipType) {
  Scratch dir;
  std::vector<std::string> names{"stale"};
  EXPECT_EQ(ReadProbeSetNames((dir.dir() / "absent.PSI").string(), names), 0u);
  EXPECT_TRUE(names.empty());
  EXPECT_EQ(tesk::tiling::ProbeSetNamePath("/lib", "Chip"), "/lib/Chip.PSI");
  EXPECT_EQ(tesk::tiling::ProbeSetNamePath("/lib/", "Chip"), "/lib/Chip.PSI");
}

TEST(ProbeSetNames, LinesAcrossReadWindowsAndHugeLinesKeepTheCount) {
  Scratch dir;
  std::string text = "header\n";
  std::vector<std::string> want;
  for (int i = 0; text.size() < 700000; ++i) {
    want.push_back("SNP_" + std::to_string(i));
    text += std::to_string(i) + " " + want.back() + " " + std::to_string(i % 3) + "\n";
    if (i == 5000) text += "7 " + std::string(300000, 'x') + " 1\n";  // one giant line
  }
  std::size_t skipped = 0;
  EXPECT_EQ(NamesOf(dir, text, &skipped), want);
  EXPECT_EQ(skipped, 1u);
}

}  // namespace
