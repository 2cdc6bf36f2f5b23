// Roles, grants and row-level security of a server on PostgreSQL. Identifiers cannot be bound
// parameters; they are derived from validated server names (letters, digits, '_') only.
#include "pg_roles.h"

#include "schema.h"
#include "server_map.h"

namespace tesk::zorum {

void SetUpPostgresServer(Database& db, std::string_view serverName) {
  const std::string schema = SchemaName(serverName), owner = OwnerRoleName(serverName),
                    client = ClientRoleName(serverName);
  for (const std::string& role : {owner, client}) {
    if (!db.Scalar("SELECT 1 FROM pg_roles WHERE rolname = $1", {role})) db.Script("CREATE ROLE " + role + " NOLOGIN");
  }
  // The administrator acts as the owner; being a member already is fine.
  if (!db.Scalar("SELECT 1 FROM pg_auth_members m JOIN pg_roles r ON r.oid = m.roleid "
                 "WHERE r.rolname = $1 AND m.member = (SELECT oid FROM pg_roles WHERE rolname = current_user)",
                 {owner}) &&
      !db.Scalar("SELECT 1 FROM pg_roles WHERE rolname = current_user AND rolsuper")) {
    db.Script("GRANT " + owner + " TO CURRENT_USER");
  }
  db.Script("CREATE SCHEMA IF NOT EXISTS " + schema + " AUTHORIZATION " + owner);
  db.Script("SET ROLE " + owner);
  db.Script("SET search_path TO " + schema);
  CreateSchema(db);
  db.Script(
      "REVOKE ALL ON SCHEMA " + schema + " FROM PUBLIC;"
      "GRANT USAGE ON SCHEMA " + schema + " TO " + client + ";"
      "GRANT SELECT ON ALL TABLES IN SCHEMA " + schema + " TO " + client + ";"
      "GRANT INSERT, UPDATE, DELETE ON experiments, protocol_steps, samples, sample_attributes TO " + client + ";"
      "GRANT INSERT, DELETE ON markers TO " + client + ";"
      "ALTER TABLE markers ENABLE ROW LEVEL SECURITY;"
      "DROP POLICY IF EXISTS markers_read ON markers;"
      "DROP POLICY IF EXISTS markers_add ON markers;"
      "DROP POLICY IF EXISTS markers_remove ON markers;"
      "CREATE POLICY markers_read ON markers FOR SELECT USING (true);"
      // A client adds markers only in its own name and session, and not dated ahead.
      "CREATE POLICY markers_add ON markers FOR INSERT WITH CHECK (db_role = current_user AND "
      "  session_pid = pg_backend_pid() AND since <= extract(epoch FROM now())::bigint + 60);"
      "CREATE POLICY markers_remove ON markers FOR DELETE USING (db_role = current_user);"
      // Runs as the owner: removes markers whose session has ended or that are older than the
      // server's own limit (meta "markerMaxAgeSeconds"); a client cannot pass its own limit.
      "CREATE OR REPLACE FUNCTION clear_stale_markers() RETURNS void LANGUAGE sql SECURITY DEFINER "
      "SET search_path = " + schema + ", pg_temp AS $f$ "
      "DELETE FROM markers m WHERE m.since < extract(epoch FROM now())::bigint - "
      "  COALESCE((SELECT value::bigint FROM meta WHERE key = 'markerMaxAgeSeconds'), 43200) "
      // Another role's backend start may be hidden from the owner (then NULL); pid and role
      // still tell a live session from an ended one.
      "OR NOT EXISTS (SELECT 1 FROM pg_stat_activity a WHERE a.pid = m.session_pid AND a.usename = m.db_role "
      "  AND (a.backend_start IS NULL OR extract(epoch FROM a.backend_start)::bigint::text = m.session_start)) $f$;"
      "REVOKE ALL ON FUNCTION clear_stale_markers() FROM PUBLIC;"
      "GRANT EXECUTE ON FUNCTION clear_stale_markers() TO " + client + ";");
  db.Script("RESET ROLE");
}

void DropPostgresServer(Database& db, std::string_view serverName) {
  BecomeOwner(db, serverName);
  db.Script("DROP SCHEMA IF EXISTS " + SchemaName(serverName) + " CASCADE");
  db.Script("RESET ROLE");
  db.Script("DROP ROLE IF EXISTS " + ClientRoleName(serverName));
  db.Script("DROP ROLE IF EXISTS " + OwnerRoleName(serverName));
}

void BecomeOwner(Database& db, std::string_view serverName) {
  try {
    db.Script("SET ROLE " + OwnerRoleName(serverName));
  } catch (const SqlError& e) {
    Throw(E_ACCESSDENIED, "only members of the role " + OwnerRoleName(serverName) + " administer the server " +
                              std::string(serverName) + " (" + e.message + ")");
  }
}

}  // namespace tesk::zorum
