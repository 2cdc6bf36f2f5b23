// Local servers over a private session bus: activation by ProgID, values and errors across the
// bus, object ownership, release when a client dies, and the server's end.
#include <gio/gio.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include <tesk/platform.h>
#include <tesk/testing/bytes.h>
#include <tesk/testing/scratch_dir.h>
#include <tesk/testing/wait.h>
#include <tesk/platform/local_server.h>

#include "local_test_class.h"
#include "private_session.h"
#include "scratch_registry.h"

namespace {

constexpr tesk::ClassRegistration kThing{&CLSID_LocalThing, "Local Thing", kLocalThingProgId, "Tesk.LocalThing",
                                         nullptr, nullptr};
constexpr GUID kAppId{0x11D5E2A0, 0x4C3B, 0x4E8A, {0x91, 0x0F, 0x2B, 0x6A, 0x7D, 0x33, 0xC8, 0x14}};

// Tests that need the bus run only under the private bus that CTest starts for them.
bool PrivateBus() { return tesk_test::PrivateSession(); }

using tesk::testing::WaitFor;

std::string ReadFile(const std::string& path) { return tesk::testing::ReadFileBytes(path); }

bool Alive(LONG pid) { return kill(static_cast<pid_t>(pid), 0) == 0; }

class LocalServerTest : public ScratchRegistryTest {
 protected:
  LocalServerTest() : ScratchRegistryTest("local_server") {}
  void SetUp() override {
    ScratchRegistryTest::SetUp();
    if (!PrivateBus()) GTEST_SKIP() << "needs dbus-run-session";
    ASSERT_EQ(tesk::RegisterLocalServer(kThing, &kAppId, nullptr, TESK_LOCAL_TEST_SERVER), S_OK);
  }
  void TearDown() override {
    for (IDispatch* d : made_) d->Release();
    ScratchRegistryTest::TearDown();
  }

  IDispatch* Create() {
    CLSID clsid{};
    EXPECT_EQ(CLSIDFromProgID(u"Tesk.LocalThing", &clsid), S_OK);
    IDispatch* d = nullptr;
    EXPECT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch, reinterpret_cast<void**>(&d)), S_OK);
    if (d) made_.push_back(d);
    return d;
  }
  void Drop(IDispatch* d) {
    std::erase(made_, d);
    d->Release();
  }

  static HRESULT Call(IDispatch* d, DISPID id, WORD flags, std::vector<VARIANT> args, VARIANT* result,
                      EXCEPINFO* ex = nullptr, UINT* argErr = nullptr) {
    DISPPARAMS dp{args.data(), nullptr, static_cast<UINT>(args.size()), 0};
    EXCEPINFO local{};
    UINT err = 0;
    const HRESULT hr = d->Invoke(id, IID_NULL, 0, flags, &dp, result, ex ? ex : &local, argErr ? argErr : &err);
    if (!ex) {
      SysFreeString(local.bstrSource);
      SysFreeString(local.bstrDescription);
      SysFreeString(local.bstrHelpFile);
    }
    return hr;
  }
  static LONG GetLong(IDispatch* d, DISPID id) {
    VARIANT r;
    VariantInit(&r);
    EXPECT_EQ(Call(d, id, DISPATCH_PROPERTYGET, {}, &r), S_OK);
    EXPECT_EQ(r.vt, VT_I4);
    return r.lVal;
  }

  std::vector<IDispatch*> made_;
};

TEST(LocalServerRegistration, WritesProgramAppIdAndServiceFileAndRemovesThem) {
  tesk::testing::ScratchDir scratch;
  const std::string dir = scratch.str();
  setenv("TESK_REGISTRY_DIR", dir.c_str(), 1);
  const std::string saved = std::getenv("XDG_DATA_HOME") ? std::getenv("XDG_DATA_HOME") : "";
  setenv("XDG_DATA_HOME", (dir + "/data").c_str(), 1);

  ASSERT_EQ(tesk::RegisterLocalServer(kThing, &kAppId, nullptr, "/opt/my tools/thing"), S_OK);
  const std::string key = "CLSID\\" + tesk::GuidToString(CLSID_LocalThing);
  char buf[512] = {};
  LONG cb = sizeof buf;
  ASSERT_EQ(RegQueryValue(HKEY_CLASSES_ROOT, (key + "\\LocalServer32").c_str(), buf, &cb), ERROR_SUCCESS);
  EXPECT_STREQ(buf, "\"/opt/my tools/thing\"");
  HKEY k;
  EXPECT_NE(RegOpenKeyEx(HKEY_CLASSES_ROOT, (key + "\\InprocServer32").c_str(), 0, KEY_READ, &k), ERROR_SUCCESS);
  EXPECT_EQ(RegOpenKeyEx(HKEY_CLASSES_ROOT, ("AppID\\" + tesk::GuidToString(kAppId)).c_str(), 0, KEY_READ, &k),
            ERROR_SUCCESS);
  RegCloseKey(k);
  CLSID clsid{};
  EXPECT_EQ(CLSIDFromProgID(u"Tesk.LocalThing", &clsid), S_OK);
  EXPECT_EQ(clsid, CLSID_LocalThing);

  const std::string file = tesk::LocalServerServiceFile(CLSID_LocalThing);
  EXPECT_EQ(file, dir + "/data/dbus-1/services/org.tesk.Class.C3E0C5A479B214D6F8A136C2F90E45B71.service");
  EXPECT_EQ(ReadFile(file), "[D-BUS Service]\nName=org.tesk.Class.C3E0C5A479B214D6F8A136C2F90E45B71\n"
                            "Exec=\"/opt/my tools/thing\" -Embedding\n");

  // In-process creation never reaches a local-server class.
  IUnknown* unk = nullptr;
  EXPECT_EQ(CoCreateInstance(CLSID_LocalThing, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                             reinterpret_cast<void**>(&unk)),
            REGDB_E_CLASSNOTREG);

  ASSERT_EQ(tesk::UnregisterLocalServer(kThing, &kAppId, nullptr), S_OK);
  EXPECT_NE(RegOpenKeyEx(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, &k), ERROR_SUCCESS);
  EXPECT_NE(RegOpenKeyEx(HKEY_CLASSES_ROOT, ("AppID\\" + tesk::GuidToString(kAppId)).c_str(), 0, KEY_READ, &k),
            ERROR_SUCCESS);
  EXPECT_NE(access(file.c_str(), F_OK), 0);
  EXPECT_EQ(CLSIDFromProgID(u"Tesk.LocalThing", &clsid), CO_E_CLASSSTRING);
  // Unregistering twice is not an error.
  EXPECT_EQ(tesk::UnregisterLocalServer(kThing, &kAppId, nullptr), S_OK);

  if (saved.empty()) unsetenv("XDG_DATA_HOME"); else setenv("XDG_DATA_HOME", saved.c_str(), 1);
}

TEST_F(LocalServerTest, StartsOneServerForAllObjectsOfTheClass) {
  IDispatch* a = Create();
  IDispatch* b = Create();
  ASSERT_TRUE(a && b);
  const LONG pid = GetLong(a, 5);
  EXPECT_NE(pid, static_cast<LONG>(getpid()));
  EXPECT_EQ(GetLong(b, 5), pid);
  EXPECT_EQ(GetLong(a, 4), 2);
  Drop(b);
  EXPECT_EQ(GetLong(a, 4), 1);

  // Only IUnknown, IDispatch and ISupportErrorInfo cross the bus.
  void* p = nullptr;
  EXPECT_EQ(a->QueryInterface(IID_ILocalThing, &p), E_NOINTERFACE);
  ISupportErrorInfo* sei = nullptr;
  ASSERT_EQ(a->QueryInterface(IID_ISupportErrorInfo, reinterpret_cast<void**>(&sei)), S_OK);
  EXPECT_EQ(sei->InterfaceSupportsErrorInfo(IID_IDispatch), S_OK);
  sei->Release();
}

TEST_F(LocalServerTest, ValuesCrossUnchanged) {
  IDispatch* d = Create();
  ASSERT_TRUE(d);
  auto echo = [&](const VARIANT& in, VARIANT* out) {
    VariantInit(out);
    return Call(d, 1, DISPATCH_METHOD, {in}, out);
  };
  VARIANT in, out;
  VariantInit(&in);
  in.vt = VT_R8;
  in.dblVal = -1.25e-300;
  ASSERT_EQ(echo(in, &out), S_OK);
  EXPECT_EQ(out.vt, VT_R8);
  EXPECT_EQ(out.dblVal, -1.25e-300);

  in.vt = VT_BOOL;
  in.boolVal = VARIANT_TRUE;
  ASSERT_EQ(echo(in, &out), S_OK);
  EXPECT_EQ(out.vt, VT_BOOL);
  EXPECT_EQ(out.boolVal, VARIANT_TRUE);

  in.vt = VT_UI8;
  in.ullVal = 0xFFFFFFFFFFFFFFFFull;
  ASSERT_EQ(echo(in, &out), S_OK);
  EXPECT_EQ(out.vt, VT_UI8);
  EXPECT_EQ(out.ullVal, 0xFFFFFFFFFFFFFFFFull);

  // Any BSTR: an embedded zero and a lone surrogate survive.
  const char16_t odd[] = {u'a', 0, 0xD800, u'z'};
  in.vt = VT_BSTR;
  in.bstrVal = SysAllocStringLen(odd, 4);
  ASSERT_EQ(echo(in, &out), S_OK);
  ASSERT_EQ(out.vt, VT_BSTR);
  EXPECT_EQ(std::u16string(out.bstrVal, SysStringLen(out.bstrVal)), std::u16string(odd, 4));
  VariantClear(&in);
  VariantClear(&out);

  // A two-dimensional array keeps its bounds and order; an array of variants its mixed values.
  SAFEARRAYBOUND b[2] = {{2, 1}, {3, -1}};
  in.vt = VT_ARRAY | VT_I4;
  in.parray = SafeArrayCreate(VT_I4, 2, b);
  LONG* data = nullptr;
  SafeArrayAccessData(in.parray, reinterpret_cast<void**>(&data));
  for (LONG i = 0; i < 6; ++i) data[i] = i * 7;
  SafeArrayUnaccessData(in.parray);
  ASSERT_EQ(echo(in, &out), S_OK);
  ASSERT_EQ(out.vt, VT_ARRAY | VT_I4);
  LONG lb = 0, ub = 0;
  SafeArrayGetLBound(out.parray, 2, &lb);
  SafeArrayGetUBound(out.parray, 2, &ub);
  EXPECT_EQ(lb, -1);
  EXPECT_EQ(ub, 1);
  LONG idx[2] = {2, 1};
  LONG v = 0;
  SafeArrayGetElement(out.parray, idx, &v);
  LONG expected = 0;
  SafeArrayGetElement(in.parray, idx, &expected);
  EXPECT_EQ(v, expected);
  VariantClear(&in);
  VariantClear(&out);

  in.vt = VT_ARRAY | VT_VARIANT;
  in.parray = SafeArrayCreateVector(VT_VARIANT, 0, 2);
  VARIANT e;
  VariantInit(&e);
  e.vt = VT_BSTR;
  e.bstrVal = SysAllocString(u"x");
  LONG i0 = 0, i1 = 1;
  SafeArrayPutElement(in.parray, &i0, &e);
  VariantClear(&e);
  e.vt = VT_I2;
  e.iVal = -3;
  SafeArrayPutElement(in.parray, &i1, &e);
  ASSERT_EQ(echo(in, &out), S_OK);
  ASSERT_EQ(out.vt, VT_ARRAY | VT_VARIANT);
  SafeArrayGetElement(out.parray, &i0, &e);
  EXPECT_EQ(e.vt, VT_BSTR);
  EXPECT_EQ(std::u16string(e.bstrVal), u"x");
  VariantClear(&e);
  SafeArrayGetElement(out.parray, &i1, &e);
  EXPECT_EQ(e.vt, VT_I2);
  EXPECT_EQ(e.iVal, -3);
  VariantClear(&in);
  VariantClear(&out);

  // An object cannot cross; the argument is named.
  in.vt = VT_DISPATCH;
  in.pdispVal = d;
  UINT argErr = 99;
  VariantInit(&out);
  EXPECT_EQ(Call(d, 1, DISPATCH_METHOD, {in}, &out, nullptr, &argErr), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(argErr, 0u);
}

TEST_F(LocalServerTest, ByReferenceOutValuesComeBackAndReplaceWhatTheyHeld) {
  IDispatch* d = Create();
  ASSERT_TRUE(d);
  SAFEARRAY* parts = SafeArrayCreateVector(VT_BSTR, 0, 1);  // freed by the write-back
  LONG count = -1;
  VARIANT args[3];
  VariantInit(&args[0]);
  args[0].vt = VT_BYREF | VT_I4;
  args[0].plVal = &count;
  VariantInit(&args[1]);
  args[1].vt = VT_BYREF | VT_ARRAY | VT_BSTR;
  args[1].pparray = &parts;
  VariantInit(&args[2]);
  args[2].vt = VT_BSTR;
  args[2].bstrVal = SysAllocString(u"CEL,,Ä.DAT");
  VARIANT r;
  VariantInit(&r);
  ASSERT_EQ(Call(d, 2, DISPATCH_METHOD, {args[0], args[1], args[2]}, &r), S_OK);
  EXPECT_EQ(count, 3);
  ASSERT_NE(parts, nullptr);
  LONG ub = 0;
  SafeArrayGetUBound(parts, 1, &ub);
  EXPECT_EQ(ub, 2);
  const char16_t* want[] = {u"CEL", u"", u"Ä.DAT"};
  for (LONG i = 0; i < 3; ++i) {
    BSTR s = nullptr;
    SafeArrayGetElement(parts, &i, &s);
    EXPECT_EQ(std::u16string(s ? s : u""), want[i]);
    SysFreeString(s);
  }
  SafeArrayDestroy(parts);
  VariantClear(&args[2]);
}

TEST_F(LocalServerTest, ErrorsCarryExcepInfoAndErrorInfo) {
  IDispatch* d = Create();
  ASSERT_TRUE(d);
  VARIANT text;
  VariantInit(&text);
  text.vt = VT_BSTR;
  text.bstrVal = SysAllocString(u"bad file name");
  EXCEPINFO ex{};
  VARIANT r;
  VariantInit(&r);
  ASSERT_EQ(Call(d, 3, DISPATCH_METHOD, {text}, &r, &ex), DISP_E_EXCEPTION);
  EXPECT_EQ(ex.scode, E_INVALIDARG);
  EXPECT_EQ(std::u16string(ex.bstrDescription ? ex.bstrDescription : u""), u"bad file name");
  SysFreeString(ex.bstrSource);
  SysFreeString(ex.bstrDescription);
  SysFreeString(ex.bstrHelpFile);
  VariantClear(&text);

  LPOLESTR names[] = {const_cast<LPOLESTR>(u"oBjEcTs"), const_cast<LPOLESTR>(u"Nope")};
  DISPID ids[2] = {0, 0};
  EXPECT_EQ(d->GetIDsOfNames(IID_NULL, names, 1, 0, ids), S_OK);
  EXPECT_EQ(ids[0], 4);
  EXPECT_EQ(d->GetIDsOfNames(IID_NULL, names + 1, 1, 0, ids), DISP_E_UNKNOWNNAME);
  EXPECT_EQ(Call(d, 77, DISPATCH_METHOD, {}, &r), DISP_E_MEMBERNOTFOUND);
}

TEST_F(LocalServerTest, AnotherConnectionCannotTouchTheObjects) {
  IDispatch* d = Create();
  ASSERT_TRUE(d);
  const LONG before = GetLong(d, 4);
  GDBusConnection* other = g_dbus_connection_new_for_address_sync(
      std::getenv("DBUS_SESSION_BUS_ADDRESS"),
      static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                        G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
      nullptr, nullptr, nullptr);
  ASSERT_NE(other, nullptr);
  const std::string name = tesk::LocalServerBusName(CLSID_LocalThing);
  for (guint64 id = 0; id < 64; ++id) {
    GVariant* r = g_dbus_connection_call_sync(other, name.c_str(), "/org/tesk/LocalServer", "org.tesk.LocalServer1",
                                              "Release", g_variant_new("(t)", id), nullptr, G_DBUS_CALL_FLAGS_NONE,
                                              5000, nullptr, nullptr);
    if (r) g_variant_unref(r);
  }
  g_object_unref(other);
  EXPECT_EQ(GetLong(d, 4), before);
}

TEST_F(LocalServerTest, ServerEndsAfterTheLastReleaseAndCallsThenFail) {
  IDispatch* d = Create();
  ASSERT_TRUE(d);
  const LONG pid = GetLong(d, 5);
  IClassFactory* f = nullptr;
  ASSERT_EQ(CoGetClassObject(CLSID_LocalThing, CLSCTX_LOCAL_SERVER, nullptr, IID_IClassFactory,
                             reinterpret_cast<void**>(&f)),
            S_OK);
  ASSERT_EQ(f->LockServer(TRUE), S_OK);
  Drop(d);
  std::this_thread::sleep_for(std::chrono::milliseconds(1500));
  EXPECT_TRUE(Alive(pid)) << "a lock keeps the server";
  ASSERT_EQ(f->LockServer(FALSE), S_OK);
  EXPECT_TRUE(WaitFor([&] { return !Alive(pid); }, std::chrono::seconds(10)));
  IUnknown* unk = nullptr;
  EXPECT_EQ(f->CreateInstance(nullptr, IID_IDispatch, reinterpret_cast<void**>(&unk)), RPC_E_SERVER_UNAVAILABLE_HR);
  f->Release();
}

TEST_F(LocalServerTest, ServerDyingDuringACallFailsTheCall) {
  IDispatch* d = Create();
  ASSERT_TRUE(d);
  const LONG pid = GetLong(d, 5);
  std::thread killer([pid] {
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    kill(static_cast<pid_t>(pid), SIGKILL);
  });
  VARIANT ms, r;
  VariantInit(&ms);
  VariantInit(&r);
  ms.vt = VT_I4;
  ms.lVal = 5000;
  EXPECT_EQ(Call(d, 6, DISPATCH_METHOD, {ms}, &r), RPC_E_CALL_FAILED_HR);
  killer.join();
  EXPECT_EQ(Call(d, 4, DISPATCH_PROPERTYGET, {}, &r), RPC_E_SERVER_UNAVAILABLE_HR);
}

// Runs in a child process of the next test: creates two objects, tells its parent, waits.
TEST(LocalServerHelper, HoldObjectsUntilKilled) {
  if (!std::getenv("TESK_LOCAL_HELPER")) GTEST_SKIP() << "runs only as the helper of ObjectsOfAKilledClientAreReleased";
  IDispatch* a = nullptr;
  IDispatch* b = nullptr;
  ASSERT_EQ(CoCreateInstance(CLSID_LocalThing, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch, reinterpret_cast<void**>(&a)), S_OK);
  ASSERT_EQ(CoCreateInstance(CLSID_LocalThing, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch, reinterpret_cast<void**>(&b)), S_OK);
  std::printf("ready\n");
  std::fflush(stdout);
  pause();
}

TEST_F(LocalServerTest, ObjectsOfAKilledClientAreReleased) {
  IDispatch* d = Create();
  ASSERT_TRUE(d);
  char self[4096] = {};
  ASSERT_GT(readlink("/proc/self/exe", self, sizeof self - 1), 0);
  int out[2];
  ASSERT_EQ(pipe(out), 0);
  const pid_t child = fork();
  if (child == 0) {
    dup2(out[1], 1);
    setenv("TESK_LOCAL_HELPER", "1", 1);
    execl(self, self, "--gtest_filter=LocalServerHelper.HoldObjectsUntilKilled", static_cast<char*>(nullptr));
    _exit(127);
  }
  close(out[1]);
  char buf[64] = {};
  std::string seen;
  while (seen.find("ready") == std::string::npos) {
    const ssize_t n = read(out[0], buf, sizeof buf);
    if (n <= 0) break;
    seen.append(buf, static_cast<size_t>(n));
  }
  close(out[0]);
  ASSERT_NE(seen.find("ready"), std::string::npos);
  EXPECT_EQ(GetLong(d, 4), 3);
  kill(child, SIGKILL);
  waitpid(child, nullptr, 0);
  EXPECT_TRUE(WaitFor([&] { return GetLong(d, 4) == 1; }, std::chrono::seconds(5)));
}

TEST_F(LocalServerTest, BusActivationStartsTheProgramFromTheServiceFile) {
  GDBusConnection* bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr);
  ASSERT_NE(bus, nullptr);
  const std::string name = tesk::LocalServerBusName(CLSID_LocalThing);
  GVariant* r = g_dbus_connection_call_sync(bus, "org.freedesktop.DBus", "/org/freedesktop/DBus",
                                            "org.freedesktop.DBus", "ReloadConfig", nullptr, nullptr,
                                            G_DBUS_CALL_FLAGS_NONE, 5000, nullptr, nullptr);
  if (r) g_variant_unref(r);
  GError* err = nullptr;
  r = g_dbus_connection_call_sync(bus, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                                  "StartServiceByName", g_variant_new("(su)", name.c_str(), 0u),
                                  G_VARIANT_TYPE("(u)"), G_DBUS_CALL_FLAGS_NONE, 20000, nullptr, &err);
  ASSERT_NE(r, nullptr) << (err ? err->message : "");
  g_variant_unref(r);
  // The program the bus started serves the next creation.
  IDispatch* d = Create();
  ASSERT_TRUE(d);
  EXPECT_GT(GetLong(d, 5), 0);
  g_object_unref(bus);
}

TEST_F(LocalServerTest, AProgramThatCannotStartFailsPromptly) {
  static constexpr CLSID kBroken{0x3E0C5A47, 0x9B21, 0x4D6F, {0x8A, 0x13, 0x6C, 0x2F, 0x90, 0xE4, 0x5B, 0x72}};
  constexpr tesk::ClassRegistration broken{&kBroken, "Broken", nullptr, nullptr, nullptr, nullptr};
  ASSERT_EQ(tesk::RegisterLocalServer(broken, nullptr, nullptr, "/bin/true"), S_OK);
  IDispatch* d = nullptr;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(CoCreateInstance(kBroken, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch, reinterpret_cast<void**>(&d)),
            CO_E_SERVER_EXEC_FAILURE);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
  ASSERT_EQ(tesk::RegisterLocalServer(broken, nullptr, nullptr, "/nonexistent/program"), S_OK);
  EXPECT_EQ(CoCreateInstance(kBroken, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch, reinterpret_cast<void**>(&d)),
            CO_E_SERVER_EXEC_FAILURE);
  tesk::UnregisterLocalServer(broken, nullptr, nullptr);
}

}  // namespace
