// Where Vantor's answers come from: four registry values, read in a fixed order.
#include "vantor_settings.h"

#include <tesk/platform.h>

namespace tesk::vantor {

Settings ReadSettings(const ReadValue& read, const ComputerName& computerName) {
  Settings s;
  bool local = false;
  bool remote = false;
  std::string value;
  if (read(Root::kUser, kDataSourceKey, "", &value)) {
    // Exact, case-sensitive comparisons.
    if (value == kLocalDataSource) {
      s.installed = 1;
      local = true;
      s.serverName = computerName();
    } else if (value == kRemoteDataSource) {
      s.installed = 1;
      remote = true;
      if (read(Root::kMachine, kServerNameKey, "", &value)) s.serverName = value;
    }
  }
  // The directories depend only on which database the data source named.
  if (local ? read(Root::kMachine, kLocalDataPathKey, "", &value)
            : remote ? read(Root::kMachine, kRemoteDataPathKey, "", &value)
                     : read(Root::kUser, kPreferencesKey, "Datadir", &value))
    s.dataDirectory = value;
  if (local ? read(Root::kMachine, kLocalLibraryPathKey, "", &value)
            : remote ? read(Root::kMachine, kRemoteLibraryPathKey, "", &value)
                     : read(Root::kUser, kPreferencesKey, "Seqlibdir", &value))
    s.libraryDirectory = value;
  return s;
}

bool ReadRegistryValue(Root root, std::string_view key, std::string_view valueName, std::string* out) {
  HKEY k = nullptr;
  const std::string keyName(key);
  const std::string name(valueName);
  if (RegOpenKeyEx(root == Root::kUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE, keyName.c_str(), 0, KEY_READ, &k) !=
      ERROR_SUCCESS)
    return false;
  BYTE buf[kMaxValueBytes];
  DWORD cb = sizeof buf;
  DWORD type = REG_NONE;
  const LONG st = RegQueryValueEx(k, name.c_str(), nullptr, &type, buf, &cb);
  RegCloseKey(k);
  // A longer value answers ERROR_MORE_DATA and is not read; neither is a
  // value that is not a string.
  if (st != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ) || cb > sizeof buf) return false;
  // The stored text may lack its terminator; it ends at the first zero.
  std::string_view text(reinterpret_cast<const char*>(buf), cb);
  if (size_t nul = text.find('\0'); nul != std::string_view::npos) text = text.substr(0, nul);
  out->assign(text);
  return true;
}

std::optional<std::string> SystemComputerName() {
  // Host names may be longer than the 15 characters of a Windows computer
  // name; ask for the size the name needs rather than cut it off.
  std::string buf(64, '\0');
  for (int attempt = 0; attempt < 2; ++attempt) {
    DWORD n = static_cast<DWORD>(buf.size());
    if (GetComputerName(buf.data(), &n)) {
      buf.resize(n);
      return buf;
    }
    if (GetLastError() != ERROR_BUFFER_OVERFLOW || n <= buf.size()) break;
    buf.assign(n, '\0');
  }
  return std::nullopt;
}

Settings ReadSettingsFromRegistry() { return ReadSettings(&ReadRegistryValue, &SystemComputerName); }

}  // namespace tesk::vantor
