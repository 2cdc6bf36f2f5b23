#include "counted.h"

#include <gtest/gtest.h>
#include <vector>

inline constexpr IID IID_IFoo{0x6A1E0F10, 0x1111, 0x4222, {0x83, 0x33, 0x44, 0x44, 0x55, 0x55, 0x66, 0x66}};

struct IFoo : IDispatch {
  virtual HRESULT get_Name(BSTR* p) = 0;
  virtual HRESULT put_Name(BSTR v) = 0;
  virtual HRESULT Sub(LONG a, FLOAT b, DOUBLE* r) = 0;
  virtual HRESULT Split(BSTR text, LONG* count, BSTR* first) = 0;
  virtual HRESULT Swap(VARIANT* io) = 0;
  virtual HRESULT Adopt(IFoo* other, BSTR* otherName) = 0;
  virtual HRESULT Fail() = 0;
  virtual HRESULT Count(LONG* n) = 0;
  virtual HRESULT Flag(VARIANT_BOOL on) = 0;
  virtual HRESULT Items(SAFEARRAY** out) = 0;
  virtual HRESULT Sum(SAFEARRAY* values, LONG* total) = 0;
};
TESK_DECLARE_INTERFACE(IFoo, IDispatch, IID_IFoo);

namespace {

constexpr tesk::DispParamInfo kFlagParams[] = {{VT_BOOL, PARAMFLAG_FIN, "on"}};
constexpr tesk::DispMember kFooMembers[] = {
    tesk::DispPropGet<&IFoo::get_Name>("Name", 1),
    tesk::DispPropPut<&IFoo::put_Name>("Name", 1),
    tesk::DispMethod<&IFoo::Sub, tesk::kRetval>("Sub", 2),
    tesk::DispMethod<&IFoo::Split>("Split", 3),
    tesk::DispMethod<&IFoo::Swap>("Swap", 4),
    tesk::DispMethod<&IFoo::Adopt, tesk::kRetval>("Adopt", 5),
    tesk::DispMethod<&IFoo::Fail>("Fail", 6),
    tesk::DispMethod<&IFoo::Count, tesk::kRetval>("Count", 7),
    tesk::DispCustom<&IFoo::Flag>("Flag", 8, DISPATCH_METHOD, kFlagParams),
    tesk::DispMethod<&IFoo::Items, tesk::kRetval>("Items", 9),
    tesk::DispMethod<&IFoo::Sum, tesk::kRetval>("Sum", 10),
};
constexpr tesk::DispTable kFooTable{"IFoo", &IID_IFoo, kFooMembers};

}  // namespace

template <>
struct tesk::DispatchTableOf<IFoo> {
  static const DispTable& Get() { return kFooTable; }
};

namespace {

class CFoo final : public tesk::ComClass<CFoo, tesk::DispatchImpl<IFoo>, tesk::SupportErrorInfoFor<IFoo>> {
 public:
  static tesk::ComModule& Module() {
    static tesk::ComModule m;
    return m;
  }
  std::u16string name = u"foo";
  VARIANT_BOOL flag = 0;
  HRESULT get_Name(BSTR* p) noexcept override {
    *p = SysAllocStringLen(name.data(), static_cast<UINT>(name.size()));
    return S_OK;
  }
  HRESULT put_Name(BSTR v) noexcept override {
    name = tesk::BstrView(v);
    return S_OK;
  }
  HRESULT Sub(LONG a, FLOAT b, DOUBLE* r) noexcept override {
    *r = a - b;
    return S_OK;
  }
  HRESULT Split(BSTR text, LONG* count, BSTR* first) noexcept override {
    std::u16string_view t = tesk::BstrView(text);
    *count = static_cast<LONG>(t.size());
    *first = SysAllocStringLen(t.data(), t.empty() ? 0 : 1);
    return S_OK;
  }
  HRESULT Swap(VARIANT* io) noexcept override {
    VariantClear(io);
    io->vt = VT_I4;
    io->lVal = 99;
    return S_OK;
  }
  HRESULT Adopt(IFoo* other, BSTR* otherName) noexcept override {
    if (other == nullptr) return tesk::ReportError("Test.Foo.1", IID_IFoo, "null other", E_POINTER);
    return other->get_Name(otherName);
  }
  HRESULT Fail() noexcept override {
    return tesk::ReportError("Test.Foo.1", IID_IFoo, "Failure in IFoo-Fail: always", E_FAIL);
  }
  HRESULT Count(LONG* n) noexcept override {
    *n = 3;
    return S_OK;
  }
  HRESULT Flag(VARIANT_BOOL on) noexcept override {
    flag = on;
    return S_OK;
  }
  HRESULT Items(SAFEARRAY** out) noexcept override {
    *out = SafeArrayCreateVector(VT_BSTR, 0, 2);
    LONG i = 1;
    tesk::Bstr b(std::string_view("second"));
    SafeArrayPutElement(*out, &i, b.Get());
    return S_OK;
  }
  HRESULT Sum(SAFEARRAY* values, LONG* total) noexcept override {
    *total = 0;
    LONG lo = 0, hi = -1;
    SafeArrayGetLBound(values, 1, &lo);
    SafeArrayGetUBound(values, 1, &hi);
    for (LONG i = lo; i <= hi; ++i) {
      LONG v = 0;
      SafeArrayGetElement(values, &i, &v);
      *total += v;
    }
    return S_OK;
  }
};

class DispatchTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(tesk::CreateComObject<CFoo>(IID_IDispatch, reinterpret_cast<void**>(&disp)), S_OK); }
  void TearDown() override {
    for (VARIANT& v : args) VariantClear(&v);
    disp->Release();
    EXPECT_EQ(CFoo::Module().LockCount(), 0);
  }
  CFoo* foo() { return static_cast<CFoo*>(static_cast<tesk::DispatchImpl<IFoo>*>(static_cast<IFoo*>(disp))); }
  // Arguments in call order; stored reversed as Invoke expects.
  void Args(std::vector<VARIANT> inOrder) {
    for (VARIANT& v : args) VariantClear(&v);
    args.assign(inOrder.rbegin(), inOrder.rend());
  }
  HRESULT Call(DISPID id, WORD flags, VARIANT* result, bool putNamed = false) {
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS dp{args.data(), putNamed ? &named : nullptr, static_cast<UINT>(args.size()), putNamed ? 1u : 0u};
    argErr = 12345;
    return disp->Invoke(id, IID_NULL, 0, flags, &dp, result, &excep, &argErr);
  }
  static VARIANT I4(LONG v) {
    VARIANT x;
    VariantInit(&x);
    x.vt = VT_I4;
    x.lVal = v;
    return x;
  }
  static VARIANT Str(const char16_t* s) {
    VARIANT x;
    VariantInit(&x);
    x.vt = VT_BSTR;
    x.bstrVal = SysAllocString(s);
    return x;
  }
  IDispatch* disp = nullptr;
  std::vector<VARIANT> args;
  EXCEPINFO excep{};
  UINT argErr = 0;
};

TEST_F(DispatchTest, NamesResolveWithoutRegardToCase) {
  LPOLESTR names[] = {const_cast<LPOLESTR>(u"sUB")};
  DISPID id = 0;
  EXPECT_EQ(disp->GetIDsOfNames(IID_NULL, names, 1, 0, &id), S_OK);
  EXPECT_EQ(id, 2);
  LPOLESTR unknown[] = {const_cast<LPOLESTR>(u"Subtract")};
  EXPECT_EQ(disp->GetIDsOfNames(IID_NULL, unknown, 1, 0, &id), DISP_E_UNKNOWNNAME);
  EXPECT_EQ(id, DISPID_UNKNOWN);
  LPOLESTR withParam[] = {const_cast<LPOLESTR>(u"flag"), const_cast<LPOLESTR>(u"ON"), const_cast<LPOLESTR>(u"off")};
  DISPID ids[3];
  EXPECT_EQ(disp->GetIDsOfNames(IID_NULL, withParam, 3, 0, ids), DISP_E_UNKNOWNNAME);
  EXPECT_EQ(ids[0], 8);
  EXPECT_EQ(ids[1], 0);
  EXPECT_EQ(ids[2], DISPID_UNKNOWN);
  UINT n = 9;
  EXPECT_EQ(disp->GetTypeInfoCount(&n), S_OK);
  EXPECT_EQ(n, 0u);
}

TEST_F(DispatchTest, PropertyGetAndPut) {
  VARIANT r;
  VariantInit(&r);
  ASSERT_EQ(Call(1, DISPATCH_PROPERTYGET, &r), S_OK);
  EXPECT_EQ(r.vt, VT_BSTR);
  EXPECT_EQ(std::u16string(r.bstrVal), u"foo");
  VariantClear(&r);
  Args({I4(42)});  // converted to a string for put_Name
  ASSERT_EQ(Call(1, DISPATCH_PROPERTYPUT, nullptr, true), S_OK);
  EXPECT_EQ(foo()->name, u"42");
  // A put may not be called as a get and vice versa.
  EXPECT_EQ(Call(1, DISPATCH_METHOD, &r), DISP_E_MEMBERNOTFOUND);
  Args({I4(1), I4(2)});
  EXPECT_EQ(Call(1, DISPATCH_PROPERTYPUT, nullptr, true), DISP_E_BADPARAMCOUNT);
  Args({});
  EXPECT_EQ(Call(99, DISPATCH_METHOD, &r), DISP_E_MEMBERNOTFOUND);
}

TEST_F(DispatchTest, ArgumentsArriveInReverseOrderAndConvert) {
  VARIANT r;
  VariantInit(&r);
  Args({I4(10), Str(u"2.5")});
  ASSERT_EQ(Call(2, DISPATCH_METHOD | DISPATCH_PROPERTYGET, &r), S_OK);
  EXPECT_EQ(r.vt, VT_R8);
  EXPECT_DOUBLE_EQ(r.dblVal, 7.5);
}

TEST_F(DispatchTest, WrongCountsAndTypes) {
  VARIANT r;
  VariantInit(&r);
  Args({I4(10)});
  EXPECT_EQ(Call(2, DISPATCH_METHOD, &r), DISP_E_BADPARAMCOUNT);
  Args({I4(10), I4(1), I4(2)});
  EXPECT_EQ(Call(2, DISPATCH_METHOD, &r), DISP_E_BADPARAMCOUNT);
  Args({Str(u"ten"), I4(1)});
  EXPECT_EQ(Call(2, DISPATCH_METHOD, &r), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(argErr, 1u);  // index in rgvarg: the first argument is last
  Args({I4(1), Str(u"x")});
  EXPECT_EQ(Call(2, DISPATCH_METHOD, &r), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(argErr, 0u);
  Args({Str(u"1e20"), I4(1)});
  EXPECT_EQ(Call(2, DISPATCH_METHOD, &r), DISP_E_OVERFLOW);
  EXPECT_EQ(r.vt, VT_EMPTY);
}

TEST_F(DispatchTest, OutArgumentsByExactTypeOrVariant) {
  LONG count = 0;
  BSTR first = nullptr;
  VARIANT c, f;
  VariantInit(&c);
  VariantInit(&f);
  c.vt = VT_I4 | VT_BYREF;
  c.plVal = &count;
  f.vt = VT_BSTR | VT_BYREF;
  f.pbstrVal = &first;
  Args({Str(u"hello"), c, f});
  ASSERT_EQ(Call(3, DISPATCH_METHOD, nullptr), S_OK);
  EXPECT_EQ(count, 5);
  EXPECT_EQ(std::u16string(first), u"h");
  SysFreeString(first);

  // A script client hands variants by reference; they receive typed values.
  VARIANT holdCount, holdFirst;
  VariantInit(&holdCount);
  holdFirst = Str(u"old value, freed when replaced");
  VARIANT rc, rf;
  VariantInit(&rc);
  VariantInit(&rf);
  rc.vt = rf.vt = VT_VARIANT | VT_BYREF;
  rc.pvarVal = &holdCount;
  rf.pvarVal = &holdFirst;
  Args({Str(u"ab"), rc, rf});
  ASSERT_EQ(Call(3, DISPATCH_METHOD, nullptr), S_OK);
  EXPECT_EQ(holdCount.vt, VT_I4);
  EXPECT_EQ(holdCount.lVal, 2);
  EXPECT_EQ(holdFirst.vt, VT_BSTR);
  EXPECT_EQ(std::u16string(holdFirst.bstrVal), u"a");
  VariantClear(&holdFirst);

  // An [out] argument that is not by reference cannot receive anything.
  Args({Str(u"ab"), I4(0), rf});
  EXPECT_EQ(Call(3, DISPATCH_METHOD, nullptr), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(argErr, 1u);
  // Nor a null reference.
  VARIANT nowhere;
  VariantInit(&nowhere);
  nowhere.vt = VT_I4 | VT_BYREF;
  Args({Str(u"ab"), nowhere, rf});
  EXPECT_EQ(Call(3, DISPATCH_METHOD, nullptr), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(argErr, 1u);
  // Nor one by reference to another type.
  SHORT s = 0;
  VARIANT wrong;
  VariantInit(&wrong);
  wrong.vt = VT_I2 | VT_BYREF;
  wrong.piVal = &s;
  Args({Str(u"ab"), wrong, rf});
  EXPECT_EQ(Call(3, DISPATCH_METHOD, nullptr), DISP_E_TYPEMISMATCH);
}

TEST_F(DispatchTest, InOutVariant) {
  VARIANT held = Str(u"replaced");
  VARIANT ref;
  VariantInit(&ref);
  ref.vt = VT_VARIANT | VT_BYREF;
  ref.pvarVal = &held;
  Args({ref});
  ASSERT_EQ(Call(4, DISPATCH_METHOD, nullptr), S_OK);
  EXPECT_EQ(held.vt, VT_I4);
  EXPECT_EQ(held.lVal, 99);
}

TEST_F(DispatchTest, InterfaceArguments) {
  IFoo* other = nullptr;
  ASSERT_EQ(tesk::CreateComObject<CFoo>(IID_IFoo, reinterpret_cast<void**>(&other)), S_OK);
  other->put_Name(tesk::Bstr(std::string_view("other")).Get());
  VARIANT o;
  VariantInit(&o);
  o.vt = VT_DISPATCH;
  o.pdispVal = other;
  other->AddRef();
  Args({o});
  VARIANT r;
  VariantInit(&r);
  ASSERT_EQ(Call(5, DISPATCH_METHOD, &r), S_OK);
  EXPECT_EQ(tesk::FromBstr(r.bstrVal), "other");
  VariantClear(&r);

  // An object without the interface is refused before the call.
  testing_support::Counted* stranger = testing_support::Counted::New();
  VARIANT s;
  VariantInit(&s);
  s.vt = VT_DISPATCH;
  s.pdispVal = stranger;
  stranger->AddRef();
  Args({s});
  EXPECT_EQ(Call(5, DISPATCH_METHOD, &r), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(argErr, 0u);
  Args({});
  EXPECT_EQ(stranger->Refs(), 1u);  // no reference leaked by the refusal
  stranger->Release();
  other->Release();
}

TEST_F(DispatchTest, FailureTravelsInExcepInfo) {
  Args({});
  VARIANT r;
  VariantInit(&r);
  ASSERT_EQ(Call(6, DISPATCH_METHOD, &r), DISP_E_EXCEPTION);
  EXPECT_EQ(excep.scode, E_FAIL);
  EXPECT_EQ(tesk::FromBstr(excep.bstrDescription), "Failure in IFoo-Fail: always");
  EXPECT_EQ(tesk::FromBstr(excep.bstrSource), "Test.Foo.1");
  SysFreeString(excep.bstrDescription);
  SysFreeString(excep.bstrSource);
  SysFreeString(excep.bstrHelpFile);
  IErrorInfo* left = nullptr;
  EXPECT_EQ(GetErrorInfo(0, &left), S_FALSE);  // consumed into EXCEPINFO

  VARIANT none;
  VariantInit(&none);
  none.vt = VT_DISPATCH;
  none.pdispVal = nullptr;
  Args({none});
  ASSERT_EQ(Call(5, DISPATCH_METHOD, &r), DISP_E_EXCEPTION);
  EXPECT_EQ(excep.scode, E_POINTER);
  SysFreeString(excep.bstrDescription);
  SysFreeString(excep.bstrSource);
  SysFreeString(excep.bstrHelpFile);
}

TEST_F(DispatchTest, NamedArgumentsAndCustomTypes) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = 5;
  Args({v});
  DISPID named = 0;  // parameter "on" by position
  DISPPARAMS dp{args.data(), &named, 1, 1};
  ASSERT_EQ(disp->Invoke(8, IID_NULL, 0, DISPATCH_METHOD, &dp, nullptr, nullptr, nullptr), S_OK);
  EXPECT_EQ(foo()->flag, VARIANT_TRUE);  // converted to VT_BOOL, not a plain short
  named = 3;
  EXPECT_EQ(disp->Invoke(8, IID_NULL, 0, DISPATCH_METHOD, &dp, nullptr, nullptr, &argErr), DISP_E_PARAMNOTFOUND);
  named = DISPID_PROPERTYPUT;
  EXPECT_EQ(disp->Invoke(8, IID_NULL, 0, DISPATCH_METHOD, &dp, nullptr, nullptr, &argErr), DISP_E_PARAMNOTFOUND);
  EXPECT_EQ(disp->Invoke(8, IID_IFoo, 0, DISPATCH_METHOD, &dp, nullptr, nullptr, &argErr), DISP_E_UNKNOWNINTERFACE);
}

TEST_F(DispatchTest, RetvalWithoutResultVariantIsFreed) {
  Args({});
  ASSERT_EQ(Call(1, DISPATCH_PROPERTYGET, nullptr), S_OK);  // the BSTR must not leak (ASan)
  VARIANT r;
  VariantInit(&r);
  ASSERT_EQ(Call(7, DISPATCH_METHOD, &r), S_OK);
  EXPECT_EQ(r.vt, VT_I4);
  EXPECT_EQ(r.lVal, 3);
}

TEST_F(DispatchTest, ArraysKeepTheirElementType) {
  VARIANT r;
  VariantInit(&r);
  Args({});
  ASSERT_EQ(Call(9, DISPATCH_METHOD, &r), S_OK);
  EXPECT_EQ(r.vt, VT_ARRAY | VT_BSTR);
  LONG i = 1;
  BSTR b = nullptr;
  ASSERT_EQ(SafeArrayGetElement(r.parray, &i, &b), S_OK);
  EXPECT_EQ(tesk::FromBstr(b), "second");
  SysFreeString(b);
  VariantClear(&r);

  SAFEARRAY* values = SafeArrayCreateVector(VT_I4, 5, 3);
  for (LONG k = 5; k < 8; ++k) SafeArrayPutElement(values, &k, &k);
  VARIANT a;
  VariantInit(&a);
  a.vt = VT_ARRAY | VT_I4;
  a.parray = values;
  Args({a});  // owned by the argument list from here
  ASSERT_EQ(Call(10, DISPATCH_METHOD, &r), S_OK);
  EXPECT_EQ(r.lVal, 18);
  Args({I4(3)});
  EXPECT_EQ(Call(10, DISPATCH_METHOD, &r), DISP_E_TYPEMISMATCH);
}

TEST_F(DispatchTest, SupportsErrorInfoForItsOwnInterfaceOnly) {
  tesk::ComPtr<ISupportErrorInfo> sei;
  ASSERT_EQ(disp->QueryInterface(IID_ISupportErrorInfo, sei.PutVoid()), S_OK);
  EXPECT_EQ(sei->InterfaceSupportsErrorInfo(IID_IFoo), S_OK);
  EXPECT_EQ(sei->InterfaceSupportsErrorInfo(IID_IDispatch), S_FALSE);
}

TEST(TypeLib, RegistryEntriesAndListing) {
  const tesk::DispTable* tables[] = {&kFooTable};
  tesk::TypeLibInfo lib{{0xE8565569, 0x064B, 0x49E4, {0x8B, 0xB9, 0x11, 0x68, 0x9D, 0xD6, 0xE1, 0x0E}},
                        "FOOLib", "Foo 1.0 Type Library", 1, 0, 0x409, tables};
  auto entries = tesk::TypeLibRegistryEntries(lib, "/opt/tesk/lib/libfoo.so");
  auto has = [&](const std::string& key, const std::string& name, const std::string& value) {
    for (const auto& e : entries)
      if (e.key == key && e.valueName == name && e.value == value) return true;
    return false;
  };
  const std::string base = "TypeLib\\{E8565569-064B-49E4-8BB9-11689DD6E10E}\\1.0";
  EXPECT_TRUE(has(base, "", "Foo 1.0 Type Library"));
  EXPECT_TRUE(has(base + "\\409\\win64", "", "/opt/tesk/lib/libfoo.so"));
  EXPECT_TRUE(has(base + "\\HELPDIR", "", "/opt/tesk/lib"));
  const std::string itf = "Interface\\{6A1E0F10-1111-4222-8333-444455556666}";
  EXPECT_TRUE(has(itf, "", "IFoo"));
  EXPECT_TRUE(has(itf + "\\TypeLib", "Version", "1.0"));
  EXPECT_TRUE(has(itf + "\\ProxyStubClsid32", "", "{00020424-0000-0000-C000-000000000046}"));
  auto keys = tesk::TypeLibRegistryKeys(lib);
  ASSERT_EQ(keys.size(), 3u);
  EXPECT_EQ(keys[0], base);
  std::string listing = tesk::DescribeTypeLib(lib);
  EXPECT_NE(listing.find("[id(2), method] Sub([in] VT_I4, [in] VT_R4, [out,retval] VT_R8|VT_BYREF)"),
            std::string::npos)
      << listing;
  EXPECT_NE(listing.find("[id(1), propput] Name([in] VT_BSTR)"), std::string::npos);
}

}  // namespace
