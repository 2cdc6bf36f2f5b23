// TeskCELFile: a cell intensity file read through the Parvel80 reader, and the TeskProbe
// objects that stand for its cells.
#include <tesk/parvel80.h>

#include <memory>
#include <vector>

#include "children.h"
#include "classes.h"
#include "file_object.h"
#include "layout_views.h"
#include "param_text.h"
#include "probe.h"
#include "string_arrays.h"

namespace tarvex {
class CTeskCELFile final : public FileObject<CTeskCELFile, ITeskCELFile> {
 public:
  static const ClassInfo kInfo;
  static constexpr FileKind kKind{".CEL", IDS_CEL_NAME_EMPTY, IDS_CEL_EXTENSION};
  static constexpr const char* kLibrary = "libparvel80.so";

  ~CTeskCELFile() override {
    if (reader_) GiveBack();
  }

  // Reader hooks of the frame.
  bool BindReader() {
    if (!reader_) reader_ = NewIntensityReader();
    return reader_ != nullptr;
  }
  void ReaderSetPath(const std::string& path) { reader_->SetFileName(path.c_str()); }
  int ReaderExists() { return reader_->Exists(); }
  void ReaderClose() { reader_->Close(); }

  HRESULT get_ChipType(BSTR* pVal) noexcept override { return HandOut(Header() ? reader_->GetChipType() : "", pVal); }
  HRESULT get_FileVersion(LONG* pVal) noexcept override { return Give(pVal, Header() ? reader_->GetVersion() : 0); }
  HRESULT get_Algorithm(BSTR* pVal) noexcept override { return HandOut(Header() ? reader_->GetAlgorithm() : "", pVal); }
  HRESULT get_AlgParams(BSTR* pVal) noexcept override { return HandOut(Header() ? reader_->GetParams() : "", pVal); }
  HRESULT get_NumAlgParams(LONG* pVal) noexcept override { return Give(pVal, static_cast<LONG>(names_.size())); }
  HRESULT get_CellMargin(LONG* pVal) noexcept override { return Give(pVal, Header() ? reader_->GetCellMargin() : 0); }
  HRESULT get_Rows(LONG* pVal) noexcept override { return Give(pVal, Header() ? reader_->GetRows() : 0); }
  HRESULT get_Cols(LONG* pVal) noexcept override { return Give(pVal, Header() ? reader_->GetCols() : 0); }
  HRESULT get_NumMasked(LONG* pVal) noexcept override { return Give(pVal, Header() ? reader_->GetNumMasked() : 0); }
  HRESULT get_NumOutliers(LONG* pVal) noexcept override { return Give(pVal, Header() ? reader_->GetNumOutliers() : 0); }
  HRESULT get_NumProbes(LONG* pVal) noexcept override { return Give(pVal, Header() ? reader_->GetNumCells() : 0); }
  HRESULT get_UpperLeftX(LONG* pVal) noexcept override { return Corner(pVal, 0); }
  HRESULT get_UpperLeftY(LONG* pVal) noexcept override { return Corner(pVal, 1); }
  HRESULT get_UpperRightX(LONG* pVal) noexcept override { return Corner(pVal, 2); }
  HRESULT get_UpperRightY(LONG* pVal) noexcept override { return Corner(pVal, 3); }
  HRESULT get_LowerLeftX(LONG* pVal) noexcept override { return Corner(pVal, 4); }
  HRESULT get_LowerLeftY(LONG* pVal) noexcept override { return Corner(pVal, 5); }
  HRESULT get_LowerRightX(LONG* pVal) noexcept override { return Corner(pVal, 6); }
  HRESULT get_LowerRightY(LONG* pVal) noexcept override { return Corner(pVal, 7); }

  HRESULT Exists(LONG* pVal) noexcept override { return ExistsWithServer(pVal); }

  HRESULT Read() noexcept override {
    Member m(kInfo, "Read");
    return Guarded(m, [&] {
      if (HRESULT hr = BeginRead(m, true, IDS_CEL_NOT_FOUND); FAILED(hr)) return hr;
      if (reader_->Read(0) == 0) {
        GiveBack();
        return m.Fail(IDS_CEL_CANNOT_READ);
      }
      StampFileDate();
      SplitParamText(reader_->GetParams(), names_, values_);
      s_.headerLoaded = s_.dataLoaded = true;
      return S_OK;
    });
  }

  HRESULT ReadHeader() noexcept override {
    Member m(kInfo, "ReadHeader");
    return Guarded(m, [&] {
      if (HRESULT hr = BeginRead(m, true, IDS_CEL_NOT_FOUND); FAILED(hr)) return hr;
      if (reader_->ReadHeader(0) == 0) {
        GiveBack();
        return m.Fail(IDS_CEL_CANNOT_READ_HEADER);
      }
      SplitParamText(reader_->GetParams(), names_, values_);
      s_.headerLoaded = true;
      GiveBack();
      return S_OK;
    });
  }

  HRESULT GetAlgParam(LONG index, BSTR* name, BSTR* value) noexcept override {
    Member m(kInfo, "GetAlgParam", "CTeskCELFile");
    if (name == nullptr || value == nullptr) return E_POINTER;
    *name = *value = nullptr;
    return Guarded(m, [&] {
      if (!s_.headerLoaded) {
        HandOut("", name);
        return HandOut("", value);
      }
      if (index < 0 || static_cast<size_t>(index) >= names_.size()) return m.Fail(IDS_INDEX_OUT_OF_RANGE);
      HandOut(names_[index], name);
      return HandOut(values_[index], value);
    });
  }

  HRESULT GetAlgParams(SAFEARRAY** names, SAFEARRAY** values) noexcept override {
    Member m(kInfo, "GetAlgParams");
    return Guarded(m, [&] {
      if (names == nullptr || values == nullptr) return m.Fail(IDS_ARRAY_NULL, E_POINTER);
      *names = MakeStringArray(names_);
      *values = MakeStringArray(values_);
      if (*names == nullptr || *values == nullptr) {
        SafeArrayDestroy(*names);
        SafeArrayDestroy(*values);
        *names = *values = nullptr;
        return m.Fail(IDS_OUT_OF_MEMORY, E_OUTOFMEMORY);
      }
      return S_OK;
    });
  }

  HRESULT GetProbeByIndex(LONG index, ITeskProbe* probe) noexcept override {
    Member m(kInfo, "GetProbeByIndex");
    return Guarded(m, [&] {
      CTeskProbe* p = nullptr;
      if (HRESULT hr = OwnProbe(m, probe, &p); FAILED(hr)) return hr;
      if (!s_.dataLoaded) {
        p->Reset();
        return S_OK;
      }
      if (index < 0 || index >= reader_->GetNumCells()) return m.Fail(IDS_INDEX_OUT_OF_RANGE);
      FillProbe(*p, index);
      return S_OK;
    });
  }

  HRESULT GetProbeByPosition(LONG x, LONG y, ITeskProbe* probe) noexcept override {
    Member m(kInfo, "GetProbeByPosition");
    return Guarded(m, [&] {
      CTeskProbe* p = nullptr;
      if (HRESULT hr = OwnProbe(m, probe, &p); FAILED(hr)) return hr;
      if (!s_.dataLoaded) {
        p->Reset();
        return S_OK;
      }
      const LONG cols = reader_->GetCols();
      if (x < 0 || x >= cols) return m.Fail(IDS_X_OUT_OF_RANGE);
      if (y < 0 || y >= reader_->GetRows()) return m.Fail(IDS_Y_OUT_OF_RANGE);
      FillProbe(*p, static_cast<int>(static_cast<long long>(y) * cols + x));
      return S_OK;
    });
  }

  HRESULT GetProbes(VARIANT* probes) noexcept override {
    Member m(kInfo, "GetProbes");
    return Guarded(m, [&] {
      const LONG count = reader_ ? reader_->GetNumCells() : 0;
      return ReturnAll<CTeskProbe>(m, probes, CLSID_TeskProbe, count, {IDS_PROBE_ARRAY_CREATE, IDS_PROBE_ARRAY_PUT},
                                   [&](CTeskProbe& p, LONG i) { FillProbe(p, i); });
    });
  }

  HRESULT ConvertToVersion3() noexcept override {
    Member m(kInfo, "ConvertToVersion3");
    return Guarded(m, [&] {
      if (!s_.dataLoaded) return m.Fail(IDS_CONVERT_NOT_READ);
      std::string detail;
      if (!s_.database.VerifyDatabaseFile(s_.serverName, s_.name, kRoleUpdate, &detail)) return m.FailWith(detail);
      if (reader_->WriteVersion3() == 0) return m.FailWith(LoadText(IDS_CANNOT_WRITE, s_.name));
      return S_OK;
    });
  }

  HRESULT GetIntensity(LONG x, LONG y, FLOAT* pVal) noexcept override { return Cell(pVal, 0.0f, [&] { return reader_->GetIntensity(x, y); }); }
  HRESULT GetStdv(LONG x, LONG y, FLOAT* pVal) noexcept override { return Cell(pVal, 0.0f, [&] { return reader_->GetStdv(x, y); }); }
  HRESULT GetPixels(LONG x, LONG y, LONG* pVal) noexcept override { return Cell(pVal, 0, [&] { return LONG{reader_->GetPixels(x, y)}; }); }
  HRESULT IsOutlier(LONG x, LONG y, LONG* pVal) noexcept override { return Cell(pVal, 0, [&] { return LONG{reader_->IsOutlier(x, y)}; }); }
  HRESULT IsMasked(LONG x, LONG y, LONG* pVal) noexcept override { return Cell(pVal, 0, [&] { return LONG{reader_->IsMasked(x, y)}; }); }

  HRESULT get_DatHeader(BSTR* pVal) noexcept override {
    if (!Header()) return HandOut("", pVal);
    std::string_view header = reader_->GetHeader();
    const size_t at = header.find("DatHeader");
    if (at == std::string_view::npos) return HandOut(header, pVal);
    std::string_view rest = header.substr(std::min(header.size(), at + sizeof("DatHeader")));
    const size_t algorithm = rest.find("Algorithm");
    return HandOut(algorithm == std::string_view::npos ? std::string_view() : rest.substr(0, algorithm), pVal);
  }

 private:
  bool Header() const { return s_.headerLoaded && reader_; }

  template <class T>
  static HRESULT Give(T* out, T value) noexcept {
    if (out == nullptr) return E_POINTER;
    *out = value;
    return S_OK;
  }
  static HRESULT Give(LONG* out, int value) noexcept { return Give<LONG>(out, value); }

  HRESULT Corner(LONG* pVal, int i) noexcept {
    if (pVal == nullptr) return E_POINTER;
    long corners[8] = {};
    if (Header()) reader_->GetCorners(corners);
    *pVal = static_cast<LONG>(corners[i]);
    return S_OK;
  }

  template <class T, class Ask>
  HRESULT Cell(T* out, T zero, Ask&& ask) noexcept {
    if (out == nullptr) return E_POINTER;
    *out = zero;
    if (s_.dataLoaded && reader_) *out = ask();
    return S_OK;
  }

  // The probe object behind `probe`: E_POINTER for null, refused when it is not ours.
  static HRESULT OwnProbe(const Member& m, ITeskProbe* probe, CTeskProbe** out) {
    if (probe == nullptr) return m.Fail(IDS_PROBE_NULL, E_POINTER);
    *out = CTeskProbe::FromInterface(probe);
    if (*out == nullptr) return m.Fail(IDS_FOREIGN_OBJECT, E_INVALIDARG);
    return S_OK;
  }

  void FillProbe(CTeskProbe& p, int index) { p.Fill(reader_, index, reader_->GetX(index), reader_->GetY(index)); }

  std::shared_ptr<CCELFileData> reader_;
  std::vector<std::string> names_;
  std::vector<std::string> values_;
};

const ClassInfo CTeskCELFile::kInfo{&CLSID_TeskCELFile, &IID_ITeskCELFile, "ITeskCELFile", TESKCELFILE_PROGID};

constexpr tesk::DispMember kCelMembers[] = {
    tesk::DispPropGet<&ITeskCELFile::get_Name>("Name", 1),
    tesk::DispPropPut<&ITeskCELFile::put_Name>("Name", 1),
    tesk::DispPropGet<&ITeskCELFile::get_DataPath>("DataPath", 2),
    tesk::DispPropPut<&ITeskCELFile::put_DataPath>("DataPath", 2),
    tesk::DispPropGet<&ITeskCELFile::get_LibPath>("LibPath", 3),
    tesk::DispPropPut<&ITeskCELFile::put_LibPath>("LibPath", 3),
    tesk::DispPropGet<&ITeskCELFile::get_FullPathName>("FullPathName", 4),
    tesk::DispPropGet<&ITeskCELFile::get_ChipType>("ChipType", 5),
    tesk::DispPropGet<&ITeskCELFile::get_Date>("Date", 6),
    tesk::DispPropGet<&ITeskCELFile::get_FileVersion>("FileVersion", 7),
    tesk::DispPropGet<&ITeskCELFile::get_Algorithm>("Algorithm", 8),
    tesk::DispPropGet<&ITeskCELFile::get_AlgParams>("AlgParams", 9),
    tesk::DispPropGet<&ITeskCELFile::get_NumAlgParams>("NumAlgParams", 10),
    tesk::DispPropGet<&ITeskCELFile::get_CellMargin>("CellMargin", 11),
    tesk::DispPropGet<&ITeskCELFile::get_Rows>("Rows", 12),
    tesk::DispPropGet<&ITeskCELFile::get_Cols>("Cols", 13),
    tesk::DispPropGet<&ITeskCELFile::get_NumMasked>("NumMasked", 14),
    tesk::DispPropGet<&ITeskCELFile::get_NumOutliers>("NumOutliers", 15),
    tesk::DispPropGet<&ITeskCELFile::get_NumProbes>("NumProbes", 16),
    tesk::DispPropGet<&ITeskCELFile::get_UpperLeftX>("UpperLeftX", 17),
    tesk::DispPropGet<&ITeskCELFile::get_UpperLeftY>("UpperLeftY", 18),
    tesk::DispPropGet<&ITeskCELFile::get_UpperRightX>("UpperRightX", 19),
    tesk::DispPropGet<&ITeskCELFile::get_UpperRightY>("UpperRightY", 20),
    tesk::DispPropGet<&ITeskCELFile::get_LowerLeftX>("LowerLeftX", 21),
    tesk::DispPropGet<&ITeskCELFile::get_LowerLeftY>("LowerLeftY", 22),
    tesk::DispPropGet<&ITeskCELFile::get_LowerRightX>("LowerRightX", 23),
    tesk::DispPropGet<&ITeskCELFile::get_LowerRightY>("LowerRightY", 24),
    tesk::DispPropGet<&ITeskCELFile::get_ServerName>("ServerName", 25),
    tesk::DispPropPut<&ITeskCELFile::put_ServerName>("ServerName", 25),
    tesk::DispPropGet<&ITeskCELFile::get_NTUserName>("NTUserName", 26),
    tesk::DispPropPut<&ITeskCELFile::put_NTUserName>("NTUserName", 26),
    tesk::DispMethod<&ITeskCELFile::Exists, tesk::kRetval>("Exists", 27),
    tesk::DispMethod<&ITeskCELFile::Read>("Read", 28),
    tesk::DispMethod<&ITeskCELFile::ReadHeader>("ReadHeader", 29),
    tesk::DispCustom<&ITeskCELFile::GetAlgParam>("GetAlgParam", 30, DISPATCH_METHOD, kIndexAndTwoStrings),
    tesk::DispCustom<&ITeskCELFile::GetAlgParams>("GetAlgParams", 31, DISPATCH_METHOD, kTwoStringArrays),
    tesk::DispMethod<&ITeskCELFile::GetProbeByIndex>("GetProbeByIndex", 32),
    tesk::DispMethod<&ITeskCELFile::GetProbeByPosition>("GetProbeByPosition", 33),
    tesk::DispMethod<&ITeskCELFile::GetProbes>("GetProbes", 34),
    tesk::DispMethod<&ITeskCELFile::ConvertToVersion3>("ConvertToVersion3", 35),
    tesk::DispMethod<&ITeskCELFile::GetIntensity, tesk::kRetval>("GetIntensity", 36),
    tesk::DispMethod<&ITeskCELFile::GetStdv, tesk::kRetval>("GetStdv", 37),
    tesk::DispMethod<&ITeskCELFile::GetPixels, tesk::kRetval>("GetPixels", 38),
    tesk::DispMethod<&ITeskCELFile::IsOutlier, tesk::kRetval>("IsOutlier", 39),
    tesk::DispMethod<&ITeskCELFile::IsMasked, tesk::kRetval>("IsMasked", 40),
    tesk::DispPropGet<&ITeskCELFile::get_DatHeader>("DatHeader", 41),
};
const tesk::DispTable kTeskCELFileTable{"ITeskCELFile", &IID_ITeskCELFile, kCelMembers};

HRESULT GetTeskCELFileFactory(REFIID riid, void** ppv) { return tesk::ClassFactory<CTeskCELFile>::Get(riid, ppv); }

}  // namespace tarvex
