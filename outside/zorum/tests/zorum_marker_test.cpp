// File-use markers across processes: concurrent marking and reading never corrupts the
// database, a holder that died loses its markers, and an old marker expires.
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <thread>

#include "zorum_test_util.h"

namespace {

using namespace zorum_test;
using tesk::Bstr;
using tesk::ComPtr;

std::vector<tesk::zorum::MarkerInfo> Markers(const std::string& server) {
  std::vector<tesk::zorum::MarkerInfo> m;
  std::string error;
  EXPECT_EQ(tesk::zorum::ListMarkers(server, &m, &error), S_OK) << error;
  return m;
}

// Runs body in a child process; answers its exit code (body's count of failures).
int InChild(const std::function<int()>& body) {
  const pid_t pid = fork();
  if (pid == 0) _exit(body());
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 99;
}

class MarkerTest : public BackendTest {};

TEST_P(MarkerTest, TwoProcessesMarkingAndReadingAtOnceKeepTheDatabaseSound) {
  const std::string server = Create(GetParam());
  Load(server, R"({"files": [{"name": "a.CEL", "owner": "ann"}, {"name": "b.CEL", "owner": "bob"}]})");
  auto work = [&](const char* file) {
    int failures = 0;
    ComPtr<IConnection> c = ZorumTest::Connect(server);
    for (int i = 0; i < 15; ++i) {
      ComPtr<IFileInUseMarker> m;
      ComPtr<IFileRecord> r;
      Bstr f(file);
      if (FAILED(ZorumTest::CreateOn(server, CLSID_FileInUseMarker, m)) || FAILED(m->put_FileName(f.Get())) ||
          FAILED(m->Mark(VARIANT_TRUE)))
        ++failures;
      VARIANT_BOOL known = VARIANT_FALSE;
      if (FAILED(ZorumTest::CreateOn(server, CLSID_FileRecord, r)) || FAILED(r->put_FileName(f.Get())) ||
          FAILED(r->Exists(c.Get(), &known)) || known != VARIANT_TRUE)
        ++failures;
      if (FAILED(m->Unmark())) ++failures;
    }
    return failures;
  };
  const pid_t child = fork();
  if (child == 0) _exit(work("a.CEL") == 0 ? 0 : 1);
  const int mine = work("b.CEL");
  int status = 0;
  waitpid(child, &status, 0);
  EXPECT_EQ(mine, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_TRUE(Markers(server).empty());
  if (GetParam() == Backend::kSqlite) {
    HKEY k;
    char uri[1024] = {};
    DWORD type = 0, cb = sizeof uri - 1;
    ASSERT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, (std::string(tesk::zorum::kServersKey) + "\\" + server).c_str(), 0, KEY_READ, &k),
              ERROR_SUCCESS);
    RegQueryValueEx(k, "Database", nullptr, &type, reinterpret_cast<BYTE*>(uri), &cb);
    RegCloseKey(k);
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(uri + 7, &db), SQLITE_OK);
    std::string result;
    sqlite3_exec(
        db, "PRAGMA integrity_check",
        [](void* out, int, char** v, char**) {
          *static_cast<std::string*>(out) += v[0];
          return 0;
        },
        &result, nullptr);
    sqlite3_close(db);
    EXPECT_EQ(result, "ok");
  }
}

TEST_P(MarkerTest, MarkersOfAProcessThatDiedAreCleared) {
  const std::string server = Create(GetParam());
  ComPtr<IFileInUseMarker> mine;
  ASSERT_EQ(CreateOn(server, CLSID_FileInUseMarker, mine), S_OK);
  Bstr f("kept.CEL");
  mine->put_FileName(f.Get());
  ASSERT_EQ(mine->Mark(VARIANT_TRUE), S_OK);
  // A client that crashes holding a marker: it never unmarks.
  ASSERT_EQ(InChild([&] {
              ComPtr<IFileInUseMarker> m;
              Bstr g("crashed.CEL");
              if (FAILED(ZorumTest::CreateOn(server, CLSID_FileInUseMarker, m)) || FAILED(m->put_FileName(g.Get())) ||
                  FAILED(m->Mark(VARIANT_TRUE)))
                return 1;
              m.Detach();  // leaked, as by a crash
              return 0;
            }),
            0);
  // A server notices an ended session shortly after the process is gone.
  std::vector<tesk::zorum::MarkerInfo> left;
  for (int i = 0; i < 50; ++i) {
    left = Markers(server);
    if (left.size() == 1) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  ASSERT_EQ(left.size(), 1u);
  EXPECT_EQ(left[0].file, "kept.CEL");  // a live holder's marker stays
  const std::string pid = std::to_string(getpid());
  EXPECT_EQ(left[0].holder.substr(left[0].holder.rfind(':') + 1), pid);
}

INSTANTIATE_TEST_SUITE_P(Backends, MarkerTest, testing::Values(Backend::kSqlite, Backend::kPostgres), BackendName);

TEST_F(ZorumTest, MarkersOlderThanTheServersLimitExpire) {
  const std::string server = Create(Backend::kSqlite);
  ComPtr<IFileInUseMarker> old, fresh;
  ASSERT_EQ(CreateOn(server, CLSID_FileInUseMarker, old), S_OK);
  ASSERT_EQ(CreateOn(server, CLSID_FileInUseMarker, fresh), S_OK);
  Bstr a("old.CEL"), b("fresh.CEL");
  old->put_FileName(a.Get());
  fresh->put_FileName(b.Get());
  ASSERT_EQ(old->Mark(VARIANT_TRUE), S_OK);
  ASSERT_TRUE(SetDword(server, "MarkerMaxAgeSeconds", 3600));
  // Age the first marker by two hours.
  HKEY k;
  char uri[1024] = {};
  DWORD type = 0, cb = sizeof uri - 1;
  ASSERT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, (std::string(tesk::zorum::kServersKey) + "\\" + server).c_str(), 0, KEY_READ, &k),
            ERROR_SUCCESS);
  RegQueryValueEx(k, "Database", nullptr, &type, reinterpret_cast<BYTE*>(uri), &cb);
  RegCloseKey(k);
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(uri + 7, &db), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(db, "UPDATE markers SET since = since - 7200", nullptr, nullptr, nullptr), SQLITE_OK);
  sqlite3_close(db);
  ASSERT_EQ(fresh->Mark(VARIANT_TRUE), S_OK);
  const std::vector<tesk::zorum::MarkerInfo> left = Markers(server);
  ASSERT_EQ(left.size(), 1u);
  EXPECT_EQ(left[0].file, "fresh.CEL");
}

}  // namespace
