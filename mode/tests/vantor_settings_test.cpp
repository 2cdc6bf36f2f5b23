#include "vantor_settings.h"

#include <gtest/gtest.h>

#include <map>
#include <tuple>

#include "scratch_registry.h"

namespace {

using tesk::vantor::Root;
using tesk::vantor::Settings;
namespace v = tesk::vantor;

// An in-memory store that also records what was asked of it.
struct Store {
  std::map<std::tuple<Root, std::string, std::string>, std::string> values;
  std::vector<std::string> asked;
  std::optional<std::string> computer = "LABPC07";
  void Put(Root r, std::string_view key, std::string_view name, std::string value) {
    values[{r, std::string(key), std::string(name)}] = std::move(value);
  }
  Settings Read() {
    return v::ReadSettings(
        [this](Root r, std::string_view key, std::string_view name, std::string* out) {
          asked.push_back(std::string(key) + "|" + std::string(name));
          auto it = values.find({r, std::string(key), std::string(name)});
          if (it == values.end()) return false;
          *out = it->second;
          return true;
        },
        [this] { return computer; });
  }
  // Every value the four database cases could read, each distinct.
  void FillAll() {
    Put(Root::kMachine, v::kServerNameKey, "", "zorum-main");
    Put(Root::kUser, v::kPreferencesKey, "Datadir", "/data/user");
    Put(Root::kUser, v::kPreferencesKey, "Seqlibdir", "/lib/user");
    Put(Root::kMachine, v::kLocalDataPathKey, "", "/data/local");
    Put(Root::kMachine, v::kLocalLibraryPathKey, "", "/lib/local");
    Put(Root::kMachine, v::kRemoteDataPathKey, "", "/data/remote");
    Put(Root::kMachine, v::kRemoteLibraryPathKey, "", "/lib/remote");
  }
};

TEST(VantorSettings, NoDataSourceIsFileMode) {
  Store s;
  s.FillAll();
  Settings got = s.Read();
  EXPECT_EQ(got.installed, 0);
  EXPECT_FALSE(got.serverName);
  EXPECT_EQ(got.dataDirectory, "/data/user");
  EXPECT_EQ(got.libraryDirectory, "/lib/user");
  // The machine server name is never consulted in file mode.
  for (const std::string& a : s.asked) EXPECT_EQ(a.find("ServerName"), std::string::npos);
}

TEST(VantorSettings, LocalDatabaseUsesThisComputer) {
  Store s;
  s.FillAll();
  s.Put(Root::kUser, v::kDataSourceKey, "", "[BRAXLOW DATABASE]");
  Settings got = s.Read();
  EXPECT_EQ(got.installed, 1);
  EXPECT_EQ(got.serverName, "LABPC07");  // even though a server-name value exists
  EXPECT_EQ(got.dataDirectory, "/data/local");
  EXPECT_EQ(got.libraryDirectory, "/lib/local");
}

TEST(VantorSettings, RemoteDatabaseWithoutServerName) {
  Store s;
  s.FillAll();
  s.values.erase({Root::kMachine, std::string(v::kServerNameKey), ""});
  s.Put(Root::kUser, v::kDataSourceKey, "", "[FENO DATABASE]");
  Settings got = s.Read();
  EXPECT_EQ(got.installed, 1);
  EXPECT_FALSE(got.serverName);
  // The choice of directories does not depend on the server name being found.
  EXPECT_EQ(got.dataDirectory, "/data/remote");
  EXPECT_EQ(got.libraryDirectory, "/lib/remote");
}

TEST(VantorSettings, RemoteDatabaseWithServerName) {
  Store s;
  s.FillAll();
  s.Put(Root::kUser, v::kDataSourceKey, "", "[FENO DATABASE]");
  EXPECT_EQ(s.Read().serverName, "zorum-main");
}

TEST(VantorSettings, DataSourceComparisonIsExact) {
  for (const char* other : {"[feno database]", "[Braxlow Database]", "[FENO DATABASE] ", "FENO DATABASE", ""}) {
    Store s;
    s.FillAll();
    s.Put(Root::kUser, v::kDataSourceKey, "", other);
    Settings got = s.Read();
    EXPECT_EQ(got.installed, 0) << other;
    EXPECT_FALSE(got.serverName) << other;
    EXPECT_EQ(got.dataDirectory, "/data/user") << other;
  }
}

TEST(VantorSettings, MissingDirectoriesStayEmpty) {
  Store s;
  s.Put(Root::kUser, v::kDataSourceKey, "", "[BRAXLOW DATABASE]");
  s.Put(Root::kUser, v::kPreferencesKey, "Datadir", "/data/user");  // not used in database mode
  s.computer = std::nullopt;
  Settings got = s.Read();
  EXPECT_EQ(got.installed, 1);
  EXPECT_FALSE(got.serverName);
  EXPECT_EQ(got.dataDirectory, "");
  EXPECT_EQ(got.libraryDirectory, "");
}

class VantorRegistry : public ::testing::Test {
 protected:
  testing_support::ScratchRegistry reg;
};

TEST_F(VantorRegistry, ReadsStringValuesUpTo256Bytes) {
  std::string out = "unchanged";
  EXPECT_FALSE(v::ReadRegistryValue(Root::kUser, v::kPreferencesKey, "Datadir", &out));
  EXPECT_EQ(out, "unchanged");
  ASSERT_TRUE(reg.Set(HKEY_CURRENT_USER, std::string(v::kPreferencesKey), "Datadir", "/srv/data"));
  ASSERT_TRUE(v::ReadRegistryValue(Root::kUser, "software\\quillomere\\varolith\\PREFERENCES", "datadir", &out));
  EXPECT_EQ(out, "/srv/data");  // key and value names compare without regard to case
  // 255 characters and the terminator fit; one more does not.
  std::string fits(255, 'a');
  ASSERT_TRUE(reg.Set(HKEY_CURRENT_USER, std::string(v::kPreferencesKey), "Datadir", fits));
  ASSERT_TRUE(v::ReadRegistryValue(Root::kUser, v::kPreferencesKey, "Datadir", &out));
  EXPECT_EQ(out, fits);
  out = "unchanged";
  ASSERT_TRUE(reg.Set(HKEY_CURRENT_USER, std::string(v::kPreferencesKey), "Datadir", fits + "b"));
  EXPECT_FALSE(v::ReadRegistryValue(Root::kUser, v::kPreferencesKey, "Datadir", &out));
  EXPECT_EQ(out, "unchanged");
}

TEST_F(VantorRegistry, EmbeddedZerosAndValuesOfOtherTypes) {
  std::string out;
  ASSERT_TRUE(reg.Set(HKEY_LOCAL_MACHINE, std::string(v::kServerNameKey), "", std::string("ab\0cd", 5)));
  ASSERT_TRUE(v::ReadRegistryValue(Root::kMachine, v::kServerNameKey, "", &out));
  EXPECT_EQ(out, "ab");
  ASSERT_TRUE(reg.Set(HKEY_LOCAL_MACHINE, std::string(v::kServerNameKey), "", "\x01\x02\x03", REG_DWORD));
  out = "unchanged";
  EXPECT_FALSE(v::ReadRegistryValue(Root::kMachine, v::kServerNameKey, "", &out));
  EXPECT_EQ(out, "unchanged");
}

TEST_F(VantorRegistry, WholeLogicOverTheRegistry) {
  ASSERT_TRUE(reg.Set(HKEY_CURRENT_USER, std::string(v::kDataSourceKey), "", "[BRAXLOW DATABASE]"));
  ASSERT_TRUE(reg.Set(HKEY_LOCAL_MACHINE, std::string(v::kServerNameKey), "", "elsewhere"));
  ASSERT_TRUE(reg.Set(HKEY_LOCAL_MACHINE, std::string(v::kLocalDataPathKey), "", "/db/data"));
  ASSERT_TRUE(reg.Set(HKEY_LOCAL_MACHINE, std::string(v::kLocalLibraryPathKey), "", "/db/lib"));
  Settings got = v::ReadSettingsFromRegistry();
  EXPECT_EQ(got.installed, 1);
  ASSERT_TRUE(got.serverName);
  EXPECT_EQ(*got.serverName, v::SystemComputerName().value_or("?"));
  EXPECT_NE(*got.serverName, "elsewhere");
  EXPECT_EQ(got.dataDirectory, "/db/data");
  EXPECT_EQ(got.libraryDirectory, "/db/lib");
}

TEST(VantorComputerName, IsTheSystemsName) {
  auto name = v::SystemComputerName();
  ASSERT_TRUE(name);
  EXPECT_FALSE(name->empty());
  char buf[256];
  DWORD n = sizeof buf;
  ASSERT_TRUE(GetComputerName(buf, &n));
  EXPECT_EQ(*name, std::string(buf, n));
}

}  // namespace
