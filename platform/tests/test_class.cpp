// A tiny in-process server for the activation tests: one class, one custom interface, the four
// library exports and a lock count.
#include <tesk/platform/activation.h>

#include <atomic>

#include "test_class.h"

namespace {

std::atomic<LONG> g_locks{0};

class Thing final : public ITestThing {
 public:
  Thing() { ++g_locks; }
  ~Thing() { --g_locks; }
  HRESULT QueryInterface(REFIID riid, void** ppv) override {
    if (!ppv) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_ITestThing) {
      *ppv = static_cast<ITestThing*>(this);
      AddRef();
      return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
  }
  ULONG AddRef() override { return ++refs_; }
  ULONG Release() override {
    const ULONG n = --refs_;
    if (n == 0) delete this;
    return n;
  }
  HRESULT GetValue(LONG* value) override {
    if (!value) return E_POINTER;
    *value = 42;
    return S_OK;
  }

 private:
  std::atomic<ULONG> refs_{0};
};

class Factory final : public IClassFactory {
 public:
  HRESULT QueryInterface(REFIID riid, void** ppv) override {
    if (!ppv) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IClassFactory) {
      *ppv = static_cast<IClassFactory*>(this);
      AddRef();
      return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
  }
  ULONG AddRef() override { return 2; }  // static object
  ULONG Release() override { return 1; }
  HRESULT CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    Thing* t = new (std::nothrow) Thing;
    if (!t) return E_OUTOFMEMORY;
    t->AddRef();
    const HRESULT hr = t->QueryInterface(riid, ppv);
    t->Release();
    return hr;
  }
  HRESULT LockServer(BOOL lock) override {
    if (lock) ++g_locks;
    else --g_locks;
    return S_OK;
  }
};
Factory g_factory;

const tesk::ClassRegistration kClasses[] = {{&CLSID_TestThing, "TestThing Class",
                                             "TeskTest.Thing.1", "TeskTest.Thing", "Both",
                                             &LIBID_TestThing}};
const tesk::DispTable kThingTable{"ITestThing", &IID_ITestThing, {}};
const tesk::DispTable* const kInterfaces[] = {&kThingTable};
const tesk::TypeLibInfo kTypeLib{LIBID_TestThing, "TESKTESTLib", "TeskTest 1.0 Type Library", 1, 0,
                                 0x409, kInterfaces};

}  // namespace

extern "C" HRESULT DllGetClassObject(REFCLSID rclsid, REFIID riid, LPVOID* ppv) {
  if (!ppv) return E_POINTER;
  *ppv = nullptr;
  if (rclsid != CLSID_TestThing) return CLASS_E_CLASSNOTAVAILABLE;
  return g_factory.QueryInterface(riid, ppv);
}

extern "C" HRESULT DllCanUnloadNow() { return g_locks == 0 ? S_OK : S_FALSE; }

extern "C" HRESULT DllRegisterServer() {
  return tesk::RegisterServer(kClasses, &kTypeLib);
}

extern "C" HRESULT DllUnregisterServer() { return tesk::UnregisterServer(kClasses, &kTypeLib); }
