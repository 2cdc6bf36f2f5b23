// Fuzz target over the result file reader: the full read, the header-only read, and for every
// input that reads, the round trip through the version-13 writer, which must read back.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>

#include <tesk/testing/fuzz_input.h>

#include "tesk/pendrix71.h"

namespace {

std::string ScratchPath(const char* tag) {
  const char* dir = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
  return std::string(dir) + "/pendrix71_chp_fuzz_" + std::to_string(getpid()) + tag;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string out = ScratchPath("_out.CHP");
  const tesk::testing::FuzzInputFile input(data, size);
  const std::string& in = input.path();
  if (in.empty()) return 0;

  ChipClass header;
  header.ReadChipHeaderOnly(in.c_str());

  ChipClass chip;
  chip.libraryPath = "/lib";
  int rc;
  {
    std::ifstream stream(in, std::ios::binary);
    rc = chip.ReadChip(stream);
  }
  if (rc == 0) {
    // What was read must be writable, and what is written must read back.
    if (chip.WriteChip(out.c_str()) != 0) __builtin_trap();
    ChipClass back;
    if (back.ReadChip(out.c_str()) != 0) __builtin_trap();
    if (back.numberOfUnits != chip.numberOfUnits || back.qcUnits.count != chip.qcUnits.count)
      __builtin_trap();
    std::remove(out.c_str());
    // The computations on the units read must stay inside them.
    for (int i = 0; i < chip.units.count; ++i) {
      if (UnitClass* unit = TilingUnitOf(chip.GetUnit(i), chip.unitTypes.data[i])) {
        unit->PadUnit();
        unit->ComputeAtomData();
        for (int a = 0; a < unit->numberOfAtoms; ++a) {
          unit->atoms[a].DetermineMaxRatio();
          unit->atoms[a].DetermineThirdRatio();
        }
      }
    }
    String wt, called;
    chip.ComputeChipAA(wt, called);
  }
  return 0;
}
