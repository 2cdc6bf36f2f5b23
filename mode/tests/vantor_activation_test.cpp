// A client's view: register the library, then create the object through the
// registry by class identifier and by ProgID; unregister, and creation fails.
#include <tesk/vantor.h>

#include <dlfcn.h>
#include <gtest/gtest.h>

#include "scratch_registry.h"

namespace {

using testing_support::ScratchRegistry;

std::string ReadDefault(HKEY root, const std::string& key, const char* name = "") {
  HKEY k;
  if (RegOpenKeyEx(root, key.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return "<no key>";
  char buf[1024] = {};
  DWORD cb = sizeof buf - 1;
  LONG st = RegQueryValueEx(k, name, nullptr, nullptr, reinterpret_cast<BYTE*>(buf), &cb);
  RegCloseKey(k);
  return st == ERROR_SUCCESS ? std::string(buf) : "<no value>";
}

class VantorActivation : public ::testing::Test {
 protected:
  void SetUp() override {
    lib = dlopen(VANTOR_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(lib, nullptr) << dlerror();
    reg = reinterpret_cast<LPFNREGISTERSERVER>(dlsym(lib, "DllRegisterServer"));
    unreg = reinterpret_cast<LPFNREGISTERSERVER>(dlsym(lib, "DllUnregisterServer"));
    ASSERT_NE(reg, nullptr);
    ASSERT_NE(unreg, nullptr);
    CoInitialize(nullptr);
  }
  void TearDown() override {
    CoUninitialize();
    if (lib) dlclose(lib);
  }
  ScratchRegistry scratch;
  void* lib = nullptr;
  LPFNREGISTERSERVER reg = nullptr;
  LPFNREGISTERSERVER unreg = nullptr;
};

TEST_F(VantorActivation, RegistrationWritesClassProgIdAndTypeLibraryKeys) {
  ASSERT_EQ(reg(), S_OK);
  const std::string clsid = "CLSID\\{F8709A8E-5DD7-44FB-A675-4AF0E9E5D5FE}";
  EXPECT_EQ(ReadDefault(HKEY_CLASSES_ROOT, clsid), "Vantor Class");
  EXPECT_EQ(ReadDefault(HKEY_CLASSES_ROOT, clsid + "\\ProgID"), "Vantor.Vantor.1");
  EXPECT_EQ(ReadDefault(HKEY_CLASSES_ROOT, clsid + "\\VersionIndependentProgID"), "Vantor.Vantor");
  EXPECT_EQ(ReadDefault(HKEY_CLASSES_ROOT, clsid + "\\InprocServer32", "ThreadingModel"), "Apartment");
  char real[4096];
  ASSERT_NE(realpath(VANTOR_LIBRARY, real), nullptr);
  EXPECT_EQ(ReadDefault(HKEY_CLASSES_ROOT, clsid + "\\InprocServer32"), real);
  EXPECT_EQ(ReadDefault(HKEY_CLASSES_ROOT, clsid + "\\TypeLib"), "{E8565569-064B-49E4-8BB9-11689DD6E10E}");
  EXPECT_EQ(ReadDefault(HKEY_CLASSES_ROOT, "Vantor.Vantor\\CurVer"), "Vantor.Vantor.1");
  EXPECT_EQ(ReadDefault(HKEY_CLASSES_ROOT, "Vantor.Vantor.1\\CLSID"), "{F8709A8E-5DD7-44FB-A675-4AF0E9E5D5FE}");
  EXPECT_EQ(ReadDefault(HKEY_CLASSES_ROOT, "Interface\\{BC029734-2E71-4B4B-AAC6-8BD104B8F02F}"), "IVantor");
  EXPECT_EQ(ReadDefault(HKEY_CLASSES_ROOT, "TypeLib\\{E8565569-064B-49E4-8BB9-11689DD6E10E}\\1.0"),
            "Vantor 1.0 Type Library");
  ASSERT_EQ(reg(), S_OK);  // registering again is harmless
  EXPECT_EQ(ReadDefault(HKEY_CLASSES_ROOT, clsid), "Vantor Class");
}

TEST_F(VantorActivation, CreateByClassIdentifierAndProgId) {
  ScratchRegistry::Set(HKEY_CURRENT_USER, "Software\\Quillomere\\Varolith\\Preferences", "Datadir", "/lab/data");
  IVantor* v = nullptr;
  EXPECT_EQ(CoCreateInstance(CLSID_Vantor, nullptr, CLSCTX_INPROC_SERVER, IID_IVantor, reinterpret_cast<void**>(&v)),
            REGDB_E_CLASSNOTREG);
  ASSERT_EQ(reg(), S_OK);

  ASSERT_EQ(CoCreateInstance(CLSID_Vantor, nullptr, CLSCTX_INPROC_SERVER, IID_IVantor, reinterpret_cast<void**>(&v)),
            S_OK);
  tesk::Bstr d;
  ASSERT_EQ(v->GetDataDirectory(&d), S_OK);
  EXPECT_EQ(d.Narrow(), "/lab/data");
  v->Release();

  for (const char16_t* progId : {u"Vantor.Vantor", u"Vantor.Vantor.1", u"vantor.vantor"}) {
    CLSID clsid{};
    ASSERT_EQ(CLSIDFromProgID(progId, &clsid), S_OK);
    EXPECT_EQ(clsid, CLSID_Vantor);
    IDispatch* disp = nullptr;
    ASSERT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_ALL, IID_IDispatch, reinterpret_cast<void**>(&disp)), S_OK);
    LPOLESTR name = const_cast<LPOLESTR>(u"GetDataDirectory");
    DISPID id = 0;
    ASSERT_EQ(disp->GetIDsOfNames(IID_NULL, &name, 1, 0, &id), S_OK);
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    tesk::Variant r;
    ASSERT_EQ(disp->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &none, &r, nullptr, nullptr), S_OK);
    EXPECT_EQ(tesk::FromBstr(r.bstrVal), "/lab/data");
    disp->Release();
  }
  LPOLESTR progId = nullptr;
  ASSERT_EQ(ProgIDFromCLSID(CLSID_Vantor, &progId), S_OK);
  EXPECT_EQ(std::u16string(progId), u"Vantor.Vantor.1");
  CoTaskMemFree(progId);
}

TEST_F(VantorActivation, UnregisteredClassCannotBeCreated) {
  ASSERT_EQ(reg(), S_OK);
  ASSERT_EQ(unreg(), S_OK);
  IVantor* v = nullptr;
  EXPECT_EQ(CoCreateInstance(CLSID_Vantor, nullptr, CLSCTX_INPROC_SERVER, IID_IVantor, reinterpret_cast<void**>(&v)),
            REGDB_E_CLASSNOTREG);
  EXPECT_EQ(v, nullptr);
  CLSID clsid{};
  EXPECT_EQ(CLSIDFromProgID(u"Vantor.Vantor", &clsid), CO_E_CLASSSTRING);
  EXPECT_EQ(ReadDefault(HKEY_CLASSES_ROOT, "Interface\\{BC029734-2E71-4B4B-AAC6-8BD104B8F02F}"), "<no key>");
  EXPECT_EQ(ReadDefault(HKEY_CLASSES_ROOT, "TypeLib\\{E8565569-064B-49E4-8BB9-11689DD6E10E}"), "<no key>");
  HKEY root;
  EXPECT_EQ(RegOpenKeyEx(HKEY_CLASSES_ROOT, "CLSID", 0, KEY_READ, &root), ERROR_SUCCESS);  // the root stays
  RegCloseKey(root);
  EXPECT_EQ(unreg(), S_OK);  // unregistering twice is not an error
}

}  // namespace
