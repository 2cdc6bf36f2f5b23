// User logon name, domain and computer name.
#include <pwd.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <tesk/platform/registry.h>
#include <tesk/platform/system.h>

namespace {

std::string LogonName() {
  const uid_t uid = geteuid();
  std::vector<char> buf(16384);
  passwd pw;
  passwd* result = nullptr;
  if (getpwuid_r(uid, &pw, buf.data(), buf.size(), &result) == 0 && result && result->pw_name &&
      *result->pw_name) {
    return result->pw_name;
  }
  for (const char* var : {"USER", "LOGNAME"}) {
    const char* v = std::getenv(var);
    if (v && *v) return v;
  }
  return "uid" + std::to_string(uid);
}

// The host name up to its first dot, as a computer name has no domain part.
std::string HostName() {
  char buf[HOST_NAME_MAX + 1] = {};
  if (gethostname(buf, sizeof buf - 1) != 0 || !buf[0]) return "localhost";
  std::string name(buf);
  size_t dot = name.find('.');
  if (dot != std::string::npos && dot > 0) name.resize(dot);
  return name;
}

std::string DomainName() {
  HKEY k;
  if (RegOpenKeyEx(HKEY_LOCAL_MACHINE, TESK_DOMAIN_KEY, 0, KEY_QUERY_VALUE, &k) == ERROR_SUCCESS) {
    char buf[256];
    DWORD cb = sizeof buf - 1, type = 0;
    LONG st = RegQueryValueEx(k, TESK_DOMAIN_VALUE, nullptr, &type, reinterpret_cast<BYTE*>(buf), &cb);
    RegCloseKey(k);
    if (st == ERROR_SUCCESS && type == REG_SZ) {
      buf[cb] = '\0';
      if (buf[0]) return buf;
    }
  }
  return HostName();
}

// GetUserName's buffer rule: the size counts the terminator, in and out.
BOOL PutWithTerminator(const std::string& s, LPSTR buf, DWORD* size) {
  if (!size) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const DWORD need = static_cast<DWORD>(s.size() + 1);
  if (!buf || *size < need) {
    *size = need;
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  std::memcpy(buf, s.c_str(), need);
  *size = need;
  return TRUE;
}

}  // namespace

BOOL GetUserName(LPSTR lpBuffer, LPDWORD pcbBuffer) {
  return PutWithTerminator(LogonName(), lpBuffer, pcbBuffer);
}

BOOL GetUserNameEx(EXTENDED_NAME_FORMAT NameFormat, LPSTR lpNameBuffer, ULONG* nSize) {
  if (NameFormat != NameSamCompatible) {
    SetLastError(ERROR_NOT_SUPPORTED);
    return FALSE;
  }
  return PutWithTerminator(DomainName() + "\\" + LogonName(), lpNameBuffer, nSize);
}

BOOL GetComputerName(LPSTR lpBuffer, LPDWORD nSize) {
  if (!nSize) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const std::string name = HostName();
  if (!lpBuffer || *nSize < name.size() + 1) {
    *nSize = static_cast<DWORD>(name.size() + 1);
    SetLastError(ERROR_BUFFER_OVERFLOW);
    return FALSE;
  }
  std::memcpy(lpBuffer, name.c_str(), name.size() + 1);
  *nSize = static_cast<DWORD>(name.size());
  return TRUE;
}
