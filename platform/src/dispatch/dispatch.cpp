// GetIDsOfNames and Invoke served from a dispatch table.
#include "tesk/platform/dispatch.h"

#include <memory>
#include <new>
#include <vector>

namespace tesk {
namespace {

char16_t Fold(char16_t c) { return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c - u'A' + u'a') : c; }

// Compares a wide name with an ASCII table name, ignoring case.
bool NameEquals(const OLECHAR* wide, const char* ascii) {
  if (wide == nullptr || ascii == nullptr) return false;
  size_t i = 0;
  for (; ascii[i] != 0; ++i) {
    if (wide[i] == 0 || Fold(wide[i]) != Fold(static_cast<char16_t>(static_cast<unsigned char>(ascii[i])))) return false;
  }
  return wide[i] == 0;
}

bool IsRetval(const DispParamInfo& p) { return (p.flags & PARAMFLAG_FRETVAL) != 0; }

size_t InputCount(const DispMember& m) {
  size_t n = 0;
  for (const DispParamInfo& p : m.params)
    if (!IsRetval(p)) ++n;
  return n;
}

const DispMember* Select(const DispTable& t, DISPID id, WORD flags, bool* idKnown) {
  *idKnown = false;
  const DispMember* method = nullptr;
  const DispMember* get = nullptr;
  const DispMember* put = nullptr;
  for (const DispMember& m : t.members) {
    if (m.id != id) continue;
    *idKnown = true;
    if (m.kind == DISPATCH_METHOD && !method) method = &m;
    if (m.kind == DISPATCH_PROPERTYGET && !get) get = &m;
    if (m.kind == DISPATCH_PROPERTYPUT && !put) put = &m;
  }
  if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) return put;
  if ((flags & DISPATCH_METHOD) && method) return method;
  if ((flags & DISPATCH_PROPERTYGET) && get) return get;
  return nullptr;
}

// One argument as the thunk receives it, with what must happen afterwards.
struct Slot {
  VARIANT arg;            // what the thunk reads
  VARIANT owned;          // a converted copy owned here (cleared after the call)
  VARIANT* writeBack = nullptr;  // client's VT_VARIANT to receive an [out] value
};

void StoreInto(VARIANT* to, VARIANT* value) {
  VariantClear(to);
  *to = *value;
  VariantInit(value);
}

}  // namespace

HRESULT DispGetIDsOfNames(const DispTable& table, LPOLESTR* rgszNames, UINT cNames, DISPID* rgDispId) {
  if (rgszNames == nullptr || rgDispId == nullptr || cNames == 0) return E_INVALIDARG;
  for (UINT i = 0; i < cNames; ++i) rgDispId[i] = DISPID_UNKNOWN;
  const DispMember* found = nullptr;
  for (const DispMember& m : table.members) {
    if (NameEquals(rgszNames[0], m.name)) {
      found = &m;
      break;
    }
  }
  if (found == nullptr) return DISP_E_UNKNOWNNAME;
  rgDispId[0] = found->id;
  HRESULT hr = S_OK;
  // Further names are parameter names of that member (any of its accessors).
  for (UINT i = 1; i < cNames; ++i) {
    bool matched = false;
    for (const DispMember& m : table.members) {
      if (m.id != found->id) continue;
      for (size_t k = 0; k < m.params.size() && !matched; ++k) {
        if (m.params[k].name != nullptr && NameEquals(rgszNames[i], m.params[k].name)) {
          rgDispId[i] = static_cast<DISPID>(k);
          matched = true;
        }
      }
      if (matched) break;
    }
    if (!matched) hr = DISP_E_UNKNOWNNAME;
  }
  return hr;
}

HRESULT DispInvoke(const DispTable& table, void* self, DISPID dispIdMember, WORD wFlags, DISPPARAMS* dp,
                   VARIANT* pVarResult, EXCEPINFO* pExcepInfo, UINT* puArgErr) {
  if (dp == nullptr || self == nullptr) return E_INVALIDARG;
  if (dp->cArgs > 0 && dp->rgvarg == nullptr) return E_INVALIDARG;
  if (dp->cNamedArgs > dp->cArgs || (dp->cNamedArgs > 0 && dp->rgdispidNamedArgs == nullptr)) return E_INVALIDARG;
  bool idKnown;
  const DispMember* m = Select(table, dispIdMember, wFlags, &idKnown);
  if (m == nullptr) return DISP_E_MEMBERNOTFOUND;

  const size_t nParams = m->params.size();
  const size_t nInputs = InputCount(*m);
  const bool isPut = m->kind == DISPATCH_PROPERTYPUT;
  auto fail = [&](HRESULT hr, size_t rgvargIndex) {
    if (puArgErr) *puArgErr = static_cast<UINT>(rgvargIndex);
    return hr;
  };

  // Which rgvarg entry feeds each parameter.
  std::vector<long> source;
  std::unique_ptr<Slot[]> slots;
  std::vector<VARIANT*> args;
  try {
    source.assign(nParams, -1);
    slots.reset(new Slot[nParams]);
    args.resize(nParams);
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
  for (size_t i = 0; i < nParams; ++i) {
    VariantInit(&slots[i].arg);
    VariantInit(&slots[i].owned);
  }
  for (UINT k = 0; k < dp->cNamedArgs; ++k) {
    DISPID named = dp->rgdispidNamedArgs[k];
    long index;
    if (named == DISPID_PROPERTYPUT) {
      if (!isPut) return fail(DISP_E_PARAMNOTFOUND, k);
      index = static_cast<long>(nInputs) - 1;
    } else if (!isPut && named >= 0 && static_cast<size_t>(named) < nParams && !IsRetval(m->params[named])) {
      index = named;
    } else {
      return fail(DISP_E_PARAMNOTFOUND, k);
    }
    if (index < 0 || source[index] >= 0) return fail(DISP_E_PARAMNOTFOUND, k);
    source[index] = static_cast<long>(k);
  }
  if (dp->cArgs != nInputs) return DISP_E_BADPARAMCOUNT;
  // Positional arguments, last one first in rgvarg.
  size_t positional = dp->cArgs - dp->cNamedArgs;
  for (size_t j = 0, p = 0; j < positional; ++j, ++p) {
    while (p < nParams && IsRetval(m->params[p])) ++p;
    if (p >= nParams) return DISP_E_BADPARAMCOUNT;
    long rg = static_cast<long>(dp->cArgs - 1 - j);
    if (source[p] >= 0) return fail(DISP_E_PARAMNOTFOUND, static_cast<size_t>(source[p]));
    source[p] = rg;
  }

  VARIANT result;
  VariantInit(&result);
  auto cleanup = [&] {
    for (size_t i = 0; i < nParams; ++i) VariantClear(&slots[i].owned);
  };

  for (size_t i = 0; i < nParams; ++i) {
    const DispParamInfo& info = m->params[i];
    Slot& s = slots[i];
    args[i] = &s.arg;
    const VARTYPE base = info.vt & ~VT_BYREF;
    if (IsRetval(info)) {
      // The result is written into `result`; a VARIANT result takes it whole.
      s.arg.vt = info.vt | VT_BYREF;
      s.arg.byref = base == VT_VARIANT ? static_cast<void*>(&result) : static_cast<void*>(&result.llVal);
      continue;
    }
    if (source[i] < 0) {
      cleanup();
      return DISP_E_PARAMNOTOPTIONAL;
    }
    VARIANT* src = &dp->rgvarg[source[i]];
    if ((info.vt & VT_BYREF) && (src->vt & VT_BYREF) && src->byref == nullptr) {
      // Nowhere to put the value.
      cleanup();
      return fail(DISP_E_TYPEMISMATCH, static_cast<size_t>(source[i]));
    }
    if (info.vt & VT_BYREF) {
      if (base == VT_VARIANT) {
        s.arg.vt = VT_VARIANT | VT_BYREF;
        s.arg.pvarVal = src->vt == (VT_VARIANT | VT_BYREF) ? src->pvarVal : src;
      } else if (src->vt == info.vt || ((info.vt & VT_ARRAY) && (src->vt & VT_ARRAY) && (src->vt & VT_BYREF))) {
        // Arrays by reference: the element type is the array's own business.
        s.arg = *src;
        s.arg.vt = info.vt;
      } else if (src->vt == (VT_VARIANT | VT_BYREF) && src->pvarVal != nullptr) {
        // The client handed a variant to receive the value: work in a
        // variant of the parameter's type and store it back afterwards.
        if (info.flags & PARAMFLAG_FIN) {
          HRESULT hr = VariantChangeType(&s.owned, src->pvarVal, 0, base);
          if (FAILED(hr)) {
            cleanup();
            return fail(hr == DISP_E_OVERFLOW ? hr : DISP_E_TYPEMISMATCH, static_cast<size_t>(source[i]));
          }
        } else {
          s.owned.vt = base;
        }
        s.writeBack = src->pvarVal;
        s.arg.vt = info.vt;
        s.arg.byref = &s.owned.llVal;
      } else {
        cleanup();
        return fail(DISP_E_TYPEMISMATCH, static_cast<size_t>(source[i]));
      }
      continue;
    }
    // [in] by value.
    const VARIANT* value = src;
    if (src->vt == (VT_VARIANT | VT_BYREF)) {
      if (src->pvarVal == nullptr) {
        cleanup();
        return fail(DISP_E_TYPEMISMATCH, static_cast<size_t>(source[i]));
      }
      value = src->pvarVal;
    }
    if (info.vt == VT_VARIANT) {
      if (value->vt & VT_BYREF) {
        HRESULT hr = VariantCopyInd(&s.owned, value);
        if (FAILED(hr)) {
          cleanup();
          return fail(DISP_E_TYPEMISMATCH, static_cast<size_t>(source[i]));
        }
        s.arg = s.owned;
      } else {
        s.arg = *value;
      }
    } else if (value->vt == info.vt) {
      s.arg = *value;
    } else if ((info.vt & VT_ARRAY) && (value->vt & VT_ARRAY)) {
      // An array of any element type; a by-reference one is read through.
      s.arg.vt = info.vt;
      s.arg.parray = (value->vt & VT_BYREF) ? (value->pparray ? *value->pparray : nullptr) : value->parray;
    } else {
      HRESULT hr = VariantChangeType(&s.owned, value, 0, info.vt);
      if (FAILED(hr)) {
        cleanup();
        return fail(hr == DISP_E_OVERFLOW || hr == E_OUTOFMEMORY ? hr : DISP_E_TYPEMISMATCH,
                    static_cast<size_t>(source[i]));
      }
      s.arg = s.owned;
    }
  }

  int badArg = -1;
  HRESULT hr = m->thunk(self, args.data(), &badArg);
  if (badArg >= 0) {
    cleanup();
    size_t rg = badArg < static_cast<int>(nParams) && source[badArg] >= 0 ? static_cast<size_t>(source[badArg]) : 0;
    return fail(DISP_E_TYPEMISMATCH, rg);
  }
  if (FAILED(hr)) {
    // As a type library's Invoke does: the member's failure and the thread's
    // error information travel in EXCEPINFO.
    cleanup();
    if (pExcepInfo) {
      *pExcepInfo = EXCEPINFO{};
      pExcepInfo->scode = hr;
      IErrorInfo* info = nullptr;
      if (GetErrorInfo(0, &info) == S_OK && info) {
        info->GetSource(&pExcepInfo->bstrSource);
        info->GetDescription(&pExcepInfo->bstrDescription);
        info->GetHelpFile(&pExcepInfo->bstrHelpFile);
        info->GetHelpContext(&pExcepInfo->dwHelpContext);
        info->Release();
      }
    }
    return DISP_E_EXCEPTION;
  }

  for (size_t i = 0; i < nParams; ++i) {
    const DispParamInfo& info = m->params[i];
    if (IsRetval(info)) {
      const VARTYPE base = info.vt & ~VT_BYREF;
      if (base != VT_VARIANT) result.vt = base;
      // An array result carries its real element type.
      VARTYPE element;
      if ((base & VT_ARRAY) && result.parray && SafeArrayGetVartype(result.parray, &element) == S_OK)
        result.vt = VT_ARRAY | element;
    } else if (slots[i].writeBack != nullptr) {
      StoreInto(slots[i].writeBack, &slots[i].owned);
    }
  }
  cleanup();
  if (pVarResult) {
    *pVarResult = result;
  } else {
    VariantClear(&result);
  }
  return S_OK;
}

}  // namespace tesk
