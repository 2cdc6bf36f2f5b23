// The sample array itself: its scanner image geometry, the deterministic noise every sample
// file derives from, each cell's intensity and the sub-grids. The cell file and the scanner
// image both draw on these, so that they describe the same array.
#ifndef TESK_TOOLS_TESK_SAMPLE_ARRAY_H_
#define TESK_TOOLS_TESK_SAMPLE_ARRAY_H_

#include <algorithm>
#include <cmath>
#include <cstdint>

#include <tesk/parvel.h>

#include "sample_names.h"

namespace tesk::sample {

inline constexpr int kImageSize = 4096;  // the scanner image: pixels per side
inline constexpr int kMargin = 24;       // dark border around the grid, in pixels
inline constexpr int kSubGridsPerSide = 4;

// Grid corners in image pixels: UL, UR, LR, LL as x, y pairs.
inline constexpr int kGridCorners[8] = {kMargin, kMargin, kImageSize - kMargin - 1, kMargin,
                                        kImageSize - kMargin - 1, kImageSize - kMargin - 1,
                                        kMargin, kImageSize - kMargin - 1};

// Cell pitch in image pixels.
inline constexpr double kPitch = double(kImageSize - 2 * kMargin) / kCols;

// Deterministic noise: one 32-bit hash per input pair, seeded with the sample seed; a salt
// gives a kind of file its own independent stream.
inline std::uint32_t Hash(std::uint32_t a, std::uint32_t b, std::uint32_t salt = 0) {
  std::uint32_t h = a * 0x9E3779B1u ^ (b + kSeed + salt) * 0x85EBCA77u;
  h ^= h >> 15;
  h *= 0x2C1B3C6Du;
  h ^= h >> 12;
  h *= 0x297A2D39u;
  h ^= h >> 15;
  return h;
}

// Uniform in [0, 1).
inline double Uniform(std::uint32_t a, std::uint32_t b) {
  return (Hash(a, b) & 0xFFFFFF) / double(0x1000000);
}

// Mean intensity of a cell: mostly dim background probes, a long tail of bright ones (150 ..
// ~22000), and the bright checkerboard border that scanners align the grid on.
inline double CellIntensity(int cx, int cy) {
  if (cx == 0 || cy == 0 || cx == kCols - 1 || cy == kRows - 1)
    return ((cx + cy) % 2 == 0) ? 18000.0 : 900.0;
  const double u = Uniform(cx, cy);
  return 150.0 * std::exp(5.0 * u * u);
}

// Sub-grid (r, c) of the cell grid split evenly, with its corner points in pixels.
inline SUBGRID SubGrid(int r, int c) {
  const int per = (kCols + kSubGridsPerSide - 1) / kSubGridsPerSide;
  SUBGRID s{};
  s.ROW = r;
  s.COL = c;
  s.LEFTC = c * per;
  s.TOPC = r * per;
  s.RIGHTC = std::min(kCols, (c + 1) * per) - 1;
  s.BOTTOMC = std::min(kRows, (r + 1) * per) - 1;
  const float left = static_cast<float>(kMargin + kPitch * s.LEFTC);
  const float top = static_cast<float>(kMargin + kPitch * s.TOPC);
  const float right = static_cast<float>(kMargin + kPitch * (s.RIGHTC + 1));
  const float bottom = static_cast<float>(kMargin + kPitch * (s.BOTTOMC + 1));
  s.ULPX = left, s.ULPY = top, s.URPX = right, s.URPY = top;
  s.LLPX = left, s.LLPY = bottom, s.LRPX = right, s.LRPY = bottom;
  return s;
}

}  // namespace tesk::sample

#endif  // TESK_TOOLS_TESK_SAMPLE_ARRAY_H_
