// The probe-set model: views over a chip layout (and, when a results object fills them, over its
// results and intensities).
//
// A view copies nothing. It holds shared references to the readers of the object that filled it
// and to that object's loaded flags, plus the indices it stands for, and asks the readers on
// every call. The flags are the filling object's own: when that object reads another file, or a
// view re-reads a layout that is not loaded, every view sees the new state. Holding the readers
// shared means a view used after its file object is gone still answers (from the last state)
// instead of touching freed memory; clients must not rely on those answers.
//
// Binding a view (what TeskCDFFile does, and what a results object does too): make one
// ViewSources record per file object, shared by every view it fills, and set
//   view.bound = that record, whose fields are
//     layout / layoutLoaded         the layout reader and the flag "1 = layout in memory"; a
//                                   view re-reads the layout (Read(0) of the reader, whose file
//                                   name its owner set) when the flag is not 1
//     intensity / intensityLoaded   the intensity reader and its flag (results objects)
//     results / resultsLoaded       the results reader and its flag (results objects)
//   and the unit index, name and kind of the view (see each class).
// The results-bound values (expression records, genotype calls, base calls, backgrounds and the
// intensity scale) are read through src().results; with no results reader bound every such
// value is its documented default, which is all a layout-bound view shows.
#ifndef TESK_API_SRC_LAYOUT_VIEWS_H_
#define TESK_API_SRC_LAYOUT_VIEWS_H_

#include <tesk/lindor10.h>
#include <tesk/parvel80.h>
#include <tesk/pendrix81.h>
#include <tesk/tarvex.h>

#include <memory>
#include <string>
#include <vector>

#include "children.h"
#include "errors.h"
#include "module.h"
#include "string_table.h"


namespace tarvex {

extern const tesk::DispTable kTeskCDFFileTable;
extern const tesk::DispTable kTeskProbeSetTable;
extern const tesk::DispTable kTeskProbePairTable;
extern const tesk::DispTable kTeskGenotypeProbeSetTable;
extern const tesk::DispTable kTeskGenotypeProbeGroupTable;
extern const tesk::DispTable kTeskGenotypeProbeListTable;
extern const tesk::DispTable kTeskCustomSeqProbeSetTable;
extern const tesk::DispTable kTeskCustomSeqProbeGroupTable;
extern const tesk::DispTable kTeskCustomSeqProbeListTable;
extern const tesk::DispTable kTeskControlProbeSetTable;
extern const tesk::DispTable kTeskCustomSeqCompositeTable;

HRESULT GetTeskCDFFileFactory(REFIID riid, void** ppv);
HRESULT GetTeskProbeSetFactory(REFIID riid, void** ppv);
HRESULT GetTeskProbePairFactory(REFIID riid, void** ppv);
HRESULT GetTeskGenotypeProbeSetFactory(REFIID riid, void** ppv);
HRESULT GetTeskGenotypeProbeGroupFactory(REFIID riid, void** ppv);
HRESULT GetTeskGenotypeProbeListFactory(REFIID riid, void** ppv);
HRESULT GetTeskCustomSeqProbeSetFactory(REFIID riid, void** ppv);
HRESULT GetTeskCustomSeqProbeGroupFactory(REFIID riid, void** ppv);
HRESULT GetTeskCustomSeqProbeListFactory(REFIID riid, void** ppv);
HRESULT GetTeskControlProbeSetFactory(REFIID riid, void** ppv);
HRESULT GetTeskCustomSeqCompositeFactory(REFIID riid, void** ppv);

}  // namespace tarvex

template <>
struct tesk::DispatchTableOf<ITeskCDFFile> {
  static const DispTable& Get() { return tarvex::kTeskCDFFileTable; }
};
#define TARVEX_VIEW_TABLE(I, T)                              \
  template <>                                                \
  struct tesk::DispatchTableOf<I> {                          \
    static const DispTable& Get() { return tarvex::T; }      \
  };
TARVEX_VIEW_TABLE(ITeskProbeSet, kTeskProbeSetTable)
TARVEX_VIEW_TABLE(ITeskProbePair, kTeskProbePairTable)
TARVEX_VIEW_TABLE(ITeskGenotypeProbeSet, kTeskGenotypeProbeSetTable)
TARVEX_VIEW_TABLE(ITeskGenotypeProbeGroup, kTeskGenotypeProbeGroupTable)
TARVEX_VIEW_TABLE(ITeskGenotypeProbeList, kTeskGenotypeProbeListTable)
TARVEX_VIEW_TABLE(ITeskCustomSeqProbeSet, kTeskCustomSeqProbeSetTable)
TARVEX_VIEW_TABLE(ITeskCustomSeqProbeGroup, kTeskCustomSeqProbeGroupTable)
TARVEX_VIEW_TABLE(ITeskCustomSeqProbeList, kTeskCustomSeqProbeListTable)
TARVEX_VIEW_TABLE(ITeskControlProbeSet, kTeskControlProbeSetTable)
TARVEX_VIEW_TABLE(ITeskCustomSeqComposite, kTeskCustomSeqCompositeTable)
#undef TARVEX_VIEW_TABLE

namespace tarvex {

// Texts of the views that the frame's table does not name.
enum ViewTextId : int {
  IDS_CDF_NOT_FOUND = 5110,       // "The CDF file does not exist"
  IDS_LIST_ARRAY_PUT = 5119,      // groups and lists put into their array
  IDS_SCORE_ARRAY_CREATE = 5122,  // base call scores
  IDS_SCORE_ARRAY_PUT = 5123,
  IDS_INPUT_NULL = 5126,          // "The input interface pointer should not be NULL"
};

// A loaded flag shared between a file object and the views it filled.
using SharedFlag = std::shared_ptr<LONG>;

// What a view refers to. Empty (all none) when cleared.
struct ViewSources {
  std::shared_ptr<CCHPFileData> results;
  std::shared_ptr<CCELFileData> intensity;
  std::shared_ptr<CCDFFileData> layout;
  SharedFlag resultsLoaded;
  SharedFlag intensityLoaded;
  SharedFlag layoutLoaded;

  // The layout is in memory (no re-read).
  bool LayoutLoaded() const { return layout && layoutLoaded && *layoutLoaded == 1; }
  // Re-reads the layout when its flag is not 1 and stores the result into the flag; true when
  // the layout is then in memory. False without layout data.
  bool EnsureLayout() const;
  // The same for the intensity file; false without intensity data.
  bool EnsureIntensity() const;
};

// The sources of a cleared view: none.
inline const ViewSources kUnbound{};

// Creates a Lindor10 layout reader, binding the library on first use; null when it cannot be
// bound.
std::unique_ptr<CCDFFileData> NewLayoutReader();
// The same for a Parvel80 intensity reader.
std::unique_ptr<CCELFileData> NewIntensityReader();

// The QC units of a loaded layout that the QC filter selects, in layout order: all of them for
// ALL_QC_TYPE, else those of a type t in 1..16 whose bit t-1 is set.
std::vector<int> ChooseQCUnits(const CCDFFileData& layout, LONG filterQC);

// The call of a genotyping result's code (6 AA, 8 AB, 7 BB, anything else no call).
TARVEX_GENOTYPE_RESULT_TYPE GenotypeCall(unsigned char code);

class CTeskProbe;
// Fills the (cleared) `probe` with cell `cell` of QC unit `qc` of the bound layout, as a QC
// probe (TeskProbeSet::GetQCProbe and TeskControlProbeSet::GetQCProbe); 5025 for a cell outside
// the unit. The layout must be loaded.
HRESULT FillQCProbe(const Member& m, const ViewSources& src, int qc, LONG cell, CTeskProbe& probe);
// Fills `probe` with a cell of a block as a regular probe, bound to the intensity cell at its
// position when intensities are bound (probe lists of genotype and custom-sequence views).
void FillBlockProbe(const ViewSources& src, const CCDFUnitBlockCellInformation& cell, CTeskProbe& probe);

// ---- Views ---------------------------------------------------------------------------------

// Each view class: a COM object with its dispatch table, `src` and its indices set directly by
// the object that fills it, Clear() back to the empty state, FromInterface() for objects of
// this library (null for any other object).
template <class D, class I>
class View : public tesk::ComClass<D, tesk::DispatchImpl<I>, tesk::SupportErrorInfoFor<I>> {
 public:
  static tesk::ComModule& Module() { return TarvexModule(); }
  static D* FromInterface(I* p) noexcept { return dynamic_cast<D*>(p); }

  // What the view refers to, shared with the object that filled it (and with every view that
  // object filled); none while the view is cleared. One pointer keeps views small.
  std::shared_ptr<const ViewSources> bound;
  const ViewSources& src() const { return bound ? *bound : kUnbound; }

 protected:
  ~View() override = default;
};

class CTeskProbeSet final : public View<CTeskProbeSet, ITeskProbeSet> {
 public:
  static const ClassInfo kInfo;
  void Clear() noexcept;

  LONG unit = -1;  // layout unit (analysis) or QC unit (QC); also the results index
  std::string name;
  TARVEX_PROBESET_TYPE kind = UNKNOWN_PROBESET_TYPE;

  HRESULT get_Name(BSTR* pVal) noexcept override;
  HRESULT get_CompDataExists(LONG* pVal) noexcept override;
  HRESULT get_NumPairs(LONG* pVal) noexcept override;
  HRESULT get_NumPairsUsed(LONG* pVal) noexcept override;
  HRESULT get_Signal(FLOAT* pVal) noexcept override;
  HRESULT get_Detection(TARVEX_ABS_CALL_TYPE* pVal) noexcept override;
  HRESULT get_DetectionPValue(FLOAT* pVal) noexcept override;
  HRESULT get_CommonPairs(LONG* pVal) noexcept override;
  HRESULT get_SignalLogRatio(FLOAT* pVal) noexcept override;
  HRESULT get_SignalLogRatioLow(FLOAT* pVal) noexcept override;
  HRESULT get_SignalLogRatioHigh(FLOAT* pVal) noexcept override;
  HRESULT get_Change(TARVEX_COMP_CALL_TYPE* pVal) noexcept override;
  HRESULT get_ChangePValue(FLOAT* pVal) noexcept override;
  HRESULT get_Positive(LONG* pVal) noexcept override;
  HRESULT get_Negative(LONG* pVal) noexcept override;
  HRESULT get_NumPairsUsedInAvgDiff(LONG* pVal) noexcept override;
  HRESULT get_PositiveFraction(FLOAT* pVal) noexcept override;
  HRESULT get_LogAverage(FLOAT* pVal) noexcept override;
  HRESULT get_PosNegRatio(FLOAT* pVal) noexcept override;
  HRESULT get_AverageDifference(FLOAT* pVal) noexcept override;
  HRESULT get_AbsoluteCall(TARVEX_ABS_CALL_TYPE* pVal) noexcept override;
  HRESULT get_Increase(LONG* pVal) noexcept override;
  HRESULT get_Decrease(LONG* pVal) noexcept override;
  HRESULT get_IncreaseRatio(FLOAT* pVal) noexcept override;
  HRESULT get_DecreaseRatio(FLOAT* pVal) noexcept override;
  HRESULT get_PositiveChange(LONG* pVal) noexcept override;
  HRESULT get_NegativeChange(LONG* pVal) noexcept override;
  HRESULT get_IncDecRatio(FLOAT* pVal) noexcept override;
  HRESULT get_DPosDNegDiffRatio(FLOAT* pVal) noexcept override;
  HRESULT get_LogAvgRatioChange(FLOAT* pVal) noexcept override;
  HRESULT get_AvgDiffChange(FLOAT* pVal) noexcept override;
  HRESULT get_BaselineIsAbsent(LONG* pVal) noexcept override;
  HRESULT get_FoldChange(FLOAT* pVal) noexcept override;
  HRESULT get_SortScore(FLOAT* pVal) noexcept override;
  HRESULT get_DifferenceCall(TARVEX_COMP_CALL_TYPE* pVal) noexcept override;
  HRESULT get_NumQCProbes(LONG* pVal) noexcept override;
  HRESULT get_QCType(TARVEX_QC_PROBESET_TYPE* pVal) noexcept override;
  HRESULT get_ProbeSetType(TARVEX_PROBESET_TYPE* pVal) noexcept override;
  HRESULT GetProbePair(LONG index, ITeskProbePair* probePair) noexcept override;
  HRESULT GetQCProbe(LONG index, ITeskProbe* probe) noexcept override;
  HRESULT GetProbePairs(VARIANT* probePairs) noexcept override;
  HRESULT GetQCProbes(VARIANT* probes) noexcept override;

 private:
  bool HasResults() const { return kind != QC_PROBESET_TYPE && src().results != nullptr; }
  // The analysis kind of the bound expression results (0..3), or -1 when no results apply.
  int ResultsKind() const;
  // The unit's record of each kind; false (the value then takes its default) when the results
  // are of another kind or hold no such record for the unit.
  bool Emp(CAbsEmpProbeSetResult& r) const;
  bool CompEmp(CCompEmpProbeSetResult& r) const;
  bool Stat(CAbsStatProbeSetResult& r) const;
  bool CompStat(CCompStatProbeSetResult& r) const;
  void FillPair(class CTeskProbePair& pair, LONG index) const;
};

class CTeskProbePair final : public View<CTeskProbePair, ITeskProbePair> {
 public:
  static const ClassInfo kInfo;
  void Clear() noexcept;

  LONG probeSet = -1;  // ProbeSetNumber: the unit index
  LONG pair = -1;      // ProbePairNumber

  HRESULT get_ProbeSetNumber(LONG* pVal) noexcept override;
  HRESULT get_ProbePairNumber(LONG* pVal) noexcept override;
  HRESULT get_UseProbePair(TARVEX_PROBEPAIR_USAGE_TYPE* pVal) noexcept override;
  HRESULT get_Background(FLOAT* pVal) noexcept override;
  HRESULT get_PMPosX(LONG* pVal) noexcept override;
  HRESULT get_PMPosY(LONG* pVal) noexcept override;
  HRESULT get_PMIntensity(FLOAT* pVal) noexcept override;
  HRESULT get_PMStdDev(FLOAT* pVal) noexcept override;
  HRESULT get_PMPixels(LONG* pVal) noexcept override;
  HRESULT get_PMOutlier(LONG* pVal) noexcept override;
  HRESULT get_PMMasked(LONG* pVal) noexcept override;
  HRESULT get_MMPosX(LONG* pVal) noexcept override;
  HRESULT get_MMPosY(LONG* pVal) noexcept override;
  HRESULT get_MMIntensity(FLOAT* pVal) noexcept override;
  HRESULT get_MMStdDev(FLOAT* pVal) noexcept override;
  HRESULT get_MMPixels(LONG* pVal) noexcept override;
  HRESULT get_MMOutlier(LONG* pVal) noexcept override;
  HRESULT get_MMMasked(LONG* pVal) noexcept override;

 private:
  // Cell 0 (PM) or 1 (MM) of the pair; false when the layout is not loaded or has no such cell.
  bool Cell(int which, CCDFUnitBlockCellInformation& cell) const;
  // The cell's position with intensities loaded; false without intensity data.
  bool IntensityCell(int which, int& x, int& y) const;
  float Scale() const;
};

// Genotype views: set (a genotyping unit), group (a block), list (an atom of the block).
class CTeskGenotypeProbeSet final : public View<CTeskGenotypeProbeSet, ITeskGenotypeProbeSet> {
 public:
  static const ClassInfo kInfo;
  void Clear() noexcept;

  LONG unit = -1;
  std::string name;  // the SNP identifier

  HRESULT get_SNPID(BSTR* pVal) noexcept override;
  HRESULT get_NumGroups(LONG* pVal) noexcept override;
  HRESULT get_ProbeSetType(TARVEX_PROBESET_TYPE* pVal) noexcept override;
  HRESULT get_Call(TARVEX_GENOTYPE_RESULT_TYPE* pVal) noexcept override;
  HRESULT get_Confidence(FLOAT* pVal) noexcept override;
  HRESULT get_RAS1(FLOAT* pVal) noexcept override;
  HRESULT get_RAS2(FLOAT* pVal) noexcept override;
  HRESULT GetProbeGroupByIndex(LONG index, ITeskGenotypeProbeGroup* group) noexcept override;
  HRESULT GetProbeGroups(VARIANT* groups) noexcept override;
  HRESULT get_AA_PValue(FLOAT* pVal) noexcept override;
  HRESULT get_AB_PValue(FLOAT* pVal) noexcept override;
  HRESULT get_BB_PValue(FLOAT* pVal) noexcept override;
  HRESULT get_NoCall_PValue(FLOAT* pVal) noexcept override;
};

class CTeskGenotypeProbeGroup final : public View<CTeskGenotypeProbeGroup, ITeskGenotypeProbeGroup> {
 public:
  static const ClassInfo kInfo;
  void Clear() noexcept;

  LONG unit = -1;
  LONG group = -1;

  HRESULT get_GroupIndex(LONG* pVal) noexcept override;
  HRESULT get_NumLists(LONG* pVal) noexcept override;
  HRESULT get_Direction(TARVEX_STRAND_DIRECTION_TYPE* pVal) noexcept override;
  HRESULT GetProbeListByIndex(LONG index, ITeskGenotypeProbeList* list) noexcept override;
  HRESULT GetProbeLists(VARIANT* lists) noexcept override;
};

class CTeskGenotypeProbeList final : public View<CTeskGenotypeProbeList, ITeskGenotypeProbeList> {
 public:
  static const ClassInfo kInfo;
  void Clear() noexcept;

  LONG unit = -1;
  LONG group = -1;
  LONG list = -1;

  HRESULT get_ListIndex(LONG* pVal) noexcept override;
  HRESULT get_NumProbes(LONG* pVal) noexcept override;
  HRESULT GetProbeByIndex(LONG index, ITeskProbe* probe) noexcept override;
  HRESULT GetProbes(VARIANT* probes) noexcept override;
};

// Custom-sequence views: set (a resequencing unit), group (a block), list (an atom).
class CTeskCustomSeqProbeSet final : public View<CTeskCustomSeqProbeSet, ITeskCustomSeqProbeSet> {
 public:
  static const ClassInfo kInfo;
  void Clear() noexcept;

  LONG unit = -1;

  HRESULT get_NumGroups(LONG* pVal) noexcept override;
  HRESULT get_ProbeSetType(TARVEX_PROBESET_TYPE* pVal) noexcept override;
  HRESULT GetProbeGroupByIndex(LONG index, ITeskCustomSeqProbeGroup* group) noexcept override;
  HRESULT GetProbeGroups(VARIANT* groups) noexcept override;
  HRESULT GetProbeListByReferenceIndex(LONG index, ITeskCustomSeqProbeList* list) noexcept override;
};

class CTeskCustomSeqProbeGroup final : public View<CTeskCustomSeqProbeGroup, ITeskCustomSeqProbeGroup> {
 public:
  static const ClassInfo kInfo;
  void Clear() noexcept;

  LONG unit = -1;
  LONG group = -1;

  HRESULT get_GroupIndex(LONG* pVal) noexcept override;
  HRESULT get_NumLists(LONG* pVal) noexcept override;
  HRESULT get_Name(BSTR* pVal) noexcept override;
  HRESULT GetProbeListByIndex(LONG index, ITeskCustomSeqProbeList* list) noexcept override;
  HRESULT GetProbeLists(VARIANT* lists) noexcept override;
};

class CTeskCustomSeqProbeList final : public View<CTeskCustomSeqProbeList, ITeskCustomSeqProbeList> {
 public:
  static const ClassInfo kInfo;
  void Clear() noexcept;

  LONG unit = -1;
  LONG group = -1;
  LONG list = -1;

  HRESULT get_ListIndex(LONG* pVal) noexcept override;
  HRESULT get_NumProbes(LONG* pVal) noexcept override;
  HRESULT get_ReferenceIndex(LONG* pVal) noexcept override;
  HRESULT get_SequencePosition(LONG* pVal) noexcept override;
  HRESULT get_GroupIndex(LONG* pVal) noexcept override;
  HRESULT GetProbeByIndex(LONG index, ITeskProbe* probe) noexcept override;
  HRESULT GetProbes(VARIANT* probes) noexcept override;
};

// A QC unit.
class CTeskControlProbeSet final : public View<CTeskControlProbeSet, ITeskControlProbeSet> {
 public:
  static const ClassInfo kInfo;
  void Clear() noexcept;

  LONG qc = -1;

  HRESULT get_NumQCProbes(LONG* pVal) noexcept override;
  HRESULT get_QCType(TARVEX_QC_PROBESET_TYPE* pVal) noexcept override;
  HRESULT get_ProbeSetType(TARVEX_PROBESET_TYPE* pVal) noexcept override;
  HRESULT GetQCProbe(LONG index, ITeskProbe* probe) noexcept override;
  HRESULT GetQCProbes(VARIANT* probes) noexcept override;
};

// The composite sequence of the layout's custom-sequence units. Position n is the atom whose
// number (reference index) is n; NumBases is one more than the largest such number, and a
// position that no custom-sequence list covers has the reference base "N". Base calls and
// scores come from resequencing results only.
class CTeskCustomSeqComposite final : public View<CTeskCustomSeqComposite, ITeskCustomSeqComposite> {
 public:
  static const ClassInfo kInfo;
  void Clear() noexcept { bound.reset(); }

  HRESULT get_NumBases(LONG* pVal) noexcept override;
  HRESULT GetBaseCall(LONG index, BSTR* pVal) noexcept override;
  HRESULT GetBaseCalls(BSTR* pVal) noexcept override;
  HRESULT GetReferenceBase(LONG index, BSTR* pVal) noexcept override;
  HRESULT GetReferenceBases(BSTR* pVal) noexcept override;
  HRESULT GetBaseCallScore(LONG index, FLOAT* pVal) noexcept override;
  HRESULT GetBaseCallScores(VARIANT* scores) noexcept override;

 private:
  // The reference bases of the bound layout, by position.
  bool ReferenceBases(std::string& bases) const;
};

// ---- Handing views out -----------------------------------------------------------------------

// The check of a view without further conditions.
inline HRESULT NoCheck() { return S_OK; }

// The check of a view at `index` of a list of `count`: 5025 outside it.
inline auto IndexIn(const Member& m, LONG index, LONG count) {
  return [&m, index, count] { return index >= 0 && index < count ? S_OK : m.Fail(IDS_INDEX_OUT_OF_RANGE); };
}

// Fills the client's view `given` (an object of this library's class V): null fails with
// `nullText`, an object of another implementation with E_INVALIDARG. The view is cleared first;
// then check() (S_OK or the member's failure) guards fill(V&), so a refused index leaves it
// cleared.
template <class V, class I, class Check, class Fill>
HRESULT HandOutView(const Member& m, I* given, Check&& check, Fill&& fill, int nullText = IDS_SET_NULL) {
  return Guarded(m, [&] {
    if (given == nullptr) return m.Fail(nullText, E_POINTER);
    V* view = V::FromInterface(given);
    if (view == nullptr) return m.Fail(IDS_FOREIGN_OBJECT, E_INVALIDARG);
    view->Clear();
    if (HRESULT hr = check(); FAILED(hr)) return hr;
    fill(*view);
    return S_OK;
  });
}

// Returns `count` new views of class V (made by `clsid`) in `out`, view i filled by fill(V&, i).
// No views leave `out` empty; otherwise check() (S_OK or the member's failure) runs first.
template <class V, class Check, class Fill>
HRESULT HandOutViews(const Member& m, VARIANT* out, const CLSID& clsid, LONG count, Check&& check, Fill&& fill) {
  return Guarded(m, [&] {
    if (out == nullptr) return m.Fail(IDS_SET_ARRAY_CREATE, E_POINTER);
    VariantClear(out);
    if (count == 0) return S_OK;
    if (HRESULT hr = check(); FAILED(hr)) return hr;
    return ReturnAll<V>(m, out, clsid, count, {IDS_SET_ARRAY_CREATE, IDS_SET_ARRAY_PUT}, fill);
  });
}

// GetProbeSet and GetProbeSets of the layout and results objects: probe set `index` of the
// `loaded` ones (5025 outside them), filled by fill(view, index).
template <class Fill>
HRESULT HandOutProbeSet(const ClassInfo& info, LONG index, LONG loaded, ITeskProbeSet* given, Fill&& fill) {
  Member m(info, "GetProbeSet");
  return HandOutView<CTeskProbeSet>(m, given, IndexIn(m, index, loaded),
                                    [&](CTeskProbeSet& v) { fill(v, index); });
}
template <class Fill>
HRESULT HandOutProbeSets(const ClassInfo& info, LONG loaded, VARIANT* out, Fill&& fill) {
  return HandOutViews<CTeskProbeSet>(Member(info, "GetProbeSets"), out, CLSID_TeskProbeSet, loaded, NoCheck, fill);
}

// GetProbeSetType of the layout and results objects: analysisType() at an analysis position,
// QC at a QC position, unknown elsewhere.
template <class AnalysisType>
HRESULT GiveProbeSetType(TARVEX_PROBESET_TYPE* pVal, bool analysis, bool qc, AnalysisType&& analysisType) {
  if (pVal == nullptr) return E_POINTER;
  *pVal = analysis ? analysisType() : qc ? QC_PROBESET_TYPE : UNKNOWN_PROBESET_TYPE;
  return S_OK;
}


}  // namespace tarvex

#endif  // TESK_API_SRC_LAYOUT_VIEWS_H_
