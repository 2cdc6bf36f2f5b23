#include "param_text.h"

#include "text.h"

namespace tarvex {

void SplitParamText(std::string_view text, std::vector<std::string>& names, std::vector<std::string>& values) {
  names.clear();
  values.clear();
  std::string rest = Trim(text);
  while (!rest.empty()) {
    size_t end = rest.size();
    const size_t first = rest.find('=');
    if (first != std::string::npos) {
      const size_t second = rest.find('=', first + 1);
      if (second != std::string::npos) {
        const size_t blank = rest.rfind(' ', second);
        if (blank != std::string::npos && blank > 0) end = blank;
      }
    }
    const std::string_view item = std::string_view(rest).substr(0, end);
    if (const size_t eq = item.find('='); eq != std::string_view::npos) {
      names.emplace_back(item.substr(0, eq));
      values.emplace_back(item.substr(eq + 1));
    }
    rest = end < rest.size() ? Trim(std::string_view(rest).substr(end + 1)) : std::string();
  }
}

}  // namespace tarvex
