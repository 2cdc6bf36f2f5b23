#include "tesk/internal/scan.h"

#include <charconv>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string>

namespace tesk::internal {

bool ScanInt(const char*& p, const char* end, int& out, bool* overflow) {
  const char* q = p;
  while (q < end && IsSpace(*q)) ++q;
  const bool negative = q < end && *q == '-';
  if (q < end && (*q == '+' || *q == '-')) ++q;
  if (q >= end || *q < '0' || *q > '9') return false;
  // Accumulate in 64 bits and saturate once the value leaves the int range.
  constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<int>::max()} + 1;
  std::int64_t value = 0;
  bool over = false;
  while (q < end && *q >= '0' && *q <= '9') {
    if (value <= kLimit) value = value * 10 + (*q - '0');
    ++q;
  }
  if (negative) {
    value = -value;
    if (value < std::numeric_limits<int>::min()) {
      value = std::numeric_limits<int>::min();
      over = true;
    }
  } else if (value > std::numeric_limits<int>::max()) {
    value = std::numeric_limits<int>::max();
    over = true;
  }
  if (overflow != nullptr) *overflow = over;
  out = static_cast<int>(value);
  p = q;
  return true;
}

bool Scanner::ExactInt(int& out) {
  const char* q = p;
  bool overflow = false;
  int value = 0;
  if (!ScanInt(q, end, value, &overflow) || overflow) return false;
  out = value;
  p = q;
  return true;
}

bool Scanner::Float(float& out) {
  SkipSpace();
  const char* q = p;
  const bool negative = q < end && *q == '-';
  if (q < end && (*q == '+' || *q == '-')) ++q;
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

int ParseInt(std::string_view text) {
  const char* p = text.data();
  int value = 0;
  return ScanInt(p, text.data() + text.size(), value) ? value : 0;
}

double ParseDouble(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && IsSpace(text[i])) ++i;
  text.remove_prefix(i);
  bool negative = false;
  if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
    negative = text[0] == '-';
    text.remove_prefix(1);
  }
  double value = 0.0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  // Out of range: from_chars leaves the value alone; atof would give infinity or zero.
  if (result.ec != std::errc()) return 0.0;
  return negative ? -value : value;
}

bool NextToken(std::string_view& s, std::string_view& token) {
  Scanner scan(s);
  if (!scan.Word(token)) {
    s = s.substr(s.size());
    return false;
  }
  s = scan.Rest();
  return true;
}

bool NextInt(std::string_view& s, int& value) {
  Scanner scan(s);
  if (!scan.ExactInt(value)) return false;
  s = scan.Rest();
  return true;
}

std::string_view TrimRight(std::string_view text) {
  std::size_t end = text.size();
  while (end > 0 && IsSpace(text[end - 1])) --end;
  return text.substr(0, end);
}

std::string_view Trim(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && IsSpace(text[i])) ++i;
  return TrimRight(text.substr(i));
}

}  // namespace tesk::internal
