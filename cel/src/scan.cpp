#include "scan.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

namespace parvel {

bool Scanner::Int(int& out) {
  bool negative;
  const char* q = SignedStart(negative);
  if (q >= end || *q < '0' || *q > '9') return false;
  // Accumulate in 64 bits and saturate once the value leaves the int range.
  constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<int>::max()} + 1;
  std::int64_t value = 0;
  while (q < end && *q >= '0' && *q <= '9') {
    if (value <= kLimit) value = value * 10 + (*q - '0');
    ++q;
  }
  if (negative) {
    value = -value;
    if (value < std::numeric_limits<int>::min()) value = std::numeric_limits<int>::min();
  } else if (value > std::numeric_limits<int>::max()) {
    value = std::numeric_limits<int>::max();
  }
  out = static_cast<int>(value);
  p = q;
  return true;
}

bool Scanner::Float(float& out) {
  bool negative;
  const char* q = SignedStart(negative);
  // from_chars takes no '+'; a second sign is no number.
  if (q >= end || *q == '+' || *q == '-') return false;
  float value = 0.0f;
  // Short plain decimals ("1234.5"): at most 7 digits make an integer below 2^24 and a power
  // of ten up to 10^7, both exact in a float, so one float division is correctly rounded.
  {
    static constexpr float kPow10[8] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f, 1e6f, 1e7f};
    const char* r = q;
    std::uint32_t m = 0;
    int digits = 0, decimals = 0;
    while (r < end && *r >= '0' && *r <= '9' && digits < 8) {
      m = m * 10 + static_cast<std::uint32_t>(*r++ - '0');
      ++digits;
    }
    const bool had_int = digits > 0;
    if (r < end && *r == '.') {
      ++r;
      while (r < end && *r >= '0' && *r <= '9' && digits < 8) {
        m = m * 10 + static_cast<std::uint32_t>(*r++ - '0');
        ++digits;
        ++decimals;
      }
    }
    const bool more = r < end && ((*r >= '0' && *r <= '9') || *r == 'e' || *r == 'E' ||
                                  *r == '.' || *r == 'x' || *r == 'X');
    if (digits > 0 && digits <= 7 && (had_int || decimals > 0) && !more) {
      value = static_cast<float>(m) / kPow10[decimals];
      out = negative ? -value : value;
      p = r;
      return true;
    }
  }
  auto [next, ec] = std::from_chars(q, end, value, std::chars_format::general);
  if (ec == std::errc::result_out_of_range) {
    // Overflow gives infinity and underflow a tiny value, as strtof does.
    std::string copy(q, next);
    value = std::strtof(copy.c_str(), nullptr);
  } else if (ec != std::errc()) {
    return false;
  }
  out = negative ? -value : value;
  p = next;
  return true;
}

bool Scanner::Word(std::string_view& out) {
  SkipSpace();
  const char* q = p;
  while (q < end && !IsSpace(*q)) ++q;
  if (q == p) return false;
  out = std::string_view(p, static_cast<std::size_t>(q - p));
  p = q;
  return true;
}

bool Scanner::Literal(std::string_view pattern) {
  for (char c : pattern) {
    if (c == ' ') {
      SkipSpace();
    } else {
      if (p >= end || *p != c) return false;
      ++p;
    }
  }
  return true;
}

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
