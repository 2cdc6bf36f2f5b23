// Registration helpers: the class, ProgID, type-library and interface keys that an in-process
// server's DllRegisterServer writes and DllUnregisterServer removes.
#include <tesk/platform/activation.h>

#include <dlfcn.h>
#include <stdlib.h>
#include <strings.h>

#include <climits>
#include <new>
#include <string>

#include <tesk/platform/registry.h>

namespace tesk {
namespace {

// Sets a string value under HKEY_CLASSES_ROOT\key, creating the key.
bool SetString(const std::string& key, const char* name, std::string_view value) {
  HKEY k;
  if (RegCreateKeyEx(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k,
                     nullptr) != ERROR_SUCCESS) {
    return false;
  }
  const std::string data(value);
  const LONG st = RegSetValueEx(k, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                                static_cast<DWORD>(data.size() + 1));
  RegCloseKey(k);
  return st == ERROR_SUCCESS;
}

bool CreateKey(const std::string& key) {
  HKEY k;
  if (RegCreateKeyEx(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k,
                     nullptr) != ERROR_SUCCESS) {
    return false;
  }
  RegCloseKey(k);
  return true;
}

// Deletes a key tree; a missing key is fine.
bool DeleteTree(const std::string& key) {
  const LONG st = RegDeleteTree(HKEY_CLASSES_ROOT, key.c_str());
  return st == ERROR_SUCCESS || st == ERROR_FILE_NOT_FOUND;
}

// Removes a ProgID key only while it still names this class, so that unregistering one
// library never takes away a ProgID that another library has since claimed.
bool DeleteProgId(const char* progId, const std::string& clsid) {
  if (!progId || !*progId) return true;
  HKEY k;
  const std::string key = std::string(progId) + "\\CLSID";
  if (RegOpenKeyEx(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_QUERY_VALUE, &k) == ERROR_SUCCESS) {
    char buf[64] = {};
    DWORD cb = sizeof buf - 1;
    const LONG st = RegQueryValueEx(k, "", nullptr, nullptr, reinterpret_cast<BYTE*>(buf), &cb);
    RegCloseKey(k);
    if (st == ERROR_SUCCESS && strcasecmp(buf, clsid.c_str()) != 0) return true;
  }
  return DeleteTree(progId);
}

}  // namespace

HRESULT RegisterClassKeys(const ClassRegistration& cls, std::string_view libraryPath) {
  if (!cls.clsid || !cls.description) return E_INVALIDARG;
  try {
    const std::string clsid = GuidToString(*cls.clsid);
    const std::string key = "CLSID\\" + clsid;
    bool ok = DeleteTree(key);  // the class key is replaced whole
    ok = ok && SetString(key, "", cls.description);
    if (cls.progId && *cls.progId) {
      ok = ok && SetString(cls.progId, "", cls.description) &&
           SetString(std::string(cls.progId) + "\\CLSID", "", clsid) &&
           SetString(key + "\\ProgID", "", cls.progId);
    }
    if (cls.versionIndependentProgId && *cls.versionIndependentProgId) {
      const std::string vi = cls.versionIndependentProgId;
      ok = ok && SetString(vi, "", cls.description) && SetString(vi + "\\CLSID", "", clsid) &&
           SetString(key + "\\VersionIndependentProgID", "", vi);
      if (cls.progId && *cls.progId) ok = ok && SetString(vi + "\\CurVer", "", cls.progId);
    }
    ok = ok && CreateKey(key + "\\Programmable") &&
         SetString(key + "\\InprocServer32", "", libraryPath);
    if (cls.threadingModel && *cls.threadingModel) {
      ok = ok && SetString(key + "\\InprocServer32", "ThreadingModel", cls.threadingModel);
    }
    if (cls.typeLib) ok = ok && SetString(key + "\\TypeLib", "", GuidToString(*cls.typeLib));
    return ok ? S_OK : SELFREG_E_CLASS;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
}

HRESULT UnregisterClassKeys(const ClassRegistration& cls) {
  if (!cls.clsid) return E_INVALIDARG;
  try {
    const std::string clsid = GuidToString(*cls.clsid);
    bool ok = DeleteProgId(cls.progId, clsid);
    ok = DeleteProgId(cls.versionIndependentProgId, clsid) && ok;
    ok = DeleteTree("CLSID\\" + clsid) && ok;
    return ok ? S_OK : SELFREG_E_CLASS;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
}

HRESULT RegisterTypeLibKeys(const TypeLibInfo& lib, std::string_view libraryPath) {
  try {
    for (const RegistryEntry& e : TypeLibRegistryEntries(lib, libraryPath)) {
      if (!SetString(e.key, e.valueName.c_str(), e.value)) return SELFREG_E_TYPELIB;
    }
    return S_OK;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
}

HRESULT UnregisterTypeLibKeys(const TypeLibInfo& lib) {
  try {
    const std::vector<std::string> keys = TypeLibRegistryKeys(lib);
    bool ok = true;
    for (size_t i = 0; i < keys.size(); ++i) {
      if (i == 1) {
        // The library key goes only when no other version is left in it.
        const LONG st = RegDeleteKey(HKEY_CLASSES_ROOT, keys[i].c_str());
        ok = ok && (st == ERROR_SUCCESS || st == ERROR_FILE_NOT_FOUND || st == ERROR_ACCESS_DENIED);
      } else {
        ok = DeleteTree(keys[i]) && ok;
      }
    }
    return ok ? S_OK : SELFREG_E_TYPELIB;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
}

std::string ModulePath(const void* address) {
  Dl_info info{};
  if (!dladdr(address, &info) || !info.dli_fname || !*info.dli_fname) return {};
  char resolved[PATH_MAX];
  if (realpath(info.dli_fname, resolved)) return resolved;
  return info.dli_fname;
}

HRESULT RegisterServer(std::span<const ClassRegistration> classes, const TypeLibInfo* lib) {
  return RegisterServer(classes, lib,
                        !classes.empty() ? static_cast<const void*>(classes.data()) : lib);
}

HRESULT RegisterServer(std::span<const ClassRegistration> classes, const TypeLibInfo* lib,
                       const void* addressInModule) {
  try {
    const std::string path = addressInModule ? ModulePath(addressInModule) : std::string();
    if (path.empty()) return SELFREG_E_CLASS;
    HRESULT hr = S_OK;
    for (const ClassRegistration& cls : classes) {
      hr = RegisterClassKeys(cls, path);
      if (FAILED(hr)) break;
    }
    if (SUCCEEDED(hr) && lib) hr = RegisterTypeLibKeys(*lib, path);
    if (FAILED(hr)) UnregisterServer(classes, lib);
    return hr;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
}

HRESULT UnregisterServer(std::span<const ClassRegistration> classes, const TypeLibInfo* lib) {
  HRESULT result = S_OK;
  for (const ClassRegistration& cls : classes) {
    const HRESULT hr = UnregisterClassKeys(cls);
    if (FAILED(hr)) result = hr;
  }
  if (lib) {
    const HRESULT hr = UnregisterTypeLibKeys(*lib);
    if (FAILED(hr)) result = hr;
  }
  return result;
}

}  // namespace tesk
