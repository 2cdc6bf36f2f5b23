// TeskProbeSet and TeskProbePair: views over an expression or QC unit of a layout. Every value
// is read from the bound readers on each call; what does not apply answers its default.
#include <cfloat>
#include <climits>

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

// A layout-bound view has no results: every results value is its default. A results object
// that binds src().results answers them from its records (see layout_views.h).
HRESULT CTeskProbeSet::get_CompDataExists(LONG* pVal) noexcept { return Give<LONG>(pVal, 0); }
HRESULT CTeskProbeSet::get_NumPairs(LONG* pVal) noexcept {
  LONG pairs = 0;
  CCDFUnitInformation info;
  if (!HasResults() && kind != QC_PROBESET_TYPE && src().layout && src().layout->GetUnitInformation(unit, info))
    pairs = info.GetNumAtoms();
  return Give(pVal, pairs);
}
HRESULT CTeskProbeSet::get_NumPairsUsed(LONG* pVal) noexcept { return Give<LONG>(pVal, 0); }
HRESULT CTeskProbeSet::get_Signal(FLOAT* pVal) noexcept { return Give(pVal, kNoFloat); }
HRESULT CTeskProbeSet::get_Detection(TARVEX_ABS_CALL_TYPE* pVal) noexcept { return Give(pVal, NO_ABS_CALL_TYPE); }
HRESULT CTeskProbeSet::get_DetectionPValue(FLOAT* pVal) noexcept { return Give(pVal, kNoFloat); }
HRESULT CTeskProbeSet::get_CommonPairs(LONG* pVal) noexcept { return Give<LONG>(pVal, 0); }
HRESULT CTeskProbeSet::get_SignalLogRatio(FLOAT* pVal) noexcept { return Give(pVal, kNoFloat); }
HRESULT CTeskProbeSet::get_SignalLogRatioLow(FLOAT* pVal) noexcept { return Give(pVal, kNoFloat); }
HRESULT CTeskProbeSet::get_SignalLogRatioHigh(FLOAT* pVal) noexcept { return Give(pVal, kNoFloat); }
HRESULT CTeskProbeSet::get_Change(TARVEX_COMP_CALL_TYPE* pVal) noexcept { return Give(pVal, NO_COMP_CALL_TYPE); }
HRESULT CTeskProbeSet::get_ChangePValue(FLOAT* pVal) noexcept { return Give(pVal, kNoFloat); }
HRESULT CTeskProbeSet::get_Positive(LONG* pVal) noexcept { return Give(pVal, kNoCount); }
HRESULT CTeskProbeSet::get_Negative(LONG* pVal) noexcept { return Give(pVal, kNoCount); }
HRESULT CTeskProbeSet::get_NumPairsUsedInAvgDiff(LONG* pVal) noexcept { return Give<LONG>(pVal, 0); }
HRESULT CTeskProbeSet::get_PositiveFraction(FLOAT* pVal) noexcept { return Give(pVal, kNoFloat); }
HRESULT CTeskProbeSet::get_LogAverage(FLOAT* pVal) noexcept { return Give(pVal, kNoFloat); }
HRESULT CTeskProbeSet::get_PosNegRatio(FLOAT* pVal) noexcept { return Give(pVal, kNoFloat); }
HRESULT CTeskProbeSet::get_AverageDifference(FLOAT* pVal) noexcept { return Give(pVal, kNoFloat); }
HRESULT CTeskProbeSet::get_AbsoluteCall(TARVEX_ABS_CALL_TYPE* pVal) noexcept { return Give(pVal, NO_ABS_CALL_TYPE); }
HRESULT CTeskProbeSet::get_Increase(LONG* pVal) noexcept { return Give(pVal, kNoCount); }
HRESULT CTeskProbeSet::get_Decrease(LONG* pVal) noexcept { return Give(pVal, kNoCount); }
HRESULT CTeskProbeSet::get_IncreaseRatio(FLOAT* pVal) noexcept { return Give(pVal, kNoFloat); }
HRESULT CTeskProbeSet::get_DecreaseRatio(FLOAT* pVal) noexcept { return Give(pVal, kNoFloat); }
HRESULT CTeskProbeSet::get_PositiveChange(LONG* pVal) noexcept { return Give(pVal, kNoCount); }
HRESULT CTeskProbeSet::get_NegativeChange(LONG* pVal) noexcept { return Give(pVal, kNoCount); }
HRESULT CTeskProbeSet::get_IncDecRatio(FLOAT* pVal) noexcept { return Give(pVal, kNoFloat); }
HRESULT CTeskProbeSet::get_DPosDNegDiffRatio(FLOAT* pVal) noexcept { return Give(pVal, kNoFloat); }
HRESULT CTeskProbeSet::get_LogAvgRatioChange(FLOAT* pVal) noexcept { return Give(pVal, kNoFloat); }
HRESULT CTeskProbeSet::get_AvgDiffChange(FLOAT* pVal) noexcept { return Give(pVal, kNoFloat); }
HRESULT CTeskProbeSet::get_BaselineIsAbsent(LONG* pVal) noexcept { return Give<LONG>(pVal, 0); }
HRESULT CTeskProbeSet::get_FoldChange(FLOAT* pVal) noexcept { return Give(pVal, kNoFloat); }
HRESULT CTeskProbeSet::get_SortScore(FLOAT* pVal) noexcept { return Give(pVal, kNoFloat); }
HRESULT CTeskProbeSet::get_DifferenceCall(TARVEX_COMP_CALL_TYPE* pVal) noexcept { return Give(pVal, NO_COMP_CALL_TYPE); }

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

// 1.0 without results: a results object scales by its "SF" and "NF" parameters.
float CTeskProbePair::Scale() const { return 1.0f; }

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

// Backgrounds come from results only.
HRESULT CTeskProbePair::get_Background(FLOAT* pVal) noexcept { return Give(pVal, 0.0f); }

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
