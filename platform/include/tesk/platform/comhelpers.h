// Helpers for implementing components: reference counting and
// QueryInterface, IDispatch from a table, class factories, the module lock
// count behind DllCanUnloadNow, rich error reporting, and small owners of
// interface pointers, BSTRs and VARIANTs.
//
//   class CVantor final : public tesk::ComClass<CVantor, tesk::DispatchImpl<IVantor>, ISupportErrorInfo> {
//    public:
//     static tesk::ComModule& Module();   // the library's own lock count
//     ...
//   };
//   // in DllGetClassObject:  return tesk::ClassFactory<CVantor>::Get(riid, ppv);
//
// Contract: reference counts and module lock counts are atomic, so objects built on ComClass
// may be AddRef'd and Released from any thread; whatever else an object does across threads is
// up to the object. CreateComObject and ClassFactory answer E_POINTER, CLASS_E_NOAGGREGATION,
// E_OUTOFMEMORY or E_NOINTERFACE with *ppv null. ComPtr, Bstr and Variant own what they hold
// and free it when they go; Detach hands it to the caller.
#ifndef TESK_PLATFORM_INCLUDE_TESK_PLATFORM_COMHELPERS_H_
#define TESK_PLATFORM_INCLUDE_TESK_PLATFORM_COMHELPERS_H_

#include "tesk/platform/com.h"
#include "tesk/platform/dispatch.h"

#include <atomic>
#include <memory>
#include <new>
#include <string_view>
#include <type_traits>
#include <utility>

#include <tesk/platform_export.h>

TESK_PLATFORM_BEGIN_API

namespace tesk {

// Live objects and server locks of one library. Each library owns one (it
// must not live in a shared header: every library answers DllCanUnloadNow
// for itself).
class ComModule {
 public:
  void Lock() noexcept { count_.fetch_add(1, std::memory_order_relaxed); }
  void Unlock() noexcept { count_.fetch_sub(1, std::memory_order_acq_rel); }
  LONG LockCount() const noexcept { return count_.load(std::memory_order_acquire); }
  // What DllCanUnloadNow answers.
  HRESULT CanUnloadNow() const noexcept { return LockCount() == 0 ? S_OK : S_FALSE; }

 private:
  std::atomic<LONG> count_{0};
};

namespace detail {
template <class B>
struct InterfaceOf {
  using type = B;
};
template <class B>
  requires requires { typename B::Interface; }
struct InterfaceOf<B> {
  using type = typename B::Interface;
};

// Finds riid along I's inheritance chain.
template <class I>
constexpr bool ChainHas(REFIID riid) {
  if (InterfaceTraits<I>::Iid() == riid) return true;
  if constexpr (!std::is_void_v<typename InterfaceTraits<I>::Base>) {
    return ChainHas<typename InterfaceTraits<I>::Base>(riid);
  } else {
    return false;
  }
}

template <class D>
concept HasModule = requires { D::Module(); };
}  // namespace detail

// Reference counting and QueryInterface for a class that implements
// `Bases...` (interfaces, or DispatchImpl<I> for a dual interface I).
// QueryInterface answers every interface of each base's chain, the first
// base winning (IUnknown and IDispatch come from the first base). When
// Derived has a static Module(), each live object holds a module lock.
template <class Derived, class... Bases>
class ComClass : public Bases... {
 public:
  HRESULT QueryInterface(REFIID riid, void** ppv) noexcept override {
    if (ppv == nullptr) return E_POINTER;
    *ppv = nullptr;
    (void)(... || TryBase<Bases>(riid, ppv));
    return *ppv == nullptr ? E_NOINTERFACE : S_OK;
  }
  ULONG AddRef() noexcept override { return refs_.fetch_add(1, std::memory_order_relaxed) + 1; }
  ULONG Release() noexcept override {
    ULONG n = refs_.fetch_sub(1, std::memory_order_acq_rel) - 1;
    if (n == 0) delete this;
    return n;
  }

 protected:
  ComClass() noexcept {
    if constexpr (detail::HasModule<Derived>) Derived::Module().Lock();
  }
  virtual ~ComClass() {
    if constexpr (detail::HasModule<Derived>) Derived::Module().Unlock();
  }
  ComClass(const ComClass&) = delete;
  ComClass& operator=(const ComClass&) = delete;

 private:
  template <class B>
  bool TryBase(REFIID riid, void** ppv) noexcept {
    using I = typename detail::InterfaceOf<B>::type;
    if (!detail::ChainHas<I>(riid)) return false;
    I* p = static_cast<I*>(static_cast<B*>(this));
    p->AddRef();
    *ppv = p;
    return true;
  }
  std::atomic<ULONG> refs_{0};
};

// IDispatch of the dual interface I, served from the table
// DispatchTable<I>() (specialise DispatchTableOf<I> or give I a trait).
template <class I>
struct DispatchTableOf;  // static const DispTable& Get();

template <class I>
class DispatchImpl : public I {
 public:
  using Interface = I;
  HRESULT GetTypeInfoCount(UINT* pctinfo) noexcept override {
    if (pctinfo == nullptr) return E_POINTER;
    *pctinfo = 0;
    return S_OK;
  }
  HRESULT GetTypeInfo(UINT, LCID, ITypeInfo** ppTInfo) noexcept override {
    if (ppTInfo != nullptr) *ppTInfo = nullptr;
    return DISP_E_BADINDEX;
  }
  HRESULT GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID, DISPID* rgDispId) noexcept override {
    if (!(riid == IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
    return DispGetIDsOfNames(DispatchTableOf<I>::Get(), rgszNames, cNames, rgDispId);
  }
  HRESULT Invoke(DISPID id, REFIID riid, LCID, WORD wFlags, DISPPARAMS* pDispParams, VARIANT* pVarResult,
                 EXCEPINFO* pExcepInfo, UINT* puArgErr) noexcept override {
    if (!(riid == IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
    return DispInvoke(DispatchTableOf<I>::Get(), static_cast<I*>(this), id, wFlags, pDispParams, pVarResult,
                      pExcepInfo, puArgErr);
  }
};

// ISupportErrorInfo answering S_OK for the interface I and S_FALSE for any
// other; list it among ComClass's bases.
template <class I>
class SupportErrorInfoFor : public ISupportErrorInfo {
 public:
  using Interface = ISupportErrorInfo;
  HRESULT InterfaceSupportsErrorInfo(REFIID riid) noexcept override {
    return riid == InterfaceTraits<I>::Iid() ? S_OK : S_FALSE;
  }
};

// Creates a T (default-constructed, or from args) and asks it for riid.
// Answers E_OUTOFMEMORY when allocation or T's constructor throws bad_alloc.
template <class T, class... A>
HRESULT CreateComObject(REFIID riid, void** ppv, A&&... args) noexcept {
  if (ppv == nullptr) return E_POINTER;
  *ppv = nullptr;
  T* obj = nullptr;
  try {
    obj = new T(std::forward<A>(args)...);
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_FAIL;
  }
  obj->AddRef();
  HRESULT hr = obj->QueryInterface(riid, ppv);
  obj->Release();
  return hr;
}

// The class factory of T. Factories themselves do not keep the library
// loaded; LockServer does.
template <class T>
class ClassFactory final : public ComClass<ClassFactory<T>, IClassFactory> {
 public:
  HRESULT CreateInstance(IUnknown* pUnkOuter, REFIID riid, void** ppv) noexcept override {
    if (ppv == nullptr) return E_POINTER;
    *ppv = nullptr;
    if (pUnkOuter != nullptr) return CLASS_E_NOAGGREGATION;
    return CreateComObject<T>(riid, ppv);
  }
  HRESULT LockServer(BOOL fLock) noexcept override {
    if (fLock)
      T::Module().Lock();
    else
      T::Module().Unlock();
    return S_OK;
  }
  // What DllGetClassObject answers for T.
  static HRESULT Get(REFIID riid, void** ppv) noexcept { return CreateComObject<ClassFactory<T>>(riid, ppv); }
};

// A table of the classes of one library, for DllGetClassObject.
struct ClassEntry {
  const CLSID* clsid;
  HRESULT (*getFactory)(REFIID riid, void** ppv);
};
// Answers CLASS_E_CLASSNOTAVAILABLE for a class not in the table.
HRESULT GetClassObjectFromTable(std::span<const ClassEntry> classes, REFCLSID rclsid, REFIID riid, void** ppv);

// Sets the thread's error information (source, interface, description; no
// help file) and returns hr, so that a member can `return ReportError(...)`.
HRESULT ReportError(std::string_view source, REFIID iid, std::string_view description, HRESULT hr = E_FAIL);
// The description of the thread's error information without consuming it
// (empty when there is none) — for tests and command-line tools.
std::string PeekErrorDescription();

// Owns one reference to an interface.
template <class T>
class ComPtr {
 public:
  ComPtr() = default;
  ComPtr(T* p) : p_(p) {  // NOLINT: adds a reference, as CComPtr does
    if (p_) p_->AddRef();
  }
  ComPtr(const ComPtr& o) : ComPtr(o.p_) {}
  ComPtr(ComPtr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
  ComPtr& operator=(ComPtr o) noexcept {
    std::swap(p_, o.p_);
    return *this;
  }
  ~ComPtr() { Reset(); }
  void Reset() noexcept {
    if (p_) std::exchange(p_, nullptr)->Release();
  }
  // For out parameters: releases the current pointer first.
  T** operator&() noexcept {
    Reset();
    return &p_;
  }
  void** PutVoid() noexcept {
    Reset();
    return reinterpret_cast<void**>(&p_);
  }
  T* operator->() const noexcept { return p_; }
  T* Get() const noexcept { return p_; }
  T* Detach() noexcept { return std::exchange(p_, nullptr); }
  explicit operator bool() const noexcept { return p_ != nullptr; }
  template <class U>
  HRESULT As(ComPtr<U>& out) const noexcept {
    return p_ ? p_->QueryInterface(InterfaceTraits<U>::Iid(), out.PutVoid()) : E_POINTER;
  }

 private:
  T* p_ = nullptr;
};

// Owns a BSTR.
class Bstr {
 public:
  Bstr() = default;
  explicit Bstr(std::string_view narrow) : b_(AllocBstr(narrow)) {}
  explicit Bstr(std::u16string_view wide)
      : b_(SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()))) {}
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  Bstr(Bstr&& o) noexcept : b_(std::exchange(o.b_, nullptr)) {}
  Bstr& operator=(Bstr&& o) noexcept {
    if (this != std::addressof(o)) {
      SysFreeString(b_);
      b_ = std::exchange(o.b_, nullptr);
    }
    return *this;
  }
  ~Bstr() { SysFreeString(b_); }
  BSTR Get() const noexcept { return b_; }
  BSTR* operator&() noexcept {
    SysFreeString(std::exchange(b_, nullptr));
    return &b_;
  }
  BSTR Detach() noexcept { return std::exchange(b_, nullptr); }
  UINT Length() const noexcept { return SysStringLen(b_); }
  std::string Narrow() const { return FromBstr(b_); }
  std::u16string_view View() const noexcept { return BstrView(b_); }

 private:
  BSTR b_ = nullptr;
};

// Owns a VARIANT (cleared on destruction).
class Variant : public VARIANT {
 public:
  Variant() noexcept { VariantInit(this); }
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;
  ~Variant() { VariantClear(this); }
};

}  // namespace tesk

TESK_PLATFORM_END_API

#endif  // TESK_PLATFORM_INCLUDE_TESK_PLATFORM_COMHELPERS_H_
