// VARIANT lifetime (init, clear, copy) and type conversion.
#include "tesk/platform/com.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <new>
#include <string>

namespace {

bool ValidBase(VARTYPE base) {
  switch (base) {
    case VT_EMPTY: case VT_NULL: case VT_I2: case VT_I4: case VT_R4: case VT_R8: case VT_CY:
    case VT_DATE: case VT_BSTR: case VT_DISPATCH: case VT_ERROR: case VT_BOOL: case VT_VARIANT:
    case VT_UNKNOWN: case VT_I1: case VT_UI1: case VT_UI2: case VT_UI4: case VT_I8: case VT_UI8:
    case VT_INT: case VT_UINT:
      return true;
    default:
      return false;
  }
}

// A variant type that a VARIANT may carry.
bool ValidVt(VARTYPE vt) {
  if (vt & ~(VT_TYPEMASK | VT_ARRAY | VT_BYREF)) return false;
  VARTYPE base = vt & VT_TYPEMASK;
  if (!ValidBase(base)) return false;
  bool modified = (vt & (VT_ARRAY | VT_BYREF)) != 0;
  if ((base == VT_EMPTY || base == VT_NULL) && modified) return false;
  if (base == VT_VARIANT && !modified) return false;
  return true;
}

// Size of the value a by-reference variant points at.
size_t ScalarSize(VARTYPE base) {
  switch (base) {
    case VT_I1: case VT_UI1: return 1;
    case VT_I2: case VT_UI2: case VT_BOOL: return 2;
    case VT_I4: case VT_UI4: case VT_INT: case VT_UINT: case VT_R4: case VT_ERROR: return 4;
    case VT_I8: case VT_UI8: case VT_R8: case VT_DATE: case VT_CY: return 8;
    default: return 0;
  }
}

HRESULT CopyBstr(BSTR src, BSTR* dst) {
  *dst = nullptr;
  if (src == nullptr) return S_OK;
  *dst = SysAllocStringByteLen(reinterpret_cast<LPCSTR>(src), SysStringByteLen(src));
  return *dst ? S_OK : E_OUTOFMEMORY;
}

// Copies a value of type `base` from `from` (the union storage of a value, or
// what a by-reference pointer points at) into the value variant `dst`.
HRESULT CopyValue(VARTYPE vt, const void* from, VARIANT* dst) {
  VARTYPE base = vt & VT_TYPEMASK;
  if (vt & VT_ARRAY) {
    SAFEARRAY* psa;
    std::memcpy(&psa, from, sizeof psa);
    dst->parray = nullptr;
    if (psa != nullptr) {
      HRESULT hr = SafeArrayCopy(psa, &dst->parray);
      if (FAILED(hr)) return hr;
    }
  } else if (base == VT_BSTR) {
    BSTR b;
    std::memcpy(&b, from, sizeof b);
    HRESULT hr = CopyBstr(b, &dst->bstrVal);
    if (FAILED(hr)) return hr;
  } else if (base == VT_DISPATCH || base == VT_UNKNOWN) {
    IUnknown* p;
    std::memcpy(&p, from, sizeof p);
    if (p) p->AddRef();
    dst->punkVal = p;
  } else {
    dst->llVal = 0;
    std::memcpy(&dst->llVal, from, ScalarSize(base));
  }
  dst->vt = vt;
  return S_OK;
}

// ---- numbers --------------------------------------------------------------

struct Num {
  enum Kind { kInt, kUInt, kReal } kind = kInt;
  int64_t i = 0;
  uint64_t u = 0;
  double d = 0;
};

std::string Narrow(BSTR b) { return tesk::FromBstr(b); }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\r' || s.front() == '\n')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r' || s.back() == '\n')) s.remove_suffix(1);
  return s;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

HRESULT ParseNumber(BSTR b, Num* n) {
  std::string text = Narrow(b);
  std::string_view s = Trim(text);
  if (!s.empty() && s.front() == '+') s.remove_prefix(1);
  if (s.empty()) return DISP_E_TYPEMISMATCH;
  const char* first = s.data();
  const char* last = s.data() + s.size();
  int64_t iv;
  auto ri = std::from_chars(first, last, iv);
  if (ri.ec == std::errc() && ri.ptr == last) {
    n->kind = Num::kInt;
    n->i = iv;
    return S_OK;
  }
  uint64_t uv;
  auto ru = std::from_chars(first, last, uv);
  if (ru.ec == std::errc() && ru.ptr == last) {
    n->kind = Num::kUInt;
    n->u = uv;
    return S_OK;
  }
  double dv;
  auto rd = std::from_chars(first, last, dv, std::chars_format::general);
  if (rd.ptr != last || !std::isfinite(dv)) return DISP_E_TYPEMISMATCH;
  if (rd.ec == std::errc::result_out_of_range) return DISP_E_OVERFLOW;
  if (rd.ec != std::errc()) return DISP_E_TYPEMISMATCH;
  n->kind = Num::kReal;
  n->d = dv;
  return S_OK;
}

// The numeric value of a value variant (not by reference).
HRESULT ToNum(const VARIANT& v, Num* n) {
  switch (v.vt) {
    case VT_EMPTY: n->kind = Num::kInt; n->i = 0; return S_OK;
    case VT_I1: n->kind = Num::kInt; n->i = static_cast<signed char>(v.cVal); return S_OK;
    case VT_UI1: n->kind = Num::kInt; n->i = v.bVal; return S_OK;
    case VT_I2: n->kind = Num::kInt; n->i = v.iVal; return S_OK;
    case VT_UI2: n->kind = Num::kInt; n->i = v.uiVal; return S_OK;
    case VT_I4: case VT_INT: n->kind = Num::kInt; n->i = v.lVal; return S_OK;
    case VT_UI4: case VT_UINT: n->kind = Num::kInt; n->i = v.ulVal; return S_OK;
    case VT_I8: n->kind = Num::kInt; n->i = v.llVal; return S_OK;
    case VT_UI8: n->kind = Num::kUInt; n->u = v.ullVal; return S_OK;
    case VT_BOOL: n->kind = Num::kInt; n->i = v.boolVal ? -1 : 0; return S_OK;
    case VT_R4: n->kind = Num::kReal; n->d = v.fltVal; return S_OK;
    case VT_R8: case VT_DATE: n->kind = Num::kReal; n->d = v.dblVal; return S_OK;
    case VT_BSTR: return ParseNumber(v.bstrVal, n);
    default: return DISP_E_TYPEMISMATCH;
  }
}

// Rounds half to even, as the automation conversions do.
bool RoundToInt64(double d, int64_t* out) {
  if (!std::isfinite(d)) return false;
  double r = std::nearbyint(d);
  if (!(r >= -9223372036854775808.0 && r < 9223372036854775808.0)) return false;
  *out = static_cast<int64_t>(r);
  return true;
}
bool RoundToUInt64(double d, uint64_t* out) {
  if (!std::isfinite(d)) return false;
  double r = std::nearbyint(d);
  if (!(r >= 0.0 && r < 18446744073709551616.0)) return false;
  *out = static_cast<uint64_t>(r);
  return true;
}

template <class T>
HRESULT ToInteger(const Num& n, T* out) {
  using L = std::numeric_limits<T>;
  if (n.kind == Num::kReal) {
    if constexpr (std::is_signed_v<T>) {
      int64_t v;
      if (!RoundToInt64(n.d, &v) || v < L::min() || v > L::max()) return DISP_E_OVERFLOW;
      *out = static_cast<T>(v);
    } else {
      uint64_t v;
      if (!RoundToUInt64(n.d, &v) || v > L::max()) return DISP_E_OVERFLOW;
      *out = static_cast<T>(v);
    }
    return S_OK;
  }
  if (n.kind == Num::kUInt) {
    if (n.u > static_cast<uint64_t>(L::max())) return DISP_E_OVERFLOW;
    *out = static_cast<T>(n.u);
    return S_OK;
  }
  if constexpr (std::is_signed_v<T>) {
    if (n.i < L::min() || n.i > L::max()) return DISP_E_OVERFLOW;
  } else {
    if (n.i < 0 || static_cast<uint64_t>(n.i) > L::max()) return DISP_E_OVERFLOW;
  }
  *out = static_cast<T>(n.i);
  return S_OK;
}

double ToDouble(const Num& n) {
  switch (n.kind) {
    case Num::kInt: return static_cast<double>(n.i);
    case Num::kUInt: return static_cast<double>(n.u);
    default: return n.d;
  }
}

bool IsZero(const Num& n) {
  switch (n.kind) {
    case Num::kInt: return n.i == 0;
    case Num::kUInt: return n.u == 0;
    default: return n.d == 0;
  }
}

HRESULT NumToVariant(const Num& n, VARTYPE vt, VARIANT* out) {
  out->llVal = 0;
  HRESULT hr = S_OK;
  switch (vt) {
    case VT_I1: { signed char c = 0; hr = ToInteger(n, &c); out->cVal = static_cast<CHAR>(c); break; }
    case VT_UI1: hr = ToInteger(n, &out->bVal); break;
    case VT_I2: hr = ToInteger(n, &out->iVal); break;
    case VT_UI2: hr = ToInteger(n, &out->uiVal); break;
    case VT_I4: case VT_INT: hr = ToInteger(n, &out->lVal); break;
    case VT_UI4: case VT_UINT: hr = ToInteger(n, &out->ulVal); break;
    case VT_I8: hr = ToInteger(n, &out->llVal); break;
    case VT_UI8: hr = ToInteger(n, &out->ullVal); break;
    case VT_R4: {
      double d = ToDouble(n);
      if (std::isfinite(d) && std::fabs(d) > std::numeric_limits<float>::max()) return DISP_E_OVERFLOW;
      out->fltVal = static_cast<float>(d);
      break;
    }
    case VT_R8: case VT_DATE: out->dblVal = ToDouble(n); break;
    case VT_BOOL: out->boolVal = IsZero(n) ? VARIANT_FALSE : VARIANT_TRUE; break;
    default: return DISP_E_TYPEMISMATCH;
  }
  if (FAILED(hr)) return hr;
  out->vt = vt;
  return S_OK;
}

std::string FormatReal(double d, int precision) {
  char buf[64];
  auto r = std::to_chars(buf, buf + sizeof buf, d, std::chars_format::general, precision);
  std::string s(buf, r.ptr);
  for (char& c : s)
    if (c == 'e') c = 'E';
  if (s == "-0") s = "0";
  return s;
}

// Text of a value variant, as VT_BSTR conversion gives it.
HRESULT ToText(const VARIANT& v, std::string* s) {
  switch (v.vt) {
    case VT_EMPTY: s->clear(); return S_OK;
    case VT_BOOL: *s = v.boolVal ? "True" : "False"; return S_OK;
    case VT_R4: *s = FormatReal(v.fltVal, 7); return S_OK;
    case VT_R8: case VT_DATE: *s = FormatReal(v.dblVal, 15); return S_OK;
    default: {
      Num n;
      HRESULT hr = ToNum(v, &n);
      if (FAILED(hr)) return hr;
      *s = n.kind == Num::kUInt ? std::to_string(n.u) : std::to_string(n.i);
      return S_OK;
    }
  }
}

// The default property (DISPID_VALUE) of an object, as a value variant.
HRESULT ValueProperty(IUnknown* p, USHORT flags, VARIANT* out) {
  if (p == nullptr || (flags & VARIANT_NOVALUEPROP)) return DISP_E_TYPEMISMATCH;
  IDispatch* d = nullptr;
  if (FAILED(p->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&d))) || d == nullptr)
    return DISP_E_TYPEMISMATCH;
  DISPPARAMS none{nullptr, nullptr, 0, 0};
  VariantInit(out);
  HRESULT hr = d->Invoke(DISPID_VALUE, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, out, nullptr, nullptr);
  d->Release();
  if (FAILED(hr)) {
    VariantClear(out);
    return DISP_E_TYPEMISMATCH;
  }
  if (out->vt == VT_DISPATCH || out->vt == VT_UNKNOWN || (out->vt & (VT_ARRAY | VT_BYREF))) {
    VariantClear(out);
    return DISP_E_TYPEMISMATCH;
  }
  return S_OK;
}

// Converts the value variant `src` into a fresh `out` of type vt.
HRESULT Coerce(const VARIANT& src, USHORT flags, VARTYPE vt, VARIANT* out) {
  VariantInit(out);
  if (src.vt == vt) return VariantCopy(out, &src);
  if (vt == VT_EMPTY) return S_OK;
  if ((vt & VT_ARRAY) || (src.vt & VT_ARRAY)) return DISP_E_TYPEMISMATCH;
  if (src.vt == VT_NULL || vt == VT_NULL || src.vt == VT_ERROR || vt == VT_ERROR || vt == VT_CY ||
      src.vt == VT_CY)
    return DISP_E_TYPEMISMATCH;

  if (vt == VT_DISPATCH || vt == VT_UNKNOWN) {
    if (src.vt == VT_EMPTY) {
      out->punkVal = nullptr;
      out->vt = vt;
      return S_OK;
    }
    if (src.vt != VT_DISPATCH && src.vt != VT_UNKNOWN) return DISP_E_TYPEMISMATCH;
    if (src.punkVal == nullptr) {
      out->punkVal = nullptr;
      out->vt = vt;
      return S_OK;
    }
    if (vt == VT_UNKNOWN) {
      src.punkVal->AddRef();
      out->punkVal = src.punkVal;
      out->vt = VT_UNKNOWN;
      return S_OK;
    }
    void* d = nullptr;
    if (FAILED(src.punkVal->QueryInterface(IID_IDispatch, &d))) return DISP_E_TYPEMISMATCH;
    out->pdispVal = static_cast<IDispatch*>(d);
    out->vt = VT_DISPATCH;
    return S_OK;
  }

  if (src.vt == VT_DISPATCH || src.vt == VT_UNKNOWN) {
    VARIANT value;
    HRESULT hr = ValueProperty(src.punkVal, flags, &value);
    if (FAILED(hr)) return hr;
    hr = Coerce(value, flags, vt, out);
    VariantClear(&value);
    return hr;
  }

  if (vt == VT_BSTR) {
    std::string text;
    HRESULT hr = ToText(src, &text);
    if (FAILED(hr)) return hr;
    out->bstrVal = tesk::AllocBstr(text);
    if (out->bstrVal == nullptr) return E_OUTOFMEMORY;
    out->vt = VT_BSTR;
    return S_OK;
  }

  if (vt == VT_BOOL && src.vt == VT_BSTR) {
    std::string text = Narrow(src.bstrVal);
    std::string_view t = Trim(text);
    if (EqualsNoCase(t, "true") || EqualsNoCase(t, "#TRUE#")) {
      out->boolVal = VARIANT_TRUE;
      out->vt = VT_BOOL;
      return S_OK;
    }
    if (EqualsNoCase(t, "false") || EqualsNoCase(t, "#FALSE#")) {
      out->boolVal = VARIANT_FALSE;
      out->vt = VT_BOOL;
      return S_OK;
    }
  }

  Num n;
  HRESULT hr = ToNum(src, &n);
  if (FAILED(hr)) return hr;
  return NumToVariant(n, vt, out);
}

}  // namespace

void VariantInit(VARIANTARG* pvarg) {
  if (pvarg == nullptr) return;
  pvarg->vt = VT_EMPTY;
  pvarg->wReserved1 = pvarg->wReserved2 = pvarg->wReserved3 = 0;
  pvarg->llVal = 0;
}

HRESULT VariantClear(VARIANTARG* pvarg) {
  if (pvarg == nullptr) return E_INVALIDARG;
  VARTYPE vt = pvarg->vt;
  if (!ValidVt(vt)) return DISP_E_BADVARTYPE;
  if (!(vt & VT_BYREF)) {
    if (vt & VT_ARRAY) {
      if (pvarg->parray != nullptr) {
        HRESULT hr = SafeArrayDestroy(pvarg->parray);
        if (FAILED(hr)) return hr;
      }
    } else if (vt == VT_BSTR) {
      SysFreeString(pvarg->bstrVal);
    } else if (vt == VT_DISPATCH || vt == VT_UNKNOWN) {
      if (pvarg->punkVal != nullptr) pvarg->punkVal->Release();
    }
  }
  pvarg->vt = VT_EMPTY;
  pvarg->llVal = 0;
  return S_OK;
}

HRESULT VariantCopy(VARIANTARG* pvargDest, const VARIANTARG* pvargSrc) {
  if (pvargDest == nullptr || pvargSrc == nullptr) return E_INVALIDARG;
  if (pvargDest == pvargSrc) return S_OK;
  if (!ValidVt(pvargSrc->vt)) return DISP_E_BADVARTYPE;
  VARIANT tmp;
  VariantInit(&tmp);
  HRESULT hr;
  if (pvargSrc->vt & VT_BYREF) {
    tmp = *pvargSrc;  // by-reference variants share the pointer
    hr = S_OK;
  } else {
    hr = CopyValue(pvargSrc->vt, &pvargSrc->llVal, &tmp);
  }
  if (FAILED(hr)) return hr;
  hr = VariantClear(pvargDest);
  if (FAILED(hr)) {
    VariantClear(&tmp);
    return hr;
  }
  *pvargDest = tmp;
  return S_OK;
}

HRESULT VariantCopyInd(VARIANT* pvarDest, const VARIANTARG* pvargSrc) {
  if (pvarDest == nullptr || pvargSrc == nullptr) return E_INVALIDARG;
  if (!(pvargSrc->vt & VT_BYREF)) return VariantCopy(pvarDest, pvargSrc);
  if (!ValidVt(pvargSrc->vt)) return DISP_E_BADVARTYPE;
  if (pvargSrc->byref == nullptr) return E_INVALIDARG;
  VARTYPE vt = pvargSrc->vt & ~VT_BYREF;
  VARIANT tmp;
  VariantInit(&tmp);
  HRESULT hr;
  if (vt == VT_VARIANT) {
    const VARIANT* inner = pvargSrc->pvarVal;
    // A variant reached by reference must hold a value.
    if (inner->vt & VT_BYREF) return E_INVALIDARG;
    hr = VariantCopy(&tmp, inner);
  } else {
    hr = CopyValue(vt, pvargSrc->byref, &tmp);
  }
  if (FAILED(hr)) return hr;
  if (pvarDest != pvargSrc) {
    hr = VariantClear(pvarDest);
    if (FAILED(hr)) {
      VariantClear(&tmp);
      return hr;
    }
  }
  *pvarDest = tmp;
  return S_OK;
}

HRESULT VariantChangeType(VARIANTARG* pvargDest, const VARIANTARG* pvarSrc, USHORT wFlags, VARTYPE vt) {
  return VariantChangeTypeEx(pvargDest, pvarSrc, 0, wFlags, vt);
}

HRESULT VariantChangeTypeEx(VARIANTARG* pvargDest, const VARIANTARG* pvarSrc, LCID, USHORT wFlags, VARTYPE vt) {
  if (pvargDest == nullptr || pvarSrc == nullptr) return E_INVALIDARG;
  if (!ValidVt(pvarSrc->vt)) return DISP_E_BADVARTYPE;
  if ((vt & VT_BYREF) || !ValidVt(vt) || vt == VT_VARIANT) return DISP_E_BADVARTYPE;
  try {
    // Work on a value copy of the source so that source and destination may
    // be the same variant.
    VARIANT value;
    VariantInit(&value);
    HRESULT hr = VariantCopyInd(&value, pvarSrc);
    if (FAILED(hr)) return hr;
    VARIANT result;
    hr = Coerce(value, wFlags, vt, &result);
    VariantClear(&value);
    if (FAILED(hr)) {
      VariantClear(&result);
      return hr;
    }
    hr = VariantClear(pvargDest);
    if (FAILED(hr)) {
      VariantClear(&result);
      return hr;
    }
    *pvargDest = result;
    return S_OK;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
}
