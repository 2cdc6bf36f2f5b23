#include "counted.h"

#include <gtest/gtest.h>

namespace {

using testing_support::Counted;

VARIANT Make(VARTYPE vt) {
  VARIANT v;
  VariantInit(&v);
  v.vt = vt;
  return v;
}

TEST(Variant, ClearFreesWhatItOwns) {
  Counted* obj = Counted::New();
  VARIANT v = Make(VT_DISPATCH);
  v.pdispVal = obj;
  obj->AddRef();
  EXPECT_EQ(obj->Refs(), 2u);
  EXPECT_EQ(VariantClear(&v), S_OK);
  EXPECT_EQ(v.vt, VT_EMPTY);
  EXPECT_EQ(obj->Refs(), 1u);
  // A by-reference variant owns nothing.
  IDispatch* held = obj;
  v.vt = VT_DISPATCH | VT_BYREF;
  v.ppdispVal = &held;
  EXPECT_EQ(VariantClear(&v), S_OK);
  EXPECT_EQ(obj->Refs(), 1u);
  obj->Release();
}

TEST(Variant, CopyIsDeepAndClearsTheDestination) {
  Counted* obj = Counted::New();
  VARIANT src = Make(VT_UNKNOWN);
  src.punkVal = obj;
  obj->AddRef();
  VARIANT dst = Make(VT_BSTR);
  dst.bstrVal = SysAllocString(u"old");  // must be freed by the copy (leak check under ASan)
  ASSERT_EQ(VariantCopy(&dst, &src), S_OK);
  EXPECT_EQ(dst.vt, VT_UNKNOWN);
  EXPECT_EQ(obj->Refs(), 3u);
  EXPECT_EQ(VariantCopy(&dst, &dst), S_OK);  // self copy changes nothing
  EXPECT_EQ(obj->Refs(), 3u);
  VariantClear(&src);
  VariantClear(&dst);
  EXPECT_EQ(obj->Refs(), 1u);
  obj->Release();
}

TEST(Variant, CopyOfArrayCopiesElements) {
  SAFEARRAY* sa = SafeArrayCreateVector(VT_BSTR, 0, 2);
  LONG i = 1;
  BSTR s = SysAllocString(u"two");
  SafeArrayPutElement(sa, &i, s);
  SysFreeString(s);
  VARIANT a = Make(VT_ARRAY | VT_BSTR), b = Make(VT_EMPTY);
  a.parray = sa;
  ASSERT_EQ(VariantCopy(&b, &a), S_OK);
  EXPECT_NE(b.parray, a.parray);
  VariantClear(&a);  // the copy stays readable
  BSTR got = nullptr;
  ASSERT_EQ(SafeArrayGetElement(b.parray, &i, &got), S_OK);
  EXPECT_EQ(std::u16string(got), u"two");
  SysFreeString(got);
  VariantClear(&b);
}

TEST(Variant, CopyIndDereferences) {
  LONG x = 42;
  VARIANT r = Make(VT_I4 | VT_BYREF), out = Make(VT_EMPTY);
  r.plVal = &x;
  ASSERT_EQ(VariantCopyInd(&out, &r), S_OK);
  EXPECT_EQ(out.vt, VT_I4);
  EXPECT_EQ(out.lVal, 42);
  BSTR s = SysAllocString(u"abc");
  VARIANT rs = Make(VT_BSTR | VT_BYREF);
  rs.pbstrVal = &s;
  ASSERT_EQ(VariantCopyInd(&rs, &rs), S_OK);  // in place
  EXPECT_EQ(rs.vt, VT_BSTR);
  EXPECT_NE(rs.bstrVal, s);
  SysFreeString(s);
  VariantClear(&rs);
}

TEST(Variant, RejectsInvalidTypes) {
  VARIANT v = Make(0x7F);
  EXPECT_EQ(VariantClear(&v), DISP_E_BADVARTYPE);
  v.vt = VT_VARIANT;  // a variant cannot hold a variant by value
  VARIANT d = Make(VT_EMPTY);
  EXPECT_EQ(VariantCopy(&d, &v), DISP_E_BADVARTYPE);
  VARIANT i4 = Make(VT_I4);
  EXPECT_EQ(VariantChangeType(&d, &i4, 0, VT_VARIANT), DISP_E_BADVARTYPE);
}

struct Case {
  VARTYPE from;
  double value;
  VARTYPE to;
  HRESULT hr;
  double expect;
};

TEST(Variant, NumericConversionsRoundAndCheckRange) {
  const Case cases[] = {
      {VT_R8, 2.5, VT_I4, S_OK, 2},            {VT_R8, 3.5, VT_I4, S_OK, 4},
      {VT_R8, -2.5, VT_I2, S_OK, -2},          {VT_R8, 2147483647.4, VT_I4, S_OK, 2147483647},
      {VT_R8, 2147483647.5, VT_I4, DISP_E_OVERFLOW, 0}, {VT_I4, 256, VT_UI1, DISP_E_OVERFLOW, 0},
      {VT_I4, -1, VT_UI4, DISP_E_OVERFLOW, 0}, {VT_I4, 70000, VT_I2, DISP_E_OVERFLOW, 0},
      {VT_R8, 1e300, VT_R4, DISP_E_OVERFLOW, 0}, {VT_I2, -5, VT_R8, S_OK, -5},
      {VT_I4, 7, VT_BOOL, S_OK, -1},           {VT_I4, 0, VT_BOOL, S_OK, 0},
  };
  for (const Case& c : cases) {
    VARIANT src = Make(VT_R8), dst = Make(VT_EMPTY);
    src.dblVal = c.value;
    if (c.from != VT_R8) {
      ASSERT_EQ(VariantChangeType(&src, &src, 0, c.from), S_OK);
    }
    EXPECT_EQ(VariantChangeType(&dst, &src, 0, c.to), c.hr) << c.value << " to " << c.to;
    if (c.hr == S_OK) {
      VARIANT r8 = Make(VT_EMPTY);
      ASSERT_EQ(VariantChangeType(&r8, &dst, 0, VT_R8), S_OK);
      EXPECT_EQ(r8.dblVal, c.expect) << c.value;
    }
  }
}

TEST(Variant, StringConversions) {
  VARIANT s = Make(VT_BSTR), d = Make(VT_EMPTY);
  s.bstrVal = SysAllocString(u" 12 ");
  ASSERT_EQ(VariantChangeType(&d, &s, 0, VT_I4), S_OK);
  EXPECT_EQ(d.lVal, 12);
  SysReAllocString(&s.bstrVal, u"1.5");
  ASSERT_EQ(VariantChangeType(&d, &s, 0, VT_R4), S_OK);
  EXPECT_FLOAT_EQ(d.fltVal, 1.5f);
  ASSERT_EQ(VariantChangeType(&d, &s, 0, VT_I4), S_OK);  // rounds half to even
  EXPECT_EQ(d.lVal, 2);
  SysReAllocString(&s.bstrVal, u"12abc");
  EXPECT_EQ(VariantChangeType(&d, &s, 0, VT_I4), DISP_E_TYPEMISMATCH);
  SysReAllocString(&s.bstrVal, u"");
  EXPECT_EQ(VariantChangeType(&d, &s, 0, VT_I4), DISP_E_TYPEMISMATCH);
  SysReAllocString(&s.bstrVal, u"99999999999");
  EXPECT_EQ(VariantChangeType(&d, &s, 0, VT_I4), DISP_E_OVERFLOW);
  SysReAllocString(&s.bstrVal, u"TRUE");
  ASSERT_EQ(VariantChangeType(&d, &s, 0, VT_BOOL), S_OK);
  EXPECT_EQ(d.boolVal, VARIANT_TRUE);
  VariantClear(&s);

  VARIANT n = Make(VT_R8);
  n.dblVal = 0.1;
  ASSERT_EQ(VariantChangeType(&d, &n, 0, VT_BSTR), S_OK);
  EXPECT_EQ(tesk::FromBstr(d.bstrVal), "0.1");
  n.vt = VT_R4;
  n.fltVal = 3.14159274f;
  ASSERT_EQ(VariantChangeType(&d, &n, 0, VT_BSTR), S_OK);
  EXPECT_EQ(tesk::FromBstr(d.bstrVal), "3.141593");
  n.vt = VT_I4;
  n.lVal = -17;
  ASSERT_EQ(VariantChangeType(&n, &n, 0, VT_BSTR), S_OK);  // in place
  EXPECT_EQ(tesk::FromBstr(n.bstrVal), "-17");
  VariantClear(&n);
  VariantClear(&d);
}

TEST(Variant, EmptyNullAndObjects) {
  VARIANT e = Make(VT_EMPTY), d = Make(VT_EMPTY);
  ASSERT_EQ(VariantChangeType(&d, &e, 0, VT_I4), S_OK);
  EXPECT_EQ(d.lVal, 0);
  VARIANT nul = Make(VT_NULL);
  EXPECT_EQ(VariantChangeType(&d, &nul, 0, VT_I4), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(d.vt, VT_I4);  // a failed conversion leaves the destination alone

  Counted* obj = Counted::New(31);
  VARIANT o = Make(VT_DISPATCH);
  o.pdispVal = obj;
  ASSERT_EQ(VariantChangeType(&d, &o, 0, VT_BSTR), S_OK);  // through the default property
  EXPECT_EQ(tesk::FromBstr(d.bstrVal), "31");
  VariantClear(&d);
  EXPECT_EQ(VariantChangeType(&d, &o, VARIANT_NOVALUEPROP, VT_I4), DISP_E_TYPEMISMATCH);
  ASSERT_EQ(VariantChangeType(&d, &o, 0, VT_UNKNOWN), S_OK);
  EXPECT_EQ(obj->Refs(), 2u);
  VariantClear(&d);
  EXPECT_EQ(obj->Refs(), 1u);
  obj->Release();
}

}  // namespace
