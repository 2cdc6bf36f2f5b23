#include "tesk/testing/scratch_dir.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>

namespace tesk::testing {

ScratchDir::ScratchDir() {
  std::string base = ::testing::TempDir();
  if (base.empty() || base.back() != '/') base += '/';
  base += "tesk_XXXXXX";
  if (::mkdtemp(base.data()) == nullptr) {
    ADD_FAILURE() << "cannot make a scratch directory under " << ::testing::TempDir();
  }
  path_ = base;
}

ScratchDir::~ScratchDir() {
  std::error_code ec;
  // A test may have taken the write permission away (to make writes fail).
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, ec);
  std::filesystem::remove_all(path_, ec);
}

std::vector<std::string> ScratchDir::List() const {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& e : std::filesystem::directory_iterator(path_, ec)) {
    names.push_back(e.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace tesk::testing
