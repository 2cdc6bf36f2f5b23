// Number formatting and parsing for the fixed-position texts of the header. Independent of the
// C locale: the decimal point is always '.'.
#ifndef TESK_DAT_TEXT_FORMAT_H
#define TESK_DAT_TEXT_FORMAT_H

#include <cstdint>
#include <string>
#include <string_view>

#include "build.h"

inline namespace TESK_IMBREL_NS {
namespace imbrel_detail {

// "%-<width>d": the number, blank-padded on the right to width characters.
std::string LeftInt(std::int64_t value, std::size_t width);
// "%.<precision>f".
std::string Fixed(double value, int precision);
// "%-<width>.<precision>f".
std::string LeftFixed(double value, int precision, std::size_t width);

// Like atoi: leading white space, a sign, digits; 0 when there are none. Clamped to int.
int ParseInt(std::string_view text);
// Like atof: leading white space, then the longest number; 0 when there is none.
double ParseDouble(std::string_view text);

// The text without leading and trailing blanks (spaces, tabs, line ends).
std::string_view Trim(std::string_view text);
std::string_view TrimRight(std::string_view text);

// The bytes up to the first zero byte, at most length of them.
std::string_view Bounded(const std::uint8_t* bytes, std::size_t length);

}  // namespace imbrel_detail
}  // inline namespace

#endif  // TESK_DAT_TEXT_FORMAT_H
