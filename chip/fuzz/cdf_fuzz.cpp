// Fuzz target over the layout reader: build mode, fill mode over the units just built, and a
// layout copy between chips. The reader takes a path, so each input goes through an
// in-memory file.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include <tesk/testing/fuzz_input.h>

#include "tesk/pendrix71.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const tesk::testing::FuzzInputFile input(data, size);
  const std::string& path = input.path();
  if (path.empty()) return 0;

  ChipClass chip;
  chip.layoutFile = path.c_str();
  const int rc = chip.ReadCDF();
  if (rc == 0) {
    chip.ReadCDF();  // fill mode: the chip now holds units
    ChipClass copy;
    auto* unit = new GeneExpressionUnitClass(1, 2);
    if (copy.AddUnit(unit, chip.unitNumbers.count > 0 ? chip.unitNumbers.data[0] : 0) != 0) {
      delete unit;
    }
    copy.ReadCDF(&chip);
  }
  return 0;
}
