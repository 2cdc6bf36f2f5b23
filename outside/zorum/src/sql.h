// The one database layer of the stand-in: text in, text out, parameters always bound. Two
// backends: SQLite ("sqlite:PATH") and PostgreSQL through libpq ("postgresql://..."). SQL is
// written once with $1, $2, ... placeholders and portable types (TEXT, BIGINT).
//
// Failures are thrown as SqlError inside the library (and turned into HRESULTs at every COM or
// exported entry point). Its hr is one of the transport errors where the backend's condition
// is one: cannot open or connect RPC_E_SERVER_UNAVAILABLE_HR; busy beyond the time-out or too
// many connections RPC_E_SERVER_TOO_BUSY_HR; connection lost inside a call
// RPC_E_CALL_FAILED_HR. A refused permission is E_ACCESSDENIED; anything else E_FAIL.
#ifndef TESK_OUTSIDE_ZORUM_SRC_SQL_H_
#define TESK_OUTSIDE_ZORUM_SRC_SQL_H_

#include <tesk/platform.h>

#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tesk::zorum {

struct SqlError {
  HRESULT hr;
  std::string message;
};

[[noreturn]] inline void Throw(HRESULT hr, std::string message) { throw SqlError{hr, std::move(message)}; }

using Row = std::vector<std::string>;  // NULL reads as ""
using Rows = std::vector<Row>;

class Database {
 public:
  virtual ~Database() = default;
  // Runs one statement with its parameters bound in order; answers the rows it yields.
  virtual Rows Query(std::string_view sql, std::initializer_list<std::string_view> params = {}) = 0;
  // Runs several statements without parameters (schema scripts).
  virtual void Script(std::string_view sql) = 0;
  // Transactions. Begin takes the write lock at once on SQLite, so that two writers never
  // deadlock on an upgrade.
  virtual void Begin() = 0;
  virtual void Commit() = 0;
  virtual void Rollback() noexcept = 0;
  virtual bool IsPostgres() const = 0;

  // The first column of the first row, if any.
  std::optional<std::string> Scalar(std::string_view sql, std::initializer_list<std::string_view> params = {}) {
    Rows r = Query(sql, params);
    if (r.empty() || r[0].empty()) return std::nullopt;
    return r[0][0];
  }
};

// Rolls back unless committed.
class Transaction {
 public:
  explicit Transaction(Database& db) : db_(db) { db_.Begin(); }
  ~Transaction() {
    if (!done_) db_.Rollback();
  }
  void Commit() {
    db_.Commit();
    done_ = true;
  }
  Transaction(const Transaction&) = delete;
  Transaction& operator=(const Transaction&) = delete;

 private:
  Database& db_;
  bool done_ = false;
};

struct OpenOptions {
  int busyTimeoutMs = 5000;  // how long a busy database is waited for
  bool create = false;       // SQLite: create a missing file (else it is unreachable)
};

// Opens the database a URI names. Throws SqlError.
std::unique_ptr<Database> OpenSqlite(const std::string& path, const OpenOptions& options);
std::unique_ptr<Database> OpenPostgres(const std::string& uri, const OpenOptions& options);
std::unique_ptr<Database> OpenDatabase(const std::string& uri, const OpenOptions& options);

// Whether a URI is one of the two kinds; PostgreSQL URIs start "postgresql://" or "postgres://".
bool IsSqliteUri(std::string_view uri);
bool IsPostgresUri(std::string_view uri);
// Whether a PostgreSQL URI carries a password (in its user part or as a "password" parameter).
bool UriHasPassword(std::string_view uri);

}  // namespace tesk::zorum

#endif  // TESK_OUTSIDE_ZORUM_SRC_SQL_H_
