// Tiling result files in the `tesk` program: the sample result and a summary of any result file.
#include <bit>
#include <iostream>
#include <string>

#include "tesk_tool.h"
#include "tiling/tiling_result.h"
#include "tiling/tiling_writer.h"
#include "tiling_sample.h"

namespace {

namespace fs = std::filesystem;
using namespace tesk::tiling;

constexpr std::size_t kListed = 20;  // sequences listed
constexpr std::size_t kRows = 3;     // rows shown of each

const char* TypeName(std::int32_t type) {
  static constexpr const char* kNames[] = {"double", "float",  "integer", "short",
                                           "char",   "uint",   "ushort",  "uchar"};
  return type >= 0 && type < 8 ? kNames[type] : "unknown (read as float)";
}

int Sample(const fs::path& dir) {
  const fs::path path = dir / tesk::sample::tiling::kResult;
  if (!WriteTilingResult(path.string(), tesk::sample::tiling::ResultOfSample())) {
    return tesk::tool::fail(path, "cannot write");
  }
  std::cout << path.string() << "\n";
  return 0;
}

// The format's magic is not fixed, so the name decides, and a header that reads.
bool Recognises(const fs::path& f) {
  std::string ext = f.extension().string();
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (ext != ".bar") return false;
  TilingResult header;
  std::string error;
  return ReadTilingResult(f.string(), true, header, error);
}

int Info(const fs::path& f) {
  TilingResult r;
  std::string error;
  if (!ReadTilingResult(f.string(), false, r, error)) {
    return tesk::tool::fail(f, "not a readable tiling result: " + error);
  }
  std::cout << "tiling result, version " << r.version << "\n  sequences: " << r.sequences.size()
            << "\n  columns: " << r.column_types.size();
  for (std::int32_t t : r.column_types) std::cout << " " << TypeName(t);
  std::cout << "\n";
  for (const auto& [tag, value] : r.parameters) std::cout << "  " << tag << ": " << value << "\n";
  const std::size_t cols = r.column_types.size();
  for (std::size_t i = 0; i < r.sequences.size() && i < kListed; ++i) {
    const ResultSequence& s = r.sequences[i];
    std::cout << "sequence " << i << ": " << s.name << " (group " << s.group_name << ", version "
              << s.version << ")\n  data points: " << s.data_points << "\n";
    for (const auto& [tag, value] : s.parameters) {
      std::cout << "  " << tag << ": " << value << "\n";
    }
    for (std::size_t row = 0; row < s.data_points && row < kRows && cols > 0; ++row) {
      std::cout << "  row " << row << ":";
      for (std::size_t c = 0; c < cols; ++c) {
        const std::uint32_t v = s.values[row * cols + c];
        if (IsIntegerColumn(r.column_types[c])) {
          std::cout << " " << static_cast<std::int32_t>(v);
        } else {
          std::cout << " " << std::bit_cast<float>(v);
        }
      }
      std::cout << "\n";
    }
  }
  if (r.sequences.size() > kListed) {
    std::cout << "(" << r.sequences.size() - kListed << " more sequences)\n";
  }
  return 0;
}

const tesk::tool::Registrar kKind{tesk::tool::Kind{"bar", 61, &Sample, &Recognises, &Info}};

}  // namespace
