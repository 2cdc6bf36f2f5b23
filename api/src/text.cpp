#include "text.h"

#include <cctype>
#include <tesk/internal/scan.h>

namespace tarvex {
namespace {
bool IsSpace(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }
}  // namespace

std::string Trim(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && IsSpace(s[b])) ++b;
  while (e > b && IsSpace(s[e - 1])) --e;
  return std::string(s.substr(b, e - b));
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

HRESULT HandOut(std::string_view text, BSTR* out) noexcept {
  if (out == nullptr) return E_POINTER;
  try {
    *out = tesk::AllocBstr(text);
  } catch (...) {
    *out = nullptr;
  }
  return *out != nullptr ? S_OK : E_OUTOFMEMORY;
}

long LeadingInteger(std::string_view text) {
  const char* p = text.data();
  int value = 0;
  bool overflow = false;
  if (!tesk::internal::ScanInt(p, text.data() + text.size(), value, &overflow) || overflow) return 0;
  return value;
}

}  // namespace tarvex
