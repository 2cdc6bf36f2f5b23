// Local servers: classes that run in a program of their own.
//
// A class registered with HKEY_CLASSES_ROOT\CLSID\{clsid}\LocalServer32 (the program's command
// line) is created with CLSCTX_LOCAL_SERVER in that program. The program is reached on the
// user's D-Bus session bus, where it owns the name LocalServerBusName(clsid); when no process
// owns it, the platform starts the program with the token "-Embedding" (the bus can also start
// it from the service file that RegisterLocalServer writes) and waits for the name.
//
// The client gets proxies: the class object answers IClassFactory, each object IDispatch (and
// ISupportErrorInfo). Invoke carries its arguments (numbers, strings, dates, booleans, errors,
// arrays of these or of variants, by-reference values of any of them) and brings back the
// result, the by-reference values, EXCEPINFO and the thread's error information. Interface
// pointers cannot cross (DISP_E_TYPEMISMATCH). A server that has gone away answers 0x800706BA,
// one that dies during a call 0x800706BE.
//
// The server program registers its class objects with CoRegisterClassObject; calls are served
// by the GLib main loop of the thread that registered them (a GTK program's gtk_main, or
// g_main_loop_run). Each object belongs to the client that created it: only that client may
// call it, and when the client leaves the bus (releases everything, or dies) its objects are
// released and its LockServer locks undone. The session bus admits only its own user.
//
// Contract: proxies hand out references the caller releases; a proxy whose server has gone
// keeps answering 0x800706BA. A registration that fails leaves nothing
// behind. Client calls may come from any thread; a server's calls run on the thread whose main
// loop serves them, one at a time.
#ifndef TESK_PLATFORM_INCLUDE_TESK_PLATFORM_LOCAL_SERVER_H_
#define TESK_PLATFORM_INCLUDE_TESK_PLATFORM_LOCAL_SERVER_H_

#include <string>
#include <string_view>

#include <tesk/platform/activation.h>
#include <tesk/platform/com.h>
#include <tesk/platform_export.h>

TESK_PLATFORM_BEGIN_API

// CoRegisterClassObject flags.
#define REGCLS_SINGLEUSE 0
#define REGCLS_MULTIPLEUSE 1
#define REGCLS_MULTI_SEPARATE 2
#define REGCLS_SUSPENDED 4

#ifndef CO_E_OBJISREG
#define CO_E_OBJISREG ((HRESULT)0x800401FB)
#endif
#ifndef CO_E_OBJNOTREG
#define CO_E_OBJNOTREG ((HRESULT)0x800401FA)
#endif
#ifndef RPC_E_DISCONNECTED
#define RPC_E_DISCONNECTED ((HRESULT)0x80010108)
#endif

// Makes pUnk (a class object answering IClassFactory) the class object of rclsid in this
// process; with CLSCTX_LOCAL_SERVER also for other processes, by owning the class's bus name.
// CO_E_OBJISREG when the class is already registered here or another process owns the name;
// 0x800706BA when there is no session bus. *lpdwRegister receives the cookie for
// CoRevokeClassObject. Every flag is served as REGCLS_MULTIPLEUSE.
HRESULT CoRegisterClassObject(REFCLSID rclsid, IUnknown* pUnk, DWORD dwClsContext, DWORD flags,
                              LPDWORD lpdwRegister);
// Gives the bus name up and releases the class object; CO_E_OBJNOTREG for an unknown cookie.
// Objects already created stay with their clients.
HRESULT CoRevokeClassObject(DWORD dwRegister);

namespace tesk {

// "org.tesk.Class.C" followed by the class identifier's 32 hex digits.
std::string LocalServerBusName(REFCLSID clsid);

// Registration of a local-server class: the keys of RegisterClassKeys with LocalServer32 (the
// quoted program path) in place of InprocServer32, an AppID value and key when appId is given,
// and the bus's service file for the user
// (${XDG_DATA_HOME:-~/.local/share}/dbus-1/services/<bus name>.service), so that the bus can
// start the program itself. SELFREG_E_CLASS on failure, with nothing left behind.
HRESULT RegisterLocalServer(const ClassRegistration& cls, const GUID* appId, const TypeLibInfo* lib,
                            std::string_view programPath);
// Removes the class keys, the AppID key, the type library keys and the service file.
HRESULT UnregisterLocalServer(const ClassRegistration& cls, const GUID* appId, const TypeLibInfo* lib);
// Where the service file of a class goes.
std::string LocalServerServiceFile(REFCLSID clsid);

// For CoGetClassObject: the class object registered in this process, if any (S_OK), else
// REGDB_E_CLASSNOTREG.
HRESULT GetRegisteredClassObject(REFCLSID rclsid, REFIID riid, void** ppv);
// For CoGetClassObject: a proxy of the class object of a LocalServer32 class, starting its
// program when needed. REGDB_E_CLASSNOTREG without LocalServer32; CO_E_SERVER_EXEC_FAILURE
// when the program cannot be started or does not come up in time.
HRESULT GetLocalServerClassObject(REFCLSID rclsid, REFIID riid, void** ppv);

}  // namespace tesk

TESK_PLATFORM_END_API

#endif  // TESK_PLATFORM_INCLUDE_TESK_PLATFORM_LOCAL_SERVER_H_
