// TeskBARFile: a tiling result file, read by the kit's own reader, and the sequence result
// items it fills.
#include <tesk/internal/file.h>

#include <memory>

#include "classes.h"
#include "text.h"
#include "tiling_objects.h"

namespace tarvex {

class CTeskBARFile final
    : public tesk::ComClass<CTeskBARFile, tesk::DispatchImpl<ITeskBARFile>,
                            tesk::SupportErrorInfoFor<ITeskBARFile>> {
 public:
  static tesk::ComModule& Module() { return TarvexModule(); }
  static const ClassInfo kInfo;

  HRESULT get_Name(BSTR* pVal) noexcept override { return HandOut(name_, pVal); }
  HRESULT put_Name(BSTR newVal) noexcept override { return Store("put_Name", newVal, name_, false); }
  HRESULT get_DataPath(BSTR* pVal) noexcept override { return HandOut(dataPath_, pVal); }
  HRESULT put_DataPath(BSTR newVal) noexcept override {
    return Store("put_DataPath", newVal, dataPath_, true);
  }
  HRESULT get_LibPath(BSTR* pVal) noexcept override { return HandOut(libPath_, pVal); }
  HRESULT put_LibPath(BSTR newVal) noexcept override {
    return Store("put_LibPath", newVal, libPath_, true);
  }

  HRESULT get_Version(FLOAT* pVal) noexcept override { return Give(pVal, result_ ? result_->version : 0.0f); }
  HRESULT get_NumberSequences(LONG* pVal) noexcept override {
    return Give<LONG>(pVal, result_ ? static_cast<LONG>(result_->sequence_count) : 0);
  }
  HRESULT get_NumberColumns(LONG* pVal) noexcept override {
    return Give<LONG>(pVal, result_ ? static_cast<LONG>(result_->column_types.size()) : 0);
  }
  HRESULT get_NumberParameters(LONG* pVal) noexcept override {
    return Give<LONG>(pVal, result_ ? static_cast<LONG>(result_->parameters.size()) : 0);
  }

  HRESULT Exists(LONG* pVal) noexcept override {
    if (pVal == nullptr) return E_POINTER;
    *pVal = 0;
    const ArrowMember m(kInfo, "Exists");
    return ArrowGuarded(m, [&] {
      *pVal = tesk::internal::Exists(dataPath_ + name_) ? 1 : 0;
      return S_OK;
    });
  }

  HRESULT Read() noexcept override { return Load("Read", false); }
  HRESULT ReadHeader() noexcept override { return Load("ReadHeader", true); }

  HRESULT GetParameter(LONG index, BSTR* tag, BSTR* value) noexcept override {
    const ArrowMember m(kInfo, "GetParameter");
    if (tag == nullptr || value == nullptr) return E_POINTER;
    *tag = *value = nullptr;
    if (!result_) return m.Fail(kNotRead);
    if (!InRange(index, result_->parameters.size())) return m.Fail(kOutOfRange);
    const auto& [t, v] = result_->parameters[static_cast<std::size_t>(index)];
    if (HRESULT hr = HandOut(t, tag); FAILED(hr)) return hr;
    if (HRESULT hr = HandOut(v, value); FAILED(hr)) {
      SysFreeString(*tag);
      *tag = nullptr;
      return hr;
    }
    return S_OK;
  }

  HRESULT GetSequenceResultItem(LONG index, ITeskSequenceResultItem* item) noexcept override {
    const ArrowMember m(kInfo, "GetSequenceResultItem");
    if (item == nullptr) return m.Fail(kObjectNull, E_POINTER);
    CTeskSequenceResultItem* target = CTeskSequenceResultItem::FromInterface(item);
    if (target == nullptr) return m.Fail(kForeignObject, E_INVALIDARG);
    if (!result_ || !dataRead_) return m.Fail(kNotRead);
    if (!InRange(index, result_->sequences.size())) return m.Fail(kOutOfRange);
    target->file = result_;
    target->sequence = &result_->sequences[static_cast<std::size_t>(index)];
    return S_OK;
  }

  HRESULT GetColumnType(LONG index, TARVEX_BAR_DATA_TYPE* pVal) noexcept override {
    const ArrowMember m(kInfo, "GetColumnType");
    if (pVal == nullptr) return E_POINTER;
    if (!result_) return m.Fail(kNotRead);
    if (!InRange(index, result_->column_types.size())) return m.Fail(kOutOfRange);
    *pVal = static_cast<TARVEX_BAR_DATA_TYPE>(result_->column_types[static_cast<std::size_t>(index)]);
    return S_OK;
  }

 private:
  template <class T>
  static HRESULT Give(T* out, T value) noexcept {
    if (out == nullptr) return E_POINTER;
    *out = value;
    return S_OK;
  }
  static bool InRange(LONG index, std::size_t size) {
    return index >= 0 && static_cast<std::size_t>(index) < size;
  }

  HRESULT Store(const char* member, BSTR value, std::string& field, bool directory) noexcept {
    const ArrowMember m(kInfo, member);
    return ArrowGuarded(m, [&] {
      field = directory ? WithSeparator(tesk::FromBstr(value)) : tesk::FromBstr(value);
      return S_OK;
    });
  }

  // A header read gives the header fields (version, counts, column types, parameters); a full
  // read the sequences too. A failure leaves nothing read.
  HRESULT Load(const char* member, bool header_only) noexcept {
    const ArrowMember m(kInfo, member);
    return ArrowGuarded(m, [&] {
      result_.reset();
      dataRead_ = false;
      auto result = std::make_shared<tesk::tiling::TilingResult>();
      std::string error;  // what the reader found; the client sees the fixed text
      if (!tesk::tiling::ReadTilingResult(dataPath_ + name_, header_only, *result, error)) {
        return m.Fail("Unable to read the BAR file.");
      }
      result_ = std::move(result);
      dataRead_ = !header_only;
      return S_OK;
    });
  }

  std::string name_;
  std::string dataPath_;
  std::string libPath_;
  std::shared_ptr<const tesk::tiling::TilingResult> result_;  // the last header or file read
  bool dataRead_ = false;                                     // result_ holds the sequences
};

const ClassInfo CTeskBARFile::kInfo{&CLSID_TeskBARFile, &IID_ITeskBARFile, "ITeskBARFile",
                                    TESKBARFILE_PROGID};

constexpr tesk::DispMember kBARFileMembers[] = {
    tesk::DispPropGet<&ITeskBARFile::get_Name>("Name", 1),
    tesk::DispPropPut<&ITeskBARFile::put_Name>("Name", 1),
    tesk::DispPropGet<&ITeskBARFile::get_DataPath>("DataPath", 2),
    tesk::DispPropPut<&ITeskBARFile::put_DataPath>("DataPath", 2),
    tesk::DispPropGet<&ITeskBARFile::get_LibPath>("LibPath", 3),
    tesk::DispPropPut<&ITeskBARFile::put_LibPath>("LibPath", 3),
    tesk::DispPropGet<&ITeskBARFile::get_Version>("Version", 4),
    tesk::DispPropGet<&ITeskBARFile::get_NumberSequences>("NumberSequences", 5),
    tesk::DispPropGet<&ITeskBARFile::get_NumberColumns>("NumberColumns", 6),
    tesk::DispPropGet<&ITeskBARFile::get_NumberParameters>("NumberParameters", 7),
    tesk::DispMethod<&ITeskBARFile::Exists, tesk::kRetval>("Exists", 8),
    tesk::DispMethod<&ITeskBARFile::Read>("Read", 9),
    tesk::DispMethod<&ITeskBARFile::ReadHeader>("ReadHeader", 10),
    tesk::DispCustom<&ITeskBARFile::GetParameter>("GetParameter", 11, DISPATCH_METHOD,
                                                  kIndexAndTwoStrings),
    tesk::DispMethod<&ITeskBARFile::GetSequenceResultItem>("GetSequenceResultItem", 12),
    tesk::DispMethod<&ITeskBARFile::GetColumnType, tesk::kRetval>("GetColumnType", 13),
};
const tesk::DispTable kTeskBARFileTable{"ITeskBARFile", &IID_ITeskBARFile, kBARFileMembers};

HRESULT GetTeskBARFileFactory(REFIID riid, void** ppv) {
  return tesk::ClassFactory<CTeskBARFile>::Get(riid, ppv);
}

}  // namespace tarvex
