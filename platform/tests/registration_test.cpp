#include <tesk/platform/activation.h>
#include <tesk/platform/registry.h>

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "scratch_registry.h"
#include "test_class.h"

namespace {

class RegistrationTest : public ScratchRegistryTest {
 protected:
  RegistrationTest() : ScratchRegistryTest("registration") {}

  // The string value, or "<missing>".
  static std::string Get(const std::string& key, const char* value = "") {
    HKEY k;
    if (RegOpenKeyEx(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return "<missing>";
    char buf[512];
    DWORD cb = sizeof buf;
    LONG st = RegQueryValueEx(k, value, nullptr, nullptr, reinterpret_cast<BYTE*>(buf), &cb);
    RegCloseKey(k);
    return st == ERROR_SUCCESS ? std::string(buf) : "<missing>";
  }
  static bool Exists(const std::string& key) {
    HKEY k;
    if (RegOpenKeyEx(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return false;
    RegCloseKey(k);
    return true;
  }

};

const CLSID kClsid{0x11111111, 0x2222, 0x3333, {0x44, 0x44, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55}};
const GUID kLib{0xAAAAAAAA, 0xBBBB, 0xCCCC, {0xDD, 0xDD, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE}};
const tesk::ClassRegistration kCls{&kClsid, "Widget Class", "Acme.Widget.1", "Acme.Widget",
                                   "Apartment", &kLib};

TEST_F(RegistrationTest, WritesTheKeysOfOneClass) {
  ASSERT_EQ(tesk::RegisterClassKeys(kCls, "/opt/lib/libwidget.so"), S_OK);
  const std::string c = "CLSID\\{11111111-2222-3333-4444-555555555555}";
  EXPECT_EQ(Get("Acme.Widget.1"), "Widget Class");
  EXPECT_EQ(Get("Acme.Widget.1\\CLSID"), "{11111111-2222-3333-4444-555555555555}");
  EXPECT_EQ(Get("Acme.Widget"), "Widget Class");
  EXPECT_EQ(Get("Acme.Widget\\CLSID"), "{11111111-2222-3333-4444-555555555555}");
  EXPECT_EQ(Get("Acme.Widget\\CurVer"), "Acme.Widget.1");
  EXPECT_EQ(Get(c), "Widget Class");
  EXPECT_EQ(Get(c + "\\ProgID"), "Acme.Widget.1");
  EXPECT_EQ(Get(c + "\\VersionIndependentProgID"), "Acme.Widget");
  EXPECT_TRUE(Exists(c + "\\Programmable"));
  EXPECT_EQ(Get(c + "\\InprocServer32"), "/opt/lib/libwidget.so");
  EXPECT_EQ(Get(c + "\\InprocServer32", "ThreadingModel"), "Apartment");
  EXPECT_EQ(Get(c + "\\TypeLib"), "{AAAAAAAA-BBBB-CCCC-DDDD-EEEEEEEEEEEE}");

  // Registration replaces the class key whole.
  HKEY k;
  ASSERT_EQ(RegCreateKey(HKEY_CLASSES_ROOT, (c + "\\Stale").c_str(), &k), ERROR_SUCCESS);
  RegCloseKey(k);
  ASSERT_EQ(tesk::RegisterClassKeys(kCls, "/opt/lib/libwidget2.so"), S_OK);
  EXPECT_FALSE(Exists(c + "\\Stale"));
  EXPECT_EQ(Get(c + "\\InprocServer32"), "/opt/lib/libwidget2.so");

  ASSERT_EQ(tesk::UnregisterClassKeys(kCls), S_OK);
  EXPECT_FALSE(Exists(c));
  EXPECT_FALSE(Exists("Acme.Widget.1"));
  EXPECT_FALSE(Exists("Acme.Widget"));
  EXPECT_TRUE(Exists("CLSID"));  // the root stays
}

TEST_F(RegistrationTest, UnregisteringLeavesAProgIdThatAnotherClassClaimed) {
  ASSERT_EQ(tesk::RegisterClassKeys(kCls, "/a.so"), S_OK);
  const CLSID other{0x99999999, 0, 0, {0, 0, 0, 0, 0, 0, 0, 1}};
  tesk::ClassRegistration newer = kCls;
  newer.clsid = &other;
  newer.progId = "Acme.Widget.2";
  ASSERT_EQ(tesk::RegisterClassKeys(newer, "/b.so"), S_OK);  // takes over "Acme.Widget"
  ASSERT_EQ(tesk::UnregisterClassKeys(kCls), S_OK);
  EXPECT_FALSE(Exists("Acme.Widget.1"));
  EXPECT_EQ(Get("Acme.Widget\\CurVer"), "Acme.Widget.2");
  CLSID got;
  ASSERT_EQ(CLSIDFromProgID(u"Acme.Widget", &got), S_OK);
  EXPECT_TRUE(got == other);
}

TEST_F(RegistrationTest, TypeLibraryKeysComeFromTheDispatchTables) {
  static const tesk::DispTable table{"IWidget", &IID_ITestThing, {}};
  static const tesk::DispTable* const ifaces[] = {&table};
  const tesk::TypeLibInfo lib{kLib, "WIDGETLib", "Widget 1.0 Type Library", 1, 0, 0x409, ifaces};
  ASSERT_EQ(tesk::RegisterTypeLibKeys(lib, "/opt/lib/libwidget.so"), S_OK);
  const std::string t = "TypeLib\\{AAAAAAAA-BBBB-CCCC-DDDD-EEEEEEEEEEEE}";
  EXPECT_EQ(Get(t + "\\1.0"), "Widget 1.0 Type Library");
  const std::string i = "Interface\\" + tesk::GuidToString(IID_ITestThing);
  EXPECT_EQ(Get(i), "IWidget");
  EXPECT_EQ(Get(i + "\\TypeLib"), "{AAAAAAAA-BBBB-CCCC-DDDD-EEEEEEEEEEEE}");

  // Another version of the library stays when this one goes.
  HKEY k;
  ASSERT_EQ(RegCreateKey(HKEY_CLASSES_ROOT, (t + "\\2.0").c_str(), &k), ERROR_SUCCESS);
  RegCloseKey(k);
  ASSERT_EQ(tesk::UnregisterTypeLibKeys(lib), S_OK);
  EXPECT_FALSE(Exists(t + "\\1.0"));
  EXPECT_TRUE(Exists(t + "\\2.0"));
  EXPECT_FALSE(Exists(i));
  ASSERT_EQ(RegDeleteKey(HKEY_CLASSES_ROOT, (t + "\\2.0").c_str()), ERROR_SUCCESS);
  ASSERT_EQ(tesk::RegisterTypeLibKeys(lib, "/x.so"), S_OK);
  ASSERT_EQ(tesk::UnregisterTypeLibKeys(lib), S_OK);
  EXPECT_FALSE(Exists(t));
}

TEST_F(RegistrationTest, ModulePathNamesTheLibrary) {
  const std::string path = tesk::ModulePath(reinterpret_cast<const void*>(&tesk::UnregisterServer));
  EXPECT_NE(path.find("libtesk-platform.so"), std::string::npos);
  EXPECT_EQ(path.front(), '/');
  EXPECT_EQ(tesk::ModulePath(nullptr), "");
}

}  // namespace
