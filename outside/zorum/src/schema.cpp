// The tables of a server database. Texts are TEXT, numbers BIGINT, so one script serves both
// backends; only the defaults that name the connecting role exist on PostgreSQL alone.
#include "schema.h"

#include <charconv>

namespace tesk::zorum {
namespace {

constexpr const char* kTables = R"sql(
CREATE TABLE IF NOT EXISTS meta (key TEXT PRIMARY KEY, value TEXT NOT NULL);
CREATE TABLE IF NOT EXISTS role_functions (idx BIGINT PRIMARY KEY, name TEXT NOT NULL);
CREATE TABLE IF NOT EXISTS domain_groups (domain TEXT NOT NULL, name TEXT NOT NULL, PRIMARY KEY (domain, name));
CREATE TABLE IF NOT EXISTS group_members (domain TEXT NOT NULL, grp TEXT NOT NULL, member TEXT NOT NULL,
  PRIMARY KEY (domain, grp, member));
CREATE TABLE IF NOT EXISTS roles (name TEXT NOT NULL, server TEXT NOT NULL, dbname TEXT NOT NULL,
  own TEXT NOT NULL, other TEXT NOT NULL, PRIMARY KEY (name, server, dbname));
CREATE TABLE IF NOT EXISTS role_members (role TEXT NOT NULL, server TEXT NOT NULL, dbname TEXT NOT NULL,
  pos BIGINT NOT NULL, member TEXT NOT NULL, kind TEXT NOT NULL, PRIMARY KEY (role, server, dbname, pos));
CREATE TABLE IF NOT EXISTS files (name TEXT PRIMARY KEY, owner TEXT NOT NULL, type TEXT NOT NULL,
  sample TEXT NOT NULL, sample_type TEXT NOT NULL, project TEXT NOT NULL, experiment TEXT NOT NULL,
  assay TEXT NOT NULL, chip_type TEXT NOT NULL, usr TEXT NOT NULL, date TEXT NOT NULL);
CREATE TABLE IF NOT EXISTS experiments (name TEXT PRIMARY KEY, sample TEXT NOT NULL, usr TEXT NOT NULL,
  protocol TEXT NOT NULL, station TEXT NOT NULL, module TEXT NOT NULL, hyb_date TEXT NOT NULL,
  pixel_size TEXT NOT NULL, filter TEXT NOT NULL, scan_temp TEXT NOT NULL, scan_date TEXT NOT NULL,
  scanner_id TEXT NOT NULL, num_scans TEXT NOT NULL, scanner_type TEXT NOT NULL);
CREATE TABLE IF NOT EXISTS protocol_steps (experiment TEXT NOT NULL, pos BIGINT NOT NULL, step TEXT NOT NULL,
  PRIMARY KEY (experiment, pos));
CREATE TABLE IF NOT EXISTS samples (name TEXT PRIMARY KEY, chip_type TEXT NOT NULL, lot TEXT NOT NULL,
  operator TEXT NOT NULL, type TEXT NOT NULL, description TEXT NOT NULL, usr TEXT NOT NULL);
CREATE TABLE IF NOT EXISTS sample_attributes (sample TEXT NOT NULL, pos BIGINT NOT NULL, name TEXT NOT NULL,
  value TEXT NOT NULL, PRIMARY KEY (sample, pos));
)sql";

// Markers name their holder: the process (host, pid, start time) and the object's token; on
// PostgreSQL also the database role and session, which the database itself vouches for.
constexpr const char* kMarkersSqlite = R"sql(
CREATE TABLE IF NOT EXISTS markers (token TEXT PRIMARY KEY, file TEXT NOT NULL, host TEXT NOT NULL,
  pid BIGINT NOT NULL, pid_start BIGINT NOT NULL, since BIGINT NOT NULL,
  db_role TEXT NOT NULL DEFAULT '', session_pid BIGINT NOT NULL DEFAULT 0, session_start TEXT NOT NULL DEFAULT '');
)sql";
constexpr const char* kMarkersPostgres = R"sql(
CREATE TABLE IF NOT EXISTS markers (token TEXT PRIMARY KEY, file TEXT NOT NULL, host TEXT NOT NULL,
  pid BIGINT NOT NULL, pid_start BIGINT NOT NULL, since BIGINT NOT NULL,
  db_role TEXT NOT NULL DEFAULT current_user, session_pid BIGINT NOT NULL DEFAULT pg_backend_pid(),
  session_start TEXT NOT NULL DEFAULT '');
)sql";

}  // namespace

void CreateSchema(Database& db) {
  db.Script(kTables);
  db.Script(db.IsPostgres() ? kMarkersPostgres : kMarkersSqlite);
  db.Query("INSERT INTO meta (key, value) VALUES ('schema_version', $1) ON CONFLICT (key) DO NOTHING",
           {std::to_string(kSchemaVersion)});
}

void CheckSchema(Database& db, const std::string& where) {
  std::optional<std::string> v;
  try {
    v = db.Scalar("SELECT value FROM meta WHERE key = 'schema_version'");
  } catch (const SqlError& e) {
    if (e.hr != E_FAIL) throw;  // transport trouble stays what it is
    Throw(RPC_E_SERVER_UNAVAILABLE_HR, where + ": not a server database");
  }
  int version = 0;
  if (!v || std::from_chars(v->data(), v->data() + v->size(), version).ec != std::errc() || version < 1)
    Throw(RPC_E_SERVER_UNAVAILABLE_HR, where + ": not a server database");
  if (version > kSchemaVersion)
    Throw(RPC_E_SERVER_UNAVAILABLE_HR, where + ": schema version " + std::to_string(version) +
                                           " is newer than this server (" + std::to_string(kSchemaVersion) + ")");
}

}  // namespace tesk::zorum
