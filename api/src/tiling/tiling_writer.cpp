#include "tiling/tiling_writer.h"

#include <cstring>

#include "tesk/internal/replace_file.h"
#include "tiling/encoding.h"

namespace tesk::tiling {
namespace {

class Out {
 public:
  bool Open(const std::string& path) { return file_.Open(path); }
  void U32(std::uint32_t v) {
    unsigned char b[4];
    StoreBE32(b, v);
    file_.Put(b, 4);
  }
  void Float(float v, FloatEncoding e) {
    unsigned char b[4];
    EncodeFloat(b, v, e);
    file_.Put(b, 4);
  }
  void Str(const std::string& s) {
    U32(static_cast<std::uint32_t>(s.size()));
    file_.Put(s);
  }
  void Pairs(const Parameters& p) {
    U32(static_cast<std::uint32_t>(p.size()));
    for (const auto& [tag, value] : p) {
      Str(tag);
      Str(value);
    }
  }
  internal::BufferedReplacement& file() { return file_; }

 private:
  internal::BufferedReplacement file_;
};

std::uint64_t PairsSize(const Parameters& p) {
  std::uint64_t n = 4;
  for (const auto& [tag, value] : p) n += 8 + tag.size() + value.size();
  return n;
}

}  // namespace

bool WriteProbeMap(const std::string& path, const ProbeMap& map) {
  const bool v3 = map.version >= 3.0f;
  const bool v2 = static_cast<double>(map.version) + 0.1 >= 2.0;
  Out out;
  if (!out.Open(path)) return false;
  out.file().Put(kProbeMapMagic, 8);
  out.Float(map.version, map.encoding);
  out.U32(static_cast<std::uint32_t>(map.sequences.size()));

  std::uint64_t at = 16;
  for (const ProbeSequence& s : map.sequences) {
    at += 4 + s.name.size() + (v3 ? 8 : 0) + 4;
    if (v2) at += 8 + s.group_name.size() + s.version.size() + PairsSize(s.parameters);
  }
  for (const ProbeSequence& s : map.sequences) {
    const bool partner = !v3 || s.mapping_kind == 0;
    out.Str(s.name);
    if (v3) {
      out.U32(s.mapping_kind);
      out.U32(static_cast<std::uint32_t>(at));
    }
    out.U32(static_cast<std::uint32_t>(s.hits.size()));
    if (v2) {
      out.Str(s.group_name);
      out.Str(s.version);
      out.Pairs(s.parameters);
    }
    at += 4 + s.hits.size() * (partner ? 33 : 25);
  }
  for (const ProbeSequence& s : map.sequences) {
    const bool partner = !v3 || s.mapping_kind == 0;
    out.U32(s.number);
    for (const ProbeHit& h : s.hits) {
      auto* p = reinterpret_cast<unsigned char*>(out.file().Reserve(33));
      StoreBE32(p, h.pm_x);
      StoreBE32(p + 4, h.pm_y);
      if (partner) {
        StoreBE32(p + 8, h.mm_x);
        StoreBE32(p + 12, h.mm_y);
      }
      unsigned char* q = p + (partner ? 16 : 8);
      q[0] = h.probe_length;
      std::memcpy(q + 1, h.packed, 7);
      EncodeFloat(q + 8, h.match_score, map.encoding);
      StoreBE32(q + 12, h.position);
      q[16] = h.top_strand;
      out.file().Advance(partner ? 33 : 25);
    }
  }
  return out.file().Commit();
}

bool WriteTilingResult(const std::string& path, const TilingResult& result) {
  const bool v2 = HasSequenceGroups(result.version);
  Out out;
  if (!out.Open(path)) return false;
  out.file().Put(result.magic, 8);
  out.Float(result.version, FloatEncoding::kBigEndian);
  out.U32(static_cast<std::uint32_t>(result.sequences.size()));
  out.U32(static_cast<std::uint32_t>(result.column_types.size()));
  for (std::int32_t t : result.column_types) out.U32(static_cast<std::uint32_t>(t));
  out.Pairs(result.parameters);
  for (const ResultSequence& s : result.sequences) {
    out.Str(s.name);
    if (v2) out.Str(s.group_name);
    out.Str(s.version);
    if (v2) out.Pairs(s.parameters);
    out.U32(s.data_points);
    for (std::uint32_t v : s.values) out.U32(v);
  }
  return out.file().Commit();
}

}  // namespace tesk::tiling
