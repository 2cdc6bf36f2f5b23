// Reading experiment files: sections, labels, key prefixes, protocol steps, header checks.
#include "ostrel_test_util.h"

namespace {

template <typename B>
class ReadTest : public ::testing::Test {
 protected:
  // Reads text as a file; returns Read's result.
  int ReadFrom(const std::string& text) {
    std::string path = dir_.File("in.EXP");
    WriteText(path, text);
    info_.SetName(path);
    return info_.Read();
  }
  ScratchDir dir_;
  typename B::Info info_;
};
TYPED_TEST_SUITE(ReadTest, Builds);

TYPED_TEST(ReadTest, EveryLabelOfEverySectionLandsInItsField) {
  const std::string text = Header() +
      "[Sample Info]\r\nChip Type\tct\r\nChip Lot\tlot\r\nOperator\top\r\nSample Type\tst\r\n"
      "Description\tdesc\r\nProject\tproj\r\nComments\tcom\r\nSolution Type\tsolt\r\n"
      "Solution Lot\tsoll\r\n\r\n"
      "[Fluidics]\r\nProtocol\tprot\r\nStation\tsta\r\nModule\tmod\r\nHybridize Date\t\r\n\r\n"
      "[Scanner]\r\nPixel Size\tpix\r\nFilter\tfil\r\nScan Temperature\ttemp\r\nScan Date\t\r\n"
      "Scanner ID\tsid\r\nNumber of Scans\tnum\r\nScanner Type\tstype\r\n";
  ASSERT_EQ(this->ReadFrom(text), 1);
  const auto& t = this->info_;
  EXPECT_EQ(t.ChipType, "ct");
  EXPECT_EQ(t.SampleInfo, (std::vector<std::string>{"lot", "op", "st", "desc", "proj", "com",
                                                     "solt", "soll"}));
  EXPECT_EQ(t.Protocol, "prot");
  EXPECT_EQ(t.Station, "sta");
  EXPECT_EQ(t.Module, "mod");
  EXPECT_EQ(t.HybridizeDate, "");
  EXPECT_EQ(t.PixelSize, "pix");
  EXPECT_EQ(t.Filter, "fil");
  EXPECT_EQ(t.ScanTemperature, "temp");
  EXPECT_EQ(t.ScanDate, "");
  EXPECT_EQ(t.ScannerID, "sid");
  EXPECT_EQ(t.NumberOfScans, "num");
  EXPECT_EQ(t.ScannerType, "stype");
  EXPECT_TRUE(t.ProtocolSteps.empty());
  EXPECT_EQ(t.LastMessageId(), 0);
}

TYPED_TEST(ReadTest, LabelsOnlyCountInTheirOwnSection) {
  ASSERT_EQ(this->ReadFrom(Header() + "Chip Type\tbefore any section\n"
                                      "[Scanner]\nChip Type\tX\nProtocol\tY\n"
                                      "[Sample Info]\nFilter\tZ\n"),
            1);
  EXPECT_EQ(this->info_.ChipType, "");
  EXPECT_EQ(this->info_.Protocol, "");
  EXPECT_EQ(this->info_.Filter, "");
}

TYPED_TEST(ReadTest, KeySelectsFirstLabelItBegins) {
  ASSERT_EQ(this->ReadFrom(Header() +
                           "[Fluidics]\nHyb\t\nS\tstation\nMod\tm\n"
                           "[Sample Info]\nChip\tfirst\nSample\tst\nSolution\tsol\n"
                           "Comments and more\tignored\nchip type\tignored\n"
                           "[Scanner]\nScan\tnot a date\nScanner\tsid\nN\t2\n"),
            1);
  const auto& t = this->info_;
  EXPECT_EQ(t.Station, "station");   // "S" begins "Station" first
  EXPECT_EQ(t.Module, "m");
  EXPECT_EQ(t.ChipType, "first");    // "Chip" begins "Chip Type" before "Chip Lot"
  EXPECT_EQ(t.SampleInfo[2], "st");
  EXPECT_EQ(t.SampleInfo[6], "sol");  // "Solution Type" comes before "Solution Lot"
  EXPECT_EQ(t.SampleInfo[5], "");     // a key longer than the label selects nothing
  EXPECT_EQ(t.ScanTemperature, "not a date");  // "Scan" begins "Scan Temperature"
  EXPECT_EQ(t.ScannerID, "sid");
  EXPECT_EQ(t.NumberOfScans, "2");
}

TYPED_TEST(ReadTest, HybKeySetsHybridizeDate) {
  ASSERT_EQ(this->ReadFrom(Header() + "[Fluidics]\nHyb\t03/07/26 14:05:09\n"), 1);
  EXPECT_EQ(this->info_.HybridizeDate, "Mar 07 2026 02:05PM");
}

TYPED_TEST(ReadTest, ValueSplitsAtFirstTabOnly) {
  ASSERT_EQ(this->ReadFrom(Header() + "[Sample Info]\nComments\ta\tb\t\n"), 1);
  EXPECT_EQ(this->info_.SampleInfo[5], "a\tb\t");
}

TYPED_TEST(ReadTest, ProtocolStepsBetweenProtocolAndNextLabel) {
  ASSERT_EQ(this->ReadFrom(Header() +
                           "[Fluidics]\nbefore protocol\nProtocol\tP\nWash 1\n\n"
                           "Mix 2\twith tab\n\tleading tab\nStation\t1\nafter station\n"
                           "Module\t2\n"),
            1);
  EXPECT_EQ(this->info_.ProtocolSteps,
            (std::vector<std::string>{"Wash 1", "", "Mix 2\twith tab", "\tleading tab"}));
  EXPECT_EQ(this->info_.Protocol, "P");  // a leading-tab line does not overwrite it
  EXPECT_EQ(this->info_.Station, "1");
  EXPECT_EQ(this->info_.Module, "2");
}

TYPED_TEST(ReadTest, ProtocolStepsStopAtSectionHeader) {
  ASSERT_EQ(this->ReadFrom(Header() + "[Fluidics]\nProtocol\tP\nstep\n[Scanner]\nloose\n"
                                      "[Fluidics]\nmore\n"),
            1);
  EXPECT_EQ(this->info_.ProtocolSteps, std::vector<std::string>{"step"});
}

TYPED_TEST(ReadTest, UnknownSectionIsSkippedUntilNextKnownHeader) {
  ASSERT_EQ(this->ReadFrom(Header() +
                           "[Sample Info]\nChip Type\tA\n[Extra]\nChip Type\tB\nFilter\tF\n"
                           "[Sample Info] \nOperator\tO\n[Scanner]\nFilter\t570\n"),
            1);
  EXPECT_EQ(this->info_.ChipType, "A");
  EXPECT_EQ(this->info_.SampleInfo[1], "");  // "[Sample Info] " is not the exact header
  EXPECT_EQ(this->info_.Filter, "570");
}

TYPED_TEST(ReadTest, HeaderAndVersionChecks) {
  const std::string body = "[Sample Info]\nChip Type\tX\n";
  struct Case {
    std::string text;
    int result;
  } cases[] = {
      {Header("1") + body, 1},
      {Header("1.0") + body, 1},
      {Header("2") + body, 0},
      {Header("0") + body, 0},
      {Header("-1") + body, 0},
      {Header("") + body, 0},
      {Header("x") + body, 0},
      {Header("99999999999999999999") + body, 0},
      {"Quillomere Varolith Experiment Information\nVersion 1\n" + body, 0},
      {"Quillomere Varolith Experiment Information\nRevision\t1\n" + body, 0},
      {"Quillomere Varolith Experiment Information \nVersion\t1\n" + body, 0},
      {"Quillomere Varolith Experiment Information", 0},
      {"", 0},
  };
  for (const Case& c : cases) {
    // A failed read leaves the object emptied, whatever it held before.
    this->info_.ChipType = "stale";
    this->info_.ProtocolSteps = {"stale"};
    EXPECT_EQ(this->ReadFrom(c.text), c.result) << c.text;
    if (c.result == 0) {
      EXPECT_EQ(this->info_.LastMessageId(), 5003);
      EXPECT_EQ(this->info_.ChipType, "");
      EXPECT_TRUE(this->info_.ProtocolSteps.empty());
      EXPECT_EQ(this->info_.SampleInfo.size(), 8u);
    } else {
      EXPECT_EQ(this->info_.ChipType, "X");
    }
  }
}

TYPED_TEST(ReadTest, VersionAcceptedUpToTheObjectsVersion) {
  this->info_.Version = 2;
  EXPECT_EQ(this->ReadFrom(Header("2")), 1);
  EXPECT_EQ(this->ReadFrom(Header("3")), 0);
}

TYPED_TEST(ReadTest, MissingFileFailsWithoutTouchingContents) {
  this->info_.ChipType = "kept";
  this->info_.SetName(this->dir_.File("absent.EXP"));
  EXPECT_EQ(this->info_.Read(), 0);
  EXPECT_EQ(this->info_.LastMessageId(), 5002);
  EXPECT_EQ(this->info_.ChipType, "kept");
  typename TypeParam::Info unnamed;
  EXPECT_EQ(unnamed.Read(), 0);
}

TYPED_TEST(ReadTest, DirectoryIsNotAFile) {
  this->info_.SetName(this->dir_.path().string());
  EXPECT_EQ(this->info_.Read(), 0);
}

TYPED_TEST(ReadTest, LongLinesAndOddBytesAreReadWhole) {
  std::string longValue(100000, 'v');
  std::string odd("a\0b\xff\r c", 8);
  ASSERT_EQ(this->ReadFrom(Header() + "[Sample Info]\nComments\t" + longValue +
                           "\nProject\t" + odd + "\r\n[Fluidics]\nProtocol\tP\n" +
                           std::string(5000, 's') + "\n"),
            1);
  EXPECT_EQ(this->info_.SampleInfo[5], longValue);
  EXPECT_EQ(this->info_.SampleInfo[4], odd);
  ASSERT_EQ(this->info_.ProtocolSteps.size(), 1u);
  EXPECT_EQ(this->info_.ProtocolSteps[0].size(), 5000u);
}

TYPED_TEST(ReadTest, LastLineWithoutLineEnd) {
  ASSERT_EQ(this->ReadFrom(Header() + "[Scanner]\nScanner Type\tlast"), 1);
  EXPECT_EQ(this->info_.ScannerType, "last");
}

}  // namespace
