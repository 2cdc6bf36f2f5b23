// SAFEARRAY: a descriptor with its bounds (right-most dimension first), the
// element type stored just before it, and one block of elements in which the
// left-most index varies fastest. The array owns strings, interface
// references and variants stored in it.
#include "tesk/platform/com.h"

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace {

constexpr size_t kPrefix = 16;                   // keeps the descriptor 16-byte aligned
constexpr size_t kMaxDataBytes = 0x7FFFFFFF;     // as large as a 32-bit process could hold
constexpr ULONG kMaxLocks = 0xFFFF;

size_t DescriptorSize(UINT cDims) { return offsetof(SAFEARRAY, rgsabound) + cDims * sizeof(SAFEARRAYBOUND); }

ULONG ElementSize(VARTYPE vt) {
  switch (vt) {
    case VT_I1: case VT_UI1: return 1;
    case VT_I2: case VT_UI2: case VT_BOOL: return 2;
    case VT_I4: case VT_UI4: case VT_INT: case VT_UINT: case VT_R4: case VT_ERROR: return 4;
    case VT_I8: case VT_UI8: case VT_R8: case VT_DATE: case VT_CY: return 8;
    case VT_BSTR: return sizeof(BSTR);
    case VT_DISPATCH: case VT_UNKNOWN: return sizeof(IUnknown*);
    case VT_VARIANT: return sizeof(VARIANT);
    default: return 0;
  }
}

USHORT TypeFeature(VARTYPE vt) {
  switch (vt) {
    case VT_BSTR: return FADF_BSTR;
    case VT_DISPATCH: return FADF_DISPATCH;
    case VT_UNKNOWN: return FADF_UNKNOWN;
    case VT_VARIANT: return FADF_VARIANT;
    default: return 0;
  }
}

VARTYPE& StoredVt(SAFEARRAY* psa) {
  return *reinterpret_cast<VARTYPE*>(reinterpret_cast<char*>(psa) - sizeof(uint32_t));
}

size_t ElementCount(const SAFEARRAY* psa) {
  size_t n = 1;
  for (USHORT i = 0; i < psa->cDims; ++i) n *= psa->rgsabound[i].cElements;
  return n;
}

// Total element count of bounds, or false when it would exceed the size limit.
bool CountElements(const SAFEARRAYBOUND* b, UINT cDims, ULONG cb, size_t* count) {
  size_t n = 1;
  for (UINT i = 0; i < cDims; ++i) {
    if (b[i].cElements != 0 && n > kMaxDataBytes / b[i].cElements) return false;
    n *= b[i].cElements;
    // The upper bound lLbound + cElements - 1 must fit in a LONG.
    if (static_cast<int64_t>(b[i].lLbound) + b[i].cElements - 1 > std::numeric_limits<LONG>::max()) return false;
  }
  if (cb != 0 && n > kMaxDataBytes / cb) return false;
  *count = n;
  return true;
}

// Frees what elements [first, first+count) own and zeroes them.
void ReleaseElements(SAFEARRAY* psa, size_t first, size_t count) {
  if (psa->pvData == nullptr) return;
  char* p = static_cast<char*>(psa->pvData) + first * psa->cbElements;
  if (psa->fFeatures & FADF_BSTR) {
    for (size_t i = 0; i < count; ++i) SysFreeString(reinterpret_cast<BSTR*>(p)[i]);
  } else if (psa->fFeatures & (FADF_DISPATCH | FADF_UNKNOWN)) {
    for (size_t i = 0; i < count; ++i) {
      IUnknown* u = reinterpret_cast<IUnknown**>(p)[i];
      if (u) u->Release();
    }
  } else if (psa->fFeatures & FADF_VARIANT) {
    for (size_t i = 0; i < count; ++i) VariantClear(reinterpret_cast<VARIANT*>(p) + i);
  }
  std::memset(p, 0, count * psa->cbElements);
}

// Copies one element's value from `src` (element storage) into `dst`
// (zeroed element storage), deeply.
HRESULT CopyElement(const SAFEARRAY* psa, const void* src, void* dst) {
  if (psa->fFeatures & FADF_BSTR) {
    BSTR b = *static_cast<const BSTR*>(src);
    BSTR c = nullptr;
    if (b != nullptr) {
      c = SysAllocStringByteLen(reinterpret_cast<LPCSTR>(b), SysStringByteLen(b));
      if (c == nullptr) return E_OUTOFMEMORY;
    }
    *static_cast<BSTR*>(dst) = c;
  } else if (psa->fFeatures & (FADF_DISPATCH | FADF_UNKNOWN)) {
    IUnknown* u = *static_cast<IUnknown* const*>(src);
    if (u) u->AddRef();
    *static_cast<IUnknown**>(dst) = u;
  } else if (psa->fFeatures & FADF_VARIANT) {
    VARIANT* v = static_cast<VARIANT*>(dst);
    VariantInit(v);
    return VariantCopy(v, static_cast<const VARIANT*>(src));
  } else {
    std::memcpy(dst, src, psa->cbElements);
  }
  return S_OK;
}

SAFEARRAY* AllocDescriptor(VARTYPE vt, UINT cDims) {
  auto* block = static_cast<char*>(std::calloc(1, kPrefix + DescriptorSize(cDims)));
  if (block == nullptr) return nullptr;
  auto* psa = reinterpret_cast<SAFEARRAY*>(block + kPrefix);
  psa->cDims = static_cast<USHORT>(cDims);
  psa->cbElements = ElementSize(vt);
  psa->fFeatures = static_cast<USHORT>(FADF_HAVEVARTYPE | TypeFeature(vt));
  StoredVt(psa) = vt;
  return psa;
}

void FreeDescriptor(SAFEARRAY* psa) { std::free(reinterpret_cast<char*>(psa) - kPrefix); }

// Offset of the element at rgIndices (left-most dimension first).
HRESULT CellOf(const SAFEARRAY* psa, const LONG* rgIndices, size_t* cell) {
  size_t offset = 0;
  size_t stride = 1;
  for (USHORT i = 0; i < psa->cDims; ++i) {
    const SAFEARRAYBOUND& b = psa->rgsabound[psa->cDims - 1 - i];
    int64_t rel = static_cast<int64_t>(rgIndices[i]) - b.lLbound;
    if (rel < 0 || rel >= static_cast<int64_t>(b.cElements)) return DISP_E_BADINDEX;
    offset += static_cast<size_t>(rel) * stride;
    stride *= b.cElements;
  }
  *cell = offset;
  return S_OK;
}

}  // namespace

SAFEARRAY* SafeArrayCreate(VARTYPE vt, UINT cDims, SAFEARRAYBOUND* rgsabound) {
  ULONG cb = ElementSize(vt);
  if (cb == 0 || cDims == 0 || cDims > 0xFFFF || rgsabound == nullptr) return nullptr;
  size_t count;
  if (!CountElements(rgsabound, cDims, cb, &count)) return nullptr;
  SAFEARRAY* psa = AllocDescriptor(vt, cDims);
  if (psa == nullptr) return nullptr;
  // Callers give the left-most dimension first; the descriptor keeps it last.
  for (UINT i = 0; i < cDims; ++i) psa->rgsabound[cDims - 1 - i] = rgsabound[i];
  psa->pvData = std::calloc(count == 0 ? 1 : count, cb);
  if (psa->pvData == nullptr) {
    FreeDescriptor(psa);
    return nullptr;
  }
  return psa;
}

SAFEARRAY* SafeArrayCreateVector(VARTYPE vt, LONG lLbound, ULONG cElements) {
  SAFEARRAYBOUND b{cElements, lLbound};
  return SafeArrayCreate(vt, 1, &b);
}

HRESULT SafeArrayDestroyData(SAFEARRAY* psa) {
  if (psa == nullptr) return E_INVALIDARG;
  if (psa->cLocks > 0) return DISP_E_ARRAYISLOCKED;
  ReleaseElements(psa, 0, ElementCount(psa));
  std::free(psa->pvData);
  psa->pvData = nullptr;
  return S_OK;
}

HRESULT SafeArrayDestroy(SAFEARRAY* psa) {
  if (psa == nullptr) return S_OK;
  HRESULT hr = SafeArrayDestroyData(psa);
  if (FAILED(hr)) return hr;
  FreeDescriptor(psa);
  return S_OK;
}

UINT SafeArrayGetDim(SAFEARRAY* psa) { return psa ? psa->cDims : 0; }
UINT SafeArrayGetElemsize(SAFEARRAY* psa) { return psa ? psa->cbElements : 0; }

HRESULT SafeArrayGetLBound(SAFEARRAY* psa, UINT nDim, LONG* plLbound) {
  if (psa == nullptr || plLbound == nullptr) return E_INVALIDARG;
  if (nDim == 0 || nDim > psa->cDims) return DISP_E_BADINDEX;
  *plLbound = psa->rgsabound[psa->cDims - nDim].lLbound;
  return S_OK;
}

HRESULT SafeArrayGetUBound(SAFEARRAY* psa, UINT nDim, LONG* plUbound) {
  if (psa == nullptr || plUbound == nullptr) return E_INVALIDARG;
  if (nDim == 0 || nDim > psa->cDims) return DISP_E_BADINDEX;
  const SAFEARRAYBOUND& b = psa->rgsabound[psa->cDims - nDim];
  *plUbound = static_cast<LONG>(static_cast<int64_t>(b.lLbound) + b.cElements - 1);
  return S_OK;
}

HRESULT SafeArrayGetVartype(SAFEARRAY* psa, VARTYPE* pvt) {
  if (psa == nullptr || pvt == nullptr) return E_INVALIDARG;
  *pvt = StoredVt(psa);
  return S_OK;
}

HRESULT SafeArrayLock(SAFEARRAY* psa) {
  if (psa == nullptr) return E_INVALIDARG;
  if (psa->cLocks >= kMaxLocks) return E_UNEXPECTED;
  ++psa->cLocks;
  return S_OK;
}

HRESULT SafeArrayUnlock(SAFEARRAY* psa) {
  if (psa == nullptr) return E_INVALIDARG;
  if (psa->cLocks == 0) return E_UNEXPECTED;
  --psa->cLocks;
  return S_OK;
}

HRESULT SafeArrayAccessData(SAFEARRAY* psa, void** ppvData) {
  if (psa == nullptr || ppvData == nullptr) return E_INVALIDARG;
  HRESULT hr = SafeArrayLock(psa);
  if (FAILED(hr)) return hr;
  *ppvData = psa->pvData;
  return S_OK;
}

HRESULT SafeArrayUnaccessData(SAFEARRAY* psa) { return SafeArrayUnlock(psa); }

HRESULT SafeArrayPtrOfIndex(SAFEARRAY* psa, LONG* rgIndices, void** ppvData) {
  if (psa == nullptr || rgIndices == nullptr || ppvData == nullptr) return E_INVALIDARG;
  if (psa->pvData == nullptr) return E_UNEXPECTED;
  size_t cell;
  HRESULT hr = CellOf(psa, rgIndices, &cell);
  if (FAILED(hr)) return hr;
  *ppvData = static_cast<char*>(psa->pvData) + cell * psa->cbElements;
  return S_OK;
}

HRESULT SafeArrayPutElement(SAFEARRAY* psa, LONG* rgIndices, void* pv) {
  if (psa == nullptr || rgIndices == nullptr) return E_INVALIDARG;
  void* slot;
  HRESULT hr = SafeArrayPtrOfIndex(psa, rgIndices, &slot);
  if (FAILED(hr)) return hr;
  if (psa->fFeatures & FADF_BSTR) {
    // Strings and interfaces are passed as the value itself, not its address.
    BSTR b = static_cast<BSTR>(pv);
    BSTR c = nullptr;
    if (b != nullptr) {
      c = SysAllocStringByteLen(reinterpret_cast<LPCSTR>(b), SysStringByteLen(b));
      if (c == nullptr) return E_OUTOFMEMORY;
    }
    SysFreeString(*static_cast<BSTR*>(slot));
    *static_cast<BSTR*>(slot) = c;
  } else if (psa->fFeatures & (FADF_DISPATCH | FADF_UNKNOWN)) {
    IUnknown* u = static_cast<IUnknown*>(pv);
    if (u) u->AddRef();
    IUnknown* old = *static_cast<IUnknown**>(slot);
    *static_cast<IUnknown**>(slot) = u;
    if (old) old->Release();
  } else if (psa->fFeatures & FADF_VARIANT) {
    if (pv == nullptr) return E_INVALIDARG;
    return VariantCopy(static_cast<VARIANT*>(slot), static_cast<const VARIANT*>(pv));
  } else {
    if (pv == nullptr) return E_INVALIDARG;
    std::memcpy(slot, pv, psa->cbElements);
  }
  return S_OK;
}

HRESULT SafeArrayGetElement(SAFEARRAY* psa, LONG* rgIndices, void* pv) {
  if (psa == nullptr || rgIndices == nullptr || pv == nullptr) return E_INVALIDARG;
  void* slot;
  HRESULT hr = SafeArrayPtrOfIndex(psa, rgIndices, &slot);
  if (FAILED(hr)) return hr;
  return CopyElement(psa, slot, pv);
}

HRESULT SafeArrayCopy(SAFEARRAY* psa, SAFEARRAY** ppsaOut) {
  if (ppsaOut == nullptr) return E_INVALIDARG;
  *ppsaOut = nullptr;
  if (psa == nullptr) return S_OK;
  VARTYPE vt = StoredVt(psa);
  SAFEARRAY* out = AllocDescriptor(vt, psa->cDims);
  if (out == nullptr) return E_OUTOFMEMORY;
  std::memcpy(out->rgsabound, psa->rgsabound, psa->cDims * sizeof(SAFEARRAYBOUND));
  size_t count = ElementCount(psa);
  out->pvData = std::calloc(count == 0 ? 1 : count, out->cbElements);
  if (out->pvData == nullptr) {
    FreeDescriptor(out);
    return E_OUTOFMEMORY;
  }
  if (psa->pvData != nullptr) {
    for (size_t i = 0; i < count; ++i) {
      HRESULT hr = CopyElement(psa, static_cast<char*>(psa->pvData) + i * psa->cbElements,
                               static_cast<char*>(out->pvData) + i * out->cbElements);
      if (FAILED(hr)) {
        SafeArrayDestroy(out);
        return hr;
      }
    }
  }
  *ppsaOut = out;
  return S_OK;
}

HRESULT SafeArrayRedim(SAFEARRAY* psa, SAFEARRAYBOUND* psaboundNew) {
  if (psa == nullptr || psaboundNew == nullptr) return E_INVALIDARG;
  if (psa->cLocks > 0) return DISP_E_ARRAYISLOCKED;
  if (psa->fFeatures & FADF_FIXEDSIZE) return E_INVALIDARG;
  // The right-most dimension (stored first) varies slowest, so its elements
  // are whole blocks at the end of the data.
  SAFEARRAYBOUND old = psa->rgsabound[0];
  size_t oldCount = ElementCount(psa);
  psa->rgsabound[0] = *psaboundNew;
  size_t newCount;
  if (!CountElements(psa->rgsabound, psa->cDims, psa->cbElements, &newCount)) {
    psa->rgsabound[0] = old;
    return E_OUTOFMEMORY;
  }
  if (newCount < oldCount) ReleaseElements(psa, newCount, oldCount - newCount);
  void* data = std::realloc(psa->pvData, (newCount == 0 ? 1 : newCount) * psa->cbElements);
  if (data == nullptr) {
    psa->rgsabound[0] = old;  // elements past newCount were already released
    return E_OUTOFMEMORY;
  }
  psa->pvData = data;
  if (newCount > oldCount)
    std::memset(static_cast<char*>(data) + oldCount * psa->cbElements, 0, (newCount - oldCount) * psa->cbElements);
  return S_OK;
}
