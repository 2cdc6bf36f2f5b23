// The chooser's rules that need no window.
#include "chooser_rules.h"

namespace selvane {
namespace {

struct TypeRow {
  LONG fileType;
  const char* code;
};
constexpr TypeRow kTypes[] = {{1, "DAT"}, {2, "CEL"}, {4, "CHP"}};

}  // namespace

std::string FileModeFilter(LONG available) {
  if (available == 0) return "CHP Files (*.CHP)|*.CHP|CEL Files (*.CEL)|*.CEL|DAT Files (*.DAT)|*.DAT||";
  std::string f;
  if (available & 4) f += "CHP Files (*.CHP)|*.CHP|";
  if (available & 2) f += "CEL Files (*.CEL)|*.CEL|";
  if (available & 1) f += "DAT Files (*.DAT)|*.DAT|";
  return f + "|";
}

std::vector<std::pair<std::string, std::string>> ParseFilter(std::string_view filter) {
  std::vector<std::pair<std::string, std::string>> out;
  while (!filter.empty()) {
    const size_t a = filter.find('|');
    if (a == std::string_view::npos || a == 0) break;
    const size_t b = filter.find('|', a + 1);
    if (b == std::string_view::npos) break;
    out.emplace_back(std::string(filter.substr(0, a)), std::string(filter.substr(a + 1, b - a - 1)));
    filter.remove_prefix(b + 1);
  }
  return out;
}

std::string WithTrailingSeparator(std::string path) {
  if (!path.empty() && path.back() != '/' && path.back() != '\\') path += '/';
  return path;
}

FileSelection SplitSelection(const std::vector<std::string>& paths) {
  FileSelection s;
  for (const std::string& p : paths) {
    const size_t slash = p.find_last_of("/\\");
    if (slash == std::string::npos) {
      s.names.insert(s.names.begin(), p);
      continue;
    }
    s.dataPath = p.substr(0, slash + 1);
    s.names.insert(s.names.begin(), p.substr(slash + 1));
  }
  return s;
}

std::optional<std::string> DatabaseTypeCode(LONG fileType) {
  for (const TypeRow& r : kTypes)
    if (r.fileType == fileType) return std::string(r.code);
  return std::nullopt;
}

std::optional<LONG> FileTypeFromCode(std::string_view code) {
  for (const TypeRow& r : kTypes)
    if (code == r.code) return r.fileType;
  return std::nullopt;
}

}  // namespace selvane
