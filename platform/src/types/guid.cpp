// GUID text form "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}".
#include "tesk/platform/types.h"

#include <array>
#include <cstring>

namespace {

constexpr size_t kGuidChars = 38;

int HexValue(char32_t c) {
  if (c >= '0' && c <= '9') return static_cast<int>(c - '0');
  if (c >= 'a' && c <= 'f') return static_cast<int>(c - 'a' + 10);
  if (c >= 'A' && c <= 'F') return static_cast<int>(c - 'A' + 10);
  return -1;
}

// Parses exactly 38 characters of the braced form from any character type.
template <class Ch>
bool Parse(const Ch* s, size_t n, GUID* out) {
  if (n != kGuidChars || s[0] != '{' || s[37] != '}') return false;
  if (s[9] != '-' || s[14] != '-' || s[19] != '-' || s[24] != '-') return false;
  // Byte positions of the 16 bytes in the text, as pairs of hex digits.
  static constexpr std::array<int, 16> kPos = {1, 3, 5, 7, 10, 12, 15, 17, 20, 22, 25, 27, 29, 31, 33, 35};
  uint8_t b[16];
  for (size_t i = 0; i < 16; ++i) {
    int hi = HexValue(static_cast<char32_t>(s[kPos[i]]));
    int lo = HexValue(static_cast<char32_t>(s[kPos[i] + 1]));
    if (hi < 0 || lo < 0) return false;
    b[i] = static_cast<uint8_t>(hi * 16 + lo);
  }
  out->Data1 = (uint32_t{b[0]} << 24) | (uint32_t{b[1]} << 16) | (uint32_t{b[2]} << 8) | b[3];
  out->Data2 = static_cast<uint16_t>((b[4] << 8) | b[5]);
  out->Data3 = static_cast<uint16_t>((b[6] << 8) | b[7]);
  std::memcpy(out->Data4, b + 8, 8);
  return true;
}

void Format(const GUID& g, char* out) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  uint8_t b[16] = {
      static_cast<uint8_t>(g.Data1 >> 24), static_cast<uint8_t>(g.Data1 >> 16),
      static_cast<uint8_t>(g.Data1 >> 8),  static_cast<uint8_t>(g.Data1),
      static_cast<uint8_t>(g.Data2 >> 8),  static_cast<uint8_t>(g.Data2),
      static_cast<uint8_t>(g.Data3 >> 8),  static_cast<uint8_t>(g.Data3)};
  std::memcpy(b + 8, g.Data4, 8);
  char* p = out;
  *p++ = '{';
  for (int i = 0; i < 16; ++i) {
    if (i == 4 || i == 6 || i == 8 || i == 10) *p++ = '-';
    *p++ = kHex[b[i] >> 4];
    *p++ = kHex[b[i] & 15];
  }
  *p++ = '}';
  *p = '\0';
}

size_t WideLen(LPCOLESTR s) {
  size_t n = 0;
  while (s[n] != 0 && n <= kGuidChars) ++n;  // no need to look further
  return n;
}

}  // namespace

int StringFromGUID2(REFGUID rguid, LPOLESTR lpsz, int cchMax) {
  if (lpsz == nullptr || cchMax < static_cast<int>(kGuidChars + 1)) return 0;
  char buf[kGuidChars + 1];
  Format(rguid, buf);
  for (size_t i = 0; i <= kGuidChars; ++i) lpsz[i] = static_cast<OLECHAR>(buf[i]);
  return static_cast<int>(kGuidChars + 1);
}

HRESULT StringFromCLSID(REFCLSID rclsid, LPOLESTR* lplpsz) {
  if (lplpsz == nullptr) return E_INVALIDARG;
  *lplpsz = static_cast<LPOLESTR>(CoTaskMemAlloc((kGuidChars + 1) * sizeof(OLECHAR)));
  if (*lplpsz == nullptr) return E_OUTOFMEMORY;
  StringFromGUID2(rclsid, *lplpsz, kGuidChars + 1);
  return S_OK;
}

HRESULT StringFromIID(REFIID riid, LPOLESTR* lplpsz) { return StringFromCLSID(riid, lplpsz); }

HRESULT CLSIDFromString(LPCOLESTR lpsz, LPCLSID pclsid) {
  if (pclsid == nullptr) return E_INVALIDARG;
  if (lpsz == nullptr) {  // as on Windows, a null string is the null class
    *pclsid = CLSID_NULL;
    return S_OK;
  }
  if (!Parse(lpsz, WideLen(lpsz), pclsid)) {
    *pclsid = CLSID_NULL;
    return CO_E_CLASSSTRING;
  }
  return S_OK;
}

HRESULT IIDFromString(LPCOLESTR lpsz, LPIID lpiid) {
  if (lpiid == nullptr) return E_INVALIDARG;
  if (lpsz == nullptr) {
    *lpiid = IID_NULL;
    return S_OK;
  }
  if (!Parse(lpsz, WideLen(lpsz), lpiid)) {
    *lpiid = IID_NULL;
    return E_INVALIDARG;
  }
  return S_OK;
}

namespace tesk {

std::string GuidToString(const GUID& g) {
  char buf[kGuidChars + 1];
  Format(g, buf);
  return std::string(buf, kGuidChars);
}

std::optional<GUID> GuidFromString(std::string_view text) {
  GUID g{};
  if (!Parse(text.data(), text.size(), &g)) return std::nullopt;
  return g;
}

}  // namespace tesk
