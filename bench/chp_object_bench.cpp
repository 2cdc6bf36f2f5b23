// The object model's results object against Pendrix71, measured interleaved in the same run on a
// result file of the sample array (version 13):
//   TeskCHPFile::Read, GetExprSignal and GetExprNumPairs of every probe set
//     vs ChipClass::ReadChip and a walk over its units                         (target <= 2x)
// (The sample result is analysed without intensities, so its signals are 0: the pair counts make
// the two walks' check meaningful.)
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <string>

#include <tesk/pendrix71.h>
#include <tesk/tarvex.h>

#include "automation_bench.h"
#include "bench_util.h"
#include "sample_result.h"

namespace {

tesk::bench::SampleResultFile& TheFiles() {
  static tesk::bench::SampleResultFile files;
  return files;
}

tesk::bench::RatioReport g_summary("chp_object_bench", "TeskCHPFile");

void ReadAndSignals(benchmark::State& state) {
  const std::string path = TheFiles().result.string();
  const std::string dir = TheFiles().dir.path().string();
  auto chip = std::make_unique<ChipClass>();
  tesk::Bstr name{std::string_view("sample.CHP")}, where{std::string_view(dir)};
  tesk::ComPtr<ITeskCHPFile> chp;
  double base = 0, subject = 0;
  const tesk::bench::PairTimes times = tesk::bench::Interleaved(
      state, "TeskCHPFile",
      [&] {
        if (chip->ReadChip(path.c_str()) != 0) return;
        for (int i = 0; i < chip->units.count; ++i) {
          if (chip->unitTypes.data[i] != TILING_EXPRESSION) continue;
          const GeneExpressionUnitClass* u = chip->GetUnit(i)->geneExpression;
          base += u->value1 + u->numberOfAtoms;
        }
      },
      [&] {
        // A fresh object per read, as the baseline reads into a fresh chip.
        chp = tesk::bench::NewTarvexObject<ITeskCHPFile>(CLSID_TeskCHPFile, IID_ITeskCHPFile);
        if (!chp || FAILED(chp->put_Name(name.Get())) || FAILED(chp->put_DataPath(where.Get())) ||
            FAILED(chp->put_LibPath(where.Get())) || FAILED(chp->Read()))
          return;
        LONG n = 0;
        chp->get_NumProbeSets(&n);
        for (LONG i = 0; i < n; ++i) {
          FLOAT signal = 0;
          LONG pairs = 0;
          chp->GetExprSignal(i, &signal);
          chp->GetExprNumPairs(i, &pairs);
          subject += signal + pairs;
        }
      },
      [&] {
        if (base != subject || base == 0) {
          std::fprintf(stderr, "baseline %g, TeskCHPFile %g\n", base, subject);
          state.SkipWithError("the two walks disagree");
        }
        base = subject = 0;
        chip = std::make_unique<ChipClass>();  // freeing is not part of reading
        chp.Reset();
      });
  g_summary.Add("Read and GetExprSignal of every probe set", times, 2.0);
}

BENCHMARK(ReadAndSignals)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(3.0);

}  // namespace
