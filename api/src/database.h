// Database mode of a file object: its server connection, the check that the server knows the
// file and lets the caller use it, and the file-use marker while a file is loaded.
#ifndef TESK_API_SRC_DATABASE_H_
#define TESK_API_SRC_DATABASE_H_

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

  // VerifyDatabaseFile: true to go on; false with *detail set to exactly one of the texts
  // 5114 (access denied), 5115 (no database) and 5116 (unknown file).
  bool VerifyDatabaseFile(const std::string& serverName, const std::string& name, int roleFunction,
                          std::string* detail);
  bool HoldsMarker() const;
  // Takes a marker for `fullPath` when the server wants markers (version 3.5 and later). Call
  // GiveBackMarker (after closing the reader) first when one is held. False with *detail set
  // when the server refused the mark.
  bool TakeMarker(const std::string& serverName, const std::string& fullPath, std::string* detail);
  // Unmarks and releases the marker, if one is held.
  void GiveBackMarker();

 private:
  std::unique_ptr<CServerConnection> connection_;
  struct Marker;
  std::unique_ptr<Marker> marker_;
};

}  // namespace tarvex

#endif  // TESK_API_SRC_DATABASE_H_
