// Builders of the tiling tests: probe map and tiling result files written byte by byte from a
// plain description, so a test can state a file and then damage any field of it.
#ifndef TESK_API_TESTS_TILING_TEST_UTIL_H_
#define TESK_API_TESTS_TILING_TEST_UTIL_H_

#include <bit>
#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "tesk/testing/bytes.h"
#include "tesk/testing/scratch_dir.h"
#include "tiling/encoding.h"
#include "tiling/probe_map.h"
#include "tiling/tiling_result.h"

namespace tiling_test {

using tesk::tiling::FloatEncoding;

// Big-endian fields in file order, over the tree's byte builder (whose own numbers are
// little-endian).
struct Bytes {
  tesk::testing::ByteBuilder b;

  Bytes& U32(std::uint32_t v) {
    unsigned char raw[4];
    tesk::tiling::StoreBE32(raw, v);
    b.Raw(raw, 4);
    return *this;
  }
  Bytes& Byte(std::uint8_t v) {
    b.U8(v);
    return *this;
  }
  Bytes& Float(float v, FloatEncoding e) {
    unsigned char raw[4];
    tesk::tiling::EncodeFloat(raw, v, e);
    b.Raw(raw, 4);
    return *this;
  }
  Bytes& Raw(std::string_view s) {
    b.Raw(s);
    return *this;
  }
  Bytes& Str(std::string_view s) { return U32(static_cast<std::uint32_t>(s.size())).Raw(s); }
  Bytes& Pairs(const std::vector<std::pair<std::string, std::string>>& p) {
    U32(static_cast<std::uint32_t>(p.size()));
    for (const auto& [tag, value] : p) Str(tag).Str(value);
    return *this;
  }
  std::size_t size() const { return b.size(); }
  const std::string& str() const { return b.str(); }
};

// Overwrites 4 bytes of a built file at offset with a big-endian integer.
inline void PatchU32(std::string& bytes, std::size_t offset, std::uint32_t v) {
  tesk::tiling::StoreBE32(reinterpret_cast<unsigned char*>(bytes.data() + offset), v);
}

struct HitSpec {
  std::uint32_t pm_x = 0, pm_y = 0, mm_x = 0, mm_y = 0;
  std::string probe;      // letters ACGT, packed into the 7-byte field
  int length = -1;        // the length byte; -1: the probe's letter count
  float score = 0;
  std::uint32_t position = 0;
  std::uint8_t top_strand = 0;
};

struct SeqSpec {
  std::string name, group, version;
  std::uint32_t mapping_kind = 0;
  std::vector<std::pair<std::string, std::string>> parameters;
  std::uint32_t number = 0;
  std::vector<HitSpec> hits;
};

// Offsets of a built probe map's fields, for damaging them.
struct ProbeMapLayout {
  std::vector<std::size_t> offset_field;  // per sequence, where its hit offset is stored (v3)
  std::vector<std::size_t> hits_field;    // per sequence, where its hit count is stored
  std::vector<std::size_t> section;       // per sequence, where its hit section starts
};

// A probe map file of the given version and float encoding. Version 3 files place the hit
// sections in reverse order of their sequences (with a gap of unused bytes first), so that a
// reader must find them by their offsets.
inline std::string BuildProbeMap(float version, FloatEncoding enc, const std::vector<SeqSpec>& seqs,
                                 ProbeMapLayout* layout = nullptr) {
  const bool v3 = version >= 3.0f;
  const bool v2 = version + 0.1 >= 2.0;
  ProbeMapLayout where;
  Bytes f;
  f.Raw(std::string_view("PHT7\r\n\x1a\n", 8)).Float(version, enc);
  f.U32(static_cast<std::uint32_t>(seqs.size()));
  for (const SeqSpec& s : seqs) {
    f.Str(s.name);
    if (v3) {
      f.U32(s.mapping_kind);
      where.offset_field.push_back(f.size());
      f.U32(0);  // set below, once the sections are placed
    }
    where.hits_field.push_back(f.size());
    f.U32(static_cast<std::uint32_t>(s.hits.size()));
    if (v2) f.Str(s.group).Str(s.version).Pairs(s.parameters);
  }
  auto section = [&](const SeqSpec& s) {
    Bytes h;
    h.U32(s.number);
    for (const HitSpec& hit : s.hits) {
      h.U32(hit.pm_x).U32(hit.pm_y);
      if (!v3 || s.mapping_kind == 0) h.U32(hit.mm_x).U32(hit.mm_y);
      std::uint8_t packed[7];
      tesk::tiling::PackProbe(hit.probe, packed);
      h.Byte(static_cast<std::uint8_t>(hit.length >= 0 ? hit.length : hit.probe.size()));
      h.Raw(std::string_view(reinterpret_cast<const char*>(packed), 7));
      h.Float(hit.score, enc).U32(hit.position).Byte(hit.top_strand);
    }
    return h.str();
  };
  where.section.resize(seqs.size());
  if (v3) {
    f.Raw("gap!");
    for (std::size_t i = seqs.size(); i-- > 0;) {
      where.section[i] = f.size();
      f.Raw(section(seqs[i]));
    }
  } else {
    for (std::size_t i = 0; i < seqs.size(); ++i) {
      where.section[i] = f.size();
      f.Raw(section(seqs[i]));
    }
  }
  std::string bytes = f.str();
  for (std::size_t i = 0; v3 && i < seqs.size(); ++i) {
    PatchU32(bytes, where.offset_field[i], static_cast<std::uint32_t>(where.section[i]));
  }
  if (layout != nullptr) *layout = where;
  return bytes;
}

struct ResultSeqSpec {
  std::string name, group, version;
  std::vector<std::pair<std::string, std::string>> parameters;
  std::vector<std::vector<std::uint32_t>> rows;  // each value's 4 bytes as an integer
};

inline std::uint32_t Bits(float f) { return std::bit_cast<std::uint32_t>(f); }
inline std::uint32_t Bits(std::int32_t i) { return static_cast<std::uint32_t>(i); }

inline std::string BuildResult(float version, const std::vector<std::int32_t>& types,
                               const std::vector<std::pair<std::string, std::string>>& params,
                               const std::vector<ResultSeqSpec>& seqs,
                               std::string_view magic = "TeskBar\n") {
  const bool v2 = tesk::tiling::HasSequenceGroups(version);
  Bytes f;
  f.Raw(magic.substr(0, 8)).Float(version, FloatEncoding::kBigEndian);
  f.U32(static_cast<std::uint32_t>(seqs.size())).U32(static_cast<std::uint32_t>(types.size()));
  for (std::int32_t t : types) f.U32(static_cast<std::uint32_t>(t));
  f.Pairs(params);
  for (const ResultSeqSpec& s : seqs) {
    f.Str(s.name);
    if (v2) f.Str(s.group);
    f.Str(s.version);
    if (v2) f.Pairs(s.parameters);
    f.U32(static_cast<std::uint32_t>(s.rows.size()));
    for (const auto& row : s.rows) {
      for (std::uint32_t v : row) f.U32(v);
    }
  }
  return f.str();
}

// A scratch directory of the tree's test support, with files written into it.
class Scratch {
 public:
  // Writes bytes into a file of this directory and returns its path.
  std::string Write(const std::string& name, std::string_view bytes) const {
    const std::string path = dir_.File(name);
    if (!tesk::testing::WriteFileBytes(path, bytes)) ADD_FAILURE() << "cannot write " << path;
    return path;
  }
  const std::filesystem::path& dir() const { return dir_.path(); }

 private:
  tesk::testing::ScratchDir dir_;
};

}  // namespace tiling_test

#endif  // TESK_API_TESTS_TILING_TEST_UTIL_H_
