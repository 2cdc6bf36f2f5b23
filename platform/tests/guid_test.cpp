#include "tesk/platform.h"

#include <gtest/gtest.h>

namespace {

constexpr GUID kVantor{0xF8709A8E, 0x5DD7, 0x44FB, {0xA6, 0x75, 0x4A, 0xF0, 0xE9, 0xE5, 0xD5, 0xFE}};

TEST(Guid, FormatsUpperCaseBraced) {
  EXPECT_EQ(tesk::GuidToString(kVantor), "{F8709A8E-5DD7-44FB-A675-4AF0E9E5D5FE}");
  OLECHAR buf[39];
  EXPECT_EQ(StringFromGUID2(kVantor, buf, 39), 39);
  EXPECT_EQ(std::u16string(buf), u"{F8709A8E-5DD7-44FB-A675-4AF0E9E5D5FE}");
  EXPECT_EQ(StringFromGUID2(kVantor, buf, 38), 0);  // no room for the terminator
}

TEST(Guid, ParsesEitherCaseAndRoundTrips) {
  auto g = tesk::GuidFromString("{f8709a8e-5dd7-44fb-a675-4af0e9e5d5fe}");
  ASSERT_TRUE(g);
  EXPECT_EQ(*g, kVantor);
  LPOLESTR s = nullptr;
  ASSERT_EQ(StringFromCLSID(kVantor, &s), S_OK);
  CLSID back{};
  EXPECT_EQ(CLSIDFromString(s, &back), S_OK);
  EXPECT_EQ(back, kVantor);
  CoTaskMemFree(s);
}

TEST(Guid, RejectsMalformedText) {
  for (const char* bad : {"", "F8709A8E-5DD7-44FB-A675-4AF0E9E5D5FE", "{F8709A8E-5DD7-44FB-A675-4AF0E9E5D5F}",
                          "{F8709A8E-5DD7-44FB-A675-4AF0E9E5D5FEE}", "{F8709A8E-5DD7-44FB-A675_4AF0E9E5D5FE}",
                          "{G8709A8E-5DD7-44FB-A675-4AF0E9E5D5FE}", "{F8709A8E-5DD7-44FB-A675-4AF0E9E5D5FE"}) {
    EXPECT_FALSE(tesk::GuidFromString(bad)) << bad;
  }
  CLSID c = kVantor;
  EXPECT_EQ(CLSIDFromString(u"Vantor.Vantor", &c), CO_E_CLASSSTRING);
  EXPECT_EQ(c, CLSID_NULL);
  IID i{};
  EXPECT_EQ(IIDFromString(u"{1234}", &i), E_INVALIDARG);
}

TEST(Guid, EqualityLooksAtEveryByte) {
  GUID a = kVantor, b = kVantor;
  EXPECT_TRUE(IsEqualGUID(a, b));
  b.Data4[7] ^= 1;
  EXPECT_FALSE(IsEqualGUID(a, b));
  EXPECT_EQ(HRESULT_FROM_WIN32(RPC_S_SERVER_UNAVAILABLE), static_cast<HRESULT>(0x800706BA));
  EXPECT_EQ(HRESULT_FROM_WIN32(RPC_S_CALL_FAILED), static_cast<HRESULT>(0x800706BE));
  EXPECT_EQ(sizeof(LONG), 4u);
  EXPECT_EQ(sizeof(ULONG), 4u);
}

}  // namespace
