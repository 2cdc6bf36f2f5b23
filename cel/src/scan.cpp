#include "scan.h"


namespace parvel {

namespace {

// The common shape of a cell value: unsigned decimal digits without a sign.
inline bool FastInt(const char*& p, const char* end, int& out) {
  while (p < end && (*p == ' ' || *p == '\t')) ++p;
  const char* q = p;
  unsigned value = 0;
  int digits = 0;
  while (q < end && *q >= '0' && *q <= '9' && digits < 9) {
    value = value * 10 + static_cast<unsigned>(*q - '0');
    ++q;
    ++digits;
  }
  if (digits == 0 || digits == 9 || (q < end && *q >= '0' && *q <= '9')) return false;
  out = static_cast<int>(value);
  p = q;
  return true;
}

}  // namespace

int ScanCellLine(const char* begin, const char* end, int& x, int& y, float& mean, float& stdv,
                 int& npixels) {
  // Fast path for plain unsigned numbers; anything unusual (signs, long numbers, odd white
  // space) goes through the general scanner, which gives the same result.
  const char* p = begin;
  if (FastInt(p, end, x) && FastInt(p, end, y)) {
    Scanner s(p, end);
    if (!s.Float(mean)) return 2;
    if (!s.Float(stdv)) return 3;
    const char* q = s.p;
    if (FastInt(q, end, npixels)) return 5;
    return s.Int(npixels) ? 5 : 4;
  }
  Scanner s(begin, end);
  if (!s.Int(x)) return 0;
  if (!s.Int(y)) return 1;
  if (!s.Float(mean)) return 2;
  if (!s.Float(stdv)) return 3;
  if (!s.Int(npixels)) return 4;
  return 5;
}

}  // namespace parvel
