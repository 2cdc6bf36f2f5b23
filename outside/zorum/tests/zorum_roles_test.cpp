// The database's own permissions on PostgreSQL, tested as an attacker would: a laboratory user
// holding only the client role does everything the kit's clients need through the server's
// objects, and the database itself refuses every change to roles, members, flags, groups,
// files and owners, and to other holders' markers.
#include <libpq-fe.h>

#include "zorum_test_util.h"

namespace {

using namespace zorum_test;
using tesk::Bstr;
using tesk::ComPtr;
using tesk::Variant;

std::string Lower(std::string s) {
  for (char& c : s) c = (c == '-' || c == '.') ? '_' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// The URI with its user replaced.
std::string AsUser(const std::string& uri, const std::string& user) {
  const size_t at = uri.find("user=");
  return uri.substr(0, at) + "user=" + user;
}

class ClientRoleTest : public ZorumTest {
 protected:
  void SetUp() override {
    ZORUM_SKIP_WITHOUT_POSTGRES();
    ZorumTest::SetUp();
    if (HasFatalFailure()) return;
    ASSERT_NE(PostgresUri().find("user="), std::string::npos) << "the test URI names its user last";
    server_ = Create(Backend::kPostgres);
    Load(server_, R"({"server": {"serverName": "labsrv", "database": "LabDB"},
      "groups": {"LAB\\g": ["ann"]},
      "roles": [{"name": "R", "server": "labsrv", "database": "LabDB", "members": [["LAB\\ann", "GU"]],
                 "own": "YNNNNNNNNNNNNN", "other": "NNNNNNNNNNNNNN"}],
      "files": [{"name": "a.CEL", "owner": "ann"}],
      "experiments": [{"name": "E1"}]})");
    schema_ = "zorum_" + Lower(server_);
    // What an administrator does for a laboratory user (README): a login role holding the
    // server's client role.
    user_ = "labuser_" + std::to_string(getpid());
    admin_ = PQconnectdb(PostgresUri().c_str());
    ASSERT_EQ(PQstatus(admin_), CONNECTION_OK);
    Admin("SET client_min_messages = warning");
    Admin("DROP ROLE IF EXISTS " + user_);
    Admin("CREATE ROLE " + user_ + " LOGIN");
    Admin("GRANT " + schema_ + "_client TO " + user_);
    // The workstation's mapping names the laboratory user.
    HKEY k;
    const std::string key = std::string(tesk::zorum::kServersKey) + "\\" + server_;
    ASSERT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_ALL_ACCESS, &k), ERROR_SUCCESS);
    const std::string uri = AsUser(PostgresUri(), user_);
    RegSetValueEx(k, "Database", 0, REG_SZ, reinterpret_cast<const BYTE*>(uri.c_str()), static_cast<DWORD>(uri.size() + 1));
    RegCloseKey(k);
    client_ = PQconnectdb(uri.c_str());
    ASSERT_EQ(PQstatus(client_), CONNECTION_OK) << PQerrorMessage(client_);
    Client("SET search_path TO " + schema_);
  }
  void TearDown() override {
    if (client_) PQfinish(client_);
    if (admin_) {
      // Dropping the server needs the owner's connection again.
      HKEY k;
      const std::string key = std::string(tesk::zorum::kServersKey) + "\\" + server_;
      if (RegOpenKeyEx(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_ALL_ACCESS, &k) == ERROR_SUCCESS) {
        const std::string uri = PostgresUri();
        RegSetValueEx(k, "Database", 0, REG_SZ, reinterpret_cast<const BYTE*>(uri.c_str()), static_cast<DWORD>(uri.size() + 1));
        RegCloseKey(k);
      }
      ZorumTest::TearDown();
      Admin("DROP ROLE IF EXISTS " + user_);
      PQfinish(admin_);
      return;
    }
    ZorumTest::TearDown();
  }
  void Admin(const std::string& sql) {
    PGresult* r = PQexec(admin_, sql.c_str());
    EXPECT_TRUE(PQresultStatus(r) == PGRES_COMMAND_OK || PQresultStatus(r) == PGRES_TUPLES_OK) << sql << PQresultErrorMessage(r);
    PQclear(r);
  }
  // Runs sql as the client: the SQLSTATE of its failure, or "" on success; rows changed in *n.
  std::string Client(const std::string& sql, int* n = nullptr) {
    PGresult* r = PQexec(client_, sql.c_str());
    std::string state;
    if (PQresultStatus(r) != PGRES_COMMAND_OK && PQresultStatus(r) != PGRES_TUPLES_OK) {
      const char* s = PQresultErrorField(r, PG_DIAG_SQLSTATE);
      state = s ? s : "?";
    } else if (n) {
      *n = std::atoi(PQcmdTuples(r));
    }
    PQclear(r);
    return state;
  }

  std::string server_, schema_, user_;
  PGconn* admin_ = nullptr;
  PGconn* client_ = nullptr;
};

TEST_F(ClientRoleTest, ClientDoesEverythingTheKitNeedsThroughTheServersObjects) {
  ComPtr<IConnection> c = Connect(server_);
  ASSERT_TRUE(c);
  Bstr b;
  EXPECT_EQ(Text(c->get_ServerName(&b), b), "labsrv");
  EXPECT_EQ(Text(c->get_DatabaseName(&b), b), "LabDB");
  // Object model: file record and marker.
  ComPtr<IFileRecord> r;
  ASSERT_EQ(CreateOn(server_, CLSID_FileRecord, r), S_OK);
  Bstr file("a.CEL");
  r->put_FileName(file.Get());
  ASSERT_EQ(r->Fetch(c.Get()), S_OK) << tesk::PeekErrorDescription();
  EXPECT_EQ(Text(r->get_OwnerName(&b), b), "ann");
  ComPtr<IFileInUseMarker> m;
  ASSERT_EQ(CreateOn(server_, CLSID_FileInUseMarker, m), S_OK);
  m->put_FileName(file.Get());
  ASSERT_EQ(m->Mark(VARIANT_TRUE), S_OK) << tesk::PeekErrorDescription();
  ASSERT_EQ(m->Unmark(), S_OK) << tesk::PeekErrorDescription();
  // Role library: every administration query.
  ComPtr<IKestAdmin> a;
  ASSERT_EQ(CreateOn(server_, CLSID_KestAdmin, a), S_OK);
  Variant s, d, roles, pairs, functions, flags, groups, members;
  ASSERT_EQ(a->ListRoles(&s, &d, &roles), S_OK) << tesk::PeekErrorDescription();
  Bstr role("R"), srv("labsrv"), db("LabDB"), fn("Browse"), domain("LAB"), group("g");
  ASSERT_EQ(a->ListRoleMembers(role.Get(), srv.Get(), db.Get(), &pairs), S_OK);
  ASSERT_EQ(a->ListRoleFunctions(&functions), S_OK);
  ASSERT_EQ(a->GetRoleFunctionFlags(role.Get(), fn.Get(), &flags), S_OK);
  EXPECT_EQ(List(flags), (std::vector<std::string>{"Y", "N"}));
  ASSERT_EQ(a->ListDomainGroups(domain.Get(), &groups), S_OK);
  ASSERT_EQ(a->ListGroupMembers(domain.Get(), group.Get(), &members), S_OK);
  // Chooser: browsing.
  ComPtr<IDataQuery> q;
  ASSERT_EQ(CreateOn(server_, CLSID_DataQuery, q), S_OK);
  Variant n1, n2, n3, n4, n5, n6;
  ASSERT_EQ(q->ListFiles(c.Get(), &n1, &n2, &n3, &n4, &n5, &n6), S_OK) << tesk::PeekErrorDescription();
  EXPECT_EQ(List(n1), std::vector<std::string>{"a.CEL"});
  // Experiment library: read, and write experiment and sample records.
  ComPtr<IExperiment> e;
  ASSERT_EQ(CreateOn(server_, CLSID_Experiment, e), S_OK);
  Bstr name("E1"), label("Station"), value("2");
  e->put_Name(name.Get());
  ASSERT_EQ(e->Fetch(c.Get()), S_OK) << tesk::PeekErrorDescription();
  ASSERT_EQ(e->put_Field(label.Get(), value.Get()), S_OK);
  ASSERT_EQ(e->Store(c.Get()), S_OK) << tesk::PeekErrorDescription();
  ComPtr<ISampleRecord> sample;
  ASSERT_EQ(CreateOn(server_, CLSID_SampleRecord, sample), S_OK);
  Bstr sname("S-new");
  sample->put_Name(sname.Get());
  ASSERT_EQ(sample->Store(c.Get()), S_OK) << tesk::PeekErrorDescription();
  // Administration stays the owner's.
  std::string error;
  EXPECT_EQ(tesk::zorum::LoadJson(server_, R"({"files": [{"name": "a.CEL", "owner": "mallory"}]})", &error), E_ACCESSDENIED);
  EXPECT_NE(error.find("_owner"), std::string::npos);
}

TEST_F(ClientRoleTest, DatabaseRefusesEveryChangeOfRightsOrOwners) {
  const char* denied[] = {
      "UPDATE roles SET own = 'YYYYYYYYYYYYYY', other = 'YYYYYYYYYYYYYY'",
      "INSERT INTO roles (name, server, dbname, own, other) VALUES ('Mine', 'labsrv', 'LabDB', 'YYYYYYYYYYYYYY', 'YYYYYYYYYYYYYY')",
      "INSERT INTO role_members (role, server, dbname, pos, member, kind) VALUES ('R', 'labsrv', 'LabDB', 9, 'LAB\\mallory', 'GU')",
      "DELETE FROM role_members",
      "UPDATE role_functions SET name = 'x'",
      "INSERT INTO group_members (domain, grp, member) VALUES ('LAB', 'g', 'mallory')",
      "UPDATE files SET owner = 'mallory'",
      "INSERT INTO files (name, owner, type, sample, sample_type, project, experiment, assay, chip_type, usr, date) "
      "VALUES ('m.CEL', 'mallory', '', '', '', '', '', '', '', '', '')",
      "UPDATE meta SET value = 'evil' WHERE key = 'serverName'",
      "UPDATE markers SET since = 0",
      "ALTER TABLE markers DISABLE ROW LEVEL SECURITY",
      "DROP POLICY markers_remove ON markers",
      "CREATE TABLE roles2 (x text)",
  };
  for (const char* sql : denied) {
    const std::string state = Client(sql);
    EXPECT_TRUE(state == "42501" || state == "42P01" || state == "42704") << sql << " gave " << (state.empty() ? "success" : state);
    EXPECT_FALSE(state.empty()) << sql;
  }
  // Nothing changed.
  PGresult* r = PQexec(admin_, ("SELECT own FROM " + schema_ + ".roles WHERE name = 'R'").c_str());
  ASSERT_EQ(PQntuples(r), 1);
  EXPECT_STREQ(PQgetvalue(r, 0, 0), "YNNNNNNNNNNNNN");
  PQclear(r);
}

TEST_F(ClientRoleTest, ClientCannotForgeOrRemoveAnotherHoldersMarkers) {
  // The administrator's own marker, held in a live session.
  ComPtr<IFileInUseMarker> theirs;
  {
    HKEY k;
    const std::string key = std::string(tesk::zorum::kServersKey) + "\\" + server_;
    ASSERT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_ALL_ACCESS, &k), ERROR_SUCCESS);
    const std::string owner = PostgresUri(), client = AsUser(PostgresUri(), user_);
    RegSetValueEx(k, "Database", 0, REG_SZ, reinterpret_cast<const BYTE*>(owner.c_str()), static_cast<DWORD>(owner.size() + 1));
    ASSERT_EQ(CreateOn(server_, CLSID_FileInUseMarker, theirs), S_OK);
    Bstr f("a.CEL");
    theirs->put_FileName(f.Get());
    ASSERT_EQ(theirs->Mark(VARIANT_TRUE), S_OK) << tesk::PeekErrorDescription();
    RegSetValueEx(k, "Database", 0, REG_SZ, reinterpret_cast<const BYTE*>(client.c_str()), static_cast<DWORD>(client.size() + 1));
    RegCloseKey(k);
  }
  int n = -1;
  EXPECT_EQ(Client("DELETE FROM markers", &n), "");
  EXPECT_EQ(n, 0);  // row-level security: another role's markers are not the client's to remove
  EXPECT_EQ(Client("SELECT clear_stale_markers()"), "");  // a live holder is not stale
  // Forged markers: in another role's name, another session's, or dated ahead.
  EXPECT_EQ(Client("INSERT INTO markers (token, file, host, pid, pid_start, since, db_role) "
                   "VALUES ('t1', 'x', 'h', 1, 1, 0, 'postgres')"),
            "42501");
  EXPECT_EQ(Client("INSERT INTO markers (token, file, host, pid, pid_start, since, session_pid) "
                   "VALUES ('t2', 'x', 'h', 1, 1, 0, 1)"),
            "42501");
  EXPECT_EQ(Client("INSERT INTO markers (token, file, host, pid, pid_start, since) "
                   "VALUES ('t3', 'x', 'h', 1, 1, extract(epoch FROM now())::bigint + 86400)"),
            "42501");
  PGresult* r = PQexec(admin_, ("SELECT count(*) FROM " + schema_ + ".markers").c_str());
  EXPECT_STREQ(PQgetvalue(r, 0, 0), "1");
  PQclear(r);
}

TEST_F(ClientRoleTest, WorkstationJoinsAnExistingServerButCannotSetOneUp) {
  ASSERT_EQ(RegDeleteTree(HKEY_LOCAL_MACHINE, (std::string(tesk::zorum::kServersKey) + "\\" + server_).c_str()), ERROR_SUCCESS);
  std::string error;
  const std::string uri = AsUser(PostgresUri(), user_);
  ASSERT_EQ(tesk::zorum::CreateServer(server_, uri, &error), S_OK) << error;
  ComPtr<IConnection> c = Connect(server_);
  Bstr b;
  EXPECT_EQ(Text(c->get_ServerName(&b), b), "labsrv");
  // A laboratory user may not create roles, so cannot set up a server of its own.
  const std::string other = Unique("mine");
  EXPECT_TRUE(FAILED(tesk::zorum::CreateServer(other, uri, &error)));
  EXPECT_NE(error.find("permission denied"), std::string::npos) << error;
  ComPtr<IConnection> none;
  EXPECT_EQ(CreateOn(other, CLSID_Connection, none), RPC_E_SERVER_UNAVAILABLE_HR);  // nothing was mapped
}

}  // namespace
