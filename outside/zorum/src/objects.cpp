// Shared pieces of the server's classes: lists in VARIANTs and the connection argument.
#include "objects.h"

namespace tesk::zorum {

ComModule& LibraryModule() {
  static ComModule module;
  return module;
}

BSTR Hand(const std::string& text) {
  BSTR b = AllocBstr(text);
  if (b == nullptr) throw std::bad_alloc();
  return b;
}

void PutList(VARIANT* out, const std::vector<std::string>& items) {
  if (out == nullptr) Throw(E_POINTER, "no result variant");
  SAFEARRAY* sa = SafeArrayCreateVector(VT_BSTR, 0, static_cast<ULONG>(items.size()));
  if (sa == nullptr) throw std::bad_alloc();
  for (LONG i = 0; i < static_cast<LONG>(items.size()); ++i) {
    Bstr b(items[static_cast<size_t>(i)]);
    if (FAILED(SafeArrayPutElement(sa, &i, b.Get()))) {
      SafeArrayDestroy(sa);
      throw std::bad_alloc();
    }
  }
  VariantClear(out);
  out->vt = VT_ARRAY | VT_BSTR;
  out->parray = sa;
}

std::vector<std::string> GetList(const VARIANT& in) {
  const VARIANT* v = &in;
  while (v->vt == (VT_VARIANT | VT_BYREF) && v->pvarVal) v = v->pvarVal;
  if (v->vt == VT_EMPTY) return {};
  SAFEARRAY* sa = nullptr;
  if (v->vt == (VT_ARRAY | VT_BSTR) || v->vt == (VT_ARRAY | VT_VARIANT)) sa = v->parray;
  else if ((v->vt == (VT_ARRAY | VT_BSTR | VT_BYREF) || v->vt == (VT_ARRAY | VT_VARIANT | VT_BYREF)) && v->pparray) sa = *v->pparray;
  if (sa == nullptr || SafeArrayGetDim(sa) != 1) Throw(E_INVALIDARG, "expected a one-dimensional array of strings");
  LONG lo = 0, hi = -1;
  SafeArrayGetLBound(sa, 1, &lo);
  SafeArrayGetUBound(sa, 1, &hi);
  std::vector<std::string> out;
  for (LONG i = lo; i <= hi; ++i) {
    Variant e;
    if ((v->vt & VT_TYPEMASK) == VT_BSTR) {
      BSTR b = nullptr;
      if (FAILED(SafeArrayGetElement(sa, &i, &b))) Throw(E_INVALIDARG, "unreadable array element");
      out.push_back(FromBstr(b));
      SysFreeString(b);
      continue;
    }
    if (FAILED(SafeArrayGetElement(sa, &i, &e)) || e.vt != VT_BSTR) Throw(E_INVALIDARG, "array elements must be strings");
    out.push_back(FromBstr(e.bstrVal));
  }
  return out;
}

Database& ConnectionDatabase(IDispatch* connection) {
  if (connection == nullptr) Throw(E_POINTER, "no connection");
  ComPtr<IZorumConnectionInternal> c;
  if (FAILED(connection->QueryInterface(IID_IZorumConnectionInternal, c.PutVoid())))
    Throw(E_INVALIDARG, "the connection is not one of this server's");
  CheckFault(c->BoundServer());
  Database* db = c->OpenDatabaseOrNull();
  if (db == nullptr) Throw(E_FAIL, "the connection is not open");
  return *db;
}

}  // namespace tesk::zorum
