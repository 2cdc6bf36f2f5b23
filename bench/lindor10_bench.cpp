// The layout reader the object model binds against Pendrix71's own, measured interleaved in the
// same run on the sample layout of the sample array:
//   CCDFFileData::Read  vs  ChipClass::ReadCDF of the same file       (target <= 1.2x)
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>

#include <tesk/lindor10.h>
#include <tesk/pendrix71.h>

#include "bench_util.h"
#include "sample_layout.h"
#include "cdf_sample.h"

namespace {

namespace fs = std::filesystem;

using tesk::bench::TheSampleLayout;

tesk::bench::RatioReport g_summary("lindor10_bench", "lindor10");

void Read(benchmark::State& state) {
  const std::string path = TheSampleLayout().layout.string();
  auto chip = std::make_unique<ChipClass>();
  chip->layoutFile = path.c_str();
  auto cdf = std::make_unique<CCDFFileData>();
  cdf->SetFileName(path.c_str());
  int rc = 0, ok = 0;
  const tesk::bench::PairTimes times = tesk::bench::Interleaved(
      state, "lindor10", [&] { rc = chip->ReadCDF(); }, [&] { ok = cdf->Read(0); },
      [&] {
        if (rc != 0 || ok != 1 || cdf->GetNumUnits() != chip->numberOfUnits) {
          state.SkipWithError("layout read failed");
        }
        // Freeing the layouts is not part of reading them.
        chip = std::make_unique<ChipClass>();
        chip->layoutFile = path.c_str();
        cdf->Close();
      });
  g_summary.Add("Read of the sample layout", times, 1.2);
}

BENCHMARK(Read)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(3.0);

}  // namespace
