// The result reader the object model binds against Pendrix71's own, measured interleaved in the
// same run on a result file of the sample array (version 13):
//   CCHPFileData::Read and the statistical record of every probe set
//     vs ChipClass::ReadChip and a walk over its expression units              (target <= 1.2x)
// The object model's own target (its results object within 2x of this walk) builds on this.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include <tesk/pendrix71.h>
#include <tesk/pendrix81.h>

#include "bench_util.h"
#include "sample_result.h"

namespace {

namespace fs = std::filesystem;

tesk::bench::SampleResultFile& TheFiles() {
  static tesk::bench::SampleResultFile files;
  return files;
}

tesk::bench::RatioReport g_summary("pendrix81_bench", "pendrix81");

void ReadAndSignals(benchmark::State& state) {
  const std::string path = TheFiles().result.string();
  auto chip = std::make_unique<ChipClass>();
  auto chp = std::make_unique<CCHPFileData>();
  chp->SetFileName(path.c_str());
  double base = 0, subject = 0;
  const tesk::bench::PairTimes times = tesk::bench::Interleaved(
      state, "pendrix81",
      [&] {
        if (chip->ReadChip(path.c_str()) != 0) return;
        for (int i = 0; i < chip->units.count; ++i) {
          if (chip->unitTypes.data[i] == TILING_EXPRESSION) {
            const GeneExpressionUnitClass* u = chip->GetUnit(i)->geneExpression;
            base += u->value1 + u->numberOfAtoms;
          }
        }
      },
      [&] {
        if (!chp->Read(0)) return;
        const CExpressionResults& r = chp->GetExpressionResults();
        CAbsStatProbeSetResult s;
        const int n = chp->GetHeader().GetNumProbeSets();
        for (int i = 0; i < n; ++i) {
          if (r.GetAbsStatProbeSetResult(i, s)) subject += s.Signal + s.NumPairs;
        }
      },
      [&] {
        if (base != subject || base == 0) state.SkipWithError("the two walks disagree");
        base = subject = 0;
        chip = std::make_unique<ChipClass>();  // freeing is not part of reading
        chp->Close();
      });
  g_summary.Add("Read and every signal of the sample result file", times, 1.2);
}

BENCHMARK(ReadAndSignals)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(3.0);

}  // namespace
