#include "counted.h"

#include <gtest/gtest.h>

inline constexpr IID IID_IThing{0x11111111, 0x2222, 0x3333, {1, 2, 3, 4, 5, 6, 7, 8}};
inline constexpr IID IID_IOther{0x11111111, 0x2222, 0x3333, {1, 2, 3, 4, 5, 6, 7, 9}};
inline constexpr CLSID CLSID_Thing{0x99999999, 0x2222, 0x3333, {1, 2, 3, 4, 5, 6, 7, 8}};

struct IThing : IUnknown {
  virtual HRESULT Value(LONG* v) = 0;
};
struct IOther : IUnknown {
  virtual HRESULT Other(LONG* v) = 0;
};
TESK_DECLARE_INTERFACE(IThing, IUnknown, IID_IThing);
TESK_DECLARE_INTERFACE(IOther, IUnknown, IID_IOther);

namespace {

tesk::ComModule g_module;

class CThing final : public tesk::ComClass<CThing, IThing, IOther> {
 public:
  static tesk::ComModule& Module() { return g_module; }
  HRESULT Value(LONG* v) noexcept override {
    *v = 1;
    return S_OK;
  }
  HRESULT Other(LONG* v) noexcept override {
    *v = 2;
    return S_OK;
  }
};

TEST(ComHelpers, QueryInterfaceFollowsTheComRules) {
  IThing* thing = nullptr;
  ASSERT_EQ(tesk::CreateComObject<CThing>(IID_IThing, reinterpret_cast<void**>(&thing)), S_OK);
  EXPECT_EQ(g_module.CanUnloadNow(), S_FALSE);
  IOther* other = nullptr;
  ASSERT_EQ(thing->QueryInterface(IID_IOther, reinterpret_cast<void**>(&other)), S_OK);
  LONG v = 0;
  other->Other(&v);
  EXPECT_EQ(v, 2);
  // Identity: IUnknown is the same pointer whichever interface asks.
  IUnknown *u1 = nullptr, *u2 = nullptr;
  thing->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&u1));
  other->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&u2));
  EXPECT_EQ(u1, u2);
  void* none = reinterpret_cast<void*>(1);
  EXPECT_EQ(thing->QueryInterface(IID_IDispatch, &none), E_NOINTERFACE);
  EXPECT_EQ(none, nullptr);
  EXPECT_EQ(thing->QueryInterface(IID_IThing, nullptr), E_POINTER);
  u1->Release();
  u2->Release();
  other->Release();
  EXPECT_EQ(thing->Release(), 0u);
  EXPECT_EQ(g_module.CanUnloadNow(), S_OK);
}

TEST(ComHelpers, FactoryLocksAndAggregation) {
  const tesk::ClassEntry classes[] = {{&CLSID_Thing, &tesk::ClassFactory<CThing>::Get}};
  IClassFactory* cf = nullptr;
  ASSERT_EQ(tesk::GetClassObjectFromTable(classes, CLSID_Thing, IID_IClassFactory, reinterpret_cast<void**>(&cf)),
            S_OK);
  EXPECT_EQ(g_module.CanUnloadNow(), S_OK);  // a factory alone does not pin the library
  void* p = nullptr;
  EXPECT_EQ(tesk::GetClassObjectFromTable(classes, IID_IThing, IID_IClassFactory, &p), CLASS_E_CLASSNOTAVAILABLE);
  ASSERT_EQ(cf->LockServer(TRUE), S_OK);
  EXPECT_EQ(g_module.CanUnloadNow(), S_FALSE);
  ASSERT_EQ(cf->LockServer(FALSE), S_OK);
  EXPECT_EQ(g_module.CanUnloadNow(), S_OK);
  testing_support::Counted* outer = testing_support::Counted::New();
  EXPECT_EQ(cf->CreateInstance(outer, IID_IUnknown, &p), CLASS_E_NOAGGREGATION);
  EXPECT_EQ(p, nullptr);
  outer->Release();
  EXPECT_EQ(cf->CreateInstance(nullptr, IID_IDispatch, &p), E_NOINTERFACE);
  EXPECT_EQ(g_module.CanUnloadNow(), S_OK);  // the refused object is gone
  ASSERT_EQ(cf->CreateInstance(nullptr, IID_IOther, &p), S_OK);
  EXPECT_EQ(g_module.LockCount(), 1);
  static_cast<IOther*>(p)->Release();
  cf->Release();
  EXPECT_EQ(g_module.CanUnloadNow(), S_OK);
}

TEST(ComHelpers, OwnersReleaseWhatTheyHold) {
  testing_support::Counted* obj = testing_support::Counted::New();
  {
    tesk::ComPtr<IDispatch> a(obj);
    tesk::ComPtr<IDispatch> b = a;
    EXPECT_EQ(obj->Refs(), 3u);
    tesk::ComPtr<IUnknown> u;
    ASSERT_EQ(a.As(u), S_OK);
    EXPECT_EQ(obj->Refs(), 4u);
  }
  EXPECT_EQ(obj->Refs(), 1u);
  obj->Release();
  tesk::Bstr s(std::string_view("abc"));
  EXPECT_EQ(s.Length(), 3u);
  BSTR* out = &s;  // frees the old text
  *out = SysAllocString(u"xy");
  EXPECT_EQ(s.Narrow(), "xy");
  tesk::Variant v;
  v.vt = VT_BSTR;
  v.bstrVal = SysAllocString(u"freed by the owner");
}

}  // namespace
