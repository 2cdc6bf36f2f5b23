// The SQLite backend: one connection per object, a busy time-out instead of failing at once,
// and the write lock taken when a transaction begins.
#include <sqlite3.h>

#include <memory>
#include <string>

#include "sql.h"

namespace tesk::zorum {
namespace {

// The HRESULT of an SQLite result code; what a client of a network server would see for the
// same condition.
HRESULT MapCode(int code) {
  switch (code & 0xFF) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
      return RPC_E_SERVER_TOO_BUSY_HR;
    case SQLITE_CANTOPEN:
    case SQLITE_NOTADB:
    case SQLITE_PERM:
    case SQLITE_AUTH:
      return RPC_E_SERVER_UNAVAILABLE_HR;
    case SQLITE_IOERR:
    case SQLITE_CORRUPT:
    case SQLITE_FULL:
      return RPC_E_CALL_FAILED_HR;
    case SQLITE_READONLY:
      // The file was removed or replaced under an open connection: the server is gone.
      return code == SQLITE_READONLY_DBMOVED ? RPC_E_CALL_FAILED_HR : E_ACCESSDENIED;
    default:
      return E_FAIL;
  }
}

class SqliteDatabase final : public Database {
 public:
  SqliteDatabase(const std::string& path, const OpenOptions& options) : path_(path) {
    const int rc = sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE | (options.create ? SQLITE_OPEN_CREATE : 0) | SQLITE_OPEN_NOMUTEX, nullptr);
    owner_.reset(db_);
    if (rc != SQLITE_OK) {
      std::string msg = db_ ? sqlite3_errmsg(db_) : "out of memory";
      Throw(RPC_E_SERVER_UNAVAILABLE_HR, "cannot open the database " + path + ": " + msg);
    }
    sqlite3_extended_result_codes(db_, 1);
    sqlite3_busy_timeout(db_, options.busyTimeoutMs);
    // Reading the schema tells a database from any other file at once.
    Check(sqlite3_exec(db_, "PRAGMA foreign_keys=ON; SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr));
  }
  ~SqliteDatabase() override = default;

  Rows Query(std::string_view sql, std::initializer_list<std::string_view> params) override {
    // "$N" placeholders become SQLite's numbered "?N", which bind by number, not by order.
    std::string text;
    text.reserve(sql.size());
    for (size_t i = 0; i < sql.size(); ++i) text += (sql[i] == '$' && i + 1 < sql.size() && isdigit(static_cast<unsigned char>(sql[i + 1]))) ? '?' : sql[i];
    sqlite3_stmt* st = nullptr;
    Check(sqlite3_prepare_v2(db_, text.c_str(), static_cast<int>(text.size()), &st, nullptr));
    struct Finalizer {
      sqlite3_stmt* s;
      ~Finalizer() { sqlite3_finalize(s); }
    } fin{st};
    int n = 1;
    for (std::string_view p : params) Check(sqlite3_bind_text(st, n++, p.data(), static_cast<int>(p.size()), SQLITE_TRANSIENT));
    Rows rows;
    for (;;) {
      const int rc = sqlite3_step(st);
      if (rc == SQLITE_DONE) break;
      if (rc != SQLITE_ROW) Check(rc);
      Row row;
      const int cols = sqlite3_column_count(st);
      for (int c = 0; c < cols; ++c) {
        const auto* t = reinterpret_cast<const char*>(sqlite3_column_text(st, c));
        row.emplace_back(t ? std::string(t, static_cast<size_t>(sqlite3_column_bytes(st, c))) : std::string());
      }
      rows.push_back(std::move(row));
    }
    return rows;
  }

  void Script(std::string_view sql) override { Check(sqlite3_exec(db_, std::string(sql).c_str(), nullptr, nullptr, nullptr)); }
  void Begin() override { Check(sqlite3_exec(db_, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr)); }
  void Commit() override { Check(sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr)); }
  void Rollback() noexcept override {
    if (!sqlite3_get_autocommit(db_)) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
  }
  bool IsPostgres() const override { return false; }

 private:
  void Check(int rc) {
    if (rc == SQLITE_OK || rc == SQLITE_ROW || rc == SQLITE_DONE) return;
    const int ext = sqlite3_extended_errcode(db_);
    std::string what = sqlite3_errmsg(db_);
    if ((rc & 0xFF) == SQLITE_NOTADB) what = "not a database";
    Throw(MapCode(ext ? ext : rc), path_ + ": " + what);
  }

  std::string path_;
  // Owns the handle, so that a constructor that fails half-way still closes it.
  struct Close {
    void operator()(sqlite3* d) const { sqlite3_close_v2(d); }
  };
  std::unique_ptr<sqlite3, Close> owner_;
  sqlite3* db_ = nullptr;
};

}  // namespace

std::unique_ptr<Database> OpenSqlite(const std::string& path, const OpenOptions& options) {
  return std::make_unique<SqliteDatabase>(path, options);
}

}  // namespace tesk::zorum
