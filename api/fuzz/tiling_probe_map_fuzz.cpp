// Hostile probe map files: a header read and a full read, and every hit's probe unpacked.
#include <cstdint>
#include <string>

#include "tesk/testing/fuzz_input.h"
#include "tiling/probe_map.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  tesk::testing::FuzzInputFile input(data, size);
  if (input.path().empty()) return 0;
  tesk::tiling::ProbeMap map;
  std::string error;
  tesk::tiling::ReadProbeMap(input.path(), true, map, error);
  if (tesk::tiling::ReadProbeMap(input.path(), false, map, error)) {
    std::size_t letters = 0;
    for (const auto& s : map.sequences) {
      for (const auto& h : s.hits) letters += h.Probe().size();
    }
    if (letters > std::size_t{28} * size) __builtin_trap();
  }
  return 0;
}
