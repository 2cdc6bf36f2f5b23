// Cell intensity files in the `tesk` program: the sample set (binary, text version 3 and text
// version 2 of one array), their summary, and `tesk convert`.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include <tesk/parvel.h>

#include "sample_array.h"
#include "sample_names.h"
#include "tesk_tool.h"

namespace {

namespace fs = std::filesystem;
using tesk::tool::fail;

using tesk::sample::CellIntensity;
using tesk::sample::Hash;
using tesk::sample::kGridCorners;
using tesk::sample::kImageSize;
using tesk::sample::kSubGridsPerSide;
using tesk::sample::Uniform;

float OneDecimal(double v) { return static_cast<float>(std::round(v * 10.0) / 10.0); }

// The copy of the scanner image header: free text, then 0x14-separated chip fields (lot,
// chip type with its layout suffix, scanner, filter).
std::string ImageHeaderLine() {
  return std::string("ImageHeader=[90..21960] sample: ") + std::to_string(kImageSize) + "x" +
         std::to_string(kImageSize) + " pixels 3um 12/08/26 09:30:00 \x14 4028113 \x14 " +
         tesk::sample::kChipType + ".1sq \x14 TS-0042 \x14 570 \x14 \n";
}

std::string SampleHeader() {
  const int cols = tesk::sample::kCols, rows = tesk::sample::kRows;
  char corners[200];
  std::snprintf(corners, sizeof corners,
                "GridCornerUL=%d %d\nGridCornerUR=%d %d\nGridCornerLR=%d %d\nGridCornerLL=%d %d\n",
                kGridCorners[0], kGridCorners[1], kGridCorners[2], kGridCorners[3],
                kGridCorners[4], kGridCorners[5], kGridCorners[6], kGridCorners[7]);
  return "Cols=" + std::to_string(cols) + "\nRows=" + std::to_string(rows) + "\n" + corners +
         "Algorithm=Percentile\n" + ImageHeaderLine() +
         "AlgorithmParameters=Percentile:75;CellMargin:2;OutlierHigh:1.500;OutlierLow:1.004\n";
}

// The two-line header of a version 2 file: size, then corners and the scanner header copy.
std::string Version2Header(ParvelClass& cel) {
  std::string line2;
  long c[8];
  if (cel.GetCorners(c)) {
    char buf[200];
    std::snprintf(buf, sizeof buf, "CORNERS=%ld %ld, %ld %ld, %ld %ld, %ld %ld", c[0], c[1], c[2],
                  c[3], c[4], c[5], c[6], c[7]);
    line2 = buf;
  }
  const std::string header = cel.GetHeader();
  const std::size_t sep = header.find('\x14');
  if (sep != std::string::npos) {
    const std::size_t start = header.rfind('\n', sep);
    const std::size_t end = header.find('\n', sep);
    std::string copy = header.substr(start == std::string::npos ? 0 : start + 1,
                                     end == std::string::npos ? std::string::npos
                                                              : end - (start == std::string::npos ? 0 : start + 1));
    if (const std::size_t eq = copy.find('='); eq != std::string::npos && eq < copy.find('\x14')) {
      copy.erase(0, eq + 1);
    }
    line2 += (line2.empty() ? "" : " ") + copy;
  }
  return "COLS/ROWS=" + std::to_string(cel.GetCols()) + " " + std::to_string(cel.GetRows()) +
         "\n" + line2 + "\n";
}

void FillSample(ParvelClass& cel) {
  const int cols = tesk::sample::kCols, rows = tesk::sample::kRows;
  cel.SetHeader(SampleHeader().c_str());
  cel.SetAlgorithm("Percentile");
  for (int y = 0; y < rows; ++y) {
    for (int x = 0; x < cols; ++x) {
      CellEntryClass e;
      const double mean = 90.0 + CellIntensity(x, y) * (1.0 + 0.04 * (Uniform(x, y + 7u * rows) - 0.5));
      e.MEAN = OneDecimal(mean);
      e.STDV = OneDecimal(mean * (0.03 + 0.04 * Uniform(y, x + 3u * cols)));
      e.X = static_cast<std::uint16_t>(x);
      e.Y = static_cast<std::uint16_t>(y);
      e.NPIXELS = (Hash(x + 11u, y) % 5 == 0) ? 12 : 9;
      // A scratch masked by the operator, and a sprinkling of outliers.
      e.MASKED = x >= 500 && x < 520 && y >= 700 && y < 710;
      e.OUTLIER = Hash(y, x + 101u) % 397 == 0;
      cel.AddCellData(&e);
    }
  }
  for (int r = 0; r < kSubGridsPerSide; ++r) {
    for (int c = 0; c < kSubGridsPerSide; ++c) {
      SUBGRID s = tesk::sample::SubGrid(r, c);
      cel.AddSubGrid(&s);
    }
  }
}

int Sample(const fs::path& dir) {
  ParvelClass cel;
  FillSample(cel);
  const fs::path binary = dir / tesk::sample::kCelBinary;
  cel.SetName(binary.string().c_str());
  if (!cel.Write()) return fail(binary, "cannot write");
  std::cout << binary.string() << "\n";
  const fs::path text3 = dir / tesk::sample::kCelText3;
  cel.SetName(text3.string().c_str());
  if (!cel.WriteVersionFile(3)) return fail(text3, "cannot write");
  std::cout << text3.string() << "\n";
  // Version 2 carries only a two-line header of its own.
  const fs::path text2 = dir / tesk::sample::kCelText2;
  cel.SetHeader(Version2Header(cel).c_str());
  cel.SetName(text2.string().c_str());
  if (!cel.WriteVersionFile(2)) return fail(text2, "cannot write");
  std::cout << text2.string() << "\n";
  return 0;
}

bool Recognises(const fs::path& f) {
  const std::string head = tesk::tool::ReadHead(f, 10);
  return head.starts_with(std::string_view("\x40\0\0\0", 4)) || head.starts_with("[CEL]") ||
         head.starts_with("COLS/ROWS=");
}

struct Stats {
  double min = 0, max = 0, mean = 0, sd = 0, median = 0, stdv_mean = 0, pixels_mean = 0;
};

Stats Intensities(const ParvelClass& cel) {
  Stats s;
  const int n = cel.GetNCells();
  if (n == 0) return s;
  std::vector<float> values(static_cast<std::size_t>(n));
  double sum = 0, sum2 = 0, stdv = 0, pixels = 0;
  s.min = s.max = cel.GetCell(0)->MEAN;
  for (int i = 0; i < n; ++i) {
    const CellEntryClass& e = *cel.GetCell(i);
    values[static_cast<std::size_t>(i)] = e.MEAN;
    sum += e.MEAN;
    sum2 += double(e.MEAN) * e.MEAN;
    stdv += e.STDV;
    pixels += e.NPIXELS;
    s.min = std::min<double>(s.min, e.MEAN);
    s.max = std::max<double>(s.max, e.MEAN);
  }
  s.mean = sum / n;
  s.sd = std::sqrt(std::max(0.0, sum2 / n - s.mean * s.mean));
  auto mid = values.begin() + n / 2;
  std::nth_element(values.begin(), mid, values.end());
  s.median = *mid;
  s.stdv_mean = stdv / n;
  s.pixels_mean = pixels / n;
  return s;
}

const char* EncodingName(int version) {
  switch (version) {
    case 2:
      return "text, version 2";
    case 3:
      return "text, version 3";
    default:
      return "binary";
  }
}

int Info(const fs::path& f) {
  ParvelClass cel;
  cel.SetName(f.string().c_str());
  if (!cel.Read()) return fail(f, "not a readable cell intensity file");
  const Stats s = Intensities(cel);
  std::printf("cell intensity file %s\n", f.string().c_str());
  std::printf("  version      %d (%s)\n", cel.GetFileVersion(), EncodingName(cel.GetFileVersion()));
  std::printf("  size         %d cols x %d rows, %d cells\n", cel.GetCols(), cel.GetRows(),
              cel.GetNCells());
  std::printf("  chip type    %s\n", *cel.GetChipType() ? cel.GetChipType() : "(none)");
  std::printf("  algorithm    %s\n", *cel.GetAlgorithm() ? cel.GetAlgorithm() : "(none)");
  std::string params = cel.GetAlgParams();
  while (!params.empty() && std::isspace(static_cast<unsigned char>(params.back()))) params.pop_back();
  std::printf("  parameters   %s\n", params.empty() ? "(none)" : params.c_str());
  std::printf("  cell margin  %d\n", cel.GetCellMargin());
  std::printf("  masked       %d\n", cel.GetNMasked());
  std::printf("  outliers     %d\n", cel.GetNOutliers());
  std::printf("  sub-grids    %d\n", cel.GetNSubGrids());
  long c[8];
  if (cel.GetCorners(c)) {
    std::printf("  corners      UL (%ld, %ld)  UR (%ld, %ld)  LR (%ld, %ld)  LL (%ld, %ld)\n", c[0],
                c[1], c[2], c[3], c[4], c[5], c[6], c[7]);
  } else {
    std::printf("  corners      (none)\n");
  }
  std::printf("  intensity    min %.1f  max %.1f  mean %.1f  median %.1f  sd %.1f\n", s.min,
              s.max, s.mean, s.median, s.sd);
  std::printf("  cell stdev   mean %.1f;  pixels per cell  mean %.2f\n", s.stdv_mean,
              s.pixels_mean);
  return 0;
}

int Convert(const std::vector<std::string>& args) {
  std::vector<std::string> files;
  int version = 0;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    std::string value;
    if (a == "--version" && i + 1 < args.size()) {
      value = args[++i];
    } else if (a.rfind("--version=", 0) == 0) {
      value = a.substr(10);
    } else {
      files.push_back(a);
      continue;
    }
    if (value != "2" && value != "3" && value != "4") {
      std::cerr << "tesk: convert: --version must be 2, 3 or 4, not '" << value << "'\n";
      return 2;
    }
    version = value[0] - '0';
  }
  if (files.size() != 2 || version == 0) {
    std::cerr << "usage: tesk convert IN OUT --version 2|3|4\n";
    return 2;
  }
  const fs::path in = files[0], out = files[1];
  ParvelClass cel;
  cel.SetName(in.string().c_str());
  if (!cel.Read()) {
    std::error_code ec;
    return fail(in, fs::exists(in, ec) ? "not a readable cell intensity file" : "no such file");
  }
  // Version 2 readers want their own two-line header; give the file one so it reads back.
  if (version == 2 && std::strncmp(cel.GetHeader(), "COLS/ROWS=", 10) != 0) {
    cel.SetHeader(Version2Header(cel).c_str());
  }
  cel.SetName(out.string().c_str());
  if (!cel.WriteVersionFile(version)) return fail(out, "cannot write");
  return 0;
}

const tesk::tool::Registrar kKind{tesk::tool::Kind{"cel", 10, &Sample, &Recognises, &Info}};
const tesk::tool::Registrar kConvert{tesk::tool::Command{
    "convert", "IN OUT --version 2|3|4   rewrite a cell intensity file", &Convert}};

}  // namespace
