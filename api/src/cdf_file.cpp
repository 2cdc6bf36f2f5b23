// TeskCDFFile: a chip layout read through the Lindor10 reader, the probe sets chosen from it by
// the filters, and the views it fills.
#include <memory>
#include <vector>

#include "binding.h"
#include "children.h"
#include "dates.h"
#include "layout_views.h"
#include "string_table.h"
#include "text.h"
#include "tiling/probe_set_names.h"

#include <tesk/internal/file.h>

namespace tarvex {

class CTeskCDFFile final
    : public tesk::ComClass<CTeskCDFFile, tesk::DispatchImpl<ITeskCDFFile>, tesk::SupportErrorInfoFor<ITeskCDFFile>> {
 public:
  static tesk::ComModule& Module() { return TarvexModule(); }
  static const ClassInfo kInfo;

  ~CTeskCDFFile() override {
    if (layout_) layout_->Close();
  }

  HRESULT get_ChipType(BSTR* pVal) noexcept override { return HandOut(chipType_, pVal); }
  HRESULT put_ChipType(BSTR newVal) noexcept override {
    Member m(kInfo, "put_ChipType");
    return Guarded(m, [&] {
      chipType_ = Trim(tesk::FromBstr(newVal));
      BuildFullPath();
      return S_OK;
    });
  }
  HRESULT get_LibPath(BSTR* pVal) noexcept override { return HandOut(libPath_, pVal); }
  HRESULT put_LibPath(BSTR newVal) noexcept override {
    Member m(kInfo, "put_LibPath");
    return Guarded(m, [&] {
      std::string v = Trim(tesk::FromBstr(newVal));
      if (v.empty()) return m.Fail(IDS_LIB_PATH_EMPTY);
      libPath_ = std::move(v);
      BuildFullPath();
      return S_OK;
    });
  }
  HRESULT get_FullPathName(BSTR* pVal) noexcept override { return HandOut(fullPath_, pVal); }
  // The file system keeps no creation time everywhere; the last change of the file stands in.
  HRESULT get_Date(BSTR* pVal) noexcept override {
    if (pVal == nullptr) return E_POINTER;
    *pVal = nullptr;
    Member m(kInfo, "get_Date");
    return Guarded(m, [&] { return HandOut(FileDateText(fullPath_).value_or(""), pVal); });
  }
  HRESULT get_Rows(LONG* pVal) noexcept override { return Header(pVal, [&] { return layout_->GetRows() & 0xFFFF; }); }
  HRESULT get_Cols(LONG* pVal) noexcept override { return Header(pVal, [&] { return layout_->GetCols() & 0xFFFF; }); }
  HRESULT get_NumProbeSets(LONG* pVal) noexcept override { return Header(pVal, [&] { return layout_->GetNumUnits(); }); }
  HRESULT get_NumQCProbeSets(LONG* pVal) noexcept override {
    return Header(pVal, [&] { return layout_->GetNumQCUnits(); });
  }
  HRESULT get_FilterQCType(TARVEX_QC_PROBESET_TYPE* pVal) noexcept override { return Give(pVal, filterQC_); }
  HRESULT put_FilterQCType(TARVEX_QC_PROBESET_TYPE newVal) noexcept override {
    filterQC_ = newVal;
    return S_OK;
  }
  HRESULT get_FilterProbeSet(TARVEX_FILTER_PROBESET_TYPE* pVal) noexcept override { return Give(pVal, filter_); }
  HRESULT put_FilterProbeSet(TARVEX_FILTER_PROBESET_TYPE newVal) noexcept override {
    filter_ = newVal;
    return S_OK;
  }
  HRESULT get_NumProbeSetsLoaded(LONG* pVal) noexcept override { return Give(pVal, Loaded()); }

  HRESULT Exists(LONG* pVal) noexcept override {
    if (pVal == nullptr) return E_POINTER;
    *pVal = 0;
    Member m(kInfo, "Exists");
    return Guarded(m, [&] {
      *pVal = !fullPath_.empty() && tesk::internal::Exists(fullPath_) ? 1 : 0;
      return S_OK;
    });
  }

  HRESULT Read() noexcept override {
    Member m(kInfo, "Read");
    return Guarded(m, [&] {
      *loaded_ = 0;
      LONG exists = 0;
      Exists(&exists);
      if (exists == 0) return m.Fail(IDS_CDF_NOT_FOUND);
      if (!BindReader()) return m.FailWith(CannotBind("liblindor10.so"));
      layout_->SetFileName(fullPath_.c_str());
      *loaded_ = layout_->Read(0);
      if (*loaded_ != 1) return m.FailWith(LoadText(IDS_CDF_CANNOT_READ) + layout_->GetError());
      ReadNames();
      return S_OK;
    });
  }

  HRESULT LoadProbeSets() noexcept override {
    Member m(kInfo, "LoadProbeSets");
    return Guarded(m, [&] {
      analysis_.clear();
      qc_.clear();
      if (!IsLoaded()) return S_OK;
      const LONG f = filter_;
      if (f == FILTER_ANALYSIS_PROBESET_TYPE || f == FILTER_ALL_PROBESET_TYPE || f == FILTER_GENOTYPE_PROBESET_TYPE ||
          f == FILTER_CUSTOMSEQ_PROBESET_TYPE) {
        const int units = layout_->GetNumUnits();
        analysis_.reserve(units);
        for (int u = 0; u < units; ++u) {
          const VarolithUnitType t = layout_->GetUnitType(u);
          const bool take = (t == ExpressionUnitType && (f == FILTER_ANALYSIS_PROBESET_TYPE || f == FILTER_ALL_PROBESET_TYPE)) ||
                            (t == GenotypingUnitType && (f == FILTER_GENOTYPE_PROBESET_TYPE || f == FILTER_ALL_PROBESET_TYPE)) ||
                            (t == CustomSeqUnitType && (f == FILTER_CUSTOMSEQ_PROBESET_TYPE || f == FILTER_ALL_PROBESET_TYPE));
          if (take) analysis_.push_back(u);
        }
      }
      if (f == FILTER_QC_PROBESET_TYPE || f == FILTER_ALL_PROBESET_TYPE) {
        qc_ = ChooseQCUnits(*layout_, filterQC_);
      }
      return S_OK;
    });
  }

  HRESULT GetProbeSetType(LONG index, TARVEX_PROBESET_TYPE* pVal) noexcept override {
    return GiveProbeSetType(pVal, IsAnalysis(index), IsQC(index), [&] {
      switch (layout_->GetUnitType(analysis_[index])) {
        case ExpressionUnitType: return PROBESET_TYPE;
        case GenotypingUnitType: return GENOTYPE_PROBESET_TYPE;
        case CustomSeqUnitType: return CUSTOMSEQ_PROBESET_TYPE;
        default: return UNKNOWN_PROBESET_TYPE;
      }
    });
  }

  HRESULT GetProbeSet(LONG index, ITeskProbeSet* probeSet) noexcept override {
    return HandOutProbeSet(kInfo, index, Loaded(), probeSet, [&](CTeskProbeSet& v, LONG i) { FillProbeSet(v, i); });
  }
  HRESULT GetProbeSets(VARIANT* probeSets) noexcept override {
    return HandOutProbeSets(kInfo, Loaded(), probeSets, [&](CTeskProbeSet& v, LONG i) { FillProbeSet(v, i); });
  }
  HRESULT GetCustomSeqProbeSet(LONG index, ITeskCustomSeqProbeSet* probeSet) noexcept override {
    return FillTyped<CTeskCustomSeqProbeSet>(Member(kInfo, "GetCustomSeqProbeSet"), probeSet, index,
                                             &CTeskCDFFile::FillCustomSeq);
  }
  HRESULT GetCustomSeqProbeSets(VARIANT* probeSets) noexcept override {
    return AllTyped<CTeskCustomSeqProbeSet>(Member(kInfo, "GetCustomSeqProbeSets"), probeSets,
                                            CLSID_TeskCustomSeqProbeSet, AnalysisCount(), &CTeskCDFFile::FillCustomSeq);
  }
  HRESULT GetGenotypeProbeSet(LONG index, ITeskGenotypeProbeSet* probeSet) noexcept override {
    return FillTyped<CTeskGenotypeProbeSet>(Member(kInfo, "GetGenotypeProbeSet"), probeSet, index,
                                            &CTeskCDFFile::FillGenotype);
  }
  HRESULT GetGenotypeProbeSets(VARIANT* probeSets) noexcept override {
    return AllTyped<CTeskGenotypeProbeSet>(Member(kInfo, "GetGenotypeProbeSets"), probeSets,
                                           CLSID_TeskGenotypeProbeSet, AnalysisCount(), &CTeskCDFFile::FillGenotype);
  }
  HRESULT GetControlProbeSet(LONG index, ITeskControlProbeSet* probeSet) noexcept override {
    Member m(kInfo, "GetControlProbeSet");
    return HandOutView<CTeskControlProbeSet>(m, probeSet, IndexIn(m, index, static_cast<LONG>(qc_.size())),
                                             [&](CTeskControlProbeSet& v) { FillControl(v, index); });
  }
  HRESULT GetControlProbeSets(VARIANT* probeSets) noexcept override {
    return AllTyped<CTeskControlProbeSet>(Member(kInfo, "GetControlProbeSets"), probeSets, CLSID_TeskControlProbeSet,
                                          static_cast<LONG>(qc_.size()), &CTeskCDFFile::FillControl);
  }

  HRESULT GetCustomSeqComposite(ITeskCustomSeqComposite* composite) noexcept override {
    return HandOutView<CTeskCustomSeqComposite>(
        Member(kInfo, "GetCustomSeqComposite"), composite, NoCheck,
        [&](CTeskCustomSeqComposite& v) {
          if (IsLoaded()) BindLayout(v);
        },
        IDS_INPUT_NULL);
  }

 private:
  template <class T>
  static HRESULT Give(T* out, T value) noexcept {
    if (out == nullptr) return E_POINTER;
    *out = value;
    return S_OK;
  }
  template <class Value>
  HRESULT Header(LONG* pVal, Value&& value) noexcept {
    return Give<LONG>(pVal, IsLoaded() ? static_cast<LONG>(value()) : 0);
  }

  bool IsLoaded() const { return layout_ && *loaded_ == 1; }
  LONG AnalysisCount() const { return static_cast<LONG>(analysis_.size()); }
  LONG Loaded() const { return static_cast<LONG>(analysis_.size() + qc_.size()); }
  bool IsAnalysis(LONG index) const { return index >= 0 && index < AnalysisCount() && layout_; }
  bool IsQC(LONG index) const { return index >= AnalysisCount() && index < Loaded(); }

  void BuildFullPath() {
    if (!libPath_.empty() && !chipType_.empty()) fullPath_ = libPath_ + "/" + chipType_ + ".CDF";
  }

  bool BindReader() {
    if (!layout_) {
      layout_ = NewLayoutReader();
      if (!layout_) return false;
      auto sources = std::make_shared<ViewSources>();
      sources->layout = layout_;
      sources->layoutLoaded = loaded_;
      sources_ = std::move(sources);
    }
    return true;
  }

  // Every view this object fills shares one record of its layout and flag.
  template <class View>
  void BindLayout(View& view) const {
    view.bound = sources_;
  }

  // The probe set names of a genotyping layout, from its names file beside the layout.
  void ReadNames() {
    names_.clear();
    if (!analysis_.empty() && layout_->GetUnitType(analysis_.front()) != GenotypingUnitType) return;
    if (layout_->IsXDACompatibleFile() == 1) return;
    tesk::tiling::ReadProbeSetNames(tesk::tiling::ProbeSetNamePath(libPath_, chipType_), names_);
  }

  void FillProbeSet(CTeskProbeSet& view, LONG index) const {
    if (IsAnalysis(index)) {
      const int unit = analysis_[index];
      if (layout_->GetUnitType(unit) != ExpressionUnitType) return;
      BindLayout(view);
      view.unit = unit;
      view.name = layout_->GetProbeSetNames().GetProbeSetName(unit);
      view.kind = PROBESET_TYPE;
    } else if (IsQC(index)) {
      BindLayout(view);
      view.unit = qc_[index - AnalysisCount()];
      view.kind = QC_PROBESET_TYPE;
    }
  }

  void FillGenotype(CTeskGenotypeProbeSet& view, LONG index) const {
    const int unit = analysis_[index];
    if (layout_->GetUnitType(unit) != GenotypingUnitType) return;
    BindLayout(view);
    view.unit = unit;
    // The names file names the units of a genotyping layout; a unit beyond it keeps its own.
    if (names_.size() > static_cast<size_t>(index) && static_cast<size_t>(unit) < names_.size())
      view.name = names_[unit];
    else
      view.name = layout_->GetProbeSetNames().GetProbeSetName(unit);
  }

  void FillCustomSeq(CTeskCustomSeqProbeSet& view, LONG index) const {
    const int unit = analysis_[index];
    if (layout_->GetUnitType(unit) != CustomSeqUnitType) return;
    BindLayout(view);
    view.unit = unit;
  }

  void FillControl(CTeskControlProbeSet& view, LONG index) const {
    BindLayout(view);
    view.qc = qc_[index];
  }

  // A typed view at an analysis position: null 5091, outside the list 5025, then bound only
  // when the unit is of the view's kind.
  template <class View, class I>
  HRESULT FillTyped(const Member& m, I* probeSet, LONG index, void (CTeskCDFFile::*fill)(View&, LONG) const) {
    auto check = [&] { return IsAnalysis(index) ? S_OK : m.Fail(IDS_INDEX_OUT_OF_RANGE); };
    return HandOutView<View>(m, probeSet, check, [&](View& v) { (this->*fill)(v, index); });
  }

  template <class View>
  HRESULT AllTyped(const Member& m, VARIANT* out, const CLSID& clsid, LONG count,
                   void (CTeskCDFFile::*fill)(View&, LONG) const) {
    return HandOutViews<View>(m, out, clsid, layout_ ? count : 0, NoCheck,
                              [&](View& v, LONG i) { (this->*fill)(v, i); });
  }

  std::shared_ptr<CCDFFileData> layout_;
  SharedFlag loaded_ = std::make_shared<LONG>(0);
  std::shared_ptr<const ViewSources> sources_;
  TARVEX_FILTER_PROBESET_TYPE filter_ = FILTER_ANALYSIS_PROBESET_TYPE;
  TARVEX_QC_PROBESET_TYPE filterQC_ = ALL_QC_TYPE;
  std::vector<int> analysis_;
  std::vector<int> qc_;
  std::vector<std::string> names_;
  std::string chipType_;
  std::string libPath_;
  std::string fullPath_;
};

const ClassInfo CTeskCDFFile::kInfo{&CLSID_TeskCDFFile, &IID_ITeskCDFFile, "ITeskCDFFile", TESKCDFFILE_PROGID};

constexpr tesk::DispMember kCdfMembers[] = {
    tesk::DispPropGet<&ITeskCDFFile::get_ChipType>("ChipType", 1),
    tesk::DispPropPut<&ITeskCDFFile::put_ChipType>("ChipType", 1),
    tesk::DispPropGet<&ITeskCDFFile::get_LibPath>("LibPath", 2),
    tesk::DispPropPut<&ITeskCDFFile::put_LibPath>("LibPath", 2),
    tesk::DispPropGet<&ITeskCDFFile::get_FullPathName>("FullPathName", 3),
    tesk::DispPropGet<&ITeskCDFFile::get_Date>("Date", 4),
    tesk::DispPropGet<&ITeskCDFFile::get_Rows>("Rows", 5),
    tesk::DispPropGet<&ITeskCDFFile::get_Cols>("Cols", 6),
    tesk::DispPropGet<&ITeskCDFFile::get_NumProbeSets>("NumProbeSets", 7),
    tesk::DispPropGet<&ITeskCDFFile::get_NumQCProbeSets>("NumQCProbeSets", 8),
    tesk::DispPropGet<&ITeskCDFFile::get_FilterQCType>("FilterQCType", 9),
    tesk::DispPropPut<&ITeskCDFFile::put_FilterQCType>("FilterQCType", 9),
    tesk::DispPropGet<&ITeskCDFFile::get_FilterProbeSet>("FilterProbeSet", 10),
    tesk::DispPropPut<&ITeskCDFFile::put_FilterProbeSet>("FilterProbeSet", 10),
    tesk::DispPropGet<&ITeskCDFFile::get_NumProbeSetsLoaded>("NumProbeSetsLoaded", 11),
    tesk::DispMethod<&ITeskCDFFile::Exists, tesk::kRetval>("Exists", 12),
    tesk::DispMethod<&ITeskCDFFile::Read>("Read", 13),
    tesk::DispMethod<&ITeskCDFFile::LoadProbeSets>("LoadProbeSets", 14),
    tesk::DispMethod<&ITeskCDFFile::GetProbeSet>("GetProbeSet", 15),
    tesk::DispMethod<&ITeskCDFFile::GetProbeSets>("GetProbeSets", 16),
    tesk::DispMethod<&ITeskCDFFile::GetCustomSeqProbeSet>("GetCustomSeqProbeSet", 17),
    tesk::DispMethod<&ITeskCDFFile::GetCustomSeqProbeSets>("GetCustomSeqProbeSets", 18),
    tesk::DispMethod<&ITeskCDFFile::GetGenotypeProbeSet>("GetGenotypeProbeSet", 19),
    tesk::DispMethod<&ITeskCDFFile::GetGenotypeProbeSets>("GetGenotypeProbeSets", 20),
    tesk::DispMethod<&ITeskCDFFile::GetControlProbeSet>("GetControlProbeSet", 21),
    tesk::DispMethod<&ITeskCDFFile::GetControlProbeSets>("GetControlProbeSets", 22),
    tesk::DispMethod<&ITeskCDFFile::GetProbeSetType, tesk::kRetval>("GetProbeSetType", 23),
    tesk::DispMethod<&ITeskCDFFile::GetCustomSeqComposite>("GetCustomSeqComposite", 24),
};
const tesk::DispTable kTeskCDFFileTable{"ITeskCDFFile", &IID_ITeskCDFFile, kCdfMembers};

HRESULT GetTeskCDFFileFactory(REFIID riid, void** ppv) { return tesk::ClassFactory<CTeskCDFFile>::Get(riid, ppv); }

}  // namespace tarvex
