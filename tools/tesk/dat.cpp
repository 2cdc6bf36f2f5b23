// `tesk sample` writes the sample array's scanner image; `tesk info` summarises one.
#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <iostream>
#include <string>

#include <tesk/imbrel7.h>

#include "sample_array.h"
#include "sample_names.h"
#include "tesk_tool.h"

namespace {

using tesk::sample::CellIntensity;
using tesk::sample::Hash;
using tesk::sample::kImageSize;
using tesk::sample::kMargin;
using tesk::sample::kSubGridsPerSide;

int Sample(const std::filesystem::path& dir) {
  const std::filesystem::path path = dir / tesk::sample::kImage;
  ImageData image;
  image.SetName(path.string().c_str());
  if (!image.Create(kImageSize, kImageSize)) return tesk::tool::fail(path, "cannot create");

  // Cells are laid on a square grid inside the margin; pixels near a cell's edge fall off
  // towards the gaps between cells, and every pixel carries some noise.
  const double pitch = tesk::sample::kPitch;
  std::uint16_t low = 65535, high = 0;
  for (int y = 0; y < kImageSize; ++y) {
    std::uint16_t* row = image.Pixels + static_cast<std::size_t>(y) * kImageSize;
    const double gy = (y - kMargin + 0.5) / pitch;
    const int cy = static_cast<int>(std::floor(gy));
    const double fy = gy - cy;
    for (int x = 0; x < kImageSize; ++x) {
      const double gx = (x - kMargin + 0.5) / pitch;
      const int cx = static_cast<int>(std::floor(gx));
      const double fx = gx - cx;
      double value = 90.0;  // background
      if (cx >= 0 && cy >= 0 && cx < tesk::sample::kCols && cy < tesk::sample::kRows) {
        const double edge = std::min(std::min(fx, 1.0 - fx), std::min(fy, 1.0 - fy));
        const double weight = std::min(1.0, 0.35 + 2.5 * edge);
        value += CellIntensity(cx, cy) * weight;
      }
      const double noise = ((Hash(x, y * 7919u + 1) & 0xFFFF) / 65536.0 - 0.5) * 0.12;
      value *= 1.0 + noise;
      const auto pixel = static_cast<std::uint16_t>(std::clamp(value, 0.0, 65535.0));
      row[x] = pixel;
      low = std::min(low, pixel);
      high = std::max(high, pixel);
    }
  }

  image.MinData = low;
  image.MaxData = high;
  image.PixelSize = 3;
  image.ScanSpeed = 4;
  image.TMP = 24;
  image.ScanValue4 = 570;  // filter wavelength
  image.SetScanDate("12/08/26", "09:30:00");
  image.SetScannerID("TS-0042");
  image.SetScannerType("TeskScan 3000");
  image.SetChipType(tesk::sample::kChipType);
  image.SetChipInfo(0, "4028113");  // chip lot
  image.ChipCount = 1;
  image.ChipNumber1 = 1.0;
  image.ChipNumber2 = 1.0;
  image.ChipNumber3 = image.PixelSize;
  image.ChipDigit = 1;
  image.CellMargin = 2;
  image.SetExperimentName("sample");
  std::copy(std::begin(tesk::sample::kGridCorners), std::end(tesk::sample::kGridCorners),
            image.GridCorners);
  for (int i = 0; i < 9; ++i) image.TrailerValues[i] = i == 0 ? 1 : 0;

  for (int r = 0; r < kSubGridsPerSide; ++r) {
    for (int c = 0; c < kSubGridsPerSide; ++c) {
      SUBGRID s = tesk::sample::SubGrid(r, c);
      image.AddSubGrid(&s);
    }
  }
  if (!image.Write()) return tesk::tool::fail(path, "cannot write");
  std::cout << path.string() << "\n";
  return 0;
}

bool Recognises(const std::filesystem::path& f) {
  std::int64_t size = -1;
  const std::string head = tesk::tool::ReadHead(f, 5, &size);
  if (head.size() < 5) return false;
  const auto* b = reinterpret_cast<const unsigned char*>(head.data());
  const int cols = b[1] | (b[2] << 8);
  const int rows = b[3] | (b[4] << 8);
  return b[0] == 0xFC && cols > 0 && rows > 0 && size >= GetImageFileSize(cols, rows);
}

int Info(const std::filesystem::path& f) {
  ImageData image;
  image.SetName(f.string().c_str());
  if (!image.ReadHeader()) return tesk::tool::fail(f, "cannot read the image header");
  const int* g = image.GridCorners;
  std::printf("scanner image, trailer version %u\n", unsigned(image.TrailerVersion));
  std::printf("  size:       %d x %d pixels (%lld bytes of pixels)\n", image.Cols, image.Rows,
              static_cast<long long>(GetImageFileSize(image.Cols, image.Rows) - 512));
  std::printf("  data range: %u .. %u\n", unsigned(image.MinData), unsigned(image.MaxData));
  std::printf("  pixel size: %d\n", image.PixelSize);
  std::printf("  scan speed: %d\n", image.ScanSpeed);
  std::printf("  scan date:  %s\n", image.ScanDate.c_str());
  std::printf("  scanner:    %s (%s)\n", image.ScannerID.c_str(), image.ScannerType.c_str());
  std::printf("  chip type:  %s\n", image.ChipField[1].c_str());
  std::printf("  corners:    UL (%d, %d)  UR (%d, %d)  LR (%d, %d)  LL (%d, %d)\n", g[0], g[1],
              g[2], g[3], g[4], g[5], g[6], g[7]);
  std::printf("  cell margin: %u\n", unsigned(image.CellMargin));
  std::printf("  sub-grids:  %u\n", unsigned(image.NumSubGrids));
  SUBGRID s;
  for (int i = 0; i < image.NumSubGrids && i < 64 && image.GetSubGrid(i, &s); ++i)
    std::printf("    [%d,%d] cells %d..%d x %d..%d, UL (%.1f, %.1f) LR (%.1f, %.1f)\n", s.ROW,
                s.COL, s.LEFTC, s.RIGHTC, s.TOPC, s.BOTTOMC, s.ULPX, s.ULPY, s.LRPX, s.LRPY);
  if (image.NumSubGrids > 64) std::printf("    ...\n");
  return 0;
}

const tesk::tool::Registrar kReg{tesk::tool::Kind{"dat", 20, &Sample, &Recognises, &Info}};

}  // namespace
