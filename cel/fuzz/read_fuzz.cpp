// Read and ReadHeader over arbitrary bytes, through the in-memory reader and through a file.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include <tesk/testing/fuzz_input.h>

#include "tesk/parvel.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  {
    ParvelClass cel;
    if (cel.ReadMemory(data, size)) {
      // Touch what a caller would: every cell by index and by position, and the texts.
      for (int i = 0; i < cel.GetNCells(); ++i) {
        const CellEntryClass* e = cel.GetCell(i);
        if (cel.GetCellEntry(e->X, e->Y) == nullptr) __builtin_trap();
      }
      long corners[8];
      cel.GetCorners(corners);
      (void)cel.DetermineSize();
    }
  }
  {
    ParvelClass cel;
    cel.ReadMemory(data, size, 1);
  }
  // The file reader takes another path for binary files (straight into the table); keep it
  // covered for small inputs.
  if (size < 4096) {
    const tesk::testing::FuzzInputFile input(data, size);
    if (!input.path().empty()) {
      ParvelClass cel;
      cel.SetName(input.path().c_str());
      cel.Read();
    }
  }
  return 0;
}
