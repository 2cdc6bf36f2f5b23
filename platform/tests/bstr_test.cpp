#include "tesk/platform.h"

#include <cstring>
#include <gtest/gtest.h>

namespace {

TEST(Bstr, LengthPrefixAndTerminator) {
  BSTR b = SysAllocString(u"abc");
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(SysStringLen(b), 3u);
  EXPECT_EQ(SysStringByteLen(b), 6u);
  uint32_t prefix;
  std::memcpy(&prefix, reinterpret_cast<char*>(b) - 4, 4);
  EXPECT_EQ(prefix, 6u);
  EXPECT_EQ(b[3], u'\0');
  SysFreeString(b);
}

TEST(Bstr, EmbeddedZerosAreKept) {
  const OLECHAR text[] = {u'a', 0, u'b', 0, u'c'};
  BSTR b = SysAllocStringLen(text, 5);
  EXPECT_EQ(SysStringLen(b), 5u);
  EXPECT_EQ(std::u16string_view(b, 5), std::u16string_view(text, 5));
  EXPECT_EQ(tesk::FromBstr(b), std::string("a\0b\0c", 5));
  // A copy through a VARIANT keeps them too.
  VARIANT v, w;
  VariantInit(&v);
  VariantInit(&w);
  v.vt = VT_BSTR;
  v.bstrVal = b;
  ASSERT_EQ(VariantCopy(&w, &v), S_OK);
  EXPECT_NE(w.bstrVal, b);
  EXPECT_EQ(SysStringLen(w.bstrVal), 5u);
  VariantClear(&v);
  VariantClear(&w);
}

TEST(Bstr, NullAndEmpty) {
  EXPECT_EQ(SysAllocString(nullptr), nullptr);
  EXPECT_EQ(SysStringLen(nullptr), 0u);
  EXPECT_EQ(SysStringByteLen(nullptr), 0u);
  SysFreeString(nullptr);
  BSTR e = SysAllocStringLen(nullptr, 4);  // zero-filled room
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(SysStringLen(e), 4u);
  for (int i = 0; i <= 4; ++i) EXPECT_EQ(e[i], 0);
  SysFreeString(e);
  EXPECT_EQ(tesk::FromBstr(nullptr), "");
}

TEST(Bstr, OddByteLengths) {
  BSTR b = SysAllocStringByteLen("abc", 3);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(SysStringByteLen(b), 3u);
  EXPECT_EQ(SysStringLen(b), 1u);
  EXPECT_EQ(std::memcmp(b, "abc\0\0", 5), 0);
  SysFreeString(b);
}

TEST(Bstr, ReallocFromItsOwnText) {
  BSTR b = SysAllocString(u"hello world");
  ASSERT_TRUE(SysReAllocStringLen(&b, b + 6, 5));
  EXPECT_EQ(std::u16string(b), u"world");
  ASSERT_TRUE(SysReAllocString(&b, u"x"));
  EXPECT_EQ(SysStringLen(b), 1u);
  SysFreeString(b);
}

TEST(Bstr, RefusesLengthsThatOverflowTheCount) {
  EXPECT_EQ(SysAllocStringLen(nullptr, 0x80000000u), nullptr);
  EXPECT_EQ(SysAllocStringByteLen(nullptr, 0xFFFFFFFFu), nullptr);
}

}  // namespace
