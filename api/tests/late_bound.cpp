#include "late_bound.h"

#include <dlfcn.h>

#include <cstdlib>

namespace tarvex_test {

tesk::ComPtr<IDispatch> Create(const CLSID& clsid) {
  static const auto getClassObject = [] {
    // The full path: under the address sanitizer dlopen is intercepted, so a bare name would be
    // searched with the sanitizer runtime's paths rather than this program's.
    void* lib = dlopen(TARVEX_LIBRARY, RTLD_NOW);
    return lib ? reinterpret_cast<LPFNGETCLASSOBJECT>(dlsym(lib, "DllGetClassObject")) : nullptr;
  }();
  tesk::ComPtr<IClassFactory> factory;
  tesk::ComPtr<IDispatch> object;
  if (getClassObject != nullptr && SUCCEEDED(getClassObject(clsid, IID_IClassFactory, factory.PutVoid())))
    factory->CreateInstance(nullptr, IID_IDispatch, object.PutVoid());
  return object;
}

std::string AsText(const VARIANT& v) {
  tesk::Variant t;
  if (FAILED(VariantChangeType(&t, &v, 0, VT_BSTR))) return "<not text>";
  return tesk::FromBstr(t.bstrVal);
}
LONG AsLong(const VARIANT& v) {
  tesk::Variant t;
  if (FAILED(VariantChangeType(&t, &v, 0, VT_I4))) return -999999;
  return t.lVal;
}
float AsFloat(const VARIANT& v) {
  tesk::Variant t;
  if (FAILED(VariantChangeType(&t, &v, 0, VT_R4))) return -999999.0f;
  return t.fltVal;
}

SeenError TakeError() {
  SeenError seen;
  IErrorInfo* info = nullptr;
  if (GetErrorInfo(0, &info) != S_OK || info == nullptr) return seen;
  tesk::Bstr d, s;
  info->GetDescription(&d);
  info->GetSource(&s);
  info->GetGUID(&seen.iid);
  info->Release();
  seen.description = d.Narrow();
  seen.source = s.Narrow();
  return seen;
}

DISPID Late::Id(const std::string& member) const {
  if (!member.empty() && member[0] == '#') return static_cast<DISPID>(std::atoi(member.c_str() + 1));
  std::u16string wide = tesk::ToWide(member);
  LPOLESTR names[] = {wide.data()};
  DISPID id = DISPID_UNKNOWN;
  d_->GetIDsOfNames(IID_NULL, names, 1, 0x409, &id);
  return id;
}

HRESULT Late::Invoke(const std::string& member, WORD flags, std::vector<VARIANT> args, VARIANT* result) const {
  std::vector<VARIANT> reversed(args.rbegin(), args.rend());
  DISPPARAMS dp{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
  DISPID put = DISPID_PROPERTYPUT;
  if (flags & DISPATCH_PROPERTYPUT) {
    dp.rgdispidNamedArgs = &put;
    dp.cNamedArgs = 1;
  }
  EXCEPINFO ex{};
  UINT bad = 0;
  HRESULT hr = d_->Invoke(Id(member), IID_NULL, 0x409, flags, &dp, result, &ex, &bad);
  last_ = SeenError{};
  if (hr == DISP_E_EXCEPTION) {
    last_.description = tesk::FromBstr(ex.bstrDescription);
    last_.source = tesk::FromBstr(ex.bstrSource);
  }
  SysFreeString(ex.bstrSource);
  SysFreeString(ex.bstrDescription);
  SysFreeString(ex.bstrHelpFile);
  for (VARIANT& v : args)
    if (v.vt == VT_BSTR) VariantClear(&v);
  // A member's failure arrives as DISP_E_EXCEPTION with its code in EXCEPINFO.
  if (hr == DISP_E_EXCEPTION && ex.scode != 0) return ex.scode;
  return hr;
}

HRESULT Late::Put(const std::string& member, const std::string& value) const {
  return Invoke(member, DISPATCH_PROPERTYPUT, {Text(value)}, nullptr);
}

std::string Late::Str(const std::string& member) const {
  tesk::Variant r;
  EXPECT_EQ(Invoke(member, DISPATCH_PROPERTYGET, {}, &r), S_OK) << member;
  return AsText(r);
}
LONG Late::Num(const std::string& member) const {
  tesk::Variant r;
  EXPECT_EQ(Invoke(member, DISPATCH_PROPERTYGET, {}, &r), S_OK) << member;
  return AsLong(r);
}
float Late::Real(const std::string& member) const {
  tesk::Variant r;
  EXPECT_EQ(Invoke(member, DISPATCH_PROPERTYGET, {}, &r), S_OK) << member;
  return AsFloat(r);
}
LONG Late::NumAt(const std::string& member, LONG x, LONG y) const {
  tesk::Variant r;
  EXPECT_EQ(Call(member, {Long(x), Long(y)}, &r), S_OK) << member;
  return AsLong(r);
}
float Late::RealAt(const std::string& member, LONG x, LONG y) const {
  tesk::Variant r;
  EXPECT_EQ(Call(member, {Long(x), Long(y)}, &r), S_OK) << member;
  return AsFloat(r);
}

std::vector<Late> Items(const VARIANT& v) {
  std::vector<Late> items;
  if (v.vt != (VT_ARRAY | VT_DISPATCH)) return items;
  LONG lower = -1, upper = -2;
  SafeArrayGetLBound(v.parray, 1, &lower);
  SafeArrayGetUBound(v.parray, 1, &upper);
  EXPECT_EQ(lower, 0);
  for (LONG i = 0; i <= upper; ++i) {
    IDispatch* item = nullptr;
    SafeArrayGetElement(v.parray, &i, &item);
    items.emplace_back(tesk::ComPtr<IDispatch>(item));
    if (item) item->Release();
  }
  return items;
}

}  // namespace tarvex_test
