#include <tesk/platform/registry.h>

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "scratch_registry.h"

namespace {

class RegistryTest : public ScratchRegistryTest {
 protected:
  RegistryTest() : ScratchRegistryTest("registry") {}

  static HKEY Create(HKEY root, const char* path) {
    HKEY k = nullptr;
    EXPECT_EQ(RegCreateKeyEx(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr),
              ERROR_SUCCESS);
    return k;
  }
  static void SetString(HKEY k, const char* name, const std::string& v) {
    ASSERT_EQ(RegSetValueEx(k, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(v.c_str()),
                            static_cast<DWORD>(v.size() + 1)),
              ERROR_SUCCESS);
  }
  static std::string GetString(HKEY root, const char* path, const char* name, LONG* status) {
    HKEY k;
    *status = RegOpenKeyEx(root, path, 0, KEY_READ, &k);
    if (*status != ERROR_SUCCESS) return {};
    char buf[256];
    DWORD cb = sizeof buf, type = 0;
    *status = RegQueryValueEx(k, name, nullptr, &type, reinterpret_cast<BYTE*>(buf), &cb);
    RegCloseKey(k);
    if (*status != ERROR_SUCCESS) return {};
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    return std::string(buf);
  }

};

TEST_F(RegistryTest, NamesIgnoreCaseAndKeepSpelling) {
  HKEY k = Create(HKEY_CURRENT_USER, "Software\\Quillomere\\Varolith\\Preferences");
  SetString(k, "Datadir", "/data/one");
  SetString(k, "DATADIR", "/data/two");  // same value, spelled otherwise
  RegCloseKey(k);

  LONG st;
  EXPECT_EQ(GetString(HKEY_CURRENT_USER, "SOFTWARE\\quillomere\\VAROLITH\\preferences", "datadir",
                      &st),
            "/data/two");
  EXPECT_EQ(st, ERROR_SUCCESS);

  ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "software\\quillomere", 0, KEY_READ, &k), ERROR_SUCCESS);
  char name[64];
  DWORD cch = sizeof name;
  ASSERT_EQ(RegEnumKeyEx(k, 0, name, &cch, nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
  EXPECT_STREQ(name, "Varolith");
  EXPECT_EQ(cch, 8u);
  RegCloseKey(k);

  ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "Software\\Quillomere\\Varolith\\Preferences", 0,
                         KEY_READ, &k),
            ERROR_SUCCESS);
  cch = sizeof name;
  ASSERT_EQ(RegEnumValue(k, 0, name, &cch, nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
  EXPECT_STREQ(name, "Datadir");  // the first spelling stays
  RegCloseKey(k);

  // Creating an existing key in another case opens it.
  DWORD disp = 0;
  ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, "SOFTWARE\\QUILLOMERE", 0, nullptr, 0, KEY_READ,
                           nullptr, &k, &disp),
            ERROR_SUCCESS);
  EXPECT_EQ(disp, static_cast<DWORD>(REG_OPENED_EXISTING_KEY));
  RegCloseKey(k);
}

TEST_F(RegistryTest, DefaultValueAndSizes) {
  HKEY k = Create(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quillomere\\Varolith\\Database\\ServerName");
  LONG st;
  GetString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quillomere\\Varolith\\Database\\ServerName", "", &st);
  EXPECT_EQ(st, ERROR_FILE_NOT_FOUND);  // no default value yet

  SetString(k, nullptr, "dbhost");
  EXPECT_EQ(GetString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quillomere\\Varolith\\Database\\ServerName",
                      "", &st),
            "dbhost");
  EXPECT_EQ(GetString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quillomere\\Varolith\\Database\\ServerName",
                      nullptr, &st),
            "dbhost");

  DWORD cb = 0, type = 0;
  ASSERT_EQ(RegQueryValueEx(k, "", nullptr, &type, nullptr, &cb), ERROR_SUCCESS);
  EXPECT_EQ(cb, 7u);  // with its terminator
  char small[3] = {'x', 'x', 'x'};
  cb = sizeof small;
  EXPECT_EQ(RegQueryValueEx(k, "", nullptr, &type, reinterpret_cast<BYTE*>(small), &cb),
            ERROR_MORE_DATA);
  EXPECT_EQ(cb, 7u);
  EXPECT_EQ(small[0], 'x');  // nothing written on ERROR_MORE_DATA
  EXPECT_EQ(RegQueryValueEx(k, "", nullptr, &type, reinterpret_cast<BYTE*>(small), nullptr),
            ERROR_INVALID_PARAMETER);

  // A string stored without its terminator reads back terminated.
  ASSERT_EQ(RegSetValueEx(k, "raw", 0, REG_SZ, reinterpret_cast<const BYTE*>("abc"), 3),
            ERROR_SUCCESS);
  char buf[8];
  cb = sizeof buf;
  ASSERT_EQ(RegQueryValueEx(k, "raw", nullptr, &type, reinterpret_cast<BYTE*>(buf), &cb),
            ERROR_SUCCESS);
  EXPECT_EQ(cb, 4u);
  EXPECT_STREQ(buf, "abc");

  DWORD d = 0xDEADBEEF;
  ASSERT_EQ(RegSetValueEx(k, "n", 0, REG_DWORD, reinterpret_cast<BYTE*>(&d), 4), ERROR_SUCCESS);
  const BYTE bin[5] = {1, 0, 0, 2, 0};
  ASSERT_EQ(RegSetValueEx(k, "b", 0, REG_BINARY, bin, 5), ERROR_SUCCESS);
  DWORD got = 0;
  cb = 4;
  ASSERT_EQ(RegQueryValueEx(k, "N", nullptr, &type, reinterpret_cast<BYTE*>(&got), &cb),
            ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(got, 0xDEADBEEFu);
  BYTE back[8] = {};
  cb = sizeof back;
  ASSERT_EQ(RegQueryValueEx(k, "b", nullptr, &type, back, &cb), ERROR_SUCCESS);
  EXPECT_EQ(cb, 5u);
  EXPECT_EQ(std::memcmp(back, bin, 5), 0);

  // The old call reads a sub-key's default value and answers "" when it has none.
  char old[32];
  LONG lcb = sizeof old;
  ASSERT_EQ(RegQueryValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quillomere\\Varolith\\Database\\ServerName",
                          old, &lcb),
            ERROR_SUCCESS);
  EXPECT_STREQ(old, "dbhost");
  lcb = sizeof old;
  ASSERT_EQ(RegQueryValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quillomere", old, &lcb), ERROR_SUCCESS);
  EXPECT_STREQ(old, "");

  EXPECT_EQ(RegDeleteValue(k, "RAW"), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteValue(k, "raw"), ERROR_FILE_NOT_FOUND);
  RegCloseKey(k);
}

TEST_F(RegistryTest, ClassesRootOverlaysUserOnMachine) {
  HKEY m = Create(HKEY_LOCAL_MACHINE, "Software\\Classes\\Shared.Prog");
  SetString(m, "", "machine");
  RegCloseKey(m);
  m = Create(HKEY_LOCAL_MACHINE, "Software\\Classes\\Machine.Only");
  RegCloseKey(m);
  HKEY u = Create(HKEY_CURRENT_USER, "Software\\Classes\\SHARED.PROG");
  SetString(u, "", "user");
  RegCloseKey(u);

  LONG st;
  EXPECT_EQ(GetString(HKEY_CLASSES_ROOT, "shared.prog", "", &st), "user");

  // Enumeration shows each name once.
  std::vector<std::string> names;
  char name[64];
  for (DWORD i = 0;; ++i) {
    DWORD cch = sizeof name;
    LONG r = RegEnumKeyEx(HKEY_CLASSES_ROOT, i, name, &cch, nullptr, nullptr, nullptr, nullptr);
    if (r == ERROR_NO_MORE_ITEMS) break;
    ASSERT_EQ(r, ERROR_SUCCESS);
    names.push_back(name);
  }
  EXPECT_EQ(names, (std::vector<std::string>{"Machine.Only", "SHARED.PROG"}));

  // A new key under the classes root lands in the machine hive; one below a key that the user
  // hive holds lands there.
  HKEY k = Create(HKEY_CLASSES_ROOT, "New.Prog\\CLSID");
  SetString(k, "", "{x}");
  RegCloseKey(k);
  EXPECT_EQ(GetString(HKEY_LOCAL_MACHINE, "Software\\Classes\\New.Prog\\CLSID", "", &st), "{x}");
  k = Create(HKEY_CLASSES_ROOT, "Shared.Prog\\CurVer");
  RegCloseKey(k);
  ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "Software\\Classes\\Shared.Prog\\CurVer", 0, KEY_READ, &k),
            ERROR_SUCCESS);
  RegCloseKey(k);

  // Deleting through the classes root removes the key from both hives.
  EXPECT_EQ(RegDeleteTree(HKEY_CLASSES_ROOT, "Shared.Prog"), ERROR_SUCCESS);
  EXPECT_EQ(RegOpenKeyEx(HKEY_CLASSES_ROOT, "Shared.Prog", 0, KEY_READ, &k), ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryTest, EnumerationOrderAndBuffers) {
  HKEY k = Create(HKEY_CURRENT_USER, "Enum");
  for (const char* n : {"beta", "Alpha", "gamma"}) RegCloseKey(Create(k, n));
  SetString(k, "zeta", "1");
  SetString(k, "", "default");
  SetString(k, "Eta", "22");

  char name[16];
  std::vector<std::string> keys;
  for (DWORD i = 0;; ++i) {
    DWORD cch = sizeof name;
    LONG r = RegEnumKeyEx(k, i, name, &cch, nullptr, nullptr, nullptr, nullptr);
    if (r != ERROR_SUCCESS) {
      EXPECT_EQ(r, ERROR_NO_MORE_ITEMS);
      break;
    }
    keys.push_back(name);
  }
  EXPECT_EQ(keys, (std::vector<std::string>{"Alpha", "beta", "gamma"}));
  DWORD cch = 5;  // "Alpha" needs 6 with its terminator
  EXPECT_EQ(RegEnumKeyEx(k, 0, name, &cch, nullptr, nullptr, nullptr, nullptr), ERROR_MORE_DATA);

  std::vector<std::string> values;
  for (DWORD i = 0;; ++i) {
    DWORD ncch = sizeof name, type = 0, cb = 0;
    LONG r = RegEnumValue(k, i, name, &ncch, nullptr, &type, nullptr, &cb);
    if (r == ERROR_NO_MORE_ITEMS) break;
    ASSERT_EQ(r, ERROR_SUCCESS);
    values.push_back(std::string(name) + ":" + std::to_string(cb));
  }
  EXPECT_EQ(values, (std::vector<std::string>{":8", "Eta:3", "zeta:2"}));

  DWORD subKeys = 0, maxSub = 0, nValues = 0, maxName = 0, maxData = 0;
  ASSERT_EQ(RegQueryInfoKey(k, nullptr, nullptr, nullptr, &subKeys, &maxSub, nullptr, &nValues,
                            &maxName, &maxData, nullptr, nullptr),
            ERROR_SUCCESS);
  EXPECT_EQ(subKeys, 3u);
  EXPECT_EQ(maxSub, 5u);
  EXPECT_EQ(nValues, 3u);
  EXPECT_EQ(maxName, 4u);
  EXPECT_EQ(maxData, 8u);
  RegCloseKey(k);
}

TEST_F(RegistryTest, DeletionAccessAndHandles) {
  HKEY k = Create(HKEY_CURRENT_USER, "Del\\Child\\Grandchild");
  RegCloseKey(k);
  EXPECT_EQ(RegDeleteKey(HKEY_CURRENT_USER, "Del"), ERROR_ACCESS_DENIED);  // has sub-keys
  EXPECT_EQ(RegDeleteKey(HKEY_CURRENT_USER, "Del\\Child\\Grandchild"), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteKey(HKEY_CURRENT_USER, "Del\\Child\\Grandchild"), ERROR_FILE_NOT_FOUND);

  HKEY held = Create(HKEY_CURRENT_USER, "Del\\Child\\Again");
  EXPECT_EQ(RegDeleteTree(HKEY_CURRENT_USER, "Del"), ERROR_SUCCESS);
  const char v[] = "x";
  EXPECT_EQ(RegSetValueEx(held, "v", 0, REG_SZ, reinterpret_cast<const BYTE*>(v), 2),
            ERROR_KEY_DELETED);
  EXPECT_EQ(RegCloseKey(held), ERROR_SUCCESS);
  EXPECT_EQ(RegCloseKey(held), ERROR_INVALID_HANDLE);

  k = Create(HKEY_CURRENT_USER, "ReadOnly");
  RegCloseKey(k);
  ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "ReadOnly", 0, KEY_READ, &k), ERROR_SUCCESS);
  EXPECT_EQ(RegSetValueEx(k, "v", 0, REG_SZ, reinterpret_cast<const BYTE*>(v), 2),
            ERROR_ACCESS_DENIED);
  HKEY sub;
  EXPECT_EQ(RegCreateKeyEx(k, "sub", 0, nullptr, 0, KEY_READ, nullptr, &sub, nullptr),
            ERROR_ACCESS_DENIED);
  RegCloseKey(k);
  ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "ReadOnly", 0, KEY_SET_VALUE, &k), ERROR_SUCCESS);
  DWORD cb = 0;
  EXPECT_EQ(RegQueryValueEx(k, "v", nullptr, nullptr, nullptr, &cb), ERROR_ACCESS_DENIED);
  RegCloseKey(k);

  EXPECT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "Missing\\Key", 0, KEY_READ, &k), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(k, nullptr);
  EXPECT_EQ(RegOpenKeyEx(reinterpret_cast<HKEY>(0x1234), "x", 0, KEY_READ, &k),
            ERROR_INVALID_HANDLE);
}

TEST_F(RegistryTest, DamagedHiveIsAnErrorNotACrash) {
  std::ofstream(dir_ + "/machine.db") << std::string(4096, '\x5a');
  HKEY k;
  EXPECT_NE(RegOpenKeyEx(HKEY_LOCAL_MACHINE, "Software", 0, KEY_READ, &k), ERROR_SUCCESS);
  EXPECT_NE(RegCreateKeyEx(HKEY_LOCAL_MACHINE, "Software", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                           &k, nullptr),
            ERROR_SUCCESS);
  // The user hive is unaffected.
  k = Create(HKEY_CURRENT_USER, "Software");
  RegCloseKey(k);

  // A hive whose root lists itself as its own child still enumerates and exports.
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open((dir_ + "/user.db").c_str(), &db), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(db, "UPDATE keys SET parent=0 WHERE id=0", nullptr, nullptr, nullptr), SQLITE_OK);
  sqlite3_close(db);
  char name[32];
  DWORD cch = sizeof name;
  ASSERT_EQ(RegEnumKeyEx(HKEY_CURRENT_USER, 0, name, &cch, nullptr, nullptr, nullptr, nullptr),
            ERROR_SUCCESS);
  EXPECT_STREQ(name, "Software");
  cch = sizeof name;
  EXPECT_EQ(RegEnumKeyEx(HKEY_CURRENT_USER, 1, name, &cch, nullptr, nullptr, nullptr, nullptr),
            ERROR_NO_MORE_ITEMS);
  std::string text;
  EXPECT_EQ(tesk::platform::ExportRegistryText("HKCU", &text), ERROR_SUCCESS);

  // Trees deeper than Windows allows are cut when exported, not followed to the end of the stack.
  std::string deep = "Deep";
  for (int i = 0; i < 600; ++i) deep += "\\k";
  k = Create(HKEY_CURRENT_USER, deep.c_str());
  RegCloseKey(k);
  ASSERT_EQ(tesk::platform::ExportRegistryText("HKCU\\Deep", &text), ERROR_SUCCESS);
  size_t keys = 0;
  for (size_t p = text.find("\n["); p != std::string::npos; p = text.find("\n[", p + 1)) ++keys;
  EXPECT_EQ(keys, 513u);
}

// Several processes write one hive at the same time: every write lands and the file stays sound.
TEST_F(RegistryTest, ConcurrentWritersInSeveralProcesses) {
  HKEY k = Create(HKEY_CURRENT_USER, "Concurrent");  // the parent has the hive open too
  constexpr int kChildren = 3, kWrites = 150;
  std::vector<pid_t> pids;
  for (int c = 0; c < kChildren; ++c) {
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      int failures = 0;
      for (int i = 0; i < kWrites; ++i) {
        HKEY ck;
        std::string path = "Concurrent\\Shared\\Child" + std::to_string(c) + "\\K" +
                           std::to_string(i % 10);
        if (RegCreateKeyEx(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                           nullptr, &ck, nullptr) != ERROR_SUCCESS) {
          ++failures;
          continue;
        }
        DWORD v = static_cast<DWORD>(i);
        std::string name = "v";
        name.append(std::to_string(c)).append(1, '_').append(std::to_string(i));
        HKEY shared;
        if (RegOpenKeyEx(HKEY_CURRENT_USER, "Concurrent\\Shared", 0, KEY_ALL_ACCESS, &shared) !=
                ERROR_SUCCESS ||
            RegSetValueEx(shared, name.c_str(), 0, REG_DWORD, reinterpret_cast<BYTE*>(&v), 4) !=
                ERROR_SUCCESS) {
          ++failures;
        }
        RegCloseKey(shared);
        RegCloseKey(ck);
      }
      _exit(failures == 0 ? 0 : 1);
    }
    pids.push_back(pid);
  }
  for (int i = 0; i < 50; ++i) {
    std::string name = std::to_string(i);
    name.insert(0, 1, 'p');
    SetString(k, name.c_str(), "parent");
  }
  for (pid_t pid : pids) {
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  RegCloseKey(k);

  HKEY shared;
  ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "Concurrent\\Shared", 0, KEY_READ, &shared),
            ERROR_SUCCESS);
  DWORD subKeys = 0, values = 0;
  ASSERT_EQ(RegQueryInfoKey(shared, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, &values,
                            nullptr, nullptr, nullptr, nullptr),
            ERROR_SUCCESS);
  EXPECT_EQ(subKeys, static_cast<DWORD>(kChildren));
  EXPECT_EQ(values, static_cast<DWORD>(kChildren * kWrites));
  RegCloseKey(shared);

  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open_v2((dir_ + "/user.db").c_str(), &db, SQLITE_OPEN_READONLY, nullptr),
            SQLITE_OK);
  sqlite3_stmt* s = nullptr;
  ASSERT_EQ(sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &s, nullptr), SQLITE_OK);
  ASSERT_EQ(sqlite3_step(s), SQLITE_ROW);
  EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(s, 0)), "ok");
  sqlite3_finalize(s);
  sqlite3_close(db);
}

}  // namespace
