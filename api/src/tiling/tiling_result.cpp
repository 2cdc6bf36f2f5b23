#include "tiling/tiling_result.h"

#include <algorithm>
#include <cmath>

#include "tiling/byte_source.h"
#include "tiling/encoding.h"
#include "tiling/field_reader.h"

namespace tesk::tiling {
namespace {

bool ReadValues(FieldReader& r, std::size_t columns, ResultSequence& s) {
  const std::uint64_t count = std::uint64_t{s.data_points} * columns;
  if (count > r.in().remaining() / 4) {
    return r.Fail(std::to_string(s.data_points) + " data points of sequence " + s.name +
                  " run past the end");
  }
  s.values.resize(static_cast<std::size_t>(count));
  std::uint32_t* out = s.values.data();
  std::uint64_t left = count * 4;
  while (left > 0) {
    std::size_t got = 0;
    const unsigned char* p = r.in().TakeSome(
        static_cast<std::size_t>(std::min<std::uint64_t>(left, ByteSource::kWindow)), 4, got);
    if (p == nullptr) return r.Fail("truncated data of sequence " + s.name);
    for (std::size_t k = 0; k < got; k += 4) *out++ = LoadBE32(p + k);
    left -= got;
  }
  return true;
}

bool ReadSequences(FieldReader& r, TilingResult& result) {
  const bool groups = HasSequenceGroups(result.version);
  const std::uint64_t least = groups ? 20 : 12;  // the lengths and counts of an empty section
  if (result.sequence_count > r.in().remaining() / least) {
    return r.FailAt(12, "sequence count " + std::to_string(result.sequence_count) +
                            " cannot fit in the file");
  }
  result.sequences.reserve(std::min<std::uint32_t>(result.sequence_count, 1u << 16));
  for (std::uint32_t i = 0; i < result.sequence_count; ++i) {
    ResultSequence& s = result.sequences.emplace_back();
    if (!r.String(s.name, "sequence name")) return false;
    if (groups && !r.String(s.group_name, "group name")) return false;
    if (!r.String(s.version, "sequence version")) return false;
    if (groups && !r.Parameters(s.parameters, "sequence parameters")) return false;
    if (!r.U32(s.data_points, "number of data points")) return false;
    if (!ReadValues(r, result.column_types.size(), s)) return false;
  }
  return true;
}

}  // namespace

bool HasSequenceGroups(float version) {
  const double v = static_cast<double>(version) + 0.1;
  return v >= 2.0 && v < 3.0;
}

bool ReadTilingResult(const std::string& path, bool header_only, TilingResult& result,
                      std::string& error) {
  result = TilingResult{};
  ByteSource in;
  if (!in.Open(path)) {
    error = "Unable to open the file.";
    return false;
  }
  FieldReader r(in, error);
  std::uint32_t columns = 0;
  bool ok = false;
  if (const unsigned char* magic = in.Take(8); magic == nullptr) {
    ok = r.Fail("file ends in the magic");
  } else {
    std::copy(magic, magic + 8, result.magic);
    ok = r.Float(result.version, FloatEncoding::kBigEndian, "version") &&
         r.U32(result.sequence_count, "number of sequences") &&
         r.U32(columns, "number of columns");
  }
  if (ok && columns > in.remaining() / 4) {
    ok = r.Fail(std::to_string(columns) + " columns cannot fit in the file");
  }
  if (ok) {
    result.column_types.resize(columns);
    for (std::int32_t& type : result.column_types) {
      std::uint32_t raw = 0;
      if (!(ok = r.U32(raw, "column types"))) break;
      type = static_cast<std::int32_t>(raw);
    }
  }
  ok = ok && r.Parameters(result.parameters, "file parameters");
  ok = ok && (header_only || ReadSequences(r, result));
  if (!ok) result = TilingResult{};
  return ok;
}

}  // namespace tesk::tiling
