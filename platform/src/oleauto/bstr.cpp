// BSTR: [uint32 byte count][UTF-16 text][uint16 zero]; the BSTR points at
// the text. Allocation sizes are checked so that the byte count fits.
#include "tesk/platform/oleauto.h"

#include <cstdlib>
#include <cstring>
#include <limits>

namespace {

constexpr size_t kPrefix = sizeof(uint32_t);
// Largest byte length whose block (prefix + text + 2-byte terminator) still
// has a byte count that fits in 32 bits.
constexpr size_t kMaxBytes = std::numeric_limits<uint32_t>::max() - kPrefix - sizeof(OLECHAR);

// Allocates a BSTR block with room for `bytes` bytes of text, copying `src`
// (which may be null: the text is then zero-filled).
BSTR AllocBytes(const void* src, size_t bytes) {
  if (bytes > kMaxBytes) return nullptr;
  // Round up so an odd byte length still gets a whole 16-bit terminator.
  size_t total = kPrefix + bytes + sizeof(OLECHAR) + 1;
  auto* block = static_cast<char*>(std::malloc(total));
  if (block == nullptr) return nullptr;
  uint32_t n = static_cast<uint32_t>(bytes);
  std::memcpy(block, &n, kPrefix);
  char* text = block + kPrefix;
  if (src != nullptr)
    std::memcpy(text, src, bytes);
  else
    std::memset(text, 0, bytes);
  std::memset(text + bytes, 0, sizeof(OLECHAR) + 1);
  return reinterpret_cast<BSTR>(text);
}

uint32_t ByteCount(BSTR b) {
  uint32_t n;
  std::memcpy(&n, reinterpret_cast<const char*>(b) - kPrefix, kPrefix);
  return n;
}

size_t WideLen(const OLECHAR* s) {
  size_t n = 0;
  while (s[n] != 0) ++n;
  return n;
}

}  // namespace

BSTR SysAllocString(const OLECHAR* psz) {
  if (psz == nullptr) return nullptr;
  return AllocBytes(psz, WideLen(psz) * sizeof(OLECHAR));
}

BSTR SysAllocStringLen(const OLECHAR* strIn, UINT ui) {
  if (ui > kMaxBytes / sizeof(OLECHAR)) return nullptr;
  return AllocBytes(strIn, size_t{ui} * sizeof(OLECHAR));
}

BSTR SysAllocStringByteLen(LPCSTR psz, UINT len) { return AllocBytes(psz, len); }

INT SysReAllocStringLen(BSTR* pbstr, const OLECHAR* psz, UINT len) {
  if (pbstr == nullptr) return FALSE;
  // The source may lie inside the old string, so copy before freeing.
  BSTR fresh = SysAllocStringLen(psz, len);
  if (fresh == nullptr) return FALSE;
  SysFreeString(*pbstr);
  *pbstr = fresh;
  return TRUE;
}

INT SysReAllocString(BSTR* pbstr, const OLECHAR* psz) {
  if (pbstr == nullptr) return FALSE;
  if (psz == nullptr) {
    SysFreeString(*pbstr);
    *pbstr = nullptr;
    return TRUE;
  }
  size_t n = WideLen(psz);
  if (n > kMaxBytes / sizeof(OLECHAR)) return FALSE;
  return SysReAllocStringLen(pbstr, psz, static_cast<UINT>(n));
}

void SysFreeString(BSTR bstrString) {
  if (bstrString != nullptr) std::free(reinterpret_cast<char*>(bstrString) - kPrefix);
}

UINT SysStringLen(BSTR pbstr) { return pbstr == nullptr ? 0 : ByteCount(pbstr) / sizeof(OLECHAR); }

UINT SysStringByteLen(BSTR bstr) { return bstr == nullptr ? 0 : ByteCount(bstr); }
