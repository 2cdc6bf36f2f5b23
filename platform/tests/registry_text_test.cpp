#include <tesk/platform/registry.h>

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "scratch_registry.h"

namespace {

using tesk::platform::RegistryTextOp;

class RegistryTextTest : public ScratchRegistryTest {
 protected:
  RegistryTextTest() : ScratchRegistryTest("regtext") {}
};

const char kText[] =
    "Tesk Registry Text 1\n"
    "; settings\n"
    "[HKCU\\Software\\Quillomere\\Varolith\\Preferences]\n"
    "@=\"default\"\n"
    "\"Datadir\"=\"/data/x \\\"q\\\" \\\\ \\n\\0z\"\n"
    "\"N\"=dword:0000002a\n"
    "\"Q\"=qword:100000000000002a\n"
    "\"E\"=expand:\"%HOME%/x\"\n"
    "\"M\"=multi:\"a\",\"\",\"b\"\n"
    "\"B\"=hex:01,00,ff\n"
    "\"Empty\"=hex:\n"
    "\"X\"=hex(5):00,00,00,01\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Quillomere\\Varolith\\Database\\ServerName]\n"
    "@=\"dbhost\"\n";

TEST_F(RegistryTextTest, ImportExportRoundTripsEveryType) {
  std::vector<RegistryTextOp> ops;
  std::string error;
  ASSERT_TRUE(tesk::platform::ParseRegistryText(kText, &ops, &error)) << error;
  ASSERT_EQ(ops.size(), 12u);
  EXPECT_EQ(ops[0].kind, RegistryTextOp::kCreateKey);
  EXPECT_EQ(ops[0].key, "HKEY_CURRENT_USER\\Software\\Quillomere\\Varolith\\Preferences");
  EXPECT_EQ(ops[2].name, "Datadir");
  EXPECT_EQ(ops[2].data, std::string("/data/x \"q\" \\ \n\0z\0", 18));
  EXPECT_EQ(ops[5].data, std::string("%HOME%/x\0", 9));
  EXPECT_EQ(ops[6].data, std::string("a\0\0b\0\0", 6));
  ASSERT_EQ(tesk::platform::ApplyRegistryText(ops, &error), ERROR_SUCCESS) << error;

  HKEY k;
  ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "Software\\Quillomere\\Varolith\\Preferences", 0, KEY_READ, &k),
            ERROR_SUCCESS);
  uint64_t q = 0;
  DWORD cb = 8, type = 0;
  ASSERT_EQ(RegQueryValueEx(k, "q", nullptr, &type, reinterpret_cast<BYTE*>(&q), &cb), ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_QWORD));
  EXPECT_EQ(q, 0x100000000000002aull);
  RegCloseKey(k);

  std::string text;
  ASSERT_EQ(tesk::platform::ExportRegistryText("HKCU\\Software", &text), ERROR_SUCCESS);
  EXPECT_NE(text.find("\"N\"=dword:0000002a\n"), std::string::npos);
  EXPECT_NE(text.find("\"M\"=multi:\"a\",\"\",\"b\"\n"), std::string::npos);
  EXPECT_NE(text.find("\"Empty\"=hex:\n"), std::string::npos);

  // The export, imported into an empty registry, exports the same text.
  std::vector<RegistryTextOp> again;
  ASSERT_TRUE(tesk::platform::ParseRegistryText(text, &again, &error)) << error;
  ASSERT_EQ(RegDeleteTree(HKEY_CURRENT_USER, "Software"), ERROR_SUCCESS);
  ASSERT_EQ(tesk::platform::ApplyRegistryText(again, &error), ERROR_SUCCESS);
  std::string text2;
  ASSERT_EQ(tesk::platform::ExportRegistryText("HKCU\\Software", &text2), ERROR_SUCCESS);
  EXPECT_EQ(text, text2);

  // Deletions.
  ASSERT_TRUE(tesk::platform::ParseRegistryText(
      "Tesk Registry Text 1\n[HKCU\\Software\\Quillomere\\Varolith\\Preferences]\n\"N\"=-\n"
      "\"NeverThere\"=-\n[-HKCU\\Software\\Quillomere\\Varolith\\Preferences\\Missing]\n"
      "[-HKLM\\SOFTWARE\\Quillomere]\n",
      &ops, &error));
  ASSERT_EQ(tesk::platform::ApplyRegistryText(ops, &error), ERROR_SUCCESS) << error;
  ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "Software\\Quillomere\\Varolith\\Preferences", 0, KEY_READ, &k),
            ERROR_SUCCESS);
  EXPECT_EQ(RegQueryValueEx(k, "N", nullptr, nullptr, nullptr, &cb), ERROR_FILE_NOT_FOUND);
  RegCloseKey(k);
  EXPECT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quillomere", 0, KEY_READ, &k), ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryTextTest, RejectsMalformedText) {
  std::vector<RegistryTextOp> ops;
  std::string error;
  const char* bad[] = {
      "",
      "Not Registry Text\n",
      "Tesk Registry Text 1\n\"v\"=\"outside a key\"\n",
      "Tesk Registry Text 1\n[HKEY_NOWHERE\\X]\n",
      "Tesk Registry Text 1\n[HKCU\\X\n",
      "Tesk Registry Text 1\n[HKCU\\X]\n\"v\"=\"unterminated\n",
      "Tesk Registry Text 1\n[HKCU\\X]\n\"v\"=\"bad \\q escape\"\n",
      "Tesk Registry Text 1\n[HKCU\\X]\n\"v\"=dword:123456789\n",
      "Tesk Registry Text 1\n[HKCU\\X]\n\"v\"=dword:\n",
      "Tesk Registry Text 1\n[HKCU\\X]\n\"v\"=hex:1\n",
      "Tesk Registry Text 1\n[HKCU\\X]\n\"v\"=hex:01,\n",
      "Tesk Registry Text 1\n[HKCU\\X]\n\"v\"=hex(zz):01\n",
      "Tesk Registry Text 1\n[HKCU\\X]\n\"v\"=multi:\"a\",\n",
      "Tesk Registry Text 1\n[HKCU\\X]\n\"v\" \"no equals\"\n",
      "Tesk Registry Text 1\n[HKCU\\X]\n\"v\"=\"x\" trailing\n",
  };
  for (const char* text : bad) {
    EXPECT_FALSE(tesk::platform::ParseRegistryText(text, &ops, &error)) << text;
    EXPECT_EQ(error.rfind("line ", 0), 0u) << error;
  }
  ASSERT_FALSE(tesk::platform::ParseRegistryText("Tesk Registry Text 1\n\n[HKCU\\X]\nbad\n", &ops, &error));
  EXPECT_EQ(error.substr(0, 7), "line 4:");

  HKEY root;
  std::string name, sub;
  ASSERT_TRUE(tesk::platform::SplitRootKey("hkcr\\CLSID\\", &root, &name, &sub));
  EXPECT_EQ(root, HKEY_CLASSES_ROOT);
  EXPECT_EQ(name, "HKEY_CLASSES_ROOT");
  EXPECT_EQ(sub, "CLSID");
  EXPECT_FALSE(tesk::platform::SplitRootKey("HKXX\\A", &root, &name, &sub));
  std::string text;
  EXPECT_EQ(tesk::platform::ExportRegistryText("HKCU\\Does\\Not\\Exist", &text), ERROR_FILE_NOT_FOUND);
}

}  // namespace
