// Registration of local-server classes: LocalServer32 and AppID keys, and the bus's service
// file, which lets the session bus start the program by itself.
#include <tesk/platform/local_server.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <new>
#include <string>
#include <system_error>

#include <tesk/internal/replace_file.h>
#include <tesk/platform/registry.h>

namespace tesk {
namespace {

bool SetString(const std::string& key, const char* name, const std::string& value) {
  HKEY k;
  if (RegCreateKeyEx(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr) !=
      ERROR_SUCCESS) {
    return false;
  }
  const LONG st = RegSetValueEx(k, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                static_cast<DWORD>(value.size() + 1));
  RegCloseKey(k);
  return st == ERROR_SUCCESS;
}

bool DeleteTree(const std::string& key) {
  const LONG st = RegDeleteTree(HKEY_CLASSES_ROOT, key.c_str());
  return st == ERROR_SUCCESS || st == ERROR_FILE_NOT_FOUND;
}

// The command line the service file and LocalServer32 hold: the path quoted for a shell-style
// split, so that a path with blanks survives.
std::string Quoted(std::string_view path) {
  std::string out = "\"";
  for (char c : path) {
    if (c == '"' || c == '\\' || c == '$' || c == '`') out += '\\';
    out += c;
  }
  return out + "\"";
}

}  // namespace

std::string LocalServerServiceFile(REFCLSID clsid) {
  std::string base;
  if (const char* x = std::getenv("XDG_DATA_HOME"); x && *x == '/') {
    base = x;
  } else if (const char* h = std::getenv("HOME"); h && *h) {
    base = std::string(h) + "/.local/share";
  } else {
    return {};
  }
  return base + "/dbus-1/services/" + LocalServerBusName(clsid) + ".service";
}

HRESULT RegisterLocalServer(const ClassRegistration& cls, const GUID* appId, const TypeLibInfo* lib,
                            std::string_view programPath) {
  if (!cls.clsid || programPath.empty()) return E_INVALIDARG;
  try {
    const std::string key = "CLSID\\" + GuidToString(*cls.clsid);
    const std::string command = Quoted(programPath);
    HRESULT hr = RegisterClassKeys(cls, command);
    // The class keys are those of any class, with the program in place of a library.
    bool ok = SUCCEEDED(hr) && DeleteTree(key + "\\InprocServer32") && SetString(key + "\\LocalServer32", "", command);
    if (ok && appId) {
      const std::string app = GuidToString(*appId);
      ok = SetString(key, "AppID", app) && SetString("AppID\\" + app, "", cls.description ? cls.description : "");
    }
    if (ok && lib) ok = SUCCEEDED(RegisterTypeLibKeys(*lib, programPath));
    const std::string file = LocalServerServiceFile(*cls.clsid);
    if (ok) {
      std::error_code ec;
      ok = !file.empty();
      if (ok) std::filesystem::create_directories(std::filesystem::path(file).parent_path(), ec);
      const std::string text = "[D-BUS Service]\nName=" + LocalServerBusName(*cls.clsid) + "\nExec=" + command +
                               " -Embedding\n";
      ok = ok && !ec && internal::ReplaceFile(file, text) == 0;
    }
    if (!ok) {
      UnregisterLocalServer(cls, appId, lib);
      return SELFREG_E_CLASS;
    }
    return S_OK;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
}

HRESULT UnregisterLocalServer(const ClassRegistration& cls, const GUID* appId, const TypeLibInfo* lib) {
  if (!cls.clsid) return E_INVALIDARG;
  try {
    bool ok = SUCCEEDED(UnregisterClassKeys(cls));
    if (appId) ok = DeleteTree("AppID\\" + GuidToString(*appId)) && ok;
    if (lib) ok = SUCCEEDED(UnregisterTypeLibKeys(*lib)) && ok;
    const std::string file = LocalServerServiceFile(*cls.clsid);
    if (!file.empty() && unlink(file.c_str()) != 0 && errno != ENOENT) ok = false;
    return ok ? S_OK : SELFREG_E_CLASS;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
}

}  // namespace tesk
