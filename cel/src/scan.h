// Number scanning for the text encodings: the conversions of the C library's formatted input
// ("%d", "%f", "%s" and literal text), done by hand over a bounded range so that parsing a cell
// line costs no locale lookups and never reads past the line.
#ifndef TESK_PARVEL_SCAN_H_
#define TESK_PARVEL_SCAN_H_

#include <cstdint>
#include <string_view>

namespace parvel {

inline bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// A cursor over [p, end).
struct Scanner {
  const char* p;
  const char* end;

  Scanner(const char* begin, const char* finish) : p(begin), end(finish) {}
  explicit Scanner(std::string_view s) : p(s.data()), end(s.data() + s.size()) {}

  bool AtEnd() const { return p >= end; }
  void SkipSpace() {
    while (p < end && IsSpace(*p)) ++p;
  }
  // Skips white space and an optional sign: where the digits start (p is left at the space's
  // end), and whether the sign was '-'.
  const char* SignedStart(bool& negative) {
    SkipSpace();
    const char* q = p;
    negative = q < end && *q == '-';
    if (q < end && (*q == '+' || *q == '-')) ++q;
    return q;
  }
  // "%d": leading white space, an optional sign, at least one digit. Values beyond the range of
  // int saturate, as the C library's conversion does.
  bool Int(int& out);
  // "%f" into a float: leading white space, then a decimal or special (inf, nan) number.
  bool Float(float& out);
  // "%s": leading white space, then the longest run of non-blank characters (may be empty only
  // when the end is reached, which counts as failure).
  bool Word(std::string_view& out);
  // A literal: a blank in the pattern matches any run of white space (also none); any other
  // character must match exactly.
  bool Literal(std::string_view pattern);
};

// Parses a whole cell line "X Y MEAN STDV NPIXELS" into the five out values; returns how many
// leading values were read (a value that fails stops the scan, leaving the rest untouched).
int ScanCellLine(const char* begin, const char* end, int& x, int& y, float& mean, float& stdv,
                 int& npixels);

}  // namespace parvel

#endif  // TESK_PARVEL_SCAN_H_
