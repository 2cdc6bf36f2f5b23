// TeskProbeSet and TeskProbePair: views over an expression or QC unit of a layout. Every value
// is read from the bound readers on each call; what does not apply answers its default.
#include <cfloat>
#include <climits>
#include <cstdlib>

#include "children.h"
#include "layout_views.h"
#include "probe.h"
#include "string_table.h"
#include "text.h"

namespace tarvex {

const ClassInfo CTeskProbeSet::kInfo{&CLSID_TeskProbeSet, &IID_ITeskProbeSet, "ITeskProbeSet", TESKPROBESET_PROGID};
const ClassInfo CTeskProbePair::kInfo{&CLSID_TeskProbePair, &IID_ITeskProbePair, "ITeskProbePair",
                                      TESKPROBEPAIR_PROGID};

namespace {

template <class T>
HRESULT Give(T* out, T value) noexcept {
  if (out == nullptr) return E_POINTER;
  *out = value;
  return S_OK;
}

constexpr FLOAT kNoFloat = FLT_MAX;  // 3.4028235e38
constexpr LONG kNoCount = INT_MAX;   // 2147483647

}  // namespace

// ---- TeskProbeSet ----------------------------------------------------------------------------

void CTeskProbeSet::Clear() noexcept {
  bound.reset();
  unit = -1;
  name.clear();
  kind = UNKNOWN_PROBESET_TYPE;
}

HRESULT CTeskProbeSet::get_Name(BSTR* pVal) noexcept { return HandOut(name, pVal); }

// Results values come from the bound expression results, fetched for the unit on every call; a
// layout-bound view (no results) answers every one of them with its default.
int CTeskProbeSet::ResultsKind() const {
  if (!HasResults() || src().results->GetHeader().GetAssayType() != ExpressionAssayType) return -1;
  return src().results->GetExpressionResults().GetAnalysisKind();
}

bool CTeskProbeSet::Emp(CAbsEmpProbeSetResult& r) const {
  const int k = ResultsKind();
  return (k == AbsoluteEmpiricalKind || k == ComparisonEmpiricalKind) &&
         src().results->GetExpressionResults().GetAbsEmpProbeSetResult(unit, r) != 0;
}
bool CTeskProbeSet::CompEmp(CCompEmpProbeSetResult& r) const {
  return ResultsKind() == ComparisonEmpiricalKind &&
         src().results->GetExpressionResults().GetCompEmpProbeSetResult(unit, r) != 0;
}
bool CTeskProbeSet::Stat(CAbsStatProbeSetResult& r) const {
  const int k = ResultsKind();
  return (k == AbsoluteStatisticalKind || k == ComparisonStatisticalKind) &&
         src().results->GetExpressionResults().GetAbsStatProbeSetResult(unit, r) != 0;
}
bool CTeskProbeSet::CompStat(CCompStatProbeSetResult& r) const {
  return ResultsKind() == ComparisonStatisticalKind &&
         src().results->GetExpressionResults().GetCompStatProbeSetResult(unit, r) != 0;
}

// One property of one record: the record's field when the record applies, else `fallback`.
#define TARVEX_RESULT(NAME, T, RECORD, FETCH, EXPR, FALLBACK) \
  HRESULT CTeskProbeSet::get_##NAME(T* pVal) noexcept {      \
    RECORD r;                                                 \
    return Give<T>(pVal, FETCH(r) ? static_cast<T>(EXPR) : static_cast<T>(FALLBACK)); \
  }

HRESULT CTeskProbeSet::get_CompDataExists(LONG* pVal) noexcept {
  const int k = ResultsKind();
  return Give<LONG>(pVal, k == ComparisonEmpiricalKind || k == ComparisonStatisticalKind ? 1 : 0);
}
HRESULT CTeskProbeSet::get_NumPairs(LONG* pVal) noexcept {
  LONG pairs = 0;
  CAbsEmpProbeSetResult e;
  CAbsStatProbeSetResult s;
  CCDFUnitInformation info;
  if (Emp(e))
    pairs = e.NumPairs;
  else if (Stat(s))
    pairs = s.NumPairs;
  else if (!HasResults() && kind != QC_PROBESET_TYPE && src().layout && src().layout->GetUnitInformation(unit, info))
    pairs = info.GetNumAtoms();
  return Give(pVal, pairs);
}
HRESULT CTeskProbeSet::get_NumPairsUsed(LONG* pVal) noexcept {
  CAbsEmpProbeSetResult e;
  CAbsStatProbeSetResult s;
  return Give<LONG>(pVal, Emp(e) ? e.NumPairsUsed : Stat(s) ? s.NumPairsUsed : 0);
}
TARVEX_RESULT(Signal, FLOAT, CAbsStatProbeSetResult, Stat, r.Signal, kNoFloat)
TARVEX_RESULT(Detection, TARVEX_ABS_CALL_TYPE, CAbsStatProbeSetResult, Stat, r.Detection, NO_ABS_CALL_TYPE)
TARVEX_RESULT(DetectionPValue, FLOAT, CAbsStatProbeSetResult, Stat, r.DetectionPValue, kNoFloat)
TARVEX_RESULT(CommonPairs, LONG, CCompStatProbeSetResult, CompStat, r.CommonPairs, 0)
TARVEX_RESULT(SignalLogRatio, FLOAT, CCompStatProbeSetResult, CompStat, r.SignalLogRatio, kNoFloat)
TARVEX_RESULT(SignalLogRatioLow, FLOAT, CCompStatProbeSetResult, CompStat, r.SignalLogRatioLow, kNoFloat)
TARVEX_RESULT(SignalLogRatioHigh, FLOAT, CCompStatProbeSetResult, CompStat, r.SignalLogRatioHigh, kNoFloat)
TARVEX_RESULT(Change, TARVEX_COMP_CALL_TYPE, CCompStatProbeSetResult, CompStat, r.Change, NO_COMP_CALL_TYPE)
TARVEX_RESULT(ChangePValue, FLOAT, CCompStatProbeSetResult, CompStat, r.ChangePValue, kNoFloat)
TARVEX_RESULT(Positive, LONG, CAbsEmpProbeSetResult, Emp, r.Positive, kNoCount)
TARVEX_RESULT(Negative, LONG, CAbsEmpProbeSetResult, Emp, r.Negative, kNoCount)
TARVEX_RESULT(NumPairsUsedInAvgDiff, LONG, CAbsEmpProbeSetResult, Emp, r.NumPairsUsedInAvgDiff, 0)
TARVEX_RESULT(PositiveFraction, FLOAT, CAbsEmpProbeSetResult, Emp, r.PositiveFraction, kNoFloat)
TARVEX_RESULT(LogAverage, FLOAT, CAbsEmpProbeSetResult, Emp, r.LogAverage, kNoFloat)
TARVEX_RESULT(PosNegRatio, FLOAT, CAbsEmpProbeSetResult, Emp, r.PosNegRatio, kNoFloat)
TARVEX_RESULT(AverageDifference, FLOAT, CAbsEmpProbeSetResult, Emp, r.AverageDifference, kNoFloat)
TARVEX_RESULT(AbsoluteCall, TARVEX_ABS_CALL_TYPE, CAbsEmpProbeSetResult, Emp, r.AbsoluteCall, NO_ABS_CALL_TYPE)
TARVEX_RESULT(Increase, LONG, CCompEmpProbeSetResult, CompEmp, r.Increase, kNoCount)
TARVEX_RESULT(Decrease, LONG, CCompEmpProbeSetResult, CompEmp, r.Decrease, kNoCount)
TARVEX_RESULT(IncreaseRatio, FLOAT, CCompEmpProbeSetResult, CompEmp, r.IncreaseRatio, kNoFloat)
TARVEX_RESULT(DecreaseRatio, FLOAT, CCompEmpProbeSetResult, CompEmp, r.DecreaseRatio, kNoFloat)
TARVEX_RESULT(PositiveChange, LONG, CCompEmpProbeSetResult, CompEmp, r.PositiveChange, kNoCount)
TARVEX_RESULT(NegativeChange, LONG, CCompEmpProbeSetResult, CompEmp, r.NegativeChange, kNoCount)
TARVEX_RESULT(IncDecRatio, FLOAT, CCompEmpProbeSetResult, CompEmp, r.IncDecRatio, kNoFloat)
TARVEX_RESULT(DPosDNegDiffRatio, FLOAT, CCompEmpProbeSetResult, CompEmp, r.DPosDNegDiffRatio, kNoFloat)
TARVEX_RESULT(LogAvgRatioChange, FLOAT, CCompEmpProbeSetResult, CompEmp, r.LogAvgRatioChange, kNoFloat)
TARVEX_RESULT(AvgDiffChange, FLOAT, CCompEmpProbeSetResult, CompEmp, r.AvgDiffChange, kNoFloat)
TARVEX_RESULT(BaselineIsAbsent, LONG, CCompEmpProbeSetResult, CompEmp, r.BaselineIsAbsent, 0)
TARVEX_RESULT(FoldChange, FLOAT, CCompEmpProbeSetResult, CompEmp, r.FoldChange, kNoFloat)
TARVEX_RESULT(SortScore, FLOAT, CCompEmpProbeSetResult, CompEmp, r.SortScore, kNoFloat)
TARVEX_RESULT(DifferenceCall, TARVEX_COMP_CALL_TYPE, CCompEmpProbeSetResult, CompEmp, r.DifferenceCall, NO_COMP_CALL_TYPE)
#undef TARVEX_RESULT

HRESULT CTeskProbeSet::get_NumQCProbes(LONG* pVal) noexcept {
  LONG cells = 0;
  CCDFQCUnitInformation info;
  if (kind == QC_PROBESET_TYPE && src().EnsureLayout() && src().layout->GetQCUnitInformation(unit, info))
    cells = info.GetNumCells();
  return Give(pVal, cells);
}

HRESULT CTeskProbeSet::get_QCType(TARVEX_QC_PROBESET_TYPE* pVal) noexcept {
  LONG type = 0;
  CCDFQCUnitInformation info;
  if (kind == QC_PROBESET_TYPE && src().EnsureLayout() && src().layout->GetQCUnitInformation(unit, info)) {
    const int t = info.GetQCType();
    if (t >= 1 && t <= 16) type = LONG{1} << (t - 1);
  }
  return Give(pVal, static_cast<TARVEX_QC_PROBESET_TYPE>(type));
}

HRESULT CTeskProbeSet::get_ProbeSetType(TARVEX_PROBESET_TYPE* pVal) noexcept { return Give(pVal, kind); }

void CTeskProbeSet::FillPair(CTeskProbePair& p, LONG index) const {
  p.bound = bound;
  p.probeSet = unit;
  p.pair = index;
}

HRESULT CTeskProbeSet::GetProbePair(LONG index, ITeskProbePair* probePair) noexcept {
  Member m(kInfo, "GetProbePair");
  return Guarded(m, [&] {
    if (probePair == nullptr) return m.Fail(IDS_PAIR_NULL, E_POINTER);
    CTeskProbePair* p = CTeskProbePair::FromInterface(probePair);
    if (p == nullptr) return m.Fail(IDS_FOREIGN_OBJECT, E_INVALIDARG);
    p->Clear();
    if (kind == QC_PROBESET_TYPE) return S_OK;
    if (!src().EnsureLayout()) return m.Fail(IDS_CDF_CANNOT_READ);
    CCDFUnitInformation info;
    if (!src().layout->GetUnitInformation(unit, info) || index < 0 || index >= info.GetNumAtoms())
      return m.Fail(IDS_INDEX_OUT_OF_RANGE);
    FillPair(*p, index);
    return S_OK;
  });
}

HRESULT CTeskProbeSet::GetProbePairs(VARIANT* probePairs) noexcept {
  Member m(kInfo, "GetProbePairs");
  return Guarded(m, [&] {
    if (probePairs == nullptr) return m.Fail(IDS_PAIR_ARRAY_CREATE, E_POINTER);
    VariantClear(probePairs);
    if (kind == QC_PROBESET_TYPE) return S_OK;
    if (!src().EnsureLayout()) return m.Fail(IDS_CDF_CANNOT_READ);
    CCDFUnitInformation info;
    const LONG count = src().layout->GetUnitInformation(unit, info) ? info.GetNumAtoms() : 0;
    return ReturnAll<CTeskProbePair>(m, probePairs, CLSID_TeskProbePair, count,
                                     {IDS_PAIR_ARRAY_CREATE, IDS_PAIR_ARRAY_PUT},
                                     [&](CTeskProbePair& p, LONG i) { FillPair(p, i); });
  });
}

HRESULT CTeskProbeSet::GetQCProbe(LONG index, ITeskProbe* probe) noexcept {
  Member m(kInfo, "GetQCProbe");
  return Guarded(m, [&] {
    if (probe == nullptr) return m.Fail(IDS_QC_PROBE_NULL, E_POINTER);
    CTeskProbe* p = CTeskProbe::FromInterface(probe);
    if (p == nullptr) return m.Fail(IDS_FOREIGN_OBJECT, E_INVALIDARG);
    p->Reset();
    if (kind != QC_PROBESET_TYPE) return S_OK;
    if (!src().EnsureLayout()) return m.Fail(IDS_CDF_CANNOT_READ);
    return FillQCProbe(m, src(), unit, index, *p);
  });
}

HRESULT CTeskProbeSet::GetQCProbes(VARIANT* probes) noexcept {
  Member m(kInfo, "GetQCProbes");
  return Guarded(m, [&] {
    if (probes == nullptr) return m.Fail(IDS_PROBE_ARRAY_CREATE, E_POINTER);
    VariantClear(probes);
    if (kind != QC_PROBESET_TYPE) return S_OK;
    if (!src().EnsureLayout()) return m.Fail(IDS_CDF_CANNOT_READ);
    CCDFQCUnitInformation info;
    const LONG count = src().layout->GetQCUnitInformation(unit, info) ? info.GetNumCells() : 0;
    return ReturnAll<CTeskProbe>(m, probes, CLSID_TeskProbe, count, {IDS_PROBE_ARRAY_CREATE, IDS_PROBE_ARRAY_PUT},
                                 [&](CTeskProbe& p, LONG i) { FillQCProbe(m, src(), unit, i, p); });
  });
}

// ---- TeskProbePair ---------------------------------------------------------------------------

void CTeskProbePair::Clear() noexcept {
  bound.reset();
  probeSet = pair = -1;
}

bool CTeskProbePair::Cell(int which, CCDFUnitBlockCellInformation& cell) const {
  if (!src().LayoutLoaded() || pair < 0) return false;
  CCDFUnitInformation unit;
  CCDFUnitBlockInformation block;
  if (!src().layout->GetUnitInformation(probeSet, unit) || !unit.GetBlockInformation(0, block)) return false;
  return block.GetCell(pair * block.GetNumCellsPerList() + which, cell) != 0;
}

bool CTeskProbePair::IntensityCell(int which, int& x, int& y) const {
  if (!src().intensity || !src().EnsureIntensity()) return false;
  CCDFUnitBlockCellInformation cell;
  if (!Cell(which, cell)) return false;
  x = cell.GetX();
  y = cell.GetY();
  return true;
}

// Intensities of results-bound pairs are scaled by the analysis's "SF" and then its "NF"
// parameter, each when present; without results the scale is 1.
float CTeskProbePair::Scale() const {
  float scale = 1.0f;
  if (!src().results) return scale;
  const CCHPFileHeader& header = src().results->GetHeader();
  if (const char* sf = header.GetAlgorithmParameter("SF"); sf != nullptr && *sf != '\0') scale = std::strtof(sf, nullptr);
  if (const char* nf = header.GetAlgorithmParameter("NF"); nf != nullptr && *nf != '\0') scale *= std::strtof(nf, nullptr);
  return scale;
}

namespace {

LONG PosOf(bool ok, int v) { return ok ? v : 0; }

}  // namespace

HRESULT CTeskProbePair::get_ProbeSetNumber(LONG* pVal) noexcept { return Give(pVal, probeSet); }
HRESULT CTeskProbePair::get_ProbePairNumber(LONG* pVal) noexcept { return Give(pVal, pair); }

HRESULT CTeskProbePair::get_UseProbePair(TARVEX_PROBEPAIR_USAGE_TYPE* pVal) noexcept {
  int x0, y0, x1, y1;
  bool masked = false;
  if (IntensityCell(0, x0, y0) && IntensityCell(1, x1, y1))
    masked = src().intensity->IsMasked(x0, y0) != 0 || src().intensity->IsMasked(x1, y1) != 0;
  return Give(pVal, masked ? MASKED_PROBEPAIR_USAGE_TYPE : USE_PROBEPAIR_USAGE_TYPE);
}

// Backgrounds come from results only: by the PM cell's position in the binary form, by unit and
// pair in the text form.
HRESULT CTeskProbePair::get_Background(FLOAT* pVal) noexcept {
  float background = 0.0f;
  if (const auto& results = src().results) {
    if (results->IsXDACompatibleFile() != 0) {
      LONG x = 0, y = 0;
      get_PMPosX(&x);
      get_PMPosY(&y);
      if (static_cast<ULONG>(x) != 4294967295u && static_cast<ULONG>(y) != 4294967295u)
        results->GetBackgroundForXDA(x, y, background);
    } else {
      results->GetBackgroundForNonXDA(probeSet, pair, background);
    }
  }
  return Give(pVal, background);
}

#define TARVEX_PAIR_POSITION(NAME, WHICH, AXIS)                    \
  HRESULT CTeskProbePair::get_##NAME(LONG* pVal) noexcept {        \
    CCDFUnitBlockCellInformation cell;                             \
    const bool ok = Cell(WHICH, cell);                             \
    return Give(pVal, PosOf(ok, cell.Get##AXIS()));                \
  }
TARVEX_PAIR_POSITION(PMPosX, 0, X)
TARVEX_PAIR_POSITION(PMPosY, 0, Y)
TARVEX_PAIR_POSITION(MMPosX, 1, X)
TARVEX_PAIR_POSITION(MMPosY, 1, Y)
#undef TARVEX_PAIR_POSITION

#define TARVEX_PAIR_CELL(NAME, WHICH, T, EXPR)                     \
  HRESULT CTeskProbePair::get_##NAME(T* pVal) noexcept {           \
    int x = 0, y = 0;                                              \
    T value{};                                                     \
    if (IntensityCell(WHICH, x, y)) value = static_cast<T>(EXPR);  \
    return Give(pVal, value);                                      \
  }
TARVEX_PAIR_CELL(PMIntensity, 0, FLOAT, src().intensity->GetIntensity(x, y) * Scale())
TARVEX_PAIR_CELL(MMIntensity, 1, FLOAT, src().intensity->GetIntensity(x, y) * Scale())
TARVEX_PAIR_CELL(PMStdDev, 0, FLOAT, src().intensity->GetStdv(x, y))
TARVEX_PAIR_CELL(MMStdDev, 1, FLOAT, src().intensity->GetStdv(x, y))
TARVEX_PAIR_CELL(PMPixels, 0, LONG, static_cast<unsigned short>(src().intensity->GetPixels(x, y)))
TARVEX_PAIR_CELL(MMPixels, 1, LONG, static_cast<unsigned short>(src().intensity->GetPixels(x, y)))
TARVEX_PAIR_CELL(PMOutlier, 0, LONG, src().intensity->IsOutlier(x, y))
TARVEX_PAIR_CELL(MMOutlier, 1, LONG, src().intensity->IsOutlier(x, y))
TARVEX_PAIR_CELL(PMMasked, 0, LONG, src().intensity->IsMasked(x, y))
TARVEX_PAIR_CELL(MMMasked, 1, LONG, src().intensity->IsMasked(x, y))
#undef TARVEX_PAIR_CELL

// ---- Dispatch tables and factories -----------------------------------------------------------

constexpr tesk::DispMember kProbeSetMembers[] = {
    tesk::DispPropGet<&ITeskProbeSet::get_Name>("Name", 1),
    tesk::DispPropGet<&ITeskProbeSet::get_CompDataExists>("CompDataExists", 2),
    tesk::DispPropGet<&ITeskProbeSet::get_NumPairs>("NumPairs", 3),
    tesk::DispPropGet<&ITeskProbeSet::get_NumPairsUsed>("NumPairsUsed", 4),
    tesk::DispPropGet<&ITeskProbeSet::get_Signal>("Signal", 5),
    tesk::DispPropGet<&ITeskProbeSet::get_Detection>("Detection", 6),
    tesk::DispPropGet<&ITeskProbeSet::get_DetectionPValue>("DetectionPValue", 7),
    tesk::DispPropGet<&ITeskProbeSet::get_CommonPairs>("CommonPairs", 8),
    tesk::DispPropGet<&ITeskProbeSet::get_SignalLogRatio>("SignalLogRatio", 9),
    tesk::DispPropGet<&ITeskProbeSet::get_SignalLogRatioLow>("SignalLogRatioLow", 10),
    tesk::DispPropGet<&ITeskProbeSet::get_SignalLogRatioHigh>("SignalLogRatioHigh", 11),
    tesk::DispPropGet<&ITeskProbeSet::get_Change>("Change", 12),
    tesk::DispPropGet<&ITeskProbeSet::get_ChangePValue>("ChangePValue", 13),
    tesk::DispPropGet<&ITeskProbeSet::get_Positive>("Positive", 14),
    tesk::DispPropGet<&ITeskProbeSet::get_Negative>("Negative", 15),
    tesk::DispPropGet<&ITeskProbeSet::get_NumPairsUsedInAvgDiff>("NumPairsUsedInAvgDiff", 16),
    tesk::DispPropGet<&ITeskProbeSet::get_PositiveFraction>("PositiveFraction", 17),
    tesk::DispPropGet<&ITeskProbeSet::get_LogAverage>("LogAverage", 18),
    tesk::DispPropGet<&ITeskProbeSet::get_PosNegRatio>("PosNegRatio", 19),
    tesk::DispPropGet<&ITeskProbeSet::get_AverageDifference>("AverageDifference", 20),
    tesk::DispPropGet<&ITeskProbeSet::get_AbsoluteCall>("AbsoluteCall", 21),
    tesk::DispPropGet<&ITeskProbeSet::get_Increase>("Increase", 22),
    tesk::DispPropGet<&ITeskProbeSet::get_Decrease>("Decrease", 23),
    tesk::DispPropGet<&ITeskProbeSet::get_IncreaseRatio>("IncreaseRatio", 24),
    tesk::DispPropGet<&ITeskProbeSet::get_DecreaseRatio>("DecreaseRatio", 25),
    tesk::DispPropGet<&ITeskProbeSet::get_PositiveChange>("PositiveChange", 26),
    tesk::DispPropGet<&ITeskProbeSet::get_NegativeChange>("NegativeChange", 27),
    tesk::DispPropGet<&ITeskProbeSet::get_IncDecRatio>("IncDecRatio", 28),
    tesk::DispPropGet<&ITeskProbeSet::get_DPosDNegDiffRatio>("DPosDNegDiffRatio", 29),
    tesk::DispPropGet<&ITeskProbeSet::get_LogAvgRatioChange>("LogAvgRatioChange", 30),
    tesk::DispPropGet<&ITeskProbeSet::get_AvgDiffChange>("AvgDiffChange", 31),
    tesk::DispPropGet<&ITeskProbeSet::get_BaselineIsAbsent>("BaselineIsAbsent", 32),
    tesk::DispPropGet<&ITeskProbeSet::get_FoldChange>("FoldChange", 33),
    tesk::DispPropGet<&ITeskProbeSet::get_SortScore>("SortScore", 34),
    tesk::DispPropGet<&ITeskProbeSet::get_DifferenceCall>("DifferenceCall", 35),
    tesk::DispPropGet<&ITeskProbeSet::get_NumQCProbes>("NumQCProbes", 36),
    tesk::DispPropGet<&ITeskProbeSet::get_QCType>("QCType", 37),
    tesk::DispPropGet<&ITeskProbeSet::get_ProbeSetType>("ProbeSetType", 38),
    tesk::DispMethod<&ITeskProbeSet::GetProbePair>("GetProbePair", 39),
    tesk::DispMethod<&ITeskProbeSet::GetQCProbe>("GetQCProbe", 40),
    tesk::DispMethod<&ITeskProbeSet::GetProbePairs>("GetProbePairs", 41),
    tesk::DispMethod<&ITeskProbeSet::GetQCProbes>("GetQCProbes", 42),
};
const tesk::DispTable kTeskProbeSetTable{"ITeskProbeSet", &IID_ITeskProbeSet, kProbeSetMembers};

constexpr tesk::DispMember kProbePairMembers[] = {
    tesk::DispPropGet<&ITeskProbePair::get_ProbeSetNumber>("ProbeSetNumber", 1),
    tesk::DispPropGet<&ITeskProbePair::get_ProbePairNumber>("ProbePairNumber", 2),
    tesk::DispPropGet<&ITeskProbePair::get_UseProbePair>("UseProbePair", 3),
    tesk::DispPropGet<&ITeskProbePair::get_Background>("Background", 4),
    tesk::DispPropGet<&ITeskProbePair::get_PMPosX>("PMPosX", 5),
    tesk::DispPropGet<&ITeskProbePair::get_PMPosY>("PMPosY", 6),
    tesk::DispPropGet<&ITeskProbePair::get_PMIntensity>("PMIntensity", 7),
    tesk::DispPropGet<&ITeskProbePair::get_PMStdDev>("PMStdDev", 8),
    tesk::DispPropGet<&ITeskProbePair::get_PMPixels>("PMPixels", 9),
    tesk::DispPropGet<&ITeskProbePair::get_PMOutlier>("PMOutlier", 10),
    tesk::DispPropGet<&ITeskProbePair::get_PMMasked>("PMMasked", 11),
    tesk::DispPropGet<&ITeskProbePair::get_MMPosX>("MMPosX", 12),
    tesk::DispPropGet<&ITeskProbePair::get_MMPosY>("MMPosY", 13),
    tesk::DispPropGet<&ITeskProbePair::get_MMIntensity>("MMIntensity", 14),
    tesk::DispPropGet<&ITeskProbePair::get_MMStdDev>("MMStdDev", 15),
    tesk::DispPropGet<&ITeskProbePair::get_MMPixels>("MMPixels", 16),
    tesk::DispPropGet<&ITeskProbePair::get_MMOutlier>("MMOutlier", 17),
    tesk::DispPropGet<&ITeskProbePair::get_MMMasked>("MMMasked", 18),
};
const tesk::DispTable kTeskProbePairTable{"ITeskProbePair", &IID_ITeskProbePair, kProbePairMembers};

HRESULT GetTeskProbeSetFactory(REFIID riid, void** ppv) { return tesk::ClassFactory<CTeskProbeSet>::Get(riid, ppv); }
HRESULT GetTeskProbePairFactory(REFIID riid, void** ppv) { return tesk::ClassFactory<CTeskProbePair>::Get(riid, ppv); }

}  // namespace tarvex
