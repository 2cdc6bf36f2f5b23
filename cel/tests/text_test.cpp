// The text encodings: versions 3 and 2, their writers and readers.
#include <gtest/gtest.h>

#include <string>

#include <tesk/testing/bytes.h>
#include <tesk/testing/scratch_dir.h>

#include "test_util.h"

using namespace parvel_test;
using tesk::testing::ReadFileBytes;
using tesk::testing::ScratchDir;

namespace {

std::string Crlf(std::string s) {
  std::string out;
  for (char c : s) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

// A small version 3 file with LF line ends; pieces may be replaced by the tests.
std::string Version3(const std::string& cells = "0\t0\t1.5\t0.5\t9\n1\t0\t2.5\t0.5\t9\n"
                                                "0\t1\t3.5\t0.5\t9\n1\t1\t4.5\t0.5\t9\n",
                     const std::string& masks = "NumberCells=1\nCellHeader=X\tY\n1\t0\n",
                     const std::string& tail = "\n[MODIFIED]\nNumberCells=0\n"
                                               "CellHeader=X\tY\tORIGMEAN\n",
                     const std::string& params = "P:1;CellMargin:3;OutlierHigh:1.5;"
                                                 "OutlierLow:1.004") {
  return "[CEL]\nVersion=3\n\n[HEADER]\nCols=2\nRows=2\nAlgorithm=Percentile x\n"
         "AlgorithmParameters=" + params + "\n\n[INTENSITY]\nNumberCells=4\n"
         "CellHeader=X\tY\tMEAN\tSTDV\tNPIXELS\n" + cells + "\n[MASKS]\n" + masks +
         "\n[OUTLIERS]\nNumberCells=0\nCellHeader=X\tY\n" + tail;
}

int ReadString(ParvelClass& cel, const std::string& bytes, bool header_only = false) {
  return cel.ReadMemory(bytes.data(), bytes.size(), header_only ? 1 : 0);
}

}  // namespace

TEST(Text3, ReadsSectionsHeaderAndParameters) {
  ParvelClass cel;
  ASSERT_EQ(ReadString(cel, Version3()), 1);
  EXPECT_EQ(cel.GetFileVersion(), 3);
  EXPECT_EQ(cel.GetCols(), 2);
  EXPECT_EQ(cel.GetRows(), 2);
  EXPECT_STREQ(cel.GetAlgorithm(), "Percentile");
  EXPECT_STREQ(cel.GetAlgParams(), "P=1 CellMargin=3 OutlierHigh=1.500 OutlierLow=1.004");
  EXPECT_EQ(cel.GetCellMargin(), 3);
  EXPECT_STREQ(cel.GetHeader(),
               "Cols=2\nRows=2\nAlgorithm=Percentile x\nAlgorithmParameters=P:1;CellMargin:3;"
               "OutlierHigh:1.5;OutlierLow:1.004\n");
  ASSERT_EQ(cel.GetNCells(), 4);
  EXPECT_EQ(cel.GetCellEntry(1, 1)->MEAN, 4.5f);
  EXPECT_EQ(cel.GetCellEntry(1, 0)->MASKED, 1);
  EXPECT_EQ(cel.GetNMasked(), 1);
  EXPECT_EQ(cel.GetNOutliers(), 0);
  EXPECT_EQ(cel.GetNSubGrids(), 0) << "no [SUBGRIDS] section";

  // CR LF line ends read the same; a Version line saying 4 still means version 3.
  ParvelClass crlf;
  std::string text = Crlf(Version3());
  text.replace(text.find("Version=3"), 9, "Version=4");
  ASSERT_EQ(ReadString(crlf, text), 1);
  EXPECT_EQ(crlf.GetFileVersion(), 3);
  EXPECT_STREQ(crlf.GetHeader(), cel.GetHeader());

  ParvelClass head;
  ASSERT_EQ(ReadString(head, Version3(), true), 1);
  EXPECT_EQ(head.GetNCells(), 0);
  EXPECT_STREQ(head.GetAlgorithm(), "Percentile");
}

TEST(Text3, ParameterLineVariants) {
  const std::string cells = "0 0 1 1 1\n1 0 1 1 1\n0 1 1 1 1\n1 1 1 1 1\n";
  ParvelClass a;
  ASSERT_EQ(ReadString(a, Version3(cells,
                                   "NumberCells=0\nCellHeader=X\tY\n",
                                   "\n[MODIFIED]\nNumberCells=0\nCellHeader=X\tY\tORIGMEAN\n",
                                   "A:1;CellMargin:3")),
            1);
  EXPECT_STREQ(a.GetAlgParams(), "A=1 CellMargin=3 OutlierHigh=-1.000 OutlierLow=-1.000");
  EXPECT_EQ(a.GetCellMargin(), 3);
  // Malformed values are rejected rather than guessed at.
  for (const char* params : {"A:1", "A:1;OutlierHigh:2;CellMargin:3", "A:1;CellMargin:x",
                             "A:1;CellMargin:3;Foo:1", "A:1;CellMargin:3;OutlierHigh:1;Bar:2"}) {
    ParvelClass b;
    EXPECT_EQ(ReadString(b, Version3(cells,
                                     "NumberCells=0\nCellHeader=X\tY\n",
                                     "\n[MODIFIED]\nNumberCells=0\n", params),
                         true),
              0)
        << params;
  }
}

TEST(Text3, StructuralFailuresAndLimits) {
  const std::string cells4 = "0\t0\t1.5\t0.5\t9\n1\t0\t2.5\t0.5\t9\n0\t1\t3.5\t0.5\t9\n1\t1\t4.5\t0.5\t9\n";
  const auto result = [](const std::string& text) {
    ParvelClass cel;
    return ReadString(cel, text);
  };
  EXPECT_EQ(result(Version3(cells4, "NumberCells=1\nCellHeader=X\tY\n1\t0\n", "")), 0)
      << "ends before [MODIFIED]";
  EXPECT_EQ(result(Version3(cells4, "NumberCells=2\nCellHeader=X\tY\n1\t0\n0\t0\n1\t1\n")), 0)
      << "three masks announced as two";
  EXPECT_EQ(result(Version3(cells4, "NumberCells=1\nCellHeader=X\tY\n2\t0\n")), 0)
      << "mask outside the grid";
  EXPECT_EQ(result(Version3(cells4, "NumberCells=1\nCellHeader=X\tY\n-1\t0\n")), 0);
  EXPECT_EQ(result(Version3(cells4.substr(0, cells4.size() - 14))), 0) << "3 of 4 cells";
  EXPECT_EQ(result(Version3(cells4 + "1\t1\t4.5\t0.5\t9\n")), 0) << "5 of 4 cells";
  EXPECT_EQ(result("[CEL]\nVersion=3\n"), 0);
  EXPECT_EQ(result("junk\n"), 0);
  EXPECT_EQ(result(""), 0);

  // A short line ends the cells; the masks are searched for behind it.
  EXPECT_EQ(result(Version3(cells4 + "ab\nsomething else\n")), 1);
  // Sub-grids: the count is checked; the rectangle is only stored (see stored_values_test).
  const std::string sub =
      "\n[MODIFIED]\nNumberCells=0\nCellHeader=X\tY\tORIGMEAN\n\n[SUBGRIDS]\nNumberSubGrids=1\n"
      "CellHeader=...\n1\t1\t1.0\t2.0\t3.0\t4.0\t5.0\t6.0\t7.0\t8.0\t0\t0\t2\t2\n";
  ParvelClass cel;
  ASSERT_EQ(ReadString(cel, Version3(cells4, "NumberCells=0\nCellHeader=X\tY\n", sub)), 1);
  SUBGRID g;
  ASSERT_EQ(cel.GetSubGrid(1, 1, &g), 1);
  EXPECT_EQ(g.LRPY, 8.0f);
  EXPECT_EQ(g.BOTTOMC, 2);
  std::string two = sub;
  two.replace(two.find("NumberSubGrids=1"), 16, "NumberSubGrids=2");
  EXPECT_EQ(result(Version3(cells4, "NumberCells=0\nCellHeader=X\tY\n", two)), 0);
}

TEST(Text3, LongLinesAreReadInPiecesOf1023Characters) {
  // 1023 characters of a line form one piece; the rest of the line is read as the next line,
  // so a key right behind them starts a line of its own.
  const std::string params = "AlgorithmParameters=P:1;CellMargin:3";
  std::string text = Version3();
  const std::size_t at = text.find("AlgorithmParameters=");
  text.replace(at, text.find('\n', at) - at, std::string(1023, 'z') + params);
  ParvelClass cel;
  ASSERT_EQ(ReadString(cel, text), 1);
  EXPECT_EQ(cel.GetCellMargin(), 3);
  const std::string header = cel.GetHeader();
  EXPECT_NE(header.find(std::string(1023, 'z') + params + "\n"), std::string::npos)
      << "pieces join without a break in the header text";
  // With 1022 characters in front, the key is inside a line and the header never ends.
  text = Version3();
  text.replace(at, text.find('\n', at) - at, std::string(1022, 'z') + params);
  ParvelClass inside;
  EXPECT_EQ(ReadString(inside, text), 0);

  // A cell line of 1022 characters plus its CR LF is one line (1023 with the line feed).
  const std::string wide = "0 0 1 1 1" + std::string(1022 - 9, ' ');
  ParvelClass ok;
  EXPECT_EQ(ReadString(ok, Version3(wide + "\r\n1 0 1 1 1\n0 1 1 1 1\n1 1 1 1 1\n")), 1);
  // One more blank: the line splits, and its second piece (just the line feed) ends the cells.
  ParvelClass split;
  EXPECT_EQ(ReadString(split, Version3(wide + " \n1 0 1 1 1\n0 1 1 1 1\n1 1 1 1 1\n")), 0);
}

TEST(Text3, WriterRoundTrip) {
  ScratchDir dir;
  ParvelClass cel;
  Fill(cel, 13, 9);
  CellEntryClass* e = cel.GetCellEntry(4, 5);
  e->MEAN = 123.46f;
  e->STDV = -0.04f;
  cel.SetName(dir.File("t3.CEL").c_str());
  const std::string header_before = cel.GetHeader();
  ASSERT_EQ(cel.WriteVersionFile(3), 1);
  EXPECT_EQ(cel.GetFileVersion(), 3);
  EXPECT_EQ(cel.GetHeader(), header_before) << "version 3 never changes the header";

  const std::string bytes = ReadFileBytes(dir.File("t3.CEL"));
  EXPECT_EQ(bytes.rfind("[CEL]\r\nVersion=3\r\n\r\n[HEADER]\r\nCols=13\r\n", 0), 0u);
  EXPECT_NE(bytes.find("\r\n  4\t  5\t123.5\t-0.0\t"), std::string::npos);
  EXPECT_EQ(bytes.find("\n\n"), std::string::npos) << "every line ends in CR LF";
  EXPECT_NE(bytes.find("[SUBGRIDS]\r\nNumberSubGrids=2\r\n"), std::string::npos);
  EXPECT_NE(bytes.find("\r\n1\t2\t200.5\t201.5\t202.5\t203.5\t204.5\t205.5\t206.5\t207.5\t6\t0\t13\t4\r\n"),
            std::string::npos);

  ParvelClass back;
  back.SetName(dir.File("t3.CEL").c_str());
  ASSERT_EQ(back.Read(), 1);
  EXPECT_EQ(back.GetNCells(), 13 * 9);
  EXPECT_EQ(back.GetCellEntry(4, 5)->MEAN, 123.5f);
  EXPECT_EQ(back.GetNMasked(), cel.GetNMasked());
  EXPECT_EQ(back.GetNOutliers(), cel.GetNOutliers());
  EXPECT_STREQ(back.GetChipType(), "Demo_Array");
  EXPECT_STREQ(back.GetAlgParams(),
               "Percentile=75 CellMargin=2 OutlierHigh=1.500 OutlierLow=1.004");
  for (int i = 0; i < back.GetNCells(); ++i) {
    const CellEntryClass& a = *cel.GetCell(i);
    const CellEntryClass& b = *back.GetCell(i);
    ASSERT_EQ(a.X, b.X);
    ASSERT_EQ(a.Y, b.Y);
    ASSERT_EQ(a.NPIXELS, b.NPIXELS);
    ASSERT_EQ(a.MASKED, b.MASKED);
    ASSERT_EQ(a.OUTLIER, b.OUTLIER);
    if (i != 5 * 13 + 4) {
      ASSERT_EQ(a.MEAN, b.MEAN);  // x.5 survives one decimal
    }
  }
  EXPECT_EQ(back.GetNSubGrids(), 2);
  SUBGRID g[2];
  cel.GetSubGrid(0, &g[0]);
  cel.GetSubGrid(1, &g[1]);
  EXPECT_EQ(back.AreSubGrids(g, 2), 1);
}

TEST(Text2, ReadWriteAndItsQuirks) {
  ScratchDir dir;
  const std::string v2 =
      "COLS/ROWS=2 2\r\nCORNERS=1 2, 3 4, 5 6, 7 8\r\nX\tY\tMEAN\tSTDV\tNPIXELS\r\n"
      "  0\t  0\t1.0\t0.1\t  9\r\n  1\t  0\t2.0\t0.1\t  9\r\n\r\n  1\t  1\t4.0\t0.1\t  9\r\n";
  ParvelClass cel;
  ASSERT_EQ(ReadString(cel, v2), 1);
  EXPECT_EQ(cel.GetFileVersion(), 2);
  EXPECT_EQ(cel.GetCols(), 2);
  EXPECT_EQ(cel.GetRows(), 2);
  EXPECT_STREQ(cel.GetHeader(), "COLS/ROWS=2 2\nCORNERS=1 2, 3 4, 5 6, 7 8\n");
  ASSERT_EQ(cel.GetNCells(), 4);
  // The blank line is a cell of zeros.
  EXPECT_EQ(cel.GetCell(2)->X, 0);
  EXPECT_EQ(cel.GetCell(2)->MEAN, 0.0f);
  EXPECT_EQ(cel.GetCellEntry(0, 0), cel.GetCell(0)) << "first entry at (0, 0)";
  long c[8];
  ASSERT_EQ(cel.GetCorners(c), 1);
  EXPECT_EQ(c[6], 7);

  ParvelClass head;
  ASSERT_EQ(ReadString(head, v2, true), 1);
  EXPECT_EQ(head.GetNCells(), 0);
  EXPECT_EQ(ReadString(head, v2 + "  1\t  1\t4.0\t0.1\t  9\r\n"), 0) << "5 lines for 4 cells";
  EXPECT_EQ(ReadString(head, "COLS/ROWS=2 2\r\n"), 0);

  // Writing: the caption joins the header each time; the file reads back.
  cel.SetName(dir.File("v2.CEL").c_str());
  ASSERT_EQ(cel.WriteVersionFile(2), 1);
  const std::string once = ReadFileBytes(dir.File("v2.CEL"));
  EXPECT_EQ(once.rfind("COLS/ROWS=2 2\r\nCORNERS=1 2, 3 4, 5 6, 7 8\r\nX\tY\tMEAN\tSTDV\tNPIXELS\r\n"
                       "  0\t  0\t1.0\t0.1\t  9\r\n", 0),
            0u);
  ParvelClass back;
  back.SetName(dir.File("v2.CEL").c_str());
  ASSERT_EQ(back.Read(), 1);
  EXPECT_EQ(back.GetNCells(), 4);
  ASSERT_EQ(cel.WriteVersionFile(2), 1);
  const std::string header = cel.GetHeader();
  EXPECT_NE(header.find("NPIXELS\nX\tY"), std::string::npos) << "caption twice";

  // A version 2 file written from a version 3 header cannot be read back.
  ParvelClass from3;
  Fill(from3, 3, 3);
  from3.SetName(dir.File("bad2.CEL").c_str());
  ASSERT_EQ(from3.WriteVersionFile(2), 1);
  ParvelClass again;
  again.SetName(dir.File("bad2.CEL").c_str());
  EXPECT_EQ(again.Read(), 0);
}

TEST(Versions, WriteVersionFileSelectsTheEncoding) {
  ScratchDir dir;
  ParvelClass cel;
  Fill(cel, 4, 4);
  cel.SetName(dir.File("v.CEL").c_str());
  EXPECT_EQ(cel.WriteVersionFile(7), 0);
  EXPECT_EQ(cel.GetFileVersion(), 7);
  EXPECT_TRUE(dir.List().empty()) << "nothing written";
  ASSERT_EQ(cel.Write(), 1);
  ParvelClass b;
  b.SetName(dir.File("v.CEL").c_str());
  ASSERT_EQ(b.Read(), 1);
  EXPECT_EQ(b.GetFileVersion(), 4) << "Write always writes version 4";
}

TEST(Text3, ReadHeaderOfLargeFiles) {
  // The header comes from the start of the file whether it is short or longer than the
  // first piece the reader looks at.
  ScratchDir dir;
  for (std::size_t filler : {std::size_t{10}, std::size_t{200000}}) {
    ParvelClass cel;
    Fill(cel, 120, 100);
    std::string header = cel.GetHeader();
    header.insert(header.find("Algorithm="), "Notes=" + std::string(filler, 'n') + "\n");
    cel.SetHeader(header.c_str());
    cel.SetName(dir.File("big3.CEL").c_str());
    ASSERT_EQ(cel.WriteVersionFile(3), 1);
    ParvelClass head;
    head.SetName(dir.File("big3.CEL").c_str());
    ASSERT_EQ(head.ReadHeader(), 1) << filler;
    EXPECT_EQ(head.GetCols(), 120);
    EXPECT_EQ(head.GetNCells(), 0);
    EXPECT_STREQ(head.GetHeader(), header.c_str());
    EXPECT_STREQ(head.GetChipType(), "Demo_Array");
    EXPECT_EQ(head.GetCellMargin(), 2);
  }
}
