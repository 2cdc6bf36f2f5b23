// The sample layout, written once per benchmark program as <chip type>.CDF in a scratch
// directory (removed at exit): what the layout benchmarks read.
#ifndef TESK_BENCH_SAMPLE_LAYOUT_H_
#define TESK_BENCH_SAMPLE_LAYOUT_H_

#include <filesystem>
#include <string>

#include <tesk/testing/bytes.h>
#include <tesk/testing/scratch_dir.h>

#include "cdf_sample.h"
#include "sample_names.h"

namespace tesk::bench {

struct SampleLayoutFile {
  tesk::testing::ScratchDir dir;
  std::filesystem::path layout = dir.path() / (std::string(tesk::sample::kChipType) + ".CDF");

  SampleLayoutFile() { tesk::testing::WriteFileBytes(layout, tesk::sample::layout::LayoutText()); }
};

inline const SampleLayoutFile& TheSampleLayout() {
  static const SampleLayoutFile file;
  return file;
}

}  // namespace tesk::bench

#endif  // TESK_BENCH_SAMPLE_LAYOUT_H_
