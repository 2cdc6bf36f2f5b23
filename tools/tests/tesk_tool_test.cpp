// The `tesk` program driven as a user would: sample data, a summary of every file, conversion
// of cell intensity files, and clear failures for what it cannot do.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include <tesk/parvel.h>
#include <tesk/testing/bytes.h>
#include <tesk/testing/scratch_dir.h>

namespace {

// Runs the program with args; its exit code, and everything it printed in *out.
int Tesk(const std::string& args, std::string* out = nullptr) {
  const std::string cmd = std::string(TESK_PROGRAM) + " " + args + " </dev/null 2>&1";
  FILE* p = ::popen(cmd.c_str(), "r");
  if (p == nullptr) return -1;
  std::string text;
  char buf[4096];
  for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;) text.append(buf, n);
  const int status = ::pclose(p);
  if (out != nullptr) *out = text;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// One sample data set serves every step: making it is the slow part.
TEST(TeskTool, SampleInfoAndConvert) {
  tesk::testing::ScratchDir dir;
  std::string out;
  ASSERT_EQ(Tesk("sample " + dir.str(), &out), 0) << out;
  const std::vector<std::string> files = {"TeskDemo1164.CDF", "TeskDemo1164.PSI", "sample.CDF",
                                          "sample.CEL",       "sample.CHP",       "sample.DAT",
                                          "sample.EXP",       "sample.bar",       "sample.bpmap",
                                          "sample_v2.CEL",    "sample_v3.CEL"};
  ASSERT_EQ(dir.List(), files);

  // info recognises every file by its content and summarises it.
  ASSERT_EQ(Tesk("info " + dir.str() + "/*", &out), 0) << out;
  for (const char* kind : {"(cdf)", "(cel)", "(chp)", "(dat)", "(exp)", "(bpmap)", "(bar)", "(psi)"}) {
    EXPECT_TRUE(Contains(out, kind)) << kind << "\n" << out;
  }
  EXPECT_TRUE(Contains(out, "version      4 (binary)")) << out;
  EXPECT_TRUE(Contains(out, "agrees with the chip results library")) << out;
  EXPECT_TRUE(Contains(out, "version      3 (text, version 3)")) << out;

  // convert rewrites a cell file in another encoding; the cells survive.
  const std::string v3 = dir.File("c3.CEL"), back = dir.File("c4.CEL");
  ASSERT_EQ(Tesk("convert " + dir.File("sample.CEL") + " " + v3 + " --version 3", &out), 0)
      << out;
  ASSERT_EQ(Tesk("convert " + v3 + " " + back + " --version 4", &out), 0) << out;
  ParvelClass original, converted;
  original.SetName(dir.File("sample.CEL").c_str());
  converted.SetName(back.c_str());
  ASSERT_EQ(original.Read(), 1);
  ASSERT_EQ(converted.Read(), 1);
  EXPECT_EQ(converted.GetNCells(), original.GetNCells());
  EXPECT_EQ(converted.GetNMasked(), original.GetNMasked());
  EXPECT_EQ(converted.GetNSubGrids(), original.GetNSubGrids());
  EXPECT_STREQ(converted.GetChipType(), original.GetChipType());
}

TEST(TeskTool, FailuresAreReportedWithTheirCause) {
  tesk::testing::ScratchDir dir;
  std::string out;
  EXPECT_EQ(Tesk("info " + dir.File("missing.CEL"), &out), 1);
  EXPECT_TRUE(Contains(out, "no such file")) << out;
  ASSERT_TRUE(tesk::testing::WriteFileBytes(dir.File("junk.txt"), "junk\n"));
  EXPECT_EQ(Tesk("info " + dir.File("junk.txt"), &out), 1);
  EXPECT_TRUE(Contains(out, "not a file of a kind")) << out;
  EXPECT_NE(Tesk("convert " + dir.File("junk.txt") + " " + dir.File("o.CEL") + " --version 7",
                 &out), 0);
  EXPECT_TRUE(Contains(out, "--version must be 2, 3 or 4")) << out;
  EXPECT_NE(Tesk("convert " + dir.File("junk.txt") + " " + dir.File("o.CEL") + " --version 4",
                 &out), 0) << "an unreadable input";
  EXPECT_EQ(dir.List(), std::vector<std::string>{"junk.txt"}) << "nothing written on failure";
}

}  // namespace
