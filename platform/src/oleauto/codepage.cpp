// Conversions between 8-bit text and UTF-16. The system code page is UTF-8;
// a byte that is not part of valid UTF-8 is read as Windows-1252, so that
// legacy 8-bit text still shows the right characters. The work is done by
// iconv, with one set of descriptors per thread.
#include "tesk/platform/oleauto.h"

#include <bit>
#include <cerrno>
#include <cstring>
#include <iconv.h>
#include <new>
#include <optional>

namespace {

constexpr const char* kUtf16 = std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";

class Converter {
 public:
  Converter(const char* to, const char* from) : to_(to), from_(from) {}
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  ~Converter() {
    if (cd_ != reinterpret_cast<iconv_t>(-1)) iconv_close(cd_);
  }
  // Runs iconv over [in, in+len) appending to out. On a byte sequence it cannot
  // convert it asks onBad(in, left, out) to consume it (true) or give up (false).
  template <class OnBad>
  bool Run(const char* in, size_t len, std::string& out, OnBad onBad) {
    if (cd_ == reinterpret_cast<iconv_t>(-1)) {
      cd_ = iconv_open(to_, from_);
      if (cd_ == reinterpret_cast<iconv_t>(-1)) return false;
    }
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    char* src = const_cast<char*>(in);
    size_t left = len;
    char buf[4096];
    while (left > 0) {
      char* dst = buf;
      size_t room = sizeof(buf);
      size_t r = iconv(cd_, &src, &left, &dst, &room);
      out.append(buf, static_cast<size_t>(dst - buf));
      if (r != static_cast<size_t>(-1)) continue;
      if (errno == E2BIG) continue;
      // EILSEQ: invalid input here; EINVAL: incomplete sequence at the end.
      iconv(cd_, nullptr, nullptr, nullptr, nullptr);
      const char* p = src;
      if (!onBad(p, left, out)) return false;
      src = const_cast<char*>(p);
    }
    return true;
  }

 private:
  const char* to_;
  const char* from_;
  iconv_t cd_ = reinterpret_cast<iconv_t>(-1);
};

struct Converters {
  Converter utf8ToWide{kUtf16, "UTF-8"};
  Converter cp1252ToWide{kUtf16, "WINDOWS-1252"};
  Converter wideToUtf8{"UTF-8", kUtf16};
  Converter wideToCp1252{"WINDOWS-1252", kUtf16};
};

Converters& Local() {
  thread_local Converters c;
  return c;
}

void AppendUnit(std::string& out, char16_t u) { out.append(reinterpret_cast<const char*>(&u), sizeof u); }

std::u16string Units(const std::string& bytes) {
  std::u16string w(bytes.size() / 2, u'\0');
  std::memcpy(w.data(), bytes.data(), w.size() * 2);
  return w;
}

// Windows-1252 leaves five bytes undefined; like Windows, they map to the C1
// control characters of the same value.
bool Cp1252Undefined(const char*& p, size_t& left, std::string& out) {
  AppendUnit(out, static_cast<char16_t>(static_cast<unsigned char>(*p)));
  ++p;
  --left;
  return true;
}

// Windows-1252 for 0x80..0x9F; the other bytes are their own code points.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char16_t Cp1252Char(unsigned char c) { return (c >= 0x80 && c < 0xA0) ? kCp1252High[c - 0x80] : c; }

// The system code page: UTF-8, with each byte that does not belong to a valid
// sequence taken as Windows-1252.
std::u16string SystemToWide(std::string_view s) {
  std::string bytes;
  bytes.reserve(s.size() * 2);
  bool ok = Local().utf8ToWide.Run(s.data(), s.size(), bytes, [](const char*& p, size_t& left, std::string& out) {
    AppendUnit(out, Cp1252Char(static_cast<unsigned char>(*p)));
    ++p;
    --left;
    return true;
  });
  if (!ok) {  // no converter at all
    bytes.clear();
    for (unsigned char c : s) AppendUnit(bytes, Cp1252Char(c));
  }
  return Units(bytes);
}

std::optional<std::u16string> Utf8ToWide(std::string_view s, bool strict) {
  std::string bytes;
  bytes.reserve(s.size() * 2);
  bool ok = Local().utf8ToWide.Run(s.data(), s.size(), bytes, [&](const char*& p, size_t& left, std::string& out) {
    if (strict) return false;
    AppendUnit(out, u'\uFFFD');
    ++p;
    --left;
    return true;
  });
  if (!ok) return std::nullopt;
  return Units(bytes);
}

std::u16string Cp1252ToWide(std::string_view s) {
  std::string bytes;
  bytes.reserve(s.size() * 2);
  if (!Local().cp1252ToWide.Run(s.data(), s.size(), bytes, Cp1252Undefined)) {
    // No converter available: Latin-1 is the closest stand-in.
    bytes.clear();
    for (unsigned char c : s) AppendUnit(bytes, c);
  }
  return Units(bytes);
}

std::optional<std::u16string> NarrowToWide(UINT cp, std::string_view s, bool strict) {
  switch (cp) {
    case CP_ACP:
    case CP_OEMCP:
      return SystemToWide(s);
    case CP_UTF8:
      return Utf8ToWide(s, strict);
    case CP_WINDOWS1252:
      return Cp1252ToWide(s);
    default:
      return std::nullopt;
  }
}

constexpr char kReplacementUtf8[] = "\xEF\xBF\xBD";

std::optional<std::string> WideToNarrow(UINT cp, std::u16string_view w, bool strict, char defaultChar,
                                        bool* usedDefault) {
  std::string out;
  out.reserve(w.size());
  const char* in = reinterpret_cast<const char*>(w.data());
  size_t len = w.size() * sizeof(char16_t);
  if (cp == CP_ACP || cp == CP_OEMCP || cp == CP_UTF8) {
    // An unpaired surrogate becomes U+FFFD, as Windows does.
    bool ok = Local().wideToUtf8.Run(in, len, out, [&](const char*& p, size_t& left, std::string& o) {
      if (strict) return false;
      o.append(kReplacementUtf8, 3);
      size_t step = left < 2 ? left : 2;
      p += step;
      left -= step;
      return true;
    });
    if (!ok) return std::nullopt;
    return out;
  }
  if (cp == CP_WINDOWS1252) {
    bool ok = Local().wideToCp1252.Run(in, len, out, [&](const char*& p, size_t& left, std::string& o) {
      char16_t u = 0;
      size_t step = left < 2 ? left : 2;
      std::memcpy(&u, p, step);
      if (u == 0x81 || u == 0x8D || u == 0x8F || u == 0x90 || u == 0x9D) {
        o.push_back(static_cast<char>(u));
      } else {
        if (strict) return false;
        o.push_back(defaultChar);
        if (usedDefault) *usedDefault = true;
      }
      p += step;
      left -= step;
      return true;
    });
    if (!ok) return std::nullopt;
    return out;
  }
  return std::nullopt;
}

bool KnownCodePage(UINT cp) { return cp == CP_ACP || cp == CP_OEMCP || cp == CP_UTF8 || cp == CP_WINDOWS1252; }

}  // namespace

int MultiByteToWideChar(UINT CodePage, DWORD dwFlags, LPCSTR lpMultiByteStr, int cbMultiByte, LPWSTR lpWideCharStr,
                        int cchWideChar) {
  if (lpMultiByteStr == nullptr || cbMultiByte == 0 || cbMultiByte < -1 || cchWideChar < 0 ||
      (lpWideCharStr == nullptr && cchWideChar > 0) || !KnownCodePage(CodePage)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  size_t n = cbMultiByte == -1 ? std::strlen(lpMultiByteStr) + 1 : static_cast<size_t>(cbMultiByte);
  std::optional<std::u16string> w;
  try {
    w = NarrowToWide(CodePage, std::string_view(lpMultiByteStr, n), (dwFlags & MB_ERR_INVALID_CHARS) != 0);
  } catch (const std::bad_alloc&) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return 0;
  }
  if (!w) {
    SetLastError(ERROR_NO_UNICODE_TRANSLATION);
    return 0;
  }
  if (w->size() > static_cast<size_t>(INT32_MAX)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if (cchWideChar == 0) return static_cast<int>(w->size());
  if (w->size() > static_cast<size_t>(cchWideChar)) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  std::memcpy(lpWideCharStr, w->data(), w->size() * sizeof(WCHAR));
  return static_cast<int>(w->size());
}

int WideCharToMultiByte(UINT CodePage, DWORD dwFlags, LPCWSTR lpWideCharStr, int cchWideChar, LPSTR lpMultiByteStr,
                        int cbMultiByte, LPCSTR lpDefaultChar, LPBOOL lpUsedDefaultChar) {
  bool utf8 = CodePage == CP_ACP || CodePage == CP_OEMCP || CodePage == CP_UTF8;
  if (lpWideCharStr == nullptr || cchWideChar == 0 || cchWideChar < -1 || cbMultiByte < 0 ||
      (lpMultiByteStr == nullptr && cbMultiByte > 0) || !KnownCodePage(CodePage) ||
      (utf8 && (lpDefaultChar != nullptr || lpUsedDefaultChar != nullptr))) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  size_t n = 0;
  if (cchWideChar == -1) {
    while (lpWideCharStr[n] != 0) ++n;
    ++n;
  } else {
    n = static_cast<size_t>(cchWideChar);
  }
  bool used = false;
  std::optional<std::string> s;
  try {
    s = WideToNarrow(CodePage, std::u16string_view(lpWideCharStr, n), (dwFlags & WC_ERR_INVALID_CHARS) != 0,
                     lpDefaultChar ? *lpDefaultChar : '?', &used);
  } catch (const std::bad_alloc&) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return 0;
  }
  if (lpUsedDefaultChar) *lpUsedDefaultChar = used ? TRUE : FALSE;
  if (!s) {
    SetLastError(ERROR_NO_UNICODE_TRANSLATION);
    return 0;
  }
  if (s->size() > static_cast<size_t>(INT32_MAX)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if (cbMultiByte == 0) return static_cast<int>(s->size());
  if (s->size() > static_cast<size_t>(cbMultiByte)) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  std::memcpy(lpMultiByteStr, s->data(), s->size());
  return static_cast<int>(s->size());
}

namespace tesk {

std::u16string ToWide(std::string_view narrow) { return NarrowToWide(CP_ACP, narrow, false).value_or(std::u16string()); }

std::string ToNarrow(std::u16string_view wide) {
  return WideToNarrow(CP_UTF8, wide, false, '?', nullptr).value_or(std::string());
}

BSTR AllocBstr(std::string_view narrow) {
  try {
    std::u16string w = ToWide(narrow);
    if (w.size() > UINT32_MAX / 4) return nullptr;
    return SysAllocStringLen(w.data(), static_cast<UINT>(w.size()));
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

std::string FromBstr(BSTR b) { return ToNarrow(BstrView(b)); }

}  // namespace tesk
