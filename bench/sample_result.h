// The sample layout, analysed and written as a result file once per benchmark program: what the
// result-file benchmarks read.
#ifndef TESK_BENCH_SAMPLE_RESULT_H_
#define TESK_BENCH_SAMPLE_RESULT_H_

#include <cstdlib>
#include <filesystem>
#include <string>

#include <tesk/pendrix71.h>

#include "bench_util.h"
#include "cdf_sample.h"
#include "chp_sample.h"

namespace tesk::bench {

struct SampleResultFile {
  tesk::testing::ScratchDir dir;
  std::filesystem::path result = dir.path() / "sample.CHP";

  SampleResultFile() {
    const std::filesystem::path layout = dir.path() / "sample.CDF";
    tesk::testing::WriteFileBytes(layout, tesk::sample::layout::LayoutText());
    ChipClass chip;
    const std::string layoutName = layout.string();
    chip.layoutFile = layoutName.c_str();
    if (chip.ReadCDF() != 0) std::abort();
    chip.chipType = tesk::sample::kChipType;
    chip.cellFile = tesk::sample::kCelBinary;
    tesk::sample::result::FillResults(chip);
    if (chip.WriteChip(result.string().c_str()) != 0) std::abort();
  }
};

}  // namespace tesk::bench

#endif  // TESK_BENCH_SAMPLE_RESULT_H_
