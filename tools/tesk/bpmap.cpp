// Probe map files in the `tesk` program: the sample array's map and a summary of any map.
#include <iostream>

#include "tesk_tool.h"
#include "tiling/probe_map.h"
#include "tiling/tiling_writer.h"
#include "tiling_sample.h"

namespace {

namespace fs = std::filesystem;
using namespace tesk::tiling;

constexpr std::size_t kListed = 20;  // sequences listed in full

int Sample(const fs::path& dir) {
  const fs::path path = dir / tesk::sample::tiling::kProbeMap;
  if (!WriteProbeMap(path.string(), tesk::sample::tiling::ProbeMapOfSample())) {
    return tesk::tool::fail(path, "cannot write");
  }
  std::cout << path.string() << "\n";
  return 0;
}

bool Recognises(const fs::path& f) {
  return tesk::tool::ReadHead(f, 8) == std::string_view(kProbeMapMagic, 8);
}

int Info(const fs::path& f) {
  ProbeMap map;
  std::string error;
  if (!ReadProbeMap(f.string(), false, map, error)) {
    return tesk::tool::fail(f, "not a readable probe map: " + error);
  }
  std::uint64_t hits = 0;
  for (const ProbeSequence& s : map.sequences) hits += s.hits.size();
  std::cout << "probe map, version " << map.version << " ("
            << (map.encoding == FloatEncoding::kBigEndian ? "big-endian" : "integer-swapped")
            << " floats)\n  sequences: " << map.sequences.size() << "\n  hits: " << hits << "\n";
  for (std::size_t i = 0; i < map.sequences.size() && i < kListed; ++i) {
    const ProbeSequence& s = map.sequences[i];
    std::cout << "sequence " << i << ": " << s.name << " (number " << s.number << ", group "
              << s.group_name << ", version " << s.version << ")\n  hits: " << s.hits.size()
              << (s.mapping_kind == 0 ? " with mismatch partners" : " without partners")
              << ", section at " << s.hit_offset << "\n";
    for (const auto& [tag, value] : s.parameters) std::cout << "  " << tag << ": " << value << "\n";
    if (!s.hits.empty()) {
      const ProbeHit& h = s.hits.front();
      std::cout << "  first hit: PM (" << h.pm_x << ", " << h.pm_y << ") MM (" << h.mm_x << ", "
                << h.mm_y << ") " << h.Probe() << " score " << h.match_score << " position "
                << h.position << (h.top_strand != 0 ? " top" : " bottom") << " strand\n";
    }
  }
  if (map.sequences.size() > kListed) {
    std::cout << "(" << map.sequences.size() - kListed << " more sequences)\n";
  }
  return 0;
}

const tesk::tool::Registrar kKind{tesk::tool::Kind{"bpmap", 60, &Sample, &Recognises, &Info}};

}  // namespace
