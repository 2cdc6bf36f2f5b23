// Tiling result files: per genomic sequence, a table of values in typed columns. Big-endian
// integers and floats; every value takes 4 bytes whatever its column's type.
#ifndef TESK_API_SRC_TILING_TILING_RESULT_H_
#define TESK_API_SRC_TILING_TILING_RESULT_H_

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace tesk::tiling {

// Column types, numbered as the object model's data types: only the integer column holds a
// 32-bit integer; every other type holds a 4-byte float.
enum ColumnType : std::int32_t {
  kColumnDouble = 0,
  kColumnFloat = 1,
  kColumnInteger = 2,
  kColumnShort = 3,
  kColumnChar = 4,
  kColumnUInteger = 5,
  kColumnUShort = 6,
  kColumnUChar = 7,
};

inline bool IsIntegerColumn(std::int32_t type) { return type == kColumnInteger; }

struct ResultSequence {
  std::string name;
  std::string group_name;  // version 2 files only
  std::string version;
  std::vector<std::pair<std::string, std::string>> parameters;  // version 2 files only
  std::uint32_t data_points = 0;
  // data_points rows of the file's columns, row after row, each value's 4 bytes as an
  // unsigned integer in host order: an integer column's value is its bit pattern as int32, any
  // other column's is a float's bits.
  std::vector<std::uint32_t> values;
};

struct TilingResult {
  char magic[8] = {};  // kept as found; the format does not check it
  float version = 0;
  std::uint32_t sequence_count = 0;
  std::vector<std::int32_t> column_types;
  std::vector<std::pair<std::string, std::string>> parameters;
  std::vector<ResultSequence> sequences;  // filled by a full read only
};

// Reads a tiling result file; a header-only read stops after the file's parameters. On failure
// the result is left empty and error says what and where.
bool ReadTilingResult(const std::string& path, bool header_only, TilingResult& result,
                      std::string& error);

// Whether a version number marks the layout with group names and sequence parameters.
bool HasSequenceGroups(float version);

}  // namespace tesk::tiling

#endif  // TESK_API_SRC_TILING_TILING_RESULT_H_
