// One registry hive: a SQLite database of keys and values. Internal to the platform library.
#ifndef TESK_PLATFORM_SRC_REGISTRY_REGISTRY_HIVE_H_
#define TESK_PLATFORM_SRC_REGISTRY_REGISTRY_HIVE_H_

#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include <sys/types.h>

#include <tesk/platform/registry.h>

struct sqlite3;
struct sqlite3_stmt;

namespace tesk::platform::reg {

// Key path below a hive's root, one component per key.
using Path = std::vector<std::string>;

// Splits "A\\B\\C" at backslashes, dropping empty components.
Path SplitPath(std::string_view path);
std::string JoinPath(const Path& path);
std::string Fold(std::string_view name);  // ASCII lower case: the comparison form

struct Value {
  std::string name;
  DWORD type = REG_NONE;
  std::string data;
};

class Hive {
 public:
  // The process's connection to the hive file, opened (and created) on first use. Returns null
  // when the file can be neither opened nor created.
  static std::shared_ptr<Hive> Get(const std::string& file);
  ~Hive();
  Hive(const Hive&) = delete;
  Hive& operator=(const Hive&) = delete;

  bool writable() const { return writable_; }

  // Every call returns a Win32 error code; a missing key is ERROR_FILE_NOT_FOUND.
  LONG Exists(const Path& key);
  LONG Create(const Path& key, bool* created);
  LONG Query(const Path& key, std::string_view name, Value* out);
  LONG Set(const Path& key, std::string_view name, DWORD type, std::string_view data);
  LONG DeleteValue(const Path& key, std::string_view name);
  // tree false: refuses (ERROR_ACCESS_DENIED) a key that has sub-keys. An empty path with tree
  // set empties the hive.
  LONG DeleteKey(const Path& key, bool tree);
  LONG SubKeys(const Path& key, std::vector<std::string>* names);
  LONG Values(const Path& key, std::vector<Value>* values);

 private:
  Hive(sqlite3* db, bool writable) : db_(db), writable_(writable) {}
  LONG Resolve(const Path& key, long long* id);
  LONG Begin(bool write);
  LONG End(LONG status);
  // In a read transaction, resolves key and runs body(id) on it: body's status, or why the key
  // could not be resolved.
  template <class Body>
  LONG Read(const Path& key, Body body);
  // Runs a listing query (sql, with the key's id as ?1), handing each row to take.
  template <class Take>
  LONG List(const Path& key, const char* sql, Take take);

  std::mutex mu_;
  sqlite3* db_;
  sqlite3_stmt* lookup_ = nullptr;  // child id by parent and folded name; reused, as paths
                                    // are walked a component at a time on every call
  bool writable_;
  pid_t pid_ = 0;
  friend struct HiveOpener;
};

}  // namespace tesk::platform::reg

#endif  // TESK_PLATFORM_SRC_REGISTRY_REGISTRY_HIVE_H_
