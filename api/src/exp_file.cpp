// TeskEXPFile: an experiment information file read through CTestInfo of Ostrel7. It never uses
// database mode: ServerName and NTUserName are only stored.
#include <tesk/ostrel7.h>

#include <memory>
#include <new>
#include <string_view>
#include <vector>

#include "classes.h"
#include "file_object.h"
#include "string_arrays.h"

namespace tarvex {
namespace {

// The operations of Ostrel7 this object calls, bound on first use. CTestInfo's members are
// plain functions of the library; its layout and implicit destructor come from its header.
struct OstrelOps {
  void (*construct)(CTestInfo*) = nullptr;
  void (*setName)(CTestInfo*, std::string_view) = nullptr;
  int (*exists)(CTestInfo*) = nullptr;
  int (*read)(CTestInfo*) = nullptr;
  void (*labels)(std::vector<std::string>&, int) = nullptr;
};

const OstrelOps* Ostrel7() {
  static const OstrelOps* const ops = []() -> const OstrelOps* {
    static OstrelOps o;
    bool ok = BindLibrary("libostrel7.so",
                          {{"_ZN7ostrel79CTestInfoC1Ev", reinterpret_cast<void**>(&o.construct)},
                           {"_ZN7ostrel79CTestInfo7SetNameESt17basic_string_viewIcSt11char_traitsIcEE",
                            reinterpret_cast<void**>(&o.setName)},
                           {"_ZN7ostrel79CTestInfo6ExistsEv", reinterpret_cast<void**>(&o.exists)},
                           {"_ZN7ostrel79CTestInfo4ReadEv", reinterpret_cast<void**>(&o.read)},
                           {"_ZN7ostrel719GetSampleInfoLabelsERSt6vectorINSt7__cxx1112basic_stringIcSt11char_"
                            "traitsIcESaIcEEESaIS6_EEi",
                            reinterpret_cast<void**>(&o.labels)}});
    return ok ? &o : nullptr;
  }();
  return ops;
}

struct DestroyTestInfo {
  void operator()(CTestInfo* p) const {
    p->~CTestInfo();
    ::operator delete(p);
  }
};

}  // namespace

class CTeskEXPFile final : public FileObject<CTeskEXPFile, ITeskEXPFile> {
 public:
  static const ClassInfo kInfo;
  static constexpr FileKind kKind{".EXP", IDS_EXP_NAME_EMPTY, IDS_EXP_EXTENSION};
  static constexpr const char* kLibrary = "libostrel7.so";

  bool BindReader() {
    if (reader_) return true;
    ops_ = Ostrel7();
    if (ops_ == nullptr) return false;
    void* storage = ::operator new(sizeof(CTestInfo));
    ops_->construct(static_cast<CTestInfo*>(storage));
    reader_.reset(static_cast<CTestInfo*>(storage));
    return true;
  }
  void ReaderSetPath(const std::string& path) { ops_->setName(reader_.get(), path); }
  int ReaderExists() { return ops_->exists(reader_.get()); }
  void ReaderClose() {}

  HRESULT get_ChipType(BSTR* pVal) noexcept override { return Loaded(pVal, &CTestInfo::ChipType); }
  HRESULT get_ChipLot(BSTR* pVal) noexcept override { return Sample(pVal, 5008); }
  HRESULT get_Operator(BSTR* pVal) noexcept override { return Sample(pVal, 5009); }
  HRESULT get_SampleType(BSTR* pVal) noexcept override { return Sample(pVal, 5010); }
  HRESULT get_SampleDesc(BSTR* pVal) noexcept override { return Sample(pVal, 5011); }
  HRESULT get_Project(BSTR* pVal) noexcept override { return Sample(pVal, 5012); }
  HRESULT get_Comments(BSTR* pVal) noexcept override { return Sample(pVal, 5013); }
  HRESULT get_Reagents(BSTR* pVal) noexcept override { return Sample(pVal, 5014); }
  HRESULT get_ReagentLot(BSTR* pVal) noexcept override { return Sample(pVal, 5015); }
  HRESULT get_Protocol(BSTR* pVal) noexcept override { return Loaded(pVal, &CTestInfo::Protocol); }
  HRESULT get_Station(BSTR* pVal) noexcept override { return Loaded(pVal, &CTestInfo::Station); }
  HRESULT get_Module(BSTR* pVal) noexcept override { return Loaded(pVal, &CTestInfo::Module); }
  HRESULT get_HybridizeDate(BSTR* pVal) noexcept override { return DateOf(pVal, &CTestInfo::HybridizeDate); }
  HRESULT get_ScanPixelSize(BSTR* pVal) noexcept override { return Loaded(pVal, &CTestInfo::PixelSize); }
  HRESULT get_ScanFilter(BSTR* pVal) noexcept override { return Loaded(pVal, &CTestInfo::Filter); }
  HRESULT get_ScanDate(BSTR* pVal) noexcept override { return DateOf(pVal, &CTestInfo::ScanDate); }
  HRESULT get_ScannerID(BSTR* pVal) noexcept override { return Loaded(pVal, &CTestInfo::ScannerID); }
  HRESULT get_NumberOfScans(LONG* pVal) noexcept override {
    if (pVal == nullptr) return E_POINTER;
    *pVal = s_.dataLoaded ? LeadingInteger(reader_->NumberOfScans) : 0;
    return S_OK;
  }
  HRESULT get_ScannerType(BSTR* pVal) noexcept override { return Loaded(pVal, &CTestInfo::ScannerType); }
  HRESULT get_NumProtocolSteps(LONG* pVal) noexcept override {
    if (pVal == nullptr) return E_POINTER;
    *pVal = s_.dataLoaded ? static_cast<LONG>(reader_->ProtocolSteps.size()) : 0;
    return S_OK;
  }

  HRESULT Exists(LONG* pVal) noexcept override {
    if (pVal == nullptr) return E_POINTER;
    *pVal = 0;
    Member m(kInfo, "Exists");
    return Guarded(m, [&] {
      if (HRESULT hr = GiveReaderPath(m); FAILED(hr)) return hr;
      if (s_.name.empty()) return m.Fail(IDS_EXP_NAME_EMPTY);
      if (s_.dataPath.empty()) return m.Fail(IDS_DATA_PATH_EMPTY);
      *pVal = ReaderExists() == 1 ? 1 : 0;
      return S_OK;
    });
  }

  HRESULT Read() noexcept override {
    Member m(kInfo, "Read");
    return Guarded(m, [&] {
      if (HRESULT hr = GiveReaderPath(m); FAILED(hr)) return hr;
      if (s_.name.empty()) return m.Fail(IDS_EXP_NAME_EMPTY);
      if (s_.dataPath.empty()) return m.Fail(IDS_DATA_PATH_EMPTY);
      if (s_.libPath.empty()) return m.Fail(IDS_LIB_PATH_EMPTY);
      if (ReaderExists() == 0) return m.Fail(IDS_EXP_NOT_FOUND);
      if (ops_->read(reader_.get()) == 0) return m.Fail(IDS_EXP_CANNOT_READ);
      StampFileDate();
      s_.dataLoaded = s_.headerLoaded = true;
      return S_OK;
    });
  }

  HRESULT GetProtocolStep(LONG index, BSTR* step) noexcept override {
    if (step == nullptr) return E_POINTER;
    *step = nullptr;
    Member m(kInfo, "GetProtocolStep");
    return Guarded(m, [&] {
      if (!s_.dataLoaded) return HandOut("", step);
      if (index < 0 || static_cast<size_t>(index) >= reader_->ProtocolSteps.size()) return m.Fail(IDS_INDEX_OUT_OF_RANGE);
      return HandOut(reader_->ProtocolSteps[index], step);
    });
  }

  HRESULT GetProtocolSteps(SAFEARRAY** steps) noexcept override {
    Member m(kInfo, "GetProtocolSteps");
    return Guarded(m, [&] {
      if (steps == nullptr) return m.Fail(IDS_ARRAY_NULL, E_POINTER);
      *steps = MakeStringArray(s_.dataLoaded ? reader_->ProtocolSteps : std::vector<std::string>());
      return *steps != nullptr ? S_OK : m.Fail(IDS_OUT_OF_MEMORY, E_OUTOFMEMORY);
    });
  }

 private:
  HRESULT Loaded(BSTR* pVal, std::string CTestInfo::*field) noexcept {
    return HandOut(s_.dataLoaded ? std::string_view((*reader_).*field) : std::string_view(), pVal);
  }
  // Dates are shown in the one date format whether or not the file was read.
  HRESULT DateOf(BSTR* pVal, std::string CTestInfo::*field) noexcept {
    try {
      return HandOut(reader_ ? ReformatDateText((*reader_).*field) : std::string(), pVal);
    } catch (...) {
      return E_OUTOFMEMORY;
    }
  }
  // The sample information value whose label is string-table text `label`.
  HRESULT Sample(BSTR* pVal, int label) noexcept {
    try {
      std::string value;
      if (s_.dataLoaded) {
        std::vector<std::string> labels;
        ops_->labels(labels, 0);
        const std::string wanted = LoadText(label);
        for (size_t i = 0; i < labels.size() && i < reader_->SampleInfo.size(); ++i) {
          if (labels[i] == wanted) {
            value = reader_->SampleInfo[i];
            break;
          }
        }
      }
      return HandOut(value, pVal);
    } catch (...) {
      return E_OUTOFMEMORY;
    }
  }

  const OstrelOps* ops_ = nullptr;
  std::unique_ptr<CTestInfo, DestroyTestInfo> reader_;
};

const ClassInfo CTeskEXPFile::kInfo{&CLSID_TeskEXPFile, &IID_ITeskEXPFile, "ITeskEXPFile", TESKEXPFILE_PROGID};

constexpr tesk::DispMember kExpMembers[] = {
    tesk::DispPropGet<&ITeskEXPFile::get_Name>("Name", 1),
    tesk::DispPropPut<&ITeskEXPFile::put_Name>("Name", 1),
    tesk::DispPropGet<&ITeskEXPFile::get_DataPath>("DataPath", 2),
    tesk::DispPropPut<&ITeskEXPFile::put_DataPath>("DataPath", 2),
    tesk::DispPropGet<&ITeskEXPFile::get_LibPath>("LibPath", 3),
    tesk::DispPropPut<&ITeskEXPFile::put_LibPath>("LibPath", 3),
    tesk::DispPropGet<&ITeskEXPFile::get_FullPathName>("FullPathName", 4),
    tesk::DispPropGet<&ITeskEXPFile::get_ChipType>("ChipType", 5),
    tesk::DispPropGet<&ITeskEXPFile::get_Date>("Date", 6),
    tesk::DispPropGet<&ITeskEXPFile::get_ChipLot>("ChipLot", 7),
    tesk::DispPropGet<&ITeskEXPFile::get_Operator>("Operator", 8),
    tesk::DispPropGet<&ITeskEXPFile::get_SampleType>("SampleType", 9),
    tesk::DispPropGet<&ITeskEXPFile::get_SampleDesc>("SampleDesc", 10),
    tesk::DispPropGet<&ITeskEXPFile::get_Project>("Project", 11),
    tesk::DispPropGet<&ITeskEXPFile::get_Comments>("Comments", 12),
    tesk::DispPropGet<&ITeskEXPFile::get_Reagents>("Reagents", 13),
    tesk::DispPropGet<&ITeskEXPFile::get_ReagentLot>("ReagentLot", 14),
    tesk::DispPropGet<&ITeskEXPFile::get_Protocol>("Protocol", 15),
    tesk::DispPropGet<&ITeskEXPFile::get_Station>("Station", 16),
    tesk::DispPropGet<&ITeskEXPFile::get_Module>("Module", 17),
    tesk::DispPropGet<&ITeskEXPFile::get_HybridizeDate>("HybridizeDate", 18),
    tesk::DispPropGet<&ITeskEXPFile::get_ScanPixelSize>("ScanPixelSize", 19),
    tesk::DispPropGet<&ITeskEXPFile::get_ScanFilter>("ScanFilter", 20),
    tesk::DispPropGet<&ITeskEXPFile::get_ScanDate>("ScanDate", 21),
    tesk::DispPropGet<&ITeskEXPFile::get_ScannerID>("ScannerID", 22),
    tesk::DispPropGet<&ITeskEXPFile::get_NumberOfScans>("NumberOfScans", 23),
    tesk::DispPropGet<&ITeskEXPFile::get_ScannerType>("ScannerType", 24),
    tesk::DispPropGet<&ITeskEXPFile::get_NumProtocolSteps>("NumProtocolSteps", 25),
    tesk::DispPropGet<&ITeskEXPFile::get_ServerName>("ServerName", 26),
    tesk::DispPropPut<&ITeskEXPFile::put_ServerName>("ServerName", 26),
    tesk::DispPropGet<&ITeskEXPFile::get_NTUserName>("NTUserName", 27),
    tesk::DispPropPut<&ITeskEXPFile::put_NTUserName>("NTUserName", 27),
    tesk::DispMethod<&ITeskEXPFile::Exists, tesk::kRetval>("Exists", 28),
    tesk::DispMethod<&ITeskEXPFile::Read>("Read", 29),
    tesk::DispMethod<&ITeskEXPFile::GetProtocolStep, tesk::kRetval>("GetProtocolStep", 30),
    tesk::DispCustom<&ITeskEXPFile::GetProtocolSteps>("GetProtocolSteps", 31, DISPATCH_METHOD, kOneStringArray),
};
const tesk::DispTable kTeskEXPFileTable{"ITeskEXPFile", &IID_ITeskEXPFile, kExpMembers};

HRESULT GetTeskEXPFileFactory(REFIID riid, void** ppv) { return tesk::ClassFactory<CTeskEXPFile>::Get(riid, ppv); }

}  // namespace tarvex
