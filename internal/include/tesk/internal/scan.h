// Number and token scanning for the text formats: the conversions of the C library's
// formatted input ("%d", "%f", "%s", literal text) and of atoi/atof, done by hand over a
// bounded range so that parsing costs no locale lookups and never reads past the text.
#ifndef TESK_INTERNAL_INCLUDE_TESK_INTERNAL_SCAN_H_
#define TESK_INTERNAL_INCLUDE_TESK_INTERNAL_SCAN_H_

#include <string_view>

namespace tesk::internal {

// The C library's white space: blank, tab, line feed, carriage return, vertical tab, form feed.
inline bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// "%d" at p: leading white space, an optional sign, at least one digit. Values beyond the range
// of int saturate, as the C library's conversion does, and set *overflow when given. On
// success p moves behind the digits; on failure nothing changes.
bool ScanInt(const char*& p, const char* end, int& out, bool* overflow = nullptr);

// A cursor over [p, end).
struct Scanner {
  const char* p;
  const char* end;

  Scanner(const char* begin, const char* finish) : p(begin), end(finish) {}
  explicit Scanner(std::string_view s) : p(s.data()), end(s.data() + s.size()) {}

  bool AtEnd() const { return p >= end; }
  std::string_view Rest() const { return {p, static_cast<std::size_t>(end - p)}; }
  void SkipSpace() {
    while (p < end && IsSpace(*p)) ++p;
  }
  // "%d", saturating (ScanInt).
  bool Int(int& out) { return ScanInt(p, end, out); }
  // "%d" that fails instead of saturating when the value leaves the int range.
  bool ExactInt(int& out);
  // "%f" into a float: leading white space, then a decimal or special (inf, nan) number.
  bool Float(float& out);
  // "%s": leading white space, then the longest run of non-blank characters (failure when
  // there is none).
  bool Word(std::string_view& out);
  // A literal: a blank in the pattern matches any run of white space (also none); any other
  // character must match exactly.
  bool Literal(std::string_view pattern);
};

// atoi: leading white space, a sign, digits; 0 when there are none. Saturates to int.
int ParseInt(std::string_view text);
// atof: leading white space, then the longest number; 0 when there is none or it is out of
// range.
double ParseDouble(std::string_view text);

// Takes the next white-space separated token off s; false (s emptied) when none is left.
bool NextToken(std::string_view& s, std::string_view& token);
// Takes a "%d" off s that fits an int; the rest of s stays. False when there are no digits or
// the value does not fit.
bool NextInt(std::string_view& s, int& value);

// The text without leading and trailing white space.
std::string_view Trim(std::string_view text);
std::string_view TrimRight(std::string_view text);

}  // namespace tesk::internal

#endif  // TESK_INTERNAL_INCLUDE_TESK_INTERNAL_SCAN_H_
