// Class activation: apartments and security (bookkeeping only), the class lookup through the
// registry, loading of server libraries, and ProgID conversions.
#include <tesk/platform/activation.h>

#include <dlfcn.h>
#include <strings.h>
#include <sys/stat.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <new>
#include <string>

#include <tesk/platform/local_server.h>
#include <tesk/platform/oleauto.h>
#include <tesk/platform/registry.h>
#include <tesk/platform/server_factory.h>
#include <tesk/platform/system.h>

namespace {

thread_local int t_init_count = 0;
thread_local DWORD t_init_model = 0;
std::atomic<bool> g_security_set{false};

// Reads a string value of HKEY_* root\key; false when the key or value is missing.
bool ReadString(HKEY root, const std::string& key, const char* value, std::string* out) {
  HKEY k;
  if (RegOpenKeyEx(root, key.c_str(), 0, KEY_QUERY_VALUE, &k) != ERROR_SUCCESS) return false;
  DWORD type = 0, cb = 0;
  LONG st = RegQueryValueEx(k, value, nullptr, &type, nullptr, &cb);
  std::string data(cb, '\0');
  if (st == ERROR_SUCCESS && cb) {
    st = RegQueryValueEx(k, value, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &cb);
    data.resize(cb);
  }
  RegCloseKey(k);
  if (st != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return false;
  if (const size_t nul = data.find('\0'); nul != std::string::npos) data.resize(nul);
  if (type == REG_EXPAND_SZ) {
    // %NAME% takes the environment variable's value.
    std::string expanded;
    for (size_t i = 0; i < data.size();) {
      const size_t end = data[i] == '%' ? data.find('%', i + 1) : std::string::npos;
      if (end == std::string::npos) {
        expanded += data[i++];
        continue;
      }
      const char* v = std::getenv(data.substr(i + 1, end - i - 1).c_str());
      expanded += v ? std::string(v) : data.substr(i, end - i + 1);
      i = end + 1;
    }
    data = expanded;
  }
  *out = data;
  return true;
}

bool IsLocalServer(const std::string& name) {
  if (name.empty() || name == "." || strcasecmp(name.c_str(), "localhost") == 0 ||
      name == "127.0.0.1" || name == "::1") {
    return true;
  }
  char own[256];
  DWORD n = sizeof own;
  return GetComputerName(own, &n) && strcasecmp(own, name.c_str()) == 0;
}

// Whether objects may be created "on" the named server.
bool ServerReachable(const COSERVERINFO* info) {
  if (!info || !info->pwszName) return true;
  std::string name = tesk::ToNarrow(info->pwszName);
  while (!name.empty() && name.front() == '\\') name.erase(0, 1);
  if (IsLocalServer(name)) return true;
  if (name.find('\\') != std::string::npos) return false;
  HKEY k;
  const std::string key = std::string(TESK_REMOTE_SERVERS_KEY) + "\\" + name;
  if (RegOpenKeyEx(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return false;
  RegCloseKey(k);
  return true;
}

struct Library {
  void* handle;
  LPFNGETCLASSOBJECT getClassObject;
  LPFNCANUNLOADNOW canUnloadNow;
};

std::mutex g_libs_mu;
std::map<std::string, Library>& Libraries() {
  static auto* libs = new std::map<std::string, Library>();
  return *libs;
}

HRESULT LoadLibrary(const std::string& path, LPFNGETCLASSOBJECT* get) {
  std::lock_guard<std::mutex> lock(g_libs_mu);
  auto it = Libraries().find(path);
  if (it == Libraries().end()) {
    void* h = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!h) {
      struct stat st;
      const bool exists = path.find('/') == std::string::npos || stat(path.c_str(), &st) == 0;
      return exists ? CO_E_ERRORINDLL : CO_E_DLLNOTFOUND;
    }
    auto g = reinterpret_cast<LPFNGETCLASSOBJECT>(dlsym(h, "DllGetClassObject"));
    if (!g) {
      dlclose(h);
      return CO_E_ERRORINDLL;
    }
    auto c = reinterpret_cast<LPFNCANUNLOADNOW>(dlsym(h, "DllCanUnloadNow"));
    it = Libraries().emplace(path, Library{h, g, c}).first;
  }
  *get = it->second.getClassObject;
  return S_OK;
}

}  // namespace

HRESULT CoInitialize(LPVOID pvReserved) {
  return CoInitializeEx(pvReserved, COINIT_APARTMENTTHREADED);
}

HRESULT CoInitializeEx(LPVOID, DWORD dwCoInit) {
  const DWORD model = dwCoInit & COINIT_APARTMENTTHREADED;
  if (t_init_count > 0) {
    if (model != t_init_model) return RPC_E_CHANGED_MODE;
    ++t_init_count;
    return S_FALSE;
  }
  t_init_model = model;
  t_init_count = 1;
  return S_OK;
}

void CoUninitialize() {
  if (t_init_count > 0) --t_init_count;
}

HRESULT CoInitializeSecurity(PSECURITY_DESCRIPTOR, LONG, SOLE_AUTHENTICATION_SERVICE*, void*,
                             DWORD, DWORD, void*, DWORD, void*) {
  return g_security_set.exchange(true) ? RPC_E_TOO_LATE : S_OK;
}

HRESULT CoGetClassObject(REFCLSID rclsid, DWORD dwClsContext, COSERVERINFO* pServerInfo,
                         REFIID riid, LPVOID* ppv) {
  if (!ppv) return E_INVALIDARG;
  *ppv = nullptr;
  if (!(dwClsContext & CLSCTX_ALL)) return E_INVALIDARG;
  try {
    if (!ServerReachable(pServerInfo)) return HRESULT_FROM_WIN32(RPC_S_SERVER_UNAVAILABLE);
    // A class object that this process registered comes first, as on Windows.
    if (SUCCEEDED(tesk::GetRegisteredClassObject(rclsid, riid, ppv))) return S_OK;
    const std::string key = "CLSID\\" + tesk::GuidToString(rclsid) + "\\InprocServer32";
    std::string path;
    // Remote creation is served in-process too; only a request for a local server alone skips
    // in-process registrations.
    if (dwClsContext == CLSCTX_LOCAL_SERVER || !ReadString(HKEY_CLASSES_ROOT, key, "", &path)) {
      if (dwClsContext & CLSCTX_LOCAL_SERVER) return tesk::GetLocalServerClassObject(rclsid, riid, ppv);
      return REGDB_E_CLASSNOTREG;
    }
    if (path.empty()) return CO_E_DLLNOTFOUND;
    LPFNGETCLASSOBJECT get = nullptr;
    HRESULT hr = LoadLibrary(path, &get);
    if (FAILED(hr)) return hr;
    return get(rclsid, riid, ppv);
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
}

HRESULT CoCreateInstance(REFCLSID rclsid, LPUNKNOWN pUnkOuter, DWORD dwClsContext, REFIID riid,
                         LPVOID* ppv) {
  if (!ppv) return E_POINTER;
  *ppv = nullptr;
  IClassFactory* factory = nullptr;
  HRESULT hr = CoGetClassObject(rclsid, dwClsContext, nullptr, IID_IClassFactory,
                                reinterpret_cast<void**>(&factory));
  if (FAILED(hr)) return hr;
  hr = factory->CreateInstance(pUnkOuter, riid, ppv);
  factory->Release();
  return hr;
}

HRESULT CoCreateInstanceEx(REFCLSID rclsid, IUnknown* punkOuter, DWORD dwClsCtx,
                           COSERVERINFO* pServerInfo, DWORD dwCount, MULTI_QI* pResults) {
  if (dwCount == 0 || !pResults) return E_INVALIDARG;
  for (DWORD i = 0; i < dwCount; ++i) {
    if (!pResults[i].pIID) return E_INVALIDARG;
    pResults[i].pItf = nullptr;
    pResults[i].hr = E_NOINTERFACE;
  }
  IUnknown* unk = nullptr;
  HRESULT hr = tesk::CreateInstanceOnServer(rclsid, punkOuter, dwClsCtx, pServerInfo, &unk);
  if (FAILED(hr)) {
    for (DWORD i = 0; i < dwCount; ++i) pResults[i].hr = hr;
    return hr;
  }
  DWORD got = 0;
  for (DWORD i = 0; i < dwCount; ++i) {
    pResults[i].hr = unk->QueryInterface(*pResults[i].pIID, reinterpret_cast<void**>(&pResults[i].pItf));
    if (SUCCEEDED(pResults[i].hr)) ++got;
  }
  unk->Release();
  return got == dwCount ? S_OK : got ? CO_S_NOTALLINTERFACES : E_NOINTERFACE;
}

HRESULT OleRun(LPUNKNOWN pUnknown) {
  // In-process objects run as soon as they exist.
  return pUnknown ? S_OK : E_INVALIDARG;
}

HRESULT CLSIDFromProgID(LPCOLESTR lpszProgID, LPCLSID lpclsid) {
  if (!lpszProgID || !lpclsid) return E_INVALIDARG;
  try {
    std::string progId = tesk::ToNarrow(lpszProgID);
    if (progId.empty() || progId.find('\\') != std::string::npos) return CO_E_CLASSSTRING;
    std::string text;
    if (!ReadString(HKEY_CLASSES_ROOT, progId + "\\CLSID", "", &text)) {
      // A version-independent ProgID without its own CLSID names its current version.
      std::string cur;
      if (!ReadString(HKEY_CLASSES_ROOT, progId + "\\CurVer", "", &cur) || cur.empty() ||
          cur.find('\\') != std::string::npos ||
          !ReadString(HKEY_CLASSES_ROOT, cur + "\\CLSID", "", &text)) {
        return CO_E_CLASSSTRING;
      }
    }
    std::optional<GUID> g = tesk::GuidFromString(text);
    if (!g) return CO_E_CLASSSTRING;
    *lpclsid = *g;
    return S_OK;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
}

HRESULT ProgIDFromCLSID(REFCLSID clsid, LPOLESTR* lplpszProgID) {
  if (!lplpszProgID) return E_INVALIDARG;
  *lplpszProgID = nullptr;
  try {
    std::string progId;
    if (!ReadString(HKEY_CLASSES_ROOT, "CLSID\\" + tesk::GuidToString(clsid) + "\\ProgID", "",
                    &progId) ||
        progId.empty()) {
      return REGDB_E_CLASSNOTREG;
    }
    const std::u16string wide = tesk::ToWide(progId);
    auto* out = static_cast<LPOLESTR>(CoTaskMemAlloc((wide.size() + 1) * sizeof(OLECHAR)));
    if (!out) return E_OUTOFMEMORY;
    std::memcpy(out, wide.c_str(), (wide.size() + 1) * sizeof(OLECHAR));
    *lplpszProgID = out;
    return S_OK;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
}

void CoFreeUnusedLibraries() {
  std::lock_guard<std::mutex> lock(g_libs_mu);
  for (auto it = Libraries().begin(); it != Libraries().end();) {
    if (it->second.canUnloadNow && it->second.canUnloadNow() == S_OK) {
      dlclose(it->second.handle);
      it = Libraries().erase(it);
    } else {
      ++it;
    }
  }
}
