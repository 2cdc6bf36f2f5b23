// A fixture that gives each test its own empty registry (the shared test support's
// ScratchRegistry); dir_ names the directory of the hives.
#ifndef TESK_PLATFORM_TESTS_SCRATCH_REGISTRY_H_
#define TESK_PLATFORM_TESTS_SCRATCH_REGISTRY_H_

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include <tesk/testing/scratch_registry.h>

class ScratchRegistryTest : public ::testing::Test {
 protected:
  // The name once told the directories of test programs apart; the scratch directory is unique.
  explicit ScratchRegistryTest(const char* /*name*/) {}

  void SetUp() override {
    registry_ = std::make_unique<tesk::testing::ScratchRegistry>();
    dir_ = registry_->dir().str();
  }
  void TearDown() override { registry_.reset(); }

  std::string dir_;

 private:
  std::unique_ptr<tesk::testing::ScratchRegistry> registry_;
};

#endif  // TESK_PLATFORM_TESTS_SCRATCH_REGISTRY_H_
