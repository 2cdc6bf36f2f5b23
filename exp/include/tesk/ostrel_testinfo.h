// CTestInfo, the class of both builds of the experiment information library. Include
// <tesk/ostrel7.h> or <tesk/ostrel6.h>, not this file: it is read once per build, with
// TESK_OSTREL_HEADER_BUILD set to 7 or 6, and declares that build's class in its own inline
// namespace, so both builds can be declared (and loaded) side by side while code still says
// CTestInfo.
// No include guard: read once per build.
#if !defined(TESK_OSTREL_HEADER_BUILD) || \
    (TESK_OSTREL_HEADER_BUILD != 6 && TESK_OSTREL_HEADER_BUILD != 7)
#error "include <tesk/ostrel7.h> or <tesk/ostrel6.h>"
#endif

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <tesk/ostrel_common.h>
#include <tesk/ostrel_export.h>

#if TESK_OSTREL_HEADER_BUILD == 7
struct IDispatch;  // a connection of the database server
#endif

TESK_OSTREL_BEGIN_API
#if TESK_OSTREL_HEADER_BUILD == 7
inline namespace ostrel7 {
#else
inline namespace ostrel6 {
#endif

#if TESK_OSTREL_HEADER_BUILD == 7
// The database server's sample record and experiment user behind an experiment, as a Read with
// a connection left them; they take no part in the file format.
struct CExperimentRecords {
  std::string SampleName;
  std::string ExperimentUser;
  std::string SampleChipType, SampleLot, SampleOperator, SampleType, SampleDescription, SampleUser;
  std::vector<std::pair<std::string, std::string>> SampleAttributes;  // name, value
};
#endif

// Experiment information of one hybridized array, read from and written to an experiment
// file (".EXP"): three sections of "label<TAB>value" lines after a two-line header (layout in
// doc/formats/exp.md).
//
// Contract: results 1/0, the string-table number of the last failure in LastMessageId (named
// IDS_* codes); a failed Read leaves the fields empty, a failed Write leaves the file on disk
// as it was; no exception leaves the library; one object per thread at a time.
//
// Every operation returns 1 for success and 0 for failure; the string-table number of the
// last failure is kept for diagnostics (LastMessageId, LastMessage).
//
// Reading:
//  - Lines end in LF or CR LF. A line may be of any length; nothing is truncated or split.
//  - A key selects the first label of its section that begins with the whole key ("Hyb"
//    selects "Hybridize Date"). An empty key selects nothing.
//  - After "Protocol", each fluidics line that selects no label is a protocol step, up to the
//    next line that selects a label or the next section header.
//  - A section header other than the three known ones makes lines up to the next known
//    header be ignored.
//  - "Hybridize Date" and "Scan Date" values are re-formatted as "%b %d %Y %I:%M%p" in the
//    C locale (e.g. "Mar 07 2026 02:05PM"). Accepted date texts (surrounding blanks ignored,
//    month and AM/PM names in any case, a comma may follow the day):
//        MM/DD/YY [hh:mm[:ss]] [AM|PM]        two-digit years 00..29 mean 20xx, 30..99 19xx
//        MM/DD/YYYY [hh:mm[:ss]] [AM|PM]
//        YYYY-MM-DD[ |T]hh:mm[:ss]            or YYYY-MM-DD alone
//        Mon DD YYYY [hh:mm[:ss]][ ][AM|PM]   (the written format; full month names too)
//    Hours run 0..23 without AM/PM and 1..12 with it; a missing time is midnight; seconds
//    are dropped. A value that is none of these (or an impossible date) is kept unchanged.
//
// Writing:
//  - Lines end in CR LF. Write builds the whole file in a temporary file beside the target
//    and renames it over the target only after every line was written, so a failing write
//    (full disk, I/O error) leaves any previous file untouched.
//  - A line longer than 299 characters is cut to 299 (never inside a UTF-8 character);
//    line breaks inside a value are written as blanks, so a value cannot start a new line.
//  - Protocol steps are written as they stand: a step that begins with '[' or whose text
//    before a tab begins a fluidics label reads back as a header or a label.
class CTestInfo {
 public:
  CTestInfo();

  // Stores the full path; Directory is the text before the last '/' or '\', Name the text
  // after it without a final ".EXP" (any case).
  void SetName(std::string_view path);

  // 0 when no path is set; otherwise 1 when the path exists.
  int Exists();

  int Read();
  int Write();

  // Deletes the file at FullPath.
  int Delete();

  // Empties every content text, the sample info (keeping 8 entries) and the protocol steps.
  // The path fields (Name, FullPath, Directory) and Version stay.
  void DeleteContents();

  // String-table number of the last failure (0 when the last operation succeeded), and its
  // text with the path filled in.
  int LastMessageId() const { return m_LastMessage; }
  std::string LastMessage() const;

  std::string Name;
  std::string FullPath;
  std::string Directory;
  // Version written, and the highest version Read accepts.
  std::int32_t Version;

  std::string ChipType;
  // Chip lot, operator, sample type, description, project, comments, solution type,
  // solution lot.
  std::vector<std::string> SampleInfo;

  std::vector<std::string> ProtocolSteps;
  std::string Protocol;
  std::string Station;
  std::string Module;
  std::string HybridizeDate;

  std::string PixelSize;
  std::string Filter;
  std::string ScanTemperature;
  std::string ScanDate;
  std::string ScannerID;
  std::string NumberOfScans;
  std::string ScannerType;

#if TESK_OSTREL_HEADER_BUILD == 7
  // Database mode. connection is an open connection of the database server (IConnection);
  // a null one answers 0. Exists: whether the server knows the experiment Name. Read: fills
  // the fields and Records from the server's experiment, protocol and sample records (an
  // unknown experiment leaves the object emptied and answers 0). WriteExperiment and
  // WriteSample store the fields as those records (the sample is Records.SampleName, else
  // Name).
  int Exists(IDispatch* connection);
  int Read(IDispatch* connection);
  int WriteExperiment(IDispatch* connection);
  int WriteSample(IDispatch* connection);
  // Takes the chip type and the sample info from Records (lot, operator, type, description,
  // then the attributes "Project", "Comments", "Solution Type", "Solution Lot"), then Write.
  int WriteEx();

  CExperimentRecords Records;
#endif

 private:
  int ReadFile();   // Read and Write without their exception guard
  int WriteFile();
  int Fail(int message);

  int m_LastMessage = 0;
};

// Fills labels with the eight sample-information display labels (string table 5008..5015);
// with withColon non-zero each ends in ":".
void GetSampleInfoLabels(std::vector<std::string>& labels, int withColon);

// Makes the library's string table available to the hosting program (OstrelLoadString).
// Safe to call more than once.
void OstrelDLLInit();

// The string-table text of id, or an empty text when this build has no such string.
std::string OstrelLoadString(int id);

}  // inline namespace
TESK_OSTREL_END_API
