// Pendrix81: the chip results reader that the object model binds on first use.
//
// CCHPFileData reads a chip result file (binary versions 1 to 13, doc/formats/chp.md) with
// Pendrix71's result reader (ChipClass::ReadChip, ReadChipHeaderOnly) and answers from that chip
// model on demand. Its header and the three result views are parts of the object, reached
// through GetHeader, GetExpressionResults, GetGenotypingResults and GetResequencingResults, and
// valid while it lives; what they answer follows the last successful read.
//
// How the chip model answers:
//   parameters      the algorithm parameters and the chip summary are split into name=value
//                   items at blanks, tabs, line breaks and semicolons (result files written by
//                   this kit separate items with semicolons); an item without "=" is dropped.
//                   GetAlgorithmParameters and GetSummaryParameters give the stored texts.
//   assay           from the first unit's type: 3 -> expression (0), 2 -> genotyping (1),
//                   1, 5, 6 -> custom sequence (2); anything else, or no unit -> 3.
//   analysis kind   statistical when the file is version 13 (whose expression record holds
//                   only the statistical fields) or names an algorithm version, else empirical;
//                   with comparison when the first expression unit carries comparison data.
//                   0 absolute empirical, 1 comparison empirical, 2 absolute statistical,
//                   3 comparison statistical.
//   statistical     Signal = value 1, DetectionPValue = value 3, NumPairs = pairs,
//                   NumPairsUsed = pairs used, Detection = call code; comparison:
//                   CommonPairs = c0, Change = b0, SignalLogRatio = c6, SignalLogRatioLow = c7,
//                   SignalLogRatioHigh = c10, ChangePValue = c13.
//   empirical       AverageDifference = value 1, LogAverage = value 2, PosNegRatio = value 3,
//                   Positive = stat 1, Negative = stat 2, PositiveFraction = stat 3 / 1000,
//                   NumPairs, NumPairsUsed, NumPairsUsedInAvgDiff = pairs, pairs used, pairs
//                   in average, AbsoluteCall = call code; comparison: Increase = c0,
//                   Decrease = c1, IncreaseRatio = c2, DecreaseRatio = c3, PositiveChange = c4,
//                   NegativeChange = c5, IncDecRatio = c6, DPosDNegDiffRatio = c7,
//                   LogAvgRatioChange = c8, AvgDiffChange = c10, FoldChange = c11,
//                   SortScore = c12, DifferenceCall = b0, BaselineIsAbsent = b1.
//   genotyping      Call = the unit's call code; Confidence, RAS1, RAS2, BB and no-call
//                   p-values = the unit's five further result values, read as floats (files
//                   that carry none answer 0).
//   resequencing    the composite sequence: reference bases, called bases, second calls and
//                   each position's unit; a position's score is the largest of its four
//                   percent-composition values.
//   backgrounds     a pair's background is its stored pair value; a QC cell's background its
//                   stored four-byte value read as a float. IsXDACompatibleFile answers 0, so
//                   callers ask GetBackgroundForNonXDA; GetBackgroundForXDA finds the pair or QC
//                   cell at a position by searching.
//
// Operations that can fail return 0 and leave their output zeroed. No exception leaves the
// library. The const operations may run concurrently on one loaded file; reads and Close may
// not run alongside anything else on the same object. Texts and pointers handed out stay valid
// until the next successful read or Close.
//
// Binding: every operation is virtual, so a caller that opens the library with dlopen needs only
// Pendrix81CreateCHPFileData; it destroys the object with delete. A caller that links the
// library may construct the class directly.
#ifndef TESK_OUTSIDE_PENDRIX81_INCLUDE_TESK_PENDRIX81_H_
#define TESK_OUTSIDE_PENDRIX81_INCLUDE_TESK_PENDRIX81_H_

#include <memory>

#include <tesk/pendrix81_export.h>

struct Pendrix81Data;  // the loaded results, shared by the parts of one CCHPFileData

// Assay of a results file.
enum VarolithAssayType {
  ExpressionAssayType = 0,
  GenotypingAssayType = 1,
  ResequencingAssayType = 2,
  UnknownAssayType = 3
};

// QC unit types are the numbers the result file gives them.
using VarolithQCUnitType = int;

// Kinds of expression analysis.
enum VarolithExpressionKind : unsigned char {
  AbsoluteEmpiricalKind = 0,
  ComparisonEmpiricalKind = 1,
  AbsoluteStatisticalKind = 2,
  ComparisonStatisticalKind = 3
};

// Expression records, one probe set each.
struct CAbsEmpProbeSetResult {
  float PositiveFraction = 0, LogAverage = 0, PosNegRatio = 0, AverageDifference = 0;
  unsigned short Positive = 0, Negative = 0, NumPairs = 0, NumPairsUsed = 0,
                 NumPairsUsedInAvgDiff = 0;
  unsigned char AbsoluteCall = 0;
};

struct CCompEmpProbeSetResult : CAbsEmpProbeSetResult {
  float IncreaseRatio = 0, DecreaseRatio = 0, IncDecRatio = 0, DPosDNegDiffRatio = 0,
        LogAvgRatioChange = 0, AvgDiffChange = 0, FoldChange = 0, SortScore = 0;
  unsigned short Increase = 0, Decrease = 0;
  short PositiveChange = 0, NegativeChange = 0;
  unsigned char BaselineIsAbsent = 0, DifferenceCall = 0;
};

struct CAbsStatProbeSetResult {
  float DetectionPValue = 0, Signal = 0;
  unsigned short NumPairs = 0, NumPairsUsed = 0;
  unsigned char Detection = 0;
};

struct CCompStatProbeSetResult : CAbsStatProbeSetResult {
  float ChangePValue = 0, SignalLogRatio = 0, SignalLogRatioLow = 0, SignalLogRatioHigh = 0;
  unsigned short CommonPairs = 0;
  unsigned char Change = 0;
};

// The genotyping record of one probe set.
struct CGenotypingProbeSetResult {
  unsigned char Call = 0;  // 6 AA, 7 BB, 8 AB; anything else no call
  float Confidence = 0, RAS1 = 0, RAS2 = 0, BBPValue = 0, NoCallPValue = 0;
};

// The composite sequence of a resequencing file. The pointers refer to the reader's data and
// stay valid until its next read or Close; each text holds NumBases bytes (base codes) and ends
// with a zero byte.
struct CResequencingResult {
  int NumBases = 0;
  const char* ReferenceBases = nullptr;
  const char* CalledBases = nullptr;
  const char* SecondCalls = nullptr;   // zero bytes where there is none
  const short* PositionUnits = nullptr;  // number of the unit covering each position
  const float* Scores = nullptr;
};

// One QC cell.
struct QCCellInfo {
  int x = 0, y = 0;
  float intensity = 0, stdev = 0, background = 0;
  unsigned short pixels = 0;
};

class TESK_PENDRIX81_API CCHPFileHeader {
 public:
  explicit CCHPFileHeader(const Pendrix81Data* data) : data_(data) {}
  virtual ~CCHPFileHeader() = default;
  CCHPFileHeader(const CCHPFileHeader&) = delete;
  CCHPFileHeader& operator=(const CCHPFileHeader&) = delete;

  virtual int GetVersion() const;  // result file version
  virtual int GetCols() const;
  virtual int GetRows() const;
  virtual int GetNumProbeSets() const;
  virtual int GetNumQCProbeSets() const;
  virtual VarolithAssayType GetAssayType() const;
  virtual const char* GetChipType() const;
  virtual const char* GetAlgorithmName() const;
  virtual const char* GetAlgorithmVersion() const;
  virtual const char* GetCellFile() const;  // as stored, a path of the analysing computer
  virtual const char* GetAlgorithmIdentifier() const;

  virtual const char* GetAlgorithmParameters() const;
  virtual int GetNumAlgorithmParameters() const;
  // Item i in file order; "" outside 0..count-1.
  virtual const char* GetAlgorithmParameterName(int i) const;
  virtual const char* GetAlgorithmParameterValue(int i) const;
  // The value of the first item so named; "" when there is none.
  virtual const char* GetAlgorithmParameter(const char* name) const;

  virtual const char* GetSummaryParameters() const;
  virtual int GetNumSummaryParameters() const;
  virtual const char* GetSummaryParameterName(int i) const;
  virtual const char* GetSummaryParameterValue(int i) const;
  virtual const char* GetSummaryParameter(const char* name) const;

 private:
  const Pendrix81Data* data_;
};

class TESK_PENDRIX81_API CExpressionResults {
 public:
  explicit CExpressionResults(const Pendrix81Data* data) : data_(data) {}
  virtual ~CExpressionResults() = default;
  CExpressionResults(const CExpressionResults&) = delete;
  CExpressionResults& operator=(const CExpressionResults&) = delete;

  virtual VarolithExpressionKind GetAnalysisKind() const;
  // The record of probe set `index`; 0 (and a zeroed record) when the probe set is no
  // expression unit. The comparison forms also answer 0, after filling the absolute part, when
  // the probe set carries no comparison data.
  virtual int GetAbsStatProbeSetResult(int index, CAbsStatProbeSetResult& out) const;
  virtual int GetCompStatProbeSetResult(int index, CCompStatProbeSetResult& out) const;
  virtual int GetAbsEmpProbeSetResult(int index, CAbsEmpProbeSetResult& out) const;
  virtual int GetCompEmpProbeSetResult(int index, CCompEmpProbeSetResult& out) const;

 private:
  const Pendrix81Data* data_;
};

class TESK_PENDRIX81_API CGenotypingResults {
 public:
  explicit CGenotypingResults(const Pendrix81Data* data) : data_(data) {}
  virtual ~CGenotypingResults() = default;
  CGenotypingResults(const CGenotypingResults&) = delete;
  CGenotypingResults& operator=(const CGenotypingResults&) = delete;

  // 0 (zeroed record) when the probe set is no genotyping unit or carries no result.
  virtual int GetResult(int index, CGenotypingProbeSetResult& out) const;

 private:
  const Pendrix81Data* data_;
};

class TESK_PENDRIX81_API CResequencingResults {
 public:
  explicit CResequencingResults(const Pendrix81Data* data) : data_(data) {}
  virtual ~CResequencingResults() = default;
  CResequencingResults(const CResequencingResults&) = delete;
  CResequencingResults& operator=(const CResequencingResults&) = delete;

  // 0 (NumBases 0) when the file holds no composite sequence.
  virtual int GetResult(CResequencingResult& out) const;

 private:
  const Pendrix81Data* data_;
};

class TESK_PENDRIX81_API CCHPFileData {
 public:
  CCHPFileData();
  virtual ~CCHPFileData();
  CCHPFileData(const CCHPFileData&) = delete;
  CCHPFileData& operator=(const CCHPFileData&) = delete;

  // File access. `options` is reserved: pass 0. A read replaces what was loaded only when it
  // succeeds; ReadHeader loads no results.
  virtual void SetFileName(const char* path);
  virtual const char* GetFileName() const;
  virtual int Exists() const;
  virtual int Read(int options = 0);
  virtual int ReadHeader(int options = 0);
  virtual void Close();
  // The reason the last read failed (the result reader's message); empty after a success.
  virtual const char* GetError() const;
  virtual int IsXDACompatibleFile() const;  // 0

  virtual const CCHPFileHeader& GetHeader() const;
  virtual const CExpressionResults& GetExpressionResults() const;
  virtual const CGenotypingResults& GetGenotypingResults() const;
  virtual const CResequencingResults& GetResequencingResults() const;

  // Cell `index` of the first QC unit of type `type`; 0 (zeroed cell) when there is none.
  virtual int GetQCCellInfo(VarolithQCUnitType type, int index, QCCellInfo& cell) const;
  // Background of the pair or QC cell at (x, y); 0 (and 0.0) when none lies there.
  virtual int GetBackgroundForXDA(int x, int y, float& background) const;
  // Background of pair `pair` of probe set `unit`; 0 (and 0.0) when there is no such pair.
  virtual int GetBackgroundForNonXDA(int unit, int pair, float& background) const;

 private:
  struct Parts;
  std::unique_ptr<Pendrix81Data> data_;
  std::unique_ptr<Parts> parts_;
};

// Creates a reader for a caller that bound the library at run time; null when out of memory.
extern "C" TESK_PENDRIX81_API CCHPFileData* Pendrix81CreateCHPFileData();

#endif  // TESK_OUTSIDE_PENDRIX81_INCLUDE_TESK_PENDRIX81_H_
