// Creation on a named server. A class factory that serves objects "on" other servers implements
// IServerClassFactory besides IClassFactory; CoCreateInstanceEx with a COSERVERINFO that names a
// server then asks it to create the object for that server, and the factory decides whether the
// server is reachable. Classes whose factory lacks the interface are reachable only on this
// computer and on the servers listed under TESK_REMOTE_SERVERS_KEY; any other server answers
// 0x800706BA (server unavailable), without any network traffic.
//
// Contract: CreateInstanceOnServer answers S_OK with *ppUnk holding one reference, or a named
// code (0x800706BA for an unreachable server, REGDB_E_CLASSNOTREG, E_NOINTERFACE) with *ppUnk
// null. It may be called from any thread.
#ifndef TESK_PLATFORM_INCLUDE_TESK_PLATFORM_SERVER_FACTORY_H_
#define TESK_PLATFORM_INCLUDE_TESK_PLATFORM_SERVER_FACTORY_H_

#include <tesk/platform/activation.h>
#include <tesk/platform/com.h>
#include <tesk/platform_export.h>

TESK_PLATFORM_BEGIN_API

inline constexpr IID IID_IServerClassFactory{0xF98F0A99, 0x1095, 0x490A, {0x95, 0x8A, 0xA8, 0x61, 0x5F, 0x63, 0xE5, 0x23}};

struct IServerClassFactory : IUnknown {
  // Creates an object bound to `server`: the name as the client gave it, without leading
  // backslashes; an empty name means this computer. Answers 0x800706BA for a server the class
  // cannot reach.
  virtual HRESULT CreateInstanceOnServer(LPCOLESTR server, IUnknown* pUnkOuter, REFIID riid, void** ppv) = 0;
};
TESK_DECLARE_INTERFACE(IServerClassFactory, IUnknown, IID_IServerClassFactory);

namespace tesk {
// The object creation of CoCreateInstanceEx: finds the class factory and creates the object
// for the server that pServerInfo names (null or an empty name: this computer), asking for
// IUnknown.
HRESULT CreateInstanceOnServer(REFCLSID rclsid, IUnknown* punkOuter, DWORD dwClsCtx, COSERVERINFO* pServerInfo,
                               IUnknown** ppUnk);
}  // namespace tesk

TESK_PLATFORM_END_API

#endif  // TESK_PLATFORM_INCLUDE_TESK_PLATFORM_SERVER_FACTORY_H_
