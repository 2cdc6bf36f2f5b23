// Server names and their databases, as mapped in the machine registry under kServersKey.
#ifndef TESK_OUTSIDE_ZORUM_SRC_SERVER_MAP_H_
#define TESK_OUTSIDE_ZORUM_SRC_SERVER_MAP_H_

#include <tesk/zorum.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "sql.h"

namespace tesk::zorum {

struct ServerConfig {
  std::string name;  // the mapped name
  std::string uri;
  std::optional<HRESULT> fault;         // the "Fault" test value
  std::int64_t markerMaxAge = 12 * 3600;  // "MarkerMaxAgeSeconds"
  int busyTimeoutMs = 5000;              // "BusyTimeoutMs"
};

// A server name is 1 to 63 letters, digits, '_', '-' or '.', starting with a letter or digit.
bool ValidServerName(std::string_view name);
// The server that "", ".", "localhost" and the computer name mean: the one named after the
// computer.
std::string ResolveServerName(std::string_view requested);
// The mapping of a name; nullopt when the name is not mapped (an unreachable server).
std::optional<ServerConfig> FindServer(std::string_view name);
// Throws RPC_E_SERVER_UNAVAILABLE_HR for an unmapped name.
ServerConfig RequireServer(std::string_view name);
void WriteServer(std::string_view name, std::string_view uri);
void RemoveServer(std::string_view name);
// Where `tesk db create NAME` puts a SQLite database without a URI: TESK_ZORUM_DIR, else
// TESK_REGISTRY_DIR/zorum, else /var/lib/tesk/zorum.
std::string DefaultDataDirectory();
// The PostgreSQL schema and roles of a server (derived from its name in lower case, with '-'
// and '.' as '_').
std::string SchemaName(std::string_view name);
std::string OwnerRoleName(std::string_view name);
std::string ClientRoleName(std::string_view name);

// Opens a server's database for use: fails with the server's Fault value when it has one,
// with a transport error when it cannot be reached, and when its tables are missing or newer.
std::unique_ptr<Database> OpenServer(const ServerConfig& config);
// Throws the server's Fault value, read afresh, when it has one.
void CheckFault(std::string_view name);

}  // namespace tesk::zorum

#endif  // TESK_OUTSIDE_ZORUM_SRC_SERVER_MAP_H_
