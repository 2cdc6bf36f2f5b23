// Class activation and registration, shaped after the COM calls.
//
// An in-process class is found through HKEY_CLASSES_ROOT\CLSID\{clsid}\InprocServer32, whose
// default value is the path of its shared library. The library is loaded with dlopen (once per
// process; CoFreeUnusedLibraries unloads those whose DllCanUnloadNow agrees) and asked for the
// class factory through its exported DllGetClassObject.
//
// Creation "on another computer" (COSERVERINFO with a server name) is served by the same local
// registration when the name is this computer ("", ".", "localhost", the computer name) or is a
// sub-key of HKEY_LOCAL_MACHINE\SOFTWARE\Tesk\Platform\RemoteServers; any other server is
// unreachable and answers 0x800706BA, as an unavailable server does.
//
// Contract: a failing creation call answers a named code (REGDB_E_CLASSNOTREG,
// CO_E_DLLNOTFOUND, CO_E_ERRORINDLL, CLASS_E_NOAGGREGATION, E_NOINTERFACE, 0x800706BA) with
// *ppv null; an object it hands out carries one reference the caller releases. A loaded
// library stays loaded while CoFreeUnusedLibraries finds it in use. Creation and registration
// may be called from any thread; the table of loaded libraries is shared under a lock.
// Registration that fails removes what it wrote.
#ifndef TESK_PLATFORM_INCLUDE_TESK_PLATFORM_ACTIVATION_H_
#define TESK_PLATFORM_INCLUDE_TESK_PLATFORM_ACTIVATION_H_

#include <span>
#include <string>
#include <string_view>

#include <tesk/platform/com.h>
#include <tesk/platform/dispatch.h>
#include <tesk/platform/types.h>

#include <tesk/platform_export.h>

TESK_PLATFORM_BEGIN_API

// CoInitializeEx concurrency models.
#define COINIT_MULTITHREADED 0x0
#define COINIT_APARTMENTTHREADED 0x2
#define COINIT_DISABLE_OLE1DDE 0x4
#define COINIT_SPEED_OVER_MEMORY 0x8

// Class contexts.
#define CLSCTX_INPROC_SERVER 0x1
#define CLSCTX_INPROC_HANDLER 0x2
#define CLSCTX_LOCAL_SERVER 0x4
#define CLSCTX_REMOTE_SERVER 0x10
#define CLSCTX_INPROC (CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER)
#define CLSCTX_SERVER (CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER)
#define CLSCTX_ALL (CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER)

// Security levels (accepted and ignored: everything runs as the calling user).
#define RPC_C_AUTHN_LEVEL_DEFAULT 0
#define RPC_C_AUTHN_LEVEL_NONE 1
#define RPC_C_AUTHN_LEVEL_CONNECT 2
#define RPC_C_AUTHN_LEVEL_CALL 3
#define RPC_C_AUTHN_LEVEL_PKT 4
#define RPC_C_AUTHN_LEVEL_PKT_INTEGRITY 5
#define RPC_C_AUTHN_LEVEL_PKT_PRIVACY 6
#define RPC_C_IMP_LEVEL_DEFAULT 0
#define RPC_C_IMP_LEVEL_ANONYMOUS 1
#define RPC_C_IMP_LEVEL_IDENTIFY 2
#define RPC_C_IMP_LEVEL_IMPERSONATE 3
#define RPC_C_IMP_LEVEL_DELEGATE 4
#define EOAC_NONE 0

#define CO_S_NOTALLINTERFACES ((HRESULT)0x00080012)

typedef void* PSECURITY_DESCRIPTOR;
struct SOLE_AUTHENTICATION_SERVICE;
struct COAUTHINFO;

struct COSERVERINFO {
  DWORD dwReserved1;
  LPWSTR pwszName;
  COAUTHINFO* pAuthInfo;
  DWORD dwReserved2;
};

struct MULTI_QI {
  const IID* pIID;
  IUnknown* pItf;
  HRESULT hr;
};

// Per thread: S_OK the first time, S_FALSE again with the same model, RPC_E_CHANGED_MODE with
// another. Calls that create objects work on threads that never called them.
HRESULT CoInitialize(LPVOID pvReserved);
HRESULT CoInitializeEx(LPVOID pvReserved, DWORD dwCoInit);
void CoUninitialize();
// Once per process: a second call answers RPC_E_TOO_LATE.
HRESULT CoInitializeSecurity(PSECURITY_DESCRIPTOR pSecDesc, LONG cAuthSvc,
                             SOLE_AUTHENTICATION_SERVICE* asAuthSvc, void* pReserved1,
                             DWORD dwAuthnLevel, DWORD dwImpLevel, void* pAuthList,
                             DWORD dwCapabilities, void* pReserved3);

// REGDB_E_CLASSNOTREG when the class is not registered, CO_E_DLLNOTFOUND when its library is
// missing, CO_E_ERRORINDLL when it cannot be loaded or lacks DllGetClassObject.
HRESULT CoGetClassObject(REFCLSID rclsid, DWORD dwClsContext, COSERVERINFO* pServerInfo,
                         REFIID riid, LPVOID* ppv);
HRESULT CoCreateInstance(REFCLSID rclsid, LPUNKNOWN pUnkOuter, DWORD dwClsContext, REFIID riid,
                         LPVOID* ppv);
HRESULT CoCreateInstanceEx(REFCLSID rclsid, IUnknown* punkOuter, DWORD dwClsCtx,
                           COSERVERINFO* pServerInfo, DWORD dwCount, MULTI_QI* pResults);
HRESULT OleRun(LPUNKNOWN pUnknown);
// CO_E_CLASSSTRING for an unregistered ProgID.
HRESULT CLSIDFromProgID(LPCOLESTR lpszProgID, LPCLSID lpclsid);
// The string is the caller's, freed with CoTaskMemFree.
HRESULT ProgIDFromCLSID(REFCLSID clsid, LPOLESTR* lplpszProgID);
void CoFreeUnusedLibraries();

#define TESK_REMOTE_SERVERS_KEY "SOFTWARE\\Tesk\\Platform\\RemoteServers"

// The exports of an in-process server library; each library defines them.
extern "C" {
HRESULT DllGetClassObject(REFCLSID rclsid, REFIID riid, LPVOID* ppv);
HRESULT DllCanUnloadNow();
HRESULT DllRegisterServer();
HRESULT DllUnregisterServer();
}

namespace tesk {

// One class as registration writes it under HKEY_CLASSES_ROOT:
//   <progId>                         = description, \CLSID = {clsid}
//   <versionIndependentProgId>       = description, \CLSID = {clsid}, \CurVer = progId
//   CLSID\{clsid}                    = description, \ProgID, \VersionIndependentProgID,
//                                      \Programmable, \InprocServer32 = library path (value
//                                      ThreadingModel), \TypeLib = {libid}
struct ClassRegistration {
  const CLSID* clsid;
  const char* description;               // "Vantor Class"
  const char* progId;                    // "Vantor.Vantor.1"
  const char* versionIndependentProgId;  // "Vantor.Vantor"
  const char* threadingModel;            // "Apartment", "Both", ...
  const GUID* typeLib;                   // null: no TypeLib key
};

// The class key is replaced whole; SELFREG_E_CLASS on failure.
HRESULT RegisterClassKeys(const ClassRegistration& cls, std::string_view libraryPath);
// Removes the class key and those ProgID keys that still name this class; the CLSID root key
// stays. Keys already gone are not an error.
HRESULT UnregisterClassKeys(const ClassRegistration& cls);
// The keys of the type library and of its interfaces; SELFREG_E_TYPELIB on failure.
HRESULT RegisterTypeLibKeys(const TypeLibInfo& lib, std::string_view libraryPath);
HRESULT UnregisterTypeLibKeys(const TypeLibInfo& lib);

// Absolute path of the shared library (or program) that holds `address`; empty if unknown.
std::string ModulePath(const void* address);

// What DllRegisterServer and DllUnregisterServer do in a few lines:
//   static const tesk::ClassRegistration kClasses[] = {...};   // defined in the library
//   extern "C" HRESULT DllRegisterServer() { return tesk::RegisterServer(kClasses, &kTypeLib); }
// The library's path is found from the address of `classes` (or, with no classes, of `lib`),
// which must therefore be defined in the library itself; an exported function's address would
// not do, as another library of the process may define the same name. lib may be null.
// Registration that fails half-way removes what it wrote.
HRESULT RegisterServer(std::span<const ClassRegistration> classes, const TypeLibInfo* lib);
// The same with the library named by any address inside it (an object of internal linkage).
HRESULT RegisterServer(std::span<const ClassRegistration> classes, const TypeLibInfo* lib,
                       const void* addressInModule);
HRESULT UnregisterServer(std::span<const ClassRegistration> classes, const TypeLibInfo* lib);

}  // namespace tesk

TESK_PLATFORM_END_API

#endif  // TESK_PLATFORM_INCLUDE_TESK_PLATFORM_ACTIVATION_H_
