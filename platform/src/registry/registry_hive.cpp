// SQLite storage of one hive. Keys form a tree of rows (the root is row 0); values hang off
// their key. Names are stored as given plus a folded column that the unique indexes use, so
// lookups ignore case while enumeration shows the original spelling.
#include "registry/registry_hive.h"

#include <sqlite3.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <system_error>

namespace tesk::platform::reg {
namespace {

constexpr int kBusyTimeoutMs = 30000;
constexpr size_t kMaxKeyNameLength = 255;
constexpr size_t kMaxValueNameLength = 16383;

const char kSchema[] =
    "CREATE TABLE IF NOT EXISTS keys("
    " id INTEGER PRIMARY KEY,"
    " parent INTEGER REFERENCES keys(id) ON DELETE CASCADE,"
    " name TEXT NOT NULL, fold TEXT NOT NULL);"
    "CREATE UNIQUE INDEX IF NOT EXISTS keys_child ON keys(parent, fold);"
    "CREATE TABLE IF NOT EXISTS vals("
    " key INTEGER NOT NULL REFERENCES keys(id) ON DELETE CASCADE,"
    " name TEXT NOT NULL, fold TEXT NOT NULL, type INTEGER NOT NULL, data BLOB NOT NULL,"
    " PRIMARY KEY(key, fold)) WITHOUT ROWID;"
    "INSERT OR IGNORE INTO keys(id, parent, name, fold) VALUES(0, NULL, '', '');";

LONG MapError(int rc) {
  switch (rc & 0xff) {
    case SQLITE_OK:
    case SQLITE_DONE:
    case SQLITE_ROW:
      return ERROR_SUCCESS;
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_CANTOPEN:
    case SQLITE_AUTH:
      return ERROR_ACCESS_DENIED;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
      return ERROR_BUSY;
    case SQLITE_FULL:
      return ERROR_DISK_FULL;
    case SQLITE_NOMEM:
      return ERROR_NOT_ENOUGH_MEMORY;
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
      return ERROR_BADDB;
    default:
      return ERROR_REGISTRY_IO_FAILED;
  }
}

// A prepared statement that finalizes itself.
class Stmt {
 public:
  Stmt(sqlite3* db, const char* sql) { rc_ = sqlite3_prepare_v2(db, sql, -1, &s_, nullptr); }
  ~Stmt() { sqlite3_finalize(s_); }
  Stmt(const Stmt&) = delete;
  Stmt& operator=(const Stmt&) = delete;
  bool ok() const { return rc_ == SQLITE_OK; }
  int rc() const { return rc_; }
  Stmt& Bind(int i, long long v) {
    if (ok()) rc_ = sqlite3_bind_int64(s_, i, v);
    return *this;
  }
  Stmt& Bind(int i, std::string_view v) {
    if (ok()) rc_ = sqlite3_bind_text(s_, i, v.data(), static_cast<int>(v.size()), SQLITE_TRANSIENT);
    return *this;
  }
  Stmt& BindBlob(int i, std::string_view v) {
    if (ok()) rc_ = sqlite3_bind_blob(s_, i, v.empty() ? "" : v.data(), static_cast<int>(v.size()),
                                      SQLITE_TRANSIENT);
    return *this;
  }
  // SQLITE_ROW, SQLITE_DONE or an error.
  int Step() {
    if (!ok()) return rc_;
    return sqlite3_step(s_);
  }
  long long Int(int col) const { return sqlite3_column_int64(s_, col); }
  std::string Text(int col) const {
    const void* p = sqlite3_column_blob(s_, col);
    int n = sqlite3_column_bytes(s_, col);
    return p ? std::string(static_cast<const char*>(p), static_cast<size_t>(n)) : std::string();
  }

 private:
  sqlite3_stmt* s_ = nullptr;
  int rc_;
};

bool ValidName(std::string_view name, size_t max) {
  return name.size() <= max && name.find('\0') == std::string_view::npos;
}

}  // namespace

Path SplitPath(std::string_view path) {
  Path out;
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find('\\', start);
    if (end == std::string_view::npos) end = path.size();
    if (end > start) out.emplace_back(path.substr(start, end - start));
    start = end + 1;
  }
  return out;
}

std::string JoinPath(const Path& path) {
  std::string out;
  for (const std::string& part : path) {
    if (!out.empty()) out += '\\';
    out += part;
  }
  return out;
}

std::string Fold(std::string_view name) {
  std::string out(name);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

struct HiveOpener {
  static std::shared_ptr<Hive> Open(const std::string& file) {
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(file).parent_path(), ec);
    for (int flags : {SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, SQLITE_OPEN_READONLY}) {
      sqlite3* db = nullptr;
      int rc = sqlite3_open_v2(file.c_str(), &db, flags | SQLITE_OPEN_FULLMUTEX, nullptr);
      if (rc == SQLITE_OK && Prepare(db, (flags & SQLITE_OPEN_READWRITE) != 0)) {
        std::shared_ptr<Hive> hive(new Hive(db, (flags & SQLITE_OPEN_READWRITE) != 0));
        hive->pid_ = getpid();
        return hive;
      }
      sqlite3_close(db);
    }
    return nullptr;
  }

  static bool Prepare(sqlite3* db, bool write) {
    sqlite3_busy_timeout(db, kBusyTimeoutMs);
    sqlite3_exec(db, "PRAGMA foreign_keys=ON", nullptr, nullptr, nullptr);
    if (!write) {
      return sqlite3_exec(db, "SELECT count(*) FROM keys", nullptr, nullptr, nullptr) == SQLITE_OK;
    }
    // WAL lets readers go on while one process writes; switching may meet a busy hive.
    for (int i = 0; i < 50; ++i) {
      int rc = sqlite3_exec(db, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr);
      if (rc != SQLITE_BUSY && rc != SQLITE_LOCKED) break;
      usleep(20000);
    }
    sqlite3_exec(db, "PRAGMA synchronous=NORMAL", nullptr, nullptr, nullptr);
    if (sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) != SQLITE_OK) return false;
    if (sqlite3_exec(db, kSchema, nullptr, nullptr, nullptr) != SQLITE_OK ||
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK) {
      sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
      return false;
    }
    return true;
  }
};

std::shared_ptr<Hive> Hive::Get(const std::string& file) {
  static std::mutex mu;
  static auto* hives = new std::map<std::string, std::shared_ptr<Hive>>();
  std::lock_guard<std::mutex> lock(mu);
  auto it = hives->find(file);
  // A connection inherited across fork() belongs to the parent: open a fresh one.
  if (it != hives->end() && it->second->pid_ == getpid()) return it->second;
  std::shared_ptr<Hive> hive = HiveOpener::Open(file);
  if (hive) (*hives)[file] = hive;
  return hive;
}

Hive::~Hive() {
  if (pid_ != getpid()) return;  // the parent's connection, inherited across fork()
  sqlite3_finalize(lookup_);
  sqlite3_close(db_);
}

LONG Hive::Begin(bool write) {
  if (write && !writable_) return ERROR_ACCESS_DENIED;
  return MapError(sqlite3_exec(db_, write ? "BEGIN IMMEDIATE" : "BEGIN", nullptr, nullptr, nullptr));
}

LONG Hive::End(LONG status) {
  if (status == ERROR_SUCCESS) {
    int rc = sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK) return ERROR_SUCCESS;
    status = MapError(rc);
  }
  sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
  return status;
}

LONG Hive::Resolve(const Path& key, long long* id) {
  if (!lookup_) {
    const int rc = sqlite3_prepare_v3(db_, "SELECT id FROM keys WHERE parent=?1 AND fold=?2", -1,
                                      SQLITE_PREPARE_PERSISTENT, &lookup_, nullptr);
    if (rc != SQLITE_OK) return MapError(rc);
  }
  long long current = 0;
  for (const std::string& part : key) {
    const std::string folded = Fold(part);
    sqlite3_reset(lookup_);
    sqlite3_bind_int64(lookup_, 1, current);
    sqlite3_bind_text(lookup_, 2, folded.data(), static_cast<int>(folded.size()), SQLITE_STATIC);
    const int rc = sqlite3_step(lookup_);
    if (rc == SQLITE_ROW) current = sqlite3_column_int64(lookup_, 0);
    sqlite3_reset(lookup_);  // ends the read before the next statement of the transaction
    if (rc == SQLITE_DONE) return ERROR_FILE_NOT_FOUND;
    if (rc != SQLITE_ROW) return MapError(rc);
  }
  *id = current;
  return ERROR_SUCCESS;
}

template <class Body>
LONG Hive::Read(const Path& key, Body body) {
  std::lock_guard<std::mutex> lock(mu_);
  LONG st = Begin(false);
  if (st != ERROR_SUCCESS) return st;
  long long id;
  st = Resolve(key, &id);
  if (st == ERROR_SUCCESS) st = body(id);
  End(ERROR_SUCCESS);
  return st;
}

LONG Hive::Exists(const Path& key) {
  return Read(key, [](long long) -> LONG { return ERROR_SUCCESS; });
}

LONG Hive::Create(const Path& key, bool* created) {
  for (const std::string& part : key) {
    if (!ValidName(part, kMaxKeyNameLength)) return ERROR_INVALID_PARAMETER;
  }
  std::lock_guard<std::mutex> lock(mu_);
  LONG st = Begin(true);
  if (st != ERROR_SUCCESS) return st;
  *created = false;
  long long current = 0;
  for (const std::string& part : key) {
    Stmt s(db_, "SELECT id FROM keys WHERE parent=?1 AND fold=?2");
    s.Bind(1, current).Bind(2, Fold(part));
    int rc = s.Step();
    if (rc == SQLITE_ROW) {
      current = s.Int(0);
      continue;
    }
    if (rc != SQLITE_DONE) return End(MapError(rc));
    Stmt ins(db_, "INSERT INTO keys(parent, name, fold) VALUES(?1, ?2, ?3)");
    ins.Bind(1, current).Bind(2, part).Bind(3, Fold(part));
    rc = ins.Step();
    if (rc != SQLITE_DONE) return End(MapError(rc));
    current = sqlite3_last_insert_rowid(db_);
    *created = true;
  }
  return End(ERROR_SUCCESS);
}

LONG Hive::Query(const Path& key, std::string_view name, Value* out) {
  return Read(key, [&](long long id) -> LONG {
    Stmt s(db_, "SELECT name, type, data FROM vals WHERE key=?1 AND fold=?2");
    s.Bind(1, id).Bind(2, Fold(name));
    const int rc = s.Step();
    if (rc != SQLITE_ROW) return rc == SQLITE_DONE ? ERROR_FILE_NOT_FOUND : MapError(rc);
    out->name = s.Text(0);
    out->type = static_cast<DWORD>(s.Int(1));
    out->data = s.Text(2);
    return ERROR_SUCCESS;
  });
}

LONG Hive::Set(const Path& key, std::string_view name, DWORD type, std::string_view data) {
  if (!ValidName(name, kMaxValueNameLength)) return ERROR_INVALID_PARAMETER;
  std::lock_guard<std::mutex> lock(mu_);
  LONG st = Begin(true);
  if (st != ERROR_SUCCESS) return st;
  long long id;
  st = Resolve(key, &id);
  if (st != ERROR_SUCCESS) return End(st);
  // Keep the spelling of an existing name, as Windows does.
  Stmt s(db_,
         "INSERT INTO vals(key, name, fold, type, data) VALUES(?1, ?2, ?3, ?4, ?5) "
         "ON CONFLICT(key, fold) DO UPDATE SET type=excluded.type, data=excluded.data");
  s.Bind(1, id).Bind(2, name).Bind(3, Fold(name)).Bind(4, static_cast<long long>(type));
  s.BindBlob(5, data);
  int rc = s.Step();
  return End(rc == SQLITE_DONE ? ERROR_SUCCESS : MapError(rc));
}

LONG Hive::DeleteValue(const Path& key, std::string_view name) {
  std::lock_guard<std::mutex> lock(mu_);
  LONG st = Begin(true);
  if (st != ERROR_SUCCESS) return st;
  long long id;
  st = Resolve(key, &id);
  if (st != ERROR_SUCCESS) return End(st);
  Stmt s(db_, "DELETE FROM vals WHERE key=?1 AND fold=?2");
  s.Bind(1, id).Bind(2, Fold(name));
  int rc = s.Step();
  if (rc != SQLITE_DONE) return End(MapError(rc));
  return End(sqlite3_changes(db_) == 0 ? ERROR_FILE_NOT_FOUND : ERROR_SUCCESS);
}

LONG Hive::DeleteKey(const Path& key, bool tree) {
  std::lock_guard<std::mutex> lock(mu_);
  LONG st = Begin(true);
  if (st != ERROR_SUCCESS) return st;
  long long id;
  st = Resolve(key, &id);
  if (st != ERROR_SUCCESS) return End(st);
  if (!tree) {
    Stmt s(db_, "SELECT 1 FROM keys WHERE parent=?1 LIMIT 1");
    s.Bind(1, id);
    int rc = s.Step();
    if (rc == SQLITE_ROW) return End(ERROR_ACCESS_DENIED);
    if (rc != SQLITE_DONE) return End(MapError(rc));
  }
  int rc;
  if (id == 0) {
    // The root stays; everything below it goes.
    Stmt a(db_, "DELETE FROM keys WHERE id<>0");
    rc = a.Step();
    if (rc == SQLITE_DONE) {
      Stmt b(db_, "DELETE FROM vals WHERE key=0");
      rc = b.Step();
    }
  } else {
    Stmt a(db_, "DELETE FROM keys WHERE id=?1");
    a.Bind(1, id);
    rc = a.Step();
  }
  return End(rc == SQLITE_DONE ? ERROR_SUCCESS : MapError(rc));
}

template <class Take>
LONG Hive::List(const Path& key, const char* sql, Take take) {
  return Read(key, [&](long long id) -> LONG {
    Stmt s(db_, sql);
    s.Bind(1, id);
    int rc;
    while ((rc = s.Step()) == SQLITE_ROW) take(s);
    return rc == SQLITE_DONE ? ERROR_SUCCESS : MapError(rc);
  });
}

LONG Hive::SubKeys(const Path& key, std::vector<std::string>* names) {
  // A damaged hive may hold a key that is its own child or has no name; neither is listed, so
  // walking the tree always ends.
  return List(key, "SELECT name FROM keys WHERE parent=?1 AND id<>?1 AND name<>'' ORDER BY fold",
              [&](Stmt& s) { names->push_back(s.Text(0)); });
}

LONG Hive::Values(const Path& key, std::vector<Value>* values) {
  return List(key, "SELECT name, type, data FROM vals WHERE key=?1 ORDER BY fold", [&](Stmt& s) {
    values->push_back(Value{s.Text(0), static_cast<DWORD>(s.Int(1)), s.Text(2)});
  });
}

}  // namespace tesk::platform::reg
