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

#include "cdf_sample.h"
#include "chp_sample.h"

namespace {

namespace fs = std::filesystem;

// The sample layout, analysed and written as a result file once per run.
struct Files {
  fs::path dir, result;
  Files() {
    std::string tmpl = (fs::temp_directory_path() / "chp_bench_XXXXXX").string();
    dir = ::mkdtemp(tmpl.data());
    const fs::path layout = dir / "sample.CDF";
    result = dir / "sample.CHP";
    const std::string text = tesk::sample::layout::LayoutText();
    std::ofstream(layout, std::ios::binary).write(text.data(), static_cast<std::streamsize>(text.size()));
    ChipClass chip;
    const std::string layoutName = layout.string();
    chip.layoutFile = layoutName.c_str();
    if (chip.ReadCDF() != 0) std::abort();
    chip.chipType = tesk::sample::kChipType;
    chip.cellFile = tesk::sample::kCelBinary;
    tesk::sample::result::FillResults(chip);
    if (chip.WriteChip(result.string().c_str()) != 0) std::abort();
  }
  ~Files() {
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
};

Files& TheFiles() {
  static Files files;
  return files;
}

struct Summary {
  double baseline = 0, subject = 0;
  bool ran = false;
  ~Summary() {
    if (!ran) return;
    std::printf("chp_bench: ReadChip of the sample result file  pendrix71 %7.2f ms  baseline %7.2f "
                "ms  ratio %.2f (target <= 3.0)\n", subject, baseline, subject / baseline);
  }
};
Summary g_summary;

double Now() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

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
  const Files& files = TheFiles();
  const std::string path = files.result.string();
  double tb = 0, ts = 0;
  std::int64_t n = 0;
  for (auto _ : state) {
    auto chip = std::make_unique<ChipClass>();
    std::size_t bytes = 0;
    int rc = 0;
    const bool subject_first = (n & 1) != 0;
    const double t0 = Now();
    if (subject_first) rc = chip->ReadChip(path.c_str()); else bytes = Baseline(files.result);
    const double t1 = Now();
    if (subject_first) bytes = Baseline(files.result); else rc = chip->ReadChip(path.c_str());
    const double t2 = Now();
    if (rc != 0 || chip->numberOfUnits != 20030 || bytes == 0) state.SkipWithError("ReadChip failed");
    (subject_first ? ts : tb) += t1 - t0;
    (subject_first ? tb : ts) += t2 - t1;
    state.SetIterationTime(t2 - t0);
    ++n;
    chip.reset();  // freeing the chip is not part of reading it
  }
  state.counters["baseline_ms"] = tb / n * 1e3;
  state.counters["pendrix71_ms"] = ts / n * 1e3;
  state.counters["ratio"] = ts / tb;
  g_summary = {tb / n * 1e3, ts / n * 1e3, true};
}

BENCHMARK(ReadChip)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(3.0);

}  // namespace
