// Points the registry hives (TESK_REGISTRY_DIR) at a fresh scratch directory for the life of
// the object, and back where they were afterwards.
#ifndef TESK_INTERNAL_INCLUDE_TESK_TESTING_SCRATCH_REGISTRY_H_
#define TESK_INTERNAL_INCLUDE_TESK_TESTING_SCRATCH_REGISTRY_H_

#include <optional>
#include <string>

#include "tesk/testing/scratch_dir.h"

namespace tesk::testing {

class ScratchRegistry {
 public:
  ScratchRegistry();
  ~ScratchRegistry();
  ScratchRegistry(const ScratchRegistry&) = delete;
  ScratchRegistry& operator=(const ScratchRegistry&) = delete;

  // The directory holding the hives.
  const ScratchDir& dir() const { return dir_; }

 private:
  ScratchDir dir_;
  std::optional<std::string> previous_;
};

}  // namespace tesk::testing

#endif  // TESK_INTERNAL_INCLUDE_TESK_TESTING_SCRATCH_REGISTRY_H_
