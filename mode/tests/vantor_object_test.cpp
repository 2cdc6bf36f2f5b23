#include <tesk/vantor.h>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "scratch_registry.h"

namespace {

using testing_support::ScratchRegistry;

constexpr const char* kDataSource = "Software\\Quillomere\\Varolith\\Database\\DataSource";
constexpr const char* kServerName = "SOFTWARE\\Quillomere\\Varolith\\Database\\ServerName";
constexpr const char* kPreferences = "Software\\Quillomere\\Varolith\\Preferences";
constexpr const char* kRemoteData = "SOFTWARE\\Quillomere\\Varolith\\Database\\DataPathName";
constexpr const char* kRemoteLibrary = "SOFTWARE\\Quillomere\\Varolith\\Database\\LibraryPathName";

class VantorObject : public ::testing::Test {
 protected:
  IVantor* Create() {
    tesk::ComPtr<IClassFactory> cf;
    EXPECT_EQ(DllGetClassObject(CLSID_Vantor, IID_IClassFactory, cf.PutVoid()), S_OK);
    IVantor* v = nullptr;
    EXPECT_EQ(cf->CreateInstance(nullptr, IID_IVantor, reinterpret_cast<void**>(&v)), S_OK);
    return v;
  }
  static std::string Text(IVantor* v, HRESULT (IVantor::*m)(BSTR*)) {
    tesk::Bstr b;
    EXPECT_EQ((v->*m)(&b), S_OK);
    return b.Narrow();
  }
  ScratchRegistry reg;
};

TEST_F(VantorObject, FileModeAnswers) {
  ScratchRegistry::Set(HKEY_CURRENT_USER, kPreferences, "Datadir", "/home/lab/data");
  ScratchRegistry::Set(HKEY_CURRENT_USER, kPreferences, "Seqlibdir", "/home/lab/library");
  IVantor* v = Create();
  ASSERT_NE(v, nullptr);
  LONG installed = 7;
  EXPECT_EQ(v->IsZorumInstalled(&installed), S_OK);
  EXPECT_EQ(installed, 0);
  BSTR server = reinterpret_cast<BSTR>(1);
  EXPECT_EQ(v->GetZorumServerName(&server), S_OK);
  EXPECT_EQ(server, nullptr);  // none stored: a null string
  EXPECT_EQ(Text(v, &IVantor::GetDataDirectory), "/home/lab/data");
  EXPECT_EQ(Text(v, &IVantor::GetLibraryDirectory), "/home/lab/library");
  EXPECT_EQ(v->IsZorumInstalled(nullptr), E_POINTER);
  EXPECT_EQ(v->GetDataDirectory(nullptr), E_POINTER);
  EXPECT_EQ(v->Release(), 0u);
}

TEST_F(VantorObject, EmptyRegistryGivesEmptyAnswers) {
  IVantor* v = Create();
  BSTR d = nullptr;
  ASSERT_EQ(v->GetDataDirectory(&d), S_OK);
  EXPECT_EQ(SysStringLen(d), 0u);
  SysFreeString(d);
  EXPECT_EQ(Text(v, &IVantor::GetLibraryDirectory), "");
  v->Release();
}

// The object holds nothing that changes: one object serves several threads at once, and its
// references may be taken and dropped on any of them.
TEST_F(VantorObject, OneObjectAnswersManyThreadsAtOnce) {
  ScratchRegistry::Set(HKEY_CURRENT_USER, kPreferences, "Datadir", "/home/lab/data");
  IVantor* v = Create();
  ASSERT_NE(v, nullptr);
  std::atomic<int> wrong{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([&] {
      for (int i = 0; i < 500; ++i) {
        v->AddRef();
        BSTR d = nullptr;
        if (v->GetDataDirectory(&d) != S_OK || tesk::FromBstr(d) != "/home/lab/data") ++wrong;
        SysFreeString(d);
        v->Release();
      }
    });
  for (auto& t : threads) t.join();
  EXPECT_EQ(wrong.load(), 0);
  EXPECT_EQ(v->Release(), 0u);
}

TEST_F(VantorObject, SettingsAreReadOnceAtCreation) {
  ScratchRegistry::Set(HKEY_CURRENT_USER, kDataSource, "", "[FENO DATABASE]");
  ScratchRegistry::Set(HKEY_LOCAL_MACHINE, kServerName, "", "zorum-01");
  ScratchRegistry::Set(HKEY_LOCAL_MACHINE, kRemoteData, "", "\\\\zorum-01\\data");
  ScratchRegistry::Set(HKEY_LOCAL_MACHINE, kRemoteLibrary, "", "\\\\zorum-01\\library");
  IVantor* before = Create();
  ScratchRegistry::Set(HKEY_LOCAL_MACHINE, kServerName, "", "zorum-02");
  RegDeleteTree(HKEY_CURRENT_USER, kDataSource);
  IVantor* after = Create();
  LONG a = 0, b = 0;
  before->IsZorumInstalled(&a);
  after->IsZorumInstalled(&b);
  EXPECT_EQ(a, 1);
  EXPECT_EQ(b, 0);
  EXPECT_EQ(Text(before, &IVantor::GetZorumServerName), "zorum-01");
  EXPECT_EQ(Text(before, &IVantor::GetDataDirectory), "\\\\zorum-01\\data");
  EXPECT_EQ(Text(before, &IVantor::GetLibraryDirectory), "\\\\zorum-01\\library");
  before->Release();
  after->Release();
}

TEST_F(VantorObject, LegacyBytesAndUnicodeReachTheClient) {
  ScratchRegistry::Set(HKEY_CURRENT_USER, kPreferences, "Datadir", "C:\\Donn\xE9" "es");  // 8-bit legacy text
  ScratchRegistry::Set(HKEY_CURRENT_USER, kPreferences, "Seqlibdir", "/bibliothe\xCC\x80que");
  IVantor* v = Create();
  tesk::Bstr d, l;
  v->GetDataDirectory(&d);
  v->GetLibraryDirectory(&l);
  EXPECT_EQ(d.View(), u"C:\\Données");
  EXPECT_EQ(l.View(), u"/bibliothe\u0300que");
  v->Release();
}

TEST_F(VantorObject, DispatchByNameAndIdentifier) {
  ScratchRegistry::Set(HKEY_CURRENT_USER, kDataSource, "", "[BRAXLOW DATABASE]");
  IVantor* v = Create();
  tesk::ComPtr<IDispatch> disp;
  ASSERT_EQ(v->QueryInterface(IID_IDispatch, disp.PutVoid()), S_OK);
  const char16_t* names[] = {u"IsZorumInstalled", u"getzorumservername", u"GETDATADIRECTORY", u"GetLibraryDirectory"};
  for (DISPID expect = 1; expect <= 4; ++expect) {
    LPOLESTR n = const_cast<LPOLESTR>(names[expect - 1]);
    DISPID id = 0;
    ASSERT_EQ(disp->GetIDsOfNames(IID_NULL, &n, 1, 0, &id), S_OK);
    EXPECT_EQ(id, expect);
  }
  LPOLESTR bad = const_cast<LPOLESTR>(u"IsInstalled");
  DISPID id;
  EXPECT_EQ(disp->GetIDsOfNames(IID_NULL, &bad, 1, 0, &id), DISP_E_UNKNOWNNAME);

  DISPPARAMS none{nullptr, nullptr, 0, 0};
  tesk::Variant r;
  ASSERT_EQ(disp->Invoke(1, IID_NULL, 0, DISPATCH_METHOD, &none, &r, nullptr, nullptr), S_OK);
  EXPECT_EQ(r.vt, VT_I4);
  EXPECT_EQ(r.lVal, 1);
  tesk::Variant s;
  ASSERT_EQ(disp->Invoke(2, IID_NULL, 0, DISPATCH_METHOD | DISPATCH_PROPERTYGET, &none, &s, nullptr, nullptr), S_OK);
  EXPECT_EQ(s.vt, VT_BSTR);
  char host[256];
  DWORD hn = sizeof host;
  ASSERT_TRUE(GetComputerName(host, &hn));
  EXPECT_EQ(tesk::FromBstr(s.bstrVal), std::string(host, hn));

  VARIANT extra;
  VariantInit(&extra);
  DISPPARAMS one{&extra, nullptr, 1, 0};
  tesk::Variant r2;
  EXPECT_EQ(disp->Invoke(3, IID_NULL, 0, DISPATCH_METHOD, &one, &r2, nullptr, nullptr), DISP_E_BADPARAMCOUNT);
  EXPECT_EQ(disp->Invoke(5, IID_NULL, 0, DISPATCH_METHOD, &none, &r2, nullptr, nullptr), DISP_E_MEMBERNOTFOUND);
  DISPID put = DISPID_PROPERTYPUT;
  DISPPARAMS putArgs{&extra, &put, 1, 1};
  EXPECT_EQ(disp->Invoke(3, IID_NULL, 0, DISPATCH_PROPERTYPUT, &putArgs, nullptr, nullptr, nullptr),
            DISP_E_MEMBERNOTFOUND);
  disp.Reset();
  v->Release();
}

TEST_F(VantorObject, InterfacesAndLibraryLifetime) {
  EXPECT_EQ(DllCanUnloadNow(), S_OK);
  IVantor* v = Create();
  EXPECT_EQ(DllCanUnloadNow(), S_FALSE);
  tesk::ComPtr<IUnknown> u;
  EXPECT_EQ(v->QueryInterface(IID_IUnknown, u.PutVoid()), S_OK);
  void* p = nullptr;
  EXPECT_EQ(v->QueryInterface(IID_IClassFactory, &p), E_NOINTERFACE);
  u.Reset();
  v->Release();
  EXPECT_EQ(DllCanUnloadNow(), S_OK);

  IClassFactory* cf = nullptr;
  ASSERT_EQ(DllGetClassObject(CLSID_Vantor, IID_IClassFactory, reinterpret_cast<void**>(&cf)), S_OK);
  cf->LockServer(TRUE);
  EXPECT_EQ(DllCanUnloadNow(), S_FALSE);
  cf->LockServer(FALSE);
  IVantor* outer = Create();
  EXPECT_EQ(cf->CreateInstance(outer, IID_IUnknown, &p), CLASS_E_NOAGGREGATION);
  outer->Release();
  cf->Release();
  EXPECT_EQ(DllCanUnloadNow(), S_OK);
  EXPECT_EQ(DllGetClassObject(IID_IVantor, IID_IClassFactory, &p), CLASS_E_CLASSNOTAVAILABLE);
}

}  // namespace
