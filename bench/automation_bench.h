// What the object-model benchmarks share: the class objects of libtarvex, and the baseline they
// measure against (minimal reference-counted automation objects in a SAFEARRAY of IDispatch*).
#ifndef TESK_BENCH_AUTOMATION_BENCH_H_
#define TESK_BENCH_AUTOMATION_BENCH_H_

#include <dlfcn.h>

#include <atomic>

#include <tesk/tarvex.h>

namespace tesk::bench {

// An object of libtarvex made through its own DllGetClassObject (every server library of the
// kit exports one, so the symbol is looked up in that library alone); null on failure.
template <typename Interface>
ComPtr<Interface> NewTarvexObject(const CLSID& clsid, const IID& iid) {
  static const auto getClassObject = [] {
    void* lib = dlopen("libtarvex.so", RTLD_NOW);
    return lib ? reinterpret_cast<LPFNGETCLASSOBJECT>(dlsym(lib, "DllGetClassObject")) : nullptr;
  }();
  ComPtr<IClassFactory> factory;
  ComPtr<Interface> object;
  if (getClassObject != nullptr && SUCCEEDED(getClassObject(clsid, IID_IClassFactory, factory.PutVoid())))
    factory->CreateInstance(nullptr, iid, object.PutVoid());
  return object;
}

// The smallest reference-counted automation object.
class MinimalObject final : public IDispatch {
 public:
  HRESULT QueryInterface(REFIID riid, void** ppv) override {
    if (riid == IID_IUnknown || riid == IID_IDispatch) {
      AddRef();
      *ppv = this;
      return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
  }
  ULONG AddRef() override { return refs_.fetch_add(1, std::memory_order_relaxed) + 1; }
  ULONG Release() override {
    ULONG n = refs_.fetch_sub(1, std::memory_order_acq_rel) - 1;
    if (n == 0) delete this;
    return n;
  }
  HRESULT GetTypeInfoCount(UINT* n) override {
    *n = 0;
    return S_OK;
  }
  HRESULT GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override { return E_NOTIMPL; }

 private:
  std::atomic<ULONG> refs_{1};
};

// The baseline: `count` minimal objects put into a new SAFEARRAY of IDispatch* in `out`.
inline void MinimalObjectsInArray(VARIANT& out, LONG count) {
  SAFEARRAY* array = SafeArrayCreateVector(VT_DISPATCH, 0, count);
  IDispatch** slots = nullptr;
  SafeArrayAccessData(array, reinterpret_cast<void**>(&slots));
  for (LONG i = 0; i < count; ++i) slots[i] = new MinimalObject;
  SafeArrayUnaccessData(array);
  out.vt = VT_ARRAY | VT_DISPATCH;
  out.parray = array;
}

}  // namespace tesk::bench

#endif  // TESK_BENCH_AUTOMATION_BENCH_H_
