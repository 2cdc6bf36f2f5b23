// Server mappings in the machine registry and opening a mapped server's database.
#include "server_map.h"

#include <strings.h>

#include <cctype>
#include <cstdlib>
#include <cstring>

#include "schema.h"

namespace tesk::zorum {
namespace {

std::string KeyOf(std::string_view name) { return std::string(kServersKey) + "\\" + std::string(name); }

std::optional<std::string> ReadText(HKEY k, const char* value) {
  DWORD type = 0, cb = 0;
  if (RegQueryValueEx(k, value, nullptr, &type, nullptr, &cb) != ERROR_SUCCESS || type != REG_SZ) return std::nullopt;
  std::string data(cb, '\0');
  if (cb && RegQueryValueEx(k, value, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &cb) != ERROR_SUCCESS)
    return std::nullopt;
  data.resize(strnlen(data.c_str(), cb));
  return data;
}

std::optional<DWORD> ReadDword(HKEY k, const char* value) {
  DWORD type = 0, v = 0, cb = sizeof v;
  if (RegQueryValueEx(k, value, nullptr, &type, reinterpret_cast<BYTE*>(&v), &cb) != ERROR_SUCCESS || type != REG_DWORD)
    return std::nullopt;
  return v;
}

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

}  // namespace

bool ValidServerName(std::string_view name) {
  if (name.empty() || name.size() > 63 || !std::isalnum(static_cast<unsigned char>(name[0]))) return false;
  for (char c : name)
    if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-' || c == '.')) return false;
  return true;
}

std::string ResolveServerName(std::string_view requested) {
  char own[256];
  DWORD n = sizeof own;
  const std::string computer = GetComputerName(own, &n) ? std::string(own) : std::string("localhost");
  if (requested.empty() || requested == "." || strcasecmp(std::string(requested).c_str(), "localhost") == 0)
    return computer;
  return std::string(requested);
}

std::optional<ServerConfig> FindServer(std::string_view name) {
  if (!ValidServerName(name)) return std::nullopt;
  HKEY k;
  if (RegOpenKeyEx(HKEY_LOCAL_MACHINE, KeyOf(name).c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return std::nullopt;
  ServerConfig c;
  c.name = std::string(name);
  std::optional<std::string> uri = ReadText(k, "Database");
  if (std::optional<DWORD> f = ReadDword(k, "Fault"); f && *f) c.fault = static_cast<HRESULT>(*f);
  if (std::optional<DWORD> a = ReadDword(k, "MarkerMaxAgeSeconds")) c.markerMaxAge = *a;
  if (std::optional<DWORD> b = ReadDword(k, "BusyTimeoutMs")) c.busyTimeoutMs = static_cast<int>(*b > 600000 ? 600000 : *b);
  RegCloseKey(k);
  if (!uri) return std::nullopt;
  c.uri = *uri;
  return c;
}

ServerConfig RequireServer(std::string_view name) {
  std::optional<ServerConfig> c = FindServer(name);
  if (!c) Throw(RPC_E_SERVER_UNAVAILABLE_HR, "the server " + std::string(name) + " is unknown (no mapping; see tesk db create)");
  return *c;
}

void WriteServer(std::string_view name, std::string_view uri) {
  HKEY k;
  if (RegCreateKeyEx(HKEY_LOCAL_MACHINE, KeyOf(name).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr) !=
      ERROR_SUCCESS)
    Throw(E_ACCESSDENIED, "cannot write the machine registry key " + KeyOf(name));
  const std::string value(uri);
  const LONG st = RegSetValueEx(k, "Database", 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                static_cast<DWORD>(value.size() + 1));
  RegCloseKey(k);
  if (st != ERROR_SUCCESS) Throw(E_ACCESSDENIED, "cannot write the machine registry key " + KeyOf(name));
}

void RemoveServer(std::string_view name) {
  const LONG st = RegDeleteTree(HKEY_LOCAL_MACHINE, KeyOf(name).c_str());
  if (st != ERROR_SUCCESS && st != ERROR_FILE_NOT_FOUND) Throw(E_ACCESSDENIED, "cannot remove the registry key " + KeyOf(name));
}

std::string DefaultDataDirectory() {
  if (const char* d = std::getenv("TESK_ZORUM_DIR"); d && *d) return d;
  if (const char* r = std::getenv("TESK_REGISTRY_DIR"); r && *r) return std::string(r) + "/zorum";
  return "/var/lib/tesk/zorum";
}

std::string SchemaName(std::string_view name) {
  std::string s = "zorum_" + Lower(name);
  for (char& c : s)
    if (c == '-' || c == '.') c = '_';
  return s;
}
std::string OwnerRoleName(std::string_view name) { return SchemaName(name) + "_owner"; }
std::string ClientRoleName(std::string_view name) { return SchemaName(name) + "_client"; }

void CheckFault(std::string_view name) {
  std::optional<ServerConfig> c = FindServer(name);
  if (c && c->fault) Throw(*c->fault, "the server " + std::string(name) + " answers its Fault value");
}

std::unique_ptr<Database> OpenServer(const ServerConfig& config) {
  if (config.fault) Throw(*config.fault, "the server " + config.name + " answers its Fault value");
  if (UriHasPassword(config.uri))
    Throw(RPC_E_SERVER_UNAVAILABLE_HR, "the mapping of the server " + config.name +
                                           " holds a password, which the registry must never keep: remove it from the "
                                           "URI and put it in ~/.pgpass or PGPASSWORD");
  OpenOptions options;
  options.busyTimeoutMs = config.busyTimeoutMs;
  std::unique_ptr<Database> db = OpenDatabase(config.uri, options);
  if (db->IsPostgres()) {
    // The schema name is derived from a validated server name: letters, digits and '_' only.
    db->Script("SET search_path TO " + SchemaName(config.name));
  }
  CheckSchema(*db, "the server " + config.name);
  return db;
}

}  // namespace tesk::zorum
