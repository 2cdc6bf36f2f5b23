// Names of the tiling-array sample files and the content both `tesk sample` and the object
// model's tests rely on.
#ifndef TESK_TOOLS_TESK_TILING_SAMPLE_H_
#define TESK_TOOLS_TESK_TILING_SAMPLE_H_

#include <algorithm>
#include <bit>
#include <string>

#include "tiling/probe_map.h"
#include "tiling/tiling_result.h"

namespace tesk::sample::tiling {

inline constexpr char kProbeMap[] = "sample.bpmap";
inline constexpr char kResult[] = "sample.bar";
inline constexpr char kResultMagic[] = "TeskBar\n";

// Two sequences on the sample array: one whose hits have mismatch partners, one without.
inline tesk::tiling::ProbeMap ProbeMapOfSample() {
  using namespace tesk::tiling;
  ProbeMap m;
  m.version = 3.0f;
  m.encoding = FloatEncoding::kBigEndian;
  const char* probes[] = {"ACGTTGCAACGTTGCAACGTTGCAG", "GGATCCTTAGGCATCGATCGGATCC",
                          "TTTTAAAACCCCGGGGTTTTAAAAC", "CATGCATGCATGCATGCATGCATGC"};
  for (std::uint32_t s = 0; s < 2; ++s) {
    ProbeSequence& seq = m.sequences.emplace_back();
    seq.name = s == 0 ? "chr21" : "chrM";
    seq.group_name = "Mm";
    seq.version = "demo-build-2";
    seq.parameters = {{"Species", "mouse"}, {"Design", "tiling demo"}};
    seq.number = s;
    seq.mapping_kind = s;
    for (std::uint32_t i = 0; i < 8; ++i) {
      ProbeHit& h = seq.hits.emplace_back();
      h.pm_x = 10 + 2 * i;
      h.pm_y = 100 + s;
      h.mm_x = s == 0 ? h.pm_x : 0;
      h.mm_y = s == 0 ? h.pm_y + 1 : 0;
      h.probe_length = 25;
      PackProbe(probes[(i + s) % 4], h.packed);
      h.match_score = 1.0f - 0.125f * static_cast<float>(i % 3);
      h.position = 9400000 + 35 * i;
      h.top_strand = static_cast<std::uint8_t>(i % 2 == 0);
    }
  }
  return m;
}

// Signal along the same two sequences: a position column and a score column.
inline tesk::tiling::TilingResult ResultOfSample() {
  using namespace tesk::tiling;
  TilingResult r;
  std::copy_n(kResultMagic, 8, r.magic);
  r.version = 2.0f;
  r.column_types = {kColumnInteger, kColumnFloat};
  r.parameters = {{"Algorithm", "TeskTile"}, {"Bandwidth", "300"}};
  for (std::uint32_t s = 0; s < 2; ++s) {
    ResultSequence& seq = r.sequences.emplace_back();
    seq.name = s == 0 ? "chr21" : "chrM";
    seq.group_name = "Mm";
    seq.version = "demo-build-2";
    seq.parameters = {{"Strand", s == 0 ? "+" : "-"}};
    seq.data_points = 6;
    for (std::uint32_t i = 0; i < seq.data_points; ++i) {
      seq.values.push_back(9400000 + 35 * i);
      seq.values.push_back(std::bit_cast<std::uint32_t>(0.25f * static_cast<float>(i) - 0.5f));
    }
  }
  return r;
}

}  // namespace tesk::sample::tiling

#endif  // TESK_TOOLS_TESK_TILING_SAMPLE_H_
