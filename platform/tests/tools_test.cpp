// The `tesk reg` and `tesk regsvr` commands, run as a separate program.
#include <tesk/platform/activation.h>
#include <tesk/platform/registry.h>

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "scratch_registry.h"
#include "test_class.h"

namespace {

class ToolsTest : public ScratchRegistryTest {
 protected:
  ToolsTest() : ScratchRegistryTest("tools") {}

  // Runs `tesk ARGS`, collecting stdout and stderr; returns the exit code.
  int Tesk(const std::string& args, std::string* out = nullptr) {
    const std::string cmd = std::string(TESK_PROGRAM) + " " + args + " </dev/null 2>&1";
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return -1;
    std::string text;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) text.append(buf, n);
    const int status = pclose(p);
    if (out) *out = text;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

};

TEST_F(ToolsTest, RegsvrRegistersAndUnregisters) {
  std::string out;
  ASSERT_EQ(Tesk(std::string("regsvr ") + TESK_TEST_CLASS_LIB, &out), 0) << out;
  IUnknown* unk = nullptr;
  ASSERT_EQ(CoCreateInstance(CLSID_TestThing, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                             reinterpret_cast<void**>(&unk)),
            S_OK);
  unk->Release();
  ASSERT_EQ(Tesk(std::string("regsvr -u ") + TESK_TEST_CLASS_LIB, &out), 0) << out;
  EXPECT_EQ(CoCreateInstance(CLSID_TestThing, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                             reinterpret_cast<void**>(&unk)),
            REGDB_E_CLASSNOTREG);

  EXPECT_EQ(Tesk("regsvr " + dir_ + "/missing.so", &out), 1);
  EXPECT_NE(out.find("no such file"), std::string::npos) << out;
  EXPECT_EQ(Tesk("regsvr libsqlite3.so.0", &out), 1);
  EXPECT_NE(out.find("has no entry point DllRegisterServer"), std::string::npos) << out;
  EXPECT_EQ(Tesk("regsvr", &out), 2);
}

TEST_F(ToolsTest, RegAddQueryDeleteExportImport) {
  std::string out;
  const std::string key = "HKCU\\Software\\Quillomere\\Varolith\\Preferences";
  ASSERT_EQ(Tesk("reg add '" + key + "' /v Datadir /d /data/exp", &out), 0) << out;
  EXPECT_EQ(Tesk("reg add '" + key + "' /v Datadir /d /other", &out), 1);  // exists, no /f
  ASSERT_EQ(Tesk("reg add '" + key + "' /v Count /t REG_DWORD /d 0x2A /f", &out), 0) << out;
  EXPECT_EQ(Tesk("reg add '" + key + "' /v Bad /t REG_DWORD /d 12x", &out), 1);
  ASSERT_EQ(Tesk("reg query 'hkcu\\software\\quillomere\\varolith\\preferences'", &out), 0);
  EXPECT_NE(out.find("    Datadir    REG_SZ    /data/exp\n"), std::string::npos) << out;
  EXPECT_NE(out.find("    Count    REG_DWORD    0x2a\n"), std::string::npos) << out;

  const std::string file = dir_ + "/export.txt";
  ASSERT_EQ(Tesk("reg export HKCU\\\\Software " + file, &out), 0) << out;
  EXPECT_EQ(Tesk("reg export HKCU\\\\Software " + file, &out), 1);  // exists, no /y
  ASSERT_EQ(Tesk("reg delete HKCU\\\\Software /f", &out), 0) << out;
  EXPECT_EQ(Tesk("reg query '" + key + "'", &out), 1);
  ASSERT_EQ(Tesk("reg import " + file, &out), 0) << out;
  ASSERT_EQ(Tesk("reg query '" + key + "' /v datadir", &out), 0);
  EXPECT_NE(out.find("/data/exp"), std::string::npos);

  EXPECT_EQ(Tesk("reg delete '" + key + "' /v Datadir", &out), 1);  // no /f, no terminal
  ASSERT_EQ(Tesk("reg delete '" + key + "' /v Datadir /f", &out), 0);
  EXPECT_EQ(Tesk("reg query '" + key + "' /v Datadir", &out), 1);
  EXPECT_EQ(Tesk("reg query HKXX\\\\Nowhere", &out), 1);
  EXPECT_EQ(Tesk("reg frobnicate", &out), 1);
}

}  // namespace
