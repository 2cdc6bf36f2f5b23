// Result files in the `tesk` program: the sample result file of the sample array and a summary
// of any result file.
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <system_error>

#include <tesk/pendrix71.h>

#include "chp_sample.h"
#include "sample_names.h"
#include "tesk_tool.h"
#include "unit_summary.h"

namespace {

namespace fs = std::filesystem;
using tesk::tool::fail;
using tesk::tool::UnitTypeName;

// The sample result: the sample layout read with the intensities of the sample cell file,
// analysed, and written as version 13.
int Sample(const fs::path& dir) {
  const std::string layout = (dir / tesk::sample::kLayout).string();
  const std::string cells = (dir / tesk::sample::kCelBinary).string();
  const fs::path path = dir / tesk::sample::kResult;
  ChipClass chip;
  chip.layoutFile = layout.c_str();
  chip.cellFile = cells.c_str();
  chip.libraryPath = dir.string().c_str();
  if (int rc = chip.ReadCell(); rc != 0) {
    return fail(layout, std::string("cannot read the sample layout with its cell file: ") +
                            CheckError(rc));
  }
  chip.chipType = tesk::sample::kChipType;
  chip.cellFile = tesk::sample::kCelBinary;  // result files name the cell file, not its path
  tesk::sample::result::FillResults(chip);
  if (int rc = chip.WriteChip(path.string().c_str()); rc != 0) {
    return fail(path, std::string("cannot write: ") + CheckError(rc));
  }
  std::printf("%s\n", path.string().c_str());
  return 0;
}

bool Recognises(const fs::path& f) {
  return tesk::tool::ReadHead(f, kChipFileMagicLength) ==
         std::string_view(kChipFileMagic, kChipFileMagicLength);
}

// The text, or a dash for none.
const char* Show(const String& s) { return s.IsEmpty() ? "-" : s.c_str(); }

int Info(const fs::path& f) {
  const std::string name = f.string();
  ChipClass chip;
  if (int rc = chip.ReadChip(name.c_str()); rc != 0) {
    return fail(f, std::string("not a readable result file: ") + CheckError(rc));
  }
  std::error_code ec;
  const auto bytes = fs::file_size(f, ec);
  std::printf("result file %s\n", name.c_str());
  std::printf("  version      %d\n", chip.resultVersion);
  std::printf("  file size    %llu bytes\n", static_cast<unsigned long long>(ec ? 0 : bytes));
  std::printf("  chip type    %s\n", Show(chip.chipType));
  std::printf("  cell file    %s\n", Show(chip.cellFile));
  std::printf("  size         %d cols x %d rows\n", chip.cols, chip.rows);
  std::printf("  algorithm    %s", Show(chip.algorithmName));
  if (!chip.algorithmVersion.IsEmpty()) std::printf(" %s", chip.algorithmVersion.c_str());
  std::printf("\n  parameters   %s\n", Show(chip.algorithmParameters));
  std::printf("  summary      %s\n", Show(chip.chipSummary));
  std::printf("  identifier   %s\n", Show(chip.algorithmIdentifier));
  std::map<int, std::pair<int, long long>> byType;  // units, atoms
  for (int i = 0; i < chip.numberOfUnits && i < chip.unitTypes.count; ++i) {
    auto& t = byType[chip.unitTypes.data[i]];
    ++t.first;
    t.second += chip.unitAtoms.data[i];
  }
  std::printf("  units        %d (highest unit number %d)\n", chip.numberOfUnits, chip.maxUnit);
  for (const auto& [type, t] : byType) {
    std::printf("    %-18s %6d units, %8lld atoms\n", UnitTypeName(type), t.first, t.second);
  }
  tesk::tool::PrintQCUnits(chip);
  if (chip.composite.sequence.count > 0) {
    std::printf("  composite    %d positions\n", chip.composite.sequence.count);
  }
  return 0;
}

const tesk::tool::Registrar kKind{tesk::tool::Kind{"chp", 50, &Sample, &Recognises, &Info}};

}  // namespace
