// Formatting of text lines: "%d", "%3d" and "%.Nf", written with CR LF line ends.
#ifndef TESK_CEL_SRC_TEXT_FORMAT_H_
#define TESK_CEL_SRC_TEXT_FORMAT_H_

#include <charconv>
#include <cstring>
#include <string_view>

#include "io.h"

namespace parvel {

// Appends into a character buffer that has room (callers reserve a line's worth).
struct LineOut {
  char* p;

  void Text(std::string_view s) {
    std::memcpy(p, s.data(), s.size());
    p += s.size();
  }
  void Char(char c) { *p++ = c; }
  void Newline() {
    *p++ = '\r';
    *p++ = '\n';
  }
  void Int(long long v) { p = std::to_chars(p, p + 24, v).ptr; }
  // Right-aligned in at least `width` places.
  void Int(long long v, int width) {
    char tmp[24];
    char* e = std::to_chars(tmp, tmp + sizeof tmp, v).ptr;
    for (int pad = width - static_cast<int>(e - tmp); pad > 0; --pad) *p++ = ' ';
    Text(std::string_view(tmp, static_cast<std::size_t>(e - tmp)));
  }
  // Exactly rounded, like the C library's "%.Nf".
  void Fixed(double v, int decimals) {
    p = std::to_chars(p, p + 400, v, std::chars_format::fixed, decimals).ptr;
  }
};

// A line of at most this many bytes (a float in fixed notation can be 300+ digits long).
inline constexpr std::size_t kMaxLine = 8192;

// Writes text whose line feeds become CR LF; stops at a NUL as a C string would.
inline void PutTextLines(AtomicWriter& w, std::string_view s) {
  const std::size_t nul = s.find('\0');
  if (nul != std::string_view::npos) s = s.substr(0, nul);
  while (!s.empty()) {
    const std::size_t lf = s.find('\n');
    if (lf == std::string_view::npos) {
      w.Put(s.data(), s.size());
      return;
    }
    w.Put(s.data(), lf);
    w.Put("\r\n", 2);
    s.remove_prefix(lf + 1);
  }
}

}  // namespace parvel

#endif  // TESK_CEL_SRC_TEXT_FORMAT_H_
