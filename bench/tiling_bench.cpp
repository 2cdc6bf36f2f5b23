// Tiling readers against plain baselines, measured in the same run on generated files:
//   probe map of 2,000,000 hits (20 sequences, version 3, hits with mismatch partners)
//   tiling result of 4,000,000 data points (10 sequences, an integer and a float column)
// Each baseline reads the same file with one read(2) into memory and decodes the big-endian
// fields of every record in a plain loop (target for the readers: <= 2x). Warm: the file is in
// the page cache. Cold: both sides start with the file dropped from the page cache (untimed).
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "bench_util.h"
#include "tiling/encoding.h"
#include "tiling/probe_map.h"
#include "tiling/tiling_result.h"
#include "tiling/tiling_writer.h"

namespace {

namespace fs = std::filesystem;
using namespace tesk::tiling;

constexpr std::uint32_t kMapSequences = 20, kHitsPerSequence = 100000;
constexpr std::uint32_t kResultSequences = 10, kPointsPerSequence = 400000;

struct Files {
  tesk::testing::ScratchDir dir;
  fs::path map = dir.path() / "bench.bpmap";
  fs::path result = dir.path() / "bench.bar";
  std::vector<std::uint64_t> hit_sections;  // file offsets, for the baseline
  std::vector<std::uint64_t> value_blocks;

  Files() {
    std::uint32_t state = 20261208;
    auto next = [&state] { return state = state * 1664525u + 1013904223u; };
    ProbeMap m;
    m.version = 3.0f;
    m.encoding = FloatEncoding::kBigEndian;
    for (std::uint32_t s = 0; s < kMapSequences; ++s) {
      ProbeSequence& seq = m.sequences.emplace_back();
      seq.name = "chr" + std::to_string(s + 1);
      seq.group_name = "Hs";
      seq.version = "bench";
      seq.number = s;
      seq.hits.resize(kHitsPerSequence);
      for (std::uint32_t i = 0; i < kHitsPerSequence; ++i) {
        ProbeHit& h = seq.hits[i];
        h.pm_x = next() % 2560;
        h.pm_y = next() % 2560;
        h.mm_x = h.pm_x;
        h.mm_y = h.pm_y + 1;
        h.probe_length = 25;
        for (auto& b : h.packed) b = static_cast<std::uint8_t>(next() >> 24);
        h.match_score = static_cast<float>(next() % 1000) / 1000.0f;
        h.position = i * 35;
        h.top_strand = static_cast<std::uint8_t>(next() & 1);
      }
    }
    if (!WriteProbeMap(map.string(), m)) std::abort();
    std::string error;
    ProbeMap check;
    if (!ReadProbeMap(map.string(), false, check, error)) std::abort();
    for (const ProbeSequence& s : check.sequences) hit_sections.push_back(s.hit_offset);

    TilingResult r;
    std::copy_n("TeskBar\n", 8, r.magic);
    r.version = 2.0f;
    r.column_types = {kColumnInteger, kColumnFloat};
    r.parameters = {{"method", "bench"}};
    for (std::uint32_t s = 0; s < kResultSequences; ++s) {
      ResultSequence& seq = r.sequences.emplace_back();
      seq.name = "chr" + std::to_string(s + 1);
      seq.group_name = "Hs";
      seq.version = "bench";
      seq.data_points = kPointsPerSequence;
      seq.values.resize(2 * std::size_t{kPointsPerSequence});
      for (std::uint32_t i = 0; i < kPointsPerSequence; ++i) {
        seq.values[2 * i] = i * 35;
        seq.values[2 * i + 1] = std::bit_cast<std::uint32_t>(static_cast<float>(next() % 997));
      }
    }
    if (!WriteTilingResult(result.string(), r)) std::abort();
    // Where each sequence's values start: after the header (magic, version, counts, two
    // column types, one parameter pair) and each section's strings and counts.
    std::uint64_t at = 8 + 4 + 4 + 4 + 8 + 4 + (4 + 6) + (4 + 5);
    for (const ResultSequence& seq : r.sequences) {
      at += (4 + seq.name.size()) + (4 + seq.group_name.size()) + (4 + seq.version.size()) + 4 + 4;
      value_blocks.push_back(at);
      at += seq.values.size() * 4;
    }
    if (at != fs::file_size(result)) std::abort();
  }
};

Files& TheFiles() {
  static Files files;
  return files;
}

tesk::bench::RatioReport g_summary("tiling_bench", "tiling", 30);

void Evict(const fs::path& path) {
  const int fd = ::open(path.c_str(), O_RDONLY);
  ::fdatasync(fd);
  ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
  ::close(fd);
}

// The baselines: one read, then the big-endian fields of every record summed in a loop.
std::uint64_t BaselineMap(const Files& f) {
  std::size_t size = 0;
  auto bytes = tesk::bench::ReadBytes(f.map, size);
  const auto* base = reinterpret_cast<const unsigned char*>(bytes.get());
  std::uint64_t sum = 0;
  for (std::uint64_t at : f.hit_sections) {
    const unsigned char* p = base + at + 4;
    for (std::uint32_t i = 0; i < kHitsPerSequence; ++i, p += 33) {
      sum += LoadBE32(p) + LoadBE32(p + 4) + LoadBE32(p + 8) + LoadBE32(p + 12) + p[16] +
             LoadBE32(p + 24) + LoadBE32(p + 28) + p[32];
    }
  }
  return sum;
}

std::uint64_t BaselineResult(const Files& f) {
  std::size_t size = 0;
  auto bytes = tesk::bench::ReadBytes(f.result, size);
  const auto* base = reinterpret_cast<const unsigned char*>(bytes.get());
  std::uint64_t sum = 0;
  for (std::uint64_t at : f.value_blocks) {
    const unsigned char* p = base + at;
    for (std::uint32_t i = 0; i < 2 * kPointsPerSequence; ++i, p += 4) sum += LoadBE32(p);
  }
  return sum;
}

// Runs baseline and subject alternately, each after an untimed preparation (dropping the file
// from the page cache for the cold pairs).
template <class Prepare, class B, class S>
void Pair(benchmark::State& state, const std::string& name, Prepare prepare, B baseline,
          S subject) {
  double tb = 0, ts = 0;
  std::int64_t n = 0;
  for (auto _ : state) {
    const bool subject_first = (n & 1) != 0;
    double side[2];
    for (int k = 0; k < 2; ++k) {
      prepare();
      const double t0 = tesk::bench::Now();
      if ((k == 0) == subject_first) subject(); else baseline();
      side[k] = tesk::bench::Now() - t0;
    }
    ts += subject_first ? side[0] : side[1];
    tb += subject_first ? side[1] : side[0];
    state.SetIterationTime(side[0] + side[1]);
    ++n;
  }
  state.counters["baseline_ms"] = tb / n * 1e3;
  state.counters["tiling_ms"] = ts / n * 1e3;
  state.counters["ratio"] = ts / tb;
  g_summary.Add(name, {tb / n * 1e3, ts / n * 1e3}, 2.0);
}

void ReadMap(benchmark::State& state, bool cold) {
  const Files& f = TheFiles();
  Pair(
      state, cold ? "probe map, cold" : "probe map, warm",
      [&] { if (cold) Evict(f.map); },
      [&] { benchmark::DoNotOptimize(BaselineMap(f)); },
      [&] {
        ProbeMap m;
        std::string error;
        if (!ReadProbeMap(f.map.string(), false, m, error) ||
            m.sequences.size() != kMapSequences) {
          std::abort();
        }
        benchmark::DoNotOptimize(m.sequences.data());
      });
}

void ReadResult(benchmark::State& state, bool cold) {
  const Files& f = TheFiles();
  Pair(
      state, cold ? "tiling result, cold" : "tiling result, warm",
      [&] { if (cold) Evict(f.result); },
      [&] { benchmark::DoNotOptimize(BaselineResult(f)); },
      [&] {
        TilingResult r;
        std::string error;
        if (!ReadTilingResult(f.result.string(), false, r, error) ||
            r.sequences.size() != kResultSequences) {
          std::abort();
        }
        benchmark::DoNotOptimize(r.sequences.data());
      });
}

BENCHMARK_CAPTURE(ReadMap, warm, false)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(8);
BENCHMARK_CAPTURE(ReadMap, cold, true)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(8);
BENCHMARK_CAPTURE(ReadResult, warm, false)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(8);
BENCHMARK_CAPTURE(ReadResult, cold, true)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(8);

}  // namespace
