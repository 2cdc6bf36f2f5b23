// Date texts of experiment files: a fixed list of accepted patterns (listed in the public
// header), parsed by hand so that the process locale never matters.
#ifndef TESK_EXP_SRC_DATE_TEXT_H_
#define TESK_EXP_SRC_DATE_TEXT_H_

#include <optional>
#include <string>
#include <string_view>

#include "build.h"

inline namespace TESK_OSTREL_NS {
namespace detail {

struct DateTime {
  int year, month, day, hour, minute, second;
};

std::optional<DateTime> ParseDateText(std::string_view text);

// "%b %d %Y %I:%M%p" in the C locale, e.g. "Mar 07 2026 02:05PM".
std::string FormatDateText(const DateTime& t);

// The stored form of a date value: re-formatted when it parses, otherwise unchanged.
std::string NormalizeDateText(std::string_view text);

}  // namespace detail
}  // namespace TESK_OSTREL_NS

#endif  // TESK_EXP_SRC_DATE_TEXT_H_
