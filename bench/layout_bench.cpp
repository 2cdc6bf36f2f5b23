// The layout object on the sample layout (20,000 expression units of 11 pairs, plus
// resequencing, genotyping and QC units), measured interleaved in the same run:
//   LoadProbeSets (all kinds) + GetProbeSets  vs  as many minimal automation objects put into a
//                                                 SAFEARRAY of IDispatch*         (target <= 3x)
//   TeskCDFFile::Read                         vs  Pendrix71's ChipClass::ReadCDF of the same
//                                                 file                            (target <= 1.2x)
// Freeing arrays, objects and chips happens untimed between the runs.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <string>

#include <tesk/pendrix71.h>
#include <tesk/tarvex.h>

#include "automation_bench.h"
#include "bench_util.h"
#include "sample_layout.h"
#include "cdf_sample.h"
#include "sample_names.h"

namespace {

namespace fs = std::filesystem;

using tesk::bench::TheSampleLayout;

// A layout object of libtarvex (asked of its own DllGetClassObject) with the sample's paths.
tesk::ComPtr<ITeskCDFFile> NewLayoutObject() {
  tesk::ComPtr<ITeskCDFFile> cdf = tesk::bench::NewTarvexObject<ITeskCDFFile>(CLSID_TeskCDFFile, IID_ITeskCDFFile);
  if (!cdf) std::abort();
  tesk::Bstr chip(tesk::sample::kChipType), lib(TheSampleLayout().dir.path().string());
  if (cdf->put_ChipType(chip.Get()) != S_OK || cdf->put_LibPath(lib.Get()) != S_OK) std::abort();
  return cdf;
}

tesk::bench::RatioReport g_summary("layout_bench", "TeskCDFFile", 44);

void LoadAndGetProbeSets(benchmark::State& state) {
  tesk::ComPtr<ITeskCDFFile> cdf = NewLayoutObject();
  if (cdf->Read() != S_OK || cdf->put_FilterProbeSet(FILTER_ALL_PROBESET_TYPE) != S_OK) std::abort();
  LONG loaded = 0;
  if (cdf->LoadProbeSets() != S_OK || cdf->get_NumProbeSetsLoaded(&loaded) != S_OK || loaded < 20000) std::abort();
  tesk::Variant mine, base;
  const tesk::bench::PairTimes times = tesk::bench::Interleaved(
      state, "TeskCDFFile", [&] { tesk::bench::MinimalObjectsInArray(base, loaded); },
      [&] {
        if (cdf->LoadProbeSets() != S_OK || cdf->GetProbeSets(&mine) != S_OK) std::abort();
      },
      [&] {
        VariantClear(&mine);
        VariantClear(&base);
      });
  state.counters["probe_sets"] = loaded;
  g_summary.Add("LoadProbeSets + GetProbeSets / minimal objects", times, 3.0);
}

void Read(benchmark::State& state) {
  const std::string path = TheSampleLayout().layout.string();
  auto chip = std::make_unique<ChipClass>();
  chip->layoutFile = path.c_str();
  tesk::ComPtr<ITeskCDFFile> cdf = NewLayoutObject();
  int rc = 0;
  HRESULT hr = S_OK;
  const tesk::bench::PairTimes times = tesk::bench::Interleaved(
      state, "TeskCDFFile", [&] { rc = chip->ReadCDF(); }, [&] { hr = cdf->Read(); },
      [&] {
        LONG units = 0;
        cdf->get_NumProbeSets(&units);
        if (rc != 0 || hr != S_OK || units != chip->numberOfUnits) state.SkipWithError("layout read failed");
        // Freeing the layouts is not part of reading them.
        chip = std::make_unique<ChipClass>();
        chip->layoutFile = path.c_str();
        cdf = NewLayoutObject();
      });
  g_summary.Add("Read of the sample layout / ChipClass::ReadCDF", times, 1.2);
}

BENCHMARK(LoadAndGetProbeSets)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(Read)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(3.0);

}  // namespace
