// The object model's own text handling: parameter texts and date texts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dates.h"
#include "param_text.h"

namespace {

using Strings = std::vector<std::string>;

TEST(ParamText, AValueMayHoldBlanksUpToTheNextNameWithEquals) {
  Strings names{"stale"}, values{"stale"};
  tarvex::SplitParamText("A=1 B=two words C=3", names, values);
  EXPECT_EQ(names, (Strings{"A", "B", "C"}));
  EXPECT_EQ(values, (Strings{"1", "two words", "3"}));

  // Only the last blank before the next name separates: earlier ones stay in the value.
  tarvex::SplitParamText("  Percentile=75   CellMargin=2 ", names, values);
  EXPECT_EQ(names, (Strings{"Percentile", "CellMargin"}));
  EXPECT_EQ(values, (Strings{"75  ", "2"}));
}

TEST(ParamText, ItemsWithoutEqualsAddNothingAndOddTextsEnd) {
  Strings names, values;
  tarvex::SplitParamText("", names, values);
  EXPECT_TRUE(names.empty());
  tarvex::SplitParamText("lonely", names, values);
  EXPECT_TRUE(names.empty());
  // A second "=" without a blank before it: the rest is one item.
  tarvex::SplitParamText("a=b=c", names, values);
  EXPECT_EQ(names, Strings{"a"});
  EXPECT_EQ(values, Strings{"b=c"});
  tarvex::SplitParamText("=x =y", names, values);
  EXPECT_EQ(names, (Strings{"", ""}));
  EXPECT_EQ(values, (Strings{"x", "y"}));
}

TEST(DateText, FileDatesAreShownInOneFormat) {
  EXPECT_EQ(tarvex::ReformatDateText("03/07/26 02:05 PM"), "Mar 07 2026 02:05PM");
  EXPECT_EQ(tarvex::ReformatDateText("12/01/95 10:15:30"), "Dec 01 1995 10:15AM");
  EXPECT_EQ(tarvex::ReformatDateText("12/01/2026 23:59"), "Dec 01 2026 11:59PM");
  EXPECT_EQ(tarvex::ReformatDateText(" Mar 07 2026 02:05PM "), "Mar 07 2026 02:05PM");
  EXPECT_EQ(tarvex::ReformatDateText("2026-03-08 10:00"), "Mar 08 2026 10:00AM");
  EXPECT_EQ(tarvex::ReformatDateText(""), "");
  EXPECT_EQ(tarvex::ReformatDateText("yesterday"), "");
  EXPECT_EQ(tarvex::ReformatDateText("13/45/26"), "");
  EXPECT_FALSE(tarvex::FileDateText("/no/such/file").has_value());
}

}  // namespace
