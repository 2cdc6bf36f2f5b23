// IDispatch served from a table of members per interface. The table also
// stands in for the type library: registration lists its keys from it.
//
//   static constexpr tesk::DispMember kMembers[] = {
//       tesk::DispMethod<&IVantor::IsZorumInstalled, tesk::kRetval>("IsZorumInstalled", 1),
//       tesk::DispPropGet<&IFoo::get_Name>("Name", 2),
//       tesk::DispPropPut<&IFoo::put_Name>("Name", 2),
//   };
//   static constexpr tesk::DispTable kTable{"IVantor", &IID_IVantor, kMembers};
//
// Invoke follows the Windows rules: arguments arrive in reverse order;
// [out] arguments are VT_BYREF variants (of the exact type, or of
// VT_VARIANT); an [out, retval] value is returned in pVarResult; a put takes
// its value as the named argument DISPID_PROPERTYPUT; [in] arguments are
// converted with VariantChangeType; names compare without regard to case. A
// failing member answers DISP_E_EXCEPTION with EXCEPINFO filled from the
// thread's error information.
//
// Contract of DispInvoke and DispGetIDsOfNames:
//  - Results: S_OK; DISP_E_UNKNOWNNAME, DISP_E_MEMBERNOTFOUND, DISP_E_BADPARAMCOUNT,
//    DISP_E_PARAMNOTFOUND, DISP_E_PARAMNOTOPTIONAL, DISP_E_TYPEMISMATCH and DISP_E_OVERFLOW
//    (with *puArgErr naming the argument), E_INVALIDARG, E_OUTOFMEMORY; DISP_E_EXCEPTION when
//    the member failed.
//  - pVarResult and the [out] arguments are written only when the call succeeds; the result
//    is the caller's (VariantClear). The caller's [in] arguments are never changed.
//  - Tables are constant data: any number of threads may serve calls from one table.
#ifndef TESK_PLATFORM_INCLUDE_TESK_PLATFORM_DISPATCH_H_
#define TESK_PLATFORM_INCLUDE_TESK_PLATFORM_DISPATCH_H_

#include "tesk/platform/com.h"

#include <array>
#include <cstring>
#include <span>
#include <string>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <utility>
#include <vector>

#include <tesk/platform_export.h>

TESK_PLATFORM_BEGIN_API

namespace tesk {

struct DispParamInfo {
  VARTYPE vt;             // VT_BYREF is set for [out], [in,out] and [retval]
  USHORT flags;           // PARAMFLAG_FIN, PARAMFLAG_FOUT, PARAMFLAG_FRETVAL
  const char* name = nullptr;  // for named arguments; may be null
};

// Calls the member on `self` (a pointer to the table's interface) with one
// variant per parameter, each already of the parameter's type (by-reference
// parameters as VT_BYREF variants). Sets *badArg to a parameter index and
// answers DISP_E_TYPEMISMATCH when an interface argument is of the wrong kind.
using DispThunk = HRESULT (*)(void* self, VARIANT* const* args, int* badArg);

struct DispMember {
  const char* name;
  DISPID id;
  WORD kind;  // DISPATCH_METHOD, DISPATCH_PROPERTYGET or DISPATCH_PROPERTYPUT
  std::span<const DispParamInfo> params;
  DispThunk thunk;
};

struct DispTable {
  const char* name;  // interface name, e.g. "IVantor"
  const IID* iid;
  std::span<const DispMember> members;
};

// Serve IDispatch::GetIDsOfNames and IDispatch::Invoke from a table. `self`
// is the object as a pointer to the table's interface.
HRESULT DispGetIDsOfNames(const DispTable& table, LPOLESTR* rgszNames, UINT cNames, DISPID* rgDispId);
HRESULT DispInvoke(const DispTable& table, void* self, DISPID dispIdMember, WORD wFlags,
                   DISPPARAMS* pDispParams, VARIANT* pVarResult, EXCEPINFO* pExcepInfo, UINT* puArgErr);

// ---- Type library stand-in -------------------------------------------------

struct TypeLibInfo {
  GUID libid;
  const char* name;        // e.g. "TARVEXLib"
  const char* helpString;  // e.g. "Tarvex 1.0 Type Library"
  WORD majorVersion;
  WORD minorVersion;
  LCID lcid;
  std::span<const DispTable* const> interfaces;
};

// One registry value under HKEY_CLASSES_ROOT; valueName "" is the key's
// default value.
struct RegistryEntry {
  std::string key;
  std::string valueName;
  std::string value;
};

// The keys and values that registering the type library writes:
//   TypeLib\{libid}\<maj>.<min>            = helpString
//   TypeLib\{libid}\<maj>.<min>\FLAGS      = "0"
//   TypeLib\{libid}\<maj>.<min>\HELPDIR    = directory of libraryPath
//   TypeLib\{libid}\<maj>.<min>\<lcid>\win64 = libraryPath   (lcid in hex)
//   Interface\{iid}                        = interface name
//   Interface\{iid}\ProxyStubClsid(32)     = {00020424-0000-0000-C000-000000000046}
//   Interface\{iid}\TypeLib                = {libid}, value Version = "<maj>.<min>"
std::vector<RegistryEntry> TypeLibRegistryEntries(const TypeLibInfo& lib, std::string_view libraryPath);
// The key trees that unregistering removes: "TypeLib\{libid}\<maj>.<min>",
// then "TypeLib\{libid}" (to remove only when left empty), and each
// "Interface\{iid}".
std::vector<std::string> TypeLibRegistryKeys(const TypeLibInfo& lib);
// A readable listing of the library: interfaces, members, identifiers, kinds
// and argument types, in interface-definition style.
std::string DescribeTypeLib(const TypeLibInfo& lib);
// "VT_I4", "VT_BSTR|VT_BYREF", ... for listings and messages.
std::string VarTypeName(VARTYPE vt);

// ---- Building tables from member functions ---------------------------------

inline constexpr unsigned kRetval = 1;  // the last parameter is [out, retval]

namespace detail {

template <class T>
struct ValueVt {
  static constexpr VARTYPE vt = VT_EMPTY;
};
template <> struct ValueVt<signed char> { static constexpr VARTYPE vt = VT_I1; };
template <> struct ValueVt<char> { static constexpr VARTYPE vt = VT_I1; };
template <> struct ValueVt<BYTE> { static constexpr VARTYPE vt = VT_UI1; };
template <> struct ValueVt<SHORT> { static constexpr VARTYPE vt = VT_I2; };
template <> struct ValueVt<USHORT> { static constexpr VARTYPE vt = VT_UI2; };
template <> struct ValueVt<LONG> { static constexpr VARTYPE vt = VT_I4; };
template <> struct ValueVt<ULONG> { static constexpr VARTYPE vt = VT_UI4; };
template <> struct ValueVt<LONGLONG> { static constexpr VARTYPE vt = VT_I8; };
template <> struct ValueVt<ULONGLONG> { static constexpr VARTYPE vt = VT_UI8; };
template <> struct ValueVt<FLOAT> { static constexpr VARTYPE vt = VT_R4; };
template <> struct ValueVt<DOUBLE> { static constexpr VARTYPE vt = VT_R8; };
template <> struct ValueVt<BSTR> { static constexpr VARTYPE vt = VT_BSTR; };
template <> struct ValueVt<VARIANT> { static constexpr VARTYPE vt = VT_VARIANT; };
template <> struct ValueVt<SAFEARRAY*> { static constexpr VARTYPE vt = VT_ARRAY | VT_VARIANT; };
// Enumerations of a type library are 32-bit integers.
template <class E>
  requires(std::is_enum_v<E> && sizeof(E) == 4)
struct ValueVt<E> {
  static constexpr VARTYPE vt = VT_I4;
};
template <class I>
  requires std::is_base_of_v<IUnknown, I>
struct ValueVt<I*> {
  static constexpr VARTYPE vt = std::is_base_of_v<IDispatch, I> ? VT_DISPATCH : VT_UNKNOWN;
};

// The variant type of a parameter of C++ type T: a pointer to a value type is
// by reference; BSTR, SAFEARRAY* and interface pointers are values.
template <class T>
constexpr VARTYPE ParamVt() {
  if constexpr (ValueVt<T>::vt != VT_EMPTY) {
    return ValueVt<T>::vt;
  } else if constexpr (std::is_pointer_v<T> && ValueVt<std::remove_pointer_t<T>>::vt != VT_EMPTY) {
    return ValueVt<std::remove_pointer_t<T>>::vt | VT_BYREF;
  } else {
    static_assert(sizeof(T) == 0, "parameter type has no automation equivalent");
    return VT_EMPTY;
  }
}

// Reads a parameter of type T out of a variant that already has its type.
// Interface pointers of a specific interface are asked for with
// QueryInterface and released after the call.
template <class T>
struct Arg {
  T value{};
  bool ok = true;
  bool release = false;
  explicit Arg(VARIANT& v) {
    if constexpr (std::is_same_v<T, VARIANT>) {
      value = v;
    } else if constexpr (std::is_same_v<T, BSTR>) {
      value = v.bstrVal;
    } else if constexpr (std::is_same_v<T, SAFEARRAY*>) {
      value = v.parray;
    } else if constexpr (std::is_pointer_v<T> && std::is_base_of_v<IUnknown, std::remove_pointer_t<T>>) {
      using I = std::remove_pointer_t<T>;
      IUnknown* p = v.vt == VT_DISPATCH ? static_cast<IUnknown*>(v.pdispVal) : v.punkVal;
      if constexpr (std::is_same_v<I, IUnknown>) {
        value = p;
      } else if constexpr (std::is_same_v<I, IDispatch>) {
        value = v.pdispVal;
      } else {
        if (p != nullptr) {
          void* q = nullptr;
          if (FAILED(p->QueryInterface(InterfaceTraits<I>::Iid(), &q))) ok = false;
          value = static_cast<T>(q);
          release = true;
        }
      }
    } else if constexpr (std::is_pointer_v<T>) {
      value = static_cast<T>(v.byref);
    } else {
      static_assert(std::is_arithmetic_v<T> || std::is_enum_v<T>);
      // Every scalar member of the union starts at the same address.
      std::memcpy(&value, &v.llVal, sizeof(T));
    }
  }
  Arg(const Arg&) = delete;
  Arg& operator=(const Arg&) = delete;
  ~Arg() {
    if constexpr (std::is_pointer_v<T> && std::is_base_of_v<IUnknown, std::remove_pointer_t<T>>) {
      if (release && value != nullptr) value->Release();
    }
  }
};

template <class F>
struct MethodTraits;
template <class C, class... A>
struct MethodTraits<HRESULT (C::*)(A...)> {
  using Class = C;
  using Args = std::tuple<A...>;
  static constexpr size_t arity = sizeof...(A);
  template <unsigned Flags, WORD Kind>
  static constexpr std::array<DispParamInfo, sizeof...(A)> Params() {
    std::array<DispParamInfo, sizeof...(A)> p{};
    size_t i = 0;
    ((p[i] = DispParamInfo{ParamVt<A>(), static_cast<USHORT>((ParamVt<A>() & VT_BYREF) ? PARAMFLAG_FOUT : PARAMFLAG_FIN)}, ++i), ...);
    if constexpr (sizeof...(A) > 0) {
      if ((Flags & kRetval) || Kind == DISPATCH_PROPERTYGET) p[sizeof...(A) - 1].flags = PARAMFLAG_FOUT | PARAMFLAG_FRETVAL;
    }
    return p;
  }
};

template <auto M, size_t... I>
HRESULT CallWith(void* self, VARIANT* const* args, int* badArg, std::index_sequence<I...>) {
  using Tr = MethodTraits<decltype(M)>;
  using C = typename Tr::Class;
  (void)args;
  std::tuple<Arg<std::tuple_element_t<I, typename Tr::Args>>...> a{*args[I]...};
  int bad = -1;
  ((bad < 0 && !std::get<I>(a).ok ? (bad = static_cast<int>(I)) : 0), ...);
  if (bad >= 0) {
    *badArg = bad;
    return DISP_E_TYPEMISMATCH;
  }
  return (static_cast<C*>(self)->*M)(std::get<I>(a).value...);
}

template <auto M>
HRESULT Thunk(void* self, VARIANT* const* args, int* badArg) {
  return CallWith<M>(self, args, badArg, std::make_index_sequence<MethodTraits<decltype(M)>::arity>{});
}

template <auto M, unsigned Flags, WORD Kind>
inline constexpr auto kParams = MethodTraits<decltype(M)>::template Params<Flags, Kind>();

}  // namespace detail

// A method; with kRetval its last parameter is the [out, retval] result.
template <auto M, unsigned Flags = 0>
constexpr DispMember DispMethod(const char* name, DISPID id) {
  return DispMember{name, id, DISPATCH_METHOD, detail::kParams<M, Flags, DISPATCH_METHOD>, &detail::Thunk<M>};
}
// A property getter: its last parameter is the [out, retval] value.
template <auto M>
constexpr DispMember DispPropGet(const char* name, DISPID id) {
  return DispMember{name, id, DISPATCH_PROPERTYGET, detail::kParams<M, 0, DISPATCH_PROPERTYGET>,
                    &detail::Thunk<M>};
}
// A property setter: its last parameter is the value put.
template <auto M>
constexpr DispMember DispPropPut(const char* name, DISPID id) {
  return DispMember{name, id, DISPATCH_PROPERTYPUT, detail::kParams<M, 0, DISPATCH_PROPERTYPUT>,
                    &detail::Thunk<M>};
}
// Any member with parameter types given explicitly (e.g. VT_BOOL for a
// VARIANT_BOOL or VT_DATE for a DATE, which C++ cannot tell from a SHORT or
// a DOUBLE).
template <auto M>
constexpr DispMember DispCustom(const char* name, DISPID id, WORD kind, std::span<const DispParamInfo> params) {
  return DispMember{name, id, kind, params, &detail::Thunk<M>};
}

}  // namespace tesk

TESK_PLATFORM_END_API

#endif  // TESK_PLATFORM_INCLUDE_TESK_PLATFORM_DISPATCH_H_
