#include "counted.h"

#include <gtest/gtest.h>

namespace {

using testing_support::Counted;

TEST(SafeArray, VectorBoundsAndIndexChecks) {
  SAFEARRAY* sa = SafeArrayCreateVector(VT_I4, -2, 5);
  ASSERT_NE(sa, nullptr);
  LONG lo = 0, hi = 0;
  EXPECT_EQ(SafeArrayGetDim(sa), 1u);
  EXPECT_EQ(SafeArrayGetElemsize(sa), 4u);
  ASSERT_EQ(SafeArrayGetLBound(sa, 1, &lo), S_OK);
  ASSERT_EQ(SafeArrayGetUBound(sa, 1, &hi), S_OK);
  EXPECT_EQ(lo, -2);
  EXPECT_EQ(hi, 2);
  EXPECT_EQ(SafeArrayGetLBound(sa, 2, &lo), DISP_E_BADINDEX);
  EXPECT_EQ(SafeArrayGetLBound(sa, 0, &lo), DISP_E_BADINDEX);
  for (LONG i = -2; i <= 2; ++i) {
    LONG v = i * 10;
    ASSERT_EQ(SafeArrayPutElement(sa, &i, &v), S_OK);
  }
  for (LONG bad : {-3, 3}) {
    LONG v = 0;
    EXPECT_EQ(SafeArrayPutElement(sa, &bad, &v), DISP_E_BADINDEX);
    EXPECT_EQ(SafeArrayGetElement(sa, &bad, &v), DISP_E_BADINDEX);
  }
  LONG* data = nullptr;
  ASSERT_EQ(SafeArrayAccessData(sa, reinterpret_cast<void**>(&data)), S_OK);
  EXPECT_EQ(data[0], -20);
  EXPECT_EQ(data[4], 20);
  EXPECT_EQ(SafeArrayDestroy(sa), DISP_E_ARRAYISLOCKED);  // still accessed
  ASSERT_EQ(SafeArrayUnaccessData(sa), S_OK);
  EXPECT_EQ(SafeArrayUnaccessData(sa), E_UNEXPECTED);
  VARTYPE vt = 0;
  ASSERT_EQ(SafeArrayGetVartype(sa, &vt), S_OK);
  EXPECT_EQ(vt, VT_I4);
  EXPECT_EQ(SafeArrayDestroy(sa), S_OK);
}

TEST(SafeArray, UpperBoundMustFitInALong) {
  EXPECT_EQ(SafeArrayCreateVector(VT_I4, 0x7FFFFFFF, 2), nullptr);
  EXPECT_EQ(SafeArrayCreateVector(VT_VARIANT, 0, 0x7FFFFFFF), nullptr);  // too large to hold
  EXPECT_EQ(SafeArrayCreateVector(static_cast<VARTYPE>(36), 0, 1), nullptr);
  SAFEARRAY* empty = SafeArrayCreateVector(VT_R4, 0, 0);
  ASSERT_NE(empty, nullptr);
  LONG hi = 0;
  SafeArrayGetUBound(empty, 1, &hi);
  EXPECT_EQ(hi, -1);
  LONG i = 0;
  float f = 1;
  EXPECT_EQ(SafeArrayPutElement(empty, &i, &f), DISP_E_BADINDEX);
  SafeArrayDestroy(empty);
}

TEST(SafeArray, StringElementsAreCopiedAndFreed) {
  SAFEARRAY* sa = SafeArrayCreateVector(VT_BSTR, 0, 2);
  BSTR s = SysAllocString(u"first");
  LONG i = 0;
  ASSERT_EQ(SafeArrayPutElement(sa, &i, s), S_OK);
  SysFreeString(s);  // the array holds its own copy
  s = SysAllocString(u"second");
  ASSERT_EQ(SafeArrayPutElement(sa, &i, s), S_OK);  // replaces (and frees) "first"
  SysFreeString(s);
  BSTR got = nullptr;
  ASSERT_EQ(SafeArrayGetElement(sa, &i, &got), S_OK);
  EXPECT_EQ(std::u16string(got), u"second");
  SysFreeString(got);
  i = 1;
  ASSERT_EQ(SafeArrayGetElement(sa, &i, &got), S_OK);
  EXPECT_EQ(got, nullptr);  // never set
  SafeArrayDestroy(sa);
}

TEST(SafeArray, InterfaceElementsHoldReferences) {
  Counted* obj = Counted::New();
  SAFEARRAY* sa = SafeArrayCreateVector(VT_DISPATCH, 0, 3);
  for (LONG i = 0; i < 3; ++i) ASSERT_EQ(SafeArrayPutElement(sa, &i, static_cast<IDispatch*>(obj)), S_OK);
  EXPECT_EQ(obj->Refs(), 4u);
  LONG i = 1;
  ASSERT_EQ(SafeArrayPutElement(sa, &i, nullptr), S_OK);  // releases the one it replaces
  EXPECT_EQ(obj->Refs(), 3u);
  IDispatch* got = nullptr;
  i = 2;
  ASSERT_EQ(SafeArrayGetElement(sa, &i, &got), S_OK);
  EXPECT_EQ(obj->Refs(), 4u);
  got->Release();
  SAFEARRAY* copy = nullptr;
  ASSERT_EQ(SafeArrayCopy(sa, &copy), S_OK);
  EXPECT_EQ(obj->Refs(), 5u);
  SafeArrayDestroy(sa);
  SafeArrayDestroy(copy);
  EXPECT_EQ(obj->Refs(), 1u);
  obj->Release();
}

TEST(SafeArray, VariantElements) {
  SAFEARRAY* sa = SafeArrayCreateVector(VT_VARIANT, 1, 2);
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BSTR;
  v.bstrVal = SysAllocString(u"x");
  LONG i = 1;
  ASSERT_EQ(SafeArrayPutElement(sa, &i, &v), S_OK);
  VariantClear(&v);
  VARIANT out;
  ASSERT_EQ(SafeArrayGetElement(sa, &i, &out), S_OK);
  EXPECT_EQ(out.vt, VT_BSTR);
  EXPECT_EQ(std::u16string(out.bstrVal), u"x");
  VariantClear(&out);
  SafeArrayDestroy(sa);
}

TEST(SafeArray, TwoDimensionsLeftMostFastest) {
  SAFEARRAYBOUND b[2] = {{3, 1}, {2, 10}};  // rows 1..3, columns 10..11
  SAFEARRAY* sa = SafeArrayCreate(VT_I2, 2, b);
  ASSERT_NE(sa, nullptr);
  LONG lo1, lo2, hi2;
  SafeArrayGetLBound(sa, 1, &lo1);
  SafeArrayGetLBound(sa, 2, &lo2);
  SafeArrayGetUBound(sa, 2, &hi2);
  EXPECT_EQ(lo1, 1);
  EXPECT_EQ(lo2, 10);
  EXPECT_EQ(hi2, 11);
  for (LONG r = 1; r <= 3; ++r)
    for (LONG c = 10; c <= 11; ++c) {
      LONG idx[2] = {r, c};
      SHORT v = static_cast<SHORT>(r * 100 + c);
      ASSERT_EQ(SafeArrayPutElement(sa, idx, &v), S_OK);
    }
  LONG badIdx[2] = {4, 10};
  SHORT v;
  EXPECT_EQ(SafeArrayGetElement(sa, badIdx, &v), DISP_E_BADINDEX);
  SHORT* data;
  SafeArrayAccessData(sa, reinterpret_cast<void**>(&data));
  EXPECT_EQ(data[0], 110);
  EXPECT_EQ(data[1], 210);  // the left-most index moves first
  EXPECT_EQ(data[3], 111);
  SafeArrayUnaccessData(sa);
  SafeArrayDestroy(sa);
}

TEST(SafeArray, RedimReleasesDroppedElements) {
  Counted* obj = Counted::New();
  SAFEARRAY* sa = SafeArrayCreateVector(VT_UNKNOWN, 0, 4);
  for (LONG i = 0; i < 4; ++i) SafeArrayPutElement(sa, &i, static_cast<IUnknown*>(obj));
  SAFEARRAYBOUND nb{2, 0};
  ASSERT_EQ(SafeArrayRedim(sa, &nb), S_OK);
  EXPECT_EQ(obj->Refs(), 3u);
  nb.cElements = 6;
  ASSERT_EQ(SafeArrayRedim(sa, &nb), S_OK);
  IUnknown* u = reinterpret_cast<IUnknown*>(1);
  LONG i = 5;
  ASSERT_EQ(SafeArrayGetElement(sa, &i, &u), S_OK);
  EXPECT_EQ(u, nullptr);  // new room is empty
  SafeArrayLock(sa);
  EXPECT_EQ(SafeArrayRedim(sa, &nb), DISP_E_ARRAYISLOCKED);
  SafeArrayUnlock(sa);
  SafeArrayDestroy(sa);
  EXPECT_EQ(obj->Refs(), 1u);
  obj->Release();
}

}  // namespace
