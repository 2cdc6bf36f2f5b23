// Layout reader against a plain baseline, measured interleaved in the same run on the sample
// layout of the sample array (20,030 units, about 450,000 cell lines):
//   ReadCDF   vs reading the file line by line and converting the numbers of every cell line
//             with std::from_chars                                        (target <= 2x)
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include <tesk/pendrix71.h>

#include "bench_util.h"
#include "sample_layout.h"
#include "cdf_sample.h"

namespace {

namespace fs = std::filesystem;

using tesk::bench::TheSampleLayout;

tesk::bench::RatioReport g_summary("cdf_bench", "pendrix71");

// Line by line, every number of every cell line through from_chars.
long long Baseline(const fs::path& path) {
  std::FILE* f = std::fopen(path.c_str(), "r");
  if (f == nullptr) std::abort();
  char line[4096];
  long long sum = 0;
  while (std::fgets(line, sizeof line, f) != nullptr) {
    if (line[0] != 'C' || line[1] != 'e' || line[2] != 'l' || line[3] != 'l') continue;
    const char* p = line;
    while (*p != '=' && *p != '\0') ++p;
    if (*p == '\0') continue;
    ++p;
    const char* end = p + std::char_traits<char>::length(p);
    while (p < end) {
      while (p < end && (*p == '\t' || *p == ' ' || *p == '\n' || *p == '\r')) ++p;
      const char* token = p;
      while (p < end && *p != '\t' && *p != ' ' && *p != '\n' && *p != '\r') ++p;
      int v = 0;
      auto r = std::from_chars(token, p, v);
      if (r.ec == std::errc() && r.ptr == p) sum += v;
    }
  }
  std::fclose(f);
  return sum;
}

void ReadCDF(benchmark::State& state) {
  const tesk::bench::SampleLayoutFile& files = TheSampleLayout();
  const std::string path = files.layout.string();
  auto fresh = [&] {
    auto chip = std::make_unique<ChipClass>();
    chip->layoutFile = path.c_str();
    return chip;
  };
  auto chip = fresh();
  long long sum = 0;
  int rc = 0;
  const tesk::bench::PairTimes times = tesk::bench::Interleaved(
      state, "pendrix71", [&] { sum = Baseline(files.layout); }, [&] { rc = chip->ReadCDF(); },
      [&] {
        if (rc != 0 || chip->numberOfUnits != 20030) state.SkipWithError("ReadCDF failed");
        benchmark::DoNotOptimize(sum);
        chip.reset();  // freeing the chip is not part of reading it
        chip = fresh();
      });
  g_summary.Add("ReadCDF of the sample layout", times, 2.0);
}

BENCHMARK(ReadCDF)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(3.0);

}  // namespace
