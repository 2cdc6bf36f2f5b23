// Date values of experiment files are re-formatted on reading, whatever the process locale.
#include <clocale>

#include "ostrel_test_util.h"

namespace {

template <typename B>
class DateTest : public ::testing::Test {
 protected:
  // The stored hybridize and scan dates after reading value under both labels.
  std::pair<std::string, std::string> Stored(const std::string& value) {
    std::string path = dir_.File("d.EXP");
    WriteText(path, Header() + "[Fluidics]\nHybridize Date\t" + value + "\n[Scanner]\nScan Date\t" +
                        value + "\n");
    typename B::Info t;
    t.SetName(path);
    EXPECT_EQ(t.Read(), 1);
    return {t.HybridizeDate, t.ScanDate};
  }
  std::string Date(const std::string& value) {
    auto [hyb, scan] = Stored(value);
    EXPECT_EQ(hyb, scan);
    return hyb;
  }
  ScratchDir dir_;
};
TYPED_TEST_SUITE(DateTest, Builds);

TYPED_TEST(DateTest, AcceptedPatterns) {
  struct Case {
    const char* in;
    const char* out;
  } cases[] = {
      {"03/07/26 14:05:09", "Mar 07 2026 02:05PM"},
      {"12/31/99 23:59:59", "Dec 31 1999 11:59PM"},
      {"01/01/30 00:00:00", "Jan 01 1930 12:00AM"},
      {"01/01/29 00:00", "Jan 01 2029 12:00AM"},
      {"3/7/2026 2:05 PM", "Mar 07 2026 02:05PM"},
      {"03/07/2026 12:30 am", "Mar 07 2026 12:30AM"},
      {"03/07/2026 12:30 PM", "Mar 07 2026 12:30PM"},
      {"03/07/2026 11:59:59 AM", "Mar 07 2026 11:59AM"},
      {"02/29/2024", "Feb 29 2024 12:00AM"},
      {"2026-03-07 14:05:09", "Mar 07 2026 02:05PM"},
      {"2026-03-07T08:00", "Mar 07 2026 08:00AM"},
      {"Mar 07 2026 02:05PM", "Mar 07 2026 02:05PM"},
      {"mar 7 2026 2:05 pm", "Mar 07 2026 02:05PM"},
      {"September 30, 2025 17:45", "Sep 30 2025 05:45PM"},
      {"  Dec 08 2026 12:00AM  ", "Dec 08 2026 12:00AM"},
  };
  for (const Case& c : cases) EXPECT_EQ(this->Date(c.in), c.out) << c.in;
}

TYPED_TEST(DateTest, TextThatIsNoDateIsKept) {
  for (const char* text : {"not a date", "13/01/26 10:00", "02/29/2025", "02/30/2024",
                           "04/31/2026", "03/07/26 24:00", "03/07/26 10:60", "03/07/26 0:30 PM",
                           "03/07/26 13:00 PM", "03/07/26 10:00:00 XM", "03/07/265 10:00",
                           "03/07/26 10:00 trailing", "Foo 07 2026", "Mar 07 26 10:00",
                           "0000-01-01", "2026/03/07", "12345/1/1", "03.07.2026", "\xff\xfe"})
    EXPECT_EQ(this->Date(text), text) << text;
  EXPECT_EQ(this->Date(""), "");
}

TYPED_TEST(DateTest, ProcessLocaleDoesNotMatter) {
  // Whatever locales this machine has, none may change the stored form.
  for (const char* name : {"de_DE.UTF-8", "fr_FR.UTF-8", "C.UTF-8", ""}) {
    const char* old = std::setlocale(LC_ALL, nullptr);
    std::string saved = old ? old : "C";
    if (std::setlocale(LC_ALL, name) == nullptr) continue;
    EXPECT_EQ(this->Date("03/07/26 14:05:09"), "Mar 07 2026 02:05PM") << name;
    std::setlocale(LC_ALL, saved.c_str());
  }
}

}  // namespace
