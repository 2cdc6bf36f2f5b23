#include "date_text.h"

#include <array>
#include <cstdio>
#include <vector>

inline namespace TESK_OSTREL_NS {
namespace detail {
namespace {

constexpr std::array<std::string_view, 12> kMonthNames = {
    "January", "February", "March",     "April",   "May",      "June",
    "July",    "August",   "September", "October", "November", "December"};

struct Token {
  enum Kind { kNumber, kWord, kPunct } kind;
  std::string_view text;
  int value = 0;  // numbers only
};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsAlpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (Lower(a[i]) != Lower(b[i])) return false;
  return true;
}

// Splits into numbers, letter runs and single punctuation marks; blanks and commas only
// separate. Returns false for any other character or an overlong number.
bool Tokenize(std::string_view s, std::vector<Token>& out) {
  size_t i = 0;
  while (i < s.size()) {
    char c = s[i];
    if (c == ' ' || c == '\t' || c == ',') {
      ++i;
    } else if (IsDigit(c)) {
      size_t j = i;
      int v = 0;
      while (j < s.size() && IsDigit(s[j])) {
        if (j - i >= 4) return false;  // no field has more than four digits
        v = v * 10 + (s[j] - '0');
        ++j;
      }
      out.push_back({Token::kNumber, s.substr(i, j - i), v});
      i = j;
    } else if (IsAlpha(c)) {
      size_t j = i;
      while (j < s.size() && IsAlpha(s[j])) ++j;
      out.push_back({Token::kWord, s.substr(i, j - i)});
      i = j;
    } else if (c == '/' || c == ':' || c == '-') {
      out.push_back({Token::kPunct, s.substr(i, 1)});
      ++i;
    } else {
      return false;
    }
  }
  return true;
}

class Matcher {
 public:
  explicit Matcher(const std::vector<Token>& t) : t_(t) {}
  bool AtEnd() const { return i_ == t_.size(); }
  bool Number(int& v, size_t minDigits, size_t maxDigits) {
    if (AtEnd() || t_[i_].kind != Token::kNumber) return false;
    size_t n = t_[i_].text.size();
    if (n < minDigits || n > maxDigits) return false;
    v = t_[i_++].value;
    return true;
  }
  bool Punct(char c) {
    if (AtEnd() || t_[i_].kind != Token::kPunct || t_[i_].text[0] != c) return false;
    ++i_;
    return true;
  }
  bool Word(std::string_view& w) {
    if (AtEnd() || t_[i_].kind != Token::kWord) return false;
    w = t_[i_++].text;
    return true;
  }
  bool WordIs(std::string_view w) {
    if (AtEnd() || t_[i_].kind != Token::kWord || !EqualsNoCase(t_[i_].text, w)) return false;
    ++i_;
    return true;
  }

 private:
  const std::vector<Token>& t_;
  size_t i_ = 0;
};

int MonthFromName(std::string_view w) {
  for (size_t m = 0; m < kMonthNames.size(); ++m) {
    if (EqualsNoCase(w, kMonthNames[m]) || EqualsNoCase(w, kMonthNames[m].substr(0, 3)))
      return static_cast<int>(m) + 1;
  }
  return 0;
}

int ExpandYear(int year, size_t digits) {
  if (digits > 2) return year;
  return year < 30 ? 2000 + year : 1900 + year;
}

bool DateInRange(const DateTime& d) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (d.year < 1 || d.month < 1 || d.month > 12 || d.day < 1) return false;
  bool leap = (d.year % 4 == 0 && d.year % 100 != 0) || d.year % 400 == 0;
  int days = kDays[d.month - 1] + (d.month == 2 && leap ? 1 : 0);
  return d.day <= days;
}

// Optional "hh:mm[:ss] [AM|PM]"; nothing at all means midnight.
bool MatchTime(Matcher& m, DateTime& d) {
  d.hour = d.minute = d.second = 0;
  if (m.AtEnd()) return true;
  if (!m.Number(d.hour, 1, 2) || !m.Punct(':') || !m.Number(d.minute, 2, 2)) return false;
  if (m.Punct(':') && !m.Number(d.second, 2, 2)) return false;
  if (d.minute > 59 || d.second > 59) return false;
  bool pm = m.WordIs("PM");
  bool am = !pm && m.WordIs("AM");
  if (am || pm) {
    if (d.hour < 1 || d.hour > 12) return false;
    d.hour = (d.hour % 12) + (pm ? 12 : 0);
  } else if (d.hour > 23) {
    return false;
  }
  return m.AtEnd();
}

bool MatchNumericDate(const std::vector<Token>& tokens, DateTime& d) {
  // MM/DD/YY or MM/DD/YYYY
  Matcher m(tokens);
  int year = 0;
  if (m.Number(d.month, 1, 2) && m.Punct('/') && m.Number(d.day, 1, 2) && m.Punct('/') &&
      m.Number(year, 2, 4) && tokens[4].text.size() != 3) {
    d.year = ExpandYear(year, tokens[4].text.size());
    return MatchTime(m, d);
  }
  // YYYY-MM-DD, optionally 'T' before the time
  Matcher iso(tokens);
  if (iso.Number(d.year, 4, 4) && iso.Punct('-') && iso.Number(d.month, 1, 2) &&
      iso.Punct('-') && iso.Number(d.day, 1, 2)) {
    iso.WordIs("T");
    return MatchTime(iso, d);
  }
  return false;
}

bool MatchNamedDate(const std::vector<Token>& tokens, DateTime& d) {
  // Mon DD YYYY
  Matcher m(tokens);
  std::string_view month;
  if (!m.Word(month) || (d.month = MonthFromName(month)) == 0) return false;
  if (!m.Number(d.day, 1, 2) || !m.Number(d.year, 4, 4)) return false;
  return MatchTime(m, d);
}

}  // namespace

std::optional<DateTime> ParseDateText(std::string_view text) {
  std::vector<Token> tokens;
  if (!Tokenize(text, tokens) || tokens.empty()) return std::nullopt;
  DateTime d{};
  bool ok = tokens[0].kind == Token::kNumber ? MatchNumericDate(tokens, d)
                                             : MatchNamedDate(tokens, d);
  if (!ok || !DateInRange(d)) return std::nullopt;
  return d;
}

std::string FormatDateText(const DateTime& t) {
  int hour12 = t.hour % 12 == 0 ? 12 : t.hour % 12;
  char buf[48];
  std::snprintf(buf, sizeof buf, "%.3s %02d %d %02d:%02d%s",
                kMonthNames[static_cast<size_t>(t.month - 1)].data(), t.day, t.year, hour12,
                t.minute, t.hour < 12 ? "AM" : "PM");
  return buf;
}

std::string NormalizeDateText(std::string_view text) {
  if (auto d = ParseDateText(text)) return FormatDateText(*d);
  return std::string(text);
}

}  // namespace detail
}  // namespace TESK_OSTREL_NS
