// Hostile tiling result files: a header read and a full read, with every table's size checked
// against its sequence's data point count.
#include <cstdint>
#include <string>

#include "tesk/testing/fuzz_input.h"
#include "tiling/tiling_result.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  tesk::testing::FuzzInputFile input(data, size);
  if (input.path().empty()) return 0;
  tesk::tiling::TilingResult result;
  std::string error;
  tesk::tiling::ReadTilingResult(input.path(), true, result, error);
  if (tesk::tiling::ReadTilingResult(input.path(), false, result, error)) {
    for (const auto& s : result.sequences) {
      if (s.values.size() != std::uint64_t{s.data_points} * result.column_types.size()) {
        __builtin_trap();
      }
    }
  }
  return 0;
}
