// Putting a property of a dialog object through IDispatch, as a late-bound client does: the
// value goes as the named argument DISPID_PROPERTYPUT.
#ifndef TESK_CHOOSER_TESTS_PROPERTY_PUT_H_
#define TESK_CHOOSER_TESTS_PROPERTY_PUT_H_

#include <string>

#include <tesk/platform.h>

namespace chooser_test {

inline HRESULT Put(IDispatch* d, DISPID id, VARIANT v) {
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS dp{&v, &named, 1, 1};
  return d->Invoke(id, IID_NULL, 0, DISPATCH_PROPERTYPUT, &dp, nullptr, nullptr, nullptr);
}

inline HRESULT PutText(IDispatch* d, DISPID id, const std::string& s) {
  tesk::Bstr b(s);
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BSTR;
  v.bstrVal = b.Get();
  return Put(d, id, v);
}

inline HRESULT PutLong(IDispatch* d, DISPID id, LONG n) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = n;
  return Put(d, id, v);
}

}  // namespace chooser_test

#endif  // TESK_CHOOSER_TESTS_PROPERTY_PUT_H_
