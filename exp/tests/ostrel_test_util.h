// Shared helpers of the experiment library tests: every test runs against both builds, which
// are loaded into this one process side by side.
#ifndef TESK_EXP_TESTS_OSTREL_TEST_UTIL_H_
#define TESK_EXP_TESTS_OSTREL_TEST_UTIL_H_

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <tesk/ostrel6.h>
#include <tesk/ostrel7.h>
#include <tesk/testing/scratch_dir.h>

struct Build7 {
  using Info = ostrel7::CTestInfo;
  static constexpr int kBuild = 7;
  static void Labels(std::vector<std::string>& v, int colon) { ostrel7::GetSampleInfoLabels(v, colon); }
  static std::string Load(int id) { return ostrel7::OstrelLoadString(id); }
  static void Init() { ostrel7::OstrelDLLInit(); }
};
struct Build6 {
  using Info = ostrel6::CTestInfo;
  static constexpr int kBuild = 6;
  static void Labels(std::vector<std::string>& v, int colon) { ostrel6::GetSampleInfoLabels(v, colon); }
  static std::string Load(int id) { return ostrel6::OstrelLoadString(id); }
  static void Init() { ostrel6::OstrelDLLInit(); }
};
using Builds = ::testing::Types<Build7, Build6>;

// A fresh directory per test, removed afterwards; tests may run in parallel.
using tesk::testing::ScratchDir;

inline void WriteText(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

inline std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// The two header lines of a readable file, LF line ends.
inline std::string Header(const std::string& version = "1") {
  return "Quillomere Varolith Experiment Information\nVersion\t" + version + "\n\n";
}

#endif  // TESK_EXP_TESTS_OSTREL_TEST_UTIL_H_
