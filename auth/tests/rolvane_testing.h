// What the role library's tests share: a connection object that names a server and database,
// the scripted administration object's registration and files (fake_admin.cpp), and the event
// log and message boxes captured.
#ifndef TESK_AUTH_TESTS_ROLVANE_TESTING_H_
#define TESK_AUTH_TESTS_ROLVANE_TESTING_H_

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <tesk/platform.h>
#include <tesk/platform/comhelpers.h>
#include <tesk/zorum.h>

namespace rolvane_testing {

// Stands for the database server's connection: ServerName and DatabaseName, late-bound.
class FakeConnection final : public IDispatch {
 public:
  FakeConnection(std::string server, std::string database) : server_(std::move(server)), database_(std::move(database)) {}
  HRESULT QueryInterface(REFIID riid, void** ppv) override {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (!(riid == IID_IUnknown) && !(riid == IID_IDispatch)) return E_NOINTERFACE;
    *ppv = this;
    AddRef();
    return S_OK;
  }
  ULONG AddRef() override { return ++refs_; }
  ULONG Release() override { return --refs_; }  // lives on the stack of the test
  HRESULT GetTypeInfoCount(UINT* n) override {
    *n = 0;
    return S_OK;
  }
  HRESULT GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
    if (count != 1) return DISP_E_UNKNOWNNAME;
    const std::string name = tesk::ToNarrow(names[0]);
    if (name == "ServerName") *ids = 2;
    else if (name == "DatabaseName") *ids = 6;
    else return DISP_E_UNKNOWNNAME;
    return S_OK;
  }
  HRESULT Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS*, VARIANT* result, EXCEPINFO*, UINT*) override {
    if (!(flags & DISPATCH_PROPERTYGET) || !result) return DISP_E_MEMBERNOTFOUND;
    if (fail_) return E_FAIL;
    VariantInit(result);
    result->vt = VT_BSTR;
    result->bstrVal = tesk::AllocBstr(id == 2 ? server_ : database_);
    return S_OK;
  }
  void set_fail(bool f) { fail_ = f; }

 private:
  std::string server_, database_;
  ULONG refs_ = 1;
  bool fail_ = false;
};

inline std::string RegistryDir() {
  const char* d = std::getenv("TESK_REGISTRY_DIR");
  return d ? d : "";
}

// Registers the scripted administration class (its module's path given) in the registry that
// TESK_REGISTRY_DIR names.
inline bool RegisterFakeAdmin(const char* module) {
  static const tesk::ClassRegistration kClass{&CLSID_KestAdmin, "KestAdmin Class", "Zorum.KestAdmin.1",
                                              "Zorum.KestAdmin", "Both", nullptr};
  std::filesystem::create_directories(RegistryDir() + "/fake_admin");
  // Registered already (by another test process of the same registry): leave the keys be, as
  // replacing them would hide the class from that process for a moment.
  HKEY key;
  if (RegOpenKeyEx(HKEY_CLASSES_ROOT, "CLSID\\{DFBB82AE-1202-11D3-81A2-00C04F6BE3BC}\\InprocServer32", 0,
                   KEY_READ, &key) == ERROR_SUCCESS) {
    char path[4096] = {};
    DWORD size = sizeof path - 1, type = 0;
    const bool same = RegQueryValueEx(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(path), &size) ==
                          ERROR_SUCCESS &&
                      std::string(path) == module;
    RegCloseKey(key);
    if (same) return true;
  }
  return SUCCEEDED(tesk::RegisterClassKeys(kClass, module));
}

// Writes the script of server `server` (see fake_admin.cpp) and forgets its calls.
inline void Script(const std::string& server, const std::string& text) {
  const std::string base = RegistryDir() + "/fake_admin/" + server;
  std::ofstream(base + ".txt") << text;
  std::filesystem::remove(base + ".calls");
}

// Calls that reached the server, optionally only those of one method.
inline int Calls(const std::string& server, const std::string& method = "") {
  std::ifstream in(RegistryDir() + "/fake_admin/" + server + ".calls");
  int n = 0;
  for (std::string line; std::getline(in, line);) n += method.empty() || line == method;
  return n;
}

// The fourteen role functions, one flag line per function for `role`: own and other flags
// given as 14-character strings of 'Y'/'N'.
inline std::string FlagLines(const std::string& role, const std::string& own, const std::string& other) {
  std::string s;
  for (size_t i = 0; i < own.size(); ++i) {
    s += "flags\t" + role + "\tF" + std::to_string(i) + "\t" + own[i] + "\t" + other[i] + "\n";
  }
  return s;
}
inline std::string FunctionLines(int n = 14) {
  std::string s;
  for (int i = 0; i < n; ++i) s += "function\tF" + std::to_string(i) + "\n";
  return s;
}

#ifdef FAKE_ADMIN_MODULE
inline std::string Me() {
  char name[260] = {};
  DWORD n = sizeof name;
  return GetUserName(name, &n) ? name : "";
}

inline std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

inline constexpr char kNone[] = "NNNNNNNNNNNNNN";
inline constexpr char kAll[] = "YYYYYYYYYYYYYY";

class RolvaneTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(rolvane_testing::RegisterFakeAdmin(FAKE_ADMIN_MODULE));
    // Each test names its own server, so cached servers of other tests never answer for it.
    // Test cases of one program run as parallel processes sharing one cache, so no test here
    // drops the cache (InitSecurityCache): those that do have programs of their own.
    server_ = std::string("srv_") + ::testing::UnitTest::GetInstance()->current_test_info()->name();
  }
  std::string server_;
};

// Role Readers grants browse on own data; Auditors grants update on other users' data only;
// a role of another database and one of another server must be ignored.
inline std::string ReadersScript(const std::string& server, const std::string& me) {
  std::string own = kNone, other = kNone;
  own[0] = 'Y';
  std::string aud_other = kNone;
  aud_other[1] = 'Y';
  return FunctionLines() + "role\t" + server + "\tLabDB\tReaders\n" + "role\t" + server + "\tLabDB\tAuditors\n" +
         "role\t" + server + "\tOtherDB\tElsewhere\n" + "role\tsomeone_else\tLabDB\tStrangers\n" +
         "member\tReaders\tLAB\\" + me + "\tGU\n" + "member\tReaders\tLAB\\alice\tGU\n" +
         "member\tAuditors\tOTHERDOM\\" + Upper(me) + "\tGU\n" + "member\tAuditors\tLAB\\carol\tGU\n" +
         "member\tElsewhere\tLAB\\" + me + "\tGU\n" + "member\tStrangers\tLAB\\" + me + "\tGU\n" +
         FlagLines("Readers", own, other) + FlagLines("Auditors", kNone, aud_other) +
         FlagLines("Elsewhere", kAll, kAll) + FlagLines("Strangers", kAll, kAll);
}
#endif

#ifdef ROLVANE_PROBE
// Runs rolvane_probe for a connection to SERVER, database LabDB, with the commands, and answers
// its standard output.
inline std::string Probe(const std::string& server, const std::string& commands) {
  const std::string cmd = std::string(ROLVANE_PROBE) + " " + server + " LabDB " + commands;
  FILE* p = popen(cmd.c_str(), "r");
  if (!p) return "";
  std::string out;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
  pclose(p);
  return out;
}
#endif

inline bool Has(const std::string& out, const std::string& line) { return out.find(line + "\n") != std::string::npos; }

}  // namespace rolvane_testing

#endif  // TESK_AUTH_TESTS_ROLVANE_TESTING_H_
