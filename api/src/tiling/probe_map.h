// Probe map files: for a tiling array, the genomic sequences it covers and, per sequence, the
// probes ("hits") that lie on it. Big-endian throughout; the version field tells which of two
// float encodings the file's floats use.
#ifndef TESK_API_SRC_TILING_PROBE_MAP_H_
#define TESK_API_SRC_TILING_PROBE_MAP_H_

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "tiling/encoding.h"

namespace tesk::tiling {

inline constexpr char kProbeMapMagic[8] = {'P', 'H', 'T', '7', '\r', '\n', '\x1a', '\n'};
inline constexpr int kMaxProbeLength = 28;

using Parameters = std::vector<std::pair<std::string, std::string>>;

struct ProbeHit {
  std::uint32_t pm_x = 0, pm_y = 0;
  std::uint32_t mm_x = 0, mm_y = 0;  // 0 for hits without a mismatch partner
  std::uint32_t position = 0;
  float match_score = 0;
  std::uint8_t probe_length = 0;
  std::uint8_t packed[7] = {};  // 2 bits a base, first base in the high bits
  std::uint8_t top_strand = 0;

  // The probe's bases as letters "ACGT" (probe_length of them).
  std::string Probe() const;
};

struct ProbeSequence {
  std::string name;
  std::string group_name;  // version 2 and later
  std::string version;     // the sequence's own version text (version 2 and later)
  std::uint32_t number = 0;        // from the hit section
  std::uint32_t hit_count = 0;
  std::uint32_t mapping_kind = 0;  // 0: every hit has a mismatch partner
  std::uint64_t hit_offset = 0;    // where the hit section starts
  Parameters parameters;
  std::vector<ProbeHit> hits;
};

struct ProbeMap {
  float version = 0;
  FloatEncoding encoding = FloatEncoding::kBigEndian;
  std::uint32_t sequence_count = 0;
  std::vector<ProbeSequence> sequences;  // filled by a full read only
};

// Reads a probe map file. A header-only read stops after the sequence count. On failure the
// map is left empty and error says what went wrong and where (for logs and tools; the object
// model shows its own fixed text).
bool ReadProbeMap(const std::string& path, bool header_only, ProbeMap& map, std::string& error);

// Packs bases "ACGT" (at most 28) into the 7-byte probe field; other letters pack as "A".
void PackProbe(std::string_view bases, std::uint8_t (&packed)[7]);

}  // namespace tesk::tiling

#endif  // TESK_API_SRC_TILING_PROBE_MAP_H_
