#include "database.h"

#include "strings.h"

namespace tarvex {

// Database mode needs the server's client objects; until they are linked in, every request for
// a server answers that the database cannot be reached.
struct DatabaseSession::State {};

DatabaseSession::DatabaseSession() = default;
DatabaseSession::~DatabaseSession() = default;

bool DatabaseSession::VerifyDatabaseFile(const std::string& serverName, const std::string&, int,
                                         std::string* detail) {
  if (serverName.empty()) return true;
  *detail = LoadText(IDS_NO_DATABASE);
  return false;
}

bool DatabaseSession::TakeMarker(const std::string&, const std::string&, std::string*) { return true; }

void DatabaseSession::GiveBackMarker() {}

}  // namespace tarvex
