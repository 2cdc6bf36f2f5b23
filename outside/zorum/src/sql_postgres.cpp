// The PostgreSQL backend through libpq. Passwords never pass through here: libpq takes them
// from its password file, its environment or peer authentication on a Unix socket.
#include <libpq-fe.h>

#include <cstring>
#include <memory>
#include <string>

#include "sql.h"

namespace tesk::zorum {
namespace {

// The HRESULT of a failed statement, by SQLSTATE and connection state.
HRESULT MapState(PGconn* conn, const char* state) {
  if (PQstatus(conn) == CONNECTION_BAD) return RPC_E_CALL_FAILED_HR;
  const std::string s = state ? state : "";
  if (s.rfind("08", 0) == 0 || s.rfind("57P", 0) == 0) return RPC_E_CALL_FAILED_HR;  // connection, shutdown
  if (s.rfind("53", 0) == 0 || s == "55P03" || s == "57014" || s == "40P01" || s == "40001")
    return RPC_E_SERVER_TOO_BUSY_HR;  // resources, lock time-out, cancelled, deadlock, serialization
  if (s == "42501") return E_ACCESSDENIED;
  return E_FAIL;
}

std::string Trimmed(const char* text) {
  std::string s = text ? text : "";
  while (!s.empty() && (s.back() == '\n' || s.back() == ' ')) s.pop_back();
  return s;
}

struct ResultFree {
  void operator()(PGresult* r) const { PQclear(r); }
};
using Result = std::unique_ptr<PGresult, ResultFree>;

class PostgresDatabase final : public Database {
 public:
  PostgresDatabase(const std::string& uri, const OpenOptions& options) {
    const std::string timeout = std::to_string(options.busyTimeoutMs < 1000 ? 1 : options.busyTimeoutMs / 1000);
    const char* keys[] = {"dbname", "connect_timeout", "application_name", nullptr};
    const char* values[] = {uri.c_str(), timeout.c_str(), "tesk-zorum", nullptr};
    owner_.reset(PQconnectdbParams(keys, values, /*expand_dbname=*/1));
    conn_ = owner_.get();
    if (!conn_) Throw(E_OUTOFMEMORY, "out of memory");
    if (PQstatus(conn_) != CONNECTION_OK) {
      const std::string msg = Trimmed(PQerrorMessage(conn_));
      const bool full = msg.find("too many clients") != std::string::npos ||
                        msg.find("remaining connection slots") != std::string::npos;
      Throw(full ? RPC_E_SERVER_TOO_BUSY_HR : RPC_E_SERVER_UNAVAILABLE_HR, "cannot connect to the database: " + msg);
    }
    // Waiting for a lock longer than the busy time-out answers "too busy".
    Query("SELECT set_config('lock_timeout', $1, false)", {std::to_string(options.busyTimeoutMs)});
    Script("SET client_min_messages = warning");
  }
  ~PostgresDatabase() override = default;

  Rows Query(std::string_view sql, std::initializer_list<std::string_view> params) override {
    std::vector<std::string> owned(params.begin(), params.end());  // libpq wants terminated text
    std::vector<const char*> values;
    for (const std::string& p : owned) values.push_back(p.c_str());
    Result r(PQexecParams(conn_, std::string(sql).c_str(), static_cast<int>(values.size()), nullptr, values.data(),
                          nullptr, nullptr, 0));
    Check(r.get());
    Rows rows;
    const int n = PQntuples(r.get()), cols = PQnfields(r.get());
    rows.reserve(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
      Row row;
      for (int c = 0; c < cols; ++c)
        row.emplace_back(PQgetvalue(r.get(), i, c), static_cast<size_t>(PQgetlength(r.get(), i, c)));
      rows.push_back(std::move(row));
    }
    return rows;
  }

  void Script(std::string_view sql) override {
    Result r(PQexec(conn_, std::string(sql).c_str()));
    Check(r.get());
  }
  void Begin() override { Script("BEGIN"); }
  void Commit() override { Script("COMMIT"); }
  void Rollback() noexcept override {
    if (PQtransactionStatus(conn_) != PQTRANS_IDLE) PQclear(PQexec(conn_, "ROLLBACK"));
  }
  bool IsPostgres() const override { return true; }

 private:
  void Check(PGresult* r) {
    const ExecStatusType st = r ? PQresultStatus(r) : PGRES_FATAL_ERROR;
    if (st == PGRES_COMMAND_OK || st == PGRES_TUPLES_OK) return;
    const char* state = r ? PQresultErrorField(r, PG_DIAG_SQLSTATE) : nullptr;
    const std::string msg = Trimmed(r ? PQresultErrorMessage(r) : PQerrorMessage(conn_));
    Throw(MapState(conn_, state), "database: " + (msg.empty() ? std::string("the connection was lost") : msg));
  }

  // Owns the connection, so that a constructor that fails half-way still closes it.
  struct Finish {
    void operator()(PGconn* c) const { PQfinish(c); }
  };
  std::unique_ptr<PGconn, Finish> owner_;
  PGconn* conn_ = nullptr;
};

}  // namespace

std::unique_ptr<Database> OpenPostgres(const std::string& uri, const OpenOptions& options) {
  return std::make_unique<PostgresDatabase>(uri, options);
}

bool IsSqliteUri(std::string_view uri) { return uri.rfind("sqlite:", 0) == 0; }
bool IsPostgresUri(std::string_view uri) { return uri.rfind("postgresql://", 0) == 0 || uri.rfind("postgres://", 0) == 0; }

bool UriHasPassword(std::string_view uri) {
  if (!IsPostgresUri(uri)) return false;
  // libpq parses the URI exactly as a connection would; its "password" option is what counts.
  char* err = nullptr;
  PQconninfoOption* opts = PQconninfoParse(std::string(uri).c_str(), &err);
  if (err) PQfreemem(err);
  if (!opts) return true;  // unparseable: refuse rather than risk storing a secret
  bool has = false;
  for (PQconninfoOption* o = opts; o->keyword; ++o)
    if (std::strcmp(o->keyword, "password") == 0 && o->val && *o->val) has = true;
  PQconninfoFree(opts);
  return has;
}

std::unique_ptr<Database> OpenDatabase(const std::string& uri, const OpenOptions& options) {
  if (IsSqliteUri(uri)) return OpenSqlite(uri.substr(7), options);
  if (IsPostgresUri(uri)) return OpenPostgres(uri, options);
  Throw(RPC_E_SERVER_UNAVAILABLE_HR, "unsupported database URI (use sqlite:PATH or postgresql://...)");
}

}  // namespace tesk::zorum
