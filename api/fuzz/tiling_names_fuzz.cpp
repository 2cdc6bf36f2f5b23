// Hostile probe set name files: every name taken must be one word of at most 127 characters.
#include <cstdint>
#include <string>
#include <vector>

#include "tesk/testing/fuzz_input.h"
#include "tiling/probe_set_names.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  tesk::testing::FuzzInputFile input(data, size);
  if (input.path().empty()) return 0;
  std::vector<std::string> names;
  tesk::tiling::ReadProbeSetNames(input.path(), names);
  for (const std::string& name : names) {
    if (name.empty() || name.size() > tesk::tiling::kMaxProbeSetName ||
        name.find_first_of(" \t\r\n") != std::string::npos) {
      __builtin_trap();
    }
  }
  return 0;
}
