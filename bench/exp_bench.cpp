// Experiment files: Read and Write of a file with 20000 protocol steps, in both builds, against
// a plain reader that loads the bytes and splits them into lines, and a plain writer that puts
// the same lines out with one stream (targets: read at most 2 x, write at most 1.5 x; the
// library's write goes through a temporary file and a rename).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include <tesk/ostrel6.h>
#include <tesk/ostrel7.h>

#include "bench_util.h"

namespace {

constexpr int kSteps = 20000;

// The lines of a file without their line ends: what any reader of the format must do at least.
std::vector<std::string> PlainRead(const std::string& path) {
  std::size_t size = 0;
  auto bytes = tesk::bench::ReadBytes(path, size);
  std::string_view text(bytes.get(), size);
  std::vector<std::string> lines;
  while (!text.empty()) {
    std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.emplace_back(line);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
  }
  return lines;
}

struct Files {
  tesk::testing::ScratchDir dir;
  std::string source;
  std::vector<std::string> lines;

  Files() {
    source = (dir.path() / "source.EXP").string();
    ostrel7::CTestInfo t;
    t.SetName(source);
    t.ChipType = std::string("TeskDemo1164");
    for (int i = 0; i < 8; ++i) t.SampleInfo[i] = "sample value " + std::to_string(i);
    t.Protocol = std::string("Wash_B");
    t.Station = std::string("2");
    t.Module = std::string("1");
    t.HybridizeDate = std::string("Mar 07 2026 02:05PM");
    for (int i = 0; i < kSteps; ++i)
      t.ProtocolSteps.push_back("Step " + std::to_string(i) + "\tWash at 25 C for 10 cycles");
    t.ScanDate = std::string("Mar 08 2026 09:30AM");
    t.ScannerID = std::string("SCN-01");
    if (!t.Write()) std::abort();
    lines = PlainRead(source);
  }
};

Files& TheFiles() {
  static Files files;
  return files;
}

tesk::bench::RatioReport g_summary("exp_bench", "ostrel", 12);

void PlainWrite(const std::string& path) {
  std::ofstream out(path, std::ios::binary);
  for (const std::string& line : TheFiles().lines) out << line << "\r\n";
}

template <class Info>
void Read(benchmark::State& state, const char* name) {
  const std::string& path = TheFiles().source;
  g_summary.Add(name,
                tesk::bench::Interleaved(state, "ostrel",
                                         [&] { benchmark::DoNotOptimize(PlainRead(path)); },
                                         [&] {
                                           Info t;
                                           t.SetName(path);
                                           if (!t.Read()) std::abort();
                                           benchmark::DoNotOptimize(t.ProtocolSteps.data());
                                         }),
                2.0);
}

template <class Info>
void Write(benchmark::State& state, const char* name) {
  Files& f = TheFiles();
  Info t;
  t.SetName(f.source);
  if (!t.Read()) std::abort();
  const std::string plain = (f.dir.path() / "plain.EXP").string();
  t.SetName((f.dir.path() / "written.EXP").string());
  g_summary.Add(name,
                tesk::bench::Interleaved(state, "ostrel", [&] { PlainWrite(plain); },
                                         [&] {
                                           if (!t.Write()) std::abort();
                                         }),
                1.5);
}

void ReadSeven(benchmark::State& state) { Read<ostrel7::CTestInfo>(state, "read 7"); }
void ReadSix(benchmark::State& state) { Read<ostrel6::CTestInfo>(state, "read 6"); }
void WriteSeven(benchmark::State& state) { Write<ostrel7::CTestInfo>(state, "write 7"); }
void WriteSix(benchmark::State& state) { Write<ostrel6::CTestInfo>(state, "write 6"); }

BENCHMARK(ReadSeven)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(ReadSix)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(WriteSeven)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(WriteSix)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
