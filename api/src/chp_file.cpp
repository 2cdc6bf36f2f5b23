// TeskCHPFile: a chip results file read through the Pendrix81 reader, with the layout and the
// intensity file it belongs to (named at Read, read when a view first needs them), the probe
// sets chosen by the filters, the views it fills and the per-index result accessors.
#include <tesk/pendrix81.h>

#include <memory>
#include <string_view>
#include <type_traits>
#include <vector>

#include "children.h"
#include "classes.h"
#include "file_object.h"
#include "layout_views.h"
#include "string_arrays.h"
#include "tiling/probe_set_names.h"

namespace tarvex {
namespace {

// Texts of the results object that the common table does not hold.
enum ChpTextId : int {
  IDS_CHP_NOT_FOUND = 5045,
  IDS_PARAM_ARRAY_ACCESS = 5081,
  IDS_SUMMARY_ARRAY_CREATE = 5085,
  IDS_SUMMARY_ARRAY_ACCESS = 5086,
  IDS_PARAM_ARRAY_CREATE = 5124,
};

std::unique_ptr<CCHPFileData> NewResultsReader() {
  using Create = CCHPFileData* (*)();
  static const Create create = [] {
    Create fn = nullptr;
    BindLibrary("libpendrix81.so", {{"Pendrix81CreateCHPFileData", reinterpret_cast<void**>(&fn)}});
    return fn;
  }();
  if (create == nullptr) return nullptr;
  std::unique_ptr<CCHPFileData> reader(create());
  if (!reader) throw std::bad_alloc();
  return reader;
}

// The file name part of a path written on another computer: after the last "\" or "/".
std::string_view BaseName(std::string_view path) {
  const size_t cut = path.find_last_of("\\/");
  return cut == std::string_view::npos ? path : path.substr(cut + 1);
}

bool StartsWith(std::string_view s, std::string_view prefix) { return s.substr(0, prefix.size()) == prefix; }

}  // namespace

class CTeskCHPFile final : public FileObject<CTeskCHPFile, ITeskCHPFile> {
 public:
  static const ClassInfo kInfo;
  static constexpr FileKind kKind{".CHP", IDS_CHP_NAME_EMPTY, IDS_CHP_EXTENSION};
  static constexpr const char* kLibrary = "libpendrix81.so";

  ~CTeskCHPFile() override {
    if (results_) results_->Close();
    if (layout_) layout_->Close();
    if (intensity_) intensity_->Close();
    s_.database.GiveBackMarker();
    intensityDatabase_.GiveBackMarker();
  }

  // Reader hooks of the frame. The companion readers are made with the results reader; a
  // companion whose library cannot be bound stays absent, and the views then report it as not
  // loaded.
  bool BindReader() {
    if (results_) return true;
    results_ = NewResultsReader();
    if (!results_) return false;
    layout_ = NewLayoutReader();
    intensity_ = NewIntensityReader();
    auto sources = std::make_shared<ViewSources>();
    sources->results = results_;
    sources->resultsLoaded = readFlag_;
    sources->layout = layout_;
    sources->layoutLoaded = layoutLoaded_;
    sources->intensity = intensity_;
    sources->intensityLoaded = intensityLoaded_;
    sources_ = std::move(sources);
    return true;
  }
  void ReaderSetPath(const std::string& path) { results_->SetFileName(path.c_str()); }
  int ReaderExists() { return results_->Exists(); }
  // The reader keeps no file open once it has read, and closing it would drop the header that
  // ReadHeader must keep: giving the file back leaves the reader as it is.
  void ReaderClose() {}

  // ---- Header properties ----
  HRESULT get_ChipType(BSTR* pVal) noexcept override { return HandOut(Header() ? H().GetChipType() : "", pVal); }
  HRESULT get_CellFile(BSTR* pVal) noexcept override { return HandOut(Header() ? H().GetCellFile() : "", pVal); }
  HRESULT get_Algorithm(BSTR* pVal) noexcept override { return HandOut(Header() ? H().GetAlgorithmName() : "", pVal); }
  HRESULT get_AlgType(TARVEX_ALGORITHM_TYPE* pVal) noexcept override { return Give(pVal, algType_); }
  HRESULT get_AlgVersion(BSTR* pVal) noexcept override {
    return HandOut(Header() ? H().GetAlgorithmVersion() : "", pVal);
  }
  HRESULT get_NumAlgParams(LONG* pVal) noexcept override {
    return Give<LONG>(pVal, Header() ? H().GetNumAlgorithmParameters() : 0);
  }
  HRESULT get_AlgParams(BSTR* pVal) noexcept override {
    return HandOut(Header() ? H().GetAlgorithmParameters() : "", pVal);
  }
  HRESULT get_NumChipSummary(LONG* pVal) noexcept override {
    return Give<LONG>(pVal, Header() ? H().GetNumSummaryParameters() : 0);
  }
  HRESULT get_ChipSummary(BSTR* pVal) noexcept override {
    return HandOut(Header() ? H().GetSummaryParameters() : "", pVal);
  }
  HRESULT get_Rows(LONG* pVal) noexcept override { return Give<LONG>(pVal, Header() ? H().GetRows() & 0xFFFF : 0); }
  HRESULT get_Cols(LONG* pVal) noexcept override { return Give<LONG>(pVal, Header() ? H().GetCols() & 0xFFFF : 0); }
  HRESULT get_NumProbeSets(LONG* pVal) noexcept override {
    return Give<LONG>(pVal, Header() ? H().GetNumProbeSets() : 0);
  }
  HRESULT get_NumQCProbeSets(LONG* pVal) noexcept override {
    return Give<LONG>(pVal, Header() ? H().GetNumQCProbeSets() : 0);
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

  HRESULT Exists(LONG* pVal) noexcept override { return ExistsWithServer(pVal); }

  // ---- Reading ----
  HRESULT Read() noexcept override {
    Member m(kInfo, "Read");
    return Guarded(m, [&] {
      if (HRESULT hr = BeginRead(m, true, IDS_CHP_NOT_FOUND); FAILED(hr)) return hr;
      if (results_->Read(0) == 0) {
        GiveBack();
        return m.FailWith(LoadText(IDS_CHP_CANNOT_READ) + results_->GetError());
      }
      StampFileDate();
      SetAlgorithmType();
      *readFlag_ = 1;
      s_.dataLoaded = s_.headerLoaded = true;
      NameCompanions();
      if (std::string detail; !TakeIntensityFile(&detail)) {
        // Results whose intensity file the caller may not use are not handed out.
        *readFlag_ = 0;
        s_.dataLoaded = false;
        GiveBack();
        return m.FailWith(detail);
      }
      ReadNames();
      return S_OK;
    });
  }

  HRESULT ReadHeader() noexcept override {
    Member m(kInfo, "ReadHeader");
    return Guarded(m, [&] {
      if (HRESULT hr = BeginRead(m, true, IDS_CHP_NOT_FOUND); FAILED(hr)) return hr;
      if (results_->ReadHeader(0) == 0) {
        GiveBack();
        return m.FailWith(LoadText(IDS_CHP_CANNOT_READ_HEADER) + results_->GetError());
      }
      // The reader now holds the header alone: results, layout and names of an earlier Read
      // are no longer there to answer from.
      *readFlag_ = 0;
      s_.dataLoaded = false;
      SetAlgorithmType();
      s_.headerLoaded = true;
      GiveBack();
      return S_OK;
    });
  }

  // ---- Parameters and summaries ----
  HRESULT GetAlgParam(LONG index, BSTR* name, BSTR* value) noexcept override {
    return OneItem(Member(kInfo, "GetAlgParam", "CTeskCHPFile"), index, name, value, false);
  }
  HRESULT GetChipSummary(LONG index, BSTR* label, BSTR* value) noexcept override {
    return OneItem(Member(kInfo, "GetChipSummary", "CTeskCHPFile"), index, label, value, true);
  }
  HRESULT GetAlgParams(SAFEARRAY** names, SAFEARRAY** values) noexcept override {
    return AllItems(Member(kInfo, "GetAlgParams"), names, values, false);
  }
  HRESULT GetChipSummaries(SAFEARRAY** labels, SAFEARRAY** values) noexcept override {
    return AllItems(Member(kInfo, "GetChipSummaries"), labels, values, true);
  }

  // ---- Probe sets ----
  HRESULT LoadProbeSets() noexcept override {
    Member m(kInfo, "LoadProbeSets");
    return Guarded(m, [&] {
      analysis_.clear();
      qc_.clear();
      if (*readFlag_ != 1) return S_OK;
      const LONG f = filter_;
      if (f == FILTER_ANALYSIS_PROBESET_TYPE || f == FILTER_ALL_PROBESET_TYPE || f == FILTER_GENOTYPE_PROBESET_TYPE ||
          f == FILTER_CUSTOMSEQ_PROBESET_TYPE) {
        const VarolithAssayType a = H().GetAssayType();
        const bool take =
            (a == ExpressionAssayType && (f == FILTER_ANALYSIS_PROBESET_TYPE || f == FILTER_ALL_PROBESET_TYPE)) ||
            (a == GenotypingAssayType && (f == FILTER_GENOTYPE_PROBESET_TYPE || f == FILTER_ALL_PROBESET_TYPE)) ||
            (a == ResequencingAssayType && (f == FILTER_CUSTOMSEQ_PROBESET_TYPE || f == FILTER_ALL_PROBESET_TYPE));
        if (take) {
          const int n = H().GetNumProbeSets();
          analysis_.reserve(n);
          for (int i = 0; i < n; ++i) analysis_.push_back(i);
        }
      }
      if ((f == FILTER_QC_PROBESET_TYPE || f == FILTER_ALL_PROBESET_TYPE) && sources_->EnsureLayout())
        qc_ = ChooseQCUnits(*layout_, filterQC_);
      return S_OK;
    });
  }

  HRESULT GetProbeSetType(LONG index, TARVEX_PROBESET_TYPE* pVal) noexcept override {
    const bool read = *readFlag_ == 1;
    return GiveProbeSetType(pVal, read && IsAnalysis(index), read && IsQC(index), [&] {
      switch (H().GetAssayType()) {
        case ExpressionAssayType: return PROBESET_TYPE;
        case GenotypingAssayType: return GENOTYPE_PROBESET_TYPE;
        case ResequencingAssayType: return CUSTOMSEQ_PROBESET_TYPE;
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

  // Custom-sequence probe sets are shown through the composite only.
  HRESULT GetCustomSeqProbeSet(LONG, ITeskCustomSeqProbeSet*) noexcept override { return S_OK; }
  HRESULT GetCustomSeqProbeSets(VARIANT*) noexcept override { return S_OK; }

  HRESULT GetGenotypeProbeSet(LONG index, ITeskGenotypeProbeSet* probeSet) noexcept override {
    Member m(kInfo, "GetGenotypeProbeSet");
    return HandOutView<CTeskGenotypeProbeSet>(m, probeSet, IndexIn(m, index, AnalysisCount()),
                                              [&](CTeskGenotypeProbeSet& v) { FillGenotype(v, index); });
  }
  HRESULT GetGenotypeProbeSets(VARIANT* probeSets) noexcept override {
    return HandOutViews<CTeskGenotypeProbeSet>(Member(kInfo, "GetGenotypeProbeSets"), probeSets,
                                               CLSID_TeskGenotypeProbeSet, AnalysisCount(), NoCheck,
                                               [&](CTeskGenotypeProbeSet& v, LONG i) { FillGenotype(v, i); });
  }

  // Control probe sets read layout and intensities: both must load.
  HRESULT GetControlProbeSet(LONG index, ITeskControlProbeSet* probeSet) noexcept override {
    Member m(kInfo, "GetControlProbeSet");
    auto check = [&] {
      if (HRESULT hr = IndexIn(m, index, QCCount())(); FAILED(hr)) return hr;
      return CompanionsReady(m);
    };
    return HandOutView<CTeskControlProbeSet>(m, probeSet, check,
                                             [&](CTeskControlProbeSet& v) { FillControl(v, index); });
  }
  HRESULT GetControlProbeSets(VARIANT* probeSets) noexcept override {
    Member m(kInfo, "GetControlProbeSets");
    return HandOutViews<CTeskControlProbeSet>(m, probeSets, CLSID_TeskControlProbeSet, QCCount(),
                                              [&] { return CompanionsReady(m); },
                                              [&](CTeskControlProbeSet& v, LONG i) { FillControl(v, i); });
  }

  HRESULT GetCustomSeqComposite(ITeskCustomSeqComposite* composite) noexcept override {
    auto bind = [&](CTeskCustomSeqComposite& view) {
      if (algType_ != CUSTOMSEQ_ALGORITHM_TYPE || !sources_) return;
      // The composite reads results and layout, never intensities.
      auto sources = std::make_shared<ViewSources>();
      sources->results = results_;
      sources->resultsLoaded = readFlag_;
      sources->layout = layout_;
      sources->layoutLoaded = layoutLoaded_;
      view.bound = std::move(sources);
    };
    return HandOutView<CTeskCustomSeqComposite>(Member(kInfo, "GetCustomSeqComposite"), composite, NoCheck, bind,
                                                IDS_INPUT_NULL);
  }

  HRESULT GetProbeSetName(LONG index, BSTR* pVal) noexcept override {
    if (pVal == nullptr) return E_POINTER;
    *pVal = nullptr;
    Member m(kInfo, "GetProbeSetName");
    return Guarded(m, [&] {
      if (!IsAnalysis(index)) return m.Fail(IDS_INDEX_OUT_OF_RANGE);
      return HandOut(NameAt(index), pVal);
    });
  }

  // ---- Direct accessors: results probe set index, no bounds or read check ----
  HRESULT GetExprCompDataExists(LONG, LONG* pVal) noexcept override {
    const int k = Kind();
    return Give<LONG>(pVal, k == ComparisonEmpiricalKind || k == ComparisonStatisticalKind ? 1 : 0);
  }
  HRESULT GetExprNumPairs(LONG index, LONG* pVal) noexcept override {
    return Give<LONG>(pVal, Pairs(index, &CAbsEmpProbeSetResult::NumPairs, &CAbsStatProbeSetResult::NumPairs));
  }
  HRESULT GetExprNumPairsUsed(LONG index, LONG* pVal) noexcept override {
    return Give<LONG>(pVal, Pairs(index, &CAbsEmpProbeSetResult::NumPairsUsed, &CAbsStatProbeSetResult::NumPairsUsed));
  }
  HRESULT GetExprSignal(LONG index, FLOAT* pVal) noexcept override {
    return RecordValue(&CTeskCHPFile::AbsStat, index, &CAbsStatProbeSetResult::Signal, pVal, 0.0f);
  }
  HRESULT GetExprDetection(LONG index, TARVEX_ABS_CALL_TYPE* pVal) noexcept override {
    return RecordValue(&CTeskCHPFile::AbsStat, index, &CAbsStatProbeSetResult::Detection, pVal, NO_ABS_CALL_TYPE);
  }
  HRESULT GetExprDetectionPValue(LONG index, FLOAT* pVal) noexcept override {
    return RecordValue(&CTeskCHPFile::AbsStat, index, &CAbsStatProbeSetResult::DetectionPValue, pVal, 0.0f);
  }
  HRESULT GetExprCommonPairs(LONG index, LONG* pVal) noexcept override {
    return RecordValue(&CTeskCHPFile::CompStat, index, &CCompStatProbeSetResult::CommonPairs, pVal, 0);
  }
  HRESULT GetExprSignalLogRatio(LONG index, FLOAT* pVal) noexcept override {
    return RecordValue(&CTeskCHPFile::CompStat, index, &CCompStatProbeSetResult::SignalLogRatio, pVal, 0.0f);
  }
  HRESULT GetExprSignalLogRatioLow(LONG index, FLOAT* pVal) noexcept override {
    return RecordValue(&CTeskCHPFile::CompStat, index, &CCompStatProbeSetResult::SignalLogRatioLow, pVal, 0.0f);
  }
  HRESULT GetExprSignalLogRatioHigh(LONG index, FLOAT* pVal) noexcept override {
    return RecordValue(&CTeskCHPFile::CompStat, index, &CCompStatProbeSetResult::SignalLogRatioHigh, pVal, 0.0f);
  }
  HRESULT GetExprChange(LONG index, TARVEX_COMP_CALL_TYPE* pVal) noexcept override {
    return RecordValue(&CTeskCHPFile::CompStat, index, &CCompStatProbeSetResult::Change, pVal, NO_COMP_CALL_TYPE);
  }
  HRESULT GetExprChangePValue(LONG index, FLOAT* pVal) noexcept override {
    return RecordValue(&CTeskCHPFile::CompStat, index, &CCompStatProbeSetResult::ChangePValue, pVal, 0.0f);
  }
  HRESULT GetGenoCall(LONG index, TARVEX_GENOTYPE_RESULT_TYPE* pVal) noexcept override {
    CGenotypingProbeSetResult r;
    return Give(pVal, Geno(index, r) ? GenotypeCall(r.Call) : GENOTYPE_NO_CALL);
  }
  HRESULT GetGenoConfidence(LONG index, FLOAT* pVal) noexcept override { return GenoValue(index, pVal, &CGenotypingProbeSetResult::Confidence); }
  HRESULT GetGenoRAS1(LONG index, FLOAT* pVal) noexcept override { return GenoValue(index, pVal, &CGenotypingProbeSetResult::RAS1); }
  HRESULT GetGenoRAS2(LONG index, FLOAT* pVal) noexcept override { return GenoValue(index, pVal, &CGenotypingProbeSetResult::RAS2); }
  // The AA and AB p-values are the RAS1 and RAS2 fields read another way.
  HRESULT GetGenoAAPValue(LONG index, FLOAT* pVal) noexcept override { return GenoValue(index, pVal, &CGenotypingProbeSetResult::RAS1); }
  HRESULT GetGenoABPValue(LONG index, FLOAT* pVal) noexcept override { return GenoValue(index, pVal, &CGenotypingProbeSetResult::RAS2); }
  HRESULT GetGenoBBPValue(LONG index, FLOAT* pVal) noexcept override { return GenoValue(index, pVal, &CGenotypingProbeSetResult::BBPValue); }
  HRESULT GetGenoNoCallPValue(LONG index, FLOAT* pVal) noexcept override {
    return GenoValue(index, pVal, &CGenotypingProbeSetResult::NoCallPValue);
  }

 private:
  template <class T>
  static HRESULT Give(T* out, T value) noexcept {
    if (out == nullptr) return E_POINTER;
    *out = value;
    return S_OK;
  }

  const CCHPFileHeader& H() const { return results_->GetHeader(); }
  bool Header() const { return s_.headerLoaded && results_; }
  VarolithAssayType Assay() const { return results_ ? H().GetAssayType() : UnknownAssayType; }
  // The expression analysis kind, or -1 when the file is no expression file.
  int Kind() const { return Assay() == ExpressionAssayType ? results_->GetExpressionResults().GetAnalysisKind() : -1; }

  LONG AnalysisCount() const { return static_cast<LONG>(analysis_.size()); }
  LONG QCCount() const { return static_cast<LONG>(qc_.size()); }
  LONG Loaded() const { return AnalysisCount() + QCCount(); }
  bool IsAnalysis(LONG index) const { return index >= 0 && index < AnalysisCount(); }
  bool IsQC(LONG index) const { return index >= AnalysisCount() && index < Loaded(); }

  void SetAlgorithmType() {
    const std::string_view name = H().GetAlgorithmName();
    if (StartsWith(name, "Expression"))
      algType_ = *H().GetAlgorithmVersion() != '\0' ? STATISTICAL_ALGORITHM_TYPE : EMPIRICAL_ALGORITHM_TYPE;
    else if (StartsWith(name, "CustomSeq"))
      algType_ = CUSTOMSEQ_ALGORITHM_TYPE;
    else if (StartsWith(name, "Genotyping") || StartsWith(name, "WholeGenome") || StartsWith(name, "DynamicModel"))
      algType_ = GENOTYPING_ALGORITHM_TYPE;
  }

  // The layout by the results' chip type in the library directory; the intensity file by the
  // file name part of the results' cell file in the data directory. Neither is read here. Both
  // names come from the file, so neither may lead out of its directory.
  void NameCompanions() {
    layoutPath_ = s_.libPath + "/" + std::string(BaseName(H().GetChipType())) + ".CDF";
    *layoutLoaded_ = 0;
    if (layout_) layout_->SetFileName(layoutPath_.c_str());
    intensityPath_ = s_.dataPath;
    if (intensityPath_.back() != '/' && intensityPath_.back() != '\\') intensityPath_ += '/';
    intensityPath_ += BaseName(H().GetCellFile());
    *intensityLoaded_ = 0;
    if (intensity_) intensity_->SetFileName(intensityPath_.c_str());
  }

  // In database mode the intensity file, too, must be known to the server and usable by the
  // caller, and is marked while the results are loaded.
  bool TakeIntensityFile(std::string* detail) {
    intensityDatabase_.GiveBackMarker();
    if (s_.serverName.empty()) return true;
    const std::string cellName(BaseName(H().GetCellFile()));
    return intensityDatabase_.VerifyDatabaseFile(s_.serverName, cellName, kRoleBrowse, detail) &&
           intensityDatabase_.TakeMarker(s_.serverName, intensityPath_, detail);
  }

  // The probe set names of a genotyping layout, from its names file beside the layout.
  void ReadNames() {
    names_.clear();
    if (algType_ < EMPIRICAL_ALGORITHM_TYPE || algType_ > GENOTYPING_ALGORITHM_TYPE) return;
    const std::string chipType(BaseName(H().GetChipType()));
    if (s_.libPath.empty() || chipType.empty() || !layout_) return;
    if (layout_->IsXDACompatibleFile() == 1) {
      *layoutLoaded_ = layout_->Read(0);
      return;
    }
    tesk::tiling::ReadProbeSetNames(tesk::tiling::ProbeSetNamePath(s_.libPath, chipType), names_);
  }

  // S_OK once layout and intensities are in memory (both are tried), else 5118.
  HRESULT CompanionsReady(const Member& m) const {
    const bool layout = sources_ && sources_->EnsureLayout();
    const bool intensity = sources_ && sources_->EnsureIntensity();
    return layout && intensity ? S_OK : m.Fail(IDS_NOT_LOADED, E_POINTER);
  }

  // The name of the probe set at an analysis position.
  std::string NameAt(LONG index) const {
    const int unit = analysis_[index];
    if (names_.size() > static_cast<size_t>(index) && static_cast<size_t>(unit) < names_.size()) return names_[unit];
    if (sources_ && sources_->LayoutLoaded()) return layout_->GetProbeSetNames().GetProbeSetName(unit);
    return {};
  }

  void FillProbeSet(CTeskProbeSet& view, LONG index) const {
    if (IsAnalysis(index)) {
      if (Assay() != ExpressionAssayType) return;
      view.bound = sources_;
      view.unit = analysis_[index];
      view.name = NameAt(index);
      const int k = Kind();
      view.kind = k == AbsoluteEmpiricalKind || k == ComparisonEmpiricalKind ? EMP_PROBESET_TYPE : STAT_PROBESET_TYPE;
    } else if (IsQC(index)) {
      view.bound = sources_;
      view.unit = qc_[index - AnalysisCount()];
      view.kind = QC_PROBESET_TYPE;
    }
  }

  void FillGenotype(CTeskGenotypeProbeSet& view, LONG index) const {
    if (Assay() != GenotypingAssayType) return;
    view.bound = sources_;
    view.unit = analysis_[index];
    view.name = NameAt(index);
  }

  void FillControl(CTeskControlProbeSet& view, LONG index) const {
    view.bound = sources_;
    view.qc = qc_[index];
  }

  // ---- Records for the accessors ----
  bool AbsStat(LONG index, CAbsStatProbeSetResult& r) const {
    const int k = Kind();
    return (k == AbsoluteStatisticalKind || k == ComparisonStatisticalKind) &&
           results_->GetExpressionResults().GetAbsStatProbeSetResult(index, r) != 0;
  }
  bool CompStat(LONG index, CCompStatProbeSetResult& r) const {
    return Kind() == ComparisonStatisticalKind &&
           results_->GetExpressionResults().GetCompStatProbeSetResult(index, r) != 0;
  }
  LONG Pairs(LONG index, unsigned short CAbsEmpProbeSetResult::*emp, unsigned short CAbsStatProbeSetResult::*stat) const {
    const int k = Kind();
    if (k == AbsoluteEmpiricalKind || k == ComparisonEmpiricalKind) {
      CAbsEmpProbeSetResult r;
      return results_->GetExpressionResults().GetAbsEmpProbeSetResult(index, r) ? r.*emp : 0;
    }
    CAbsStatProbeSetResult r;
    return AbsStat(index, r) ? r.*stat : 0;
  }
  bool Geno(LONG index, CGenotypingProbeSetResult& r) const {
    return Assay() == GenotypingAssayType && results_->GetGenotypingResults().GetResult(index, r) != 0;
  }
  HRESULT GenoValue(LONG index, FLOAT* pVal, float CGenotypingProbeSetResult::*field) const noexcept {
    return RecordValue(&CTeskCHPFile::Geno, index, field, pVal, 0.0f);
  }
  // A field of the record `get` reads for the results index, or `none` without such a record.
  template <class Record, class Field, class Out>
  HRESULT RecordValue(bool (CTeskCHPFile::*get)(LONG, Record&) const, LONG index, Field Record::*field, Out* pVal,
                      std::type_identity_t<Out> none) const noexcept {
    Record r;
    return Give(pVal, (this->*get)(index, r) ? static_cast<Out>(r.*field) : none);
  }

  // ---- Parameter lists ----
  int ItemCount(bool summary) const {
    if (!Header()) return 0;
    return summary ? H().GetNumSummaryParameters() : H().GetNumAlgorithmParameters();
  }
  const char* ItemName(bool summary, int i) const {
    return summary ? H().GetSummaryParameterName(i) : H().GetAlgorithmParameterName(i);
  }
  const char* ItemValue(bool summary, int i) const {
    return summary ? H().GetSummaryParameterValue(i) : H().GetAlgorithmParameterValue(i);
  }

  HRESULT OneItem(const Member& m, LONG index, BSTR* name, BSTR* value, bool summary) {
    if (name == nullptr || value == nullptr) return E_POINTER;
    *name = *value = nullptr;
    return Guarded(m, [&] {
      if (!Header()) {
        HandOut("", name);
        return HandOut("", value);
      }
      if (index < 0 || index >= ItemCount(summary)) return m.Fail(IDS_INDEX_OUT_OF_RANGE);
      if (HRESULT hr = HandOut(ItemName(summary, index), name); FAILED(hr)) return hr;
      return HandOut(ItemValue(summary, index), value);
    });
  }

  HRESULT AllItems(const Member& m, SAFEARRAY** names, SAFEARRAY** values, bool summary) {
    return Guarded(m, [&] {
      if (names == nullptr || values == nullptr) return m.Fail(IDS_ARRAY_NULL, E_POINTER);
      *names = *values = nullptr;
      std::vector<std::string> n, v;
      const int count = ItemCount(summary);
      for (int i = 0; i < count; ++i) {
        n.emplace_back(ItemName(summary, i));
        v.emplace_back(ItemValue(summary, i));
      }
      *names = MakeStringArray(n);
      *values = MakeStringArray(v);
      if (*names == nullptr || *values == nullptr) {
        SafeArrayDestroy(*names);
        SafeArrayDestroy(*values);
        *names = *values = nullptr;
        return m.Fail(summary ? IDS_SUMMARY_ARRAY_CREATE : IDS_PARAM_ARRAY_CREATE);
      }
      return S_OK;
    });
  }

  std::shared_ptr<CCHPFileData> results_;
  std::shared_ptr<CCDFFileData> layout_;
  std::shared_ptr<CCELFileData> intensity_;
  SharedFlag readFlag_ = std::make_shared<LONG>(0);
  SharedFlag layoutLoaded_ = std::make_shared<LONG>(0);
  SharedFlag intensityLoaded_ = std::make_shared<LONG>(0);
  std::shared_ptr<const ViewSources> sources_;
  DatabaseSession intensityDatabase_;  // the intensity file's check and marker
  TARVEX_FILTER_PROBESET_TYPE filter_ = FILTER_ANALYSIS_PROBESET_TYPE;
  TARVEX_QC_PROBESET_TYPE filterQC_ = ALL_QC_TYPE;
  TARVEX_ALGORITHM_TYPE algType_ = static_cast<TARVEX_ALGORITHM_TYPE>(0);
  std::vector<int> analysis_;
  std::vector<int> qc_;
  std::vector<std::string> names_;
  std::string layoutPath_;
  std::string intensityPath_;
};

const ClassInfo CTeskCHPFile::kInfo{&CLSID_TeskCHPFile, &IID_ITeskCHPFile, "ITeskCHPFile", TESKCHPFILE_PROGID};

constexpr tesk::DispMember kChpMembers[] = {
    tesk::DispPropGet<&ITeskCHPFile::get_Name>("Name", 1),
    tesk::DispPropPut<&ITeskCHPFile::put_Name>("Name", 1),
    tesk::DispPropGet<&ITeskCHPFile::get_DataPath>("DataPath", 2),
    tesk::DispPropPut<&ITeskCHPFile::put_DataPath>("DataPath", 2),
    tesk::DispPropGet<&ITeskCHPFile::get_LibPath>("LibPath", 3),
    tesk::DispPropPut<&ITeskCHPFile::put_LibPath>("LibPath", 3),
    tesk::DispPropGet<&ITeskCHPFile::get_FullPathName>("FullPathName", 4),
    tesk::DispPropGet<&ITeskCHPFile::get_ChipType>("ChipType", 5),
    tesk::DispPropGet<&ITeskCHPFile::get_Date>("Date", 6),
    tesk::DispPropGet<&ITeskCHPFile::get_CellFile>("CellFile", 7),
    tesk::DispPropGet<&ITeskCHPFile::get_Algorithm>("Algorithm", 8),
    tesk::DispPropGet<&ITeskCHPFile::get_AlgType>("AlgType", 9),
    tesk::DispPropGet<&ITeskCHPFile::get_AlgVersion>("AlgVersion", 10),
    tesk::DispPropGet<&ITeskCHPFile::get_NumAlgParams>("NumAlgParams", 11),
    tesk::DispPropGet<&ITeskCHPFile::get_AlgParams>("AlgParams", 12),
    tesk::DispPropGet<&ITeskCHPFile::get_NumChipSummary>("NumChipSummary", 13),
    tesk::DispPropGet<&ITeskCHPFile::get_ChipSummary>("ChipSummary", 14),
    tesk::DispPropGet<&ITeskCHPFile::get_Rows>("Rows", 15),
    tesk::DispPropGet<&ITeskCHPFile::get_Cols>("Cols", 16),
    tesk::DispPropGet<&ITeskCHPFile::get_NumProbeSets>("NumProbeSets", 17),
    tesk::DispPropGet<&ITeskCHPFile::get_NumQCProbeSets>("NumQCProbeSets", 18),
    tesk::DispPropGet<&ITeskCHPFile::get_FilterQCType>("FilterQCType", 19),
    tesk::DispPropPut<&ITeskCHPFile::put_FilterQCType>("FilterQCType", 19),
    tesk::DispPropGet<&ITeskCHPFile::get_FilterProbeSet>("FilterProbeSet", 20),
    tesk::DispPropPut<&ITeskCHPFile::put_FilterProbeSet>("FilterProbeSet", 20),
    tesk::DispPropGet<&ITeskCHPFile::get_NumProbeSetsLoaded>("NumProbeSetsLoaded", 21),
    tesk::DispPropGet<&ITeskCHPFile::get_ServerName>("ServerName", 22),
    tesk::DispPropPut<&ITeskCHPFile::put_ServerName>("ServerName", 22),
    tesk::DispPropGet<&ITeskCHPFile::get_NTUserName>("NTUserName", 23),
    tesk::DispPropPut<&ITeskCHPFile::put_NTUserName>("NTUserName", 23),
    tesk::DispMethod<&ITeskCHPFile::Exists, tesk::kRetval>("Exists", 24),
    tesk::DispMethod<&ITeskCHPFile::Read>("Read", 25),
    tesk::DispMethod<&ITeskCHPFile::ReadHeader>("ReadHeader", 26),
    tesk::DispCustom<&ITeskCHPFile::GetAlgParam>("GetAlgParam", 27, DISPATCH_METHOD, kIndexAndTwoStrings),
    tesk::DispCustom<&ITeskCHPFile::GetAlgParams>("GetAlgParams", 28, DISPATCH_METHOD, kTwoStringArrays),
    tesk::DispCustom<&ITeskCHPFile::GetChipSummary>("GetChipSummary", 29, DISPATCH_METHOD, kIndexAndTwoStrings),
    tesk::DispCustom<&ITeskCHPFile::GetChipSummaries>("GetChipSummaries", 30, DISPATCH_METHOD, kTwoStringArrays),
    tesk::DispMethod<&ITeskCHPFile::LoadProbeSets>("LoadProbeSets", 31),
    tesk::DispMethod<&ITeskCHPFile::GetProbeSet>("GetProbeSet", 32),
    tesk::DispMethod<&ITeskCHPFile::GetProbeSets>("GetProbeSets", 33),
    tesk::DispMethod<&ITeskCHPFile::GetCustomSeqProbeSet>("GetCustomSeqProbeSet", 34),
    tesk::DispMethod<&ITeskCHPFile::GetCustomSeqProbeSets>("GetCustomSeqProbeSets", 35),
    tesk::DispMethod<&ITeskCHPFile::GetGenotypeProbeSet>("GetGenotypeProbeSet", 36),
    tesk::DispMethod<&ITeskCHPFile::GetGenotypeProbeSets>("GetGenotypeProbeSets", 37),
    tesk::DispMethod<&ITeskCHPFile::GetControlProbeSet>("GetControlProbeSet", 38),
    tesk::DispMethod<&ITeskCHPFile::GetControlProbeSets>("GetControlProbeSets", 39),
    tesk::DispMethod<&ITeskCHPFile::GetProbeSetType, tesk::kRetval>("GetProbeSetType", 40),
    tesk::DispMethod<&ITeskCHPFile::GetCustomSeqComposite>("GetCustomSeqComposite", 41),
    tesk::DispMethod<&ITeskCHPFile::GetExprCompDataExists, tesk::kRetval>("GetExprCompDataExists", 42),
    tesk::DispMethod<&ITeskCHPFile::GetExprNumPairs, tesk::kRetval>("GetExprNumPairs", 43),
    tesk::DispMethod<&ITeskCHPFile::GetExprNumPairsUsed, tesk::kRetval>("GetExprNumPairsUsed", 44),
    tesk::DispMethod<&ITeskCHPFile::GetExprSignal, tesk::kRetval>("GetExprSignal", 45),
    tesk::DispMethod<&ITeskCHPFile::GetExprDetection, tesk::kRetval>("GetExprDetection", 46),
    tesk::DispMethod<&ITeskCHPFile::GetExprDetectionPValue, tesk::kRetval>("GetExprDetectionPValue", 47),
    tesk::DispMethod<&ITeskCHPFile::GetExprCommonPairs, tesk::kRetval>("GetExprCommonPairs", 48),
    tesk::DispMethod<&ITeskCHPFile::GetExprSignalLogRatio, tesk::kRetval>("GetExprSignalLogRatio", 49),
    tesk::DispMethod<&ITeskCHPFile::GetExprSignalLogRatioLow, tesk::kRetval>("GetExprSignalLogRatioLow", 50),
    tesk::DispMethod<&ITeskCHPFile::GetExprSignalLogRatioHigh, tesk::kRetval>("GetExprSignalLogRatioHigh", 51),
    tesk::DispMethod<&ITeskCHPFile::GetExprChange, tesk::kRetval>("GetExprChange", 52),
    tesk::DispMethod<&ITeskCHPFile::GetExprChangePValue, tesk::kRetval>("GetExprChangePValue", 53),
    tesk::DispMethod<&ITeskCHPFile::GetGenoCall, tesk::kRetval>("GetGenoCall", 54),
    tesk::DispMethod<&ITeskCHPFile::GetGenoConfidence, tesk::kRetval>("GetGenoConfidence", 55),
    tesk::DispMethod<&ITeskCHPFile::GetGenoRAS1, tesk::kRetval>("GetGenoRAS1", 56),
    tesk::DispMethod<&ITeskCHPFile::GetGenoRAS2, tesk::kRetval>("GetGenoRAS2", 57),
    tesk::DispMethod<&ITeskCHPFile::GetProbeSetName, tesk::kRetval>("GetProbeSetName", 58),
    tesk::DispMethod<&ITeskCHPFile::GetGenoAAPValue, tesk::kRetval>("GetGenoAAPValue", 59),
    tesk::DispMethod<&ITeskCHPFile::GetGenoABPValue, tesk::kRetval>("GetGenoABPValue", 60),
    tesk::DispMethod<&ITeskCHPFile::GetGenoBBPValue, tesk::kRetval>("GetGenoBBPValue", 61),
    tesk::DispMethod<&ITeskCHPFile::GetGenoNoCallPValue, tesk::kRetval>("GetGenoNoCallPValue", 62),
};
const tesk::DispTable kTeskCHPFileTable{"ITeskCHPFile", &IID_ITeskCHPFile, kChpMembers};

HRESULT GetTeskCHPFileFactory(REFIID riid, void** ppv) { return tesk::ClassFactory<CTeskCHPFile>::Get(riid, ppv); }

}  // namespace tarvex
