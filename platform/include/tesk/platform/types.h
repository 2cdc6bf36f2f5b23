// Base types, HRESULT codes and GUIDs with their Windows names and values.
//
// LONG and ULONG are 32-bit as on Windows (a Linux `long` is 64-bit), so
// automation interfaces that take a "long" use LONG.
//
// Contract: the HRESULT and Win32 codes below are the only results the platform answers with;
// tests and callers compare against these names. GetLastError() and SetLastError() keep one
// value per thread; a call that succeeds need not reset it.
#ifndef TESK_PLATFORM_INCLUDE_TESK_PLATFORM_TYPES_H_
#define TESK_PLATFORM_INCLUDE_TESK_PLATFORM_TYPES_H_

#include <cstddef>
#include <cstdint>

#include <tesk/platform_export.h>

TESK_PLATFORM_BEGIN_API

typedef int32_t HRESULT;
typedef int32_t SCODE;
typedef int32_t LONG;
typedef uint32_t ULONG;
typedef uint32_t DWORD;
typedef uint16_t WORD;
typedef uint8_t BYTE;
typedef int16_t SHORT;
typedef uint16_t USHORT;
typedef int32_t INT;
typedef uint32_t UINT;
typedef int64_t LONGLONG;
typedef uint64_t ULONGLONG;
typedef char CHAR;
typedef float FLOAT;
typedef double DOUBLE;
typedef int BOOL;
typedef BOOL* LPBOOL;
typedef void* PVOID;
typedef void* LPVOID;
typedef const void* LPCVOID;
typedef char* LPSTR;
typedef const char* LPCSTR;
typedef DWORD* LPDWORD;
typedef BYTE* LPBYTE;
typedef uintptr_t ULONG_PTR;
typedef intptr_t LONG_PTR;
typedef size_t SIZE_T;

// Wide text is UTF-16 in 16-bit units, as on Windows.
typedef char16_t OLECHAR;
typedef char16_t WCHAR;
typedef OLECHAR* LPOLESTR;
typedef const OLECHAR* LPCOLESTR;
typedef WCHAR* LPWSTR;
typedef const WCHAR* LPCWSTR;

typedef int16_t VARIANT_BOOL;
typedef LONG DISPID;
typedef DWORD LCID;
typedef double DATE;
typedef uint16_t VARTYPE;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif
#define VARIANT_TRUE ((VARIANT_BOOL)-1)
#define VARIANT_FALSE ((VARIANT_BOOL)0)

#ifndef TESK_HWND_DEFINED
#define TESK_HWND_DEFINED
struct HWND__;
typedef HWND__* HWND;
#endif

// ---- HRESULT ---------------------------------------------------------------

#define SUCCEEDED(hr) (((HRESULT)(hr)) >= 0)
#define FAILED(hr) (((HRESULT)(hr)) < 0)
#define HRESULT_CODE(hr) ((hr) & 0xFFFF)
#define HRESULT_FACILITY(hr) (((hr) >> 16) & 0x1FFF)
#define SCODE_CODE(sc) ((sc) & 0xFFFF)
#define FACILITY_ITF 4
#define FACILITY_DISPATCH 2
#define FACILITY_WIN32 7
#define FACILITY_RPC 1
#define SEVERITY_SUCCESS 0
#define SEVERITY_ERROR 1
#define MAKE_HRESULT(sev, fac, code) \
  ((HRESULT)(((uint32_t)(sev) << 31) | ((uint32_t)(fac) << 16) | ((uint32_t)(code))))

inline constexpr HRESULT HRESULT_FROM_WIN32(uint32_t x) {
  return (HRESULT)x <= 0 ? (HRESULT)x : (HRESULT)((x & 0x0000FFFFu) | (FACILITY_WIN32 << 16) | 0x80000000u);
}

#define S_OK ((HRESULT)0)
#define S_FALSE ((HRESULT)1)
#define E_NOTIMPL ((HRESULT)0x80004001)
#define E_NOINTERFACE ((HRESULT)0x80004002)
#define E_POINTER ((HRESULT)0x80004003)
#define E_ABORT ((HRESULT)0x80004004)
#define E_FAIL ((HRESULT)0x80004005)
#define E_UNEXPECTED ((HRESULT)0x8000FFFF)
#define E_ACCESSDENIED ((HRESULT)0x80070005)
#define E_HANDLE ((HRESULT)0x80070006)
#define E_OUTOFMEMORY ((HRESULT)0x8007000E)
#define E_INVALIDARG ((HRESULT)0x80070057)

#define CLASS_E_NOAGGREGATION ((HRESULT)0x80040110)
#define CLASS_E_CLASSNOTAVAILABLE ((HRESULT)0x80040111)
#define REGDB_E_READREGDB ((HRESULT)0x80040150)
#define REGDB_E_WRITEREGDB ((HRESULT)0x80040151)
#define REGDB_E_KEYMISSING ((HRESULT)0x80040152)
#define REGDB_E_INVALIDVALUE ((HRESULT)0x80040153)
#define REGDB_E_CLASSNOTREG ((HRESULT)0x80040154)
#define REGDB_E_IIDNOTREG ((HRESULT)0x80040155)
#define SELFREG_E_TYPELIB ((HRESULT)0x80040200)
#define SELFREG_E_CLASS ((HRESULT)0x80040201)
#define CO_E_NOTINITIALIZED ((HRESULT)0x800401F0)
#define CO_E_ALREADYINITIALIZED ((HRESULT)0x800401F1)
#define CO_E_CLASSSTRING ((HRESULT)0x800401F3)
#define CO_E_APPNOTFOUND ((HRESULT)0x800401F5)
#define CO_E_DLLNOTFOUND ((HRESULT)0x800401F8)
#define CO_E_ERRORINDLL ((HRESULT)0x800401F9)
#define CO_E_SERVER_EXEC_FAILURE ((HRESULT)0x80080005)
#define RPC_E_CHANGED_MODE ((HRESULT)0x80010106)
#define RPC_E_TOO_LATE ((HRESULT)0x80010119)

#define DISP_E_UNKNOWNINTERFACE ((HRESULT)0x80020001)
#define DISP_E_MEMBERNOTFOUND ((HRESULT)0x80020003)
#define DISP_E_PARAMNOTFOUND ((HRESULT)0x80020004)
#define DISP_E_TYPEMISMATCH ((HRESULT)0x80020005)
#define DISP_E_UNKNOWNNAME ((HRESULT)0x80020006)
#define DISP_E_NONAMEDARGS ((HRESULT)0x80020007)
#define DISP_E_BADVARTYPE ((HRESULT)0x80020008)
#define DISP_E_EXCEPTION ((HRESULT)0x80020009)
#define DISP_E_OVERFLOW ((HRESULT)0x8002000A)
#define DISP_E_BADINDEX ((HRESULT)0x8002000B)
#define DISP_E_UNKNOWNLCID ((HRESULT)0x8002000C)
#define DISP_E_ARRAYISLOCKED ((HRESULT)0x8002000D)
#define DISP_E_BADPARAMCOUNT ((HRESULT)0x8002000E)
#define DISP_E_PARAMNOTOPTIONAL ((HRESULT)0x8002000F)
#define TYPE_E_ELEMENTNOTFOUND ((HRESULT)0x8002802B)

// ---- Win32 error codes (registry calls return these; GetLastError too) -----

#define ERROR_SUCCESS 0L
#define NO_ERROR 0L
#define ERROR_INVALID_FUNCTION 1L
#define ERROR_FILE_NOT_FOUND 2L
#define ERROR_PATH_NOT_FOUND 3L
#define ERROR_ACCESS_DENIED 5L
#define ERROR_INVALID_HANDLE 6L
#define ERROR_NOT_ENOUGH_MEMORY 8L
#define ERROR_OUTOFMEMORY 14L
#define ERROR_NOT_SUPPORTED 50L
#define ERROR_FILE_EXISTS 80L
#define ERROR_INVALID_PARAMETER 87L
#define ERROR_INSUFFICIENT_BUFFER 122L
#define ERROR_INVALID_NAME 123L
#define ERROR_MOD_NOT_FOUND 126L
#define ERROR_PROC_NOT_FOUND 127L
#define ERROR_ALREADY_EXISTS 183L
#define ERROR_MORE_DATA 234L
#define ERROR_NO_MORE_ITEMS 259L
#define ERROR_BADDB 1009L
#define ERROR_BADKEY 1010L
#define ERROR_CANTOPEN 1011L
#define ERROR_CANTREAD 1012L
#define ERROR_CANTWRITE 1013L
#define ERROR_REGISTRY_CORRUPT 1015L
#define ERROR_REGISTRY_IO_FAILED 1016L
#define ERROR_KEY_DELETED 1018L
#define ERROR_NO_UNICODE_TRANSLATION 1113L
#define ERROR_CHILD_MUST_BE_VOLATILE 1021L
#define RPC_S_SERVER_UNAVAILABLE 1722L
#define RPC_S_SERVER_TOO_BUSY 1723L
#define RPC_S_CALL_FAILED 1726L

// The three transport failures of a remote call, as HRESULTs
// (0x800706BA, 0x800706BB, 0x800706BE).
#define RPC_E_SERVER_UNAVAILABLE_HR HRESULT_FROM_WIN32(RPC_S_SERVER_UNAVAILABLE)
#define RPC_E_SERVER_TOO_BUSY_HR HRESULT_FROM_WIN32(RPC_S_SERVER_TOO_BUSY)
#define RPC_E_CALL_FAILED_HR HRESULT_FROM_WIN32(RPC_S_CALL_FAILED)

// Per-thread last error, as the Win32 calls that report through it use.
DWORD GetLastError();
void SetLastError(DWORD code);

// ---- GUID ------------------------------------------------------------------

struct GUID {
  uint32_t Data1;
  uint16_t Data2;
  uint16_t Data3;
  uint8_t Data4[8];
};
typedef GUID IID;
typedef GUID CLSID;
typedef GUID* LPGUID;
typedef IID* LPIID;
typedef CLSID* LPCLSID;
typedef const GUID& REFGUID;
typedef const IID& REFIID;
typedef const CLSID& REFCLSID;

inline constexpr bool operator==(const GUID& a, const GUID& b) {
  if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3) return false;
  for (int i = 0; i < 8; ++i)
    if (a.Data4[i] != b.Data4[i]) return false;
  return true;
}
inline constexpr bool IsEqualGUID(REFGUID a, REFGUID b) { return a == b; }
inline constexpr bool IsEqualIID(REFIID a, REFIID b) { return a == b; }
inline constexpr bool IsEqualCLSID(REFCLSID a, REFCLSID b) { return a == b; }

inline constexpr GUID GUID_NULL{0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};
inline constexpr IID IID_NULL = GUID_NULL;
inline constexpr CLSID CLSID_NULL = GUID_NULL;

// Text form "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" (38 characters).
// StringFromGUID2 writes it with its terminator and returns 39, or 0 when
// cchMax is too small. StringFromCLSID/StringFromIID hand out a string that
// the caller frees with CoTaskMemFree. CLSIDFromString/IIDFromString parse it
// (hex digits in either case) and answer CO_E_CLASSSTRING/E_INVALIDARG for
// anything else.
int StringFromGUID2(REFGUID rguid, LPOLESTR lpsz, int cchMax);
HRESULT StringFromCLSID(REFCLSID rclsid, LPOLESTR* lplpsz);
HRESULT StringFromIID(REFIID rclsid, LPOLESTR* lplpsz);
HRESULT CLSIDFromString(LPCOLESTR lpsz, LPCLSID pclsid);
HRESULT IIDFromString(LPCOLESTR lpsz, LPIID lpiid);

// Task memory (what StringFromCLSID, ProgIDFromCLSID and friends hand out).
LPVOID CoTaskMemAlloc(SIZE_T cb);
LPVOID CoTaskMemRealloc(LPVOID pv, SIZE_T cb);
void CoTaskMemFree(LPVOID pv);

#include <optional>
#include <string>
#include <string_view>


namespace tesk {
// Narrow-string forms of the GUID text conversions.
std::string GuidToString(const GUID& g);                      // upper case, braced
std::optional<GUID> GuidFromString(std::string_view text);     // braced form only
}  // namespace tesk

TESK_PLATFORM_END_API

#endif  // TESK_PLATFORM_INCLUDE_TESK_PLATFORM_TYPES_H_
