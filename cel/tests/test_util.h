// Helpers shared by the cell intensity tests: typical objects and the header of a typical file.
// Scratch directories and file bytes come from the test support (tesk/testing).
#ifndef TESK_CEL_TESTS_TEST_UTIL_H_
#define TESK_CEL_TESTS_TEST_UTIL_H_

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "tesk/parvel.h"

namespace parvel_test {

inline CellEntryClass Cell(int x, int y, float mean, float stdv = 0, int npixels = 0) {
  CellEntryClass e;
  e.X = static_cast<std::uint16_t>(x);
  e.Y = static_cast<std::uint16_t>(y);
  e.MEAN = mean;
  e.STDV = stdv;
  e.NPIXELS = static_cast<std::uint16_t>(npixels);
  return e;
}

inline SUBGRID Grid(int row, int col, float corner, int left, int top, int right, int bottom) {
  return SUBGRID{row, col, corner, corner + 1, corner + 2, corner + 3, corner + 4, corner + 5,
                 corner + 6, corner + 7, left, top, right, bottom};
}

// The header text of a typical file of a cols x rows grid.
inline std::string Header(int cols, int rows) {
  return "Cols=" + std::to_string(cols) + "\nRows=" + std::to_string(rows) +
         "\nGridCornerUL=10 12\nGridCornerUR=400 11\nGridCornerLR=401 405\nGridCornerLL=9 "
         "404\nAlgorithm=Percentile\n"
         "DatHeader=[0..46000]  demo:CLS=4733 RWS=4733 XIN=3  YIN=3  VE=17        2.0 "
         "01/02/26 10:00:00    \x14  \x14 Demo_Array.1sq \x14  \x14  \x14  \x14  \x14  \x14 \n"
         "AlgorithmParameters=Percentile:75;CellMargin:2;OutlierHigh:1.500;OutlierLow:1.004\n";
}

// A cols x rows object with deterministic values, some masks, outliers and sub-grids.
inline void Fill(ParvelClass& cel, int cols, int rows) {
  cel.SetHeader(Header(cols, rows).c_str());
  cel.SetAlgorithm("Percentile");
  for (int y = 0; y < rows; ++y) {
    for (int x = 0; x < cols; ++x) {
      CellEntryClass e = Cell(x, y, 100.0f + static_cast<float>(x * 7 + y * 3) + 0.5f,
                              static_cast<float>(x % 5) + 0.5f, 16 + (x + y) % 9);
      e.MASKED = (x + 2 * y) % 11 == 0;
      e.OUTLIER = (3 * x + y) % 13 == 0;
      cel.AddCellData(&e);
    }
  }
  SUBGRID a = Grid(1, 1, 10.0f, 0, 0, cols / 2, rows / 2);
  SUBGRID b = Grid(1, 2, 200.5f, cols / 2, 0, cols, rows / 2);
  cel.AddSubGrid(&a);
  cel.AddSubGrid(&b);
}

}  // namespace parvel_test

#endif  // TESK_CEL_TESTS_TEST_UTIL_H_
