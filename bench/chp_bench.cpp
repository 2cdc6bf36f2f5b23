// Result file reader against a plain baseline, measured interleaved in the same run on a result
// file of the sample array (20,030 units, 221,680 atoms and pairs; version 13):
//   ReadChip  vs reading the file's bytes into memory                  (target <= 3x)
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <tesk/pendrix71.h>

#include "bench_util.h"
#include "sample_result.h"

namespace {

namespace fs = std::filesystem;

tesk::bench::SampleResultFile& TheFiles() {
  static tesk::bench::SampleResultFile files;
  return files;
}

tesk::bench::RatioReport g_summary("chp_bench", "pendrix71");

// Opens the file and reads all of its bytes into memory.
std::size_t Baseline(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  in.seekg(0, std::ios::end);
  const auto size = static_cast<std::size_t>(in.tellg());
  in.seekg(0);
  std::vector<unsigned char> bytes(size);
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size));
  benchmark::DoNotOptimize(bytes.data());
  return static_cast<std::size_t>(in.gcount());
}

void ReadChip(benchmark::State& state) {
  const tesk::bench::SampleResultFile& files = TheFiles();
  const std::string path = files.result.string();
  auto chip = std::make_unique<ChipClass>();
  std::size_t bytes = 0;
  int rc = 0;
  const tesk::bench::PairTimes times = tesk::bench::Interleaved(
      state, "pendrix71", [&] { bytes = Baseline(files.result); },
      [&] { rc = chip->ReadChip(path.c_str()); },
      [&] {
        if (rc != 0 || chip->numberOfUnits != 20030 || bytes == 0)
          state.SkipWithError("ReadChip failed");
        chip.reset();  // freeing the chip is not part of reading it
        chip = std::make_unique<ChipClass>();
      });
  g_summary.Add("ReadChip of the sample result file", times, 3.0);
}

BENCHMARK(ReadChip)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(3.0);

}  // namespace
