// A component whose references the tests can count, with a default property
// (DISPID_VALUE) that answers its `value`.
#ifndef TESK_PLATFORM_TESTS_COUNTED_H_
#define TESK_PLATFORM_TESTS_COUNTED_H_

#include "tesk/platform.h"

namespace testing_support {

class Counted final : public tesk::ComClass<Counted, IDispatch> {
 public:
  explicit Counted(LONG value = 0) : value_(value) {}
  static Counted* New(LONG value = 0) {
    auto* c = new Counted(value);
    c->AddRef();
    return c;
  }
  ULONG Refs() {
    AddRef();
    return Release();
  }
  HRESULT GetTypeInfoCount(UINT* n) noexcept override {
    *n = 0;
    return S_OK;
  }
  HRESULT GetTypeInfo(UINT, LCID, ITypeInfo**) noexcept override { return DISP_E_BADINDEX; }
  HRESULT GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) noexcept override { return DISP_E_UNKNOWNNAME; }
  HRESULT Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT* result, EXCEPINFO*, UINT*) noexcept override {
    if (id != DISPID_VALUE) return DISP_E_MEMBERNOTFOUND;
    if (result) {
      result->vt = VT_I4;
      result->lVal = value_;
    }
    return S_OK;
  }

 private:
  LONG value_;
};

}  // namespace testing_support

#endif  // TESK_PLATFORM_TESTS_COUNTED_H_
