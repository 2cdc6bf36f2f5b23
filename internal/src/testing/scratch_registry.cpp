#include "tesk/testing/scratch_registry.h"

#include <stdlib.h>

namespace tesk::testing {

ScratchRegistry::ScratchRegistry() {
  if (const char* old = ::getenv("TESK_REGISTRY_DIR")) previous_ = old;
  ::setenv("TESK_REGISTRY_DIR", dir_.str().c_str(), 1);
}

ScratchRegistry::~ScratchRegistry() {
  if (previous_) {
    ::setenv("TESK_REGISTRY_DIR", previous_->c_str(), 1);
  } else {
    ::unsetenv("TESK_REGISTRY_DIR");
  }
}

}  // namespace tesk::testing
