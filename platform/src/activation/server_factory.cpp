// CoCreateInstanceEx's creation step: a factory that knows servers is told which server the
// object is for; any other factory creates only for servers the platform itself reaches.
#include <tesk/platform/server_factory.h>

#include <new>
#include <string>

#include <tesk/platform/comhelpers.h>
#include <tesk/platform/oleauto.h>

HRESULT tesk::CreateInstanceOnServer(REFCLSID rclsid, IUnknown* punkOuter, DWORD dwClsCtx,
                                     COSERVERINFO* pServerInfo, IUnknown** ppUnk) {
  if (!ppUnk) return E_POINTER;
  *ppUnk = nullptr;
  try {
    std::u16string name;
    if (pServerInfo && pServerInfo->pwszName) name = pServerInfo->pwszName;
    while (!name.empty() && name.front() == u'\\') name.erase(0, 1);

    // The class factory is found without the server check, so that a factory that knows
    // servers can judge the name itself.
    ComPtr<IClassFactory> factory;
    HRESULT hr = CoGetClassObject(rclsid, dwClsCtx, nullptr, IID_IClassFactory, factory.PutVoid());
    if (FAILED(hr)) return hr;
    ComPtr<IServerClassFactory> serverFactory;
    if (SUCCEEDED(factory.As(serverFactory)))
      return serverFactory->CreateInstanceOnServer(name.c_str(), punkOuter, IID_IUnknown, reinterpret_cast<void**>(ppUnk));

    if (!name.empty()) {
      // The platform's own rule: this computer and the listed remote servers.
      ComPtr<IClassFactory> checked;
      hr = CoGetClassObject(rclsid, dwClsCtx, pServerInfo, IID_IClassFactory, checked.PutVoid());
      if (FAILED(hr)) return hr;
    }
    return factory->CreateInstance(punkOuter, IID_IUnknown, reinterpret_cast<void**>(ppUnk));
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
}
