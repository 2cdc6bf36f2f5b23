#include "tesk/platform.h"

#include <gtest/gtest.h>
#include <atomic>
#include <thread>
#include <vector>

namespace {

TEST(CodePage, Utf8RoundTrip) {
  std::string s = "Gr\xC3\xBC\xC3\x9F" "e \xE2\x82\xAC \xF0\x9F\x98\x80";  // Grüße € 😀
  std::u16string w = tesk::ToWide(s);
  EXPECT_EQ(w, u"Grüße € 😀");
  EXPECT_EQ(tesk::ToNarrow(w), s);
}

TEST(CodePage, InvalidUtf8IsReadAsWindows1252) {
  // "café" and a euro sign as legacy 8-bit bytes.
  std::string legacy = "caf\xE9 \x80 \x81";
  EXPECT_EQ(tesk::ToWide(legacy), u"café € \u0081");
  // A truncated sequence at the end is invalid UTF-8 as well.
  EXPECT_EQ(tesk::ToWide("ab\xC3"), u"abÃ");
  // Valid sequences beside stray bytes keep their meaning.
  EXPECT_EQ(tesk::ToWide("\xC3\xA9=\xE9"), u"é=é");
  // Overlong forms and encoded surrogates are not UTF-8.
  EXPECT_EQ(tesk::ToWide("\xC0\xAF"), u"À¯");
  EXPECT_EQ(tesk::ToWide("\xED\xA0\x80").size(), 3u);
}

TEST(CodePage, UnpairedSurrogateBecomesReplacement) {
  std::u16string w = u"a";
  w.push_back(static_cast<char16_t>(0xD800));
  w += u"b";
  EXPECT_EQ(tesk::ToNarrow(w), "a\xEF\xBF\xBD" "b");
  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, w.data(), 3, nullptr, 0, nullptr, nullptr), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_UNICODE_TRANSLATION));
}

TEST(CodePage, MultiByteToWideCharContract) {
  const char* s = "h\xC3\xA9llo";
  EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, s, -1, nullptr, 0), 6);  // counts the terminator
  WCHAR buf[8];
  EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, s, -1, buf, 8), 6);
  EXPECT_EQ(std::u16string(buf), u"héllo");
  EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, s, -1, buf, 3), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, s, 0, buf, 8), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, "\xFF", 1, buf, 8), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_UNICODE_TRANSLATION));
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "a\xFF", 2, buf, 8), 2);
  EXPECT_EQ(buf[1], 0xFFFD);
  EXPECT_EQ(MultiByteToWideChar(932, 0, "a", 1, buf, 8), 0);  // unsupported code page
  // Embedded zeros with an explicit length.
  EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "a\0b", 3, buf, 8), 3);
  EXPECT_EQ(buf[1], 0);
}

TEST(CodePage, WideToWindows1252UsesDefaultChar) {
  const WCHAR w[] = u"€x\u4E2D";
  char out[8];
  BOOL used = FALSE;
  int n = WideCharToMultiByte(CP_WINDOWS1252, 0, w, 3, out, 8, "#", &used);
  ASSERT_EQ(n, 3);
  EXPECT_EQ(std::string(out, 3), "\x80x#");
  EXPECT_TRUE(used);
  // Default characters are not allowed for UTF-8.
  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, w, 3, out, 8, "#", nullptr), 0);
}

TEST(CodePage, ConvertersArePerThread) {
  std::vector<std::thread> threads;
  std::atomic<int> bad{0};
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([&] {
      for (int i = 0; i < 2000; ++i)
        if (tesk::ToNarrow(tesk::ToWide("caf\xE9")) != "caf\xC3\xA9") ++bad;
    });
  for (auto& t : threads) t.join();
  EXPECT_EQ(bad.load(), 0);
}

TEST(CodePage, BstrHelpers) {
  BSTR b = tesk::AllocBstr("x\xC3\xA9");
  EXPECT_EQ(SysStringLen(b), 2u);
  EXPECT_EQ(tesk::FromBstr(b), "x\xC3\xA9");
  SysFreeString(b);
  b = tesk::AllocBstr("");
  ASSERT_NE(b, nullptr);  // an empty string, not a null one
  EXPECT_EQ(SysStringLen(b), 0u);
  SysFreeString(b);
}

}  // namespace
