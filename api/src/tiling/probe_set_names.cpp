#include "tiling/probe_set_names.h"

#include <cstring>

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
    if (line.empty()) return;
    const std::string_view name = overlong ? std::string_view() : ProbeSetNameOfLine(line);
    if (name.empty()) {
      ++skipped;
    } else {
      names.emplace_back(name);
    }
  };
  while (in.remaining() > 0) {
    std::size_t got = 0;
    const char* p = reinterpret_cast<const char*>(in.TakeSome(ByteSource::kWindow, 1, got));
    if (p == nullptr) break;  // a read error ends the list
    std::string_view chunk(p, got);
    while (!chunk.empty()) {
      const std::size_t nl = chunk.find('\n');
      const std::string_view part = chunk.substr(0, nl);
      if (nl == std::string_view::npos || !carry.empty() || overlong) {
        // A line across windows is gathered; one beyond kMaxLine names nothing and is only
        // counted.
        if (carry.size() + part.size() > kMaxLine) {
          overlong = true;
          carry.assign(1, 'x');
        } else {
          carry.append(part);
        }
        if (nl == std::string_view::npos) break;
        take_line(carry);
        carry.clear();
        overlong = false;
      } else {
        take_line(part);
      }
      chunk.remove_prefix(nl + 1);
    }
  }
  if (!carry.empty()) take_line(carry);
  return skipped;
}

}  // namespace tesk::tiling
