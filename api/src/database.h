// Database mode of a file object: its server connection, the check that the server knows the
// file and lets the caller use it, and the file-use marker while a file is loaded.
#pragma once

#include <memory>
#include <string>

namespace tarvex {

// Role functions passed to the access check.
inline constexpr int kRoleBrowse = 0;
inline constexpr int kRoleUpdate = 1;

class CServerConnection;

// What one file object holds of database mode. Nothing here touches a server while the
// object's ServerName is empty.
class DatabaseSession {
 public:
  DatabaseSession();
  ~DatabaseSession();
  DatabaseSession(const DatabaseSession&) = delete;
  DatabaseSession& operator=(const DatabaseSession&) = delete;

  // VerifyDatabaseFile: true to go on; false with *detail set to the refusal's text.
  bool VerifyDatabaseFile(const std::string& serverName, const std::string& name, int roleFunction,
                          std::string* detail);
  // Gives back any marker, then takes a new one for `fullPath` when the server wants markers.
  // False with *detail set when the server refused.
  bool TakeMarker(const std::string& serverName, const std::string& fullPath, std::string* detail);
  // Gives back the marker, if one is held.
  void GiveBackMarker();

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace tarvex
