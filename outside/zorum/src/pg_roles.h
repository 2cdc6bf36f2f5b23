// The database's own permissions on PostgreSQL: an owner role that owns and administers a
// server's schema, and a client role for the laboratory's users.
#ifndef TESK_OUTSIDE_ZORUM_SRC_PG_ROLES_H_
#define TESK_OUTSIDE_ZORUM_SRC_PG_ROLES_H_

#include <string_view>

#include "sql.h"

namespace tesk::zorum {

// Creates both roles (when missing), the schema owned by the owner role with the server's
// tables, and the client role's rights:
//  - read every table;
//  - write experiment, protocol and sample records;
//  - add its own file-use markers and remove only those (row-level security: the database
//    records the role and session of each marker itself);
//  - clear stale markers only through a function that runs as the owner and judges age and
//    session by the database's own clock and session list.
// Nothing else: roles, members, flags, groups, files and owners stay the owner's.
// The connecting user must be allowed to create roles; it is made a member of the owner role.
void SetUpPostgresServer(Database& db, std::string_view serverName);
// Drops the schema and both roles.
void DropPostgresServer(Database& db, std::string_view serverName);
// Acts as the owner role for the rest of the session (administration: load, drop, clearing
// markers); fails when the connecting user is not a member.
void BecomeOwner(Database& db, std::string_view serverName);

}  // namespace tesk::zorum

#endif  // TESK_OUTSIDE_ZORUM_SRC_PG_ROLES_H_
