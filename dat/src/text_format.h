// Number formatting and parsing for the fixed-position texts of the header. Independent of the
// C locale: the decimal point is always '.'.
#ifndef TESK_DAT_SRC_TEXT_FORMAT_H_
#define TESK_DAT_SRC_TEXT_FORMAT_H_

#include <cstdint>
#include <string>
#include <string_view>

#include <tesk/internal/scan.h>

#include "build.h"

inline namespace TESK_IMBREL_NS {
namespace imbrel_detail {

// "%-<width>d": the number, blank-padded on the right to width characters.
std::string LeftInt(std::int64_t value, std::size_t width);
// "%.<precision>f".
std::string Fixed(double value, int precision);
// "%-<width>.<precision>f".
std::string LeftFixed(double value, int precision, std::size_t width);

// atoi and atof, and trimming white space, from the file layer.
using tesk::internal::ParseDouble;
using tesk::internal::ParseInt;
using tesk::internal::Trim;
using tesk::internal::TrimRight;

// The bytes up to the first zero byte, at most length of them.
std::string_view Bounded(const std::uint8_t* bytes, std::size_t length);

}  // namespace imbrel_detail
}  // inline namespace

#endif  // TESK_DAT_SRC_TEXT_FORMAT_H_
