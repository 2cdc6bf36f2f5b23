// The three transport errors, each from a real condition of the backend: a database that
// cannot be reached, one that stays busy beyond the time-out, and a connection lost inside a
// call (a PostgreSQL session ended by the server; an embedded database has no connection to
// lose).
#include <libpq-fe.h>
#include <sqlite3.h>
#include <unistd.h>

#include "zorum_test_util.h"

namespace {

using namespace zorum_test;
using tesk::Bstr;
using tesk::ComPtr;

void Map(const std::string& name, const std::string& uri) {
  HKEY k;
  const std::string key = std::string(tesk::zorum::kServersKey) + "\\" + name;
  ASSERT_EQ(RegCreateKeyEx(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr), ERROR_SUCCESS);
  RegSetValueEx(k, "Database", 0, REG_SZ, reinterpret_cast<const BYTE*>(uri.c_str()), static_cast<DWORD>(uri.size() + 1));
  RegCloseKey(k);
}

std::string UriOf(const std::string& name) {
  HKEY k;
  const std::string key = std::string(tesk::zorum::kServersKey) + "\\" + name;
  char buf[1024] = {};
  DWORD type = 0, cb = sizeof buf - 1;
  if (RegOpenKeyEx(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &k) == ERROR_SUCCESS) {
    RegQueryValueEx(k, "Database", nullptr, &type, reinterpret_cast<BYTE*>(buf), &cb);
    RegCloseKey(k);
  }
  return buf;
}

HRESULT MarkOn(const std::string& server, ComPtr<IFileInUseMarker>& m, const char* file) {
  HRESULT hr = ZorumTest::CreateOn(server, CLSID_FileInUseMarker, m);
  if (FAILED(hr)) return hr;
  Bstr f(file);
  m->put_FileName(f.Get());
  return m->Mark(VARIANT_TRUE);
}

TEST_F(ZorumTest, UnreachableDatabaseAnswersServerUnavailable) {
  Map("nodir", "sqlite:" + dir_.File("no/such/dir/x.db"));
  ComPtr<IConnection> c;
  ASSERT_EQ(CreateOn("nodir", CLSID_Connection, c), S_OK);
  EXPECT_EQ(c->Open(0), RPC_E_SERVER_UNAVAILABLE_HR);
  if (PostgresUri().empty()) return;
  // A socket directory where no server listens.
  Map("nopg", "postgresql:///postgres?host=" + dir_.str() + "&user=postgres");
  ASSERT_EQ(CreateOn("nopg", CLSID_Connection, c), S_OK);
  EXPECT_EQ(c->Open(0), RPC_E_SERVER_UNAVAILABLE_HR);
  EXPECT_NE(tesk::PeekErrorDescription().find("cannot connect"), std::string::npos);
}

TEST_F(ZorumTest, SqliteBusyBeyondTheTimeoutAnswersTooBusy) {
  const std::string name = Create(Backend::kSqlite);
  ASSERT_TRUE(SetDword(name, "BusyTimeoutMs", 100));
  sqlite3* other = nullptr;
  ASSERT_EQ(sqlite3_open(UriOf(name).substr(7).c_str(), &other), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
  ComPtr<IFileInUseMarker> m;
  EXPECT_EQ(MarkOn(name, m, "a.CEL"), RPC_E_SERVER_TOO_BUSY_HR);
  sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
  sqlite3_close(other);
  EXPECT_EQ(m->Mark(VARIANT_TRUE), S_OK);  // the same object goes on once the lock is gone
}

class PostgresTransport : public ZorumTest {
 protected:
  void SetUp() override {
    ZORUM_SKIP_WITHOUT_POSTGRES();
    ZorumTest::SetUp();
    if (HasFatalFailure()) return;
    server_ = Create(Backend::kPostgres);
    admin_ = PQconnectdb(PostgresUri().c_str());
    ASSERT_EQ(PQstatus(admin_), CONNECTION_OK) << PQerrorMessage(admin_);
  }
  void TearDown() override {
    if (admin_) PQfinish(admin_);
    ZorumTest::TearDown();
  }
  bool Exec(const std::string& sql) {
    PGresult* r = PQexec(admin_, sql.c_str());
    const bool ok = PQresultStatus(r) == PGRES_COMMAND_OK || PQresultStatus(r) == PGRES_TUPLES_OK;
    EXPECT_TRUE(ok) << sql << ": " << PQresultErrorMessage(r);
    PQclear(r);
    return ok;
  }
  std::string server_;
  PGconn* admin_ = nullptr;
};

TEST_F(PostgresTransport, LockHeldBeyondTheTimeoutAnswersTooBusy) {
  ASSERT_TRUE(SetDword(server_, "BusyTimeoutMs", 200));
  ASSERT_TRUE(Exec("BEGIN"));
  ASSERT_TRUE(Exec("LOCK TABLE " + std::string("zorum_") + [&] {
    std::string s = server_;
    for (char& ch : s) ch = (ch == '-' || ch == '.') ? '_' : static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return s;
  }() + ".markers IN ACCESS EXCLUSIVE MODE"));
  ComPtr<IFileInUseMarker> m;
  EXPECT_EQ(MarkOn(server_, m, "a.CEL"), RPC_E_SERVER_TOO_BUSY_HR) << tesk::PeekErrorDescription();
  ASSERT_TRUE(Exec("ROLLBACK"));
  EXPECT_EQ(m->Mark(VARIANT_TRUE), S_OK) << tesk::PeekErrorDescription();
}

TEST_F(PostgresTransport, SessionEndedByTheServerAnswersCallFailed) {
  const std::string file = "lost-" + server_ + ".CEL";
  ComPtr<IFileInUseMarker> m;
  ASSERT_EQ(MarkOn(server_, m, file.c_str()), S_OK) << tesk::PeekErrorDescription();
  // The marker names its session: end exactly that one, as an administrator or a restart would.
  std::string schema = "zorum_" + server_;
  for (char& ch : schema) ch = (ch == '-' || ch == '.') ? '_' : static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
  ASSERT_TRUE(Exec("SELECT pg_terminate_backend(session_pid::int) FROM " + schema + ".markers"));
  EXPECT_EQ(m->Unmark(), RPC_E_CALL_FAILED_HR) << tesk::PeekErrorDescription();
}

}  // namespace
