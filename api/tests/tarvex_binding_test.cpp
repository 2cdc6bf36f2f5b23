// Format libraries are bound on first use from the directory that holds libtarvex.so: a copy
// of the library in a directory without them fails the members that need them, naming the
// library, while everything that needs no reader works. The test does not link the library.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <tesk/tarvex.h>
#include <tesk/testing/scratch_dir.h>

#include <filesystem>

namespace {

TEST(Binding, AMissingFormatLibraryFailsTheCallWithItsName) {
  tesk::testing::ScratchDir dir;
  const std::string copy = dir.File("libtarvex.so");
  std::filesystem::copy_file(TARVEX_LIBRARY, copy);
  void* lib = dlopen(copy.c_str(), RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(lib, nullptr) << dlerror();
  auto getClassObject = reinterpret_cast<LPFNGETCLASSOBJECT>(dlsym(lib, "DllGetClassObject"));
  ASSERT_NE(getClassObject, nullptr);

  struct Case {
    CLSID clsid;
    IID iid;
    const char* name;
    const char* expected;
  };
  const Case cases[] = {
      {CLSID_TeskCELFile, IID_ITeskCELFile, "a.CEL", "Failure in ITeskCELFile-Read: Cannot load the library libparvel80.so"},
      {CLSID_TeskDATFile, IID_ITeskDATFile, "a.DAT", "Failure in ITeskDATFile-Read: Cannot load the library libimbrel7.so"},
      {CLSID_TeskEXPFile, IID_ITeskEXPFile, "a.EXP", "Failure in ITeskEXPFile-Read: Cannot load the library libostrel7.so"},
  };
  for (const Case& c : cases) {
    tesk::ComPtr<IClassFactory> factory;
    ASSERT_EQ(getClassObject(c.clsid, IID_IClassFactory, factory.PutVoid()), S_OK);
    tesk::ComPtr<IDispatch> object;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IDispatch, object.PutVoid()), S_OK);
    // Names and paths need no reader.
    DISPID put = DISPID_PROPERTYPUT;
    for (auto [id, value] : {std::pair<DISPID, const char*>{1, c.name}, {2, "/tmp"}, {3, "/tmp"}}) {
      VARIANT v;
      VariantInit(&v);
      v.vt = VT_BSTR;
      v.bstrVal = tesk::AllocBstr(value);
      DISPPARAMS dp{&v, &put, 1, 1};
      EXPECT_EQ(object->Invoke(id, IID_NULL, 0, DISPATCH_PROPERTYPUT, &dp, nullptr, nullptr, nullptr), S_OK);
      VariantClear(&v);
    }
    std::u16string name = u"Read";
    LPOLESTR names[] = {name.data()};
    DISPID read = 0;
    ASSERT_EQ(object->GetIDsOfNames(IID_NULL, names, 1, 0, &read), S_OK);
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    EXCEPINFO ex{};
    EXPECT_EQ(object->Invoke(read, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr, &ex, nullptr), DISP_E_EXCEPTION);
    EXPECT_EQ(ex.scode, E_FAIL);
    EXPECT_EQ(tesk::FromBstr(ex.bstrDescription), c.expected);
    SysFreeString(ex.bstrDescription);
    SysFreeString(ex.bstrSource);
    SysFreeString(ex.bstrHelpFile);
  }
}

}  // namespace
