// Helpers of the result file tests: a little-endian byte builder for hand-made files, scratch
// directories, and reading a byte string as a result file.
#ifndef TESK_CHIP_TESTS_RESULTS_BYTES_H_
#define TESK_CHIP_TESTS_RESULTS_BYTES_H_

#include <cstdint>
#include <fstream>
#include <string>

#include <tesk/testing/bytes.h>
#include <tesk/testing/scratch_dir.h>

#include "tesk/pendrix71.h"

namespace results_test {

// Builds the bytes of a file field by field, the way the file layout lists them.
class Bytes : public tesk::testing::BasicByteBuilder<Bytes> {
 public:
  Bytes& Byte(std::uint8_t v) { return U8(v); }
  // A fixed-point field: the value times 1000 as an i32.
  Bytes& Fixed(std::int32_t thousandths) { return I32(thousandths); }
  Bytes& Magic() { return Raw(kChipFileMagic); }
};

using Scratch = tesk::testing::ScratchDir;

inline void WriteFile(const std::string& path, const std::string& bytes) {
  tesk::testing::WriteFileBytes(path, bytes);
}

inline std::string ReadFile(const std::string& path) {
  return tesk::testing::ReadFileBytes(path);
}

// Reads bytes as a result file through the stream interface.
inline int ReadBytes(ChipClass& chip, const std::string& bytes) {
  Scratch scratch;
  const std::string path = scratch.File("in.CHP");
  WriteFile(path, bytes);
  std::ifstream in(path, std::ios::binary);
  return chip.ReadChip(in);
}

inline const GeneExpressionUnitClass* Expression(ChipClass& chip, int i) {
  AllUnitTypes* holder = chip.GetUnit(i);
  return holder != nullptr ? holder->geneExpression : nullptr;
}

inline UnitClass* Tiling(ChipClass& chip, int i) {
  return TilingUnitOf(chip.GetUnit(i), chip.unitTypes.data[i]);
}

}  // namespace results_test

#endif  // TESK_CHIP_TESTS_RESULTS_BYTES_H_
