#include "text_format.h"

#include <charconv>
#include <climits>
#include <cstring>

inline namespace TESK_IMBREL_NS {
namespace imbrel_detail {

namespace {

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::string_view SkipSpace(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && IsSpace(text[i])) ++i;
  return text.substr(i);
}

std::string PadRight(std::string text, std::size_t width) {
  if (text.size() < width) text.append(width - text.size(), ' ');
  return text;
}

}  // namespace

std::string LeftInt(std::int64_t value, std::size_t width) {
  return PadRight(std::to_string(value), width);
}

std::string Fixed(double value, int precision) {
  char buffer[400];  // the widest double in fixed notation has 309 integer digits
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed,
                              precision);
  if (result.ec != std::errc()) return "0";
  return std::string(buffer, result.ptr);
}

std::string LeftFixed(double value, int precision, std::size_t width) {
  return PadRight(Fixed(value, precision), width);
}

int ParseInt(std::string_view text) {
  text = SkipSpace(text);
  bool negative = false;
  if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
    negative = text[0] == '-';
    text.remove_prefix(1);
  }
  long long value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') break;
    value = value * 10 + (c - '0');
    if (value > static_cast<long long>(INT_MAX) + 1) value = static_cast<long long>(INT_MAX) + 1;
  }
  if (negative) value = -value;
  if (value > INT_MAX) value = INT_MAX;
  return static_cast<int>(value);
}

double ParseDouble(std::string_view text) {
  text = SkipSpace(text);
  bool negative = false;
  if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
    negative = text[0] == '-';
    text.remove_prefix(1);
  }
  double value = 0.0;
  auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  if (result.ec == std::errc::result_out_of_range) {
    // from_chars leaves the value alone; atof would give infinity or zero.
    return 0.0;
  }
  if (result.ec != std::errc()) return 0.0;
  return negative ? -value : value;
}

std::string_view Trim(std::string_view text) {
  text = SkipSpace(text);
  return TrimRight(text);
}

std::string_view TrimRight(std::string_view text) {
  std::size_t end = text.size();
  while (end > 0 && IsSpace(text[end - 1])) --end;
  return text.substr(0, end);
}

std::string_view Bounded(const std::uint8_t* bytes, std::size_t length) {
  const auto* text = reinterpret_cast<const char*>(bytes);
  const void* zero = std::memchr(text, 0, length);
  return std::string_view(text, zero ? static_cast<const char*>(zero) - text : length);
}

}  // namespace imbrel_detail
}  // inline namespace
