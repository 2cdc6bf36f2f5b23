// Writing experiment files: exact layout, round trips, and never losing the previous file.
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "ostrel_test_util.h"

namespace {

template <typename B>
void Fill(typename B::Info& t) {
  t.ChipType = "TeskDemo1164";
  t.SampleInfo = {"lot", "op", "st", "desc", "proj", "com", "solt", "soll"};
  t.Protocol = "prot";
  t.ProtocolSteps = {"Wash A: 10 cycles", "", "Stain\twith tab", "\tleading tab"};
  t.Station = "1";
  t.Module = "2";
  t.HybridizeDate = "Mar 07 2026 02:05PM";
  t.PixelSize = "3";
  t.Filter = "570";
  t.ScanTemperature = "";
  t.ScanDate = "Dec 08 2026 12:00AM";
  t.ScannerID = "sid";
  t.NumberOfScans = "1";
  t.ScannerType = "stype";
}

// Runs in a death-test child: each file may grow to 100 bytes only, so writing a larger file
// fails the way it does on a full disk. Exits 0 when Write reported exactly that.
template <typename B>
void WriteUnderFileSizeLimit(const std::string& path) {
  ::signal(SIGXFSZ, SIG_IGN);
  struct rlimit lim = {100, 100};
  ::setrlimit(RLIMIT_FSIZE, &lim);
  typename B::Info t;
  Fill<B>(t);
  t.SetName(path);
  int ok = t.Write();
  std::_Exit(ok == 0 && t.LastMessageId() == 5005 ? 0 : 1);
}

template <typename B>
class WriteTest : public ::testing::Test {
 protected:
  ScratchDir dir_;
  typename B::Info info_;
};
TYPED_TEST_SUITE(WriteTest, Builds);

TYPED_TEST(WriteTest, LayoutIsExact) {
  Fill<TypeParam>(this->info_);
  this->info_.SetName(this->dir_.File("a.EXP"));
  ASSERT_EQ(this->info_.Write(), 1);
  EXPECT_EQ(ReadText(this->dir_.File("a.EXP")),
            "Quillomere Varolith Experiment Information\r\nVersion\t1\r\n\r\n"
            "[Sample Info]\r\nChip Type\tTeskDemo1164\r\nChip Lot\tlot\r\nOperator\top\r\n"
            "Sample Type\tst\r\nDescription\tdesc\r\nProject\tproj\r\nComments\tcom\r\n"
            "Solution Type\tsolt\r\nSolution Lot\tsoll\r\n\r\n"
            "[Fluidics]\r\nProtocol\tprot\r\nWash A: 10 cycles\r\n\r\nStain\twith tab\r\n"
            "\tleading tab\r\nStation\t1\r\nModule\t2\r\nHybridize Date\tMar 07 2026 02:05PM\r\n"
            "\r\n[Scanner]\r\nPixel Size\t3\r\nFilter\t570\r\nScan Temperature\t\r\n"
            "Scan Date\tDec 08 2026 12:00AM\r\nScanner ID\tsid\r\nNumber of Scans\t1\r\n"
            "Scanner Type\tstype\r\n");
}

TYPED_TEST(WriteTest, RoundTripKeepsEveryField) {
  Fill<TypeParam>(this->info_);
  this->info_.SetName(this->dir_.File("r.EXP"));
  ASSERT_EQ(this->info_.Write(), 1);
  typename TypeParam::Info back;
  back.SetName(this->dir_.File("r.EXP"));
  ASSERT_EQ(back.Read(), 1);
  const auto& a = this->info_;
  EXPECT_EQ(back.ChipType, a.ChipType);
  EXPECT_EQ(back.SampleInfo, a.SampleInfo);
  EXPECT_EQ(back.Protocol, a.Protocol);
  EXPECT_EQ(back.ProtocolSteps, a.ProtocolSteps);
  EXPECT_EQ(back.Station, a.Station);
  EXPECT_EQ(back.Module, a.Module);
  EXPECT_EQ(back.HybridizeDate, a.HybridizeDate);
  EXPECT_EQ(back.PixelSize, a.PixelSize);
  EXPECT_EQ(back.Filter, a.Filter);
  EXPECT_EQ(back.ScanTemperature, a.ScanTemperature);
  EXPECT_EQ(back.ScanDate, a.ScanDate);
  EXPECT_EQ(back.ScannerID, a.ScannerID);
  EXPECT_EQ(back.NumberOfScans, a.NumberOfScans);
  EXPECT_EQ(back.ScannerType, a.ScannerType);
}

TYPED_TEST(WriteTest, ReplacesAndLeavesNoTemporaryFiles) {
  this->info_.SetName(this->dir_.File("x.EXP"));
  WriteText(this->dir_.File("x.EXP"), std::string(10000, '#'));
  ::chmod(this->dir_.File("x.EXP").c_str(), 0640);
  this->info_.ChipType = "new";
  ASSERT_EQ(this->info_.Write(), 1);
  EXPECT_EQ(ReadText(this->dir_.File("x.EXP")).find('#'), std::string::npos);
  struct stat st;
  ASSERT_EQ(::stat(this->dir_.File("x.EXP").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);  // a replaced file keeps its permissions
  int files = 0;
  for (const auto& e : std::filesystem::directory_iterator(this->dir_.path())) {
    (void)e;
    ++files;
  }
  EXPECT_EQ(files, 1);
}

TYPED_TEST(WriteTest, FailingWriteKeepsThePreviousFile) {
  const std::string path = this->dir_.File("keep.EXP");
  const std::string previous = Header() + "[Sample Info]\nChip Type\told\n";
  WriteText(path, previous);
  EXPECT_EXIT(WriteUnderFileSizeLimit<TypeParam>(path),
      ::testing::ExitedWithCode(0), "");
  EXPECT_EQ(ReadText(path), previous);
  int files = 0;
  for (const auto& e : std::filesystem::directory_iterator(this->dir_.path())) {
    (void)e;
    ++files;
  }
  EXPECT_EQ(files, 1);  // the temporary file is gone too
}

TYPED_TEST(WriteTest, UnwritableDirectoryKeepsThePreviousFile) {
  if (::geteuid() == 0) GTEST_SKIP() << "permissions do not bind root";
  const std::string path = this->dir_.File("ro.EXP");
  WriteText(path, "previous");
  ::chmod(this->dir_.path().c_str(), 0555);
  this->info_.SetName(path);
  EXPECT_EQ(this->info_.Write(), 0);
  EXPECT_EQ(this->info_.LastMessageId(), 5006);
  ::chmod(this->dir_.path().c_str(), 0755);
  EXPECT_EQ(ReadText(path), "previous");
}

TYPED_TEST(WriteTest, MissingDirectoryOrPathFails) {
  this->info_.SetName(this->dir_.File("no/such/dir.EXP"));
  EXPECT_EQ(this->info_.Write(), 0);
  EXPECT_EQ(this->info_.LastMessageId(), 5001);
  typename TypeParam::Info unnamed;
  EXPECT_EQ(unnamed.Write(), 0);
}

TYPED_TEST(WriteTest, LongLinesAreCutAtTheLimitAndBreaksBlanked) {
  const std::string path = this->dir_.File("long.EXP");
  this->info_.SetName(path);
  // "Comments\t" is 9 characters; the value is cut so the line holds 299.
  this->info_.SampleInfo[5] = std::string(1000, 'c');
  // A two-byte character straddling the limit is dropped whole.
  this->info_.SampleInfo[4] = std::string(290, 'p') + "\xC3\xA9xyz";
  this->info_.ProtocolSteps = {std::string(400, 's')};
  this->info_.Protocol = "line\r\nChip Type\tinjected";
  ASSERT_EQ(this->info_.Write(), 1);

  std::istringstream in(ReadText(path));
  std::string line;
  while (std::getline(in, line)) {
    ASSERT_FALSE(line.empty());
    ASSERT_EQ(line.back(), '\r');
    EXPECT_LE(line.size() - 1, 299u);
  }
  typename TypeParam::Info back;
  back.SetName(path);
  ASSERT_EQ(back.Read(), 1);
  EXPECT_EQ(back.SampleInfo[5], std::string(290, 'c'));
  EXPECT_EQ(back.SampleInfo[4], std::string(290, 'p'));
  EXPECT_EQ(back.ProtocolSteps, std::vector<std::string>{std::string(299, 's')});
  EXPECT_EQ(back.Protocol, "line  Chip Type\tinjected");
  EXPECT_EQ(back.ChipType, "");
}

TYPED_TEST(WriteTest, ShortSampleInfoIsWrittenAsEmptyEntries) {
  this->info_.SampleInfo = {"only lot"};
  this->info_.SetName(this->dir_.File("s.EXP"));
  ASSERT_EQ(this->info_.Write(), 1);
  typename TypeParam::Info back;
  back.SetName(this->dir_.File("s.EXP"));
  ASSERT_EQ(back.Read(), 1);
  EXPECT_EQ(back.SampleInfo, (std::vector<std::string>{"only lot", "", "", "", "", "", "", ""}));
}

TYPED_TEST(WriteTest, WritesThroughASymbolicLink) {
  const std::string real = this->dir_.File("real.EXP");
  const std::string link = this->dir_.File("link.EXP");
  WriteText(real, "old");
  std::filesystem::create_symlink(real, link);
  this->info_.SetName(link);
  this->info_.ChipType = "via link";
  ASSERT_EQ(this->info_.Write(), 1);
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_NE(ReadText(real).find("via link"), std::string::npos);
}

}  // namespace
