// Cell intensity library against plain baselines, measured interleaved in the same run on a
// generated 1164 x 1164 array:
//   binary Read      vs reading the file's bytes into memory          (target <= 1.5x)
//   version 3 Read   vs splitting lines + from_chars of 5 numbers      (target <= 2x)
//   binary Write     vs one buffered write of the same number of bytes (target <= 1.5x), both
//                    to a new file, and both replacing the file of the previous iteration
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <tesk/parvel.h>

#include "bench_util.h"

namespace {

namespace fs = std::filesystem;
constexpr int kSide = 1164;

// Scratch files, created once and removed at exit.
struct Files {
  tesk::testing::ScratchDir dir;
  fs::path binary, text3, out, out_baseline;

  Files() {
    binary = dir.path() / "bench.CEL";
    text3 = dir.path() / "bench_v3.CEL";
    out = dir.path() / "out.CEL";
    out_baseline = dir.path() / "out_baseline.CEL";
    ParvelClass cel;
    std::string header = "Cols=1164\nRows=1164\nGridCornerUL=24 24\nGridCornerUR=4071 24\n"
                         "GridCornerLR=4071 4071\nGridCornerLL=24 4071\nAlgorithm=Percentile\n"
                         "ImageHeader= \x14 lot \x14 Bench1164.1sq \x14 \n"
                         "AlgorithmParameters=Percentile:75;CellMargin:2;OutlierHigh:1.500;"
                         "OutlierLow:1.004\n";
    cel.SetHeader(header.c_str());
    cel.SetAlgorithm("Percentile");
    std::uint32_t state = 12345;
    auto next = [&state] { return state = state * 1664525u + 1013904223u; };
    for (int y = 0; y < kSide; ++y) {
      for (int x = 0; x < kSide; ++x) {
        CellEntryClass e;
        e.X = static_cast<std::uint16_t>(x);
        e.Y = static_cast<std::uint16_t>(y);
        const double u = (next() >> 8) / double(1 << 24);
        e.MEAN = static_cast<float>(static_cast<int>(1500.0 * std::exp(4.0 * u * u)) / 10.0);
        e.STDV = static_cast<float>(static_cast<int>(e.MEAN * 0.5) / 10.0);
        e.NPIXELS = 9 + next() % 4;
        e.MASKED = next() % 1000 == 0;
        e.OUTLIER = next() % 300 == 0;
        cel.AddCellData(&e);
      }
    }
    cel.SetName(binary.c_str());
    if (!cel.Write()) std::abort();
    cel.SetName(text3.c_str());
    if (!cel.WriteVersionFile(3)) std::abort();
  }
};

Files& TheFiles() {
  static Files files;
  return files;
}

using tesk::bench::ReadBytes;

tesk::bench::RatioReport g_summary("cel_bench", "parvel", 40);

// Memory the settling step writes: larger than the caches, so that each read side starts with
// none of its own or the other side's data cached.
std::vector<char>& SettleBuffer() {
  static std::vector<char> buffer(std::size_t{64} << 20);
  return buffer;
}

void Settle() {
  std::vector<char>& b = SettleBuffer();
  std::memset(b.data(), static_cast<int>(b[0] + 1), b.size());
  benchmark::DoNotOptimize(b.data());
}

// As Pair, but every side runs after an untimed settling step. Both sides take their memory
// from the same heap; run back to back, one side would find its memory in whatever cache state
// the other left it (lines just written, or pushed out by streaming stores), which skews the
// ratio either way. After settling both start alike, as a program that reads a file seldom does.
template <class B, class S>
void SettledPair(benchmark::State& state, const std::string& name, double target, B baseline,
                 S subject) {
  double tb = 0, ts = 0;
  std::int64_t n = 0;
  for (auto _ : state) {
    Settle();
    double t0 = tesk::bench::Now();
    baseline();
    tb += tesk::bench::Now() - t0;
    const double first = tesk::bench::Now() - t0;
    Settle();
    t0 = tesk::bench::Now();
    subject();
    ts += tesk::bench::Now() - t0;
    state.SetIterationTime(first + (tesk::bench::Now() - t0));
    ++n;
  }
  state.counters["baseline_ms"] = tb / n * 1e3;
  state.counters["parvel_ms"] = ts / n * 1e3;
  state.counters["ratio"] = ts / tb;
  g_summary.Add(name, tesk::bench::PairTimes{tb / n * 1e3, ts / n * 1e3}, target);
}

// Times baseline and subject alternately, with an untimed step between iterations, and keeps
// the ratio for the closing summary.
template <class B, class S, class Between>
void Pair(benchmark::State& state, const std::string& name, double target, B baseline, S subject,
          Between between) {
  g_summary.Add(name, tesk::bench::Interleaved(state, "parvel", baseline, subject, between),
                target);
}

// The subject of the read pairs: the whole file through the library.
void ParvelRead(const fs::path& path) {
  ParvelClass cel;
  cel.SetName(path.c_str());
  if (!cel.Read()) std::abort();
  benchmark::DoNotOptimize(cel.GetCell(0));
}

void BinaryRead(benchmark::State& state) {
  Files& f = TheFiles();
  SettledPair(
      state, "binary Read / read bytes", 1.5,
      [&] {
        std::size_t size = 0;
        auto bytes = ReadBytes(f.binary, size);
        benchmark::DoNotOptimize(bytes.get());
      },
      [&] { ParvelRead(f.binary); });
}

struct Cell {
  int x, y;
  float mean, stdv;
  int npixels;
};

const char* SkipBlanks(const char* p, const char* e) {
  while (p < e && (*p == ' ' || *p == '\t')) ++p;
  return p;
}

void Text3Read(benchmark::State& state) {
  Files& f = TheFiles();
  SettledPair(
      state, "v3 Read / lines + from_chars", 2.0,
      [&] {
        std::size_t size = 0;
        auto bytes = ReadBytes(f.text3, size);
        const char* p = bytes.get();
        const char* end = p + size;
        std::vector<Cell> cells;
        cells.reserve(kSide * kSide);
        bool in_cells = false;
        while (p < end) {
          const char* lf = static_cast<const char*>(std::memchr(p, '\n', end - p));
          const char* le = lf ? lf : end;
          const char* line_end = (le > p && le[-1] == '\r') ? le - 1 : le;
          if (in_cells) {
            if (line_end - p <= 2) {
              in_cells = false;
            } else {
              Cell c;
              const char* q = SkipBlanks(p, line_end);
              q = std::from_chars(q, line_end, c.x).ptr;
              q = std::from_chars(SkipBlanks(q, line_end), line_end, c.y).ptr;
              q = std::from_chars(SkipBlanks(q, line_end), line_end, c.mean).ptr;
              q = std::from_chars(SkipBlanks(q, line_end), line_end, c.stdv).ptr;
              std::from_chars(SkipBlanks(q, line_end), line_end, c.npixels);
              cells.push_back(c);
            }
          } else if (line_end - p >= 11 && std::memcmp(p, "CellHeader=", 11) == 0 &&
                     cells.empty()) {
            in_cells = true;
          }
          p = lf ? lf + 1 : end;
        }
        if (cells.size() != std::size_t(kSide) * kSide) std::abort();
        benchmark::DoNotOptimize(cells.data());
      },
      [&] { ParvelRead(f.text3); });
}

// Both sides write the same number of bytes. With `fresh`, to a file that does not exist yet
// (the files are removed between iterations, untimed); otherwise each side replaces the file
// it wrote in the previous iteration: the baseline truncates it, the library renames its new
// file over it, which on some file systems costs more than a truncation.
void WritePair(benchmark::State& state, const std::string& name, bool fresh) {
  Files& f = TheFiles();
  ParvelClass cel;
  cel.SetName(f.binary.c_str());
  if (!cel.Read()) std::abort();
  cel.SetName(f.out.c_str());
  std::size_t size = 0;
  auto bytes = ReadBytes(f.binary, size);
  Pair(
      state, name, 1.5,
      [&] {
        const int fd = ::open(f.out_baseline.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (::write(fd, bytes.get(), size) != static_cast<ssize_t>(size)) std::abort();
        ::close(fd);
      },
      [&] {
        if (!cel.Write()) std::abort();
      },
      [&] {
        if (!fresh) return;
        ::unlink(f.out.c_str());
        ::unlink(f.out_baseline.c_str());
      });
}

void BinaryWrite(benchmark::State& state) {
  WritePair(state, "binary Write, new file / one write", true);
}

void BinaryWriteOver(benchmark::State& state) {
  WritePair(state, "binary Write, replacing / one write", false);
}

}  // namespace

BENCHMARK(BinaryRead)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(Text3Read)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BinaryWrite)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BinaryWriteOver)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);
