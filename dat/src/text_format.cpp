#include "text_format.h"

#include <charconv>
#include <climits>
#include <cstring>

inline namespace TESK_IMBREL_NS {
namespace imbrel_detail {

namespace {

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

std::string_view Bounded(const std::uint8_t* bytes, std::size_t length) {
  const auto* text = reinterpret_cast<const char*>(bytes);
  const void* zero = std::memchr(text, 0, length);
  return std::string_view(text, zero ? static_cast<const char*>(zero) - text : length);
}

}  // namespace imbrel_detail
}  // inline namespace
