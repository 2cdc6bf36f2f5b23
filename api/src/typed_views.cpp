// The typed probe-set views of a layout: genotype and custom-sequence sets with their groups
// (blocks) and lists (atoms of a block), control sets over QC units, and the custom-sequence
// composite. Groups and lists carry the references of the set that filled them.
#include <algorithm>

#include "children.h"
#include "layout_views.h"
#include "probe.h"
#include "string_table.h"
#include "text.h"

namespace tarvex {

const ClassInfo CTeskGenotypeProbeSet::kInfo{&CLSID_TeskGenotypeProbeSet, &IID_ITeskGenotypeProbeSet,
                                             "ITeskGenotypeProbeSet", TESKGENOTYPEPROBESET_PROGID};
const ClassInfo CTeskGenotypeProbeGroup::kInfo{&CLSID_TeskGenotypeProbeGroup, &IID_ITeskGenotypeProbeGroup,
                                               "ITeskGenotypeProbeGroup", TESKGENOTYPEPROBEGROUP_PROGID};
const ClassInfo CTeskGenotypeProbeList::kInfo{&CLSID_TeskGenotypeProbeList, &IID_ITeskGenotypeProbeList,
                                              "ITeskGenotypeProbeList", TESKGENOTYPEPROBELIST_PROGID};
const ClassInfo CTeskCustomSeqProbeSet::kInfo{&CLSID_TeskCustomSeqProbeSet, &IID_ITeskCustomSeqProbeSet,
                                              "ITeskCustomSeqProbeSet", TESKCUSTOMSEQPROBESET_PROGID};
const ClassInfo CTeskCustomSeqProbeGroup::kInfo{&CLSID_TeskCustomSeqProbeGroup, &IID_ITeskCustomSeqProbeGroup,
                                                "ITeskCustomSeqProbeGroup", TESKCUSTOMSEQPROBEGROUP_PROGID};
const ClassInfo CTeskCustomSeqProbeList::kInfo{&CLSID_TeskCustomSeqProbeList, &IID_ITeskCustomSeqProbeList,
                                               "ITeskCustomSeqProbeList", TESKCUSTOMSEQPROBELIST_PROGID};
const ClassInfo CTeskControlProbeSet::kInfo{&CLSID_TeskControlProbeSet, &IID_ITeskControlProbeSet,
                                            "ITeskControlProbeSet", TESKCONTROLPROBESET_PROGID};
const ClassInfo CTeskCustomSeqComposite::kInfo{&CLSID_TeskCustomSeqComposite, &IID_ITeskCustomSeqComposite,
                                               "ITeskCustomSeqComposite", TESKCUSTOMSEQCOMPOSITE_PROGID};

namespace {

template <class T>
HRESULT Give(T* out, T value) noexcept {
  if (out == nullptr) return E_POINTER;
  *out = value;
  return S_OK;
}

// Composite positions beyond this are not shown: a hostile atom number must not size a string.
constexpr LONG kMaxCompositeBases = 1 << 24;

// A getter that reads the layout: the value, or 5118 (E_POINTER) when the layout cannot be
// loaded. `where` names the class in the prefix where it is not the interface.
template <class View, class T, class Value>
HRESULT LayoutValue(const View& v, const char* member, T* out, Value&& value, const char* where = nullptr) {
  if (out == nullptr) return E_POINTER;
  *out = T{};
  Member m(View::kInfo, member, where);
  return Guarded(m, [&] {
    if (!v.src().EnsureLayout()) return m.Fail(IDS_NOT_LOADED, E_POINTER);
    *out = value();
    return S_OK;
  });
}

CCDFUnitInformation Unit(const ViewSources& src, LONG unit) {
  CCDFUnitInformation info;
  src.layout->GetUnitInformation(unit, info);
  return info;
}

CCDFUnitBlockInformation Block(const ViewSources& src, LONG unit, LONG group) {
  CCDFUnitBlockInformation block;
  Unit(src, unit).GetBlockInformation(group, block);
  return block;
}

// Fill-a-given-child: null -> 5117 (E_POINTER), a foreign object refused, the child cleared,
// the layout loaded (5118, E_POINTER), the index checked against count() (5025), then fill().
template <class Child, class I, class Count, class Fill>
HRESULT FillChild(const Member& m, const ViewSources& src, I* child, LONG index, Count&& count, Fill&& fill) {
  return Guarded(m, [&] {
    if (child == nullptr) return m.Fail(IDS_OBJECT_NULL, E_POINTER);
    Child* c = Child::FromInterface(child);
    if (c == nullptr) return m.Fail(IDS_FOREIGN_OBJECT, E_INVALIDARG);
    c->Clear();
    if (!src.EnsureLayout()) return m.Fail(IDS_NOT_LOADED, E_POINTER);
    if (index < 0 || index >= count()) return m.Fail(IDS_INDEX_OUT_OF_RANGE);
    fill(*c, index);
    return S_OK;
  });
}

// Return-all of children: the layout loaded (5118, E_POINTER), then one new child per index.
template <class Child, class Count, class Fill>
HRESULT AllChildren(const Member& m, const ViewSources& src, VARIANT* out, const CLSID& clsid, ArrayTexts texts,
                    Count&& count, Fill&& fill) {
  return Guarded(m, [&] {
    if (out == nullptr) return m.Fail(texts.cannotCreate, E_POINTER);
    VariantClear(out);
    if (!src.EnsureLayout()) return m.Fail(IDS_NOT_LOADED, E_POINTER);
    return ReturnAll<Child>(m, out, clsid, count(), texts, fill);
  });
}

// The probes of a list: cell `index` of the list is cell list * c + index of its block.
HRESULT ProbeOfList(const Member& m, const ViewSources& src, LONG unit, LONG group, LONG list, LONG index,
                    ITeskProbe* probe) {
  return Guarded(m, [&] {
    if (probe == nullptr) return m.Fail(IDS_PROBE_NULL, E_POINTER);
    CTeskProbe* p = CTeskProbe::FromInterface(probe);
    if (p == nullptr) return m.Fail(IDS_FOREIGN_OBJECT, E_INVALIDARG);
    p->Reset();
    if (!src.EnsureLayout() || (src.intensity && !src.EnsureIntensity())) return m.Fail(IDS_NOT_LOADED, E_POINTER);
    const CCDFUnitBlockInformation block = Block(src, unit, group);
    if (index < 0 || index >= block.GetNumCellsInList(list)) return m.Fail(IDS_INDEX_OUT_OF_RANGE);
    CCDFUnitBlockCellInformation cell;
    block.GetCell(list * block.GetNumCellsPerList() + index, cell);
    FillBlockProbe(src, cell, *p);
    return S_OK;
  });
}

HRESULT ProbesOfList(const Member& m, const ViewSources& src, LONG unit, LONG group, LONG list, VARIANT* out) {
  return Guarded(m, [&] {
    if (out == nullptr) return m.Fail(IDS_PROBE_ARRAY_CREATE, E_POINTER);
    VariantClear(out);
    if (!src.EnsureLayout() || (src.intensity && !src.EnsureIntensity())) return m.Fail(IDS_NOT_LOADED, E_POINTER);
    const CCDFUnitBlockInformation block = Block(src, unit, group);
    const int first = list * block.GetNumCellsPerList();
    return ReturnAll<CTeskProbe>(m, out, CLSID_TeskProbe, block.GetNumCellsInList(list),
                                 {IDS_PROBE_ARRAY_CREATE, IDS_PROBE_ARRAY_PUT}, [&](CTeskProbe& p, LONG i) {
                                   CCDFUnitBlockCellInformation cell;
                                   block.GetCell(first + i, cell);
                                   FillBlockProbe(src, cell, p);
                                 });
  });
}

constexpr ArrayTexts kGroupTexts{IDS_PROBE_ARRAY_CREATE, IDS_LIST_ARRAY_PUT};
constexpr ArrayTexts kProbeTexts{IDS_PROBE_ARRAY_CREATE, IDS_PROBE_ARRAY_PUT};

}  // namespace

// ---- Genotype views --------------------------------------------------------------------------

void CTeskGenotypeProbeSet::Clear() noexcept {
  bound.reset();
  unit = -1;
  name.clear();
}

HRESULT CTeskGenotypeProbeSet::get_SNPID(BSTR* pVal) noexcept { return HandOut(name, pVal); }
HRESULT CTeskGenotypeProbeSet::get_NumGroups(LONG* pVal) noexcept {
  return LayoutValue(*this, "get_NumGroups", pVal, [&] { return LONG{Unit(src(), unit).GetNumBlocks()}; },
                     "CTeskGenotypeProbeSet");
}
HRESULT CTeskGenotypeProbeSet::get_ProbeSetType(TARVEX_PROBESET_TYPE* pVal) noexcept {
  return Give(pVal, GENOTYPE_PROBESET_TYPE);
}
// Calls, confidences and p-values come from genotyping results only: a layout-bound view, or
// one over results of another assay, answers no call and 0.0.
namespace {

CGenotypingProbeSetResult GenotypeResult(const ViewSources& src, LONG unit) {
  CGenotypingProbeSetResult r;
  if (src.results && src.results->GetHeader().GetAssayType() == GenotypingAssayType &&
      src.results->GetGenotypingResults().GetResult(unit, r) == 0)
    r = CGenotypingProbeSetResult();
  return r;
}

}  // namespace

TARVEX_GENOTYPE_RESULT_TYPE GenotypeCall(unsigned char code) {
  switch (code) {
    case 6: return GENOTYPE_AA_CALL;
    case 8: return GENOTYPE_AB_CALL;
    case 7: return GENOTYPE_BB_CALL;
    default: return GENOTYPE_NO_CALL;
  }
}

HRESULT CTeskGenotypeProbeSet::get_Call(TARVEX_GENOTYPE_RESULT_TYPE* pVal) noexcept {
  return Give(pVal, GenotypeCall(GenotypeResult(src(), unit).Call));
}
HRESULT CTeskGenotypeProbeSet::get_Confidence(FLOAT* pVal) noexcept { return Give(pVal, GenotypeResult(src(), unit).Confidence); }
HRESULT CTeskGenotypeProbeSet::get_RAS1(FLOAT* pVal) noexcept { return Give(pVal, GenotypeResult(src(), unit).RAS1); }
HRESULT CTeskGenotypeProbeSet::get_RAS2(FLOAT* pVal) noexcept { return Give(pVal, GenotypeResult(src(), unit).RAS2); }
// The AA and AB p-values are the RAS1 and RAS2 fields.
HRESULT CTeskGenotypeProbeSet::get_AA_PValue(FLOAT* pVal) noexcept { return Give(pVal, GenotypeResult(src(), unit).RAS1); }
HRESULT CTeskGenotypeProbeSet::get_AB_PValue(FLOAT* pVal) noexcept { return Give(pVal, GenotypeResult(src(), unit).RAS2); }
HRESULT CTeskGenotypeProbeSet::get_BB_PValue(FLOAT* pVal) noexcept { return Give(pVal, GenotypeResult(src(), unit).BBPValue); }
HRESULT CTeskGenotypeProbeSet::get_NoCall_PValue(FLOAT* pVal) noexcept {
  return Give(pVal, GenotypeResult(src(), unit).NoCallPValue);
}

HRESULT CTeskGenotypeProbeSet::GetProbeGroupByIndex(LONG index, ITeskGenotypeProbeGroup* group) noexcept {
  Member m(kInfo, "GetProbeGroupByIndex");
  return FillChild<CTeskGenotypeProbeGroup>(
      m, src(), group, index, [&] { return Unit(src(), unit).GetNumBlocks(); },
      [&](CTeskGenotypeProbeGroup& g, LONG i) {
        g.bound = bound;
        g.unit = unit;
        g.group = i;
      });
}

HRESULT CTeskGenotypeProbeSet::GetProbeGroups(VARIANT* groups) noexcept {
  Member m(kInfo, "GetProbeGroups");
  return AllChildren<CTeskGenotypeProbeGroup>(
      m, src(), groups, CLSID_TeskGenotypeProbeGroup, kGroupTexts, [&] { return Unit(src(), unit).GetNumBlocks(); },
      [&](CTeskGenotypeProbeGroup& g, LONG i) {
        g.bound = bound;
        g.unit = unit;
        g.group = i;
      });
}

void CTeskGenotypeProbeGroup::Clear() noexcept {
  bound.reset();
  unit = group = -1;
}

HRESULT CTeskGenotypeProbeGroup::get_GroupIndex(LONG* pVal) noexcept { return Give(pVal, group); }
HRESULT CTeskGenotypeProbeGroup::get_NumLists(LONG* pVal) noexcept {
  return LayoutValue(*this, "get_NumLists", pVal, [&] { return LONG{Block(src(), unit, group).GetNumLists()}; },
                     "CTeskGenotypeProbeGroup");
}
HRESULT CTeskGenotypeProbeGroup::get_Direction(TARVEX_STRAND_DIRECTION_TYPE* pVal) noexcept {
  return LayoutValue(
      *this, "get_Direction", pVal,
      [&] { return Block(src(), unit, group).GetDirection() == 2 ? ANTISENSE_DIRECTION : SENSE_DIRECTION; },
      "CTeskGenotypeProbeGroup");
}

HRESULT CTeskGenotypeProbeGroup::GetProbeListByIndex(LONG index, ITeskGenotypeProbeList* list) noexcept {
  Member m(kInfo, "GetProbeListByIndex");
  return FillChild<CTeskGenotypeProbeList>(
      m, src(), list, index, [&] { return Block(src(), unit, group).GetNumLists(); },
      [&](CTeskGenotypeProbeList& l, LONG i) {
        l.bound = bound;
        l.unit = unit;
        l.group = group;
        l.list = i;
      });
}

HRESULT CTeskGenotypeProbeGroup::GetProbeLists(VARIANT* lists) noexcept {
  Member m(kInfo, "GetProbeLists");
  return AllChildren<CTeskGenotypeProbeList>(
      m, src(), lists, CLSID_TeskGenotypeProbeList, kGroupTexts, [&] { return Block(src(), unit, group).GetNumLists(); },
      [&](CTeskGenotypeProbeList& l, LONG i) {
        l.bound = bound;
        l.unit = unit;
        l.group = group;
        l.list = i;
      });
}

void CTeskGenotypeProbeList::Clear() noexcept {
  bound.reset();
  unit = group = list = -1;
}

HRESULT CTeskGenotypeProbeList::get_ListIndex(LONG* pVal) noexcept { return Give(pVal, list); }
HRESULT CTeskGenotypeProbeList::get_NumProbes(LONG* pVal) noexcept {
  return LayoutValue(*this, "get_NumProbes", pVal,
                     [&] { return LONG{Block(src(), unit, group).GetNumCellsInList(list)}; });
}
HRESULT CTeskGenotypeProbeList::GetProbeByIndex(LONG index, ITeskProbe* probe) noexcept {
  return ProbeOfList(Member(kInfo, "GetProbeByIndex"), src(), unit, group, list, index, probe);
}
HRESULT CTeskGenotypeProbeList::GetProbes(VARIANT* probes) noexcept {
  return ProbesOfList(Member(kInfo, "GetProbes"), src(), unit, group, list, probes);
}

// ---- Custom-sequence views -------------------------------------------------------------------

void CTeskCustomSeqProbeSet::Clear() noexcept {
  bound.reset();
  unit = -1;
}

HRESULT CTeskCustomSeqProbeSet::get_NumGroups(LONG* pVal) noexcept {
  return LayoutValue(*this, "get_NumGroups", pVal, [&] { return LONG{Unit(src(), unit).GetNumBlocks()}; });
}
HRESULT CTeskCustomSeqProbeSet::get_ProbeSetType(TARVEX_PROBESET_TYPE* pVal) noexcept {
  return Give(pVal, CUSTOMSEQ_PROBESET_TYPE);
}

HRESULT CTeskCustomSeqProbeSet::GetProbeGroupByIndex(LONG index, ITeskCustomSeqProbeGroup* group) noexcept {
  Member m(kInfo, "GetProbeGroupByIndex");
  return FillChild<CTeskCustomSeqProbeGroup>(
      m, src(), group, index, [&] { return Unit(src(), unit).GetNumBlocks(); },
      [&](CTeskCustomSeqProbeGroup& g, LONG i) {
        g.bound = bound;
        g.unit = unit;
        g.group = i;
      });
}

HRESULT CTeskCustomSeqProbeSet::GetProbeGroups(VARIANT* groups) noexcept {
  Member m(kInfo, "GetProbeGroups");
  return AllChildren<CTeskCustomSeqProbeGroup>(
      m, src(), groups, CLSID_TeskCustomSeqProbeGroup, kGroupTexts, [&] { return Unit(src(), unit).GetNumBlocks(); },
      [&](CTeskCustomSeqProbeGroup& g, LONG i) {
        g.bound = bound;
        g.unit = unit;
        g.group = i;
      });
}

HRESULT CTeskCustomSeqProbeSet::GetProbeListByReferenceIndex(LONG index, ITeskCustomSeqProbeList* list) noexcept {
  Member m(kInfo, "GetProbeListByReferenceIndex");
  int block = -1, at = -1;
  return FillChild<CTeskCustomSeqProbeList>(
      m, src(), list, 0, [&] { return Unit(src(), unit).FindListByReferenceIndex(index, block, at) ? 1 : 0; },
      [&](CTeskCustomSeqProbeList& l, LONG) {
        l.bound = bound;
        l.unit = unit;
        l.group = block;
        l.list = at;
      });
}

void CTeskCustomSeqProbeGroup::Clear() noexcept {
  bound.reset();
  unit = group = -1;
}

HRESULT CTeskCustomSeqProbeGroup::get_GroupIndex(LONG* pVal) noexcept { return Give(pVal, group); }
HRESULT CTeskCustomSeqProbeGroup::get_NumLists(LONG* pVal) noexcept {
  return LayoutValue(*this, "get_NumLists", pVal, [&] { return LONG{Block(src(), unit, group).GetNumLists()}; });
}
HRESULT CTeskCustomSeqProbeGroup::get_Name(BSTR* pVal) noexcept {
  if (pVal == nullptr) return E_POINTER;
  *pVal = nullptr;
  Member m(kInfo, "get_Name");
  return Guarded(m, [&] {
    if (!src().EnsureLayout()) return m.Fail(IDS_NOT_LOADED, E_POINTER);
    return HandOut(Block(src(), unit, group).GetName(), pVal);
  });
}

HRESULT CTeskCustomSeqProbeGroup::GetProbeListByIndex(LONG index, ITeskCustomSeqProbeList* list) noexcept {
  Member m(kInfo, "GetProbeListByIndex");
  return FillChild<CTeskCustomSeqProbeList>(
      m, src(), list, index, [&] { return Block(src(), unit, group).GetNumLists(); },
      [&](CTeskCustomSeqProbeList& l, LONG i) {
        l.bound = bound;
        l.unit = unit;
        l.group = group;
        l.list = i;
      });
}

HRESULT CTeskCustomSeqProbeGroup::GetProbeLists(VARIANT* lists) noexcept {
  Member m(kInfo, "GetProbeLists");
  return AllChildren<CTeskCustomSeqProbeList>(
      m, src(), lists, CLSID_TeskCustomSeqProbeList, kGroupTexts, [&] { return Block(src(), unit, group).GetNumLists(); },
      [&](CTeskCustomSeqProbeList& l, LONG i) {
        l.bound = bound;
        l.unit = unit;
        l.group = group;
        l.list = i;
      });
}

void CTeskCustomSeqProbeList::Clear() noexcept {
  bound.reset();
  unit = group = list = -1;
}

HRESULT CTeskCustomSeqProbeList::get_ListIndex(LONG* pVal) noexcept { return Give(pVal, list); }
HRESULT CTeskCustomSeqProbeList::get_GroupIndex(LONG* pVal) noexcept { return Give(pVal, group); }
HRESULT CTeskCustomSeqProbeList::get_NumProbes(LONG* pVal) noexcept {
  return LayoutValue(*this, "get_NumProbes", pVal,
                     [&] { return LONG{Block(src(), unit, group).GetNumCellsInList(list)}; });
}
HRESULT CTeskCustomSeqProbeList::get_ReferenceIndex(LONG* pVal) noexcept {
  return LayoutValue(*this, "get_ReferenceIndex", pVal,
                     [&] { return LONG{Block(src(), unit, group).GetReferenceIndex(list)}; });
}
HRESULT CTeskCustomSeqProbeList::get_SequencePosition(LONG* pVal) noexcept {
  return LayoutValue(*this, "get_SequencePosition", pVal,
                     [&] { return LONG{Block(src(), unit, group).GetSequencePosition(list)}; });
}
HRESULT CTeskCustomSeqProbeList::GetProbeByIndex(LONG index, ITeskProbe* probe) noexcept {
  return ProbeOfList(Member(kInfo, "GetProbeByIndex"), src(), unit, group, list, index, probe);
}
HRESULT CTeskCustomSeqProbeList::GetProbes(VARIANT* probes) noexcept {
  return ProbesOfList(Member(kInfo, "GetProbes"), src(), unit, group, list, probes);
}

// ---- Control probe set -----------------------------------------------------------------------

namespace {

// A control view needs its layout, and its intensities when a results object bound them.
bool ControlData(const ViewSources& src) {
  return src.EnsureLayout() && (!src.intensity || src.EnsureIntensity());
}

}  // namespace

void CTeskControlProbeSet::Clear() noexcept {
  bound.reset();
  qc = -1;
}

HRESULT CTeskControlProbeSet::get_NumQCProbes(LONG* pVal) noexcept {
  if (pVal == nullptr) return E_POINTER;
  *pVal = 0;
  Member m(kInfo, "get_NumQCProbes");
  return Guarded(m, [&] {
    if (!ControlData(src())) return m.Fail(IDS_NOT_LOADED, E_POINTER);
    CCDFQCUnitInformation info;
    if (src().layout->GetQCUnitInformation(qc, info)) *pVal = info.GetNumCells();
    return S_OK;
  });
}

HRESULT CTeskControlProbeSet::get_QCType(TARVEX_QC_PROBESET_TYPE* pVal) noexcept {
  if (pVal == nullptr) return E_POINTER;
  *pVal = UNKNOWN_QC_TYPE;
  Member m(kInfo, "get_QCType");
  return Guarded(m, [&] {
    if (!ControlData(src())) return m.Fail(IDS_NOT_LOADED, E_POINTER);
    CCDFQCUnitInformation info;
    if (src().layout->GetQCUnitInformation(qc, info)) {
      const int t = info.GetQCType();
      if (t >= 1 && t <= 16) *pVal = static_cast<TARVEX_QC_PROBESET_TYPE>(LONG{1} << (t - 1));
    }
    return S_OK;
  });
}

HRESULT CTeskControlProbeSet::get_ProbeSetType(TARVEX_PROBESET_TYPE* pVal) noexcept {
  return Give(pVal, QC_PROBESET_TYPE);
}

HRESULT CTeskControlProbeSet::GetQCProbe(LONG index, ITeskProbe* probe) noexcept {
  Member m(kInfo, "GetQCProbe");
  return Guarded(m, [&] {
    if (probe == nullptr) return m.Fail(IDS_QC_PROBE_NULL, E_POINTER);
    CTeskProbe* p = CTeskProbe::FromInterface(probe);
    if (p == nullptr) return m.Fail(IDS_FOREIGN_OBJECT, E_INVALIDARG);
    p->Reset();
    if (!ControlData(src())) return m.Fail(IDS_NOT_LOADED, E_POINTER);
    return FillQCProbe(m, src(), qc, index, *p);
  });
}

HRESULT CTeskControlProbeSet::GetQCProbes(VARIANT* probes) noexcept {
  Member m(kInfo, "GetQCProbes");
  return Guarded(m, [&] {
    if (probes == nullptr) return m.Fail(IDS_PROBE_ARRAY_CREATE, E_POINTER);
    VariantClear(probes);
    if (!ControlData(src())) return m.Fail(IDS_NOT_LOADED, E_POINTER);
    CCDFQCUnitInformation info;
    const LONG count = src().layout->GetQCUnitInformation(qc, info) ? info.GetNumCells() : 0;
    return ReturnAll<CTeskProbe>(m, probes, CLSID_TeskProbe, count, kProbeTexts,
                                 [&](CTeskProbe& p, LONG i) { FillQCProbe(m, src(), qc, i, p); });
  });
}

// ---- Composite -------------------------------------------------------------------------------

bool CTeskCustomSeqComposite::ReferenceBases(std::string& bases) const {
  bases.clear();
  if (!src().EnsureLayout()) return false;
  const CCDFFileData& layout = *src().layout;
  const int units = layout.GetNumUnits();
  for (int u = 0; u < units; ++u) {
    if (layout.GetUnitType(u) != CustomSeqUnitType) continue;
    CCDFUnitInformation unit;
    layout.GetUnitInformation(u, unit);
    for (int b = 0; b < unit.GetNumBlocks(); ++b) {
      CCDFUnitBlockInformation block;
      unit.GetBlockInformation(b, block);
      for (int l = 0; l < block.GetNumLists(); ++l) {
        const int position = block.GetReferenceIndex(l);
        if (position < 0 || position >= kMaxCompositeBases) continue;
        if (bases.size() <= static_cast<size_t>(position)) bases.resize(position + 1, 0);
        // The first list that covers a position gives its base.
        if (bases[position] == 0) bases[position] = block.GetReferenceBase(l);
      }
    }
  }
  std::replace(bases.begin(), bases.end(), '\0', 'n');
  return true;
}

HRESULT CTeskCustomSeqComposite::get_NumBases(LONG* pVal) noexcept {
  if (pVal == nullptr) return E_POINTER;
  *pVal = 0;
  Member m(kInfo, "get_NumBases");
  return Guarded(m, [&] {
    std::string bases;
    if (!ReferenceBases(bases)) return m.Fail(IDS_NOT_LOADED, E_POINTER);
    *pVal = static_cast<LONG>(bases.size());
    return S_OK;
  });
}

HRESULT CTeskCustomSeqComposite::GetReferenceBase(LONG index, BSTR* pVal) noexcept {
  if (pVal == nullptr) return E_POINTER;
  *pVal = nullptr;
  Member m(kInfo, "GetReferenceBase");
  return Guarded(m, [&] {
    std::string bases;
    if (!ReferenceBases(bases)) return m.Fail(IDS_NOT_LOADED, E_POINTER);
    if (index < 0 || static_cast<size_t>(index) >= bases.size()) return m.Fail(IDS_INDEX_OUT_OF_RANGE);
    return HandOut(std::string_view(bases).substr(index, 1), pVal);
  });
}

HRESULT CTeskCustomSeqComposite::GetReferenceBases(BSTR* pVal) noexcept {
  if (pVal == nullptr) return E_POINTER;
  *pVal = nullptr;
  Member m(kInfo, "GetReferenceBases");
  return Guarded(m, [&] {
    std::string bases;
    if (!ReferenceBases(bases)) return m.Fail(IDS_NOT_LOADED, E_POINTER);
    return HandOut(bases, pVal);
  });
}

// Base calls and their scores come from resequencing results only; bound to a layout alone, or
// to results of another assay, the composite has none to give.
namespace {

bool BaseCalls(const ViewSources& src, CResequencingResult& calls) {
  return src.results && src.results->GetHeader().GetAssayType() == ResequencingAssayType &&
         src.results->GetResequencingResults().GetResult(calls) != 0;
}

// The text of a base code: letters as they are, a two-base mixture as its ambiguity letter
// (upper or lower case as the code), anything else "n".
char BaseText(unsigned char code) {
  static constexpr struct {
    unsigned char a, b;
    char letter;
  } kMixtures[] = {{161, 167, 'M'}, {162, 168, 'm'}, {163, 174, 'R'}, {164, 175, 'r'}, {165, 180, 'W'},
                   {166, 181, 'w'}, {169, 176, 'S'}, {170, 177, 's'}, {171, 182, 'Y'}, {172, 184, 'y'},
                   {178, 185, 'K'}, {179, 186, 'k'}};
  if (code < 128) return static_cast<char>(code);
  for (const auto& m : kMixtures)
    if (code == m.a || code == m.b) return m.letter;
  return 'n';
}

// Hands the bound base calls to take(calls) for a member at one position: 5118 without
// resequencing results, 5025 for a position outside the called bases.
template <class Take>
HRESULT AtBase(const Member& m, const ViewSources& src, LONG index, Take&& take) {
  return Guarded(m, [&] {
    CResequencingResult calls;
    if (!BaseCalls(src, calls)) return m.Fail(IDS_NOT_LOADED, E_POINTER);
    if (index < 0 || index >= calls.NumBases) return m.Fail(IDS_INDEX_OUT_OF_RANGE);
    return take(calls);
  });
}

}  // namespace

HRESULT CTeskCustomSeqComposite::GetBaseCall(LONG index, BSTR* pVal) noexcept {
  if (pVal == nullptr) return E_POINTER;
  *pVal = nullptr;
  return AtBase(Member(kInfo, "GetBaseCall"), src(), index, [&](const CResequencingResult& calls) {
    const char text = BaseText(static_cast<unsigned char>(calls.CalledBases[index]));
    return HandOut(std::string_view(&text, 1), pVal);
  });
}

HRESULT CTeskCustomSeqComposite::GetBaseCalls(BSTR* pVal) noexcept {
  if (pVal == nullptr) return E_POINTER;
  *pVal = nullptr;
  Member m(kInfo, "GetBaseCalls");
  return Guarded(m, [&] {
    CResequencingResult calls;
    if (!BaseCalls(src(), calls)) return m.Fail(IDS_NOT_LOADED, E_POINTER);
    std::string text(static_cast<size_t>(calls.NumBases), ' ');
    for (int i = 0; i < calls.NumBases; ++i) text[i] = BaseText(static_cast<unsigned char>(calls.CalledBases[i]));
    return HandOut(text, pVal);
  });
}

HRESULT CTeskCustomSeqComposite::GetBaseCallScore(LONG index, FLOAT* pVal) noexcept {
  if (pVal == nullptr) return E_POINTER;
  *pVal = 0.0f;
  return AtBase(Member(kInfo, "GetBaseCallScore"), src(), index, [&](const CResequencingResult& calls) {
    *pVal = calls.Scores[index];
    return S_OK;
  });
}

HRESULT CTeskCustomSeqComposite::GetBaseCallScores(VARIANT* scores) noexcept {
  Member m(kInfo, "GetBaseCallScores");
  return Guarded(m, [&] {
    if (scores == nullptr) return m.Fail(IDS_SCORE_ARRAY_CREATE, E_POINTER);
    VariantClear(scores);
    CResequencingResult calls;
    if (!BaseCalls(src(), calls)) return m.Fail(IDS_NOT_LOADED, E_POINTER);
    SAFEARRAY* array = SafeArrayCreateVector(VT_R4, 0, static_cast<ULONG>(calls.NumBases));
    if (array == nullptr) return m.Fail(IDS_SCORE_ARRAY_CREATE);
    scores->vt = VT_ARRAY | VT_R4;
    scores->parray = array;
    float* data = nullptr;
    if (FAILED(SafeArrayAccessData(array, reinterpret_cast<void**>(&data)))) return m.Fail(IDS_SCORE_ARRAY_PUT);
    std::copy(calls.Scores, calls.Scores + calls.NumBases, data);
    SafeArrayUnaccessData(array);
    return S_OK;
  });
}

// ---- Dispatch tables and factories -----------------------------------------------------------

constexpr tesk::DispMember kGenotypeSetMembers[] = {
    tesk::DispPropGet<&ITeskGenotypeProbeSet::get_SNPID>("SNPID", 1),
    tesk::DispPropGet<&ITeskGenotypeProbeSet::get_NumGroups>("NumGroups", 2),
    tesk::DispPropGet<&ITeskGenotypeProbeSet::get_ProbeSetType>("ProbeSetType", 3),
    tesk::DispPropGet<&ITeskGenotypeProbeSet::get_Call>("Call", 4),
    tesk::DispPropGet<&ITeskGenotypeProbeSet::get_Confidence>("Confidence", 5),
    tesk::DispPropGet<&ITeskGenotypeProbeSet::get_RAS1>("RAS1", 6),
    tesk::DispPropGet<&ITeskGenotypeProbeSet::get_RAS2>("RAS2", 7),
    tesk::DispMethod<&ITeskGenotypeProbeSet::GetProbeGroupByIndex>("GetProbeGroupByIndex", 8),
    tesk::DispMethod<&ITeskGenotypeProbeSet::GetProbeGroups>("GetProbeGroups", 9),
    tesk::DispPropGet<&ITeskGenotypeProbeSet::get_AA_PValue>("AA_PValue", 10),
    tesk::DispPropGet<&ITeskGenotypeProbeSet::get_AB_PValue>("AB_PValue", 11),
    tesk::DispPropGet<&ITeskGenotypeProbeSet::get_BB_PValue>("BB_PValue", 12),
    tesk::DispPropGet<&ITeskGenotypeProbeSet::get_NoCall_PValue>("NoCall_PValue", 13),
};
const tesk::DispTable kTeskGenotypeProbeSetTable{"ITeskGenotypeProbeSet", &IID_ITeskGenotypeProbeSet,
                                                 kGenotypeSetMembers};

constexpr tesk::DispMember kGenotypeGroupMembers[] = {
    tesk::DispPropGet<&ITeskGenotypeProbeGroup::get_GroupIndex>("GroupIndex", 1),
    tesk::DispPropGet<&ITeskGenotypeProbeGroup::get_NumLists>("NumLists", 2),
    tesk::DispPropGet<&ITeskGenotypeProbeGroup::get_Direction>("Direction", 3),
    tesk::DispMethod<&ITeskGenotypeProbeGroup::GetProbeListByIndex>("GetProbeListByIndex", 4),
    tesk::DispMethod<&ITeskGenotypeProbeGroup::GetProbeLists>("GetProbeLists", 5),
};
const tesk::DispTable kTeskGenotypeProbeGroupTable{"ITeskGenotypeProbeGroup", &IID_ITeskGenotypeProbeGroup,
                                                   kGenotypeGroupMembers};

constexpr tesk::DispMember kGenotypeListMembers[] = {
    tesk::DispPropGet<&ITeskGenotypeProbeList::get_ListIndex>("ListIndex", 1),
    tesk::DispPropGet<&ITeskGenotypeProbeList::get_NumProbes>("NumProbes", 2),
    tesk::DispMethod<&ITeskGenotypeProbeList::GetProbeByIndex>("GetProbeByIndex", 3),
    tesk::DispMethod<&ITeskGenotypeProbeList::GetProbes>("GetProbes", 4),
};
const tesk::DispTable kTeskGenotypeProbeListTable{"ITeskGenotypeProbeList", &IID_ITeskGenotypeProbeList,
                                                  kGenotypeListMembers};

constexpr tesk::DispMember kCustomSeqSetMembers[] = {
    tesk::DispPropGet<&ITeskCustomSeqProbeSet::get_NumGroups>("NumGroups", 1),
    tesk::DispPropGet<&ITeskCustomSeqProbeSet::get_ProbeSetType>("ProbeSetType", 2),
    tesk::DispMethod<&ITeskCustomSeqProbeSet::GetProbeGroupByIndex>("GetProbeGroupByIndex", 3),
    tesk::DispMethod<&ITeskCustomSeqProbeSet::GetProbeGroups>("GetProbeGroups", 4),
    tesk::DispMethod<&ITeskCustomSeqProbeSet::GetProbeListByReferenceIndex>("GetProbeListByReferenceIndex", 5),
};
const tesk::DispTable kTeskCustomSeqProbeSetTable{"ITeskCustomSeqProbeSet", &IID_ITeskCustomSeqProbeSet,
                                                  kCustomSeqSetMembers};

constexpr tesk::DispMember kCustomSeqGroupMembers[] = {
    tesk::DispPropGet<&ITeskCustomSeqProbeGroup::get_GroupIndex>("GroupIndex", 1),
    tesk::DispPropGet<&ITeskCustomSeqProbeGroup::get_NumLists>("NumLists", 2),
    tesk::DispPropGet<&ITeskCustomSeqProbeGroup::get_Name>("Name", 3),
    tesk::DispMethod<&ITeskCustomSeqProbeGroup::GetProbeListByIndex>("GetProbeListByIndex", 4),
    tesk::DispMethod<&ITeskCustomSeqProbeGroup::GetProbeLists>("GetProbeLists", 5),
};
const tesk::DispTable kTeskCustomSeqProbeGroupTable{"ITeskCustomSeqProbeGroup", &IID_ITeskCustomSeqProbeGroup,
                                                    kCustomSeqGroupMembers};

constexpr tesk::DispMember kCustomSeqListMembers[] = {
    tesk::DispPropGet<&ITeskCustomSeqProbeList::get_ListIndex>("ListIndex", 1),
    tesk::DispPropGet<&ITeskCustomSeqProbeList::get_NumProbes>("NumProbes", 2),
    tesk::DispPropGet<&ITeskCustomSeqProbeList::get_ReferenceIndex>("ReferenceIndex", 3),
    tesk::DispPropGet<&ITeskCustomSeqProbeList::get_SequencePosition>("SequencePosition", 4),
    tesk::DispPropGet<&ITeskCustomSeqProbeList::get_GroupIndex>("GroupIndex", 5),
    tesk::DispMethod<&ITeskCustomSeqProbeList::GetProbeByIndex>("GetProbeByIndex", 6),
    tesk::DispMethod<&ITeskCustomSeqProbeList::GetProbes>("GetProbes", 7),
};
const tesk::DispTable kTeskCustomSeqProbeListTable{"ITeskCustomSeqProbeList", &IID_ITeskCustomSeqProbeList,
                                                   kCustomSeqListMembers};

constexpr tesk::DispMember kControlSetMembers[] = {
    tesk::DispPropGet<&ITeskControlProbeSet::get_NumQCProbes>("NumQCProbes", 1),
    tesk::DispPropGet<&ITeskControlProbeSet::get_QCType>("QCType", 2),
    tesk::DispPropGet<&ITeskControlProbeSet::get_ProbeSetType>("ProbeSetType", 3),
    tesk::DispMethod<&ITeskControlProbeSet::GetQCProbe>("GetQCProbe", 4),
    tesk::DispMethod<&ITeskControlProbeSet::GetQCProbes>("GetQCProbes", 5),
};
const tesk::DispTable kTeskControlProbeSetTable{"ITeskControlProbeSet", &IID_ITeskControlProbeSet,
                                                kControlSetMembers};

constexpr tesk::DispMember kCompositeMembers[] = {
    tesk::DispPropGet<&ITeskCustomSeqComposite::get_NumBases>("NumBases", 1),
    tesk::DispMethod<&ITeskCustomSeqComposite::GetBaseCall, tesk::kRetval>("GetBaseCall", 2),
    tesk::DispMethod<&ITeskCustomSeqComposite::GetBaseCalls, tesk::kRetval>("GetBaseCalls", 3),
    tesk::DispMethod<&ITeskCustomSeqComposite::GetReferenceBase, tesk::kRetval>("GetReferenceBase", 4),
    tesk::DispMethod<&ITeskCustomSeqComposite::GetReferenceBases, tesk::kRetval>("GetReferenceBases", 5),
    tesk::DispMethod<&ITeskCustomSeqComposite::GetBaseCallScore, tesk::kRetval>("GetBaseCallScore", 6),
    tesk::DispMethod<&ITeskCustomSeqComposite::GetBaseCallScores>("GetBaseCallScores", 7),
};
const tesk::DispTable kTeskCustomSeqCompositeTable{"ITeskCustomSeqComposite", &IID_ITeskCustomSeqComposite,
                                                   kCompositeMembers};

#define TARVEX_FACTORY(NAME) \
  HRESULT Get##NAME##Factory(REFIID riid, void** ppv) { return tesk::ClassFactory<C##NAME>::Get(riid, ppv); }
TARVEX_FACTORY(TeskGenotypeProbeSet)
TARVEX_FACTORY(TeskGenotypeProbeGroup)
TARVEX_FACTORY(TeskGenotypeProbeList)
TARVEX_FACTORY(TeskCustomSeqProbeSet)
TARVEX_FACTORY(TeskCustomSeqProbeGroup)
TARVEX_FACTORY(TeskCustomSeqProbeList)
TARVEX_FACTORY(TeskControlProbeSet)
TARVEX_FACTORY(TeskCustomSeqComposite)
#undef TARVEX_FACTORY

}  // namespace tarvex
