// Component interfaces in the COM layout (abstract classes, no virtual
// destructor, methods in the Windows order) and per-thread error information.
//
// Contract: QueryInterface answers S_OK with a new reference or E_NOINTERFACE with *ppv null;
// every interface pointer a call hands out carries a reference the caller releases. Error
// information belongs to the thread that set it; GetErrorInfo hands over its reference.
#ifndef TESK_PLATFORM_INCLUDE_TESK_PLATFORM_COM_H_
#define TESK_PLATFORM_INCLUDE_TESK_PLATFORM_COM_H_

#include "tesk/platform/oleauto.h"
#include "tesk/platform/types.h"

#include <tesk/platform_export.h>

TESK_PLATFORM_BEGIN_API

inline constexpr IID IID_IUnknown{0x00000000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID IID_IClassFactory{0x00000001, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID IID_IDispatch{0x00020400, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID IID_ITypeInfo{0x00020401, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID IID_ISupportErrorInfo{0xDF0B3D60, 0x548F, 0x101B, {0x8E, 0x65, 0x08, 0x00, 0x2B, 0x2B, 0xD1, 0x19}};
inline constexpr IID IID_IErrorInfo{0x1CF2B120, 0x547D, 0x101B, {0x8E, 0x65, 0x08, 0x00, 0x2B, 0x2B, 0xD1, 0x19}};
inline constexpr IID IID_ICreateErrorInfo{0x22F03340, 0x547D, 0x101B, {0x8E, 0x65, 0x08, 0x00, 0x2B, 0x2B, 0xD1, 0x19}};
// Proxy/stub class of dual interfaces (what type-library registration names).
inline constexpr CLSID CLSID_PSOAInterface{0x00020424, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

struct IUnknown {
  virtual HRESULT QueryInterface(REFIID riid, void** ppvObject) = 0;
  virtual ULONG AddRef() = 0;
  virtual ULONG Release() = 0;
};
typedef IUnknown* LPUNKNOWN;

// Type information objects are not provided: GetTypeInfoCount answers 0. The
// dispatch table (dispatch.h) stands in for them.
struct ITypeInfo;

struct IDispatch : IUnknown {
  virtual HRESULT GetTypeInfoCount(UINT* pctinfo) = 0;
  virtual HRESULT GetTypeInfo(UINT iTInfo, LCID lcid, ITypeInfo** ppTInfo) = 0;
  virtual HRESULT GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID lcid, DISPID* rgDispId) = 0;
  virtual HRESULT Invoke(DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags, DISPPARAMS* pDispParams,
                         VARIANT* pVarResult, EXCEPINFO* pExcepInfo, UINT* puArgErr) = 0;
};
typedef IDispatch* LPDISPATCH;

struct IClassFactory : IUnknown {
  virtual HRESULT CreateInstance(IUnknown* pUnkOuter, REFIID riid, void** ppvObject) = 0;
  virtual HRESULT LockServer(BOOL fLock) = 0;
};

struct ISupportErrorInfo : IUnknown {
  virtual HRESULT InterfaceSupportsErrorInfo(REFIID riid) = 0;
};

struct IErrorInfo : IUnknown {
  virtual HRESULT GetGUID(GUID* pGUID) = 0;
  virtual HRESULT GetSource(BSTR* pBstrSource) = 0;
  virtual HRESULT GetDescription(BSTR* pBstrDescription) = 0;
  virtual HRESULT GetHelpFile(BSTR* pBstrHelpFile) = 0;
  virtual HRESULT GetHelpContext(DWORD* pdwHelpContext) = 0;
};

struct ICreateErrorInfo : IUnknown {
  virtual HRESULT SetGUID(REFGUID rguid) = 0;
  virtual HRESULT SetSource(LPOLESTR szSource) = 0;
  virtual HRESULT SetDescription(LPOLESTR szDescription) = 0;
  virtual HRESULT SetHelpFile(LPOLESTR szHelpFile) = 0;
  virtual HRESULT SetHelpContext(DWORD dwHelpContext) = 0;
};

// Error information of the calling thread. SetErrorInfo keeps a reference
// (nullptr clears); GetErrorInfo hands the object to the caller and clears
// the thread's slot, answering S_FALSE (and nullptr) when there is none.
HRESULT CreateErrorInfo(ICreateErrorInfo** pperrinfo);
HRESULT SetErrorInfo(ULONG dwReserved, IErrorInfo* perrinfo);
HRESULT GetErrorInfo(ULONG dwReserved, IErrorInfo** pperrinfo);

// The exports of an in-process server library.
typedef HRESULT (*LPFNGETCLASSOBJECT)(REFCLSID rclsid, REFIID riid, LPVOID* ppv);
typedef HRESULT (*LPFNCANUNLOADNOW)();
typedef HRESULT (*LPFNREGISTERSERVER)();

namespace tesk {
// The identifier of an interface type, for QueryInterface helpers:
//   TESK_DECLARE_INTERFACE(IVantor, IDispatch, IID_IVantor);
// names the base interface too, so that QueryInterface answers for the chain.
// Use it at global scope.
template <class I>
struct InterfaceTraits;
}  // namespace tesk

#define TESK_DECLARE_INTERFACE(I, BASE, IIDVALUE)            \
  template <>                                                \
  struct tesk::InterfaceTraits<I> {                          \
    using Base = BASE;                                       \
    static constexpr const IID& Iid() { return IIDVALUE; }   \
  }

template <>
struct tesk::InterfaceTraits<IUnknown> {
  using Base = void;
  static constexpr const IID& Iid() { return IID_IUnknown; }
};
TESK_DECLARE_INTERFACE(IDispatch, IUnknown, IID_IDispatch);
TESK_DECLARE_INTERFACE(IClassFactory, IUnknown, IID_IClassFactory);
TESK_DECLARE_INTERFACE(ISupportErrorInfo, IUnknown, IID_ISupportErrorInfo);
TESK_DECLARE_INTERFACE(IErrorInfo, IUnknown, IID_IErrorInfo);
TESK_DECLARE_INTERFACE(ICreateErrorInfo, IUnknown, IID_ICreateErrorInfo);

TESK_PLATFORM_END_API

#endif  // TESK_PLATFORM_INCLUDE_TESK_PLATFORM_COM_H_
