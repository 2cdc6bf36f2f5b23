// Probe set name files in the `tesk` program: the names of the sample layout's units, and a
// summary of any such file.
#include <cctype>
#include <iostream>
#include <sstream>
#include <string>

#include <tesk/internal/replace_file.h>

#include "cdf_sample.h"
#include "sample_names.h"
#include "tesk_tool.h"
#include "tiling/probe_set_names.h"

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kListed = 10;

// One line per unit of the sample layout, in unit order, after a first line of our own; the
// object model names the genotyping units of the layout by these lines.
int Sample(const fs::path& dir) {
  const fs::path path = dir / (std::string(tesk::sample::kChipType) + ".PSI");
  std::istringstream layout(tesk::sample::layout::LayoutText());
  std::string text = "#Probe Sets of " + std::string(tesk::sample::kChipType) + "\n";
  std::string line;
  // A unit named NONE (an expression unit) is named by its first block.
  int unit = 0;
  bool pending = false;
  while (std::getline(layout, line)) {
    if (line.rfind("[Unit", 0) == 0 && line.find("_Block") == std::string::npos) pending = true;
    if (pending && line.rfind("Name=", 0) == 0 && line != "Name=NONE") {
      std::string name = line.substr(5);
      // Genotyping units are named by their site's identifier here, not by the layout's name.
      if (name.rfind("snp_", 0) == 0) name = "SNP_A-" + name.substr(4);
      text += std::to_string(unit) + "\t" + name + "\t" + std::to_string(unit % 7) + "\n";
      ++unit;
      pending = false;
    }
  }
  if (tesk::internal::ReplaceFile(path.string(), text) != 0) {
    return tesk::tool::fail(path, "cannot write");
  }
  std::cout << path.string() << "\n";
  return 0;
}

bool Recognises(const fs::path& f) {
  std::string ext = f.extension().string();
  for (char& c : ext) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return ext == ".PSI";
}

int Info(const fs::path& f) {
  std::vector<std::string> names;
  const std::size_t skipped = tesk::tiling::ReadProbeSetNames(f.string(), names);
  std::cout << "probe set names\n  names: " << names.size() << "\n  lines skipped: " << skipped
            << "\n";
  for (std::size_t i = 0; i < names.size() && i < kListed; ++i) {
    std::cout << "  " << i << ": " << names[i] << "\n";
  }
  if (names.size() > kListed) std::cout << "  (" << names.size() - kListed << " more)\n";
  return 0;
}

const tesk::tool::Registrar kKind{tesk::tool::Kind{"psi", 62, &Sample, &Recognises, &Info}};

}  // namespace
