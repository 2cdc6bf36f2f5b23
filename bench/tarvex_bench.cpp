// The object model's GetProbes on a 1164 x 1164 intensity file (1,354,896 TeskProbe objects
// made through the class factory) against a baseline that allocates as many minimal
// reference-counted objects into a SAFEARRAY of IDispatch*, measured interleaved in the same
// run; both sides also free their arrays (untimed). Target <= 3x. The memory held per probe
// object is measured from the allocator's count of bytes in use (target <= 96 bytes).
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <cstdio>
#include <cstdlib>

#include <tesk/parvel.h>
#include <tesk/tarvex.h>

#include "automation_bench.h"
#include "bench_util.h"

namespace {

constexpr int kSide = 1164;
constexpr LONG kCells = kSide * kSide;

// A cell intensity file written once and an intensity object that has read it.
struct Subject {
  tesk::testing::ScratchDir dir;
  tesk::ComPtr<ITeskCELFile> cel;

  Subject() {
    ParvelClass file;
    file.SetName((dir.path() / "bench.CEL").c_str());
    file.SetHeader(
        "Cols=1164\nRows=1164\nGridCornerUL=24 24\nGridCornerUR=4071 24\nGridCornerLR=4071 4071\n"
        "GridCornerLL=24 4071\nAlgorithm=Percentile\nAlgorithmParameters=Percentile:75;CellMargin:2\n");
    file.SetAlgorithm("Percentile");
    for (int y = 0; y < kSide; ++y)
      for (int x = 0; x < kSide; ++x) {
        CellEntryClass e;
        e.X = static_cast<std::uint16_t>(x);
        e.Y = static_cast<std::uint16_t>(y);
        e.MEAN = static_cast<float>(x + y);
        file.AddCellData(&e);
      }
    if (!file.Write()) std::abort();
    cel = tesk::bench::NewTarvexObject<ITeskCELFile>(CLSID_TeskCELFile, IID_ITeskCELFile);
    if (!cel) std::abort();
    tesk::Bstr name("bench.CEL"), path(dir.path().string());
    if (cel->put_Name(name.Get()) != S_OK || cel->put_DataPath(path.Get()) != S_OK ||
        cel->put_LibPath(path.Get()) != S_OK || cel->Read() != S_OK)
      std::abort();
  }
};

Subject& TheSubject() {
  static Subject s;
  return s;
}

tesk::bench::RatioReport g_summary("tarvex_bench", "GetProbes");

void GetProbes(benchmark::State& state) {
  Subject& s = TheSubject();
  tesk::Variant mine, base;
  g_summary.Add("GetProbes 1164x1164 / minimal objects",
                tesk::bench::Interleaved(
                    state, "GetProbes", [&] { tesk::bench::MinimalObjectsInArray(base, kCells); },
                    [&] {
                      if (s.cel->GetProbes(&mine) != S_OK) std::abort();
                    },
                    [&] {
                      VariantClear(&mine);
                      VariantClear(&base);
                    }),
                3.0);
}

// Bytes the allocator holds per probe while the array of probes lives (the array's own
// pointer slot included).
void ProbeMemory(benchmark::State& state) {
  Subject& s = TheSubject();
  double perProbe = 0;
  for (auto _ : state) {
    tesk::Variant probes;
    malloc_trim(0);
    const size_t before = mallinfo2().uordblks;
    if (s.cel->GetProbes(&probes) != S_OK) std::abort();
    const size_t after = mallinfo2().uordblks;
    perProbe = static_cast<double>(after - before) / kCells;
  }
  state.counters["bytes_per_probe"] = perProbe;
  std::printf("tarvex_bench: memory held per probe object: %.1f bytes (target <= 96)\n", perProbe);
}

}  // namespace

BENCHMARK(GetProbes)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(ProbeMemory)->Iterations(1)->Unit(benchmark::kMillisecond);
