#include "dates.h"

#include <sys/stat.h>

#include <clocale>
#include <cstring>
#include <iterator>
#include <ctime>
#include <locale.h>

namespace tarvex {
namespace {

std::string Format(const std::tm& tm) {
  static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
  char buf[64];
  size_t n = c ? strftime_l(buf, sizeof buf, "%b %d %Y %I:%M%p", &tm, c)
               : std::strftime(buf, sizeof buf, "%b %d %Y %I:%M%p", &tm);
  return std::string(buf, n);
}

// Patterns a file's date text may follow, tried in order; the whole text must be used.
// Two-digit years come first: "%Y" would take "26" as the year 26.
constexpr const char* kPatterns[] = {
    "%m/%d/%y %I:%M:%S %p", "%m/%d/%y %I:%M %p", "%m/%d/%y %H:%M:%S", "%m/%d/%y %H:%M", "%m/%d/%y",
    "%b %d %Y %I:%M%p", "%b %d %Y %I:%M %p", "%b %d %Y %H:%M:%S", "%b %d %Y %H:%M", "%b %d %Y",
    "%m/%d/%Y %I:%M:%S %p", "%m/%d/%Y %I:%M %p", "%m/%d/%Y %H:%M:%S", "%m/%d/%Y %H:%M", "%m/%d/%Y",
    "%Y-%m-%dT%H:%M:%S", "%Y-%m-%d %H:%M:%S", "%Y-%m-%d %H:%M", "%Y-%m-%d",
};
constexpr int kTwoDigitPatterns = 5;

std::string Trim(const std::string& s) {
  size_t b = s.find_first_not_of(" \t\r\n");
  if (b == std::string::npos) return {};
  size_t e = s.find_last_not_of(" \t\r\n");
  return s.substr(b, e - b + 1);
}

}  // namespace

std::optional<std::string> FileDateText(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return std::nullopt;
  std::tm tm{};
  if (localtime_r(&st.st_mtime, &tm) == nullptr) return std::nullopt;
  return Format(tm);
}

std::string ReformatDateText(const std::string& text) {
  const std::string t = Trim(text);
  if (t.empty()) return {};
  for (int i = 0; i < static_cast<int>(std::size(kPatterns)); ++i) {
    std::tm tm{};
    const char* end = strptime(t.c_str(), kPatterns[i], &tm);
    if (end == nullptr || *end != '\0') continue;
    // Two-digit years 00..29 are 20xx and 30..99 are 19xx, as the experiment library reads them.
    if (i < kTwoDigitPatterns) tm.tm_year = (tm.tm_year % 100 < 30 ? 100 : 0) + tm.tm_year % 100;
    return Format(tm);
  }
  return {};
}

}  // namespace tarvex
