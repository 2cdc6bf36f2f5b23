// Scanner image access: summing every pixel of a 4096 x 4096 image through Open + MapData
// windows of 250 lines, against the same sum over one plain mmap of the file (target: at most
// 1.2 x); and ReadHeader of a large image against a small one (it reads no pixels, so the two
// should cost the same).
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <tesk/imbrel7.h>

#include "bench_util.h"

namespace {

constexpr int kSide = 4096;
constexpr int kWindow = 250;

// The two test images, written once into a scratch directory and removed at exit.
struct Images {
  tesk::testing::ScratchDir dir;
  std::string large, small;

  Images() {
    large = (dir.path() / "large.DAT").string();
    small = (dir.path() / "small.DAT").string();
    Make(large, kSide);
    Make(small, 16);
  }
  static void Make(const std::string& path, int side) {
    ImageData d;
    d.SetName(path.c_str());
    if (!d.Create(side, side)) std::abort();
    std::uint32_t state = 12345;
    for (std::int64_t i = 0; i < std::int64_t{side} * side; ++i) {
      state = state * 1664525u + 1013904223u;
      d.Pixels[i] = static_cast<std::uint16_t>(state >> 16);
    }
    d.SetChipType("TeskDemo1164");
    for (int i = 0; i < 16; ++i) {
      SUBGRID s{};
      s.ROW = i / 4;
      s.COL = i % 4;
      d.AddSubGrid(&s);
    }
    if (!d.Write()) std::abort();
  }
};

Images& TheImages() {
  static Images images;
  return images;
}

std::uint64_t Sum(const std::uint16_t* p, std::int64_t n) {
  std::uint64_t sum = 0;
  for (std::int64_t i = 0; i < n; ++i) sum += p[i];
  return sum;
}

// Mean seconds per iteration of each side, for the ratio printed at exit.
double g_plain = 0.0, g_windows = 0.0, g_header_large = 0.0, g_header_small = 0.0;

template <class F>
void Timed(benchmark::State& state, double& mean, F&& body) {
  double total = 0.0;
  std::int64_t runs = 0;
  for (auto _ : state) {
    auto start = std::chrono::steady_clock::now();
    body();
    total += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    ++runs;
  }
  if (runs > 0) mean = total / runs;
}

void BM_SumPlainMmap(benchmark::State& state) {
  const std::string& path = TheImages().large;
  Timed(state, g_plain, [&] {
    int fd = ::open(path.c_str(), O_RDONLY);
    std::size_t length = 512 + 2 * std::size_t{kSide} * kSide;
    void* base = ::mmap(nullptr, length, PROT_READ, MAP_SHARED, fd, 0);
    ::close(fd);
    if (base == MAP_FAILED) std::abort();
    auto* pixels = reinterpret_cast<const std::uint16_t*>(static_cast<char*>(base) + 512);
    benchmark::DoNotOptimize(Sum(pixels, std::int64_t{kSide} * kSide));
    ::munmap(base, length);
  });
  state.SetBytesProcessed(state.iterations() * 2 * std::int64_t{kSide} * kSide);
}

void BM_SumMapDataWindows(benchmark::State& state) {
  const std::string& path = TheImages().large;
  Timed(state, g_windows, [&] {
    ImageData d;
    d.SetName(path.c_str());
    if (!d.ReadHeader() || !d.Open(IMAGE_READ, IMAGE_SHARE_READ)) std::abort();
    std::uint64_t sum = 0;
    for (int first = 0; first < d.Rows; first += kWindow) {
      if (!d.MapData(first, kWindow)) std::abort();
      sum += Sum(d.Pixels, std::int64_t{d.Cols} * d.NumLines);
    }
    benchmark::DoNotOptimize(sum);
  });
  state.SetBytesProcessed(state.iterations() * 2 * std::int64_t{kSide} * kSide);
  if (g_plain > 0) state.counters["x_plain_mmap"] = g_windows / g_plain;
}

void ReadHeaderOf(benchmark::State& state, const std::string& path, double& mean) {
  Timed(state, mean, [&] {
    ImageData d;
    d.SetName(path.c_str());
    if (!d.ReadHeader()) std::abort();
    benchmark::DoNotOptimize(d.NumSubGrids);
  });
}

void BM_ReadHeaderSmall(benchmark::State& state) {
  ReadHeaderOf(state, TheImages().small, g_header_small);
}

void BM_ReadHeaderLarge(benchmark::State& state) {
  ReadHeaderOf(state, TheImages().large, g_header_large);
  if (g_header_small > 0) state.counters["x_small"] = g_header_large / g_header_small;
}

BENCHMARK(BM_SumPlainMmap)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SumMapDataWindows)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadHeaderSmall)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReadHeaderLarge)->Unit(benchmark::kMicrosecond);

// The figures the image library is held to, printed after the table.
struct Report {
  ~Report() {
    if (g_plain > 0 && g_windows > 0)
      std::printf("dat_bench: MapData windows of %d lines / plain mmap = %.2fx (target <= 1.20x)\n",
                  kWindow, g_windows / g_plain);
    if (g_header_small > 0 && g_header_large > 0)
      std::printf("dat_bench: ReadHeader 4096x4096 / 16x16 = %.2fx (target: same cost)\n",
                  g_header_large / g_header_small);
  }
} g_report;

}  // namespace
