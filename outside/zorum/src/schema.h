// The server's tables, the same on both backends, and their version.
#ifndef TESK_OUTSIDE_ZORUM_SRC_SCHEMA_H_
#define TESK_OUTSIDE_ZORUM_SRC_SCHEMA_H_

#include <string>

#include "sql.h"

namespace tesk::zorum {

// Raised whenever the tables change; a database of a higher version is refused.
inline constexpr int kSchemaVersion = 1;

// Creates the tables when missing and records the version. Runs inside the caller's
// transaction.
void CreateSchema(Database& db);

// Throws unless the database holds this server's tables at a version this build reads: "not a
// server database" or "schema version N is newer than this server (1)".
void CheckSchema(Database& db, const std::string& where);

}  // namespace tesk::zorum

#endif  // TESK_OUTSIDE_ZORUM_SRC_SCHEMA_H_
