// A fixture that gives each test its own empty registry: a fresh directory named by
// TESK_REGISTRY_DIR, removed after the test.
#ifndef TESK_PLATFORM_TESTS_SCRATCH_REGISTRY_H_
#define TESK_PLATFORM_TESTS_SCRATCH_REGISTRY_H_

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

class ScratchRegistryTest : public ::testing::Test {
 protected:
  // name tells the directories of different test programs apart.
  explicit ScratchRegistryTest(const char* name) : name_(name) {}

  void SetUp() override {
    char tmpl[256];
    std::snprintf(tmpl, sizeof tmpl, "/tmp/tesk_%s_XXXXXX", name_);
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
    setenv("TESK_REGISTRY_DIR", dir_.c_str(), 1);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  std::string dir_;

 private:
  const char* name_;
};

#endif  // TESK_PLATFORM_TESTS_SCRATCH_REGISTRY_H_
