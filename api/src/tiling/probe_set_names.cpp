#include "tiling/probe_set_names.h"

#include <cstring>

#include "tesk/internal/lines.h"
#include "tiling/byte_source.h"

namespace tesk::tiling {
namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Lines of the format hold at most 255 characters; far longer ones are not gathered whole.
constexpr std::size_t kMaxLine = 4096;

}  // namespace

std::string ProbeSetNamePath(std::string_view lib_path, std::string_view chip_type) {
  std::string path(lib_path);
  if (!path.empty() && path.back() != '/') path += '/';
  path.append(chip_type);
  path += ".PSI";
  return path;
}

std::string_view ProbeSetNameOfLine(std::string_view line) {
  std::size_t i = 0;
  while (i < line.size() && IsSpace(line[i])) ++i;
  if (i < line.size() && (line[i] == '-' || line[i] == '+')) ++i;
  const std::size_t digits = i;
  while (i < line.size() && IsDigit(line[i])) ++i;
  if (i == digits) return {};
  const std::size_t gap = i;
  while (i < line.size() && IsSpace(line[i])) ++i;
  if (i == gap) return {};
  const std::size_t start = i;
  while (i < line.size() && !IsSpace(line[i]) && line[i] != '\0') ++i;
  if (i == start || i - start > kMaxProbeSetName) return {};
  return line.substr(start, i - start);
}

std::size_t ReadProbeSetNames(const std::string& path, std::vector<std::string>& names) {
  names.clear();
  ByteSource in;
  if (!in.Open(path)) return 0;
  std::size_t skipped = 0;
  bool first = true;
  std::string carry;      // a line that spans the end of one window
  bool overlong = false;  // the carried line passed kMaxLine
  auto take_line = [&](std::string_view line) {
    if (first) {
      first = false;
      return;
    }
    if (line.empty() && !overlong) return;
    const std::string_view name = overlong ? std::string_view() : ProbeSetNameOfLine(line);
    if (name.empty()) {
      ++skipped;
    } else {
      names.emplace_back(name);
    }
  };
  // Gathers a piece of a line that spans windows; one beyond kMaxLine names nothing and is
  // only counted.
  auto gather = [&](std::string_view piece) {
    if (overlong) return;
    if (carry.size() + piece.size() > kMaxLine) {
      overlong = true;
      carry.clear();
    } else {
      carry.append(piece);
    }
  };
  auto take_gathered = [&] {
    take_line(carry);
    carry.clear();
    overlong = false;
  };
  while (in.remaining() > 0) {
    std::size_t got = 0;
    const char* p = reinterpret_cast<const char*>(in.TakeSome(ByteSource::kWindow, 1, got));
    if (p == nullptr) break;  // a read error ends the list
    internal::LineSplitter lines(p, p + got);
    internal::Line line;
    while (lines.Next(line)) {
      if (!line.has_newline) {
        gather(line.View());  // the window ends inside this line
      } else if (carry.empty() && !overlong) {
        take_line(line.View());
      } else {
        gather(line.View());
        take_gathered();
      }
    }
  }
  if (!carry.empty() || overlong) take_gathered();
  return skipped;
}

}  // namespace tesk::tiling
