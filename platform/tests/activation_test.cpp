#include <tesk/platform/activation.h>
#include <tesk/platform/registry.h>

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "scratch_registry.h"
#include "test_class.h"

namespace {

class ActivationTest : public ScratchRegistryTest {
 protected:
  ActivationTest() : ScratchRegistryTest("activation") {}
  void SetUp() override {
    ScratchRegistryTest::SetUp();
    if (HasFatalFailure()) return;
    lib_ = dlopen(TESK_TEST_CLASS_LIB, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(lib_, nullptr) << dlerror();
    reg_ = reinterpret_cast<LPFNREGISTERSERVER>(dlsym(lib_, "DllRegisterServer"));
    unreg_ = reinterpret_cast<LPFNREGISTERSERVER>(dlsym(lib_, "DllUnregisterServer"));
    ASSERT_TRUE(reg_ && unreg_);
  }
  void TearDown() override {
    if (lib_) dlclose(lib_);
    ScratchRegistryTest::TearDown();
  }
  static void SetDefault(const std::string& key, const std::string& value) {
    HKEY k;
    ASSERT_EQ(RegCreateKeyEx(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                             &k, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueEx(k, "", 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                            static_cast<DWORD>(value.size() + 1)),
              ERROR_SUCCESS);
    RegCloseKey(k);
  }

  void* lib_ = nullptr;
  LPFNREGISTERSERVER reg_ = nullptr;
  LPFNREGISTERSERVER unreg_ = nullptr;
};

TEST_F(ActivationTest, CreatesAfterRegistrationAndNotAfterUnregistration) {
  ITestThing* thing = nullptr;
  EXPECT_EQ(CoCreateInstance(CLSID_TestThing, nullptr, CLSCTX_INPROC_SERVER, IID_ITestThing,
                             reinterpret_cast<void**>(&thing)),
            REGDB_E_CLASSNOTREG);

  ASSERT_EQ(reg_(), S_OK);
  CLSID clsid{};
  ASSERT_EQ(CLSIDFromProgID(u"TeskTest.Thing", &clsid), S_OK);
  EXPECT_TRUE(clsid == CLSID_TestThing);
  ASSERT_EQ(CLSIDFromProgID(u"teskTEST.thing.1", &clsid), S_OK);  // ProgIDs ignore case
  LPOLESTR progId = nullptr;
  ASSERT_EQ(ProgIDFromCLSID(CLSID_TestThing, &progId), S_OK);
  EXPECT_EQ(std::u16string(progId), u"TeskTest.Thing.1");
  CoTaskMemFree(progId);

  ASSERT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_ALL, IID_ITestThing,
                             reinterpret_cast<void**>(&thing)),
            S_OK);
  LONG v = 0;
  EXPECT_EQ(thing->GetValue(&v), S_OK);
  EXPECT_EQ(v, 42);
  EXPECT_EQ(OleRun(thing), S_OK);
  thing->Release();

  IDispatch* disp = reinterpret_cast<IDispatch*>(1);
  EXPECT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                             reinterpret_cast<void**>(&disp)),
            E_NOINTERFACE);
  EXPECT_EQ(disp, nullptr);

  ASSERT_EQ(unreg_(), S_OK);
  EXPECT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_ITestThing,
                             reinterpret_cast<void**>(&thing)),
            REGDB_E_CLASSNOTREG);
  EXPECT_EQ(CLSIDFromProgID(u"TeskTest.Thing", &clsid), CO_E_CLASSSTRING);
  EXPECT_EQ(ProgIDFromCLSID(CLSID_TestThing, &progId), REGDB_E_CLASSNOTREG);
  EXPECT_EQ(unreg_(), S_OK);  // again: nothing left to remove is fine
}

TEST_F(ActivationTest, CreateInstanceExAndServers) {
  ASSERT_EQ(reg_(), S_OK);
  MULTI_QI qi[3] = {{&IID_IUnknown, nullptr, 0}, {&IID_ITestThing, nullptr, 0}, {&IID_IDispatch, nullptr, 0}};
  ASSERT_EQ(CoCreateInstanceEx(CLSID_TestThing, nullptr, CLSCTX_SERVER, nullptr, 3, qi),
            CO_S_NOTALLINTERFACES);
  EXPECT_EQ(qi[0].hr, S_OK);
  EXPECT_EQ(qi[1].hr, S_OK);
  EXPECT_EQ(qi[2].hr, E_NOINTERFACE);
  EXPECT_EQ(qi[2].pItf, nullptr);
  qi[0].pItf->Release();
  qi[1].pItf->Release();

  std::u16string far = u"faraway-server";
  COSERVERINFO info{0, far.data(), nullptr, 0};
  MULTI_QI one[1] = {{&IID_ITestThing, nullptr, 0}};
  EXPECT_EQ(CoCreateInstanceEx(CLSID_TestThing, nullptr, CLSCTX_SERVER, &info, 1, one),
            static_cast<HRESULT>(0x800706BA));
  EXPECT_EQ(one[0].hr, static_cast<HRESULT>(0x800706BA));

  // A server listed as reachable is served by the local registration.
  HKEY k;
  ASSERT_EQ(RegCreateKeyEx(HKEY_LOCAL_MACHINE, TESK_REMOTE_SERVERS_KEY "\\FARAWAY-SERVER", 0,
                           nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr),
            ERROR_SUCCESS);
  RegCloseKey(k);
  ASSERT_EQ(CoCreateInstanceEx(CLSID_TestThing, nullptr, CLSCTX_SERVER, &info, 1, one), S_OK);
  one[0].pItf->Release();

  std::u16string local = u"localhost";
  info.pwszName = local.data();
  ASSERT_EQ(CoCreateInstanceEx(CLSID_TestThing, nullptr, CLSCTX_SERVER, &info, 1, one), S_OK);
  one[0].pItf->Release();
  EXPECT_EQ(CoCreateInstanceEx(CLSID_TestThing, nullptr, CLSCTX_SERVER, nullptr, 0, one), E_INVALIDARG);

  IClassFactory* factory = nullptr;
  ASSERT_EQ(CoGetClassObject(CLSID_TestThing, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                             reinterpret_cast<void**>(&factory)),
            S_OK);
  IUnknown* outer = reinterpret_cast<IUnknown*>(factory);
  IUnknown* inner = nullptr;
  EXPECT_EQ(factory->CreateInstance(outer, IID_IUnknown, reinterpret_cast<void**>(&inner)),
            CLASS_E_NOAGGREGATION);
  factory->Release();
  EXPECT_EQ(CoGetClassObject(CLSID_TestThing, 0, nullptr, IID_IClassFactory,
                             reinterpret_cast<void**>(&factory)),
            E_INVALIDARG);
}

TEST_F(ActivationTest, BrokenRegistrationsFailCleanly) {
  const std::string key = "CLSID\\" + tesk::GuidToString(CLSID_TestThing) + "\\InprocServer32";
  IUnknown* unk = nullptr;

  SetDefault(key, dir_ + "/missing.so");
  EXPECT_EQ(CoCreateInstance(CLSID_TestThing, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                             reinterpret_cast<void**>(&unk)),
            CO_E_DLLNOTFOUND);

  std::ofstream(dir_ + "/junk.so") << "not a library";
  SetDefault(key, dir_ + "/junk.so");
  EXPECT_EQ(CoCreateInstance(CLSID_TestThing, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                             reinterpret_cast<void**>(&unk)),
            CO_E_ERRORINDLL);

  // A real library without DllGetClassObject.
  SetDefault(key, "libsqlite3.so.0");
  EXPECT_EQ(CoCreateInstance(CLSID_TestThing, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                             reinterpret_cast<void**>(&unk)),
            CO_E_ERRORINDLL);

  // The library does not serve this class identifier.
  SetDefault(key, TESK_TEST_CLASS_LIB);
  const CLSID other{1, 2, 3, {4, 5, 6, 7, 8, 9, 10, 11}};
  SetDefault("CLSID\\" + tesk::GuidToString(other) + "\\InprocServer32", TESK_TEST_CLASS_LIB);
  EXPECT_EQ(CoCreateInstance(other, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                             reinterpret_cast<void**>(&unk)),
            CLASS_E_CLASSNOTAVAILABLE);
  EXPECT_EQ(unk, nullptr);

  CLSID clsid;
  SetDefault("Bad.Prog\\CLSID", "{not a guid}");
  EXPECT_EQ(CLSIDFromProgID(u"Bad.Prog", &clsid), CO_E_CLASSSTRING);
  EXPECT_EQ(CLSIDFromProgID(u"", &clsid), CO_E_CLASSSTRING);
  EXPECT_EQ(CLSIDFromProgID(u"CLSID\\x", &clsid), CO_E_CLASSSTRING);
}

TEST_F(ActivationTest, FreeUnusedLibrariesKeepsLibrariesInUse) {
  ASSERT_EQ(reg_(), S_OK);
  ITestThing* thing = nullptr;
  ASSERT_EQ(CoCreateInstance(CLSID_TestThing, nullptr, CLSCTX_INPROC_SERVER, IID_ITestThing,
                             reinterpret_cast<void**>(&thing)),
            S_OK);
  CoFreeUnusedLibraries();  // an object is alive: the library stays
  LONG v = 0;
  EXPECT_EQ(thing->GetValue(&v), S_OK);
  thing->Release();
  CoFreeUnusedLibraries();
  ASSERT_EQ(CoCreateInstance(CLSID_TestThing, nullptr, CLSCTX_INPROC_SERVER, IID_ITestThing,
                             reinterpret_cast<void**>(&thing)),
            S_OK);
  thing->Release();
}

TEST(Apartments, InitializationCountsAndSecurityOnce) {
  std::thread([] {
    EXPECT_EQ(CoInitialize(nullptr), S_OK);
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_FALSE);
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), RPC_E_CHANGED_MODE);
    CoUninitialize();
    CoUninitialize();
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
    CoUninitialize();
  }).join();
  EXPECT_EQ(CoInitializeSecurity(nullptr, -1, nullptr, nullptr, RPC_C_AUTHN_LEVEL_DEFAULT,
                                 RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE, nullptr),
            S_OK);
  EXPECT_EQ(CoInitializeSecurity(nullptr, -1, nullptr, nullptr, RPC_C_AUTHN_LEVEL_DEFAULT,
                                 RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE, nullptr),
            RPC_E_TOO_LATE);
}

}  // namespace
