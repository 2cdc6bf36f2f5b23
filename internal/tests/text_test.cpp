// Scanning numbers and splitting lines: the C library's conversions without the C library.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <string>
#include <vector>

#include <tesk/internal/lines.h>
#include <tesk/internal/scan.h>

namespace {

using tesk::internal::Line;
using tesk::internal::LineSplitter;
using tesk::internal::Scanner;

TEST(Scan, IntegersSaturateOrFailAsTheirCallersNeed) {
  struct Case {
    const char* text;
    bool ok;
    int value;
    bool overflow;
  } cases[] = {
      {"  42x", true, 42, false},         {"-7", true, -7, false},
      {"+8", true, 8, false},             {"\t\n 9", true, 9, false},
      {"", false, 0, false},              {"-", false, 0, false},
      {"+-3", false, 0, false},           {"x1", false, 0, false},
      {"2147483647", true, INT_MAX, false}, {"2147483648", true, INT_MAX, true},
      {"-2147483648", true, INT_MIN, false}, {"-99999999999999999999", true, INT_MIN, true},
  };
  for (const Case& c : cases) {
    const std::string text = c.text;
    const char* p = text.data();
    int v = 0;
    bool over = false;
    EXPECT_EQ(tesk::internal::ScanInt(p, text.data() + text.size(), v, &over), c.ok) << c.text;
    if (!c.ok) {
      EXPECT_EQ(p, text.data()) << "nothing consumed: " << c.text;
      continue;
    }
    EXPECT_EQ(v, c.value) << c.text;
    EXPECT_EQ(over, c.overflow) << c.text;
    // atoi gives 0 where %d fails; the strict form fails on overflow and keeps its input.
    EXPECT_EQ(tesk::internal::ParseInt(text), c.value) << c.text;
    std::string_view rest = text;
    int strict = 0;
    EXPECT_EQ(tesk::internal::NextInt(rest, strict), !c.overflow) << c.text;
    EXPECT_EQ(rest.size() == text.size(), c.overflow) << c.text;
  }
  EXPECT_EQ(tesk::internal::ParseInt("junk"), 0);
  // The scan never reads past its end, even where the text goes on.
  const char digits[] = "12345";
  const char* p = digits;
  int v = 0;
  ASSERT_TRUE(tesk::internal::ScanInt(p, digits + 2, v));
  EXPECT_EQ(v, 12);
}

TEST(Scan, FloatsWordsLiteralsAndDoubles) {
  Scanner s(" 1.5\t-0.25 1e3 123456789.5 inf nan +-1");
  float f = 0;
  ASSERT_TRUE(s.Float(f));
  EXPECT_EQ(f, 1.5f);
  ASSERT_TRUE(s.Float(f));
  EXPECT_EQ(f, -0.25f);
  ASSERT_TRUE(s.Float(f));
  EXPECT_EQ(f, 1000.0f);
  ASSERT_TRUE(s.Float(f));
  EXPECT_EQ(f, 123456789.5f);
  ASSERT_TRUE(s.Float(f));
  EXPECT_TRUE(std::isinf(f));
  ASSERT_TRUE(s.Float(f));
  EXPECT_TRUE(std::isnan(f));
  EXPECT_FALSE(s.Float(f));
  Scanner big("1e60");
  ASSERT_TRUE(big.Float(f));
  EXPECT_TRUE(std::isinf(f)) << "overflow as strtof";

  Scanner w("  key=value  rest");
  std::string_view word;
  ASSERT_TRUE(w.Literal(" key="));
  ASSERT_TRUE(w.Word(word));
  EXPECT_EQ(word, "value");
  ASSERT_TRUE(w.Word(word));
  EXPECT_FALSE(w.Word(word));
  EXPECT_FALSE(Scanner("ab").Literal("abc"));

  EXPECT_EQ(tesk::internal::ParseDouble("  -2.5e1x"), -25.0);
  EXPECT_EQ(tesk::internal::ParseDouble("1e999"), 0.0);
  EXPECT_EQ(tesk::internal::ParseDouble("."), 0.0);

  std::string_view tokens = " a\tbb  c ";
  std::string_view t;
  std::vector<std::string_view> got;
  while (tesk::internal::NextToken(tokens, t)) got.push_back(t);
  EXPECT_EQ(got, (std::vector<std::string_view>{"a", "bb", "c"}));
  EXPECT_TRUE(tokens.empty());
  EXPECT_EQ(tesk::internal::Trim(" \t x y \r\n"), "x y");
}

std::vector<std::string> Split(std::string_view text, std::size_t piece) {
  std::vector<std::string> out;
  LineSplitter lines(text, piece);
  Line l;
  while (lines.Next(l)) {
    out.push_back(std::string(l.View()) + (l.has_newline ? "|" : "") + std::to_string(l.Length()));
  }
  return out;
}

TEST(Lines, LineEndsPiecesAndBlankLines) {
  EXPECT_EQ(Split("a\r\nbc\n\nlast", LineSplitter::kNoLimit),
            (std::vector<std::string>{"a|2", "bc|3", "|1", "last4"}));
  EXPECT_TRUE(Split("", LineSplitter::kNoLimit).empty());
  EXPECT_EQ(Split("x\r", LineSplitter::kNoLimit), (std::vector<std::string>{"x\r2"}))
      << "a carriage return without a line feed is a character";
  // Pieces of 3: a line of exactly two characters and its line feed is one line; longer
  // lines are cut, and the line feed may make a piece of its own.
  EXPECT_EQ(Split("ab\nabc\nabcdefg", 3),
            (std::vector<std::string>{"ab|3", "abc3", "|1", "abc3", "def3", "g1"}));

  LineSplitter lines("\r\n  one\r\r\n\n\ntwo", LineSplitter::kNoLimit);
  std::string_view v;
  ASSERT_TRUE(lines.NextNonEmpty(v));
  EXPECT_EQ(v, "  one");
  EXPECT_EQ(lines.Remaining(), 5u);
  ASSERT_TRUE(lines.NextNonEmpty(v));
  EXPECT_EQ(v, "two");
  EXPECT_FALSE(lines.NextNonEmpty(v));
}

}  // namespace
