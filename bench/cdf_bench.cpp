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

#include "cdf_sample.h"

namespace {

namespace fs = std::filesystem;

struct Files {
  fs::path dir, layout;
  Files() {
    std::string tmpl = (fs::temp_directory_path() / "cdf_bench_XXXXXX").string();
    dir = ::mkdtemp(tmpl.data());
    layout = dir / "sample.CDF";
    const std::string text = tesk::sample::layout::LayoutText();
    std::ofstream(layout, std::ios::binary).write(text.data(), static_cast<std::streamsize>(text.size()));
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
    std::printf("cdf_bench: ReadCDF of the sample layout  pendrix71 %7.2f ms  baseline %7.2f ms  "
                "ratio %.2f (target <= 2.0)\n", subject, baseline, subject / baseline);
  }
};
Summary g_summary;

double Now() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

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
  const Files& files = TheFiles();
  const std::string path = files.layout.string();
  double tb = 0, ts = 0;
  std::int64_t n = 0;
  for (auto _ : state) {
    auto chip = std::make_unique<ChipClass>();
    chip->layoutFile = path.c_str();
    long long sum = 0;
    int rc = 0;
    const bool subject_first = (n & 1) != 0;
    const double t0 = Now();
    if (subject_first) rc = chip->ReadCDF(); else sum = Baseline(files.layout);
    const double t1 = Now();
    if (subject_first) sum = Baseline(files.layout); else rc = chip->ReadCDF();
    const double t2 = Now();
    if (rc != 0 || chip->numberOfUnits != 20030) state.SkipWithError("ReadCDF failed");
    benchmark::DoNotOptimize(sum);
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

BENCHMARK(ReadCDF)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(3.0);

}  // namespace
