// Helpers of the result file tests: a little-endian byte builder for hand-made files, scratch
// directories, and reading a byte string as a result file.
#ifndef TESK_CHIP_TESTS_RESULTS_BYTES_H_
#define TESK_CHIP_TESTS_RESULTS_BYTES_H_

#include <stdlib.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "tesk/pendrix71.h"

namespace results_test {

// Builds the bytes of a file field by field, the way the file layout lists them.
class Bytes {
 public:
  std::string b;

  Bytes& I32(std::int32_t v) { return Put(v); }
  Bytes& U16(std::uint16_t v) { return Put(v); }
  Bytes& I16(std::int16_t v) { return Put(v); }
  Bytes& Byte(std::uint8_t v) { return Put(v); }
  Bytes& F32(float v) { return Put(v); }
  // A fixed-point field: the value times 1000 as an i32.
  Bytes& Fixed(std::int32_t thousandths) { return Put(thousandths); }
  Bytes& Text(const std::string& s) {
    I32(static_cast<std::int32_t>(s.size()));
    b += s;
    return *this;
  }
  Bytes& FixedText(const std::string& s, std::size_t width) {
    std::string field = s;
    field.resize(width, '\0');
    b += field;
    return *this;
  }
  Bytes& Raw(const std::string& s) {
    b += s;
    return *this;
  }
  Bytes& Magic() { return Raw("Varolith Sequence File"); }

 private:
  template <class T>
  Bytes& Put(T v) {
    char raw[sizeof(T)];
    std::memcpy(raw, &v, sizeof(T));
    b.append(raw, sizeof(T));
    return *this;
  }
};

// A directory of its own for one test, removed at the end.
class Scratch {
 public:
  Scratch() {
    std::string pattern = (std::filesystem::temp_directory_path() / "results_XXXXXX").string();
    char* made = mkdtemp(pattern.data());
    dir_ = made != nullptr ? made : "";
  }
  ~Scratch() {
    std::error_code ec;
    if (!dir_.empty()) std::filesystem::remove_all(dir_, ec);
  }
  Scratch(const Scratch&) = delete;
  Scratch& operator=(const Scratch&) = delete;

  std::string File(const std::string& name) const { return (dir_ / name).string(); }
  const std::filesystem::path& Dir() const { return dir_; }

 private:
  std::filesystem::path dir_;
};

inline void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
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
