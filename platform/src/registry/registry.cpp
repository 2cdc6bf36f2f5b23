// The Win32 registry calls over the hives: handles, predefined roots, access rights and the
// HKEY_CLASSES_ROOT overlay.
#include <tesk/platform/registry.h>

#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>
#include <unordered_set>

#include "registry/registry_hive.h"

namespace tesk::platform {

std::filesystem::path MachineHivePath() {
  const char* dir = std::getenv("TESK_REGISTRY_DIR");
  if (dir && *dir) return std::filesystem::path(dir) / "machine.db";
  return "/var/lib/tesk/registry/machine.db";
}

std::filesystem::path UserHivePath() {
  const char* dir = std::getenv("TESK_REGISTRY_DIR");
  if (dir && *dir) return std::filesystem::path(dir) / "user.db";
  std::filesystem::path base;
  if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg) {
    base = xdg;
  } else {
    const char* home = std::getenv("HOME");
    if (!home || !*home) {
      const passwd* pw = getpwuid(getuid());
      home = pw ? pw->pw_dir : "/tmp";
    }
    base = std::filesystem::path(home) / ".local" / "share";
  }
  return base / "tesk" / "registry" / "user.db";
}

}  // namespace tesk::platform

// The handle type: a key named by its root and path, resolved again on every call so that a
// handle follows what other handles and processes do to the hive.
struct HKEY__ {
  enum Root { kMachine, kUser, kClasses, kUsers } root;
  tesk::platform::reg::Path path;
  REGSAM access;
};

namespace {

using tesk::platform::reg::Fold;
using tesk::platform::reg::Hive;
using tesk::platform::reg::Path;
using tesk::platform::reg::SplitPath;
using tesk::platform::reg::Value;

std::mutex g_handles_mu;
std::unordered_set<HKEY>& Handles() {
  static auto* handles = new std::unordered_set<HKEY>();
  return *handles;
}

// Copies the key behind a handle (predefined or opened); false for an unknown handle.
bool Lookup(HKEY h, HKEY__* out) {
  const uintptr_t v = reinterpret_cast<uintptr_t>(h);
  if (v >= 0x80000000u && v <= 0x80000003u) {
    out->root = static_cast<HKEY__::Root>(
        v == 0x80000000u ? HKEY__::kClasses
                         : v == 0x80000001u ? HKEY__::kUser
                                            : v == 0x80000002u ? HKEY__::kMachine : HKEY__::kUsers);
    out->path.clear();
    out->access = KEY_ALL_ACCESS;
    return true;
  }
  std::lock_guard<std::mutex> lock(g_handles_mu);
  if (!Handles().count(h)) return false;
  *out = *h;
  return true;
}

LONG NewHandle(const HKEY__& key, PHKEY result) {
  HKEY h = new HKEY__(key);
  std::lock_guard<std::mutex> lock(g_handles_mu);
  Handles().insert(h);
  *result = h;
  return ERROR_SUCCESS;
}

// One hive seen from a key: the hive (null when it cannot be opened) and the key's path in it.
struct View {
  std::shared_ptr<Hive> hive;
  Path path;
};

Path Concat(const Path& a, const Path& b) {
  Path out = a;
  out.insert(out.end(), b.begin(), b.end());
  return out;
}

// The hives behind a key, highest priority first.
std::vector<View> Views(const HKEY__& key) {
  std::vector<View> views;
  switch (key.root) {
    case HKEY__::kMachine:
      views.push_back({Hive::Get(tesk::platform::MachineHivePath()), key.path});
      break;
    case HKEY__::kUser:
      views.push_back({Hive::Get(tesk::platform::UserHivePath()), key.path});
      break;
    case HKEY__::kClasses: {
      const Path classes = Concat({"Software", "Classes"}, key.path);
      views.push_back({Hive::Get(tesk::platform::UserHivePath()), classes});
      views.push_back({Hive::Get(tesk::platform::MachineHivePath()), classes});
      break;
    }
    case HKEY__::kUsers:
      break;
  }
  return views;
}

bool KeyExists(const View& v) { return v.hive && v.hive->Exists(v.path) == ERROR_SUCCESS; }

template <typename F>
LONG Guard(F&& f) {
  try {
    return f();
  } catch (const std::bad_alloc&) {
    return ERROR_NOT_ENOUGH_MEMORY;
  } catch (...) {
    return ERROR_REGISTRY_IO_FAILED;
  }
}

// Copies a name with its terminator into a buffer of *cch characters.
LONG PutName(const std::string& name, char* buf, DWORD* cch) {
  if (!buf || !cch) return ERROR_INVALID_PARAMETER;
  if (name.size() + 1 > *cch) return ERROR_MORE_DATA;
  std::memcpy(buf, name.c_str(), name.size() + 1);
  *cch = static_cast<DWORD>(name.size());
  return ERROR_SUCCESS;
}

// Copies value data the way RegQueryValueEx does: size only, or data when it fits.
LONG PutData(const Value& v, DWORD* type, BYTE* data, DWORD* cb) {
  if (data && !cb) return ERROR_INVALID_PARAMETER;
  if (type) *type = v.type;
  if (!cb) return ERROR_SUCCESS;
  const DWORD size = static_cast<DWORD>(v.data.size());
  if (data) {
    if (*cb < size) {
      *cb = size;
      return ERROR_MORE_DATA;
    }
    std::memcpy(data, v.data.data(), size);
  }
  *cb = size;
  return ERROR_SUCCESS;
}

// What every view of key lists, merged: the first view to name an entry wins, and the result
// is sorted by folded name. list(hive, path, out) fetches one view's entries; name(entry) is
// the entry's name.
template <class T, class List, class Name>
std::vector<T> Merged(const HKEY__& key, LONG* status, List list, Name name) {
  std::vector<T> merged;
  std::unordered_set<std::string> seen;
  bool found = false;
  *status = ERROR_SUCCESS;
  for (const View& v : Views(key)) {
    std::vector<T> part;
    if (!v.hive) continue;
    LONG st = list(*v.hive, v.path, &part);
    if (st == ERROR_FILE_NOT_FOUND) continue;
    if (st != ERROR_SUCCESS) {
      *status = st;
      return {};
    }
    found = true;
    for (T& entry : part) {
      if (seen.insert(Fold(name(entry))).second) merged.push_back(std::move(entry));
    }
  }
  if (!found && !key.path.empty()) *status = ERROR_KEY_DELETED;
  std::sort(merged.begin(), merged.end(),
            [&](const T& a, const T& b) { return Fold(name(a)) < Fold(name(b)); });
  return merged;
}

std::vector<std::string> MergedSubKeys(const HKEY__& key, LONG* status) {
  return Merged<std::string>(
      key, status,
      [](Hive& h, const Path& path, std::vector<std::string>* out) { return h.SubKeys(path, out); },
      [](const std::string& n) -> const std::string& { return n; });
}

std::vector<Value> MergedValues(const HKEY__& key, LONG* status) {
  return Merged<Value>(
      key, status,
      [](Hive& h, const Path& path, std::vector<Value>* out) { return h.Values(path, out); },
      [](const Value& v) -> const std::string& { return v.name; });
}

LONG DeleteKeyImpl(HKEY hKey, const char* lpSubKey, bool tree) {
  HKEY__ key;
  if (!Lookup(hKey, &key)) return ERROR_INVALID_HANDLE;
  const Path sub = SplitPath(lpSubKey ? lpSubKey : "");
  if (sub.empty() && !tree) return ERROR_INVALID_PARAMETER;  // a key cannot delete itself
  key.path = Concat(key.path, sub);
  LONG result = ERROR_FILE_NOT_FOUND;
  for (View& v : Views(key)) {
    if (!v.hive) continue;
    LONG st;
    if (sub.empty()) {
      // RegDeleteTree(h, NULL): the contents go, the key stays.
      std::vector<std::string> children;
      st = v.hive->SubKeys(v.path, &children);
      for (size_t i = 0; st == ERROR_SUCCESS && i < children.size(); ++i) {
        st = v.hive->DeleteKey(Concat(v.path, {children[i]}), true);
      }
      std::vector<Value> values;
      if (st == ERROR_SUCCESS) st = v.hive->Values(v.path, &values);
      for (size_t i = 0; st == ERROR_SUCCESS && i < values.size(); ++i) {
        st = v.hive->DeleteValue(v.path, values[i].name);
      }
    } else {
      st = v.hive->DeleteKey(v.path, tree);
    }
    if (st == ERROR_FILE_NOT_FOUND) continue;
    if (st != ERROR_SUCCESS) return st;
    result = ERROR_SUCCESS;
  }
  return result;
}

}  // namespace

LONG RegOpenKeyEx(HKEY hKey, const char* lpSubKey, DWORD, REGSAM samDesired, PHKEY phkResult) {
  return Guard([&]() -> LONG {
    if (!phkResult) return ERROR_INVALID_PARAMETER;
    *phkResult = nullptr;
    HKEY__ key;
    if (!Lookup(hKey, &key)) return ERROR_INVALID_HANDLE;
    key.path = Concat(key.path, SplitPath(lpSubKey ? lpSubKey : ""));
    key.access = samDesired;
    if (!key.path.empty()) {
      bool found = false;
      for (const View& v : Views(key)) found = found || KeyExists(v);
      if (!found) return ERROR_FILE_NOT_FOUND;
    } else if (key.root == HKEY__::kUsers) {
      return ERROR_FILE_NOT_FOUND;
    }
    return NewHandle(key, phkResult);
  });
}

LONG RegOpenKey(HKEY hKey, const char* lpSubKey, PHKEY phkResult) {
  return RegOpenKeyEx(hKey, lpSubKey, 0, KEY_ALL_ACCESS, phkResult);
}

LONG RegCreateKeyEx(HKEY hKey, const char* lpSubKey, DWORD, char*, DWORD, REGSAM samDesired,
                    const void*, PHKEY phkResult, DWORD* lpdwDisposition) {
  return Guard([&]() -> LONG {
    if (!phkResult) return ERROR_INVALID_PARAMETER;
    *phkResult = nullptr;
    HKEY__ key;
    if (!Lookup(hKey, &key)) return ERROR_INVALID_HANDLE;
    const Path sub = SplitPath(lpSubKey ? lpSubKey : "");
    if (!sub.empty() && !(key.access & KEY_CREATE_SUB_KEY)) return ERROR_ACCESS_DENIED;
    if (key.root == HKEY__::kUsers) return ERROR_ACCESS_DENIED;
    key.path = Concat(key.path, sub);
    key.access = samDesired;
    std::vector<View> views = Views(key);
    // Where the key is written: under the classes root, the hive that holds the nearest
    // existing ancestor (the user's first); elsewhere the one hive.
    const View* target = nullptr;
    for (size_t len = key.path.size(); !target && len > 0 && views.size() > 1; --len) {
      const Path prefix(key.path.begin(), key.path.begin() + static_cast<std::ptrdiff_t>(len));
      for (const View& v : views) {
        if (v.hive && v.hive->Exists(Concat({"Software", "Classes"}, prefix)) == ERROR_SUCCESS) {
          target = &v;
          break;
        }
      }
    }
    if (!target) target = &views.back();
    bool created = false;
    LONG st = target->hive ? target->hive->Create(target->path, &created) : ERROR_ACCESS_DENIED;
    if (st == ERROR_ACCESS_DENIED && key.root == HKEY__::kClasses && target != &views[0] &&
        views[0].hive) {
      st = views[0].hive->Create(views[0].path, &created);
    }
    if (st != ERROR_SUCCESS) return st;
    if (lpdwDisposition) *lpdwDisposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    return NewHandle(key, phkResult);
  });
}

LONG RegCreateKey(HKEY hKey, const char* lpSubKey, PHKEY phkResult) {
  return RegCreateKeyEx(hKey, lpSubKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, phkResult,
                        nullptr);
}

LONG RegQueryValueEx(HKEY hKey, const char* lpValueName, DWORD* lpReserved, DWORD* lpType,
                     BYTE* lpData, DWORD* lpcbData) {
  return Guard([&]() -> LONG {
    if (lpReserved) return ERROR_INVALID_PARAMETER;
    HKEY__ key;
    if (!Lookup(hKey, &key)) return ERROR_INVALID_HANDLE;
    if (!(key.access & KEY_QUERY_VALUE)) return ERROR_ACCESS_DENIED;
    const std::string_view name = lpValueName ? lpValueName : "";
    for (const View& v : Views(key)) {
      if (!v.hive) continue;
      Value value;
      LONG st = v.hive->Query(v.path, name, &value);
      if (st == ERROR_FILE_NOT_FOUND) continue;
      if (st != ERROR_SUCCESS) return st;
      return PutData(value, lpType, lpData, lpcbData);
    }
    return ERROR_FILE_NOT_FOUND;
  });
}

LONG RegSetValueEx(HKEY hKey, const char* lpValueName, DWORD, DWORD dwType, const BYTE* lpData,
                   DWORD cbData) {
  return Guard([&]() -> LONG {
    if (!lpData && cbData) return ERROR_INVALID_PARAMETER;
    HKEY__ key;
    if (!Lookup(hKey, &key)) return ERROR_INVALID_HANDLE;
    if (!(key.access & KEY_SET_VALUE)) return ERROR_ACCESS_DENIED;
    std::string data(reinterpret_cast<const char*>(lpData), lpData ? cbData : 0);
    // Strings are kept terminated, so that a reader that trusts the terminator is safe.
    if ((dwType == REG_SZ || dwType == REG_EXPAND_SZ) && (data.empty() || data.back() != '\0')) {
      data.push_back('\0');
    }
    for (const View& v : Views(key)) {
      if (!KeyExists(v)) continue;
      return v.hive->Set(v.path, lpValueName ? lpValueName : "", dwType, data);
    }
    return key.path.empty() && key.root != HKEY__::kUsers ? ERROR_ACCESS_DENIED : ERROR_KEY_DELETED;
  });
}

LONG RegQueryValue(HKEY hKey, const char* lpSubKey, char* lpData, LONG* lpcbData) {
  HKEY sub;
  LONG st = RegOpenKeyEx(hKey, lpSubKey, 0, KEY_QUERY_VALUE, &sub);
  if (st != ERROR_SUCCESS) return st;
  DWORD type = REG_SZ;
  DWORD cb = lpcbData ? static_cast<DWORD>(std::max<LONG>(*lpcbData, 0)) : 0;
  st = RegQueryValueEx(sub, "", nullptr, &type, reinterpret_cast<BYTE*>(lpData),
                       lpcbData ? &cb : nullptr);
  RegCloseKey(sub);
  if (st == ERROR_FILE_NOT_FOUND) {
    // A key without a default value reads as the empty string.
    st = ERROR_SUCCESS;
    cb = 1;
    if (lpData && lpcbData && *lpcbData >= 1) lpData[0] = '\0';
    else if (lpData) st = ERROR_MORE_DATA;
  } else if (st == ERROR_SUCCESS && type != REG_SZ) {
    return ERROR_INVALID_PARAMETER;
  }
  if (lpcbData) *lpcbData = static_cast<LONG>(cb);
  return st;
}

LONG RegSetValue(HKEY hKey, const char* lpSubKey, DWORD dwType, const char* lpData, DWORD) {
  if (dwType != REG_SZ || !lpData) return ERROR_INVALID_PARAMETER;
  HKEY sub;
  LONG st = RegCreateKeyEx(hKey, lpSubKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &sub, nullptr);
  if (st != ERROR_SUCCESS) return st;
  st = RegSetValueEx(sub, "", 0, REG_SZ, reinterpret_cast<const BYTE*>(lpData),
                     static_cast<DWORD>(std::strlen(lpData) + 1));
  RegCloseKey(sub);
  return st;
}

LONG RegEnumKeyEx(HKEY hKey, DWORD dwIndex, char* lpName, DWORD* lpcchName, DWORD* lpReserved,
                  char* lpClass, DWORD* lpcchClass, PFILETIME lpftLastWriteTime) {
  return Guard([&]() -> LONG {
    if (lpReserved) return ERROR_INVALID_PARAMETER;
    HKEY__ key;
    if (!Lookup(hKey, &key)) return ERROR_INVALID_HANDLE;
    if (!(key.access & KEY_ENUMERATE_SUB_KEYS)) return ERROR_ACCESS_DENIED;
    LONG st;
    std::vector<std::string> names = MergedSubKeys(key, &st);
    if (st != ERROR_SUCCESS) return st;
    if (dwIndex >= names.size()) return ERROR_NO_MORE_ITEMS;
    st = PutName(names[dwIndex], lpName, lpcchName);
    if (st != ERROR_SUCCESS) return st;
    if (lpClass && lpcchClass && *lpcchClass) lpClass[0] = '\0';
    if (lpcchClass) *lpcchClass = 0;
    if (lpftLastWriteTime) *lpftLastWriteTime = FILETIME{0, 0};
    return ERROR_SUCCESS;
  });
}

LONG RegEnumKey(HKEY hKey, DWORD dwIndex, char* lpName, DWORD cchName) {
  return RegEnumKeyEx(hKey, dwIndex, lpName, &cchName, nullptr, nullptr, nullptr, nullptr);
}

LONG RegEnumValue(HKEY hKey, DWORD dwIndex, char* lpValueName, DWORD* lpcchValueName,
                  DWORD* lpReserved, DWORD* lpType, BYTE* lpData, DWORD* lpcbData) {
  return Guard([&]() -> LONG {
    if (lpReserved) return ERROR_INVALID_PARAMETER;
    HKEY__ key;
    if (!Lookup(hKey, &key)) return ERROR_INVALID_HANDLE;
    if (!(key.access & KEY_QUERY_VALUE)) return ERROR_ACCESS_DENIED;
    LONG st;
    std::vector<Value> values = MergedValues(key, &st);
    if (st != ERROR_SUCCESS) return st;
    if (dwIndex >= values.size()) return ERROR_NO_MORE_ITEMS;
    st = PutName(values[dwIndex].name, lpValueName, lpcchValueName);
    if (st != ERROR_SUCCESS) return st;
    return PutData(values[dwIndex], lpType, lpData, lpcbData);
  });
}

LONG RegQueryInfoKey(HKEY hKey, char* lpClass, DWORD* lpcchClass, DWORD* lpReserved,
                     DWORD* lpcSubKeys, DWORD* lpcbMaxSubKeyLen, DWORD* lpcbMaxClassLen,
                     DWORD* lpcValues, DWORD* lpcbMaxValueNameLen, DWORD* lpcbMaxValueLen,
                     DWORD* lpcbSecurityDescriptor, PFILETIME lpftLastWriteTime) {
  return Guard([&]() -> LONG {
    if (lpReserved) return ERROR_INVALID_PARAMETER;
    HKEY__ key;
    if (!Lookup(hKey, &key)) return ERROR_INVALID_HANDLE;
    if (!(key.access & KEY_QUERY_VALUE)) return ERROR_ACCESS_DENIED;
    LONG st;
    std::vector<std::string> names = MergedSubKeys(key, &st);
    if (st != ERROR_SUCCESS) return st;
    std::vector<Value> values = MergedValues(key, &st);
    if (st != ERROR_SUCCESS) return st;
    DWORD maxName = 0, maxValueName = 0, maxValue = 0;
    for (const std::string& n : names) maxName = std::max<DWORD>(maxName, static_cast<DWORD>(n.size()));
    for (const Value& v : values) {
      maxValueName = std::max<DWORD>(maxValueName, static_cast<DWORD>(v.name.size()));
      maxValue = std::max<DWORD>(maxValue, static_cast<DWORD>(v.data.size()));
    }
    if (lpClass && lpcchClass && *lpcchClass) lpClass[0] = '\0';
    if (lpcchClass) *lpcchClass = 0;
    if (lpcSubKeys) *lpcSubKeys = static_cast<DWORD>(names.size());
    if (lpcbMaxSubKeyLen) *lpcbMaxSubKeyLen = maxName;
    if (lpcbMaxClassLen) *lpcbMaxClassLen = 0;
    if (lpcValues) *lpcValues = static_cast<DWORD>(values.size());
    if (lpcbMaxValueNameLen) *lpcbMaxValueNameLen = maxValueName;
    if (lpcbMaxValueLen) *lpcbMaxValueLen = maxValue;
    if (lpcbSecurityDescriptor) *lpcbSecurityDescriptor = 0;
    if (lpftLastWriteTime) *lpftLastWriteTime = FILETIME{0, 0};
    return ERROR_SUCCESS;
  });
}

LONG RegDeleteKey(HKEY hKey, const char* lpSubKey) {
  return Guard([&] { return DeleteKeyImpl(hKey, lpSubKey, false); });
}

LONG RegDeleteTree(HKEY hKey, const char* lpSubKey) {
  return Guard([&] { return DeleteKeyImpl(hKey, lpSubKey, true); });
}

LONG RegDeleteValue(HKEY hKey, const char* lpValueName) {
  return Guard([&]() -> LONG {
    HKEY__ key;
    if (!Lookup(hKey, &key)) return ERROR_INVALID_HANDLE;
    if (!(key.access & KEY_SET_VALUE)) return ERROR_ACCESS_DENIED;
    LONG result = ERROR_FILE_NOT_FOUND;
    for (const View& v : Views(key)) {
      if (!v.hive) continue;
      LONG st = v.hive->DeleteValue(v.path, lpValueName ? lpValueName : "");
      if (st == ERROR_FILE_NOT_FOUND) continue;
      if (st != ERROR_SUCCESS) return st;
      result = ERROR_SUCCESS;
    }
    return result;
  });
}

LONG RegCloseKey(HKEY hKey) {
  const uintptr_t v = reinterpret_cast<uintptr_t>(hKey);
  if (v >= 0x80000000u && v <= 0x80000003u) return ERROR_SUCCESS;
  std::lock_guard<std::mutex> lock(g_handles_mu);
  if (!Handles().erase(hKey)) return ERROR_INVALID_HANDLE;
  delete hKey;
  return ERROR_SUCCESS;
}

LONG RegFlushKey(HKEY hKey) {
  HKEY__ key;
  return Lookup(hKey, &key) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}
