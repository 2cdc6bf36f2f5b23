#include "tiling/probe_map.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "tiling/byte_source.h"
#include "tiling/field_reader.h"

namespace tesk::tiling {
namespace {

constexpr std::uint64_t kHeaderSize = 16;
constexpr std::size_t kHitWithPartner = 33;
constexpr std::size_t kHitAlone = 25;

// The file's float encoding, from the version field: integer-swapped when that reading gives a
// version in [0.5, 3.5], else big-endian when that one does. Anything else is no probe map
// version this reader knows.
bool ChooseEncoding(const unsigned char* p, ProbeMap& map) {
  const float swapped = DecodeIntegerSwappedFloat(p);
  if (swapped >= 0.5f && swapped <= 3.5f) {
    map.version = swapped;
    map.encoding = FloatEncoding::kIntegerSwapped;
    return true;
  }
  const float big = DecodeBigEndianFloat(p);
  if (big >= 0.5f && big <= 3.5f) {
    map.version = big;
    map.encoding = FloatEncoding::kBigEndian;
    return true;
  }
  return false;
}

void UnpackInto(const unsigned char* p, bool partner, FloatEncoding enc, ProbeHit& h) {
  h.pm_x = LoadBE32(p);
  h.pm_y = LoadBE32(p + 4);
  if (partner) {
    h.mm_x = LoadBE32(p + 8);
    h.mm_y = LoadBE32(p + 12);
    p += 16;
  } else {
    h.mm_x = h.mm_y = 0;
    p += 8;
  }
  h.probe_length = p[0];
  std::memcpy(h.packed, p + 1, 7);
  h.match_score = DecodeFloat(p + 8, enc);
  h.position = LoadBE32(p + 12);
  h.top_strand = p[16];
}

bool ReadHits(FieldReader& r, bool partner, FloatEncoding enc, ProbeSequence& seq) {
  const std::size_t rec = partner ? kHitWithPartner : kHitAlone;
  seq.hits.resize(seq.hit_count);
  ProbeHit* out = seq.hits.data();
  std::uint64_t left = std::uint64_t{seq.hit_count} * rec;
  while (left > 0) {
    const std::uint64_t at = r.in().position();
    std::size_t got = 0;
    const unsigned char* p = r.in().TakeSome(
        static_cast<std::size_t>(std::min<std::uint64_t>(left, ByteSource::kWindow)), rec, got);
    if (p == nullptr) return r.Fail("truncated hit record of sequence " + seq.name);
    for (std::size_t k = 0; k < got; k += rec, ++out) {
      UnpackInto(p + k, partner, enc, *out);
      if (out->probe_length > kMaxProbeLength) {
        return r.FailAt(at + k, "probe length " + std::to_string(out->probe_length) +
                                    " above " + std::to_string(kMaxProbeLength));
      }
    }
    left -= got;
  }
  return true;
}

bool ReadBody(FieldReader& r, ProbeMap& map) {
  const bool has_kind = map.version >= 3.0f;
  const bool has_group = static_cast<double>(map.version) + 0.1 >= 2.0;
  // Smallest description plus its hit section's sequence number.
  const std::uint64_t least = 4 + 4 + (has_kind ? 8 : 0) + (has_group ? 12 : 0) + 4;
  if (map.sequence_count > r.in().remaining() / least) {
    return r.FailAt(12, "sequence count " + std::to_string(map.sequence_count) +
                            " cannot fit in the file");
  }
  map.sequences.reserve(std::min<std::uint32_t>(map.sequence_count, 1u << 16));
  for (std::uint32_t i = 0; i < map.sequence_count; ++i) {
    ProbeSequence& s = map.sequences.emplace_back();
    if (!r.String(s.name, "sequence name")) return false;
    std::uint32_t offset = 0;
    if (has_kind && !(r.U32(s.mapping_kind, "mapping kind") && r.U32(offset, "hit offset"))) {
      return false;
    }
    s.hit_offset = offset;
    if (!r.U32(s.hit_count, "number of hits")) return false;
    if (has_group && !(r.String(s.group_name, "group name") &&
                       r.String(s.version, "sequence version") &&
                       r.Parameters(s.parameters, "sequence parameters"))) {
      return false;
    }
  }
  const std::uint64_t body = r.in().position();

  // Every hit section must lie after the descriptions, inside the file, and apart from the
  // others, before any hit is allocated.
  auto section_size = [](const ProbeSequence& s) {
    return 4 + std::uint64_t{s.hit_count} * (s.mapping_kind == 0 ? kHitWithPartner : kHitAlone);
  };
  if (has_kind) {
    std::vector<std::pair<std::uint64_t, std::uint64_t>> spans;  // offset, end
    spans.reserve(map.sequences.size());
    for (const ProbeSequence& s : map.sequences) {
      const std::uint64_t end = s.hit_offset + section_size(s);
      if (s.hit_offset < body || end > r.in().size()) {
        return r.FailAt(s.hit_offset, "hit section of sequence " + s.name +
                                          " lies outside the file's hit area");
      }
      spans.emplace_back(s.hit_offset, end);
    }
    std::sort(spans.begin(), spans.end());
    for (std::size_t i = 1; i < spans.size(); ++i) {
      if (spans[i].first < spans[i - 1].second) {
        return r.FailAt(spans[i].first, "hit sections overlap");
      }
    }
  } else {
    std::uint64_t total = 0;
    for (const ProbeSequence& s : map.sequences) total += section_size(s);
    if (total > r.in().remaining()) return r.FailAt(body, "hit sections run past the end");
  }

  for (ProbeSequence& s : map.sequences) {
    if (has_kind) {
      r.in().Seek(s.hit_offset);
    } else {
      s.hit_offset = r.in().position();
    }
    if (!r.U32(s.number, "sequence number")) return false;
    if (!ReadHits(r, s.mapping_kind == 0, map.encoding, s)) {
      return false;
    }
  }
  return true;
}

}  // namespace

std::string ProbeHit::Probe() const {
  static constexpr char kBases[] = {'A', 'C', 'G', 'T'};
  std::string bases(std::min<int>(probe_length, kMaxProbeLength), 'A');
  for (std::size_t i = 0; i < bases.size(); ++i) {
    bases[i] = kBases[(packed[i / 4] >> (6 - 2 * (i % 4))) & 3];
  }
  return bases;
}

void PackProbe(std::string_view bases, std::uint8_t (&packed)[7]) {
  std::memset(packed, 0, sizeof packed);
  for (std::size_t i = 0; i < bases.size() && i < kMaxProbeLength; ++i) {
    const char* at = std::strchr("ACGT", bases[i]);
    const unsigned code = at != nullptr && *at != '\0' ? static_cast<unsigned>(at - "ACGT") : 0;
    packed[i / 4] |= static_cast<std::uint8_t>(code << (6 - 2 * (i % 4)));
  }
}

bool ReadProbeMap(const std::string& path, bool header_only, ProbeMap& map, std::string& error) {
  map = ProbeMap{};
  ByteSource in;
  if (!in.Open(path)) {
    error = "Unable to open the file.";
    return false;
  }
  FieldReader r(in, error);
  const unsigned char* head = in.Take(std::min<std::uint64_t>(in.size(), kHeaderSize));
  if (head == nullptr) return r.FailAt(0, "cannot read the header");
  if (in.size() < 8 || std::memcmp(head, kProbeMapMagic, 8) != 0) {
    error = "File header is not of BPMAP type. ";
    return false;
  }
  bool ok = false;
  if (in.size() < kHeaderSize) {
    ok = r.FailAt(in.size(), "header ends early");
  } else if (!ChooseEncoding(head + 8, map)) {
    ok = r.FailAt(8, "version field of neither float encoding");
  } else {
    map.sequence_count = LoadBE32(head + 12);
    ok = header_only || ReadBody(r, map);
  }
  if (!ok) map = ProbeMap{};
  return ok;
}

}  // namespace tesk::tiling
