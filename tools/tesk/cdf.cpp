// Layout files in the `tesk` program: the sample layout of the sample array and a summary of
// any layout file.
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <map>
#include <string>
#include <system_error>

#include <tesk/internal/replace_file.h>
#include <tesk/pendrix71.h>

#include "cdf_sample.h"
#include "sample_names.h"
#include "tesk_tool.h"
#include "unit_summary.h"

namespace {

namespace fs = std::filesystem;
using tesk::tool::fail;
using tesk::tool::UnitTypeName;

int Sample(const fs::path& dir) {
  const fs::path path = dir / tesk::sample::kLayout;
  if (tesk::internal::ReplaceFile(path.string(), tesk::sample::layout::LayoutText()) != 0) {
    return fail(path, "cannot write");
  }
  std::cout << path.string() << "\n";
  return 0;
}

bool Recognises(const fs::path& f) {
  return tesk::tool::ReadHead(f, 5) == "[CDF]";
}

int Info(const fs::path& f) {
  ChipClass chip;
  const std::string name = f.string();
  chip.layoutFile = name.c_str();
  if (int rc = chip.ReadCDF(); rc != 0) {
    return fail(f, std::string("not a readable layout file: ") + CheckError(rc));
  }
  struct Tally {
    int units = 0;
    long long atoms = 0;
    long long cells = 0;
  };
  std::map<int, Tally> byType;
  for (int i = 0; i < chip.units.count; ++i) {
    const int type = chip.unitTypes.data[i];
    Tally& t = byType[type];
    ++t.units;
    t.atoms += chip.unitAtoms.data[i];
    t.cells += static_cast<long long>(chip.unitAtoms.data[i]) * chip.unitCellsPerAtom.data[i];
  }
  std::printf("layout file %s\n", name.c_str());
  std::printf("  version      QX%d.0\n", chip.layoutVersion);
  std::printf("  chip         %s\n", chip.layoutNameLine.c_str());
  if (!chip.layoutReference.IsEmpty()) {
    std::printf("  reference    %s\n", chip.layoutReference.c_str());
  }
  std::printf("  size         %d cols x %d rows\n", chip.cols, chip.rows);
  std::printf("  units        %d (highest unit number %d)\n", chip.numberOfUnits, chip.maxUnit);
  for (const auto& [type, t] : byType) {
    std::printf("    %-18s %6d units, %8lld atoms, %9lld cells\n", UnitTypeName(type), t.units,
                t.atoms, t.cells);
  }
  tesk::tool::PrintQCUnits(chip);
  return 0;
}

const tesk::tool::Registrar kKind{tesk::tool::Kind{"cdf", 40, &Sample, &Recognises, &Info}};

}  // namespace
