// What the server's tests share: a fresh registry per test with the library registered,
// servers on either backend, and small helpers for creating objects and reading lists.
#ifndef TESK_OUTSIDE_ZORUM_TESTS_ZORUM_TEST_UTIL_H_
#define TESK_OUTSIDE_ZORUM_TESTS_ZORUM_TEST_UTIL_H_

#include <gtest/gtest.h>
#include <tesk/testing/scratch_dir.h>
#include <tesk/zorum.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace zorum_test {

enum class Backend { kSqlite, kPostgres };

inline std::string BackendName(const testing::TestParamInfo<Backend>& info) {
  return info.param == Backend::kSqlite ? "Sqlite" : "Postgres";
}

// The PostgreSQL cluster the tests may use (tools/pg-cluster sets it up), or "".
inline std::string PostgresUri() {
  const char* uri = std::getenv("TESK_TEST_POSTGRES");
  return uri ? uri : "";
}

#define ZORUM_SKIP_WITHOUT_POSTGRES()                                                                     \
  if (zorum_test::PostgresUri().empty())                                                                  \
  GTEST_SKIP() << "TESK_TEST_POSTGRES is not set: no PostgreSQL cluster to test against (tools/check and " \
                  "tools/pg-cluster start one)"

inline std::vector<std::string> List(const VARIANT& v) {
  std::vector<std::string> out;
  EXPECT_EQ(v.vt, VT_ARRAY | VT_BSTR);
  if (v.vt != (VT_ARRAY | VT_BSTR)) return out;
  LONG lo = 0, hi = -1;
  SafeArrayGetLBound(v.parray, 1, &lo);
  SafeArrayGetUBound(v.parray, 1, &hi);
  EXPECT_EQ(lo, 0);
  for (LONG i = lo; i <= hi; ++i) {
    tesk::Bstr b;
    SafeArrayGetElement(v.parray, &i, &b);
    out.push_back(b.Narrow());
  }
  return out;
}

inline std::string Text(HRESULT hr, const tesk::Bstr& b) {
  EXPECT_EQ(hr, S_OK) << tesk::PeekErrorDescription();
  return b.Narrow();
}

// A fresh registry (and data directory) with the server library registered.
class ZorumTest : public testing::Test {
 public:
  void SetUp() override {
    setenv("TESK_REGISTRY_DIR", (dir_.path() / "registry").c_str(), 1);
    unsetenv("TESK_ZORUM_DIR");
    ASSERT_EQ(DllRegisterServer(), S_OK);
  }
  void TearDown() override {
    for (const std::string& name : created_) {
      std::string error;
      tesk::zorum::DropServer(name, &error);
    }
  }

  // A server name no other test (or test run against the same cluster) uses.
  std::string Unique(const std::string& prefix) {
    return prefix + "-" + std::to_string(getpid()) + "-" + std::to_string(++counter_);
  }
  // Creates a server on the backend (dropped after the test).
  std::string Create(Backend backend, const std::string& prefix = "lab") {
    const std::string name = Unique(prefix);
    std::string error;
    const std::string uri = backend == Backend::kPostgres ? PostgresUri() : std::string();
    EXPECT_EQ(tesk::zorum::CreateServer(name, uri, &error), S_OK) << error;
    created_.push_back(name);
    return name;
  }
  static void Load(const std::string& name, const std::string& json) {
    std::string error;
    ASSERT_EQ(tesk::zorum::LoadJson(name, json, &error), S_OK) << error;
  }
  static std::string Dump(const std::string& name) {
    std::string json, error;
    EXPECT_EQ(tesk::zorum::DumpJson(name, &json, &error), S_OK) << error;
    return json;
  }
  // Creates an object on a server as a client would.
  template <class I>
  static HRESULT CreateOn(const std::string& server, REFCLSID clsid, tesk::ComPtr<I>& out) {
    const std::u16string wide = tesk::ToWide(server);
    COSERVERINFO info{0, const_cast<LPWSTR>(wide.c_str()), nullptr, 0};
    MULTI_QI qi{&tesk::InterfaceTraits<I>::Iid(), nullptr, S_OK};
    const HRESULT hr = CoCreateInstanceEx(clsid, nullptr, CLSCTX_SERVER, &info, 1, &qi);
    out = tesk::ComPtr<I>();
    if (SUCCEEDED(hr)) *out.PutVoid() = qi.pItf;
    return hr;
  }
  // An open connection to a server.
  static tesk::ComPtr<IConnection> Connect(const std::string& server) {
    tesk::ComPtr<IConnection> c;
    EXPECT_EQ(CreateOn(server, CLSID_Connection, c), S_OK);
    if (!c) return c;
    tesk::Bstr client("LIMS Admin User"), name(server);
    EXPECT_EQ(c->put_ClientName(client.Get()), S_OK);
    EXPECT_EQ(c->put_ServerName(name.Get()), S_OK);
    EXPECT_EQ(c->Open(0), S_OK) << tesk::PeekErrorDescription();
    return c;
  }
  static bool SetDword(const std::string& server, const char* value, DWORD v) {
    HKEY k;
    const std::string key = std::string(tesk::zorum::kServersKey) + "\\" + server;
    if (RegOpenKeyEx(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_ALL_ACCESS, &k) != ERROR_SUCCESS) return false;
    const LONG st = RegSetValueEx(k, value, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&v), sizeof v);
    RegCloseKey(k);
    return st == ERROR_SUCCESS;
  }

  tesk::testing::ScratchDir dir_;
  std::vector<std::string> created_;
  int counter_ = 0;
};

class BackendTest : public ZorumTest, public testing::WithParamInterface<Backend> {
 protected:
  void SetUp() override {
    if (GetParam() == Backend::kPostgres) {
      ZORUM_SKIP_WITHOUT_POSTGRES();
    }
    ZorumTest::SetUp();
  }
};

}  // namespace zorum_test

#endif  // TESK_OUTSIDE_ZORUM_TESTS_ZORUM_TEST_UTIL_H_
