// Fuzz target over the layout reader: build mode, fill mode over the units just built, and a
// layout copy between chips. The reader takes a path, so each input goes through a scratch
// file of this process.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "tesk/pendrix71.h"

namespace {

const std::string& ScratchPath() {
  static const std::string path = "/tmp/pendrix71_cdf_fuzz_" + std::to_string(getpid()) + ".CDF";
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string& path = ScratchPath();
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return 0;
  std::fwrite(data, 1, size, f);
  std::fclose(f);

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
  std::remove(path.c_str());
  return 0;
}
