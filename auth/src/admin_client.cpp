#include "admin_client.h"

#include <memory>

#include <tesk/zorum.h>

#include "event_log.h"

namespace tesk::rolvane {
namespace {

HRESULT IdOf(IDispatch* object, const char* name, DISPID* id) {
  std::u16string wide = ToWide(name);
  LPOLESTR names[] = {wide.data()};
  return object->GetIDsOfNames(IID_NULL, names, 1, 0, id);
}

// Invoke, with a failure raised by the member (DISP_E_EXCEPTION) answered as its own code.
HRESULT InvokeMember(IDispatch* object, const char* name, WORD flags, DISPPARAMS* params, VARIANT* result) {
  DISPID id;
  HRESULT hr = IdOf(object, name, &id);
  if (FAILED(hr)) return hr;
  EXCEPINFO info{};
  UINT bad = 0;
  hr = object->Invoke(id, IID_NULL, 0, flags, params, result, &info, &bad);
  if (hr == DISP_E_EXCEPTION) {
    if (info.pfnDeferredFillIn) info.pfnDeferredFillIn(&info);
    if (FAILED(info.scode)) hr = info.scode;
  }
  SysFreeString(info.bstrSource);
  SysFreeString(info.bstrDescription);
  SysFreeString(info.bstrHelpFile);
  return hr;
}

}  // namespace

bool TextsOf(const VARIANT& v, Strings* out) {
  out->clear();
  const VARIANT* value = &v;
  if (value->vt == (VT_VARIANT | VT_BYREF)) {
    if (!value->pvarVal) return false;
    value = value->pvarVal;
  }
  if (value->vt == VT_EMPTY) return true;
  if (value->vt != (VT_ARRAY | VT_BSTR) && value->vt != (VT_ARRAY | VT_VARIANT)) return false;
  SAFEARRAY* sa = value->parray;
  if (!sa) return true;
  if (SafeArrayGetDim(sa) != 1) return false;
  LONG lo, hi;
  if (FAILED(SafeArrayGetLBound(sa, 1, &lo)) || FAILED(SafeArrayGetUBound(sa, 1, &hi))) return false;
  for (LONG i = lo; i <= hi; ++i) {
    if ((value->vt & VT_TYPEMASK) == VT_BSTR) {
      BSTR b = nullptr;
      if (FAILED(SafeArrayGetElement(sa, &i, &b))) return false;
      out->push_back(FromBstr(b));
      SysFreeString(b);
    } else {
      Variant item;
      if (FAILED(SafeArrayGetElement(sa, &i, &item))) return false;
      if (item.vt != VT_BSTR) return false;
      out->push_back(FromBstr(item.bstrVal));
    }
  }
  return true;
}

HRESULT GetTextProperty(IDispatch* object, const char* name, std::string* value) {
  value->clear();
  if (!object) return E_POINTER;
  DISPPARAMS none{nullptr, nullptr, 0, 0};
  Variant result;
  HRESULT hr = InvokeMember(object, name, DISPATCH_PROPERTYGET, &none, &result);
  if (FAILED(hr)) return hr;
  if (result.vt != VT_BSTR) {
    Variant text;
    if (FAILED(VariantChangeType(&text, &result, 0, VT_BSTR))) return DISP_E_TYPEMISMATCH;
    *value = FromBstr(text.bstrVal);
  } else {
    *value = FromBstr(result.bstrVal);
  }
  return S_OK;
}

HRESULT AdminClient::Connect(const std::string& server) {
  admin_.Reset();
  std::u16string name = ToWide(server);
  COSERVERINFO info{0, name.data(), nullptr, 0};
  MULTI_QI qi{&IID_IDispatch, nullptr, S_OK};
  HRESULT hr = CoCreateInstanceEx(CLSID_KestAdmin, nullptr, CLSCTX_ALL, server.empty() ? nullptr : &info, 1, &qi);
  if (SUCCEEDED(hr) && FAILED(qi.hr)) hr = qi.hr;
  if (FAILED(hr) || !qi.pItf) {
    if (qi.pItf) qi.pItf->Release();
    LogEvent("Unable to get KestAdmin pointer");
    return FAILED(hr) ? hr : E_NOINTERFACE;
  }
  admin_ = static_cast<IDispatch*>(qi.pItf);
  qi.pItf->Release();  // admin_ holds its own reference
  return S_OK;
}

HRESULT AdminClient::Call(const char* name, const std::vector<std::string>& in, std::vector<Strings*> outs) {
  if (!admin_) return E_POINTER;
  const size_t n = in.size() + outs.size();
  // Arguments go in reverse order; out arrays as VARIANTs by reference.
  std::vector<Bstr> texts;
  texts.reserve(in.size());
  for (const std::string& s : in) texts.emplace_back(s);
  std::unique_ptr<Variant[]> results(new Variant[outs.size()]);
  std::vector<VARIANTARG> args(n);
  for (size_t i = 0; i < n; ++i) {
    VARIANTARG& a = args[n - 1 - i];
    VariantInit(&a);
    if (i < in.size()) {
      a.vt = VT_BSTR;
      a.bstrVal = texts[i].Get();
    } else {
      a.vt = VT_VARIANT | VT_BYREF;
      a.pvarVal = &results[i - in.size()];
    }
  }
  DISPPARAMS params{args.data(), nullptr, static_cast<UINT>(n), 0};
  Variant ignored;
  HRESULT hr = InvokeMember(admin_.Get(), name, DISPATCH_METHOD, &params, &ignored);
  if (FAILED(hr)) return hr;
  for (size_t i = 0; i < outs.size(); ++i) {
    if (!TextsOf(results[i], outs[i])) return DISP_E_TYPEMISMATCH;
  }
  return S_OK;
}

HRESULT AdminClient::ListRoles(Strings* servers, Strings* databases, Strings* roles) {
  HRESULT hr = Call("ListRoles", {}, {servers, databases, roles});
  if (SUCCEEDED(hr) && (servers->size() != roles->size() || databases->size() != roles->size())) {
    return DISP_E_BADINDEX;  // the three lists must be parallel
  }
  return hr;
}

HRESULT AdminClient::ListRoleMembers(const std::string& role, const std::string& server,
                                     const std::string& database, Strings* pairs) {
  return Call("ListRoleMembers", {role, server, database}, {pairs});
}

HRESULT AdminClient::ListRoleFunctions(Strings* functions) { return Call("ListRoleFunctions", {}, {functions}); }

HRESULT AdminClient::GetRoleFunctionFlags(const std::string& role, const std::string& function, Strings* flags) {
  return Call("GetRoleFunctionFlags", {role, function}, {flags});
}

HRESULT AdminClient::ListDomainGroups(const std::string& domain, Strings* groups) {
  return Call("ListDomainGroups", {domain}, {groups});
}

HRESULT AdminClient::ListGroupMembers(const std::string& domain, const std::string& group, Strings* members) {
  return Call("ListGroupMembers", {domain, group}, {members});
}

}  // namespace tesk::rolvane
