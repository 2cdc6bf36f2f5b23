// A fresh directory for one test, removed afterwards. It lives under testing::TempDir() (which
// honours TEST_TMPDIR and TMPDIR), so tests that run in parallel never share files.
#ifndef TESK_INTERNAL_INCLUDE_TESK_TESTING_SCRATCH_DIR_H_
#define TESK_INTERNAL_INCLUDE_TESK_TESTING_SCRATCH_DIR_H_

#include <filesystem>
#include <string>
#include <vector>

namespace tesk::testing {

class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::string str() const { return path_.string(); }
  // The path of name inside the directory (nothing is created).
  std::string File(const std::string& name) const { return (path_ / name).string(); }
  // Names of the entries in the directory, sorted.
  std::vector<std::string> List() const;

 private:
  std::filesystem::path path_;
};

}  // namespace tesk::testing

#endif  // TESK_INTERNAL_INCLUDE_TESK_TESTING_SCRATCH_DIR_H_
